#include "app/TerminalPage.h"

#include "widgets/SwitchLed.h"

#include <QPlainTextEdit>
#include <QPushButton>

namespace gencfg {

TerminalPage::TerminalPage(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TabSheet3"));
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setGeometry(0, 3, 789, 454);

    iSwitchLed2 = new SwitchLed(this);
    iSwitchLed2->setObjectName(QStringLiteral("iSwitchLed2"));
    iSwitchLed2->setCaption(QStringLiteral("Отображать данные"));
    iSwitchLed2->setGeometry(3, 476, 120, 41);

    Button5 = new QPushButton(QStringLiteral("Очистить "), this);
    Button5->setObjectName(QStringLiteral("Button5"));
    Button5->setGeometry(129, 476, 120, 41);

    Button6 = new QPushButton(QStringLiteral("Имя файла"), this);
    Button6->setObjectName(QStringLiteral("Button6"));
    Button6->setGeometry(543, 476, 120, 41);

    iSwitchLed1 = new SwitchLed(this);
    iSwitchLed1->setObjectName(QStringLiteral("iSwitchLed1"));
    iSwitchLed1->setCaption(QStringLiteral("Вести лог"));
    iSwitchLed1->setGeometry(669, 476, 120, 41);
}

} // namespace gencfg
