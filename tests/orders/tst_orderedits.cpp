// Editing orders on the board: a modify changes in the store only what the agent changed, the
// panel is reset to its defaults, the list the agent looks at comes back after a write, an
// unknown shipper code is asked about, and typed input is never thrown away unasked.
#include "boardfixture.h"
#include "droplist.h"
#include "ini.h"
#include "mytext.h"
#include "prompts.h"
#include "testmain.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>

using namespace BoardFixture;

namespace {
const QString DiscardQuestion = QStringLiteral("입력 중인 오더가 있습니다. 지우시겠습니까?");
const QString UnknownShipper = QStringLiteral("등록되지 않은 화주코드입니다. 그대로 저장하시겠습니까?");
using Values = QMap<QString, QString>;
} // namespace

class OrderEditsTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TestStore> store;

    void AddShipper(const QString& code, const QString& name) {
        store->exec(QStringLiteral("insert into 코드_화주 (코드, 화주명, 대표자, 사업자번호, 연락처) values "
                                   "('%1', '%2', '대표', '1112233333', '0311112222')")
                        .arg(code, name));
    }
    // A panel every check passes.
    static void FillPanel(frmOrder& w) {
        w.상차권역->setCurrentIndex(1);
        w.상차지->SetText(QStringLiteral("강남구 역삼동"));
        w.하차권역->setCurrentIndex(16);
        w.하차지->SetText(QStringLiteral("해운대구 우동"));
        w.금액->SetText(QStringLiteral("250000"));
    }
    static void Click(frmOrder* w, const char* button) {
        QTest::mouseClick(Child<QPushButton>(w, QString::fromLatin1(button)), Qt::LeftButton);
    }
    // Lists the month (조회) so orders of other days are on the board.
    static void ListThePeriod(frmOrder* w) { Click(w, "cmdArr(6)"); }
    static int RowOf(frmOrder* w, const QString& id) {
        for (int r = 1; r <= w->sp->MaxRows(); ++r) {
            w->sp->setRow(r);
            w->sp->setCol(1);
            if (w->sp->CellTag() == id) return r;
        }
        return 0;
    }

private slots:
    void init() {
        store = FreshStart();
    }
    void cleanup() { store.reset(); }

    // An order of another day, changed by its amount only, keeps every other column.
    void amountOnlyModifyKeepsTheRest_data() {
        QTest::addColumn<Values>("stored");
        QTest::newRow("another day, 3 vehicles, quarter-hour times")
            << Values{{"날짜", "2026-12-03"},
                      {"차량대수", "3"},
                      {"상차요청일시", "2026-12-03 14:45"},
                      {"하차요청일시", "2026-12-04 08:10"}};
        QTest::newRow("taken by another broker") << Values{{"작성아이디", "other"},
                                                           {"작성회사명", "한빛주선"},
                                                           {"작성자명", "김상담"},
                                                           {"작성자연락처", "0299998888"}};
        QTest::newRow("its own shipper, renamed in the master since")
            << Values{{"화주코드", "S100"},
                      {"화주명", "옛이름상사"},
                      {"화주상호", "옛이름상사"},
                      {"화주대표자", "박대표"},
                      {"화주사업자번호", "9998877777"},
                      {"화주연락처", "0510001111"},
                      {"화주업태", "도매"},
                      {"화주종목", "잡화"},
                      {"화주주소1", "부산 중구"},
                      {"화주계산서담당", "이담당"},
                      {"화주이메일", "old@x.kr"}};
        QTest::newRow("tonnage and kind outside the lists")
            << Values{{"희망톤수", "8톤"}, {"희망차종", "탑차"}};
        QTest::newRow("a run kind and weight as older clients wrote them")
            << Values{{"적재구분", "2"}, {"화물중량", "3"}, {"운임구분", "2"}};
        QTest::newRow("details the board does not show")
            << Values{{"수수료", "15000"},    {"비고", "야간 상차"},    {"상차지상세", "B동 3번 도크"},
                      {"상차방법", "수작업"}, {"하차담당자", "최반장"}, {"화물정보2", "냉장"},
                      {"예비1", "x"}};
        QTest::newRow("dispatched") << Values{{"오더상태", "배차완료"},
                                              {"차주명", "홍기사"},
                                              {"차량번호", "경기12가3456"},
                                              {"배차시간", "2026-12-09 08:00:00"}};
    }
    void amountOnlyModifyKeepsTheRest() {
        QFETCH(Values, stored);
        AddShipper(QStringLiteral("S100"), QStringLiteral("새이름상사"));
        const QString id = InsertOrder(*store, stored);
        // The order on the board last shown must not lend it anything.
        InsertOrder(*store, {{"날짜", "2026-12-03"}, {"화주코드", "S100"}, {"적재구분", "3"}});
        const Values before = StoredRow(*store, id);
        PromptScript prompts;
        auto w = OpenBoard();
        w->화주코드->SetText(QStringLiteral("LEFTOVER"));
        ListThePeriod(w.get());
        const int row = RowOf(w.get(), id);
        QVERIFY(row > 0);
        ClickRow(w->sp, row == 1 ? 2 : 1);
        ClickRow(w->sp, row);
        QCOMPARE(w->화주코드->Text(), before.value("화주코드"));
        QCOMPARE(w->화주명->Text(), before.value("화주명"));

        w->금액->setFocus();
        w->금액->selectAll();
        Type(w->금액, QStringLiteral("455000"));
        prompts.answerYes();
        Click(w.get(), "cmdArr(2)");
        QCOMPARE(prompts.texts(), QStringList{QStringLiteral("오더를 수정하시겠습니까?")});

        Values after = StoredRow(*store, id);
        QCOMPARE(after.value("운송비"), QStringLiteral("455000"));
        QVERIFY2(after.value("수정일시").startsWith(QDate::currentDate().toString(Qt::ISODate)),
                 qPrintable(after.value("수정일시")));
        Values expected = before;
        expected.remove(QStringLiteral("운송비"));
        expected.remove(QStringLiteral("수정일시"));
        expected.remove(QStringLiteral("버전")); // every write moves the row's version
        for (auto it = expected.cbegin(); it != expected.cend(); ++it)
            QVERIFY2(after.value(it.key()) == it.value(),
                     qPrintable(it.key() + QStringLiteral(": ") + it.value() + QStringLiteral(" became ") +
                                after.value(it.key())));
    }

    // What is shown comes from the order, as stored.
    void showsTheOrderAsStored_data() {
        QTest::addColumn<Values>("stored");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("shown");
        QTest::newRow("3 vehicles") << Values{{"차량대수", "3"}} << "댓수"
                                    << "3";
        QTest::newRow("14:45 loading") << Values{{"상차요청일시", "2026-12-09 14:45"}} << "상차시"
                                       << "14:45";
        QTest::newRow("08:10 unloading") << Values{{"하차요청일시", "2026-12-10 08:10"}} << "하차시"
                                         << "08:10";
        QTest::newRow("tonnage off the list") << Values{{"희망톤수", "8톤"}} << "희망톤수"
                                              << "8톤";
        QTest::newRow("kind off the list") << Values{{"희망차종", "탑차"}} << "차종"
                                           << "탑차";
        QTest::newRow("shipper code") << Values{{"화주코드", "S7"}} << "화주코드"
                                      << "S7";
        QTest::newRow("shipper name") << Values{{"화주명", "가나상사"}} << "화주명"
                                      << "가나상사";
    }
    void showsTheOrderAsStored() {
        QFETCH(Values, stored);
        QFETCH(QString, control);
        QFETCH(QString, shown);
        InsertOrder(*store, stored);
        PromptScript prompts;
        auto w = OpenBoard();
        QWidget* box = Child<QWidget>(w.get(), control);
        auto* list = qobject_cast<DropList*>(box);
        const int entries = list ? list->count() : 0;
        ClickRow(w->sp, 1);
        if (list)
            QCOMPARE(list->currentText(), shown);
        else
            QCOMPARE(qobject_cast<MyText*>(box)->Text(), shown);
        // A reset takes an added entry away again: the lists offer what they always offered.
        Click(w.get(), "cmdArr(5)");
        if (list) QCOMPARE(list->count(), entries);
        QVERIFY(prompts.asked().empty());
    }

    // The run kind starts as 독차 for every new order.
    void resetSelectsTheSingleRun_data() {
        QTest::addColumn<QString>("reset");
        QTest::newRow("입력항목 지우기") << "cmdArr(5)";
        QTest::newRow("a modify") << "cmdArr(2)";
    }
    void resetSelectsTheSingleRun() {
        QFETCH(QString, reset);
        InsertOrder(*store, {{"적재구분", "3"}});
        PromptScript prompts;
        auto w = OpenBoard();
        ClickRow(w->sp, 1);
        QVERIFY(w->운행구분[2]->isChecked());
        prompts.answerYes();
        Click(w.get(), qPrintable(reset));
        QVERIFY(w->운행구분[0]->isChecked());
        FillPanel(*w);
        Click(w.get(), "cmdArr(1)");
        QCOMPARE(store->value(QStringLiteral("select 적재구분 from 화물오더 order by ID desc limit 1")),
                 QStringLiteral("1"));
    }

    // A write made from a period list shows the period again, not the day.
    void writesFromAPeriodReloadThePeriod_data() {
        QTest::addColumn<QString>("button");
        QTest::newRow("modify") << "cmdArr(2)";
        QTest::newRow("cancel order") << "cmdArr(3)";
        QTest::newRow("new order") << "cmdArr(1)";
    }
    void writesFromAPeriodReloadThePeriod() {
        QFETCH(QString, button);
        InsertOrder(*store, {{"날짜", "2026-12-02"}});
        InsertOrder(*store, {{"날짜", "2026-12-05"}});
        PromptScript prompts;
        auto w = OpenBoard();
        ListThePeriod(w.get());
        QCOMPARE(w->sp->MaxRows(), 2);
        ClickRow(w->sp, 1);
        if (button == "cmdArr(1)") FillPanel(*w);
        prompts.answerYes();
        store->clearStatements();
        Click(w.get(), qPrintable(button));
        QVERIFY(w->chk새로고침금지->isChecked());
        QVERIFY2(
            store->statements().last().contains(QStringLiteral("날짜>='2026-12-01' and 날짜<='2026-12-09'")),
            qPrintable(store->statements().last()));
        QCOMPARE(w->sp->MaxRows(), button == "cmdArr(1)" ? 3 : 2);
    }

    // The shipper code is looked up when it is entered; an unknown one is asked about.
    void shipperCode_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<bool>("saved");
        QTest::newRow("known") << "7200"
                               << "농심" << true << true;
        QTest::newRow("empty") << ""
                               << "" << true << true;
        QTest::newRow("unknown, saved anyway") << "7999"
                                               << "" << true << true;
        QTest::newRow("unknown, not saved") << "7099"
                                            << "" << false << false;
    }
    void shipperCode() {
        QFETCH(QString, code);
        QFETCH(QString, name);
        QFETCH(bool, answer);
        QFETCH(bool, saved);
        AddShipper(QStringLiteral("7100"), QStringLiteral("오뚜기"));
        AddShipper(QStringLiteral("7200"), QStringLiteral("농심"));
        PromptScript prompts;
        auto w = OpenBoard();
        FillPanel(*w);
        // The code of the last order first: its name is shown, then replaced.
        w->화주코드->setFocus();
        Type(w->화주코드, QStringLiteral("7100"));
        QTest::keyClick(w->화주코드, Qt::Key_Return);
        QCOMPARE(w->화주명->Text(), QStringLiteral("오뚜기"));
        w->화주코드->setFocus();
        w->화주코드->selectAll();
        QTest::keyClick(w->화주코드, Qt::Key_Backspace);
        Type(w->화주코드, code);
        QTest::keyClick(w->화주코드, Qt::Key_Return);
        QCOMPARE(w->화주명->Text(), name);
        QCOMPARE(FocusName(), QStringLiteral("cmdArr(1)"));
        const bool unknown = !code.isEmpty() && name.isEmpty();
        if (unknown) (answer ? prompts.answerYes() : prompts.answerNo());
        QTest::keyClick(w.get(), Qt::Key_F2);
        QCOMPARE(prompts.texts(), unknown ? QStringList{UnknownShipper} : QStringList{});
        QCOMPARE(store->value(QStringLiteral("select count(*) from 화물오더")), saved ? "1" : "0");
        if (!saved) {
            QCOMPARE(FocusName(), QStringLiteral("화주코드"));
            QCOMPARE(w->금액->Text(), QStringLiteral("250000"));
        } else {
            QCOMPARE(store->value(QStringLiteral("select 화주명 from 화물오더")), name);
        }
    }

    // Leaving the code box looks it up too.
    void shipperCodeLookedUpOnLeaving() {
        AddShipper(QStringLiteral("7100"), QStringLiteral("오뚜기"));
        auto w = OpenBoard();
        w->화주코드->setFocus();
        Type(w->화주코드, QStringLiteral("7100"));
        w->금액->setFocus();
        QCOMPARE(w->화주명->Text(), QStringLiteral("오뚜기"));
    }

    // Typed input goes only when the agent says so; the countdown never takes it.
    void typedInputIsNotThrownAway_data() {
        QTest::addColumn<QString>("trigger");
        QTest::addColumn<bool>("asks");
        QTest::newRow("배차일 arrow key") << "day" << true;
        QTest::newRow("닫기") << "close" << true;
        QTest::newRow("the window's close box") << "close box" << true;
        QTest::newRow("새로고침") << "cmdArr(0)" << true;
        QTest::newRow("조회") << "cmdArr(6)" << true;
        QTest::newRow("a status box") << "status" << true;
        QTest::newRow("the countdown") << "countdown" << false;
    }
    void typedInputIsNotThrownAway() {
        QFETCH(QString, trigger);
        QFETCH(bool, asks);
        InsertOrder(*store, {});
        PromptScript prompts;
        std::unique_ptr<frmOrder> owned = OpenBoard();
        frmOrder* w = owned.get();
        // Closing is tried where the board lives: in the main window's work area.
        const bool closing = trigger.startsWith(QStringLiteral("close"));
        QMdiArea area;
        QMdiSubWindow* sub = nullptr;
        if (closing) {
            sub = area.addSubWindow(owned.release());
            area.resize(1600, 1000);
            area.show();
            sub->showMaximized();
        }
        auto fire = [&] {
            if (trigger == "day") {
                w->배차일->setFocus();
                QTest::keyClick(w->배차일, Qt::Key_Up);
            } else if (trigger == "close") {
                Click(w, "cmdArr(99)");
            } else if (trigger == "close box") {
                sub->close(); // what its close box does
            } else if (trigger == "status") {
                QTest::mouseClick(w->chk조회구분[6], Qt::LeftButton, {}, QPoint(6, 6));
            } else if (trigger == "countdown") {
                for (int i = 0; i <= 11; ++i)
                    w->Timer1_Timer();
            } else {
                Click(w, qPrintable(trigger));
            }
        };
        // Nothing typed: nothing asked.
        if (!closing) {
            fire();
            QVERIFY(prompts.asked().empty());
            w->chk새로고침금지->setChecked(false);
            w->배차일->setDate(Clock::today());
        }

        // Typed into a new order, and into a shown one: 아니오 keeps every key.
        for (bool shown : {false, true}) {
            if (shown) ClickRow(w->sp, 1);
            w->제품정보->setFocus();
            Type(w->제품정보, QStringLiteral("냉동"));
            const QDate day = w->배차일->date();
            const bool ticked = w->chk조회구분[6]->isChecked();
            prompts.clear();
            if (asks) prompts.answerNo();
            fire();
            QCOMPARE(prompts.texts(), asks ? QStringList{DiscardQuestion} : QStringList{});
            QVERIFY(w->제품정보->Text().endsWith(QStringLiteral("냉동")));
            QCOMPARE(w->배차일->date(), day);
            QCOMPARE(w->chk조회구분[6]->isChecked(), ticked);
            QVERIFY(closing ? sub->isVisible() : w->isVisible());
            if (!asks) continue;
            // 예 goes ahead.
            prompts.clear();
            prompts.answerYes();
            fire();
            QCOMPARE(prompts.texts(), QStringList{DiscardQuestion});
            if (closing) {
                QVERIFY(!sub->isVisible());
                sub->showMaximized();
            } else {
                QVERIFY(w->제품정보->Text().isEmpty());
            }
            w->chk새로고침금지->setChecked(false);
            if (!w->chk조회구분[6]->isChecked()) w->chk조회구분[6]->setChecked(true);
            w->배차일->setDate(Clock::today());
        }
    }
};

DELMORA_TEST_MAIN(OrderEditsTest)
#include "tst_orderedits.moc"
