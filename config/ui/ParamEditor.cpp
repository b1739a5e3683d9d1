#include "config/ui/ParamEditor.h"

#include "config/ParamEditRules.h"
#include "config/ParamModel.h"
#include "config/ParamValueText.h"
#include "config/ui/ParamValueDialog.h"
#include "widgets/Messages.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPersistentModelIndex>

namespace gencfg {

ParamEditor::ParamEditor(ParamModel &tree, ParamValueDialog &form, Messages &messages)
    : m_tree(tree), m_form(form), m_messages(messages)
{}

QWidget *ParamEditor::editorForKind(ParamKind kind) const
{
    switch (kind) {
    case ParamKind::Number:
    case ParamKind::Temperature:
        return m_form.valueEdit;
    case ParamKind::OnOff:
        return m_form.onOffCombo;
    case ParamKind::Language:
        return m_form.languageCombo;
    case ParamKind::MessageType:
        return m_form.messageTypeCombo;
    case ParamKind::EngineType:
        return m_form.engineTypeCombo;
    case ParamKind::AccessLevel:
        return m_form.accessLevelCombo;
    case ParamKind::TestStartMode:
        return m_form.testStartModeCombo;
    default:
        return nullptr;
    }
}

QPoint ParamEditor::dialogPosition(const QPoint &cursor)
{
    return {cursor.x() - 30, cursor.y() - DialogOuterHeight / 2 - 10};
}

int ParamEditor::execDialog()
{
    return m_exec ? m_exec(m_form) : m_form.exec();
}

ParamEditor::Outcome ParamEditor::editChosenParam(int node, const QPoint &cursor)
{
    QWidget *editor = editorForKind(m_tree.row(node).kind);
    if (node < 0 || !editor)
        return Outcome::NoDialog;

    const ParamValue &value = m_tree.row(node).value;
    auto *combo = qobject_cast<QComboBox *>(editor);
    if (combo) {
        // Confirming without a change must leave the row as it was; a value no item holds selects none.
        combo->setCurrentIndex(value.isOption() ? int(value.number) : -1);
    } else {
        m_form.valueEdit->setText(ValueText(m_tree.row(node)));
        m_form.valueEdit->selectAll();
    }

    m_form.showOnlyEditor(editor);
    m_form.setOuterHeight(DialogOuterHeight);
    if (combo)
        combo->move(ComboPosition);
    m_form.move(dialogPosition(cursor));

    // The row is held by identity, not by position: a tree reloaded meanwhile must not take the value.
    const QPersistentModelIndex row(m_tree.indexOfNode(node));
    m_editing = true;
    const int result = execDialog();
    m_editing = false;
    if (result != QDialog::Accepted)
        return Outcome::Cancelled;
    if (!row.isValid()) {
        m_messages.warning(QCoreApplication::translate(
            "ParamEditor", "Дерево параметров изменилось, пока был открыт диалог: значение не установлено."));
        return Outcome::RowGone;
    }
    node = m_tree.nodeOf(row);

    const CatalogueRow &edited = m_tree.row(node);
    if (combo) {
        // A row left as it was, such as the empty engine type of a blank controller, is no choice.
        if (combo->currentIndex() >= 0)
            m_tree.setValue(node, ParamValue::ofOption(combo->currentIndex()));
        return Outcome::Applied;
    }
    const QString text = m_form.valueEdit->text();
    if (const EditVerdict verdict = CheckTypedValue(edited, text, m_locale); !verdict.accepted) {
        m_messages.warning(verdict.warning);
        return Outcome::Refused;
    }
    m_tree.setValue(node, text);
    return Outcome::Applied;
}

} // namespace gencfg
