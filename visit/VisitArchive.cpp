#include "visit/VisitArchive.h"

#include "config/ConfigTransfer.h"
#include "config/FileWriting.h"
#include "config/MemoryMap.h"
#include "config/ParamFile.h"
#include "link/DeviceText.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QStandardPaths>
#include <algorithm>

namespace gencfg {

namespace {

const QString ParamsFileName = QStringLiteral("parameters.txt");
const QString JournalsFileName = QStringLiteral("journals.txt");
const QString VisitFileName = QStringLiteral("visit.json");

constexpr VisitKind Kinds[] = {VisitKind::Read, VisitKind::Write, VisitKind::Journals, VisitKind::Service};

// A visit's own file: a pipe or a device in its place is none, and is never opened, since that could wait
// forever.
QByteArray readSmall(const QString &path, bool &ok)
{
    QFile file(path);
    ok = QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly) && file.size() <= MaxVisitFileSize;
    return ok ? file.read(MaxVisitFileSize) : QByteArray();
}

// The folder an earlier version kept a serial number's visits in; several numbers could share it.
QString legacyFolderName(const QString &serial)
{
    return QString(serial).replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9_-]")), QStringLiteral("_"));
}

// A whole number in 0..255, as visit.json stores the variant code; anything else makes the file malformed.
std::optional<quint8> byteValue(const QJsonValue &value)
{
    const double number = value.toDouble(-1);
    if (!value.isDouble() || number < 0 || number > 255 || number != double(int(number)))
        return std::nullopt;
    return quint8(number);
}

// A folder name of its own under parent: the time, the kind, and a number when the name is taken.
QString newVisitFolder(const QDir &parent, const Visit &visit)
{
    const QString base = visit.time.toUTC().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz")) +
                         QLatin1Char('-') + VisitKindName(visit.kind);
    for (int n = 1; n < 1000; ++n) {
        const QString name = n == 1 ? base : base + QLatin1Char('-') + QString::number(n);
        // mkdir fails on a name that exists, so two writers never share a folder.
        if (parent.mkdir(name))
            return parent.filePath(name);
    }
    return {};
}

} // namespace

QString SerialNumberOf(const ConfigImageBytes &image)
{
    QByteArray bytes;
    for (int i = MemoryMap::SerialNumber; i < MemoryMap::SerialNumber + MemoryMap::SerialNumberSize; ++i) {
        const quint8 b = image[size_t(i)];
        if (b == 0 || b == 0xFF)
            break;
        bytes.append(char(b));
    }
    return PrintableText(QString::fromLatin1(bytes).trimmed());
}

QString SerialFolderName(const QString &serial)
{
    if (serial.isEmpty())
        return NoSerialFolder;
    // Reversible and free of capitals: a serial number has at most eight bytes, so none reads as
    // NoSerialFolder.
    QString name;
    for (const char c : serial.toUtf8()) {
        const bool plain = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || c == '-';
        name += plain ? QString(QLatin1Char(c))
                      : QStringLiteral("%%1").arg(uint(quint8(c)), 2, 16, QLatin1Char('0')).toUpper();
    }
    return name;
}

QString SerialNamed(const QString &name)
{
    return name == NoSerialFolder ? QString() : name;
}

bool VisitInFuture(const Visit &visit, const QDateTime &now)
{
    return visit.time > now.addSecs(FutureVisitSlackSecs);
}

QString VisitKindName(VisitKind kind)
{
    switch (kind) {
    case VisitKind::Write:
        return QStringLiteral("write");
    case VisitKind::Journals:
        return QStringLiteral("journals");
    case VisitKind::Service:
        return QStringLiteral("service");
    case VisitKind::Read:
        break;
    }
    return QStringLiteral("read");
}

QString VisitTimeText(const QDateTime &time)
{
    return time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

VisitArchive::VisitArchive(QString root) : m_root(std::move(root))
{}

QString VisitArchive::DefaultRoot()
{
    // The window's data folder whatever program asks, so gencfg-cli sees the window's visits.
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/gencfg/visits");
}

QString VisitArchive::store(Visit &visit) const
{
    const QString serialPath = m_root + QLatin1Char('/') + SerialFolderName(visit.serial);
    if (!QDir().mkpath(serialPath))
        return QCoreApplication::translate("VisitArchive", "не удалось создать папку %1")
            .arg(QDir::toNativeSeparators(serialPath));
    const QString folder = newVisitFolder(QDir(serialPath), visit);
    if (folder.isEmpty())
        return QCoreApplication::translate("VisitArchive", "не удалось создать папку в %1")
            .arg(QDir::toNativeSeparators(serialPath));

    QJsonObject json{{QStringLiteral("time"),
                      visit.time.toOffsetFromUtc(visit.time.offsetFromUtc()).toString(Qt::ISODateWithMs)},
                     {QStringLiteral("kind"), VisitKindName(visit.kind)},
                     {QStringLiteral("variant_code"), visit.variantCode},
                     {QStringLiteral("serial"), visit.serial},
                     {QStringLiteral("program_version"), visit.programVersion}};
    if (!visit.status.isEmpty())
        json.insert(QStringLiteral("status"), visit.status);
    if (!visit.technician.isEmpty())
        json.insert(QStringLiteral("technician"), visit.technician);
    if (!visit.pc.isEmpty())
        json.insert(QStringLiteral("pc"), visit.pc);
    if (visit.service) {
        const ServiceChange &change = *visit.service;
        json.insert(
            QStringLiteral("service"),
            QJsonObject{{QStringLiteral("what"), ServiceWhatName(change.what)},
                        {QStringLiteral("old"), change.before ? QJsonValue(*change.before) : QJsonValue()},
                        {QStringLiteral("new"), change.after}});
    }
    QList<QPair<QString, QByteArray>> files;
    if (visit.image)
        files.append({ParamsFileName, FormatParamFile(*visit.image)});
    if (!visit.journals.isEmpty())
        files.append({JournalsFileName, visit.journals.toUtf8()});
    // A synced folder may bring visit.json before the files it names: the visit waits until they are there.
    QJsonArray names;
    for (const auto &file : files)
        names.append(file.first);
    json.insert(QStringLiteral("files"), names);
    files.append({VisitFileName, QJsonDocument(json).toJson(QJsonDocument::Indented)});
    for (const auto &[name, bytes] : files) {
        const QString path = folder + QLatin1Char('/') + name;
        if (const QString error = SaveWhole(path, bytes); !error.isEmpty())
            return QDir::toNativeSeparators(path) + QStringLiteral(": ") + error;
    }
    visit.folder = folder;
    return {};
}

QStringList VisitArchive::foldersOf(const QString &serial) const
{
    QStringList folders{m_root + QLatin1Char('/') + SerialFolderName(serial)};
    if (!serial.isEmpty() && legacyFolderName(serial) != SerialFolderName(serial))
        folders.append(m_root + QLatin1Char('/') + legacyFolderName(serial));
    return folders;
}

QStringList VisitArchive::serials() const
{
    QStringList found;
    const QDir root(m_root);
    for (const QString &serialFolder : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QDir dir(root.filePath(serialFolder));
        for (const QString &name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            if (const std::optional<Visit> visit = Load(dir.filePath(name));
                visit && !found.contains(visit->serial))
                found.append(visit->serial);
        }
    }
    found.sort();
    // The unset one last, as "no-serial" sorts after numbers.
    if (found.removeOne(QString()))
        found.append(QString());
    return found;
}

QVector<Visit> VisitArchive::visits(const QString &serial) const
{
    QVector<Visit> found;
    for (const QString &folder : foldersOf(serial)) {
        const QDir dir(folder);
        for (const QString &name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            // A folder shared by several numbers, or one a disk without case holds for two, keeps them all.
            if (std::optional<Visit> visit = Load(dir.filePath(name)); visit && visit->serial == serial)
                found.append(*visit);
        }
    }
    std::stable_sort(found.begin(), found.end(), [](const Visit &a, const Visit &b) {
        return a.time < b.time || (a.time == b.time && a.folder < b.folder);
    });
    return found;
}

std::optional<Visit> VisitArchive::lastWithImage(const QString &serial) const
{
    QString error;
    return find(serial + QStringLiteral("@last"), error);
}

std::optional<Visit> VisitArchive::find(const QString &reference, QString &error) const
{
    const qsizetype at = reference.lastIndexOf(QLatin1Char('@'));
    if (at <= 0 || at == reference.size() - 1) {
        error = QStringLiteral("%1: a visit is named SERIAL@last or SERIAL@DATE").arg(reference);
        return std::nullopt;
    }
    const QString serial = SerialNamed(reference.left(at));
    const bool last = reference.mid(at + 1) == QLatin1String("last");
    // ISO 8601 writes a T where the listed time has its blank.
    const QString date = reference.mid(at + 1).replace(QLatin1Char('T'), QLatin1Char(' '));
    const QVector<Visit> all = visits(serial);
    const QDateTime now = QDateTime::currentDateTime();
    for (auto visit = all.crbegin(); visit != all.crend(); ++visit) {
        const bool named = last ? !VisitInFuture(*visit, now) : VisitTimeText(visit->time).startsWith(date);
        if (visit->image && named)
            return *visit;
    }
    error = all.isEmpty() ? QStringLiteral("%1: no visit of %2 is kept in %3")
                                .arg(reference, reference.left(at), QDir::toNativeSeparators(m_root))
                          : QStringLiteral("%1: no visit of %2 with parameters matches %3; "
                                           "gencfg-cli history %2 lists them")
                                .arg(reference, reference.left(at), reference.mid(at + 1));
    return std::nullopt;
}

std::optional<VisitArchive::Summary> VisitArchive::LoadSummary(const QString &folder)
{
    bool ok = false;
    const QJsonObject json =
        QJsonDocument::fromJson(readSmall(folder + QLatin1Char('/') + VisitFileName, ok)).object();
    const QDateTime time =
        QDateTime::fromString(json.value(QStringLiteral("time")).toString(), Qt::ISODateWithMs);
    const std::optional<quint8> variantCode = byteValue(json.value(QStringLiteral("variant_code")));
    if (!ok || !time.isValid() || !variantCode || !json.value(QStringLiteral("serial")).isString())
        return std::nullopt;
    for (const QJsonValue &name : json.value(QStringLiteral("files")).toArray()) {
        if (!QFileInfo(folder + QLatin1Char('/') + name.toString()).isFile())
            return std::nullopt;
    }
    Summary summary;
    Visit &visit = summary.visit;
    visit.time = time;
    const QString kind = json.value(QStringLiteral("kind")).toString();
    for (VisitKind k : Kinds) {
        if (VisitKindName(k) == kind)
            visit.kind = k;
    }
    visit.variantCode = *variantCode;
    // Shown safely wherever it goes: a visit kept by an older version may hold control characters raw.
    visit.serial = PrintableText(json.value(QStringLiteral("serial")).toString());
    visit.programVersion = json.value(QStringLiteral("program_version")).toString();
    visit.status = json.value(QStringLiteral("status")).toObject();
    visit.technician = json.value(QStringLiteral("technician")).toString();
    visit.pc = json.value(QStringLiteral("pc")).toString();
    visit.folder = folder;
    if (const QJsonObject service = json.value(QStringLiteral("service")).toObject(); !service.isEmpty()) {
        ServiceChange change;
        change.what =
            service.value(QStringLiteral("what")).toString() == ServiceWhatName(ServiceChange::SerialNumber)
                ? ServiceChange::SerialNumber
                : ServiceChange::MotorHours;
        if (const QJsonValue before = service.value(QStringLiteral("old")); before.isString())
            change.before = PrintableText(before.toString());
        change.after = PrintableText(service.value(QStringLiteral("new")).toString());
        change.time = time;
        visit.service = change;
    }
    summary.hasImage = QFile::exists(folder + QLatin1Char('/') + ParamsFileName);
    // As Load reads them: a file too large to be journals holds none.
    const QFileInfo journals(folder + QLatin1Char('/') + JournalsFileName);
    summary.hasJournals = journals.isFile() && journals.size() > 0 && journals.size() <= MaxVisitFileSize;
    return summary;
}

std::optional<Visit> VisitArchive::Load(const QString &folder)
{
    std::optional<Summary> summary = LoadSummary(folder);
    if (!summary)
        return std::nullopt;
    Visit &visit = summary->visit;
    if (summary->hasImage) {
        const ParamFileValues values = ReadParamFile(folder + QLatin1Char('/') + ParamsFileName);
        if (!values.ok)
            return std::nullopt;
        ConfigImageBytes image = BlankImage();
        ApplyParamValues(values.values, image);
        visit.image = image;
    }
    bool ok = false;
    visit.journals = QString::fromUtf8(readSmall(folder + QLatin1Char('/') + JournalsFileName, ok));
    return std::move(visit);
}

} // namespace gencfg
