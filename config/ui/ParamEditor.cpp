#include "config/ui/ParamEditor.h"

#include "config/ParamEditRules.h"
#include "config/ParamModel.h"
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

QWidget *ParamEditor::editorForKind(const QString &kind) const
{
    bool ok = false;
    const int code = kind.toInt(&ok);
    // Only the exact kind texts choose an editor, as the codec compares them.
    if (!ok || QString::number(code) != kind)
        return nullptr;
    switch (code) {
    case Number:
    case Temperature:
        return m_form.valueEdit;
    case OnOff:
        return m_form.onOffCombo;
    case Language:
        return m_form.languageCombo;
    case MessageType:
        return m_form.messageTypeCombo;
    case EngineType:
        return m_form.engineTypeCombo;
    case AccessLevel:
        return m_form.accessLevelCombo;
    case TestStartMode:
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
    const QString kind = m_tree.field(node, FieldKind);
    QWidget *editor = editorForKind(kind);
    if (node < 0 || !editor)
        return Outcome::NoDialog;

    const QString value = m_tree.field(node, FieldValue);
    auto *combo = qobject_cast<QComboBox *>(editor);
    if (combo) {
        // Confirming without a change must leave the row as it was; a value no item holds selects none.
        combo->setCurrentIndex(combo->findText(value, Qt::MatchExactly | Qt::MatchCaseSensitive));
    } else {
        m_form.valueEdit->setText(value);
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

    EditVerdict verdict;
    QString text;
    const EditedRow edited{m_tree.field(node, FieldSize), kind, m_tree.field(node, FieldMin),
                           m_tree.field(node, FieldMax)};
    if (combo) {
        text = combo->currentText();
        // A row left as it was, such as the empty engine type of a blank controller, is no choice.
        if (text == m_tree.field(node, FieldValue))
            return Outcome::Applied;
        verdict = CheckChosenOption(edited, text);
    } else {
        text = m_form.valueEdit->text();
        verdict = CheckTypedValue(edited, text, m_locale);
    }
    if (!verdict.accepted) {
        m_messages.warning(verdict.warning);
        return Outcome::Refused;
    }
    m_tree.setField(node, FieldValue, text);
    return Outcome::Applied;
}

} // namespace gencfg
