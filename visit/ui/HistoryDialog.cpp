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
    case VisitKind::Service:
        return HistoryDialog::tr("Сервис");
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

    m_serialCombo = new QComboBox(this);
    m_serialCombo->setObjectName(QStringLiteral("serialCombo"));
    auto *serialLabel = new QLabel(tr("Серийный номер:"), this);
    serialLabel->setBuddy(m_serialCombo);
    m_visitList = new QTreeWidget(this);
    m_visitList->setObjectName(QStringLiteral("visitList"));
    m_visitList->setHeaderLabels({tr("Время"), tr("Что сделано"), tr("Вариант"), tr("Версия программы"),
                                  tr("Техник"), tr("Компьютер")});
    m_visitList->setRootIsDecorated(false);
    m_visitList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_visitList->header()->resizeSection(0, 160);
    m_compareButton = new QPushButton(tr("Сравнить"), this);
    m_compareButton->setObjectName(QStringLiteral("compareButton"));
    m_compareButton->setToolTip(tr("Выберите два визита с параметрами"));
    m_closeButton = new QPushButton(tr("Закрыть"), this);
    m_closeButton->setObjectName(QStringLiteral("closeButton"));

    auto *top = new QHBoxLayout;
    top->addWidget(serialLabel);
    top->addWidget(m_serialCombo, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_compareButton);
    buttons->addWidget(m_closeButton);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_visitList);
    layout->addLayout(buttons);

    connect(m_serialCombo, &QComboBox::currentIndexChanged, this, &HistoryDialog::showVisits);
    connect(m_visitList, &QTreeWidget::itemSelectionChanged, this,
            [this] { m_compareButton->setEnabled(chosenVisits().size() == 2); });
    connect(m_compareButton, &QPushButton::clicked, this, &HistoryDialog::compareChosen);
    connect(m_closeButton, &QPushButton::clicked, this, &QDialog::close);
    showController(QString());
}

void HistoryDialog::showController(const QString &serial)
{
    const QSignalBlocker quiet(m_serialCombo);
    m_serialCombo->clear();
    // Each controller under its own serial number, kept as the item's data: two never share an item.
    for (const QString &kept : m_archive.serials())
        m_serialCombo->addItem(kept.isEmpty() ? tr("не задан") : kept, kept);
    const int found = m_serialCombo->findData(serial);
    if (found >= 0)
        m_serialCombo->setCurrentIndex(found);
    showVisits();
}

void HistoryDialog::showVisits()
{
    m_visits = m_serialCombo->currentIndex() < 0 ? QVector<Visit>()
                                                 : m_archive.visits(m_serialCombo->currentData().toString());
    m_visitList->clear();
    for (const Visit &visit : m_visits) {
        const std::optional<DeviceVariant> variant = VariantFromCode(visit.variantCode);
        auto *item = new QTreeWidgetItem(
            QStringList{VisitTimeText(visit.time), VisitKindText(visit.kind),
                        variant ? VariantTitle(*variant).trimmed() : QString::number(visit.variantCode),
                        visit.programVersion, PrintableText(visit.technician), PrintableText(visit.pc)});
        if (VisitInFuture(visit))
            item->setToolTip(0, tr("Время визита впереди часов компьютера: он не считается последним"));
        m_visitList->addTopLevelItem(item);
    }
    m_compareButton->setEnabled(false);
}

QVector<Visit> HistoryDialog::chosenVisits() const
{
    QVector<Visit> chosen;
    for (int row = 0; row < m_visitList->topLevelItemCount(); ++row) {
        if (m_visitList->topLevelItem(row)->isSelected() && m_visits.at(row).image)
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
