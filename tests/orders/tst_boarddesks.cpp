// The board beside other desks on one store: whatever key moved the cursor, a write acts on the
// order the panel shows; a field another desk changed meanwhile is asked about, not overwritten;
// a status that moved since the order was shown is named before a modify or a cancel.
#include "boardfixture.h"
#include "droplist.h"
#include "mytext.h"
#include "pgcluster.h"
#include "pgstore.h"
#include "prompts.h"
#include "storefeed.h"
#include "testmain.h"

#include <QCheckBox>
#include <QPushButton>
#include <QElapsedTimer>

using namespace BoardFixture;

namespace {
const QString ModifyQuestion = QStringLiteral("오더를 수정하시겠습니까?");
const QString CancelQuestion = QStringLiteral("선택하신 오더를 취소하시겠습니까?");
QString StoredValue(TestStore& store, const QString& id, const QString& column) {
    return store.value(QStringLiteral("select %1 from 화물오더 where ID=%2").arg(column, id));
}
} // namespace

class BoardDesksTest : public QObject {
    Q_OBJECT
    std::unique_ptr<TestStore> store;

    static void Click(frmOrder* w, const char* button) {
        QTest::mouseClick(Child<QPushButton>(w, QString::fromLatin1(button)), Qt::LeftButton);
    }
    static QString RowId(frmOrder* w, int row) {
        w->sp->setRow(row);
        w->sp->setCol(1);
        return w->sp->CellTag();
    }

private Q_SLOTS:
    void init() { store = FreshStart(); }
    void cleanup() { store.reset(); }

    // Clicked on one row, moved by a key to another, then 오더수정 or 오더취소: the order under
    // the cursor is the one shown and the one written; the clicked one stays as it was.
    void cursorKeysMoveThePanelToo_data() {
        QTest::addColumn<int>("clicked");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("button");
        QTest::newRow("PageDown, modify") << 1 << int(Qt::Key_PageDown) << 0 << "cmdArr(2)";
        QTest::newRow("PageUp, modify") << 30 << int(Qt::Key_PageUp) << 0 << "cmdArr(2)";
        QTest::newRow("Ctrl+End, modify") << 1 << int(Qt::Key_End) << int(Qt::ControlModifier) << "cmdArr(2)";
        QTest::newRow("Ctrl+Home, modify") << 30 << int(Qt::Key_Home) << int(Qt::ControlModifier) << "cmdArr(2)";
        QTest::newRow("Down, modify") << 1 << int(Qt::Key_Down) << 0 << "cmdArr(2)";
        QTest::newRow("PageDown, cancel") << 1 << int(Qt::Key_PageDown) << 0 << "cmdArr(3)";
    }
    void cursorKeysMoveThePanelToo() {
        QFETCH(int, clicked);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, button);
        for (int i = 1; i <= 30; ++i)
            InsertOrder(*store, {{QStringLiteral("상차지"), QStringLiteral("역삼동 %1번지").arg(i)},
                                 {QStringLiteral("운송비"), QString::number(100000 + i)}});
        PromptScript prompts;
        auto w = OpenBoard(QSize(1600, 700));
        ClickRow(w->sp, clicked);
        const QString clickedId = RowId(w.get(), clicked);
        const QString clickedRow = StoredRow(*store, clickedId).values().join(u'|');
        QTest::keyClick(w->sp, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        const int row = w->sp->ActiveRow();
        QVERIFY(row != clicked);
        const QString id = RowId(w.get(), row);
        QCOMPARE(w->상차지->Text(), StoredValue(*store, id, QStringLiteral("상차지")));
        QCOMPARE(w->sp->hasFocus(), true);

        prompts.answerYes();
        if (button == QLatin1String("cmdArr(2)")) w->금액->SetText(QStringLiteral("777000"));
        Click(w.get(), qPrintable(button));
        QVERIFY(prompts.unexpected().isEmpty());
        if (button == QLatin1String("cmdArr(2)")) {
            QCOMPARE(StoredValue(*store, id, QStringLiteral("운송비")), QStringLiteral("777000"));
            QCOMPARE(StoredValue(*store, id, QStringLiteral("상차지")).section(u' ', 1), QStringLiteral("%1번지").arg(id));
        } else {
            QCOMPARE(StoredValue(*store, id, QStringLiteral("오더상태")), QStringLiteral("취소"));
        }
        QCOMPARE(StoredRow(*store, clickedId).values().join(u'|'), clickedRow);
    }

    // Another desk changes the order while this one shows it. A field both changed is asked
    // about, naming the three values; one only the other desk changed stays as it wrote it.
    void changedElsewhereMeanwhile_data() {
        QTest::addColumn<QString>("elsewhere"); // the other desk's statement's set clause
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<QString>("amount");    // stored after the modify
        QTest::addColumn<QString>("place");
        QTest::newRow("same field, 예") << "운송비='350000'" << true << true << "400000" << "강남구 역삼동";
        QTest::newRow("same field, 아니오") << "운송비='350000'" << true << false << "350000" << "강남구 역삼동";
        QTest::newRow("same field, same value") << "운송비='400000'" << false << true << "400000" << "강남구 역삼동";
        QTest::newRow("another field") << "상차지='서초구 방배동'" << false << true << "400000" << "서초구 방배동";
    }
    void changedElsewhereMeanwhile() {
        QFETCH(QString, elsewhere);
        QFETCH(bool, asked);
        QFETCH(bool, answer);
        QFETCH(QString, amount);
        QFETCH(QString, place);
        const QString id = InsertOrder(*store, {});
        PromptScript prompts;
        auto w = OpenBoard();
        ClickRow(w->sp, 1);
        store->exec(QStringLiteral("update 화물오더 set %1 where ID=%2").arg(elsewhere, id));
        w->금액->SetText(QStringLiteral("400000"));
        prompts.answerYes();
        if (asked) answer ? prompts.answerYes() : prompts.answerNo();
        Click(w.get(), "cmdArr(2)");
        QCOMPARE(prompts.texts().size(), asked ? 2 : 1);
        if (asked) {
            const QString question = prompts.texts().back();
            QVERIFY2(question.contains(QStringLiteral("금액: 보일 때 300,000 → 지금 저장된 값 350,000 → 입력한 값 400,000")),
                     qPrintable(question));
        }
        QCOMPARE(StoredValue(*store, id, QStringLiteral("운송비")), amount);
        QCOMPARE(StoredValue(*store, id, QStringLiteral("상차지")), place);
        // 아니오 keeps the panel as typed, for another try.
        if (asked && !answer) QCOMPARE(w->금액->Text(), QStringLiteral("400000"));
    }

    // The order was dispatched (or delivered) elsewhere after it was shown: the move is named
    // first; 아니오 writes nothing.
    void statusMovedSinceShown_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("now");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<QString>("after"); // the status stored after the answer
        QTest::newRow("modify, 아니오") << "cmdArr(2)" << "접수" << "배차완료" << false << "배차완료";
        QTest::newRow("modify, 예") << "cmdArr(2)" << "접수" << "배차완료" << true << "배차완료";
        QTest::newRow("cancel, 아니오") << "cmdArr(3)" << "접수" << "배차완료" << false << "배차완료";
        QTest::newRow("cancel, 예") << "cmdArr(3)" << "접수" << "배차완료" << true << "취소";
        QTest::newRow("dispatch cancel, 아니오") << "cmdArr(4)" << "배차완료" << "운송완료" << false << "운송완료";
    }
    void statusMovedSinceShown() {
        QFETCH(QString, button);
        QFETCH(QString, shown);
        QFETCH(QString, now);
        QFETCH(bool, answer);
        QFETCH(QString, after);
        const QString id = InsertOrder(*store, {{QStringLiteral("오더상태"), shown}});
        PromptScript prompts;
        auto w = OpenBoard();
        ClickRow(w->sp, 1);
        store->exec(QStringLiteral("update 화물오더 set 오더상태='%1' where ID=%2").arg(now, id));
        const bool modify = button == QLatin1String("cmdArr(2)");
        if (modify) {
            w->금액->SetText(QStringLiteral("410000"));
            prompts.answerYes(); // 오더를 수정하시겠습니까?
        }
        answer ? prompts.answerYes() : prompts.answerNo();
        Click(w.get(), qPrintable(button));
        QVERIFY(prompts.unexpected().isEmpty());
        const QString moved = QStringLiteral("이 오더는 화면에 보인 뒤 다른 곳에서 '%1'에서 '%2'(으)로 바뀌었습니다.").arg(shown, now);
        QVERIFY2(prompts.texts().back().startsWith(moved), qPrintable(prompts.texts().back()));
        if (!modify) QVERIFY(prompts.texts().back().endsWith(CancelQuestion));
        QCOMPARE(StoredValue(*store, id, QStringLiteral("오더상태")), after);
        QCOMPARE(StoredValue(*store, id, QStringLiteral("운송비")), modify && answer ? "410000" : "300000");
    }

    // Another desk's write reaches the open board through the feed: the list then holds what a
    // board opened afresh would list, in its order, while the agent's row and panel stay put.
    void otherDesksWritesPatchTheList_data() {
        QTest::addColumn<QString>("write"); // {id} is the agent's order, {other} another one
        QTest::newRow("new order of the day") << "insert into 화물오더 (날짜, 오더상태, 상차지, 운송비) values "
                                                 "('2026-12-09', '접수', '새 오더', '1')";
        QTest::newRow("amount changed") << "update 화물오더 set 운송비='999000' where ID={other}";
        QTest::newRow("dispatched: moves down") << "update 화물오더 set 오더상태='배차완료', "
                                                   "배차시간='2026-12-09 10:00:00', 차주명='홍길동' where ID={other}";
        QTest::newRow("cancelled: leaves (취소 unticked)") << "update 화물오더 set 오더상태='취소' where ID={other}";
        QTest::newRow("moved to another day: leaves") << "update 화물오더 set 날짜='2026-12-08' where ID={other}";
        QTest::newRow("the agent's own order changed") << "update 화물오더 set 운송비='5' where ID={id}";
        QTest::newRow("another day's order: not listed") << "update 화물오더 set 운송비='7' where 날짜='2026-12-01'";
    }
    void otherDesksWritesPatchTheList() {
        QFETCH(QString, write);
        QString other;
        for (int i = 1; i <= 12; ++i)
            other = InsertOrder(*store, {{QStringLiteral("상차지"), QStringLiteral("%1번지").arg(i)},
                                         {QStringLiteral("오더상태"), i % 3 ? QStringLiteral("접수")
                                                                             : QStringLiteral("배차완료")},
                                         {QStringLiteral("배차시간"), i % 3 ? QString()
                                                                             : QStringLiteral("2026-12-09 0%1:00:00").arg(i % 10)}});
        InsertOrder(*store, {{QStringLiteral("날짜"), QStringLiteral("2026-12-01")}});
        PromptScript prompts;
        auto w = OpenBoard();
        w->chk조회구분[6]->setChecked(false);
        ClickRow(w->sp, 4);
        const QString id = RowId(w.get(), 4);
        w->제품정보->setFocus();
        Type(w->제품정보, QStringLiteral("냉동"));
        StoreFeed::instance().poll(); // where the store stands

        store->exec(QString(write).replace(QStringLiteral("{id}"), id).replace(QStringLiteral("{other}"), other));
        StoreFeed::instance().poll();
        QVERIFY(prompts.asked().empty());
        QVERIFY(w->제품정보->Text().endsWith(QStringLiteral("냉동")));
        QCOMPARE(RowId(w.get(), w->sp->ActiveRow()), id);
        auto fresh = OpenBoard();
        fresh->chk조회구분[6]->setChecked(false);
        QCOMPARE(w->sp->MaxRows(), fresh->sp->MaxRows());
        for (int r = 1; r <= fresh->sp->MaxRows(); ++r) {
            QCOMPARE(w->sp->RowTexts(r), fresh->sp->RowTexts(r));
            QCOMPARE(w->sp->RowForeColor(r), fresh->sp->RowForeColor(r));
        }
        // The counts per status follow the patch as a fresh list counts them.
        for (size_t i = 0; i < w->상태건수버튼.size(); ++i)
            QCOMPARE(w->상태건수버튼[i]->text(), fresh->상태건수버튼[i]->text());
    }

    // The link dies under an idle board; the feed makes it again by itself and the board reads
    // its list again, without a question to the agent.
    void reconnectsByItself() {
        InsertOrder(*store, {});
        PromptScript prompts;
        auto w = OpenBoard();
        StoreFeed::instance().poll();
        store->failStatement(1, E_FAIL_NUMBER);
        try {
            StoreConnection->query(QStringLiteral("select 1"));
        } catch (const StoreFailure&) {
        }
        InsertOrder(*store, {{QStringLiteral("상차지"), QStringLiteral("재연결 뒤")}});
        StoreFeed::instance().poll();
        QVERIFY(prompts.asked().empty());
        QCOMPARE(w->sp->MaxRows(), 2);
        QVERIFY(w->sp->GetText(3, 1).endsWith(QStringLiteral("재연결 뒤")));
    }

    // The office's PostgreSQL server is restarted under an open board: its feed makes the link
    // again by itself, and an order another desk writes after the restart comes into the list
    // with nobody touching the board.
    void reconnectsAfterServerRestart() {
        DELMORA_REQUIRE_POSTGRES(cluster);
        store.reset();
        QString error;
        QVERIFY2(cluster->createDatabase(QStringLiteral("restart"), {}, &error), qPrintable(error));
        const QString uri = cluster->uri(QStringLiteral("restart"));
        auto other = dstore::PgStore::open(uri);
        other->createSchema();
        UseDatabaseServer(uri);
        int attempts = 0;
        QVERIFY(ConnectStore(attempts));
        PromptScript prompts;
        auto w = OpenBoard();
        StoreFeed::instance().poll();
        QVERIFY(StoreFeed::instance().live());

        QVERIFY(cluster->stop());
        StoreFeed::instance().poll(); // finds the link gone
        QVERIFY(cluster->start());
        other = dstore::PgStore::open(uri);
        other->execute("insert into 화물오더 (날짜, 오더상태, 상차지, 운송비) values ('2026-12-09', '접수', '재시작 뒤', '1')");
        QElapsedTimer waited;
        waited.start();
        while (w->sp->MaxRows() == 0 && waited.elapsed() < 10000)
            QTest::qWait(50); // the feed's own timer, as at a desk
        QCOMPARE(w->sp->MaxRows(), 1);
        QVERIFY(w->sp->GetText(3, 1).endsWith(QStringLiteral("재시작 뒤")));
        // Listening again, not only read again once.
        other->execute("update 화물오더 set 운송비='777000'");
        waited.restart();
        while (!w->sp->GetText(7, 1).startsWith(QStringLiteral("777")) && waited.elapsed() < 5000)
            QTest::qWait(50);
        QVERIFY2(w->sp->GetText(7, 1).startsWith(QStringLiteral("777")), qPrintable(w->sp->GetText(7, 1)));
        QVERIFY(prompts.asked().empty());
        w.reset();
        StoreConnection.reset();
        UseDatabaseServer({});
    }
};

DELMORA_TEST_MAIN(BoardDesksTest)
#include "tst_boarddesks.moc"
