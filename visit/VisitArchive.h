#pragma once

// The controllers' visits kept on this PC: every full read, proven write and
// journal reading the window makes, in a folder per serial number and a
// folder per visit that is never written twice. Each visit folder holds the
// parameter image as a parameter file, the journal lines, and visit.json with
// the time, the variant, the program version and the status frame decoded at
// that moment; visit.json is written last, so a folder without it is no visit.

#include "config/ConfigImage.h"
#include "service/ServiceChange.h"

#include <QDateTime>
#include <QJsonObject>
#include <QStringList>
#include <QVector>
#include <optional>

namespace gencfg {

// Service: a value the technician replaced in the controller (the engine-hour counter, the serial number).
enum class VisitKind { Read, Write, Journals, Service };

struct Visit
{
    QDateTime time;
    VisitKind kind = VisitKind::Read;
    quint8 variantCode = 0;
    QString serial; // as the controller holds it; empty when unset
    QString programVersion;
    std::optional<ConfigImageBytes> image;
    QString journals;   // both journals as the journal page lists them; empty when not read
    QJsonObject status; // the newest status frame decoded; empty when none came
    QString technician; // who made it, as his setting names him; empty when unknown
    QString pc;         // the computer it was made on; empty for visits from before it was kept
    QString folder;     // where the visit is kept, once stored or loaded
    std::optional<ServiceChange> service; // what a service visit replaced; its time is the visit's
};

// The serial number a parameter image holds, trimmed; empty when the bytes are
// unset (blank, erased 0xFF or zero).
QString SerialNumberOf(const ConfigImageBytes &image);
// The folder a serial number's visits are kept in: every byte of its UTF-8
// form outside [0-9a-z-] written as %XX, so that no two serial numbers share a
// folder even on a disk that ignores case; NoSerialFolder for none.
QString SerialFolderName(const QString &serial);
inline const QString NoSerialFolder = QStringLiteral("no-serial");
// The serial number a name given by the user stands for: NoSerialFolder names the unset one.
QString SerialNamed(const QString &name);
// A visit's time this far ahead of the clock was set by a clock gone wrong: it is never "last".
constexpr qint64 FutureVisitSlackSecs = 24 * 60 * 60;
bool VisitInFuture(const Visit &visit, const QDateTime &now = QDateTime::currentDateTime());

// A visit's file is a few kilobytes; anything far larger, from a disk or a server, is not one.
constexpr qint64 MaxVisitFileSize = 1024 * 1024;

QString VisitKindName(VisitKind kind); // "read", "write", "journals", "service"
// The visit's time as listed and as SERIAL@DATE names it: "2026-12-07 14:05:31".
QString VisitTimeText(const QDateTime &time);

class VisitArchive
{
public:
    explicit VisitArchive(QString root = DefaultRoot());
    // "visits" in the window's data folder, shared by gencfg-cli.
    static QString DefaultRoot();
    const QString &root() const { return m_root; }

    // Writes the visit into a new folder of its serial number's; fills in its
    // folder. Returns the error, or an empty text.
    QString store(Visit &visit) const;
    // The serial numbers the archive holds visits of, sorted; the unset one as an empty text.
    QStringList serials() const;
    // A serial number's visits, oldest first: only those whose visit.json names
    // exactly that number; folders that are no visit are left out.
    QVector<Visit> visits(const QString &serial) const;
    // The newest visit with a parameter image, or nothing; a visit dated in the future is never it.
    std::optional<Visit> lastWithImage(const QString &serial) const;
    // "SERIAL@last" or "SERIAL@DATE": the newest visit with an image whose time
    // text begins with DATE ("2026-12-08 05:53" or "2026-12-08T05:53"). Fills
    // in error when there is none.
    std::optional<Visit> find(const QString &reference, QString &error) const;

    // A visit folder read back; nothing when it is no visit or its visit.json is malformed.
    static std::optional<Visit> Load(const QString &folder);
    // visit.json alone, the image and journals left unread: enough to know a visit and what it keeps.
    struct Summary
    {
        Visit visit; // without image and journals
        bool hasImage = false;
        bool hasJournals = false;
    };
    static std::optional<Summary> LoadSummary(const QString &folder);

private:
    // The folders a serial number's visits may be in: its own, and the one an earlier naming gave it.
    QStringList foldersOf(const QString &serial) const;
    QString m_root;
};

} // namespace gencfg
