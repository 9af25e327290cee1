#include "pgcluster.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QThread>
#include <QVersionNumber>
#include <cerrno>
#include <csignal>
#include <libpq-fe.h>
#include <pwd.h>
#include <sys/shm.h>
#include <unistd.h>

namespace {

// The newest server installed the Debian way (/usr/lib/postgresql/<version>/bin).
QString serverBinaries() {
    const QString env = qEnvironmentVariable("DELMORA_PG_BIN");
    if (!env.isEmpty()) return QFileInfo::exists(env + QStringLiteral("/initdb")) ? env : QString();
    QDir root(QStringLiteral("/usr/lib/postgresql"));
    QVersionNumber best;
    QString found;
    for (const QString& v : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString bin = root.filePath(v) + QStringLiteral("/bin");
        const QVersionNumber n = QVersionNumber::fromString(v);
        if (QFileInfo::exists(bin + QStringLiteral("/initdb")) &&
            QFileInfo::exists(bin + QStringLiteral("/pg_ctl")) && (found.isEmpty() || n > best)) {
            best = n;
            found = bin;
        }
    }
    return found;
}

std::unique_ptr<PgCluster>& theCluster() {
    static std::unique_ptr<PgCluster> cluster;
    return cluster;
}

} // namespace

bool PgCluster::prepare(QString* whyNot) {
    m_bin = serverBinaries();
    if (m_bin.isEmpty()) {
        *whyNot = QStringLiteral("no initdb/pg_ctl under /usr/lib/postgresql/*/bin (install postgresql)");
        return false;
    }
    m_asPostgres = ::geteuid() == 0;
    removeLeftovers();
    const passwd* pw = m_asPostgres ? ::getpwnam("postgres") : nullptr;
    m_dir = QDir::tempPath() + QStringLiteral("/delmora-pg-") + QString::number(QCoreApplication::applicationPid()) +
            QLatin1Char('-') + QString::number(QRandomGenerator::global()->bounded(1000000));
    m_data = m_dir + QStringLiteral("/data");
    m_log = m_dir + QStringLiteral("/server.log");
    m_port = 20000 + int(QRandomGenerator::global()->bounded(30000));
    if (m_asPostgres && !pw) {
        *whyNot = QStringLiteral("running as root and there is no postgres user to run the server as");
        return false;
    }
    if (!QDir().mkpath(m_dir) || (pw && ::chown(m_dir.toLocal8Bit().constData(), pw->pw_uid, pw->pw_gid) != 0)) {
        *whyNot = QStringLiteral("cannot prepare ") + m_dir;
        return false;
    }
    return true;
}

std::unique_ptr<PgCluster> PgCluster::create(const QString& settings, QString* whyNot) {
    QString reason;
    std::unique_ptr<PgCluster> c(new PgCluster);
    c->m_settings = settings;
    QString out;
    if (!c->prepare(&reason)) {
    } else if (!c->run({c->m_bin + QStringLiteral("/initdb"), QStringLiteral("-D"), c->m_data, QStringLiteral("-U"),
                        QStringLiteral("postgres"), QStringLiteral("--auth=trust"), QStringLiteral("-E"),
                        QStringLiteral("UTF8"), QStringLiteral("--no-locale"), QStringLiteral("--no-sync")},
                       &out)) {
        reason = QStringLiteral("initdb failed: ") + out;
    } else if (!c->start()) {
        reason = QStringLiteral("the server did not start: ") + c->serverLog();
    } else {
        return c;
    }
    if (whyNot) *whyNot = reason;
    return nullptr;
}

std::unique_ptr<PgCluster> PgCluster::makeStandby(const QString& name, const QString& settings, QString* whyNot) {
    QString reason;
    std::unique_ptr<PgCluster> c(new PgCluster);
    c->m_settings = settings;
    QString out;
    if (!c->prepare(&reason)) {
    } else if (!c->run({c->m_bin + QStringLiteral("/pg_basebackup"), QStringLiteral("-D"), c->m_data,
                        QStringLiteral("-d"),
                        QStringLiteral("host=%1 port=%2 user=postgres application_name=%3")
                            .arg(m_dir)
                            .arg(m_port)
                            .arg(name),
                        QStringLiteral("-R"), QStringLiteral("-X"), QStringLiteral("stream"), QStringLiteral("-c"),
                        QStringLiteral("fast"),
                        QStringLiteral("--no-sync")},
                       &out)) {
        reason = QStringLiteral("pg_basebackup failed: ") + out;
    } else if (!c->start()) {
        reason = QStringLiteral("the standby did not start: ") + c->serverLog();
    } else {
        return c;
    }
    if (whyNot) *whyNot = reason;
    return nullptr;
}

PgCluster* PgCluster::instance(QString* whyNot) {
    static bool tried = false;
    static QString reason;
    if (!tried) {
        tried = true;
        theCluster() = create(QStringLiteral("-c synchronous_commit=off"), &reason);
        // Stopped while the application still exists (QProcess needs it).
        if (theCluster()) qAddPostRoutine([] { theCluster().reset(); });
    }
    if (whyNot) *whyNot = reason;
    return theCluster().get();
}

QString PgCluster::serverLog() const {
    QFile log(m_log);
    return log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()) : QString();
}

PgCluster::~PgCluster() {
    // Only a folder this process made is removed: an empty path would name the working directory.
    if (m_dir.isEmpty() || !QFileInfo(m_dir).isDir()) return;
    if (QFileInfo::exists(m_data + QStringLiteral("/postmaster.pid")) &&
        !run({m_bin + QStringLiteral("/pg_ctl"), QStringLiteral("-D"), m_data, QStringLiteral("-m"),
              QStringLiteral("immediate"), QStringLiteral("-w"), QStringLiteral("stop")}))
        releaseSharedMemory();
    QDir(m_dir).removeRecursively();
}

namespace {
// postmaster.pid: the process id on the first line, "key id" of the shared memory on the seventh.
QStringList postmasterLines(const QString& data) {
    QFile f(data + QStringLiteral("/postmaster.pid"));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromLatin1(f.readAll()).split(QLatin1Char('\n'));
}
} // namespace

// A killed postmaster leaves its System V segment behind (the next start would reuse it); with
// the folder gone nobody would, so it goes once the last backend has left it.
void PgCluster::releaseSharedMemory() const {
    const QStringList lines = postmasterLines(m_data);
    if (lines.size() < 7) return;
    const QStringList ids = lines[6].simplified().split(QLatin1Char(' '));
    const int shmid = ids.size() == 2 ? ids[1].toInt() : -1;
    if (shmid <= 0) return;
    for (int tries = 0; tries < 100; ++tries) {
        shmid_ds info{};
        if (::shmctl(shmid, IPC_STAT, &info) != 0) return;
        if (info.shm_nattch == 0) {
            ::shmctl(shmid, IPC_RMID, nullptr);
            return;
        }
        QThread::msleep(50);
    }
}

bool PgCluster::killPostmaster() {
    const QStringList lines = postmasterLines(m_data);
    const pid_t pid = lines.isEmpty() ? 0 : pid_t(lines[0].trimmed().toLongLong());
    return pid > 0 && ::kill(pid, SIGKILL) == 0;
}

bool PgCluster::promote() {
    return run({m_bin + QStringLiteral("/pg_ctl"), QStringLiteral("-D"), m_data, QStringLiteral("-w"),
                QStringLiteral("-t"), QStringLiteral("30"), QStringLiteral("promote")});
}

void PgCluster::removeLeftovers() const {
    // A test process that crashed never stopped its server: its folder names its process id.
    static const QRegularExpression name(QStringLiteral("^delmora-pg-(\\d+)-\\d+$"));
    QDir temp(QDir::tempPath());
    for (const QString& entry :
         temp.entryList({QStringLiteral("delmora-pg-*")}, QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QRegularExpressionMatch m = name.match(entry);
        if (!m.hasMatch()) continue;
        const pid_t owner = pid_t(m.captured(1).toLongLong());
        if (owner <= 0 || ::kill(owner, 0) == 0 || errno != ESRCH) continue;
        const QString data = temp.filePath(entry) + QStringLiteral("/data");
        if (QFileInfo::exists(data + QStringLiteral("/postmaster.pid")))
            run({m_bin + QStringLiteral("/pg_ctl"), QStringLiteral("-D"), data, QStringLiteral("-m"),
                 QStringLiteral("immediate"), QStringLiteral("-w"), QStringLiteral("stop")});
        QDir(temp.filePath(entry)).removeRecursively();
    }
}

bool PgCluster::run(const QStringList& command, QString* output) const {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    QStringList args = command;
    QString program = args.takeFirst();
    if (m_asPostgres) {
        args = QStringList{QStringLiteral("-u"), QStringLiteral("postgres"), QStringLiteral("--"), program} +
               args;
        program = QStringLiteral("runuser");
    }
    p.start(program, args);
    const bool finished = p.waitForFinished(60000);
    if (output) *output = QString::fromLocal8Bit(p.readAll());
    return finished && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

bool PgCluster::start() {
    // No TCP at all: the socket in the cluster's own folder is the only way in. fsync is off, as
    // nothing here must outlive the run.
    const QString options =
        QStringLiteral("-c listen_addresses='' -k %1 -p %2 -c fsync=off -c full_page_writes=off "
                       "-c max_connections=40 %3 %4")
            .arg(m_dir)
            .arg(m_port)
            .arg(m_settings, m_extraOptions);
    return run({m_bin + QStringLiteral("/pg_ctl"), QStringLiteral("-D"), m_data, QStringLiteral("-l"), m_log,
                QStringLiteral("-o"), options, QStringLiteral("-w"), QStringLiteral("-t"),
                QStringLiteral("30"), QStringLiteral("start")});
}

bool PgCluster::restartWith(const QString& options) {
    m_extraOptions = options;
    return stop() && start();
}

bool PgCluster::giveToServerUser(const QString& path) const {
    if (!m_asPostgres) return true;
    const passwd* pw = ::getpwnam("postgres");
    return pw && ::chown(path.toLocal8Bit().constData(), pw->pw_uid, pw->pw_gid) == 0;
}

bool PgCluster::stop() {
    return run({m_bin + QStringLiteral("/pg_ctl"), QStringLiteral("-D"), m_data, QStringLiteral("-m"),
                QStringLiteral("fast"), QStringLiteral("-w"), QStringLiteral("stop")});
}

QString PgCluster::uri(const QString& database) const {
    return QStringLiteral("postgresql://postgres@/%1?host=%2&port=%3").arg(database, m_dir).arg(m_port);
}

bool PgCluster::createDatabase(const QString& name, const QString& templateName, QString* error) {
    PGconn* conn = PQconnectdb(uri(QStringLiteral("postgres")).toUtf8().constData());
    bool ok = PQstatus(conn) == CONNECTION_OK;
    if (ok) {
        QByteArray sql = "create database \"" + name.toUtf8() + "\"";
        if (!templateName.isEmpty()) sql += " template \"" + templateName.toUtf8() + "\"";
        PGresult* res = PQexec(conn, sql.constData());
        ok = PQresultStatus(res) == PGRES_COMMAND_OK;
        PQclear(res);
    }
    if (!ok && error) *error = QString::fromUtf8(PQerrorMessage(conn));
    PQfinish(conn);
    return ok;
}
