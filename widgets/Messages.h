#pragma once

// The program's one way to show a message box. Tests install a handler that
// records the boxes instead of showing them (tests/MessageRecorder.h).

#include <QCoreApplication>
#include <QList>
#include <QPointer>
#include <QString>
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

// Every box is captioned by its kind, in the user's language.
inline QString ErrorCaption()
{
    return QCoreApplication::translate("Messages", "Ошибка");
}
inline QString WarningCaption()
{
    return QCoreApplication::translate("Messages", "Предупреждение");
}
inline QString InformationCaption()
{
    return QCoreApplication::translate("Messages", "Информация");
}
// The boxes that end a transfer, report a controller not ready and ask for a log-file name.
inline QString TransferDoneCaption()
{
    return InformationCaption();
}
inline QString NotReadyCaption()
{
    return ErrorCaption();
}
inline QString LogFileWarningCaption()
{
    return WarningCaption();
}

// A question with its buttons; the answer is the index of the button chosen.
struct Question
{
    enum Role { Accept, Destructive, Reject };
    struct Button
    {
        QString text;
        Role role = Accept;
    };
    QString caption;
    QString text;
    QList<Button> buttons;
    // The button Enter presses, and the answer when the box is closed otherwise.
    int defaultButton = 0;
};

class Messages
{
public:
    using Handler = std::function<void(const Message &)>;
    using Answer = std::function<void(int button)>;
    using QuestionHandler = std::function<void(const Question &, Answer)>;
    using Closed = std::function<void()>;

    explicit Messages(QWidget *parent = nullptr) : m_parent(parent) {}

    // A window-modal box with one OK button; returns at once. closed, when given, runs once the box is
    // closed, and only while receiver lives.
    void show(Message::Kind kind, const QString &caption, const QString &text,
              const QObject *receiver = nullptr, Closed closed = {});
    void plain(const QString &caption, const QString &text, const QObject *receiver = nullptr,
               Closed closed = {})
    {
        show(Message::Plain, caption, text, receiver, std::move(closed));
    }
    void warning(const QString &text, const QString &caption = WarningCaption())
    {
        show(Message::Warning, caption, text);
    }
    void error(const QString &text, const QString &caption = ErrorCaption())
    {
        show(Message::Critical, caption, text);
    }

    // Window-modal and never waited on: answered is called once, later, with the chosen button.
    void ask(const Question &question, Answer answered);

    void setHandler(Handler handler) { m_handler = std::move(handler); }
    void setQuestionHandler(QuestionHandler handler) { m_questionHandler = std::move(handler); }
    void setParent(QWidget *parent) { m_parent = parent; }

private:
    QPointer<QWidget> m_parent;
    Handler m_handler;
    QuestionHandler m_questionHandler;
};

} // namespace gencfg
