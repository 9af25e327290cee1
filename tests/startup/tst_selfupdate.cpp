#include "testmain.h"

#include "deployment.h"
#include "httpget.h"
#include "ini.h"
#include "localhttp.h"
#include "selfupdate.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSslSocket>

// The update check against a real HTTP server on 127.0.0.1; the updater is recorded instead of
// started, and the program's end is the test harness's exception.
class TestSelfUpdate : public QObject {
    Q_OBJECT

    struct Start {
        QString program;
        QStringList arguments;
    };
    std::unique_ptr<LocalHttpServer> m_server;
    QList<Start> m_starts;
    bool m_startSucceeds = true;

    QStringList folderFiles() const {
        return QDir(ProgramFolder()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }
    void useServer(const QString& host, bool plainHttp = false) {
        Deployment d = CurrentDeployment();
        d.updateServer = host;
        d.updatePlainHttp = plainHttp;
        SetDeployment(d);
    }
    // The updater and, as a careful server offers it, its checksum beside it.
    void serveUpdater(const QByteArray& bytes) {
        m_server->route("/cs/autoup/Corvanta/upd.sh", bytes);
        m_server->route("/cs/autoup/Corvanta/upd.sh.sha256",
                        QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex() + "  upd.sh\n");
    }
    static QString ownName() { return QFileInfo(QCoreApplication::applicationFilePath()).fileName(); }

private Q_SLOTS:
    void init() {
        m_server = std::make_unique<LocalHttpServer>();
        // The test's server speaks plain HTTP on loopback: an office that said it trusts its
        // network (plainHttpUpdater tests the other case).
        useServer(m_server->host(), true);
        m_starts.clear();
        m_startSucceeds = true;
        SetUpdaterStarter([this](const QString& program, const QStringList& arguments) {
            m_starts.append({program, arguments});
            return m_startSucceeds;
        });
        SetHttpTimeouts({1500, 5000, 5000});
        for (const QString& f : folderFiles()) QFile::remove(QDir(ProgramFolder()).filePath(f));
    }
    void cleanup() {
        SetUpdaterStarter({});
        m_server.reset();
    }

    void versionComparison_data() {
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("running");
        QTest::addColumn<bool>("newer");
        QTest::newRow("revision up") << "1.0.6" << "1.0.5" << true;
        QTest::newRow("minor up, revision down") << "1.1.0" << "1.0.9" << true;
        QTest::newRow("major up, rest down") << "2.0.0" << "1.9.9" << true;
        QTest::newRow("same") << "1.0.5" << "1.0.5" << false;
        QTest::newRow("revision down") << "1.0.4" << "1.0.5" << false;
        QTest::newRow("minor down, revision up") << "1.0.9" << "1.1.0" << false;
        QTest::newRow("major down, rest up") << "0.9.9" << "1.0.0" << false;
        QTest::newRow("numbers, not texts") << "1.0.10" << "1.0.9" << true;
        QTest::newRow("minor ten") << "1.10.0" << "1.9.0" << true;
    }
    void versionComparison() {
        QFETCH(QString, server);
        QFETCH(QString, running);
        QFETCH(bool, newer);
        const auto announced = ParseVersionAnswer(QStringLiteral("version=") + server + QStringLiteral("$u=a$p=b"));
        QVERIFY(announced);
        const QStringList r = running.split(QLatin1Char('.'));
        QCOMPARE(ServerIsNewer(announced->version, {r[0].toInt(), r[1].toInt(), r[2].toInt()}), newer);
    }

    void answerParsing_data() {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("updater");
        QTest::addColumn<QString>("program");
        QTest::newRow("named items") << "version=1.0.6$updater=upd.exe$program=new.exe" << true << "1.0.6"
                                     << "upd.exe" << "new.exe";
        QTest::newRow("items without names") << "version=1.0.6$upd.exe$new.exe" << true << "1.0.6" << "upd.exe"
                                             << "new.exe";
        QTest::newRow("value after the first =") << "version=2.0.0$u=a=b$p=c" << true << "2.0.0" << "a=b" << "c";
        QTest::newRow("further items ignored") << "version=1.0.6$u=a$p=b$x=y" << true << "1.0.6" << "a" << "b";
        QTest::newRow("page ending in a line break") << "version=1.0.6$u=a$p=b\r\n" << true << "1.0.6" << "a" << "b";
        QTest::newRow("capital name") << "Version=1.0.6$u=a$p=b" << false << "" << "" << "";
        QTest::newRow("blank before") << " version=1.0.6$u=a$p=b" << false << "" << "" << "";
        QTest::newRow("empty") << "" << false << "" << "" << "";
        QTest::newRow("two items") << "version=1.0.6$u=a" << false << "" << "" << "";
        QTest::newRow("two numbers") << "version=1.0$u=a$p=b" << false << "" << "" << "";
        QTest::newRow("not a number") << "version=1.0.x$u=a$p=b" << false << "" << "" << "";
        QTest::newRow("negative") << "version=1.0.-1$u=a$p=b" << false << "" << "" << "";
        QTest::newRow("too large") << "version=1.0.99999999999$u=a$p=b" << false << "" << "" << "";
        QTest::newRow("an error page") << "<html>500</html>" << false << "" << "" << "";
    }
    void answerParsing() {
        QFETCH(QString, answer);
        QFETCH(bool, valid);
        const auto announced = ParseVersionAnswer(answer);
        QCOMPARE(bool(announced), valid);
        if (!valid) return;
        QFETCH(QString, version);
        QFETCH(QString, updater);
        QFETCH(QString, program);
        const ProgramVersion v = announced->version;
        QCOMPARE(QStringLiteral("%1.%2.%3").arg(v.major).arg(v.minor).arg(v.revision), version);
        QCOMPARE(announced->updater, updater);
        QCOMPARE(announced->program, program);
    }

    void updateNames_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("asUpdater");
        QTest::addColumn<bool>("asProgram");
        QTest::newRow("plain") << "upd.sh" << true << true;
        QTest::newRow("korean") << "델모라업데이트.exe" << true << true;
        QTest::newRow("parent folder") << "../x" << false << false;
        QTest::newRow("dots only") << ".." << false << false;
        QTest::newRow("dots inside") << "a..b" << false << false;
        QTest::newRow("slash") << "a/b" << false << false;
        QTest::newRow("backslash") << "a\\b" << false << false;
        QTest::newRow("absolute") << "/tmp/x" << false << false;
        QTest::newRow("drive") << "C:x.exe" << false << false;
        QTest::newRow("empty") << "" << false << false;
        QTest::newRow("blank inside") << "up d.exe" << false << false;
        QTest::newRow("control character") << QStringLiteral("up\x01.exe") << false << false;
        // Written into the program folder only as the updater; as the new program they are
        // just names on the server.
        QTest::newRow("settings file") << "setting.INI" << false << true;
        QTest::newRow("deployment file") << "delmora.conf" << false << true;
        QTest::newRow("the store") << "national_corvanta.sqlite" << false << true;
        QTest::newRow("the program itself") << ownName() << false << true;
        QTest::newRow("the program in capitals") << ownName().toUpper() << false << true;
    }
    void updateNames() {
        QFETCH(QString, name);
        QFETCH(bool, asUpdater);
        QFETCH(bool, asProgram);
        QCOMPARE(IsAcceptableUpdaterName(name), asUpdater);
        QCOMPARE(IsAcceptableUpdateName(name), asProgram);
    }

    // The natural answer names the new version under the program's own file name.
    void newProgramUnderTheProgramsOwnName() {
        m_server->route("/cs/autoup/Corvanta/ver.asp",
                        ("version=1.0.1$updater=upd.sh$program=" + ownName()).toUtf8());
        serveUpdater("#!/bin/sh\n");

        QVERIFY_THROWS_EXCEPTION(ProgramEnded, CheckForUpdate());

        QCOMPARE(m_starts.size(), 1);
        QCOMPARE(m_starts[0].arguments, QStringList{QStringLiteral("http://") + m_server->host() +
                                                    QStringLiteral("/cs/autoup/Corvanta/") + ownName() +
                                                    QLatin1Char(' ') + ownName()});
    }

    void newerVersionStartsTheUpdater() {
        const QByteArray script = "#!/bin/sh\necho updating \"$1\"\n";
        m_server->route("/cs/autoup/Corvanta/ver.asp", "version=1.0.1$updater=upd.sh$program=new.exe");
        serveUpdater(script);
        // An old updater from an earlier update is replaced.
        QFile old(QDir(ProgramFolder()).filePath(QStringLiteral("upd.sh")));
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old");
        old.close();

        QVERIFY_THROWS_EXCEPTION(ProgramEnded, CheckForUpdate());

        const QString path = QDir(ProgramFolder()).filePath(QStringLiteral("upd.sh"));
        QFile written(path);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll(), script);
        QVERIFY(QFileInfo(path).isExecutable());
        QCOMPARE(folderFiles(), QStringList{QStringLiteral("upd.sh")});
        QCOMPARE(m_starts.size(), 1);
        QCOMPARE(QFileInfo(m_starts[0].program).canonicalFilePath(), QFileInfo(path).canonicalFilePath());
        QCOMPARE(m_starts[0].arguments,
                 QStringList{QStringLiteral("http://") + m_server->host() +
                             QStringLiteral("/cs/autoup/Corvanta/new.exe ") + ownName()});
        QCOMPARE(m_server->paths(),
                 (QList<QByteArray>{"/cs/autoup/Corvanta/ver.asp", "/cs/autoup/Corvanta/upd.sh",
                                    "/cs/autoup/Corvanta/upd.sh.sha256"}));
        for (const auto& request : m_server->requests())
            QCOMPARE(request.userAgent, QByteArray("vb wininet"));
    }

    void updaterThatCannotStartLetsStartUpGoOn() {
        m_server->route("/cs/autoup/Corvanta/ver.asp", "version=1.0.1$updater=upd.sh$program=new.exe");
        serveUpdater("#!/bin/sh\n");
        m_startSucceeds = false;
        CheckForUpdate();   // returns: no exception, the program goes on
        QCOMPARE(m_starts.size(), 1);
    }

    void noUpdate_data() {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<int>("updaterStatus");
        QTest::addColumn<int>("cutAfter");
        QTest::addColumn<bool>("unreachable");
        QTest::addColumn<bool>("silent");
        QTest::addColumn<bool>("downloadAsked");
        const QByteArray newer = "version=1.0.1$updater=upd.sh$program=new.exe";
        QTest::newRow("same version") << QByteArray("version=1.0.0$updater=upd.sh$program=new.exe") << 200 << -1
                                      << false << false << false;
        QTest::newRow("older version") << QByteArray("version=0.9.9$updater=upd.sh$program=new.exe") << 200 << -1
                                       << false << false << false;
        QTest::newRow("capital Version") << QByteArray("Version=1.0.1$updater=upd.sh$program=new.exe") << 200 << -1
                                         << false << false << false;
        QTest::newRow("empty answer") << QByteArray() << 200 << -1 << false << false << false;
        QTest::newRow("updater in parent folder") << QByteArray("version=1.0.1$updater=../x$program=new.exe") << 200
                                                  << -1 << false << false << false;
        QTest::newRow("updater in a sub-folder") << QByteArray("version=1.0.1$updater=a/b$program=new.exe") << 200
                                                 << -1 << false << false << false;
        QTest::newRow("updater unnamed") << QByteArray("version=1.0.1$updater=$program=new.exe") << 200 << -1 << false
                                         << false << false;
        QTest::newRow("program unnamed") << QByteArray("version=1.0.1$updater=upd.sh$program=") << 200 << -1 << false
                                         << false << false;
        QTest::newRow("updater not found") << newer << 404 << -1 << false << false << true;
        QTest::newRow("updater cut mid-body") << newer << 200 << 10 << false << false << true;
        QTest::newRow("server unreachable") << newer << 200 << -1 << true << false << false;
        QTest::newRow("server silent") << newer << 200 << -1 << false << true << false;
    }
    void noUpdate() {
        QFETCH(QByteArray, answer);
        QFETCH(int, updaterStatus);
        QFETCH(int, cutAfter);
        QFETCH(bool, unreachable);
        QFETCH(bool, silent);
        QFETCH(bool, downloadAsked);
        LocalHttpServer::Route version{200, answer, -1, silent};
        m_server->route("/cs/autoup/Corvanta/ver.asp", version);
        m_server->route("/cs/autoup/Corvanta/upd.sh",
                        LocalHttpServer::Route{updaterStatus, QByteArray(4000, 'x'), cutAfter, false});
        if (unreachable) useServer(LocalHttpServer::closedHost());
        const QStringList before = folderFiles();

        CheckForUpdate();   // no update: returns quietly

        QCOMPARE(m_starts.size(), 0);
        QCOMPARE(folderFiles(), before);
        QCOMPARE(m_server->paths().contains("/cs/autoup/Corvanta/upd.sh"), downloadAsked);
    }

    void updaterTrust_data() {
        QTest::addColumn<bool>("https");
        QTest::addColumn<QByteArray>("checksum"); // null: no checksum file on the server
        QTest::addColumn<bool>("plainHttp");
        QTest::addColumn<bool>("runs");
        const QByteArray updater = "#!/bin/sh\necho update\n";
        const QByteArray digest = QCryptographicHash::hash(updater, QCryptographicHash::Sha256).toHex();
        const QByteArray other =
            QCryptographicHash::hash("something else", QCryptographicHash::Sha256).toHex();
        QTest::newRow("https") << true << QByteArray() << false << true;
        QTest::newRow("https, damaged checksum file") << true << QByteArray("x") << false << true;
        QTest::newRow("http, matching checksum, plain not allowed") << false << digest + "  upd.sh\n" << false
                                                                    << false;
        QTest::newRow("http, sha256sum line") << false << digest + "  upd.sh\n" << true << true;
        QTest::newRow("http, digest alone in capitals") << false << digest.toUpper() << true << true;
        QTest::newRow("http, digest after blank lines") << false << "\r\n\r\n" + digest + "\r\n"
                                                        << true << true;
        QTest::newRow("http, another file's digest") << false << other + "  upd.sh\n" << false << false;
        QTest::newRow("http, mismatch even where plain is allowed") << false << other << true << false;
        QTest::newRow("http, digest cut short") << false << digest.left(63) << true << false;
        QTest::newRow("http, empty checksum file") << false << QByteArray("") << true << false;
        QTest::newRow("http, no checksum") << false << QByteArray() << false << false;
        QTest::newRow("http, no checksum, plain allowed") << false << QByteArray() << true << true;
    }
    void updaterTrust() {
        QFETCH(bool, https);
        QFETCH(QByteArray, checksum);
        QFETCH(bool, plainHttp);
        QFETCH(bool, runs);
        const std::optional<QByteArray> file =
            checksum.isNull() ? std::nullopt : std::optional<QByteArray>(checksum);
        QCOMPARE(UpdaterMayRun("#!/bin/sh\necho update\n", https, file, plainHttp), runs);
    }

    // Over real HTTP: an updater that cannot be checked is neither written nor started.
    void plainHttpUpdater_data() {
        QTest::addColumn<QByteArray>("checksum"); // null: none on the server
        QTest::addColumn<bool>("plainHttp");
        QTest::addColumn<bool>("started");
        const QByteArray updater = "#!/bin/sh\n";
        const QByteArray digest = QCryptographicHash::hash(updater, QCryptographicHash::Sha256).toHex();
        QTest::newRow("matching checksum") << digest + "  upd.sh\n" << false << false;
        QTest::newRow("matching checksum, plain HTTP allowed") << digest + "  upd.sh\n" << true << true;
        QTest::newRow("checksum of something else") << QByteArray(64, 'a') << false << false;
        QTest::newRow("no checksum") << QByteArray() << false << false;
        QTest::newRow("no checksum, plain HTTP allowed") << QByteArray() << true << true;
        QTest::newRow("wrong checksum, plain HTTP allowed") << QByteArray(64, 'a') << true << false;
    }
    void plainHttpUpdater() {
        QFETCH(QByteArray, checksum);
        QFETCH(bool, plainHttp);
        QFETCH(bool, started);
        useServer(m_server->host(), plainHttp);
        m_server->route("/cs/autoup/Corvanta/ver.asp", "version=1.0.1$updater=upd.sh$program=new.exe");
        m_server->route("/cs/autoup/Corvanta/upd.sh", "#!/bin/sh\n");
        if (!checksum.isNull()) m_server->route("/cs/autoup/Corvanta/upd.sh.sha256", checksum);
        if (started) {
            QVERIFY_THROWS_EXCEPTION(ProgramEnded, CheckForUpdate());
        } else {
            CheckForUpdate();
        }
        QCOMPARE(m_starts.size(), started ? 1 : 0);
        QCOMPARE(folderFiles(), started ? QStringList{QStringLiteral("upd.sh")} : QStringList{});
        QVERIFY(m_server->paths().contains("/cs/autoup/Corvanta/upd.sh.sha256"));
    }

    void addresses_data() {
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("folder");
        QTest::newRow("none") << ""
                              << "";
        QTest::newRow("blank") << "  "
                               << "";
        QTest::newRow("host") << "up.example"
                              << "http://up.example/cs/autoup/Corvanta/";
        QTest::newRow("host and port") << "up.example:8080"
                                       << "http://up.example:8080/cs/autoup/Corvanta/";
        QTest::newRow("https") << "https://up.example"
                               << "https://up.example/cs/autoup/Corvanta/";
        QTest::newRow("https with port and slash") << "HTTPS://up.example:8443/"
                                                   << "HTTPS://up.example:8443/cs/autoup/Corvanta/";
        QTest::newRow("http named") << "http://up.example"
                                    << "http://up.example/cs/autoup/Corvanta/";
    }
    void addresses() {
        QFETCH(QString, server);
        useServer(server);
        QTEST(UpdateFolderAddress(), "folder");
    }

    // An https update server needs Qt's TLS backend (OpenSSL) on the machine; over https the
    // updater is run without a checksum beside it.
    void httpsUpdateServer() {
        QVERIFY2(QSslSocket::supportsSsl(), qPrintable(QSslSocket::activeBackend()));
        TrustLocalHttpsCertificate();
        LocalHttpServer https(true);
        https.route("/cs/autoup/Corvanta/ver.asp", "version=1.0.1$updater=upd.sh$program=new.exe");
        https.route("/cs/autoup/Corvanta/upd.sh", "#!/bin/sh\n");
        useServer(QStringLiteral("https://") + https.host());

        QVERIFY_THROWS_EXCEPTION(ProgramEnded, CheckForUpdate());

        QCOMPARE(m_starts.size(), 1);
        QCOMPARE(m_starts[0].arguments,
                 QStringList{QStringLiteral("https://") + https.host() +
                             QStringLiteral("/cs/autoup/Corvanta/new.exe ") + ownName()});
        QCOMPARE(https.paths(),
                 (QList<QByteArray>{"/cs/autoup/Corvanta/ver.asp", "/cs/autoup/Corvanta/upd.sh"}));
    }

    // A server whose certificate nobody vouches for is no update server.
    void untrustedHttpsServer() {
        LocalHttpServer https(true);
        QSslConfiguration plain = QSslConfiguration::defaultConfiguration();
        plain.setCaCertificates(QSslConfiguration::systemCaCertificates());
        QSslConfiguration::setDefaultConfiguration(plain);
        https.route("/cs/autoup/Corvanta/ver.asp", "version=1.0.1$updater=upd.sh$program=new.exe");
        https.route("/cs/autoup/Corvanta/upd.sh", "#!/bin/sh\n");
        useServer(QStringLiteral("https://") + https.host(), true);
        CheckForUpdate();
        QCOMPARE(m_starts.size(), 0);
        QVERIFY(folderFiles().isEmpty());
    }

    // Without an update server in the deployment nothing is asked of any network.
    void noUpdateServerNoCheck() {
        useServer(QString());
        CheckForUpdate();
        QVERIFY(m_server->requests().isEmpty());
        QCOMPARE(m_starts.size(), 0);
    }

    // A server that takes the request and never answers holds start-up for the text time-out
    // (3 s), not for the longer ones that downloads get.
    void silentServerIsGivenThreeSeconds() {
        SetHttpTimeouts(HttpTimeouts{});
        QCOMPARE(CurrentHttpTimeouts().textTotalMs, 3000);
        m_server->route("/cs/autoup/Corvanta/ver.asp", LocalHttpServer::Route{200, {}, -1, true});
        QElapsedTimer timer;
        timer.start();
        CheckForUpdate();
        const qint64 waited = timer.elapsed();
        QVERIFY2(waited >= 2500 && waited < 4500, qPrintable(QString::number(waited)));
        QCOMPARE(m_starts.size(), 0);
    }

    void failedDownloadKeepsTheOldUpdater() {
        m_server->route("/cs/autoup/Corvanta/ver.asp", "version=1.0.1$updater=upd.sh$program=new.exe");
        m_server->route("/cs/autoup/Corvanta/upd.sh", LocalHttpServer::Route{200, QByteArray(4000, 'n'), 100, false});
        const QString path = QDir(ProgramFolder()).filePath(QStringLiteral("upd.sh"));
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old updater");
        old.close();

        CheckForUpdate();

        QCOMPARE(folderFiles(), QStringList{QStringLiteral("upd.sh")});
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("old updater"));
        QCOMPARE(m_starts.size(), 0);
    }
};

DELMORA_TEST_MAIN(TestSelfUpdate)
#include "tst_selfupdate.moc"
