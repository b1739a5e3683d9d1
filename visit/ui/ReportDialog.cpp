#include "visit/ui/ReportDialog.h"

#include "config/ParamFile.h"
#include "widgets/Messages.h"

#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

namespace gencfg {

ReportDialog::ReportDialog(ReportSource source, Messages &messages, QWidget *parent)
    : QDialog(parent), m_source(std::move(source)), m_messages(messages)
{
    setObjectName(QStringLiteral("ReportDialog"));
    setWindowTitle(tr("Отчёт"));
    resize(480, 300);

    auto *notesLabel = new QLabel(tr("Заметки для отчёта:"), this);
    notesEdit = new QPlainTextEdit(this);
    notesEdit->setObjectName(QStringLiteral("notesEdit"));
    notesEdit->setAccessibleName(tr("Заметки для отчёта"));
    notesLabel->setBuddy(notesEdit);
    savePdfButton = new QPushButton(tr("Сохранить PDF"), this);
    savePdfButton->setObjectName(QStringLiteral("savePdfButton"));
    printButton = new QPushButton(tr("Печать"), this);
    printButton->setObjectName(QStringLiteral("printButton"));
    closeButton = new QPushButton(tr("Закрыть"), this);
    closeButton->setObjectName(QStringLiteral("closeButton"));

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(savePdfButton);
    buttons->addWidget(printButton);
    buttons->addWidget(closeButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(notesLabel);
    layout->addWidget(notesEdit);
    layout->addLayout(buttons);

    connect(savePdfButton, &QPushButton::clicked, this, &ReportDialog::savePdf);
    connect(printButton, &QPushButton::clicked, this, &ReportDialog::print);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::close);
}

QList<QWidget *> ReportDialog::reportControls() const
{
    return {savePdfButton, printButton};
}

VisitReportInput ReportDialog::input() const
{
    VisitReportInput input = m_source();
    input.notes = notesEdit->toPlainText();
    return input;
}

void ReportDialog::savePdf()
{
    const VisitReportInput report = input();
    const QString proposed = QStringLiteral("report-%1-%2.pdf")
                                 .arg(report.serial.isEmpty() ? QStringLiteral("no-serial") : report.serial,
                                      report.time.toString(QStringLiteral("yyyyMMdd-HHmm")));
    const QString chosen = QFileDialog::getSaveFileName(this, QString(), QDir::home().filePath(proposed),
                                                        QStringLiteral("PDF (*.pdf)"));
    if (chosen.isEmpty())
        return;
    const QString path = SaveFileName(chosen, QStringLiteral(".pdf"));
    if (const QString failure = WriteVisitReportPdf(report, path); !failure.isEmpty())
        m_messages.error(failure);
}

void ReportDialog::print()
{
    // Opened, not executed: the window goes on while the technician chooses a printer.
    auto *printer = new QPrinter(QPrinter::HighResolution);
    auto *dialog = new QPrintDialog(printer, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QObject::destroyed, this, [printer] { delete printer; });
    connect(dialog, &QDialog::accepted, this, [this, printer] { PrintVisitReport(input(), *printer); });
    dialog->open();
}

} // namespace gencfg
