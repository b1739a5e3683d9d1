#pragma once

// Collects the boxes a test's Messages would show, instead of blocking on them.

#include "widgets/Messages.h"

#include <QList>
#include <QStringList>
#include <utility>

namespace gencfg {

class MessageRecorder
{
public:
    explicit MessageRecorder(Messages &messages)
    {
        messages.setHandler([this](const Message &m) { m_messages.append(m); });
        messages.setQuestionHandler([this](const Question &q, Messages::Answer answer) {
            m_questions.append(q);
            m_pending = std::move(answer);
            if (!m_autoAnswer.isEmpty())
                answer_(m_autoAnswer);
        });
    }
    // Questions asked so far; the last one waits for answer() unless an automatic answer is set.
    const QList<Question> &questions() const { return m_questions; }
    QString lastQuestion() const { return m_questions.isEmpty() ? QString() : m_questions.last().text; }
    bool waitsForAnswer() const { return bool(m_pending); }
    // Presses the button of the pending question with this text; false when there is none.
    bool answer(const QString &button) { return answer_(button); }
    // Every later question is answered with this button at once; empty to let them wait.
    void answerAlways(const QString &button) { m_autoAnswer = button; }
    const QList<Message> &all() const { return m_messages; }
    int count() const { return int(m_messages.size()); }
    QString lastText() const { return m_messages.isEmpty() ? QString() : m_messages.last().text; }
    QString lastCaption() const { return m_messages.isEmpty() ? QString() : m_messages.last().caption; }
    QStringList texts() const
    {
        QStringList out;
        for (const Message &m : m_messages)
            out << m.text;
        return out;
    }
    void clear() { m_messages.clear(); }

private:
    bool answer_(const QString &button)
    {
        if (!m_pending || m_questions.isEmpty())
            return false;
        const QList<Question::Button> &buttons = m_questions.last().buttons;
        for (int i = 0; i < buttons.size(); ++i) {
            if (buttons.at(i).text == button) {
                const Messages::Answer answered = std::exchange(m_pending, nullptr);
                answered(i);
                return true;
            }
        }
        return false;
    }

    QList<Message> m_messages;
    QList<Question> m_questions;
    Messages::Answer m_pending;
    QString m_autoAnswer;
};

} // namespace gencfg
