#include "visit/FleetTable.h"

#include "config/Catalogue.h"
#include "config/ParamChanges.h"
#include "config/ParamModel.h"
#include "link/DeviceText.h"
#include "monitor/TelemetryJson.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>

namespace gencfg {

namespace {

// What one controller's visits, met newest first, give the fleet; each visit folder is read only while
// needed.
struct Gatherer
{
    std::optional<Visit> last;
    std::optional<Visit> previousImage;
    std::optional<Visit> reading;
    std::optional<QDateTime> beforeReading;
    bool readingOver = false; // the visit before the reading is known, or there is none

    bool complete() const { return last && (!last->image || previousImage) && reading && readingOver; }
    // Whether taking this visit needs its image or journals; otherwise its visit.json alone will do.
    bool needsWhole(const VisitArchive::Summary &summary) const
    {
        return !last || (last->image && !previousImage && summary.hasImage) ||
               (!reading && summary.hasJournals);
    }
    void take(const Visit &visit)
    {
        if (!last) {
            last = visit;
        } else if (last->image && !previousImage && visit.image) {
            previousImage = visit;
        }
        if (reading && !readingOver) {
            beforeReading = visit.time;
            readingOver = true;
        } else if (!reading && !visit.journals.isEmpty()) {
            reading = visit;
        }
    }
};

std::optional<qint64> statusNumber(const QJsonObject &status, const char *key)
{
    const QJsonValue value = status.value(QLatin1String(key));
    return value.isDouble() ? std::optional<qint64>(value.toInteger()) : std::nullopt;
}

// The serial number a folder named by SerialFolderName holds; nothing for any other name.
std::optional<QString> serialOfFolder(const QString &name)
{
    if (name == NoSerialFolder)
        return QString();
    static const QRegularExpression plain(QStringLiteral("^([0-9a-z-]|%[0-9A-F]{2})+$"));
    if (!plain.match(name).hasMatch())
        return std::nullopt;
    return QString::fromUtf8(QByteArray::fromPercentEncoding(name.toLatin1()));
}

FleetRow rowOf(const Gatherer &found, std::map<quint8, std::unique_ptr<ParamModel>> &layouts)
{
    const Visit &last = *found.last;
    FleetRow row;
    row.serial = last.serial;
    row.variantCode = last.variantCode;
    row.lastVisit = last.time;
    row.kind = last.kind;
    row.technician = PrintableText(last.technician);
    row.pc = PrintableText(last.pc);
    row.engineMinutes = statusNumber(last.status, "motoclock_minutes");
    row.maintenanceMinutes = statusNumber(last.status, "maintenance_minutes");
    if (found.reading) {
        row.alarms = AlarmsAfter(found.reading->journals, found.reading->time,
                                 found.beforeReading.value_or(QDateTime()));
    }
    const std::optional<DeviceVariant> variant = VariantFromCode(last.variantCode);
    if (found.previousImage && variant) {
        std::unique_ptr<ParamModel> &layout = layouts[last.variantCode];
        if (!layout) {
            layout = std::make_unique<ParamModel>();
            LoadVariantTree(*variant, *layout);
        }
        for (const ParamDifference &d :
             DifferingParams(*layout, *found.previousImage->image, *last.image, Compare::Bytes))
            row.changed.append(d.path);
    }
    return row;
}

// Beside a serial number's visits: its row and the visit folders and program it was made from. Any other
// listing or program makes it stale; a half-stored or future visit leaves none written.
const QString IndexFileName = QStringLiteral("fleet-index.json");
constexpr int IndexVersion = 1;

QJsonValue optionalNumber(const std::optional<qint64> &n)
{
    return n ? QJsonValue(n.value()) : QJsonValue();
}

QByteArray indexBytes(const QStringList &names, const FleetRow &row)
{
    const QJsonObject index{{QStringLiteral("version"), IndexVersion},
                            {QStringLiteral("program"), QStringLiteral(GENCFG_VERSION)},
                            {QStringLiteral("folders"), QJsonArray::fromStringList(names)},
                            {QStringLiteral("serial"), row.serial},
                            {QStringLiteral("variant_code"), int(row.variantCode)},
                            {QStringLiteral("last_visit"), row.lastVisit.toString(Qt::ISODateWithMs)},
                            {QStringLiteral("kind"), int(row.kind)},
                            {QStringLiteral("technician"), row.technician},
                            {QStringLiteral("pc"), row.pc},
                            {QStringLiteral("engine_minutes"), optionalNumber(row.engineMinutes)},
                            {QStringLiteral("maintenance_minutes"), optionalNumber(row.maintenanceMinutes)},
                            {QStringLiteral("alarms"), QJsonArray::fromStringList(row.alarms)},
                            {QStringLiteral("changed"), QJsonArray::fromStringList(row.changed)}};
    return QJsonDocument(index).toJson(QJsonDocument::Compact);
}

// Kept for the next time when the folder can be written; the row stands either way. Renamed into place, so
// a reader never meets half of one, and not synced to disk: a lost one is only made again.
void saveIndex(const QString &path, const QByteArray &bytes)
{
    const QString temporary = path + QStringLiteral(".%1.tmp").arg(QCoreApplication::applicationPid());
    QFile file(temporary);
    const bool written =
        file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
    file.close();
    if (!written ||
        std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(path).constData()) != 0)
        QFile::remove(temporary);
}

std::optional<QStringList> stringList(const QJsonValue &value)
{
    if (!value.isArray())
        return std::nullopt;
    QStringList list;
    for (const QJsonValue &item : value.toArray()) {
        if (!item.isString())
            return std::nullopt;
        list.append(item.toString());
    }
    return list;
}

std::optional<qint64> indexNumber(const QJsonValue &value, bool &ok)
{
    if (value.isNull())
        return std::nullopt;
    ok = ok && value.isDouble();
    return value.toInteger();
}

// The row an index holds when it was made from exactly these folders by this program; checked as a visit's
// own file is, since a shared folder may bring anything.
std::optional<FleetRow> indexedRow(const QString &path, const QStringList &names, const QString &own)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly) || file.size() > MaxVisitFileSize)
        return std::nullopt;
    const QJsonObject index = QJsonDocument::fromJson(file.read(MaxVisitFileSize)).object();
    const std::optional<QStringList> folders = stringList(index.value(QStringLiteral("folders")));
    const std::optional<QStringList> alarms = stringList(index.value(QStringLiteral("alarms")));
    const std::optional<QStringList> changed = stringList(index.value(QStringLiteral("changed")));
    const int variant = index.value(QStringLiteral("variant_code")).toInt(-1);
    const int kind = index.value(QStringLiteral("kind")).toInt(-1);
    FleetRow row;
    row.lastVisit =
        QDateTime::fromString(index.value(QStringLiteral("last_visit")).toString(), Qt::ISODateWithMs);
    bool ok = index.value(QStringLiteral("version")).toInt() == IndexVersion &&
              index.value(QStringLiteral("program")).toString() == QStringLiteral(GENCFG_VERSION) &&
              folders && *folders == names && index.value(QStringLiteral("serial")).toString() == own &&
              alarms && changed && variant >= 0 && variant <= 255 && kind >= int(VisitKind::Read) &&
              kind <= int(VisitKind::Service) && row.lastVisit.isValid();
    row.engineMinutes = indexNumber(index.value(QStringLiteral("engine_minutes")), ok);
    row.maintenanceMinutes = indexNumber(index.value(QStringLiteral("maintenance_minutes")), ok);
    if (!ok)
        return std::nullopt;
    row.serial = own;
    row.variantCode = quint8(variant);
    row.kind = VisitKind(kind);
    row.technician = PrintableText(index.value(QStringLiteral("technician")).toString());
    row.pc = PrintableText(index.value(QStringLiteral("pc")).toString());
    for (const QString &alarm : *alarms)
        row.alarms.append(PrintableText(alarm));
    for (const QString &path : *changed)
        row.changed.append(PrintableText(path));
    return row;
}

QString csvField(const QString &text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')))
        return text;
    return QLatin1Char('"') + QString(text).replace(QLatin1Char('"'), QStringLiteral("\"\"")) +
           QLatin1Char('"');
}

QString numberText(const std::optional<qint64> &number)
{
    return number ? QString::number(*number) : QString();
}

// The fields every format prints, in order, each as text.
const QStringList FieldNames{QStringLiteral("serial"),
                             QStringLiteral("variant"),
                             QStringLiteral("last_visit"),
                             QStringLiteral("technician"),
                             QStringLiteral("pc"),
                             QStringLiteral("done"),
                             QStringLiteral("engine_minutes"),
                             QStringLiteral("maintenance_minutes"),
                             QStringLiteral("due_by"),
                             QStringLiteral("due_in_days"),
                             QStringLiteral("alarms"),
                             QStringLiteral("changed")};

QStringList fieldTexts(const FleetRow &row, const QDateTime &now, const QString &listSeparator)
{
    const std::optional<QDateTime> due = row.dueBy();
    return {row.serial.isEmpty() ? NoSerialFolder : row.serial,
            VariantName(row.variantCode),
            VisitTimeText(row.lastVisit),
            row.technician,
            row.pc,
            VisitKindName(row.kind),
            numberText(row.engineMinutes),
            numberText(row.maintenanceMinutes),
            due ? due->toString(QStringLiteral("yyyy-MM-dd")) : QString(),
            numberText(row.dueInDays(now)),
            row.alarms.join(listSeparator),
            row.changed.join(listSeparator)};
}

} // namespace

std::optional<QDateTime> FleetRow::dueBy() const
{
    if (!maintenanceMinutes)
        return std::nullopt;
    return lastVisit.addSecs(*maintenanceMinutes * 60);
}

std::optional<qint64> FleetRow::dueInDays(const QDateTime &now) const
{
    const std::optional<QDateTime> due = dueBy();
    if (!due)
        return std::nullopt;
    const qint64 secs = now.secsTo(*due);
    // Rounded towards the past: a maintenance due in six hours is due today.
    return secs >= 0 ? secs / 86400 : -((-secs + 86399) / 86400);
}

QStringList AlarmsAfter(const QString &journals, const QDateTime &readAt, const QDateTime &since)
{
    // The alarm journal is the second one: the text after the blank line, under its caption.
    const qsizetype blank = journals.indexOf(QStringLiteral("\n\n"));
    if (blank < 0)
        return {};
    QStringList lines = journals.mid(blank + 2).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    if (!lines.isEmpty())
        lines.removeFirst();
    static const QRegularExpression stamp(QStringLiteral("^(\\d\\d):(\\d\\d) (\\d\\d)/(\\d\\d) "));
    QStringList found;
    for (const QString &line : lines) {
        const QRegularExpressionMatch m = stamp.match(line);
        if (!m.hasMatch())
            continue; // an entry not read
        const QTime time(m.captured(1).toInt(), m.captured(2).toInt());
        QDateTime at;
        for (int year = readAt.date().year(); year >= readAt.date().year() - 1 && !at.isValid(); --year) {
            const QDate date(year, m.captured(4).toInt(), m.captured(3).toInt());
            const QDateTime candidate(date, time, Qt::OffsetFromUTC, readAt.offsetFromUtc());
            if (date.isValid() && time.isValid() && candidate <= readAt)
                at = candidate;
        }
        if (at.isValid() && (!since.isValid() || at > since))
            found.append(PrintableText(line));
    }
    return found;
}

namespace {

// A serial folder's visit folders, newest first: they are named by their UTC time.
QStringList visitFolderNames(const QDir &dir)
{
    QStringList names = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(names.begin(), names.end(), std::greater<QString>());
    return names;
}

// What one serial folder's visits give, read newest first only as far as its row needs.
struct FolderScan
{
    std::map<QString, Gatherer> found;
    bool whole = true; // every visit read was whole and not ahead of the clock

    // The row of a folder holding its own serial number's visits alone, each whole: worth an index.
    bool indexable(const std::optional<QString> &own) const
    {
        return own && whole && found.size() == 1 && found.begin()->first == *own;
    }
};

FolderScan scanFolder(const QDir &dir, const QStringList &names, const std::optional<QString> &own,
                      const QDateTime &now)
{
    FolderScan scan;
    for (const QString &name : names) {
        const QString folder = dir.filePath(name);
        const std::optional<VisitArchive::Summary> summary = VisitArchive::LoadSummary(folder);
        if (!summary || VisitInFuture(summary->visit, now)) {
            scan.whole = false;
            continue;
        }
        const auto known = scan.found.find(summary->visit.serial);
        if (known != scan.found.end() && !known->second.needsWhole(*summary)) {
            known->second.take(summary->visit);
        } else if (const std::optional<Visit> visit = VisitArchive::Load(folder)) {
            scan.found[visit->serial].take(*visit);
        } else {
            scan.whole = false;
        }
        // A folder of one serial number's own is done once that number's row is.
        if (own && scan.found.size() == 1 && scan.found.begin()->first == *own &&
            scan.found.begin()->second.complete())
            break;
    }
    return scan;
}

} // namespace

void UpdateFleetIndex(const VisitArchive &archive, const QString &serial, const QDateTime &now)
{
    const QDir dir(archive.root() + QLatin1Char('/') + SerialFolderName(serial));
    const std::optional<QString> own = serialOfFolder(dir.dirName());
    const QStringList names = visitFolderNames(dir);
    const FolderScan scan = scanFolder(dir, names, own, now);
    if (!scan.indexable(own))
        return;
    std::map<quint8, std::unique_ptr<ParamModel>> layouts;
    saveIndex(dir.filePath(IndexFileName), indexBytes(names, rowOf(scan.found.begin()->second, layouts)));
}

QVector<FleetRow> FleetRows(const VisitArchive &archive, const QDateTime &now)
{
    const QDir root(archive.root());
    std::map<QString, Gatherer> gathered;
    std::map<QString, FleetRow> indexed;
    std::map<quint8, std::unique_ptr<ParamModel>> layouts;
    QHash<QString, int> foldersOfSerial;
    for (const QString &serialFolder : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QDir dir(root.filePath(serialFolder));
        const QStringList names = visitFolderNames(dir);
        const std::optional<QString> own = serialOfFolder(serialFolder);
        const QString indexPath = dir.filePath(IndexFileName);
        if (own) {
            if (std::optional<FleetRow> row = indexedRow(indexPath, names, *own)) {
                if (foldersOfSerial[*own]++ == 0)
                    indexed[*own] = std::move(*row);
                continue;
            }
        }
        FolderScan scan = scanFolder(dir, names, own, now);
        if (scan.indexable(own) && foldersOfSerial[*own]++ == 0) {
            FleetRow row = rowOf(scan.found.begin()->second, layouts);
            saveIndex(indexPath, indexBytes(names, row));
            indexed[*own] = std::move(row);
            continue;
        }
        for (auto &[serial, found] : scan.found) {
            if (foldersOfSerial[serial]++ == 0)
                gathered[serial] = std::move(found);
        }
    }
    for (const auto &[serial, row] : indexed) {
        if (foldersOfSerial.value(serial) > 1)
            gathered.try_emplace(serial);
    }
    for (auto &[serial, found] : gathered) {
        // Kept under two folder names (an earlier naming): gathered again from all its visits, in time order.
        if (foldersOfSerial.value(serial) > 1) {
            found = Gatherer();
            const QVector<Visit> visits = archive.visits(serial);
            for (auto visit = visits.crbegin(); visit != visits.crend(); ++visit) {
                if (!VisitInFuture(*visit, now))
                    found.take(*visit);
            }
        }
        indexed.erase(serial);
        if (found.last)
            indexed.emplace(serial, rowOf(found, layouts));
    }
    // In serial number order before sorting, as ties keep it.
    QVector<FleetRow> rows;
    rows.reserve(int(indexed.size()));
    for (auto &[serial, row] : indexed)
        rows.append(std::move(row));
    std::stable_sort(rows.begin(), rows.end(), [](const FleetRow &a, const FleetRow &b) {
        const std::optional<QDateTime> dueA = a.dueBy(), dueB = b.dueBy();
        if (dueA && dueB)
            return *dueA < *dueB;
        return dueA.has_value() && !dueB.has_value();
    });
    return rows;
}

QVector<FleetRow> DueWithin(const QVector<FleetRow> &rows, qint64 days, const QDateTime &now)
{
    QVector<FleetRow> due;
    for (const FleetRow &row : rows) {
        if (const std::optional<qint64> in = row.dueInDays(now); in && *in <= days)
            due.append(row);
    }
    return due;
}

QByteArray FleetText(const QVector<FleetRow> &rows, const QDateTime &now)
{
    QString text = FieldNames.join(QLatin1Char('\t')) + QLatin1Char('\n');
    for (const FleetRow &row : rows)
        text += fieldTexts(row, now, QStringLiteral("; ")).join(QLatin1Char('\t')) + QLatin1Char('\n');
    return text.toUtf8();
}

QByteArray FleetCsv(const QVector<FleetRow> &rows, const QDateTime &now)
{
    QString text = FieldNames.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    for (const FleetRow &row : rows) {
        QStringList fields = fieldTexts(row, now, QStringLiteral("; "));
        for (QString &field : fields)
            field = csvField(field);
        text += fields.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    }
    return text.toUtf8();
}

QByteArray FleetJson(const QVector<FleetRow> &rows, const QDateTime &now)
{
    QJsonArray array;
    for (const FleetRow &row : rows) {
        const QStringList texts = fieldTexts(row, now, QString());
        QJsonObject object;
        for (int i = 0; i < FieldNames.size(); ++i)
            object.insert(FieldNames.at(i), texts.at(i));
        // Numbers as numbers, nothing as null, lists as lists.
        const auto number = [](const std::optional<qint64> &n) {
            return n ? QJsonValue(n.value()) : QJsonValue();
        };
        object.insert(QStringLiteral("serial"), row.serial.isEmpty() ? QJsonValue() : QJsonValue(row.serial));
        object.insert(QStringLiteral("engine_minutes"), number(row.engineMinutes));
        object.insert(QStringLiteral("maintenance_minutes"), number(row.maintenanceMinutes));
        object.insert(QStringLiteral("due_in_days"), number(row.dueInDays(now)));
        if (!row.dueBy())
            object.insert(QStringLiteral("due_by"), QJsonValue());
        object.insert(QStringLiteral("last_visit"), row.lastVisit.toString(Qt::ISODate));
        object.insert(QStringLiteral("alarms"), QJsonArray::fromStringList(row.alarms));
        object.insert(QStringLiteral("changed"), QJsonArray::fromStringList(row.changed));
        array.append(object);
    }
    return QJsonDocument(array).toJson(QJsonDocument::Indented);
}

} // namespace gencfg
