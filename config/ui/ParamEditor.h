#pragma once

// Editing one row of the parameter tree through the value dialog: the dialog
// opens on the row without a loop of its own, a refused value keeps it open
// with the reason, and the row takes the value when it is confirmed.

#include "config/Catalogue.h"

#include <QLocale>
#include <QObject>
#include <QPersistentModelIndex>
#include <QPoint>

namespace gencfg {

class Messages;
class ParamModel;
class ParamValueDialog;

class ParamEditor : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool editing READ isEditing NOTIFY editingChanged)
public:
    enum class Outcome {
        Cancelled, // closed without "Установить"
        RowGone,   // the row left the tree while the dialog was open; nothing was written
        Applied,   // the row holds the confirmed value
    };
    Q_ENUM(Outcome)

    ParamEditor(ParamModel &tree, ParamValueDialog &form, Messages &messages, QObject *parent = nullptr);

    void setLocale(const QLocale &locale) { m_locale = locale; }

    // Whether a row of this kind has an editor: numbers, texts and option lists.
    static bool IsEditable(ParamKind kind);
    // Where the dialog's top-left corner goes for a double-click at the cursor.
    static QPoint dialogPosition(const QPoint &cursor);

    // Opens the dialog on a node; false, and nothing shown, for a row without an editor or while
    // the dialog is open on another row.
    bool edit(int node, const QPoint &cursor);
    // Whether the dialog is open on a row.
    bool isEditing() const { return m_editing; }

Q_SIGNALS:
    void editingChanged(bool editing);
    void finished(gencfg::ParamEditor::Outcome outcome);

private:
    void onSubmitted();
    void onRejected();
    void finish(Outcome outcome);

    ParamModel &m_tree;
    ParamValueDialog &m_form;
    Messages &m_messages;
    QLocale m_locale;
    // The row is held by identity, not by position: a tree reloaded meanwhile must not take the value.
    QPersistentModelIndex m_row;
    bool m_editing = false;
};

} // namespace gencfg
