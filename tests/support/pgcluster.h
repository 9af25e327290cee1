#pragma once
// A private PostgreSQL cluster for one test process: initdb and pg_ctl in a temporary folder,
// reachable only through a Unix socket there (no TCP). Run as root (as CI does), the server
// runs as the postgres user, which owns the folder. Stopped and removed when the process ends.
#include <QString>
#include <QStringList>
#include <memory>

class PgCluster {
public:
    // The process's cluster, started at the first call; nullptr when PostgreSQL is not installed
    // or would not start, with the reason in whyNot.
    static PgCluster* instance(QString* whyNot = nullptr);
    // A cluster of the caller's own, started with these server settings added ("-c name=value"
    // options); removed with the object. nullptr, with the reason in whyNot, when it would not start.
    static std::unique_ptr<PgCluster> create(const QString& settings, QString* whyNot = nullptr);
    // A streaming standby of this cluster (pg_basebackup -R), started with these settings; it
    // names itself `name` to the primary (synchronous_standby_names).
    std::unique_ptr<PgCluster> makeStandby(const QString& name, const QString& settings,
                                           QString* whyNot = nullptr);
    ~PgCluster();

    // libpq URI of a database of this cluster (as the superuser "postgres", over the socket).
    QString uri(const QString& database) const;
    // Creates a database, as a copy of templateName when one is named (it must have no
    // connections). False, with the reason in error, when the server refused.
    bool createDatabase(const QString& name, const QString& templateName = {}, QString* error = nullptr);
    // Stops the server (fast: open connections are told and closed) and starts it again.
    bool stop();
    bool start();
    // Starts the server again with these server options added (`-c name=value ...`), e.g. to
    // listen on loopback TCP with TLS.
    bool restartWith(const QString& options);
    // Runs a program as the user the server runs as (root runs it through runuser); true when
    // it ended well, its output in output.
    bool runAsServerUser(const QStringList& command, QString* output = nullptr) const { return run(command, output); }
    // Makes a file this process wrote the server user's, so the server may read a private key.
    bool giveToServerUser(const QString& path) const;
    // The machine under the server dies: SIGKILL to the postmaster alone (its backends notice
    // and go), nothing shut down in order.
    bool killPostmaster();
    // A standby becomes the primary (pg_ctl promote, waiting until it takes writes).
    bool promote();
    QString socketDirectory() const { return m_dir; }
    int port() const { return m_port; }

private:
    PgCluster() = default;
    // The folder, the server binaries and the port of a new cluster; false with the reason.
    bool prepare(QString* whyNot);
    bool run(const QStringList& command, QString* output = nullptr) const;
    void removeLeftovers() const;
    void releaseSharedMemory() const;
    QString serverLog() const;
    QString m_bin, m_dir, m_data, m_log, m_settings, m_extraOptions;
    int m_port = 0;
    bool m_asPostgres = false;
};

// Skips the calling test function when there is no PostgreSQL to test against.
#define DELMORA_REQUIRE_POSTGRES(cluster)                                                                    \
    QString whyNoPostgres_;                                                                                  \
    PgCluster* cluster = PgCluster::instance(&whyNoPostgres_);                                               \
    if (!cluster) QSKIP(qPrintable(QStringLiteral("PostgreSQL is not available: ") + whyNoPostgres_))
