#include "widgets/Messages.h"

#include <QMessageBox>
#include <QWidget>

namespace gencfg {

void Messages::show(Message::Kind kind, const QString &caption, const QString &text)
{
    if (m_handler) {
        m_handler(Message{kind, caption, text});
        return;
    }
    QMessageBox box(m_parent);
    box.setWindowTitle(caption);
    box.setText(text);
    box.setStandardButtons(QMessageBox::Ok);
    switch (kind) {
    case Message::Plain:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case Message::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case Message::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case Message::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    }
    box.exec();
}

} // namespace gencfg
