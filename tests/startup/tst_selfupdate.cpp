#include "testmain.h"

#include "deployment.h"
#include "httpget.h"
#include "ini.h"
#include "localhttp.h"
#include "selfupdate.h"

#include <QDir>
#include <QFile>

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
    void useServer(const QString& host) {
        Deployment d = CurrentDeployment();
        d.updateServer = host;
        SetDeployment(d);
    }
    static QString ownName() { return QFileInfo(QCoreApplication::applicationFilePath()).fileName(); }

private Q_SLOTS:
    void init() {
        m_server = std::make_unique<LocalHttpServer>();
        useServer(m_server->host());
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
        QTest::addColumn<bool>("acceptable");
        QTest::newRow("plain") << "upd.sh" << true;
        QTest::newRow("korean") << "델모라업데이트.exe" << true;
        QTest::newRow("parent folder") << "../x" << false;
        QTest::newRow("dots only") << ".." << false;
        QTest::newRow("dots inside") << "a..b" << false;
        QTest::newRow("slash") << "a/b" << false;
        QTest::newRow("backslash") << "a\\b" << false;
        QTest::newRow("absolute") << "/tmp/x" << false;
        QTest::newRow("drive") << "C:x.exe" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("blank inside") << "up d.exe" << false;
        QTest::newRow("control character") << QStringLiteral("up\x01.exe") << false;
        QTest::newRow("settings file") << "setting.INI" << false;
        QTest::newRow("deployment file") << "delmora.conf" << false;
        QTest::newRow("the store") << "national_corvanta.sqlite" << false;
        QTest::newRow("the program itself") << ownName() << false;
    }
    void updateNames() {
        QFETCH(QString, name);
        QFETCH(bool, acceptable);
        QCOMPARE(IsAcceptableUpdateName(name), acceptable);
    }

    void newerVersionStartsTheUpdater() {
        const QByteArray script = "#!/bin/sh\necho updating \"$1\"\n";
        m_server->route("/cs/autoup/Corvanta/ver.asp", "version=1.0.1$updater=upd.sh$program=new.exe");
        m_server->route("/cs/autoup/Corvanta/upd.sh", script);
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
                 QStringList{QStringLiteral("http://") + m_server->host() + QStringLiteral("/cs/autoup/Corvanta/new.exe ") +
                             ownName()});
        QCOMPARE(m_server->paths(), (QList<QByteArray>{"/cs/autoup/Corvanta/ver.asp", "/cs/autoup/Corvanta/upd.sh"}));
        for (const auto& request : m_server->requests()) QCOMPARE(request.userAgent, QByteArray("vb wininet"));
    }

    void updaterThatCannotStartLetsStartUpGoOn() {
        m_server->route("/cs/autoup/Corvanta/ver.asp", "version=1.0.1$updater=upd.sh$program=new.exe");
        m_server->route("/cs/autoup/Corvanta/upd.sh", "#!/bin/sh\n");
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
