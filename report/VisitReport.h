#pragma once

// The report a technician hands over at the end of a visit: what the
// controller is, the notes, what it measured, every parameter with the values
// changed in the visit marked, the write proof and both journals; A4 pages
// with page numbers, as PDF or on a printer.

#include "config/ConfigImage.h"
#include "monitor/Telemetry.h"

#include <QDateTime>
#include <QString>
#include <optional>

class QPagedPaintDevice;
class QTextDocument;

namespace gencfg {

class JournalBook;
class ParamModel;

// Longer notes are cut: the report is laid out on the window's thread.
constexpr int MaxReportNotesLength = 20000;

struct VisitReportInput
{
    quint8 variantCode = 0;
    QString serial;
    bool serialKnown = true; // false: journals came from a controller whose parameters were not read since
    QDateTime time;
    QString programVersion;
    QString notes;
    std::optional<TelemetryRecord> status;   // the newest status frame
    const ParamModel *tree = nullptr;        // the parameters as they are now
    std::optional<ConfigImageBytes> arrival; // what the controller held when first read in this visit
    std::optional<QDateTime> writeProven;    // when a write of this visit was proven by reading back
    const JournalBook *journals = nullptr;   // nothing when the journals were not read
};

// The report as a document laid out for A4 pages.
std::unique_ptr<QTextDocument> VisitReportDocument(const VisitReportInput &input);
// Prints the report onto device's pages, numbered.
void PrintVisitReport(const VisitReportInput &input, QPagedPaintDevice &device);
// Writes the report as a PDF file; returns the error or an empty text.
QString WriteVisitReportPdf(const VisitReportInput &input, const QString &path);

} // namespace gencfg
