#include "visit/ui/FleetDialog.h"

#include "config/Catalogue.h"
#include "monitor/Telemetry.h"
#include "visit/ui/HistoryDialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QThread>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <memory>

namespace gencfg {

namespace {

// Days of warning before a maintenance falls due.
constexpr qint64 DueSoonDays = 30;

enum Column { Serial, Variant, LastVisit, Technician, Pc, Done, Engine, Maintenance, DueBy, Alarms, Changed };

// Sorts by the value kept under Qt::UserRole where a column has one, by text elsewhere.
class FleetItem : public QTreeWidgetItem
{
public:
    using QTreeWidgetItem::QTreeWidgetItem;
    bool operator<(const QTreeWidgetItem &other) const override
    {
        const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
        const QVariant mine = data(column, Qt::UserRole), theirs = other.data(column, Qt::UserRole);
        if (mine.isValid() || theirs.isValid())
            return mine.isValid() && (!theirs.isValid() || mine.toLongLong() < theirs.toLongLong());
        return text(column) < other.text(column);
    }
};

} // namespace

FleetDialog::FleetDialog(const VisitArchive &archive, QWidget *parent) : QDialog(parent), m_archive(archive)
{
    setObjectName(QStringLiteral("FleetDialog"));
    setWindowTitle(tr("Парк"));
    resize(980, 420);
    m_stateLabel = new QLabel(this);
    m_stateLabel->setObjectName(QStringLiteral("fleetState"));
    m_fleetList = new QTreeWidget(this);
    m_fleetList->setObjectName(QStringLiteral("fleetList"));
    m_fleetList->setHeaderLabels({tr("Серийный номер"), tr("Вариант"), tr("Последний визит"), tr("Техник"),
                                  tr("Компьютер"), tr("Что сделано"), tr("Моточасы"), tr("До ТО"),
                                  tr("ТО не позже"), tr("Аварии с визита до"), tr("Изменённые параметры")});
    m_fleetList->setRootIsDecorated(false);
    m_fleetList->setSortingEnabled(true);
    m_fleetList->sortByColumn(DueBy, Qt::AscendingOrder);
    auto *refreshButton = new QPushButton(tr("Обновить"), this);
    refreshButton->setObjectName(QStringLiteral("refreshButton"));
    auto *closeButton = new QPushButton(tr("Закрыть"), this);
    closeButton->setObjectName(QStringLiteral("closeButton"));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_stateLabel, 1);
    buttons->addWidget(refreshButton);
    buttons->addWidget(closeButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_fleetList);
    layout->addLayout(buttons);
    connect(refreshButton, &QPushButton::clicked, this, &FleetDialog::refresh);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::close);
    refresh();
}

void FleetDialog::refresh()
{
    if (m_gathering)
        return;
    m_gathering = true;
    m_stateLabel->setText(tr("Архив читается…"));
    m_now = QDateTime::currentDateTime();
    // Thousands of visit folders take seconds to read: never on the window's thread.
    auto rows = std::make_shared<QVector<FleetRow>>();
    QThread *worker =
        QThread::create([rows, archive = m_archive, now = m_now] { *rows = FleetRows(archive, now); });
    connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    connect(worker, &QThread::finished, this, [this, rows] {
        m_gathering = false;
        fill(*rows);
    });
    worker->start();
}

void FleetDialog::fill(const QVector<FleetRow> &rows)
{
    m_fleetList->setSortingEnabled(false);
    m_fleetList->clear();
    const QColor overdue(0xF4, 0x9A, 0x9A), soon(0xFF, 0xE8, 0x80);
    for (const FleetRow &row : rows) {
        const std::optional<DeviceVariant> variant = VariantFromCode(row.variantCode);
        const std::optional<QDateTime> due = row.dueBy();
        auto *item = new FleetItem(
            QStringList{row.serial.isEmpty() ? tr("не задан") : row.serial,
                        variant ? VariantTitle(*variant).trimmed() : QString::number(row.variantCode),
                        VisitTimeText(row.lastVisit), row.technician, row.pc, VisitKindText(row.kind),
                        row.engineMinutes ? HoursMinutesText(*row.engineMinutes) : QString(),
                        row.maintenanceMinutes ? HoursMinutesText(*row.maintenanceMinutes) : QString(),
                        due ? due->toString(QStringLiteral("dd.MM.yyyy")) : QString(),
                        row.alarms.join(QStringLiteral("; ")), row.changed.join(QStringLiteral("; "))});
        if (row.engineMinutes)
            item->setData(Engine, Qt::UserRole, *row.engineMinutes);
        if (row.maintenanceMinutes)
            item->setData(Maintenance, Qt::UserRole, *row.maintenanceMinutes);
        if (due)
            item->setData(DueBy, Qt::UserRole, due->toSecsSinceEpoch());
        item->setData(LastVisit, Qt::UserRole, row.lastVisit.toSecsSinceEpoch());
        item->setToolTip(Alarms, row.alarms.join(QLatin1Char('\n')));
        item->setToolTip(Changed, row.changed.join(QLatin1Char('\n')));
        if (const std::optional<qint64> days = row.dueInDays(m_now); days && *days <= DueSoonDays) {
            for (int column : {Maintenance, DueBy})
                item->setBackground(column, *days < 0 ? overdue : soon);
            item->setToolTip(DueBy, *days < 0 ? tr("ТО просрочено") : tr("ТО в ближайшие %1 дн.").arg(*days));
        }
        m_fleetList->addTopLevelItem(item);
    }
    m_fleetList->setSortingEnabled(true);
    for (int column = 0; column < Alarms; ++column)
        m_fleetList->resizeColumnToContents(column);
    m_stateLabel->setText(tr("Контроллеров: %1").arg(rows.size()));
    Q_EMIT shown();
}

} // namespace gencfg
