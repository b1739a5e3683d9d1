#include "visit/ui/HistoryDialog.h"

#include "link/DeviceText.h"

#include "config/Catalogue.h"
#include "config/ParamModel.h"
#include "config/ui/ChangeListDialog.h"
#include "visit/VisitKeeper.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace gencfg {

QString VisitKindText(VisitKind kind)
{
    switch (kind) {
    case VisitKind::Write:
        return HistoryDialog::tr("Запись");
    case VisitKind::Journals:
        return HistoryDialog::tr("Журналы");
    case VisitKind::Read:
        break;
    }
    return HistoryDialog::tr("Чтение");
}

HistoryDialog::HistoryDialog(const VisitArchive &archive, QWidget *parent)
    : QDialog(parent), m_archive(archive)
{
    setObjectName(QStringLiteral("HistoryDialog"));
    setWindowTitle(tr("История"));
    resize(640, 360);

    serialCombo = new QComboBox(this);
    serialCombo->setObjectName(QStringLiteral("serialCombo"));
    auto *serialLabel = new QLabel(tr("Серийный номер:"), this);
    serialLabel->setBuddy(serialCombo);
    visitList = new QTreeWidget(this);
    visitList->setObjectName(QStringLiteral("visitList"));
    visitList->setHeaderLabels({tr("Время"), tr("Что сделано"), tr("Вариант"), tr("Версия программы"),
                                tr("Техник"), tr("Компьютер")});
    visitList->setRootIsDecorated(false);
    visitList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    visitList->header()->resizeSection(0, 160);
    compareButton = new QPushButton(tr("Сравнить"), this);
    compareButton->setObjectName(QStringLiteral("compareButton"));
    compareButton->setToolTip(tr("Выберите два визита с параметрами"));
    closeButton = new QPushButton(tr("Закрыть"), this);
    closeButton->setObjectName(QStringLiteral("closeButton"));

    auto *top = new QHBoxLayout;
    top->addWidget(serialLabel);
    top->addWidget(serialCombo, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(compareButton);
    buttons->addWidget(closeButton);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(visitList);
    layout->addLayout(buttons);

    connect(serialCombo, &QComboBox::currentIndexChanged, this, &HistoryDialog::showVisits);
    connect(visitList, &QTreeWidget::itemSelectionChanged, this,
            [this] { compareButton->setEnabled(chosenVisits().size() == 2); });
    connect(compareButton, &QPushButton::clicked, this, &HistoryDialog::compareChosen);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::close);
    showController(QString());
}

void HistoryDialog::showController(const QString &serial)
{
    const QSignalBlocker quiet(serialCombo);
    serialCombo->clear();
    // Each controller under its own serial number, kept as the item's data: two never share an item.
    for (const QString &kept : m_archive.serials())
        serialCombo->addItem(kept.isEmpty() ? tr("не задан") : kept, kept);
    const int found = serialCombo->findData(serial);
    if (found >= 0)
        serialCombo->setCurrentIndex(found);
    showVisits();
}

void HistoryDialog::showVisits()
{
    m_visits = serialCombo->currentIndex() < 0 ? QVector<Visit>()
                                               : m_archive.visits(serialCombo->currentData().toString());
    visitList->clear();
    for (const Visit &visit : m_visits) {
        const std::optional<DeviceVariant> variant = VariantFromCode(visit.variantCode);
        auto *item = new QTreeWidgetItem(
            QStringList{VisitTimeText(visit.time), VisitKindText(visit.kind),
                        variant ? VariantTitle(*variant).trimmed() : QString::number(visit.variantCode),
                        visit.programVersion, PrintableText(visit.technician), PrintableText(visit.pc)});
        if (VisitInFuture(visit))
            item->setToolTip(0, tr("Время визита впереди часов компьютера: он не считается последним"));
        visitList->addTopLevelItem(item);
    }
    compareButton->setEnabled(false);
}

QVector<Visit> HistoryDialog::chosenVisits() const
{
    QVector<Visit> chosen;
    for (int row = 0; row < visitList->topLevelItemCount(); ++row) {
        if (visitList->topLevelItem(row)->isSelected() && m_visits.at(row).image)
            chosen.append(m_visits.at(row));
    }
    return chosen;
}

void HistoryDialog::compareChosen()
{
    const QVector<Visit> chosen = chosenVisits();
    if (chosen.size() != 2)
        return;
    const Visit &older = chosen.at(0);
    const Visit &newer = chosen.at(1);
    ParamModel layout;
    LoadVariantTree(VariantFromCode(newer.variantCode).value_or(DeviceVariant::Petrol), layout);
    auto *list = new ChangeListDialog(
        tr("Сравнение визитов"),
        {tr("Параметр"), VisitKeeper::ShownTime(older.time), VisitKeeper::ShownTime(newer.time)},
        DifferingParams(layout, *older.image, *newer.image, Compare::Values), this);
    list->setAttribute(Qt::WA_DeleteOnClose);
    list->show();
}

} // namespace gencfg
