#pragma once

// Editing one row of the parameter tree through the value dialog: the editor
// suited to the row's kind, preset to its value, and the checks on the result.

#include "config/Catalogue.h"

#include <QLocale>
#include <QPoint>
#include <functional>

class QWidget;

namespace gencfg {

class Messages;
class ParamModel;
class ParamValueDialog;

class ParamEditor
{
public:
    enum class Outcome {
        NoDialog,  // no node, or a row without an editor
        Cancelled, // closed without "Установить"
        Refused,   // a warning was shown; the row is unchanged
        RowGone,   // the row left the tree while the dialog was open; nothing was written
        Applied,   // the row holds the confirmed text
    };

    // Runs the dialog modally and returns its result; tests replace it.
    using ExecHook = std::function<int(ParamValueDialog &)>;

    static constexpr int DialogOuterHeight = 70;
    static constexpr QPoint ComboPosition{5, 5};

    ParamEditor(ParamModel &tree, ParamValueDialog &form, Messages &messages);

    void setExecHook(ExecHook hook) { m_exec = std::move(hook); }
    void setLocale(const QLocale &locale) { m_locale = locale; }

    // The editor of a kind: valueEdit for numbers and temperatures, one of the six combo boxes for an
    // option kind, else none.
    QWidget *editorForKind(ParamKind kind) const;
    // Where the dialog's top-left corner goes for a double-click at the cursor.
    static QPoint dialogPosition(const QPoint &cursor);

    Outcome editChosenParam(int node, const QPoint &cursor);
    // Whether the dialog is open on a row.
    bool isEditing() const { return m_editing; }

private:
    int execDialog();

    ParamModel &m_tree;
    ParamValueDialog &m_form;
    Messages &m_messages;
    ExecHook m_exec;
    QLocale m_locale;
    bool m_editing = false;
};

} // namespace gencfg
