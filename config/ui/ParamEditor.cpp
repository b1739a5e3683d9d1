#include "config/ui/ParamEditor.h"

#include "config/ParamEditRules.h"
#include "config/ParamLimits.h"
#include "config/ParamModel.h"
#include "config/ParamValueText.h"
#include "config/ui/ParamValueDialog.h"
#include "widgets/Messages.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

namespace gencfg {

ParamEditor::ParamEditor(ParamModel &tree, ParamValueDialog &form, Messages &messages, QObject *parent)
    : QObject(parent), m_tree(tree), m_form(form), m_messages(messages)
{
    connect(&m_form, &ParamValueDialog::submitted, this, &ParamEditor::onSubmitted);
    connect(&m_form, &QDialog::rejected, this, &ParamEditor::onRejected);
}

bool ParamEditor::IsEditable(ParamKind kind)
{
    return IsNumberKind(kind) || IsOptionKind(kind);
}

QPoint ParamEditor::dialogPosition(const QPoint &cursor)
{
    return {cursor.x() - 30, cursor.y() - 20};
}

bool ParamEditor::edit(int node, const QPoint &cursor)
{
    if (m_editing || node < 0 || node >= m_tree.nodeCount() || !IsEditable(m_tree.row(node).kind))
        return false;
    m_form.showRow(m_tree.path(node), m_tree.row(node));
    m_row = QPersistentModelIndex(m_tree.indexOfNode(node));
    m_editing = true;
    Q_EMIT editingChanged(true);
    m_form.move(dialogPosition(cursor));
    m_form.open();
    // Near the cursor, yet whole on its screen; its size is known once it is shown.
    if (const QScreen *screen = QGuiApplication::screenAt(cursor)) {
        const QRect available = screen->availableGeometry();
        QRect place = m_form.frameGeometry();
        place.moveRight(std::min(place.right(), available.right()));
        place.moveBottom(std::min(place.bottom(), available.bottom()));
        place.moveLeft(std::max(place.left(), available.left()));
        place.moveTop(std::max(place.top(), available.top()));
        m_form.move(place.topLeft());
    }
    return true;
}

void ParamEditor::onSubmitted()
{
    if (!m_editing)
        return;
    if (!m_row.isValid()) {
        finish(Outcome::RowGone);
        m_form.done(QDialog::Rejected);
        m_messages.warning(QCoreApplication::translate(
            "ParamEditor", "Дерево параметров изменилось, пока был открыт диалог: значение не установлено."));
        return;
    }
    const int node = m_tree.nodeOf(m_row);
    if (m_form.editsOption()) {
        // A row left as it was, such as the empty engine type of a blank controller, is no choice.
        if (m_form.chosenOption() >= 0)
            m_tree.setValue(node, ParamValue::ofOption(m_form.chosenOption()));
    } else {
        const CatalogueRow &row = m_tree.row(node);
        const QString text = m_form.typedText();
        if (const EditVerdict verdict = CheckTypedValue(row, text, m_locale); !verdict.accepted) {
            // A number beyond the limits is told what the limits are.
            CatalogueRow tried = row;
            const std::optional<ParamValue> value = ValueFromText(row, text);
            tried.value = value.value_or(ParamValue());
            m_form.showRefusal(value && OutsideLimits(tried)
                                   ? verdict.warning + QLatin1Char('\n') + AllowedRangeText(row)
                                   : verdict.warning);
            return;
        }
        m_tree.setValue(node, text);
    }
    finish(Outcome::Applied);
    m_form.done(QDialog::Accepted);
}

void ParamEditor::onRejected()
{
    if (m_editing)
        finish(Outcome::Cancelled);
}

void ParamEditor::finish(Outcome outcome)
{
    m_editing = false;
    m_row = QPersistentModelIndex();
    Q_EMIT editingChanged(false);
    Q_EMIT finished(outcome);
}

} // namespace gencfg
