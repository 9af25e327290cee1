// 오더추가 when the link dies after the save was sent: one order in the store whatever the agent
// clicks next, and the agent told what the store holds.
#include "boardfixture.h"
#include "droplist.h"
#include "ini.h"
#include "mytext.h"
#include "ordersaveoutcome.h"
#include "prompts.h"
#include "testmain.h"

#include <QPushButton>

using namespace BoardFixture;

namespace {
const QString CountOrders = QStringLiteral("select count(*) from 화물오더");
const QString Stored = QStringLiteral("저장되었습니다");
const QString NotStored = QStringLiteral("저장되지 않았습니다. 다시 저장하세요.");
const QString MayBeStored =
    QStringLiteral("서버와의 연결이 끊어져 오더가 저장되었는지 확인할 수 없습니다. 저장되었을 수 "
                   "있으니 다시 입력하기 전에 목록에서 확인하세요.");
const QString GiveUp = QStringLiteral("재시도횟수 초과입니다.");
} // namespace

class OrderSaveOutcomeTest : public QObject {
    Q_OBJECT
    std::unique_ptr<TestStore> store;

    static void FillPanel(frmOrder& w) {
        w.상차권역->setCurrentIndex(1);
        w.상차지->SetText(QStringLiteral("강남구 O'Neil 창고"));
        w.하차권역->setCurrentIndex(16);
        w.하차지->SetText(QStringLiteral("해운대구 우동"));
        w.희망톤수->setCurrentIndex(3);
        w.차종->setCurrentIndex(3);
        w.금액->SetText(QStringLiteral("350,000"));
    }
    static void ClickSave(frmOrder& w) {
        QTest::mouseClick(Child<QPushButton>(&w, QStringLiteral("cmdArr(1)")), Qt::LeftButton);
    }

private Q_SLOTS:
    void init() {
        Clock::set(Morning());
        SignIn();
        store = std::make_unique<TestStore>();
    }
    void cleanup() {
        store.reset();
        WriteIni(QStringLiteral("데이타"), QStringLiteral("DB명"), QString());
    }

    // The save is the second statement (after the shipper look-up).
    void lostAfterSending_data() {
        QTest::addColumn<bool>("applied");
        QTest::addColumn<bool>("comesBack");
        QTest::addColumn<QString>("told");
        QTest::addColumn<bool>("panelKept");
        QTest::addColumn<QString>("afterSecondClick"); // orders once the agent clicks 오더추가 again
        QTest::newRow("applied, link back") << true << true << Stored << false << "1";
        QTest::newRow("not applied, link back") << false << true << NotStored << true << "1";
        // The same typed order is sent again with the same request key: the store keeps it once.
        QTest::newRow("applied, link gone for good") << true << false << MayBeStored << true << "1";
        QTest::newRow("not applied, link gone for good") << false << false << MayBeStored << true << "1";
    }
    void lostAfterSending() {
        QFETCH(bool, applied);
        QFETCH(bool, comesBack);
        QFETCH(QString, told);
        QFETCH(bool, panelKept);
        QFETCH(QString, afterSecondClick);
        PromptScript prompts;
        auto w = OpenBoard();
        FillPanel(*w);
        store->failAfterSending(2, applied);
        if (!comesBack) {
            // Every reconnect fails: the first silently, 48 asked and answered 예, the 50th gives up.
            WriteIni(QStringLiteral("데이타"), QStringLiteral("DB명"), QStringLiteral("gone"));
            for (int i = 0; i < 48; ++i)
                prompts.answerYes();
        }
        ClickSave(*w);
        QVERIFY(!prompts.texts().isEmpty());
        QCOMPARE(prompts.texts().back(), told);
        if (!comesBack) QCOMPARE(prompts.texts().at(prompts.texts().size() - 2), GiveUp);
        QVERIFY(prompts.unexpected().isEmpty());
        QCOMPARE(store->value(CountOrders), applied ? QStringLiteral("1") : QStringLiteral("0"));
        QCOMPARE(w->상차지->Text().isEmpty(), !panelKept);
        if (told == Stored) {
            // Listed back and selected, so the agent sees which order it was.
            QCOMPARE(w->sp->MaxRows(), 1);
            QCOMPARE(w->sp->ActiveRow(), 1);
            QCOMPARE(prompts.asked().back().kind, PromptKind::Notice);
        }

        // The connection is back; the agent clicks 오더추가 again.
        WriteIni(QStringLiteral("데이타"), QStringLiteral("DB명"), QString());
        prompts.clear();
        ClickSave(*w);
        QCOMPARE(store->value(CountOrders), afterSecondClick);
    }

    // Another order of the same places and amount, stored long before or by another writer, is
    // not taken for the one just sent.
    void lookUpMatchesOnlyThisSave_data() {
        QTest::addColumn<QString>("writer");
        QTest::addColumn<QString>("recorded"); // sqlite modifier on the store's now
        QTest::newRow("same writer, an hour ago") << "demo"
                                                  << "-60 minutes";
        QTest::newRow("another writer, just now") << "other"
                                                  << "-1 minutes";
        // The same lane entered twice (a common day): the first order is no answer for the second.
        QTest::newRow("same writer, same lane, just now") << "demo"
                                                          << "-1 minutes";
    }
    void lookUpMatchesOnlyThisSave() {
        QFETCH(QString, writer);
        QFETCH(QString, recorded);
        const QString id =
            InsertOrder(*store, {{QStringLiteral("상차지"), QStringLiteral("강남구 O'Neil 창고")},
                                 {QStringLiteral("하차지"), QStringLiteral("해운대구 우동")},
                                 {QStringLiteral("운송비"), QStringLiteral("350000")},
                                 {QStringLiteral("작성아이디"), writer}});
        store->exec(
            QStringLiteral(
                "update 화물오더 set 기록일시=strftime('%Y-%m-%d %H:%M:%S', 'now', 'localtime', '%1') "
                "where ID=%2")
                .arg(recorded, id));
        PromptScript prompts;
        auto w = OpenBoard();
        FillPanel(*w);
        store->failAfterSending(2, false);
        ClickSave(*w);
        QCOMPARE(prompts.texts().back(), NotStored);
        QCOMPARE(store->value(CountOrders), QStringLiteral("1"));
    }

    // 아니오 to the reconnect question with an order typed: the agent is told what would be lost
    // and may keep working with it on screen.
    void refusedReconnectKeepsTypedOrder_data() {
        QTest::addColumn<bool>("endAnyway");
        QTest::newRow("keeps working") << false;
        QTest::newRow("ends after all") << true;
    }
    void refusedReconnectKeepsTypedOrder() {
        QFETCH(bool, endAnyway);
        PromptScript prompts;
        auto w = OpenBoard();
        SetUnsavedInputQuery([&w] { return w->UnsavedInput(); });
        FillPanel(*w);
        WriteIni(QStringLiteral("데이타"), QStringLiteral("DB명"), QStringLiteral("gone"));
        store->failStatement(1, E_FAIL_NUMBER);
        prompts.answerNo(); // 다시 시도하시겠습니까?
        if (endAnyway) prompts.answerYes();
        else prompts.answerNo();
        bool ended = false;
        try {
            w->SaveNewOrder();
        } catch (const ProgramEnded&) {
            ended = true;
        }
        SetUnsavedInputQuery({});
        QCOMPARE(ended, endAnyway);
        QCOMPARE(prompts.texts().size(), 2);
        QVERIFY2(prompts.texts().back().contains(QStringLiteral("입력 중인 오더")), qPrintable(prompts.texts().back()));
        QCOMPARE(w->상차지->Text(), QStringLiteral("강남구 O'Neil 창고"));
    }
};

DELMORA_TEST_MAIN(OrderSaveOutcomeTest)
#include "tst_ordersaveoutcome.moc"
