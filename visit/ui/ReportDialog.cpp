#include "visit/ui/ReportDialog.h"

#include "config/ParamFile.h"
#include "visit/VisitArchive.h"
#include "widgets/Messages.h"
#include "widgets/SaveFileDialog.h"

#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>

namespace gencfg {

ReportDialog::ReportDialog(ReportSource source, Messages &messages, QWidget *parent)
    : QDialog(parent), m_source(std::move(source)), m_messages(messages)
{
    setObjectName(QStringLiteral("ReportDialog"));
    setWindowTitle(tr("Отчёт"));
    resize(480, 300);

    auto *notesLabel =
        new QLabel(tr("Заметки для отчёта (не более %L1 знаков):").arg(MaxReportNotesLength), this);
    m_notesEdit = new QPlainTextEdit(this);
    m_notesEdit->setObjectName(QStringLiteral("notesEdit"));
    m_notesEdit->setAccessibleName(tr("Заметки для отчёта"));
    notesLabel->setBuddy(m_notesEdit);
    m_savePdfButton = new QPushButton(tr("Сохранить PDF"), this);
    m_savePdfButton->setObjectName(QStringLiteral("savePdfButton"));
    m_printButton = new QPushButton(tr("Печать"), this);
    m_printButton->setObjectName(QStringLiteral("printButton"));
    m_closeButton = new QPushButton(tr("Закрыть"), this);
    m_closeButton->setObjectName(QStringLiteral("closeButton"));

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_savePdfButton);
    buttons->addWidget(m_printButton);
    buttons->addWidget(m_closeButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(notesLabel);
    layout->addWidget(m_notesEdit);
    layout->addLayout(buttons);

    // The report is laid out on this thread: bounded notes keep that short, however they were pasted.
    connect(m_notesEdit, &QPlainTextEdit::textChanged, this, [this] {
        if (m_notesEdit->document()->characterCount() - 1 <= MaxReportNotesLength)
            return;
        QTextCursor cut(m_notesEdit->document());
        cut.setPosition(MaxReportNotesLength);
        cut.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        cut.removeSelectedText();
    });
    connect(m_savePdfButton, &QPushButton::clicked, this, &ReportDialog::savePdf);
    connect(m_printButton, &QPushButton::clicked, this, &ReportDialog::print);
    connect(m_closeButton, &QPushButton::clicked, this, &QDialog::close);
}

QList<QWidget *> ReportDialog::reportControls() const
{
    return {m_savePdfButton, m_printButton};
}

VisitReportInput ReportDialog::input() const
{
    VisitReportInput input = m_source();
    input.notes = m_notesEdit->toPlainText();
    return input;
}

bool ReportDialog::controllerKnown(const VisitReportInput &report)
{
    if (!report.serialKnown)
        m_messages.warning(ReadParametersFirstText());
    return report.serialKnown;
}

QString ReportDialog::ReadParametersFirstText()
{
    return tr("Прочитайте параметры контроллера: журналы прочитаны после того, как порт открылся снова, "
              "и чей это контроллер, ещё не известно");
}

void ReportDialog::savePdf()
{
    const VisitReportInput report = input();
    if (!controllerKnown(report))
        return;
    // The serial number comes from the controller: named as its archive folder is, it stays in one file name.
    const QString proposed =
        QStringLiteral("report-%1-%2.pdf")
            .arg(SerialFolderName(report.serial), report.time.toString(QStringLiteral("yyyyMMdd-HHmm")));
    AskSaveFileName(
        this,
        {QString(), QDir::home().filePath(proposed), QStringLiteral("PDF (*.pdf)"), QStringLiteral("pdf")},
        this, [this, report](const QString &path) {
            if (path.isEmpty())
                return;
            if (const QString failure = WriteVisitReportPdf(report, path); !failure.isEmpty())
                m_messages.error(failure);
        });
}

void ReportDialog::print()
{
    if (!controllerKnown(input()))
        return;
    // Opened, not executed: the window goes on while the technician chooses a printer.
    auto *printer = new QPrinter(QPrinter::HighResolution);
    auto *dialog = new QPrintDialog(printer, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QObject::destroyed, this, [printer] { delete printer; });
    connect(dialog, &QDialog::accepted, this, [this, printer] { PrintVisitReport(input(), *printer); });
    dialog->open();
}

} // namespace gencfg
