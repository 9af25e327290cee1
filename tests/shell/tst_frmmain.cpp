// The main window: one instance per screen, menu enabling by registration, the saved column
// widths emptied on resize after sign-in, caption, display settings and the exit question.
#include "testmain.h"
#include "deployment.h"
#include "ini.h"
#include "mainwindow.h"
#include "mytext.h"
#include "prompts.h"
#include "screens.h"
#include "signin.h"
#include "spreadgrid.h"
#include <QAction>
#include <QLayout>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTcpServer>
#include <QTcpSocket>
#include <QToolBar>
#include <QToolButton>
#include <memory>

// A work screen as small as a screen can be: a close button and a layout counter.
class TinyScreen : public WorkScreen {
    Q_OBJECT
public:
    explicit TinyScreen(QWidget* parent = nullptr) : WorkScreen(parent) {
        ++created;
        auto* close = new QPushButton(QStringLiteral("   닫 기"), this);
        close->setObjectName(QStringLiteral("cmdArr(99)"));
        connect(close, &QPushButton::clicked, this, &QWidget::close);
    }
    void Form_Resize() override { ++layouts; }
    static inline int created = 0;
    int layouts = 0;
};

// A screen whose layout fails; the others must still be laid out.
class FailingScreen : public WorkScreen {
    Q_OBJECT
public:
    using WorkScreen::WorkScreen;
    void Form_Resize() override { throw std::runtime_error("layout failed"); }
};

class tst_frmMain : public QObject {
    Q_OBJECT
    std::unique_ptr<frmMain> m_w;

    frmMain* fresh() {
        m_w.reset();
        m_w = std::make_unique<frmMain>();
        return m_w.get();
    }
    QAction* action(const QString& name) { return m_w->findChild<QAction*>(name); }
    QToolButton* button(const QString& name) {
        return m_w->findChild<QToolBar*>(QStringLiteral("Toolbar1"))->findChild<QToolButton*>(name);
    }
    static WorkScreen* tiny(QWidget* p) { return new TinyScreen(p); }
    static QByteArray fileBytes() {
        QFile f(SettingsPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private slots:
    void init() {
        SignedIn = false;
        FlushIni();
    }
    void cleanup() { m_w.reset(); }

    void loadDisablesWindowAndNamesTheProgram() {
        frmMain* w = fresh();
        QVERIFY(!w->isEnabled());
        QCOMPARE(w->windowTitle(), QStringLiteral("㈜델모라 콜센터 버전1.0.0"));
        QCOMPARE(MainWindow(), w);
        m_w.reset();
        QCOMPARE(MainWindow(), nullptr);
    }

    // Started maximised on the free area; "restore" returns to four fifths of it, centred, so
    // the frame a window manager adds stays on the screen.
    void placedOnFreeScreenArea() {
        frmMain* w = fresh();
        w->show();
        QTRY_VERIFY(w->isMaximized());
        const QRect free = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY(free.contains(w->geometry()));
        const QRect normal = w->normalGeometry();
        QVERIFY2(free.contains(normal), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                       .arg(normal.x())
                                                       .arg(normal.y())
                                                       .arg(normal.width())
                                                       .arg(normal.height())));
        QCOMPARE(normal, NormalGeometry(free));
    }

    void normalGeometry_data() {
        QTest::addColumn<QRect>("free");
        QTest::newRow("panel at the bottom, 1366x768") << QRect(0, 0, 1366, 728);
        QTest::newRow("panel at the top, 1024x768") << QRect(0, 32, 1024, 736);
        QTest::newRow("panel at the left, 1280x1024") << QRect(48, 0, 1232, 1024);
        QTest::newRow("second screen right of the first") << QRect(1920, 0, 1600, 1000);
    }
    void normalGeometry() {
        QFETCH(QRect, free);
        const QRect normal = NormalGeometry(free);
        QVERIFY(free.contains(normal));
        QVERIFY(qAbs(normal.width() - free.width() * 0.8) <= 1);
        QVERIFY(qAbs(normal.height() - free.height() * 0.8) <= 1);
        // Centred: the same room on either side, to the pixel.
        QVERIFY(qAbs((normal.left() - free.left()) - (free.right() - normal.right())) <= 1);
        QVERIFY(qAbs((normal.top() - free.top()) - (free.bottom() - normal.bottom())) <= 1);
    }

    void onlineNoticeUrl_data() {
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("url");
        QTest::newRow("embedded store") << "" << "";
        QTest::newRow("host") << "db.delmora.co.kr" << "http://db.delmora.co.kr/cs/hal_online.asp";
        QTest::newRow("address with port") << "203.0.113.7,8916" << "http://203.0.113.7/cs/hal_online.asp";
        QTest::newRow("named instance") << "db\\CALL" << "http://db/cs/hal_online.asp";
        QTest::newRow("garbage") << "a b/c?" << "";
    }
    void onlineNoticeUrl() {
        QFETCH(QString, server);
        QTEST(OnlineNoticeUrl(server).toString(), "url");
    }

    // The load sends the notice over real HTTP and does not wait for the answer.
    void onlineNoticeReachesWebServer() {
        QTcpServer web;
        if (!web.listen(QHostAddress::LocalHost, 80)) QSKIP("port 80 on 127.0.0.1 is not available here");
        const Deployment saved = CurrentDeployment();
        Deployment d = saved;
        d.databaseServer = QStringLiteral("127.0.0.1");
        SetDeployment(d);
        fresh();
        SetDeployment(saved);
        QTRY_VERIFY(web.hasPendingConnections());
        QTcpSocket* client = web.nextPendingConnection();
        QByteArray request;
        QTRY_VERIFY((request += client->readAll()).contains("\r\n\r\n"));
        QVERIFY2(request.startsWith("GET /cs/hal_online.asp HTTP/1.1\r\n"), request.constData());
        client->write("HTTP/1.1 500 Oops\r\nContent-Length: 0\r\n\r\n");
        client->flush();
        QTest::qWait(50);  // an error answer is dropped as quietly as any other
        QVERIFY(MainWindow());
    }

    void displaySettings_data() {
        QTest::addColumn<QString>("rowHeight");
        QTest::addColumn<QString>("interval");
        QTest::addColumn<QString>("expectedRowHeight");
        QTest::addColumn<QString>("expectedInterval");
        QTest::newRow("nothing stored") << "" << "" << "18" << "10";
        QTest::newRow("first start") << "12" << "" << "12" << "10";
        QTest::newRow("both stored") << "20" << "30" << "20" << "30";
    }
    void displaySettings() {
        QFETCH(QString, rowHeight);
        QFETCH(QString, interval);
        WriteIni(QStringLiteral("옵션"), QStringLiteral("표높이설정"), rowHeight);
        WriteIni(QStringLiteral("옵션"), QStringLiteral("갱신주기"), interval);
        fresh();
        QTEST(RowHeightSetting, "expectedRowHeight");
        QTEST(RefreshIntervalSetting, "expectedInterval");
    }

    void hiddenControls() {
        frmMain* w = fresh();
        auto* phone = w->findChild<MyText*>(QStringLiteral("전화틀"));
        auto* business = w->findChild<MyText*>(QStringLiteral("사업자틀"));
        auto* spp = w->findChild<SpreadGrid*>(QStringLiteral("spp"));
        QVERIFY(phone && business && spp);
        QVERIFY(phone->isHidden() && business->isHidden() && spp->isHidden());
        QCOMPARE(business->maxLength(), 13);
        phone->SetText(QStringLiteral("0212345678"));
        QCOMPARE(phone->Text(), QStringLiteral("02-1234-5678"));
        business->SetText(QStringLiteral("1234567890"));
        QCOMPARE(business->Text(), QStringLiteral("123-45-67890"));
    }

    // Nothing registered yet in this process: every menu item and button that opens something
    // is disabled; registering enables it; 오더조회 never is.
    void availabilityFollowsRegistry_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("menuName");
        QTest::addColumn<bool>("asCommand");
        QTest::addColumn<bool>("hasButton");
        QTest::addColumn<bool>("enabledOnceRegistered");
        QTest::newRow("오더등록") << "오더등록" << "메뉴_오더등록" << false << true << true;
        QTest::newRow("오더조회") << "오더조회" << "메뉴_오더조회" << false << false << false;
        QTest::newRow("차주관리") << "차주관리" << "메뉴_차주관리" << false << true << true;
        QTest::newRow("화주관리") << "화주관리" << "메뉴_화주관리" << false << true << true;
        QTest::newRow("주선사관리") << "주선사관리" << "메뉴_주선사관리" << false << true << true;
        QTest::newRow("계산서관리") << "계산서관리" << "메뉴_계산서관리" << false << true << true;
        QTest::newRow("정산관리") << "정산관리" << "항목_정산관리" << false << true << true;
        QTest::newRow("환경설정") << "환경설정" << "메뉴_환경설정" << true << false << true;
        QTest::newRow("원격지원요청") << "원격지원요청" << "메뉴_원격지원요청" << true << true << true;
    }
    void availabilityFollowsRegistry() {
        QFETCH(QString, caption);
        QFETCH(QString, menuName);
        QFETCH(bool, asCommand);
        QFETCH(bool, hasButton);
        QFETCH(bool, enabledOnceRegistered);
        fresh()->setEnabled(true);  // as after sign-in: the buttons' own state shows
        QAction* item = action(menuName);
        QVERIFY(item);
        QCOMPARE(item->text().section(u'(', 0, 0), caption); // the caption, then its Alt letter
        QVERIFY(!item->isEnabled());
        if (hasButton) QVERIFY(!button(caption)->isEnabled());

        if (asCommand) RegisterCommand(caption, [] {});
        else RegisterScreen(caption, tiny);
        QCOMPARE(item->isEnabled(), enabledOnceRegistered);
        if (hasButton) QCOMPARE(button(caption)->isEnabled(), enabledOnceRegistered);
        // A window built after the registration agrees.
        fresh();
        QCOMPARE(action(menuName)->isEnabled(), enabledOnceRegistered);
    }

    void toolbarButtonsInOrderWithCaptions() {
        fresh();
        auto* bar = m_w->findChild<QToolBar*>(QStringLiteral("Toolbar1"));
        QVERIFY(bar);
        QStringList names;
        for (QAction* a : bar->actions()) {
            names << a->objectName();
            QVERIFY(!a->icon().isNull());
            QCOMPARE(a->text(), a->objectName());
        }
        QCOMPARE(names, QStringList({"오더등록", "차주관리", "화주관리", "주선사관리", "계산서관리", "정산관리",
                                     "원격지원요청"}));
        QCOMPARE(bar->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
    }

    void openScreenKeepsOneInstance() {
        RegisterScreen(QStringLiteral("차주관리"), tiny);
        frmMain* w = fresh();
        w->setEnabled(true);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        TinyScreen::created = 0;

        WorkScreen* first = OpenScreen(QStringLiteral("차주관리"));
        QVERIFY(first);
        WorkScreen* again = OpenScreen(QStringLiteral("차주관리"));
        QCOMPARE(again, first);
        QCOMPARE(TinyScreen::created, 1);
        QCOMPARE(w->mdiArea()->subWindowList().size(), 1);
        // The screen fills the client area from its top-left corner.
        QMdiSubWindow* sub = w->mdiArea()->subWindowList().first();
        QCOMPARE(sub->geometry(), QRect(QPoint(0, 0), MainClientSize()));
        QCOMPARE(MainClientSize(), w->mdiArea()->viewport()->size());

        // Its own 닫기 button closes the MDI child; the next open builds a new screen.
        QTest::mouseClick(first->findChild<QPushButton*>(QStringLiteral("cmdArr(99)")), Qt::LeftButton);
        QCOMPARE(OpenedScreen(QStringLiteral("차주관리")), nullptr);
        QCOMPARE(w->mdiArea()->subWindowList().size(), 0);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        WorkScreen* reopened = OpenScreen(QStringLiteral("차주관리"));
        QVERIFY(reopened);
        QCOMPARE(TinyScreen::created, 2);
        QCOMPARE(w->mdiArea()->subWindowList().size(), 1);
        // Closing the MDI child itself forgets the screen as well.
        w->mdiArea()->subWindowList().first()->close();
        QCOMPARE(OpenedScreen(QStringLiteral("차주관리")), nullptr);
    }

    void menuBringsOpenScreenToFrontWithoutReload() {
        RegisterScreen(QStringLiteral("화주관리"), tiny);
        RegisterScreen(QStringLiteral("주선사관리"), tiny);
        frmMain* w = fresh();
        w->setEnabled(true);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        TinyScreen::created = 0;
        action(QStringLiteral("메뉴_화주관리"))->trigger();
        QTest::mouseClick(button(QStringLiteral("주선사관리")), Qt::LeftButton);
        QCOMPARE(TinyScreen::created, 2);
        QCOMPARE(w->mdiArea()->activeSubWindow()->widget(), OpenedScreen(QStringLiteral("주선사관리")));
        QTest::mouseClick(button(QStringLiteral("화주관리")), Qt::LeftButton);
        QCOMPARE(TinyScreen::created, 2);
        QCOMPARE(w->mdiArea()->activeSubWindow()->widget(), OpenedScreen(QStringLiteral("화주관리")));
    }

    void unregisteredOpenGivesNothing() {
        fresh();
        QCOMPARE(OpenScreen(QStringLiteral("없는화면")), nullptr);
        m_w.reset();
        RegisterScreen(QStringLiteral("계산서관리"), tiny);
        QCOMPARE(OpenScreen(QStringLiteral("계산서관리")), nullptr);  // no main window
    }

    void toolbarCommandRunsLikeMenu() {
        int runs = 0;
        RegisterCommand(QStringLiteral("원격지원요청"), [&runs] { ++runs; });
        frmMain* w = fresh();
        w->setEnabled(true);
        w->show();
        QTest::mouseClick(button(QStringLiteral("원격지원요청")), Qt::LeftButton);
        action(QStringLiteral("메뉴_원격지원요청"))->trigger();
        QCOMPARE(runs, 2);
        RegisterCommand(QStringLiteral("원격지원요청"), {});
        QVERIFY(!action(QStringLiteral("메뉴_원격지원요청"))->isEnabled());
    }

    void resizeEmptiesColumnWidthsAfterSignIn_data() {
        QTest::addColumn<bool>("signedIn");
        QTest::newRow("before sign-in") << false;
        QTest::newRow("signed in") << true;
    }
    void resizeEmptiesColumnWidthsAfterSignIn() {
        QFETCH(bool, signedIn);
        const QStringList keys = {"오더등록", "오더조회", "차주관리", "화주관리", "주선사관리", "계산서관리", "정산관리"};
        RegisterScreen(QStringLiteral("정산관리"), tiny);
        RegisterScreen(QStringLiteral("오더등록"), [](QWidget* p) -> WorkScreen* { return new FailingScreen(p); });
        frmMain* w = fresh();
        w->setEnabled(true);
        w->resize(900, 700);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        OpenScreen(QStringLiteral("오더등록"));
        auto* screen = static_cast<TinyScreen*>(OpenScreen(QStringLiteral("정산관리")));
        for (const QString& k : keys) WriteIni(QStringLiteral("컬럼폭"), k, QStringLiteral("10,20,30"));
        const int layoutsBefore = screen->layouts;

        SignedIn = signedIn;
        w->resize(1000, 760);
        QTRY_VERIFY(w->mdiArea()->viewport()->width() > 900);
        QTRY_VERIFY(screen->layouts > layoutsBefore);
        // Every child keeps filling the client area, the failing screen's included.
        for (QMdiSubWindow* sub : w->mdiArea()->subWindowList())
            QCOMPARE(sub->geometry(), QRect(QPoint(0, 0), MainClientSize()));
        for (const QString& k : keys)
            QCOMPARE(ReadIni(QStringLiteral("컬럼폭"), k), signedIn ? QString() : QStringLiteral("10,20,30"));
        if (signedIn) {
            // The file itself is written once the resize is over.
            QTRY_VERIFY(fileBytes().contains("오더등록=\r\n"));
            QFile f(SettingsPath());
            QVERIFY(f.open(QIODevice::ReadOnly));
            const QString text = QString::fromUtf8(f.readAll());
            int at = text.indexOf(QStringLiteral("[컬럼폭]"));
            QVERIFY(at >= 0);
            // The keys are written, empty, not merely absent.
            for (const QString& k : keys)
                QVERIFY2(text.indexOf(QRegularExpression(QStringLiteral("\\n") + k + QStringLiteral("=\\r?\\n")), at) >= 0,
                         qPrintable(k));
        }
    }

    // The saved widths follow the client area's size, not every event that may come with it:
    // a minimise and restore, or maximising a window that already fills the screen, keeps them.
    void widthsKeptWhileTheClientAreaKeepsItsSize_data() {
        QTest::addColumn<QString>("what");
        QTest::addColumn<bool>("emptied");
        QTest::newRow("minimise and restore") << "minimise" << false;
        QTest::newRow("maximise an already full window") << "maximise" << false;
        QTest::newRow("resize to the same size") << "same" << false;
        QTest::newRow("resize to another size") << "resize" << true;
    }
    void widthsKeptWhileTheClientAreaKeepsItsSize() {
        QFETCH(QString, what);
        QFETCH(bool, emptied);
        const QStringList keys = {"오더등록",   "오더조회",   "차주관리", "화주관리",
                                  "주선사관리", "계산서관리", "정산관리"};
        frmMain* w = fresh();
        w->setEnabled(true);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        SignedIn = true;
        const QSize full = w->size();
        QTest::qWait(50);
        w->layout()->activate();
        QCoreApplication::processEvents();
        for (const QString& k : keys)
            WriteIni(QStringLiteral("컬럼폭"), k, QStringLiteral("10,20,30"));
        const QSize client = w->mdiArea()->viewport()->size();
        if (what == QLatin1String("minimise")) {
            const Qt::WindowStates state = w->windowState();
            w->showMinimized();
            QTRY_VERIFY(w->isMinimized());
            QTest::qWait(50);
            w->setWindowState(state);
            QTRY_VERIFY(!w->isMinimized());
        } else if (what == QLatin1String("maximise")) {
            // What the window manager reports for a window that already filled the screen: the
            // state changes, the size does not.
            QWindowStateChangeEvent change(Qt::WindowNoState);
            QApplication::sendEvent(w, &change);
        } else if (what == QLatin1String("same")) {
            w->resize(w->size());
        } else {
            w->setWindowState(Qt::WindowNoState);
            w->resize(full.width() - 100, full.height() - 80);
            QTRY_VERIFY(w->mdiArea()->viewport()->size() != client);
        }
        QTest::qWait(100);
        if (!emptied) QCOMPARE(w->mdiArea()->viewport()->size(), client);
        for (const QString& k : keys)
            QCOMPARE(ReadIni(QStringLiteral("컬럼폭"), k), emptied ? QString() : QStringLiteral("10,20,30"));
        FlushIni();
        for (const QString& k : keys)
            QCOMPARE(ReadIni(QStringLiteral("컬럼폭"), k), emptied ? QString() : QStringLiteral("10,20,30"));
    }

    // A resize in many steps rewrites Setting.ini once, after the last step.
    void resizeStepsWriteTheFileOnce() {
        frmMain* w = fresh();
        w->setEnabled(true);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        w->setWindowState(Qt::WindowNoState);
        QTest::qWait(50);
        SignedIn = true;
        WriteIni(QStringLiteral("컬럼폭"), QStringLiteral("차주관리"), QStringLiteral("10,20,30"));
        const QDateTime before = QFileInfo(SettingsPath()).metadataChangeTime();
        const QByteArray old = fileBytes();
        for (int step = 1; step <= 10; ++step) {
            w->resize(700 + step * 10, 500 + step * 5);
            QCoreApplication::processEvents();
            QCOMPARE(fileBytes(), old); // not yet: the resize goes on
        }
        QCOMPARE(ReadIni(QStringLiteral("컬럼폭"), QStringLiteral("차주관리")), QString());
        QTRY_VERIFY(fileBytes() != old);
        QVERIFY(QFileInfo(SettingsPath()).metadataChangeTime() >= before);
        QVERIFY(fileBytes().contains("차주관리=\r\n"));
    }

    void exitQuestion_data() {
        QTest::addColumn<bool>("yes");
        QTest::newRow("아니오 keeps everything") << false;
        QTest::newRow("예 ends the program") << true;
    }
    void exitQuestion() {
        QFETCH(bool, yes);
        frmMain* w = fresh();
        w->setEnabled(true);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QVERIFY(action(QStringLiteral("메뉴_프로그램종료"))->isEnabled());
        PromptScript script;
        if (yes) {
            script.answerYes();
            QVERIFY_THROWS_EXCEPTION(ProgramEnded, w->ExitProgram());
            QVERIFY(!w->isVisible());
        } else {
            script.answerNo();
            action(QStringLiteral("메뉴_프로그램종료"))->trigger();
            QVERIFY(w->isVisible());
            QCOMPARE(MainWindow(), w);
        }
        QCOMPARE(script.texts(), QStringList{QStringLiteral("프로그램을 종료하시겠습니까?")});
        QCOMPARE(script.asked().front().kind, PromptKind::Question);
        QVERIFY(script.unexpected().isEmpty());
    }

};

DELMORA_TEST_MAIN(tst_frmMain)
#include "tst_frmmain.moc"
