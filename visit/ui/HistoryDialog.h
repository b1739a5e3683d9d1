#pragma once

// "История": the visits kept of a controller, the connected one or any other,
// and what changed in its parameters between any two of them.

#include "visit/VisitArchive.h"

#include <QDialog>

class QComboBox;
class QPushButton;
class QTreeWidget;

namespace gencfg {

class HistoryDialog : public QDialog
{
    Q_OBJECT
public:
    explicit HistoryDialog(const VisitArchive &archive, QWidget *parent = nullptr);

    // Lists the archive's controllers again and shows the visits of serial, when it has any.
    void showController(const QString &serial);

private:
    void showVisits();
    void compareChosen();
    QVector<Visit> chosenVisits() const;

    VisitArchive m_archive;
    QVector<Visit> m_visits;
    QComboBox *m_serialCombo = nullptr;
    QTreeWidget *m_visitList = nullptr;
    QPushButton *m_compareButton = nullptr;
    QPushButton *m_closeButton = nullptr;
};

// "Чтение", "Запись", "Журналы"
QString VisitKindText(VisitKind kind);

} // namespace gencfg
