#pragma once

// Keeps the window's visits in the archive: each full read, proven write and
// journal reading becomes a visit of the controller it came from. Writing
// happens on a worker thread, so a slow or full disk never holds up the
// window or the link; a failure is only told.

#include "config/ParamChanges.h"
#include "monitor/JournalBook.h"
#include "monitor/StatusFeed.h"
#include "visit/VisitArchive.h"

#include <QObject>
#include <QThreadPool>

namespace gencfg {

class VisitKeeper : public QObject
{
    Q_OBJECT
public:
    explicit VisitKeeper(QObject *parent = nullptr);
    // Waits for the visits still being written.
    ~VisitKeeper() override;

    void setArchive(const VisitArchive &archive) { m_archive = archive; }
    const VisitArchive &archive() const { return m_archive; }
    // Whether visits are kept; the archive setting turns it off.
    void setEnabled(bool enabled) { m_enabled = enabled; }
    // Who makes the visits and on what PC, kept with each one.
    void setAuthor(const QString &technician, const QString &pc)
    {
        m_technician = technician;
        m_pc = pc;
    }
    bool isEnabled() const { return m_enabled; }

    // Where the newest status frame comes from, kept with each visit.
    void setStatusFeed(const StatusFeed *feed) { m_feed = feed; }
    // Another port: journals are no longer known to be the controller last read.
    void forgetController();
    // The serial number of the controller last read or written on this port; empty when unset or unknown.
    QString currentSerial() const { return m_serial.value_or(QString()); }
    // This visit so far, for the report: what the controller held when first read,
    // when a write was last proven, and the journals last read.
    const std::optional<ConfigImageBytes> &arrival() const { return m_arrival; }
    const std::optional<QDateTime> &writeProvenAt() const { return m_writeProvenAt; }
    const JournalBook *journals() const { return m_journals ? &*m_journals : nullptr; }

    // A full read or a proven write; a read is compared with the last visit first.
    void keepParameters(VisitKind kind, const ConfigImageBytes &image, quint8 variantCode,
                        const QDateTime &at = QDateTime::currentDateTime());
    // A journal reading, under the serial number of the parameters last read or written.
    void keepJournals(const JournalBook &journals, quint8 variantCode);

    // A value replaced in the controller, under the serial number it was known by; a new serial number is the
    // controller's from then on.
    void keepService(const ServiceChange &change, quint8 variantCode);

    // Blocks until every visit handed over is written; for tests and shutdown.
    void waitForWrites() { m_writer.waitForDone(); }

    // "С прошлого визита (14.05.2026 10:00) параметры не менялись"
    static QString UnchangedSinceText(const QDateTime &lastVisit);
    // "14.05.2026 10:00": a visit's time as the window shows it.
    static QString ShownTime(const QDateTime &time);
    // The heading of the last visit's column: "В прошлый раз: 12.11.2026 Иванов И.", or with its time
    // when the visit names no technician.
    static QString LastVisitHeading(const QDateTime &lastVisit, const QString &technician);

Q_SIGNALS:
    void kept(const QString &folder);
    // A text for the status bar: the archive failed, or the serial number is unset.
    void message(const QString &text);
    // A read of a controller with an earlier visit: the parameters that differ
    // since (first: then, second: now), with the time of that visit.
    void comparedWithLastVisit(const QDateTime &lastVisit, const QString &lastTechnician,
                               const QVector<gencfg::ParamDifference> &differences);

private:
    void keep(Visit visit, bool compare);
    void written(const Visit &visit, const QString &error, const std::optional<Visit> &last);

    VisitArchive m_archive;
    bool m_enabled = true;
    QString m_technician;
    QString m_pc;
    const StatusFeed *m_feed = nullptr;
    std::optional<QString> m_serial; // of the controller last read or written on this port
    std::optional<ConfigImageBytes> m_arrival;
    std::optional<QDateTime> m_writeProvenAt;
    std::optional<JournalBook> m_journals;
    bool m_toldNoSerial = false;
    QThreadPool m_writer;
};

} // namespace gencfg
