#pragma once

// "Парк": every controller the visit archive knows, soonest maintenance first,
// sortable by any column, the maintenance columns red when overdue and yellow
// when due within a month. The table is gathered off the window's thread.

#include "visit/FleetTable.h"

#include <QDialog>

class QLabel;
class QTreeWidget;

namespace gencfg {

class FleetDialog : public QDialog
{
    Q_OBJECT
public:
    explicit FleetDialog(const VisitArchive &archive, QWidget *parent = nullptr);

    // Gathers the table again from the archive.
    void refresh();

Q_SIGNALS:
    void shown(); // the table is filled in

private:
    void fill(const QVector<FleetRow> &rows);

    VisitArchive m_archive;
    QDateTime m_now;
    bool m_gathering = false;
    QLabel *m_stateLabel = nullptr;
    QTreeWidget *m_fleetList = nullptr;
};

} // namespace gencfg
