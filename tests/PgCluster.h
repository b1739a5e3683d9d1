#pragma once

// A private PostgreSQL server for one test run: a cluster initialised in a
// temporary folder, listening only on a Unix socket in that folder, run as
// "nobody" when the tests run as root, the team archive's schema created by
// tools/team-archive.sql, stopped when the fixture goes.

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

class PgCluster
{
public:
    PgCluster()
    {
        const QStringList found =
            QDir(QStringLiteral("/usr/lib/postgresql"))
                .entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::Reversed);
        if (!found.isEmpty())
            m_bin = QStringLiteral("/usr/lib/postgresql/%1/bin/").arg(found.first());
        m_dir.setAutoRemove(true);
    }
    ~PgCluster() { stop(); }

    // Why no server can be run here at all (no server programs, no Qt driver); empty when one can.
    QString unavailable() const
    {
        if (m_bin.isEmpty() || !QFileInfo(m_bin + QStringLiteral("initdb")).isExecutable())
            return QStringLiteral("no PostgreSQL server programs under /usr/lib/postgresql (tools/deps.sh)");
        if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL")))
            return QStringLiteral("no Qt SQL PostgreSQL driver (libqt6sql6-psql, tools/deps.sh)");
        return {};
    }
    // Initialises and starts the cluster and creates the archive; an empty text, or what failed.
    QString start()
    {
        if (!m_dir.isValid())
            return QStringLiteral("no temporary folder: ") + m_dir.errorString();
        // The server refuses to run as root, and "nobody" must reach its folder.
        if (geteuid() == 0 && !run({QStringLiteral("chown"), QStringLiteral("nobody"), m_dir.path()}))
            return QStringLiteral("chown failed");
        QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                                                QFile::ExeOther);
        // A TMPDIR inside root's own folder is out of the server's reach: say so rather than fail in initdb.
        if (!asServer({QStringLiteral("test"), QStringLiteral("-w"), m_dir.path()}))
            return QStringLiteral("the server's user cannot write %1; set TMPDIR to a folder all may enter")
                .arg(m_dir.path());
        if (!asServer({m_bin + QStringLiteral("initdb"), QStringLiteral("-D"), dataDir(),
                       QStringLiteral("-A"), QStringLiteral("trust"), QStringLiteral("-U"),
                       QStringLiteral("postgres"), QStringLiteral("-E"), QStringLiteral("UTF8"),
                       QStringLiteral("--locale=C"), QStringLiteral("--no-sync")}))
            return QStringLiteral("initdb failed: ") + m_lastOutput;
        if (!startServer())
            return QStringLiteral("the server did not start: ") + m_lastOutput;
        if (!psql(QStringLiteral("postgres"),
                  {QStringLiteral("-c"), QStringLiteral("CREATE DATABASE gencfg")}) ||
            !runScript() ||
            !sql(QStringLiteral("CREATE ROLE tech1 LOGIN IN ROLE gencfg_technician; "
                                "CREATE ROLE tech2 LOGIN IN ROLE gencfg_technician;")))
            return QStringLiteral("the schema was not created: ") + m_lastOutput;
        return {};
    }
    bool startServer()
    {
        return asServer({m_bin + QStringLiteral("pg_ctl"), QStringLiteral("-D"), dataDir(),
                         QStringLiteral("-w"), QStringLiteral("-l"), m_dir.filePath(QStringLiteral("log")),
                         QStringLiteral("-o"),
                         QStringLiteral("-c listen_addresses='' -c unix_socket_directories='%1' -c fsync=off")
                             .arg(m_dir.path()),
                         QStringLiteral("start")});
    }
    // Immediate: the server drops its connections as a crash or a pulled cable would.
    void stop()
    {
        if (QFile::exists(dataDir() + QStringLiteral("/postmaster.pid")))
            asServer({m_bin + QStringLiteral("pg_ctl"), QStringLiteral("-D"), dataDir(), QStringLiteral("-w"),
                      QStringLiteral("-m"), QStringLiteral("immediate"), QStringLiteral("stop")});
    }
    // As the superuser in the archive's database; the output in lastOutput().
    bool sql(const QString &statements, const QString &user = QStringLiteral("postgres"))
    {
        return psql(QStringLiteral("gencfg"), {QStringLiteral("-tA"), QStringLiteral("-c"), statements},
                    user);
    }
    // The archive's script run again, as an administrator migrating the archive would.
    bool runScript()
    {
        return psql(QStringLiteral("gencfg"),
                    {QStringLiteral("-f"), QStringLiteral(GENCFG_SOURCE_DIR "/tools/team-archive.sql")});
    }
    QString lastOutput() const { return m_lastOutput.trimmed(); }
    QString socketDir() const { return m_dir.path(); }
    // The archive's address for a technician; libpq takes the socket folder as host.
    QString url(const QString &user = QStringLiteral("tech1")) const
    {
        return QStringLiteral("postgresql:///gencfg?host=%1&user=%2").arg(m_dir.path(), user);
    }

private:
    QString dataDir() const { return m_dir.filePath(QStringLiteral("data")); }
    bool psql(const QString &db, const QStringList &arguments,
              const QString &user = QStringLiteral("postgres"))
    {
        return run(QStringList{m_bin + QStringLiteral("psql"), QStringLiteral("-X"), QStringLiteral("-q"),
                               QStringLiteral("-v"), QStringLiteral("ON_ERROR_STOP=1"), QStringLiteral("-h"),
                               m_dir.path(), QStringLiteral("-U"), user, QStringLiteral("-d"), db} +
                   arguments);
    }
    bool asServer(const QStringList &command)
    {
        return geteuid() == 0 ? run(QStringList{QStringLiteral("runuser"), QStringLiteral("-u"),
                                                QStringLiteral("nobody"), QStringLiteral("--")} +
                                    command)
                              : run(command);
    }
    bool run(const QStringList &command)
    {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.setWorkingDirectory(m_dir.path());
        process.start(command.first(), command.mid(1));
        const bool ok = process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit &&
                        process.exitCode() == 0;
        m_lastOutput = QString::fromUtf8(process.readAll());
        return ok;
    }

    QString m_bin;
    QTemporaryDir m_dir{QDir::tempPath() + QStringLiteral("/gencfg-pg-XXXXXX")};
    QString m_lastOutput;
};
