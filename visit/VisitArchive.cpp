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
#include <QJsonDocument>
#include <QRegularExpression>
#include <QStandardPaths>
#include <algorithm>

namespace gencfg {

namespace {

const QString ParamsFileName = QStringLiteral("parameters.txt");
const QString JournalsFileName = QStringLiteral("journals.txt");
const QString VisitFileName = QStringLiteral("visit.json");
// A visit file is a few kilobytes; anything far larger is not one.
constexpr qint64 MaxVisitFileSize = 1024 * 1024;

constexpr VisitKind Kinds[] = {VisitKind::Read, VisitKind::Write, VisitKind::Journals};

// A visit's own file: a pipe or a device in its place is none, and is never opened, since that could wait
// forever.
QByteArray readSmall(const QString &path, bool &ok)
{
    QFile file(path);
    ok = QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly) && file.size() <= MaxVisitFileSize;
    return ok ? file.read(MaxVisitFileSize) : QByteArray();
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
    // A serial number has at most eight characters, so none reads as the nine of NoSerialFolder.
    return QString(serial).replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9_-]")), QStringLiteral("_"));
}

QString VisitKindName(VisitKind kind)
{
    switch (kind) {
    case VisitKind::Write:
        return QStringLiteral("write");
    case VisitKind::Journals:
        return QStringLiteral("journals");
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
    QList<QPair<QString, QByteArray>> files;
    if (visit.image)
        files.append({ParamsFileName, FormatParamFile(*visit.image)});
    if (!visit.journals.isEmpty())
        files.append({JournalsFileName, visit.journals.toUtf8()});
    files.append({VisitFileName, QJsonDocument(json).toJson(QJsonDocument::Indented)});
    for (const auto &[name, bytes] : files) {
        const QString path = folder + QLatin1Char('/') + name;
        if (const QString error = SaveWhole(path, bytes); !error.isEmpty())
            return QDir::toNativeSeparators(path) + QStringLiteral(": ") + error;
    }
    visit.folder = folder;
    return {};
}

QStringList VisitArchive::serialFolders() const
{
    QStringList names = QDir(m_root).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    names.erase(std::remove_if(names.begin(), names.end(),
                               [this](const QString &name) { return visits(name).isEmpty(); }),
                names.end());
    return names;
}

QVector<Visit> VisitArchive::visits(const QString &serial) const
{
    const QDir dir(m_root + QLatin1Char('/') + SerialFolderName(serial));
    QVector<Visit> found;
    for (const QString &name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (std::optional<Visit> visit = Load(dir.filePath(name)))
            found.append(*visit);
    }
    std::stable_sort(found.begin(), found.end(), [](const Visit &a, const Visit &b) {
        return a.time < b.time || (a.time == b.time && a.folder < b.folder);
    });
    return found;
}

std::optional<Visit> VisitArchive::lastWithImage(const QString &serial) const
{
    const QVector<Visit> all = visits(serial);
    for (auto visit = all.crbegin(); visit != all.crend(); ++visit) {
        if (visit->image)
            return *visit;
    }
    return std::nullopt;
}

std::optional<Visit> VisitArchive::find(const QString &reference, QString &error) const
{
    const qsizetype at = reference.lastIndexOf(QLatin1Char('@'));
    if (at <= 0 || at == reference.size() - 1) {
        error = QStringLiteral("%1: a visit is named SERIAL@last or SERIAL@DATE").arg(reference);
        return std::nullopt;
    }
    const QString serial = reference.left(at);
    const QString date = reference.mid(at + 1);
    const QVector<Visit> all = visits(serial);
    for (auto visit = all.crbegin(); visit != all.crend(); ++visit) {
        if (visit->image && (date == QLatin1String("last") || VisitTimeText(visit->time).startsWith(date)))
            return *visit;
    }
    error = all.isEmpty() ? QStringLiteral("%1: no visit of %2 is kept in %3")
                                .arg(reference, serial, QDir::toNativeSeparators(m_root))
                          : QStringLiteral("%1: no visit of %2 with parameters matches %3; "
                                           "gencfg-cli history %2 lists them")
                                .arg(reference, serial, date);
    return std::nullopt;
}

std::optional<Visit> VisitArchive::Load(const QString &folder)
{
    bool ok = false;
    const QJsonObject json =
        QJsonDocument::fromJson(readSmall(folder + QLatin1Char('/') + VisitFileName, ok)).object();
    const QDateTime time =
        QDateTime::fromString(json.value(QStringLiteral("time")).toString(), Qt::ISODateWithMs);
    if (!ok || !time.isValid())
        return std::nullopt;
    Visit visit;
    visit.time = time;
    const QString kind = json.value(QStringLiteral("kind")).toString();
    for (VisitKind k : Kinds) {
        if (VisitKindName(k) == kind)
            visit.kind = k;
    }
    visit.variantCode = quint8(json.value(QStringLiteral("variant_code")).toInt());
    visit.serial = json.value(QStringLiteral("serial")).toString();
    visit.programVersion = json.value(QStringLiteral("program_version")).toString();
    visit.status = json.value(QStringLiteral("status")).toObject();
    visit.folder = folder;
    if (QFile::exists(folder + QLatin1Char('/') + ParamsFileName)) {
        const ParamFileValues values = ReadParamFile(folder + QLatin1Char('/') + ParamsFileName);
        if (!values.ok)
            return std::nullopt;
        ConfigImageBytes image = BlankImage();
        ApplyParamValues(values.values, image);
        visit.image = image;
    }
    visit.journals = QString::fromUtf8(readSmall(folder + QLatin1Char('/') + JournalsFileName, ok));
    return visit;
}

} // namespace gencfg
