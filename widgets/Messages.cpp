#include "widgets/Messages.h"

#include <QMessageBox>
#include <QPushButton>
#include <QWidget>

namespace gencfg {

void Messages::show(Message::Kind kind, const QString &caption, const QString &text, const QObject *receiver,
                    Closed closed)
{
    if (m_handler) {
        m_handler(Message{kind, caption, text});
        // A recorded box counts as seen at once.
        if (closed)
            closed();
        return;
    }
    auto *box = new QMessageBox(m_parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    box->setWindowTitle(caption);
    box->setText(text);
    box->setStandardButtons(QMessageBox::Ok);
    switch (kind) {
    case Message::Plain:
        box->setIcon(QMessageBox::NoIcon);
        break;
    case Message::Information:
        box->setIcon(QMessageBox::Information);
        break;
    case Message::Warning:
        box->setIcon(QMessageBox::Warning);
        break;
    case Message::Critical:
        box->setIcon(QMessageBox::Critical);
        break;
    }
    if (closed)
        QObject::connect(box, &QDialog::finished, receiver ? receiver : box,
                         [closed = std::move(closed)] { closed(); });
    box->open();
}

void Messages::ask(const Question &question, Answer answered)
{
    if (m_questionHandler) {
        m_questionHandler(question, std::move(answered));
        return;
    }
    auto *box = new QMessageBox(m_parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    box->setIcon(QMessageBox::Question);
    box->setWindowTitle(question.caption);
    box->setText(question.text);
    QList<QAbstractButton *> buttons;
    for (const Question::Button &button : question.buttons) {
        const QMessageBox::ButtonRole role = button.role == Question::Reject ? QMessageBox::RejectRole
                                             : button.role == Question::Destructive
                                                 ? QMessageBox::DestructiveRole
                                                 : QMessageBox::AcceptRole;
        buttons << box->addButton(button.text, role);
    }
    const int fallback = question.defaultButton;
    if (fallback >= 0 && fallback < buttons.size()) {
        box->setDefaultButton(static_cast<QPushButton *>(buttons.at(fallback)));
        box->setEscapeButton(buttons.at(fallback));
    }
    QObject::connect(box, &QDialog::finished, box, [box, buttons, fallback, answered = std::move(answered)] {
        const int chosen = int(buttons.indexOf(box->clickedButton()));
        answered(chosen >= 0 ? chosen : fallback);
    });
    box->open();
}

} // namespace gencfg
