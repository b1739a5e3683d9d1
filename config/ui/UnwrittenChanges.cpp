#include "config/ui/UnwrittenChanges.h"

#include "config/ParamModel.h"
#include "widgets/Messages.h"

#include <QWidget>

namespace gencfg {

UnwrittenChanges::UnwrittenChanges(ParamModel &model, Messages &messages, Write write, QObject *parent)
    : QObject(parent), m_model(model), m_messages(messages), m_write(std::move(write))
{
    connect(&model, &ParamModel::changesUpdated, this, &UnwrittenChanges::refresh);
    connect(&model, &QAbstractItemModel::dataChanged, this, &UnwrittenChanges::refresh);
    connect(&model, &QAbstractItemModel::modelReset, this, &UnwrittenChanges::refresh);
    connect(&model, &QAbstractItemModel::rowsInserted, this, &UnwrittenChanges::refresh);
    connect(&model, &QAbstractItemModel::rowsRemoved, this, &UnwrittenChanges::refresh);
    connect(&model, &ParamModel::originChanged, this, &UnwrittenChanges::refresh);
    refresh();
}

QString UnwrittenChanges::QuestionText()
{
    return tr("Записать изменения в устройство?");
}

void UnwrittenChanges::refresh()
{
    // The rows the tree marks as changed against what the controller last held, in a tree that may go to it.
    const bool present =
        m_model.baseline().has_value() && m_model.mayBeWritten() && !m_model.changes().isEmpty();
    if (present == m_present)
        return;
    m_present = present;
    Q_EMIT presentChanged(present);
}

void UnwrittenChanges::settle(const std::function<void()> &proceed, const std::function<void()> &keep)
{
    refresh();
    // One question at a time: a second way out while it is open keeps things as they are.
    if (!m_present || m_asking) {
        if (!m_present)
            proceed();
        else if (keep)
            keep();
        return;
    }
    enum Answer { Write, Drop, Keep };
    Question question;
    question.caption = tr("Несохранённые изменения");
    question.text = QuestionText();
    const bool writable = m_writable();
    if (writable)
        question.buttons << Question::Button{tr("Записать"), Question::Accept};
    question.buttons << Question::Button{tr("Не записывать"), Question::Destructive}
                     << Question::Button{tr("Отмена"), Question::Reject};
    question.defaultButton = int(question.buttons.size()) - 1;
    m_asking = true;
    m_messages.ask(question, [this, writable, proceed, keep](int button) {
        m_asking = false;
        const Answer answer = Answer(writable ? button : button + 1);
        if (answer == Drop) {
            proceed();
        } else if (answer == Write) {
            m_write([proceed, keep](bool proven) {
                // A write that failed or was not proven said why; the edits stay, and so does everything
                // else.
                if (proven)
                    proceed();
                else if (keep)
                    keep();
            });
        } else if (keep) {
            keep();
        }
    });
}

} // namespace gencfg
