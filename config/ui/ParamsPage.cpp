#include "config/ui/ParamsPage.h"

#include "config/ParamModel.h"
#include "config/ui/ParamTreeView.h"

#include <QProgressBar>
#include <QPushButton>

namespace gencfg {

namespace {

QPushButton *makeButton(QWidget *page, const char *name, const QString &caption, const QRect &place)
{
    auto *button = new QPushButton(caption, page);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(place);
    return button;
}

} // namespace

ParamsPage::ParamsPage(ParamModel &model, QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TabSheet2"));
    TreeList1 = new ParamTreeView(this);
    TreeList1->setObjectName(QStringLiteral("TreeList1"));
    TreeList1->setModel(&model);
    TreeList1->setGeometry(0, 24, 787, 449);
    Button1 = makeButton(this, "Button1", QStringLiteral("Сохранить"), {3, 480, 100, 41});
    Button2 = makeButton(this, "Button2", QStringLiteral("Открыть"), {109, 480, 100, 41});
    Button3 = makeButton(this, "Button3", QStringLiteral("Записать"), {582, 480, 100, 41});
    Button4 = makeButton(this, "Button4", QStringLiteral("Прочитать"), {689, 480, 100, 41});
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setGeometry(232, 488, 329, 29);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->hide();
}

} // namespace gencfg
