#pragma once

// The program's one way to show a message box. Tests install a handler that
// records the boxes instead of blocking on them.

#include <QCoreApplication>
#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

namespace gencfg {

struct Message
{
    enum Kind { Plain, Information, Warning, Critical };
    Kind kind = Plain;
    QString caption;
    QString text;
};

class Messages
{
public:
    using Handler = std::function<void(const Message &)>;

    explicit Messages(QWidget *parent = nullptr) : m_parent(parent) {}

    // A box with one OK button; returns when it is closed.
    void show(Message::Kind kind, const QString &caption, const QString &text);
    void plain(const QString &caption, const QString &text) { show(Message::Plain, caption, text); }
    void warning(const QString &text, const QString &caption = QStringLiteral("Warning"))
    {
        show(Message::Warning, caption, text);
    }
    void error(const QString &text,
               const QString &caption = QCoreApplication::translate("Messages", "Ошибка"))
    {
        show(Message::Critical, caption, text);
    }

    void setHandler(Handler handler) { m_handler = std::move(handler); }
    void setParent(QWidget *parent) { m_parent = parent; }

private:
    QPointer<QWidget> m_parent;
    Handler m_handler;
};

// Collects boxes for tests.
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
