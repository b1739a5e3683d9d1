#pragma once

// Collects the boxes a test's Messages would show, instead of blocking on them.

#include "widgets/Messages.h"

#include <QList>
#include <QStringList>

namespace gencfg {

class MessageRecorder
{
public:
    explicit MessageRecorder(Messages &messages)
    {
        messages.setHandler([this](const Message &m) { m_messages.append(m); });
    }
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
    QList<Message> m_messages;
};

} // namespace gencfg
