#include "visit/TeamArchive.h"

#include "config/FileWriting.h"
#include "link/DeviceText.h"
#include "visit/FleetTable.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonDocument>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QUrl>
#include <QUrlQuery>
#include <QUuid>
#include <QVariant>

namespace gencfg {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("TeamArchive", text);
}

// Closes and forgets the connection however the sync ends.
class Connection
{
public:
    explicit Connection(const TeamServer &server)
        : m_name(QStringLiteral("team-") + QUuid::createUuid().toString(QUuid::WithoutBraces))
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_name);
        if (!server.host.isEmpty())
            db.setHostName(server.host);
        db.setPort(server.port);
        db.setDatabaseName(server.database);
        QStringList options = server.options;
        // An unreachable server is told in seconds, not after the system's TCP timeout.
        if (options.filter(QStringLiteral("connect_timeout=")).isEmpty())
            options.append(QStringLiteral("connect_timeout=5"));
        db.setConnectOptions(options.join(QLatin1Char(';')));
    }
    ~Connection()
    {
        {
            QSqlDatabase db = QSqlDatabase::database(m_name, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(m_name);
    }
    QSqlDatabase db() const { return QSqlDatabase::database(m_name, false); }

private:
    QString m_name;
};

QString serverError(const QSqlError &error)
{
    const QString text = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    return PrintableText(text.trimmed());
}

std::optional<VisitKind> kindNamed(const QString &name)
{
    for (VisitKind kind : {VisitKind::Read, VisitKind::Write, VisitKind::Journals}) {
        if (VisitKindName(kind) == name)
            return kind;
    }
    return std::nullopt;
}

bool printable(const QString &text)
{
    return PrintableText(text) == text;
}

const QString RowColumns =
    QStringLiteral("serial, time_ms, utc_offset, pc, kind, technician, variant_code, program_version, image, "
                   "CASE WHEN octet_length(journals) <= %1 THEN journals END, octet_length(journals), "
                   "CASE WHEN octet_length(status) <= %1 THEN status END, octet_length(status)")
        .arg(MaxVisitFileSize);

// A server row as a visit, checked as a visit file is: nothing, with why filled in, when it cannot be one.
std::optional<Visit> visitFromRow(const QSqlQuery &row, const QDateTime &now, QString &why)
{
    Visit visit;
    visit.serial = row.value(0).toString();
    visit.time =
        QDateTime::fromMSecsSinceEpoch(row.value(1).toLongLong(), Qt::OffsetFromUTC, row.value(2).toInt());
    visit.pc = row.value(3).toString();
    const std::optional<VisitKind> kind = kindNamed(row.value(4).toString());
    visit.technician = row.value(5).toString();
    visit.programVersion = row.value(7).toString();
    const int variantCode = row.value(6).toInt();
    const QByteArray image = row.value(8).toByteArray();
    if (!printable(visit.serial) || !printable(visit.pc) || !printable(visit.technician) ||
        !printable(visit.programVersion))
        why = tr("текст с управляющими символами");
    else if (visit.serial.toUtf8().size() > 8 || visit.pc.size() > 255 || visit.technician.size() > 255)
        why = tr("слишком длинный текст");
    else if (!kind || variantCode < 0 || variantCode > 255)
        why = tr("неизвестный вид визита");
    else if (!row.isNull(8) && image.size() != int(ConfigImageBytes().size()))
        why = tr("образ параметров длиной %1 байт").arg(image.size());
    else if (row.value(10).toLongLong() > MaxVisitFileSize || row.value(12).toLongLong() > MaxVisitFileSize)
        why = tr("журнал или состояние больше %1 байт").arg(MaxVisitFileSize);
    else if (VisitInFuture(visit, now))
        why = tr("дата визита в будущем");
    if (!why.isEmpty())
        return std::nullopt;
    visit.kind = *kind;
    visit.variantCode = quint8(variantCode);
    if (!row.isNull(8)) {
        ConfigImageBytes bytes;
        std::copy(image.begin(), image.end(), bytes.begin());
        if (SerialNumberOf(bytes) != visit.serial) {
            why = tr("серийный номер в образе другой");
            return std::nullopt;
        }
        visit.image = bytes;
    }
    visit.journals = row.value(9).toString();
    if (!row.isNull(11)) {
        QJsonParseError error;
        const QJsonDocument status = QJsonDocument::fromJson(row.value(11).toString().toUtf8(), &error);
        if (error.error != QJsonParseError::NoError || !status.isObject()) {
            why = tr("состояние не JSON");
            return std::nullopt;
        }
        visit.status = status.object();
    }
    return visit;
}

QString serverVisitName(const QSqlQuery &row)
{
    const QDateTime time = QDateTime::fromMSecsSinceEpoch(row.value(1).toLongLong(), Qt::UTC);
    return QStringLiteral("%1@%2 (%3)")
        .arg(PrintableText(row.value(0).toString()).left(40), VisitTimeText(time) + QStringLiteral(" UTC"),
             PrintableText(row.value(3).toString()).left(80));
}

// The identity as the server's columns hold it.
QString rowIdentity(const QString &serial, qint64 timeMs, const QString &pc, const QString &kind)
{
    return QStringList{SerialFolderName(serial), QString::number(timeMs),
                       QString::fromLatin1(QUrl::toPercentEncoding(pc)), kind}
        .join(QLatin1Char('\t'));
}

bool insertVisit(QSqlQuery &insert, const Visit &visit, int &added)
{
    insert.bindValue(0, visit.serial);
    insert.bindValue(1, visit.time.toMSecsSinceEpoch());
    insert.bindValue(2, visit.time.offsetFromUtc());
    insert.bindValue(3, visit.pc);
    insert.bindValue(4, VisitKindName(visit.kind));
    insert.bindValue(5, visit.technician);
    insert.bindValue(6, int(visit.variantCode));
    insert.bindValue(7, visit.programVersion);
    insert.bindValue(8, visit.image ? QVariant(QByteArray(reinterpret_cast<const char *>(visit.image->data()),
                                                          int(visit.image->size())))
                                    : QVariant(QMetaType::fromType<QByteArray>()));
    insert.bindValue(9, visit.journals.isEmpty() ? QVariant(QMetaType::fromType<QString>()) : visit.journals);
    insert.bindValue(10, visit.status.isEmpty()
                             ? QVariant(QMetaType::fromType<QString>())
                             : QString::fromUtf8(QJsonDocument(visit.status).toJson(QJsonDocument::Compact)));
    if (!insert.exec())
        return false;
    added += qMax(0, insert.numRowsAffected());
    return true;
}

} // namespace

std::optional<TeamServer> TeamServer::Parse(const QString &url, QString &error)
{
    const QUrl parsed(url, QUrl::StrictMode);
    if (!parsed.isValid() ||
        (parsed.scheme() != QLatin1String("postgresql") && parsed.scheme() != QLatin1String("postgres"))) {
        error =
            tr("%1: адрес архива команды пишется postgresql://СЕРВЕР[:ПОРТ]/БАЗА").arg(PrintableText(url));
        return std::nullopt;
    }
    const QUrlQuery query(parsed);
    if (!parsed.password().isEmpty() || query.hasQueryItem(QStringLiteral("password"))) {
        error = tr("пароль в адресе архива команды не хранится: он берётся из ~/.pgpass");
        return std::nullopt;
    }
    TeamServer server;
    server.host = parsed.host();
    server.port = parsed.port(-1);
    server.database = parsed.path().mid(1);
    if (!parsed.userName().isEmpty())
        server.options.append(QStringLiteral("user=") + parsed.userName());
    for (const auto &[key, value] : query.queryItems(QUrl::FullyDecoded)) {
        // Each option reaches libpq as key=value, so neither may break that line apart.
        if (key.contains(QRegularExpression(QStringLiteral("[^a-z_]"))) ||
            value.contains(QRegularExpression(QStringLiteral("[\\s;'\\\\]")))) {
            error = tr("%1: недопустимый параметр %2").arg(PrintableText(url), PrintableText(key));
            return std::nullopt;
        }
        server.options.append(key + QLatin1Char('=') + value);
    }
    if (server.database.isEmpty()) {
        error = tr("%1: в адресе архива команды нет имени базы").arg(PrintableText(url));
        return std::nullopt;
    }
    return server;
}

QString VisitIdentity(const Visit &visit)
{
    return rowIdentity(visit.serial, visit.time.toMSecsSinceEpoch(), visit.pc, VisitKindName(visit.kind));
}

TeamArchive::TeamArchive(VisitArchive local, TeamServer server, QString pc, bool pullAll, QString statePath)
    : m_local(std::move(local)), m_server(std::move(server)), m_pc(std::move(pc)), m_pullAll(pullAll),
      m_statePath(std::move(statePath))
{}

QString TeamArchive::DefaultStatePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/gencfg/team-archive-sent.txt");
}

QVector<Visit> TeamArchive::localVisits() const
{
    QVector<Visit> all;
    for (const QString &serial : m_local.serials()) {
        for (Visit &visit : m_local.visits(serial)) {
            // The team's server keeps parameters and journals only; service entries stay on this PC.
            if (visit.kind == VisitKind::Service)
                continue;
            // A visit kept before PCs were named is this PC's.
            if (visit.pc.isEmpty())
                visit.pc = m_pc;
            all.append(std::move(visit));
        }
    }
    return all;
}

QSet<QString> TeamArchive::rememberedOnServer() const
{
    QFile file(m_statePath);
    QSet<QString> known;
    if (!file.open(QIODevice::ReadOnly))
        return known;
    for (const QByteArray &line : file.readAll().split('\n')) {
        if (!line.isEmpty())
            known.insert(QString::fromUtf8(line));
    }
    return known;
}

int TeamArchive::pendingCount() const
{
    const QSet<QString> known = rememberedOnServer();
    int pending = 0;
    for (const Visit &visit : localVisits())
        pending += known.contains(VisitIdentity(visit)) ? 0 : 1;
    return pending;
}

TeamSyncResult TeamArchive::sync() const
{
    TeamSyncResult result;
    const QVector<Visit> local = localVisits();
    QSet<QString> localIds;
    QSet<QString> localSerials;
    for (const Visit &visit : local) {
        localIds.insert(VisitIdentity(visit));
        localSerials.insert(visit.serial);
    }
    auto pendingAfter = [&](const QSet<QString> &onServer) {
        int pending = 0;
        for (const QString &id : localIds)
            pending += onServer.contains(id) ? 0 : 1;
        return pending;
    };
    result.pending = pendingAfter(rememberedOnServer());

    const Connection connection(m_server);
    QSqlDatabase db = connection.db();
    if (!db.open()) {
        result.error = tr("архив команды недоступен: %1").arg(serverError(db.lastError()));
        return result;
    }
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("SELECT max(version) FROM gencfg.schema_version")) || !query.next()) {
        result.error = tr("на сервере нет архива команды (tools/team-archive.sql): %1")
                           .arg(serverError(query.lastError()));
        return result;
    }
    if (const int version = query.value(0).toInt(); version > TeamSchemaVersion) {
        result.error =
            tr("архив команды на сервере версии %1, а эта программа знает версию %2: обновите программу")
                .arg(version)
                .arg(TeamSchemaVersion);
        return result;
    }
    result.reached = true;

    // What the server holds, by identity; the rows themselves are fetched only when wanted.
    QSet<QString> onServer;
    QVector<qint64> wanted;
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT id, serial, time_ms, pc, kind FROM gencfg.visit"))) {
        result.error = tr("архив команды не прочитан: %1").arg(serverError(query.lastError()));
        return result;
    }
    while (query.next()) {
        const QString serial = query.value(1).toString();
        const QString id = rowIdentity(serial, query.value(2).toLongLong(), query.value(3).toString(),
                                       query.value(4).toString());
        onServer.insert(id);
        if (!localIds.contains(id) && (m_pullAll || localSerials.contains(serial)))
            wanted.append(query.value(0).toLongLong());
    }

    QVector<const Visit *> toPush;
    for (const Visit &visit : local) {
        if (!onServer.contains(VisitIdentity(visit)))
            toPush.append(&visit);
    }
    QSqlQuery insert(db);
    insert.prepare(
        QStringLiteral("INSERT INTO gencfg.visit (serial, time_ms, utc_offset, pc, kind, technician, "
                       "variant_code, program_version, image, journals, status) "
                       "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?) "
                       "ON CONFLICT (serial, time_ms, pc, kind) DO NOTHING"));
    for (int from = 0; from < toPush.size() && result.error.isEmpty(); from += TeamPushBatch) {
        const int to = qMin(int(toPush.size()), from + TeamPushBatch);
        int added = 0;
        bool ok = db.transaction();
        for (int i = from; i < to && ok; ++i)
            ok = insertVisit(insert, *toPush[i], added);
        if (ok)
            ok = db.commit();
        if (!ok) {
            result.error =
                tr("визиты не отправлены: %1")
                    .arg(serverError(insert.lastError().isValid() ? insert.lastError() : db.lastError()));
            db.rollback();
            break;
        }
        result.pushed += added;
        for (int i = from; i < to; ++i)
            onServer.insert(VisitIdentity(*toPush[i]));
    }
    result.pending = pendingAfter(onServer);
    SaveWhole(m_statePath, QStringList(onServer.values()).join(QLatin1Char('\n')).toUtf8());

    const QDateTime now = QDateTime::currentDateTime();
    QSet<QString> pulledSerials;
    QSqlQuery row(db);
    row.setForwardOnly(true);
    row.prepare(QStringLiteral("SELECT %1 FROM gencfg.visit WHERE id = ?").arg(RowColumns));
    for (const qint64 id : wanted) {
        if (!result.error.isEmpty())
            break;
        row.bindValue(0, id);
        if (!row.exec() || !row.next()) {
            result.error = tr("визит не получен: %1").arg(serverError(row.lastError()));
            break;
        }
        QString why;
        std::optional<Visit> visit = visitFromRow(row, now, why);
        if (!visit) {
            result.skipped.append(serverVisitName(row) + QStringLiteral(": ") + why);
            continue;
        }
        if (const QString error = m_local.store(*visit); !error.isEmpty()) {
            result.error = error;
            break;
        }
        ++result.pulled;
        pulledSerials.insert(visit->serial);
    }
    // Once per controller, not per visit: its folder is read newest first for the fleet's row.
    for (const QString &serial : std::as_const(pulledSerials))
        UpdateFleetIndex(m_local, serial, now);
    return result;
}

} // namespace gencfg
