// The inquiry and 정산관리 follow other desks' writes through the change feed: after a write the
// list holds what the screen opened afresh would list, in its order, the agent's row still under
// the cursor, the changed row tinted; nothing is asked.
#include "../accounts/accountsfixture.h"
#include "frmjungsanlist.h"
#include "frmorderlist.h"
#include "spreadmodel.h"
#include "storefeed.h"
#include "testmain.h"

#include <QCheckBox>

using namespace BoardFixture;
using namespace AccountsFixture;

class LiveListTest : public QObject {
    Q_OBJECT
    std::unique_ptr<TestStore> store;

    // The screen as it opens, the period this month, 취소 left out of the inquiry.
    static std::unique_ptr<QWidget> Open(const QString& screen) {
        if (screen == QLatin1String("inquiry")) {
            auto w = Show<frmOrderList>();
            w->chk조회구분[6]->setChecked(false);
            w->LoadList();
            return w;
        }
        return Show<frmJungsanList>();
    }
    static SpreadGrid* Grid(QWidget* w) { return w->findChild<SpreadGrid*>(QStringLiteral("sp")); }
    static qint64 Key(SpreadGrid* grid, int row) { return grid->spreadModel()->tag(row - 1).toLongLong(); }

private Q_SLOTS:
    void init() { store = FreshStart(); }
    void cleanup() { store.reset(); }

    void followsOtherDesks_data() {
        QTest::addColumn<QString>("screen");
        QTest::addColumn<QString>("write"); // {other}: a dispatched order; {received}: one just taken in
        const QString amount = QStringLiteral("update 화물오더 set 운송비='999000' where ID={other}");
        const QString moved = QStringLiteral("update 화물오더 set 날짜='2026-12-02' where ID={other}");
        const QString gone = QStringLiteral("update 화물오더 set 날짜='2026-11-30' where ID={other}");
        const QString received = QStringLiteral("update 화물오더 set 오더상태='배차완료', 차주명='홍길동' where ID={received}");
        for (const QString& screen : {QStringLiteral("inquiry"), QStringLiteral("settlement")}) {
            const QByteArray s = screen.toUtf8();
            QTest::newRow(s + ": amount changed") << screen << amount;
            QTest::newRow(s + ": another day, moves") << screen << moved;
            QTest::newRow(s + ": out of the period, leaves") << screen << gone;
            QTest::newRow(s + ": dispatched, changes or enters") << screen << received;
        }
        QTest::newRow("inquiry: new order enters")
            << "inquiry"
            << "insert into 화물오더 (날짜, 오더상태, 상차지, 운송비) values ('2026-12-05', '접수', '새 오더', '1')";
        QTest::newRow("inquiry: cancelled, leaves (취소 unticked)")
            << "inquiry" << "update 화물오더 set 오더상태='취소' where ID={other}";
        QTest::newRow("settlement: paid at another desk")
            << "settlement" << "update 화물오더 set 결제일='2026-12-09' where ID={other}";
        QTest::newRow("settlement: taken back to 접수, leaves")
            << "settlement" << "update 화물오더 set 오더상태='접수' where ID={other}";
    }
    void followsOtherDesks() {
        QFETCH(QString, screen);
        QFETCH(QString, write);
        QString other, received;
        for (int i = 1; i <= 12; ++i) {
            const bool dispatched = i % 4 != 0;
            const QString id = InsertOrder(
                *store, {{QStringLiteral("날짜"), QStringLiteral("2026-12-0%1").arg(i % 9 + 1)},
                         {QStringLiteral("오더상태"), dispatched ? QStringLiteral("배차완료") : QStringLiteral("접수")},
                         {QStringLiteral("배차시간"), dispatched ? QStringLiteral("2026-12-0%1 0%2:00:00").arg(i % 9 + 1).arg(i % 10)
                                                                : QString()},
                         {QStringLiteral("차주명"), dispatched ? QStringLiteral("기사%1").arg(i) : QString()}});
            (dispatched ? other : received) = id;
        }
        PromptScript prompts;
        auto w = Open(screen);
        SpreadGrid* grid = Grid(w.get());
        grid->SetActiveCell(2, 3);
        const qint64 agents = Key(grid, 3);
        StoreFeed::instance().poll(); // where the store stands

        store->exec(QString(write).replace(QStringLiteral("{other}"), other).replace(QStringLiteral("{received}"), received));
        StoreFeed::instance().poll();
        QVERIFY(prompts.asked().empty());
        if (agents != other.toLongLong()) QCOMPARE(Key(grid, grid->ActiveRow()), agents);
        auto fresh = Open(screen);
        SpreadGrid* expected = Grid(fresh.get());
        QCOMPARE(grid->MaxRows(), expected->MaxRows());
        bool listed = false;
        for (int r = 1; r <= expected->MaxRows(); ++r) {
            QCOMPARE(grid->RowTexts(r), expected->RowTexts(r));
            QCOMPARE(grid->RowForeColor(r), expected->RowForeColor(r));
            QCOMPARE(Key(grid, r), Key(expected, r));
            listed = listed || Key(grid, r) == other.toLongLong() || Key(grid, r) == received.toLongLong() ||
                     grid->GetText(3, r).contains(QStringLiteral("새 오더"));
        }
        // A row that changed and is listed shows the tint; one that left leaves none behind.
        if (!listed) QVERIFY(!grid->spreadModel()->hasTagBackgrounds());
        if (write.contains(QStringLiteral("999000"))) QVERIFY(grid->spreadModel()->hasTagBackgrounds());
    }
};

DELMORA_TEST_MAIN(LiveListTest)
#include "tst_livelist.moc"
