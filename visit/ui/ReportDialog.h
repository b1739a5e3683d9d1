#pragma once

// "Отчёт": the technician's notes, then the visit report saved as PDF or printed.

#include "report/VisitReport.h"

#include <QDialog>
#include <functional>

class QPlainTextEdit;
class QPushButton;

namespace gencfg {

class Messages;

class ReportDialog : public QDialog
{
    Q_OBJECT
public:
    // What the report shows at the moment it is made; the dialog adds the notes.
    using ReportSource = std::function<VisitReportInput()>;

    ReportDialog(ReportSource source, Messages &messages, QWidget *parent = nullptr);

    // What makes the report, for the window's enabling rule: nothing is reported while an operation runs.
    QList<QWidget *> reportControls() const;
    // What the dialog tells when the journals it would report belong to no known controller.
    static QString ReadParametersFirstText();

private:
    void savePdf();
    void print();
    VisitReportInput input() const;
    // Tells the technician to read the controller first when the report could not name it.
    bool controllerKnown(const VisitReportInput &report);

    ReportSource m_source;
    Messages &m_messages;
    QPlainTextEdit *m_notesEdit = nullptr;
    QPushButton *m_savePdfButton = nullptr;
    QPushButton *m_printButton = nullptr;
    QPushButton *m_closeButton = nullptr;
};

} // namespace gencfg
