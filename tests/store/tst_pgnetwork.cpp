// The office store across a network: a server on loopback TCP with a certificate made for the
// run (TLS verified or refused, never plain text unless the address says so), and desks
// through a PgBouncer pool in transaction mode, with the live board on a session pool.
#include "pgcluster.h"
#include "pgstore.h"
#include "storetesthelp.h"
#include "testmain.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <algorithm>
#include <csignal>

using namespace storetest;
using dstore::PgStore;

class TestPgNetwork : public QObject {
    Q_OBJECT

    QString m_dir; // certificates, the pooler's files; in the cluster's folder, readable by it
    int m_bouncerPort = 0;
    qint64 m_bouncerPid = 0;

    bool write(const QString& name, const QByteArray& text) {
        QFile f(m_dir + QLatin1Char('/') + name);
        return f.open(QIODevice::WriteOnly) && f.write(text) == text.size();
    }
    // A CA, a server certificate it signed for "localhost" only, and a CA that signed nothing.
    bool makeCertificates() {
        const char* const steps[] = {
            "req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=TestCA -keyout ca.key -out ca.crt",
            "req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=OtherCA -keyout other.key -out other.crt",
            "req -newkey rsa:2048 -nodes -subj /CN=localhost -keyout server.key -out server.csr",
            "x509 -req -in server.csr -CA ca.crt -CAkey ca.key -CAcreateserial -days 2 -extfile san.ext -out server.crt"};
        if (!write("san.ext", "subjectAltName=DNS:localhost\n")) return false;
        for (const char* step : steps) {
            QProcess p;
            p.setProcessChannelMode(QProcess::MergedChannels);
            p.setWorkingDirectory(m_dir);
            p.start(QStringLiteral("openssl"), QString::fromLatin1(step).split(QLatin1Char(' ')));
            if (!p.waitForFinished(60000) || p.exitCode() != 0) return false;
        }
        return QFile::setPermissions(m_dir + "/server.key", QFile::ReadOwner | QFile::WriteOwner);
    }
    QString tcpUri(const QString& host, const QString& database, const QString& query) const {
        return QStringLiteral("postgresql://postgres@%1:%2/%3%4")
            .arg(host)
            .arg(PgCluster::instance()->port())
            .arg(database, query.isEmpty() ? QString() : QLatin1Char('?') + query);
    }
    QString pooledUri(const QString& pool, const QString& login) const {
        return QStringLiteral("postgresql://%1@/%2?host=%3&port=%4").arg(login, pool, m_dir).arg(m_bouncerPort);
    }

private Q_SLOTS:
    void initTestCase() {
        DELMORA_REQUIRE_POSTGRES(cluster);
        m_dir = cluster->socketDirectory() + QStringLiteral("/net");
        QVERIFY(QDir().mkpath(m_dir));
        QVERIFY(cluster->giveToServerUser(m_dir));
        QVERIFY(makeCertificates());
        QVERIFY(cluster->giveToServerUser(m_dir + "/server.key"));
        // Database "tls" takes only encrypted links, "plain" only plain ones, so a client that
        // fell back to plain text would get into "plain" and be seen doing it.
        QVERIFY(write("hba.conf", "local all all trust\n"
                                  "hostssl tls all 127.0.0.1/32 trust\n"
                                  "hostnossl plain all 127.0.0.1/32 trust\n"));
        for (const char* name : {"tls", "plain", "office"}) QVERIFY(cluster->createDatabase(name));
        QVERIFY(cluster->restartWith(QStringLiteral("-c listen_addresses=127.0.0.1 -c ssl=on -c ssl_cert_file=%1/server.crt "
                                                    "-c ssl_key_file=%1/server.key -c hba_file=%1/hba.conf")
                                         .arg(m_dir)));

        // The office for the pooler: the desks' group and one desk login.
        auto owner = PgStore::open(cluster->uri(QStringLiteral("office")));
        owner->createSchema();
        dstore::fillDemoData(*owner->demoTarget(), dstore::DemoOptions{200, 1, QDate(2026, 3, 18)});
        owner->grantDesks(QStringLiteral("delmora_desk"));
        owner->execute("create role desk login in role delmora_desk");

        const QString bouncer = QStandardPaths::findExecutable(QStringLiteral("pgbouncer"), {"/usr/sbin", "/usr/bin"});
        if (bouncer.isEmpty()) return; // the pooler cases skip
        m_bouncerPort = cluster->port() + 1;
        // One server session for every desk of the transaction pool: desks take turns on it.
        const QString target = QStringLiteral("host=%1 port=%2 dbname=office").arg(cluster->socketDirectory()).arg(cluster->port());
        QVERIFY(write("pgbouncer.ini", QStringLiteral("[databases]\npooled = %1 pool_mode=transaction pool_size=1\n"
                                                      "live = %1 pool_mode=session\n[pgbouncer]\nlisten_addr =\n"
                                                      "unix_socket_dir = %2\nlisten_port = %3\nauth_type = trust\n"
                                                      "auth_file = %2/users.txt\nlogfile = %2/pgbouncer.log\n"
                                                      "pidfile = %2/pgbouncer.pid\n")
                                           .arg(target, m_dir)
                                           .arg(m_bouncerPort)
                                           .toUtf8()));
        QVERIFY(write("users.txt", "\"desk\" \"\"\n\"postgres\" \"\"\n"));
        QString out;
        QVERIFY2(cluster->runAsServerUser({bouncer, QStringLiteral("-d"), m_dir + "/pgbouncer.ini"}, &out), qPrintable(out));
        QFile pid(m_dir + "/pgbouncer.pid");
        for (int i = 0; i < 50 && !pid.exists(); ++i) QTest::qWait(100);
        QVERIFY(pid.open(QIODevice::ReadOnly));
        m_bouncerPid = pid.readAll().trimmed().toLongLong();
    }
    void cleanupTestCase() {
        if (m_bouncerPid > 0) ::kill(pid_t(m_bouncerPid), SIGTERM);
    }

    // An address as an office writes it: verified TLS connects, anything less is refused in
    // the desk's words, and plain text only when asked for.
    void tls_data() {
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("database");
        QTest::addColumn<QString>("query");
        QTest::addColumn<QString>("encrypted"); // "t", "f", or "" when refused
        QTest::addColumn<QString>("refusal");
        const auto row = [](const char* name, const char* host, const char* database, const char* query,
                            const char* encrypted, const char* refusal) {
            QTest::newRow(name) << QString::fromUtf8(host) << QString::fromUtf8(database) << QString::fromUtf8(query)
                                << QString::fromUtf8(encrypted) << QString::fromUtf8(refusal);
        };
        const char* unverified = "서버의 인증서를 확인하지 못해";
        row("verify-full, the right CA", "localhost", "tls", "sslmode=verify-full&sslrootcert={dir}/ca.crt", "t", "");
        row("no sslmode, the right CA", "localhost", "tls", "sslrootcert={dir}/ca.crt", "t", "");
        row("verify-full, another CA", "localhost", "tls", "sslmode=verify-full&sslrootcert={dir}/other.crt", "", unverified);
        row("no sslmode, the system's CAs", "localhost", "tls", "", "", unverified);
        row("no sslmode, a name the certificate lacks", "127.0.0.1", "tls", "sslrootcert={dir}/ca.crt", "", unverified);
        // The server would take this link in plain text; without sslmode the client never offers it.
        row("no sslmode, a database only plain", "localhost", "plain", "sslrootcert={dir}/ca.crt", "", "서버");
        row("plain text asked for", "localhost", "plain", "sslmode=disable", "f", "");
    }
    void tls() {
        QFETCH(QString, host);
        QFETCH(QString, database);
        QFETCH(QString, query);
        QFETCH(QString, encrypted);
        QFETCH(QString, refusal);
        DELMORA_REQUIRE_POSTGRES(cluster);
        std::unique_ptr<PgStore> store;
        const auto error = errorOf([&] { store = PgStore::open(tcpUri(host, database, query.replace("{dir}", m_dir))); });
        if (encrypted.isEmpty()) {
            QVERIFY(error);
            QVERIFY2(error->message.startsWith(refusal), qPrintable(error->message));
            return;
        }
        QVERIFY2(!error, qPrintable(error ? error->message : QString()));
        QCOMPARE(store->query("select ssl from pg_stat_ssl where pid = pg_backend_pid()")->text(0, 0), encrypted);
    }

    // Desks through a transaction pool share one server session by turns: their statements and
    // procedures run, each write's history names the broker of the desk that made it, and the
    // live board, on the session pool, hears the writes.
    void pooled() {
        if (m_bouncerPort == 0) QSKIP("pgbouncer is not installed");
        try {
            pooledDesks();
        } catch (const dstore::Error& e) {
            QFAIL(qPrintable(e.message));
        }
    }

private:
    void pooledDesks() {
        auto kim = PgStore::open(pooledUri("pooled", "desk"));
        auto lee = PgStore::open(pooledUri("pooled", "desk"));
        auto board = PgStore::open(pooledUri("live", "desk"));
        board->listen(dstore::OrderChangeChannel);
        kim->setSessionUser(QStringLiteral("kim"));
        lee->setSessionUser(QStringLiteral("이담당"));
        const auto ids = kim->query("select ID from 화물오더 where 오더상태='접수' order by ID limit 2");
        QCOMPARE(ids->rowCount(), 2);
        const QByteArray first = ids->bytes(0, 0).toByteArray(), second = ids->bytes(1, 0).toByteArray();
        const QByteArray since = " and ID > " + kim->query("select coalesce(max(ID), 0) from 화물오더이력")->bytes(0, 0).toByteArray();
        kim->execute("update 화물오더 set 화물정보1=화물정보1||'.' where ID=" + first);
        lee->execute("exec 오더취소  " + second);
        kim->execute("update 화물오더 set 화물정보1=화물정보1||'.' where ID=" + first);
        QCOMPARE(lee->query("select string_agg(distinct 누가, ',') from 화물오더이력 where 오더ID=" + first + since)->text(0, 0),
                 QStringLiteral("kim"));
        QCOMPARE(kim->query("select string_agg(distinct 누가, ',') from 화물오더이력 where 오더ID=" + second + since)->text(0, 0),
                 QStringLiteral("이담당"));
        std::vector<QByteArray> heard;
        for (int i = 0; i < 50 && heard.size() < 2; ++i) {
            for (const QByteArray& id : board->takeNotifications()) heard.push_back(id);
            QTest::qWait(50);
        }
        QVERIFY(std::find(heard.begin(), heard.end(), first) != heard.end());
        QVERIFY(std::find(heard.begin(), heard.end(), second) != heard.end());
    }
};

DELMORA_TEST_MAIN(TestPgNetwork)
#include "tst_pgnetwork.moc"
