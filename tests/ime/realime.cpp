// Korean typed through a real input method: an X server, a D-Bus session and ibus-daemon with
// the Hangul engine in Hangul mode (started by run-real-ime.sh), real key strokes and mouse
// clicks from xdotool, and the client's own screens. A syllable still composing when the focus
// moves must stay in its box, never turn up in the next one, and number boxes take digits only.
#include "boardfixture.h"
#include "droplist.h"
#include "frmlogin.h"
#include "mytext.h"
#include "prompts.h"
#include "testmain.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QPushButton>

using namespace BoardFixture;

namespace {

// Runs xdotool while the event loop goes on, as a user types into a live program.
bool Xdo(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral("xdotool"), args);
    if (!p.waitForStarted(5000)) return false;
    QElapsedTimer t;
    t.start();
    while (p.state() != QProcess::NotRunning && t.elapsed() < 15000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        p.waitForFinished(10);
    }
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// Two-set keys (dkssud is 안녕) with a typist's pace.
void Type(const QString& keys) {
    QVERIFY2(Xdo({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("40"), keys}),
             "xdotool type");
}

void Key(const QString& key) {
    QVERIFY2(Xdo({QStringLiteral("key"), key}), "xdotool key");
}

void Click(QWidget* w) {
    const QPoint at = w->mapToGlobal(w->rect().center());
    QVERIFY2(Xdo({QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()),
                  QStringLiteral("click"), QStringLiteral("1")}),
             "xdotool click");
}

// Lets the input method's answers come in: a late copy takes a D-Bus round trip or two.
void Settle() {
    QTest::qWait(700);
}

void FocusByMouse(QWidget* w) {
    Click(w);
    QTRY_VERIFY_WITH_TIMEOUT(w->hasFocus(), 5000);
}

} // namespace

class RealImeTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TestStore> store;
    std::unique_ptr<frmOrder> board;

    void fillPanel() {
        board->상차권역->setCurrentIndex(1);
        board->상차지->SetText(QStringLiteral("강남구 역삼동"));
        board->하차권역->setCurrentIndex(16);
        board->하차지->SetText(QStringLiteral("해운대구 우동"));
        board->금액->SetText(QStringLiteral("300000"));
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY2(QGuiApplication::platformName() == QStringLiteral("xcb"), "run me through run-real-ime.sh");
        Clock::set(Morning());
        SignIn();
        store = std::make_unique<TestStore>();
        store->exec(QStringLiteral("insert into 좌표주소 (SIDO, SIGUNGU, UPMYENDONG, ADDR) values "
                                   "('서울','강남구','역삼동','서울 강남구 역삼동')"));
        board = OpenBoard(QSize(1500, 900));
        board->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(board.get()));
        // The input method is up and in Hangul mode: a word composes before anything is tested.
        FocusByMouse(board->제품정보);
        QElapsedTimer t;
        t.start();
        while (board->제품정보->Text() != QStringLiteral("한글") && t.elapsed() < 20000) {
            board->제품정보->SetText(QString());
            Type(QStringLiteral("gksrmf "));
            QTest::qWait(300);
            board->제품정보->SetText(board->제품정보->Text().trimmed());
        }
        QVERIFY2(board->제품정보->Text() == QStringLiteral("한글"),
                 qPrintable(QStringLiteral("IBus did not compose Hangul; got: ") + board->제품정보->Text()));
    }
    void init() {
        board->ResetOrderEntry();
        Settle();
    }
    void cleanupTestCase() {
        board.reset();
        store.reset();
    }

    void syllableStaysWhenTheFocusMoves_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("leave"); // click:<box>, or a key name
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("expected");
        QTest::newRow("click the next box") << "상차지"
                                            << "dkssud"
                                            << "click:하차지"
                                            << "하차지"
                                            << "안녕";
        QTest::newRow("click a box on another row") << "제품정보"
                                                    << "xkdldj"
                                                    << "click:화주명"
                                                    << "화주명"
                                                    << "타이어";
        QTest::newRow("Tab") << "상차지"
                             << "dkssud"
                             << "Tab"
                             << ""
                             << "안녕";
    }
    void syllableStaysWhenTheFocusMoves() {
        QFETCH(QString, from);
        QFETCH(QString, keys);
        QFETCH(QString, leave);
        QFETCH(QString, to);
        QFETCH(QString, expected);
        auto* box = Child<MyText>(board.get(), from);
        FocusByMouse(box);
        Type(keys);
        if (leave.startsWith(QStringLiteral("click:")))
            FocusByMouse(Child<QWidget>(board.get(), leave.mid(6)));
        else
            Key(leave);
        Settle();
        QCOMPARE(box->Text(), expected);
        if (!to.isEmpty()) QCOMPARE(Child<MyText>(board.get(), to)->Text(), QString());
        QVERIFY(QApplication::focusWidget() != box);
        // Whatever has the focus now holds nothing of the syllable.
        if (auto* next = qobject_cast<MyText*>(QApplication::focusWidget()))
            QCOMPARE(next->Text(), QString());
    }

    void orderAddedWhileComposing() {
        PromptScript prompts;
        fillPanel();
        FocusByMouse(board->제품정보);
        Type(QStringLiteral("xkdldj"));
        Click(Child<QPushButton>(board.get(), QStringLiteral("cmdArr(1)")));
        Settle();
        QCOMPARE(store->value(QStringLiteral("select 화물정보1 from 화물오더 order by ID desc limit 1")),
                 QStringLiteral("타이어"));
        // The next order starts empty: the board put the focus in 상차지, where IBus's copy of
        // 어 would have landed.
        QTRY_VERIFY(board->상차지->hasFocus());
        QCOMPARE(board->상차지->Text(), QString());
        QCOMPARE(board->제품정보->Text(), QString());
        QVERIFY(prompts.asked().empty());
    }

    void enterLooksUpTheWholeWord() {
        FocusByMouse(board->상차지);
        Type(QStringLiteral("durtka"));
        store->clearStatements();
        Key(QStringLiteral("Return"));
        QTRY_VERIFY_WITH_TIMEOUT(board->fSP->isVisible(), 5000);
        Settle();
        QCOMPARE(board->상차지->Text(), QStringLiteral("역삼"));
        QVERIFY2(store->statements().join(u'\n').contains(QStringLiteral("like '%역삼%'")),
                 qPrintable(store->statements().join(u'\n')));
        QCOMPARE(board->fSP->GetText(3, 1), QStringLiteral("역삼동"));
        // Enter picks the suggestion; the region and the box take it, nothing stray follows.
        Key(QStringLiteral("Return"));
        Settle();
        QCOMPARE(board->상차권역->currentText(), QStringLiteral("서울"));
        QCOMPARE(board->상차지->Text(), QStringLiteral("강남구 역삼동"));
    }

    void numberBoxesTakeDigitsInHangulMode_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("left"); // once the box is left
        QTest::newRow("금액") << "금액"
                              << "12345rk"
                              << "12345"
                              << "12345";
        QTest::newRow("화주코드") << "화주코드"
                                  << "1001rk"
                                  << "1001"
                                  << "1001";
        QTest::newRow("화물중량") << "화물중량"
                                  << "2.5rk"
                                  << "2.5"
                                  << "2.5톤";
    }
    void numberBoxesTakeDigitsInHangulMode() {
        QFETCH(QString, box);
        QFETCH(QString, keys);
        QFETCH(QString, expected);
        QFETCH(QString, left);
        auto* target = Child<MyText>(board.get(), box);
        target->SetText(QString());
        FocusByMouse(target);
        Type(keys);
        Settle();
        QCOMPARE(target->Text(), expected);
        // Hangul mode is still on for the address box afterwards.
        FocusByMouse(board->하차지);
        Type(QStringLiteral("dnehd"));
        Key(QStringLiteral("Tab"));
        Settle();
        QCOMPARE(board->하차지->Text(), QStringLiteral("우동"));
        QCOMPARE(target->Text(), left);
    }

    void loginPasswordGetsNothingStray() {
        frmLogin login(nullptr);
        login.show();
        login.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&login));
        FocusByMouse(login.txtid);
        Type(QStringLiteral("dkssud"));
        FocusByMouse(login.txtpass);
        Settle();
        QCOMPARE(login.txtid->Text(), QStringLiteral("안녕"));
        QCOMPARE(login.txtpass->TextVal(), QString());
        // The password box takes its keys as typed, whatever mode the input method is in.
        Type(QStringLiteral("pw12"));
        Settle();
        QCOMPARE(login.txtpass->TextVal(), QStringLiteral("pw12"));
        login.hide();
    }
};

DELMORA_TEST_MAIN(RealImeTest)
#include "realime.moc"
