#include "monitor/ui/JournalPage.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace gencfg {

namespace {

QPlainTextEdit *makeMemo(QWidget *page, const char *name, const QRect &place)
{
    auto *memo = new QPlainTextEdit(page);
    memo->setObjectName(QLatin1String(name));
    memo->setReadOnly(true);
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo->setPlainText(QStringLiteral("-пусто-"));
    memo->setGeometry(place);
    return memo;
}

QLabel *makeCaption(QWidget *page, const char *name, const QString &text, int centreX)
{
    auto *label = new QLabel(text, page);
    label->setObjectName(QLatin1String(name));
    label->adjustSize();
    label->move(centreX - label->width() / 2, 4);
    return label;
}

} // namespace

JournalPage::JournalPage(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TabSheet5"));
    Label19 = makeCaption(this, "Label19", QStringLiteral("Журнал событий"), 193);
    Label20 = makeCaption(this, "Label20", QStringLiteral("Журнал аварий"), 593);
    Memo3 = makeMemo(this, "Memo3", {0, 22, 386, 446});
    Memo4 = makeMemo(this, "Memo4", {400, 22, 386, 446});
    Button13 = new QPushButton(QStringLiteral("Прочитать ЖУРНАЛ СОБЫТИЙ"), this);
    Button13->setObjectName(QStringLiteral("Button13"));
    Button13->setGeometry(0, 476, 786, 41);
}

} // namespace gencfg
