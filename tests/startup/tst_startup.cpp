#include "testmain.h"

#include "deployment.h"
#include "frmlogin.h"
#include "httpget.h"
#include "ini.h"
#include "localhttp.h"
#include "mytext.h"
#include "prompts.h"
#include "selfupdate.h"
#include "signin.h"
#include "startup.h"
#include "storeconnection.h"
#include "teststore.h"

#include <QDir>
#include <QFile>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include <unistd.h>

// The start-up sequence end to end: the real settings file, update server, store and dialog.
// What the user would do in the login dialog is done by a timer while the dialog runs.
class TestStartup : public QObject {
    Q_OBJECT

    std::unique_ptr<LocalHttpServer> m_server;
    QStringList m_events;              // what happened, in order
    QPointer<QWidget> m_main;
    int m_mainWindowsMade = 0;
    bool m_signInShownFirst = false; // the sign-in was on the screen when the main window was made

    QString storeFile() const { return QDir(ProgramFolder()).filePath(QStringLiteral("national_corvanta.sqlite")); }

    std::function<QWidget*()> mainWindowFactory() {
        return [this] {
            ++m_mainWindowsMade;
            auto* signIn = qobject_cast<frmLogin*>(QApplication::activeModalWidget());
            m_signInShownFirst = signIn && signIn->isVisible();
            m_events << (m_server->paths().contains("/cs/autoup/Corvanta/ver.asp") ? QStringLiteral("update checked")
                                                                                   : QStringLiteral("no update check"));
            m_events << (StoreReady ? QStringLiteral("store open") : QStringLiteral("no store"));
            m_events << QStringLiteral("main window");
            auto* main = new QWidget;
            main->setObjectName(QStringLiteral("frmMain"));
            main->resize(800, 600);
            main->setEnabled(false);   // as the main window's load does
            main->show();
            m_main = main;
            return main;
        };
    }

    // Runs the sequence while `inDialog` plays the user in the login dialog. Returns the exit
    // code; `hung` tells whether the run had to be stopped from outside.
    int runStartup(const std::function<void(frmLogin&)>& inDialog, bool* hung) {
        int ticks = 0;
        bool handled = false;
        *hung = false;
        QTimer user;
        user.setInterval(20);
        connect(&user, &QTimer::timeout, this, [&] {
            ++ticks;
            if (auto* dialog = qobject_cast<frmLogin*>(QApplication::activeModalWidget()); dialog && !handled) {
                handled = true;
                m_events << QStringLiteral("login dialog");
                inDialog(*dialog);
                return;
            }
            // Signed in and the dialog gone: the program runs on until it is ended.
            if (handled && LoginSucceeded && !QApplication::activeModalWidget()) QCoreApplication::quit();
            if (ticks > 1500) {
                *hung = true;
                if (auto* dialog = qobject_cast<frmLogin*>(QApplication::activeModalWidget())) dialog->done(0);
                QCoreApplication::quit();
            }
        });
        user.start();
        const int code = RunStartup(mainWindowFactory());
        user.stop();
        return code;
    }

    QStringList iniLines() const {
        QFile f(SettingsPath());
        if (!f.open(QIODevice::ReadOnly)) return {};
        QStringList lines;
        for (const QString& line : QString::fromUtf8(f.readAll()).split(QLatin1Char('\n')))
            if (!line.trimmed().isEmpty()) lines << line.trimmed();
        return lines;
    }

private Q_SLOTS:
    void init() {
        m_server = std::make_unique<LocalHttpServer>();
        m_server->route("/cs/autoup/Corvanta/ver.asp", "version=1.0.0$updater=upd.sh$program=new.exe");
        Deployment d = CurrentDeployment();
        d.databaseServer.clear();
        d.updateServer = m_server->host();
        SetDeployment(d);
        SetHttpTimeouts({1500, 5000, 5000});
        SetUpdaterStarter([](const QString&, const QStringList&) { return false; });
        QFile::remove(SettingsPath());
        for (const char* suffix : {"", "-wal", "-shm"}) QFile::remove(storeFile() + QLatin1String(suffix));
        m_events.clear();
        m_mainWindowsMade = 0;
        m_signInShownFirst = false;
        LoginSucceeded = false;
        SignedIn = false;
        StoreReady = false;
        StoreConnection.reset();
    }
    void cleanup() {
        SetUpdaterStarter({});
        delete m_main.data();
        m_server.reset();
    }

    void firstRunWritesTheDefaults() {
        PromptScript prompts;
        QCOMPARE(RunStartup(mainWindowFactory()), 1); // the store is not there
        QCOMPARE(iniLines(),
                 (QStringList{"[로그인]", "아이디=", "정보저장=아니오", "[옵션]", "표높이설정=12"}));
        // The update check came before the store, whose absence ended the program.
        QCOMPARE(m_server->paths(), QList<QByteArray>{"/cs/autoup/Corvanta/ver.asp"});
        QCOMPARE(prompts.texts().size(), 1);
        QCOMPARE(m_mainWindowsMade, 0);
    }

    // An embedded store that is not there, or cannot be read, will not come by retrying: one
    // message names the file and how to make one, and the program ends.
    void unusableStoreFile_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("catalog");
        QTest::addColumn<QString>("firstLine");
        QTest::newRow("missing") << "missing" << QString() << "저장소 파일이 없습니다: %1";
        QTest::newRow("missing, named in Setting.ini") << "missing"
                                                       << "branch2"
                                                       << "저장소 파일이 없습니다: %1";
        QTest::newRow("link to nowhere") << "dangling link" << QString() << "저장소 파일이 없습니다: %1";
        QTest::newRow("a folder") << "folder" << QString() << "저장소 파일을 읽을 수 없습니다: %1";
        QTest::newRow("not readable") << "unreadable" << QString() << "저장소 파일을 읽을 수 없습니다: %1";
    }
    void unusableStoreFile() {
        QFETCH(QString, kind);
        QFETCH(QString, catalog);
        QFETCH(QString, firstLine);
        if (!catalog.isEmpty()) WriteIni(QStringLiteral("데이타"), QStringLiteral("DB명"), catalog);
        const QString path =
            QDir(ProgramFolder())
                .filePath((catalog.isEmpty() ? QStringLiteral("national_corvanta") : catalog) + ".sqlite");
        if (kind == QLatin1String("dangling link")) QVERIFY(QFile::link(path + ".gone", path));
        if (kind == QLatin1String("folder")) QVERIFY(QDir().mkpath(path));
        if (kind == QLatin1String("unreadable")) {
            if (::geteuid() == 0) QSKIP("root reads every file");
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("x");
            f.close();
            QVERIFY(f.setPermissions(QFile::WriteOwner));
        }
        PromptScript prompts;
        QCOMPARE(RunStartup(mainWindowFactory()), 1);
        QFile::remove(path);
        QDir().rmdir(path);
        QCOMPARE(prompts.texts().size(), 1);
        const QStringList lines = prompts.texts().first().split(u'\n');
        QCOMPARE(lines.first(), firstLine.arg(path));
        QCOMPARE(prompts.asked().front().kind, PromptKind::Refusal);
        if (kind != QLatin1String("folder") && kind != QLatin1String("unreadable"))
            QVERIFY2(lines.last().contains(QStringLiteral("delmora-store init ") + path +
                                           QStringLiteral(" --demo")),
                     qPrintable(lines.last()));
        QVERIFY(prompts.unexpected().isEmpty());
        QCOMPARE(m_mainWindowsMade, 0);
        QVERIFY(!StoreReady);
    }

    void existingSettingsAreLeftAlone() {
        const QByteArray mine = "[로그인]\r\n아이디=kim\r\n; a comment\r\n[컬럼폭]\r\n오더등록=1,2,3\r\n";
        QFile file(SettingsPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(mine);
        file.close();
        PromptScript prompts;
        QCOMPARE(RunStartup(mainWindowFactory()), 1);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), mine);
    }

    void unreachableStoreGivesUpAfterFiftyAttempts() {
        // A store file that is not a store at all.
        QFile garbage(storeFile());
        QVERIFY(garbage.open(QIODevice::WriteOnly));
        garbage.write(QByteArray(8192, '\x5a'));
        garbage.close();
        PromptScript prompts;
        for (int i = 0; i < 48; ++i) prompts.answerYes();
        bool hung = false;
        const int code = runStartup([](frmLogin&) {}, &hung);
        QVERIFY(!hung);
        QCOMPARE(code, 0);
        QCOMPARE(prompts.pendingAnswers(), 0);
        QCOMPARE(prompts.texts().size(), 49);
        QCOMPARE(prompts.texts().count(QStringLiteral("서버접속 에러입니다.\n다시 시도하시겠습니까?")), 48);
        QCOMPARE(prompts.texts().last(), QStringLiteral("재시도횟수 초과입니다."));
        QVERIFY(prompts.unexpected().isEmpty());
        // The main window was made, the login dialog never shown, and the run is over.
        QCOMPARE(m_events, (QStringList{"update checked", "no store", "main window"}));
        QVERIFY(!LoginSucceeded);
        QVERIFY(m_main.isNull());
    }

    void signInRunsTheProgram() {
        TestStore store;
        store.exec(QStringLiteral("insert into 코드_주선사(아이디, 비밀번호, 주선사명) values('kim', 'abcd', '김상사')"));
        QFile::remove(SettingsPath());
        PromptScript prompts;
        bool centred = false;
        bool mainDisabledMeanwhile = false;
        bool mainEnabledAfter = false;
        bool keptAboveMain = false;
        bool hung = false;
        const int code = runStartup(
            [&](frmLogin& dialog) {
                const QRect screen = dialog.screen()->geometry();
                centred = (dialog.frameGeometry().center() - screen.center()).manhattanLength() <= 4;
                mainDisabledMeanwhile = m_main && !m_main->isEnabled();
                keptAboveMain = m_main && dialog.windowHandle() &&
                                dialog.windowHandle()->transientParent() == m_main->windowHandle();
                dialog.txtid->SetText(QStringLiteral("kim"));
                dialog.txtpass->SetText(QStringLiteral("abcd"));
                QTest::mouseClick(dialog.btnLogin, Qt::LeftButton);
                mainEnabledAfter = m_main && m_main->isEnabled();
            },
            &hung);
        QVERIFY(!hung);
        QCOMPARE(code, 0);
        QCOMPARE(m_events, (QStringList{"update checked", "store open", "main window", "login dialog"}));
        QVERIFY(centred);
        QVERIFY(mainDisabledMeanwhile);
        QVERIFY(mainEnabledAfter);
        // The sign-in reaches the screen first; the main window made behind it still keeps it above.
        QVERIFY(m_signInShownFirst);
        QVERIFY(keptAboveMain);
        QVERIFY(LoginSucceeded);
        QCOMPARE(LoginId, QStringLiteral("kim"));
        QCOMPARE(BrokerName, QStringLiteral("김상사"));
        QVERIFY(prompts.texts().isEmpty());
        QVERIFY(m_main.isNull());   // the run is over and took its main window with it
    }

    void noSignInEndsTheProgram() {
        TestStore store;
        PromptScript prompts;
        bool hung = false;
        // The dialog goes away without anyone having signed in.
        const int code = runStartup([](frmLogin& dialog) { dialog.done(QDialog::Rejected); }, &hung);
        QVERIFY(!hung);   // the program did not go on into its event loop
        QCOMPARE(code, 0);
        QCOMPARE(m_events, (QStringList{"update checked", "store open", "main window", "login dialog"}));
        QVERIFY(!LoginSucceeded);
        QVERIFY(m_main.isNull());
    }
};

DELMORA_TEST_MAIN(TestStartup)
#include "tst_startup.moc"
