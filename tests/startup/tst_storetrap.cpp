#include "ini.h"
#include "prompts.h"
#include "storetrap.h"
#include "testmain.h"
#include "teststore.h"

namespace {
const QString Insert = QStringLiteral("insert into 시험 (이름) values ('가')");
const QString Count = QStringLiteral("select count(*) from 시험");
const QString Read = QStringLiteral("select 이름 from 시험 order by 이름");
const QString After = QStringLiteral("insert into 시험 (이름) values ('나')");
} // namespace

class StoreTrapTest : public QObject {
    Q_OBJECT
    std::unique_ptr<TestStore> store;

private Q_SLOTS:
    void init() {
        store = std::make_unique<TestStore>();
        store->reshape(QStringLiteral("create table 시험 (이름 text)"));
    }
    void cleanup() { store.reset(); }

    // The three paths: which statements reach the store, what the user is asked, and whether the
    // routine runs to its end.
    void paths_data() {
        QTest::addColumn<bool>("write");
        QTest::addColumn<qint64>("number");
        QTest::addColumn<bool>("reached");
        QTest::addColumn<QStringList>("sent");
        QTest::addColumn<QStringList>("told");
        QTest::addColumn<bool>("completed");
        QTest::addColumn<QString>("stored"); // rows of 시험 afterwards
        const QString unknown = Prompt::storeErrorText(E_FAIL_NUMBER, OutcomeUnknownText);
        QTest::newRow("write lost before sending: repeated once")
            << true << E_FAIL_NUMBER << false << QStringList{Insert, Insert, After} << QStringList{} << true
            << "2";
        QTest::newRow("write lost after it was applied: one copy, user told")
            << true << E_FAIL_NUMBER << true << QStringList{Insert} << QStringList{unknown} << false << "1";
        QTest::newRow("read lost: repeated")
            << false << E_FAIL_NUMBER << true << QStringList{Read, Read, After} << QStringList{} << true
            << "1";
        for (qint64 skipped : {ADO_STILL_CONNECTING, ADO_OBJECT_CLOSED, ADO_OBJECT_OPEN, ADO_ITEM_NOT_FOUND})
            QTest::addRow("%lld goes on", skipped)
                << true << skipped << false << QStringList{Insert, After} << QStringList{} << true << "1";
        // A server goes on with a write after the client stopped waiting: it may have committed.
        QTest::newRow("write timed out after it was applied: one copy, user told")
            << true << dstore::DB_E_TIMEOUT << true << QStringList{Insert} << QStringList{unknown} << false
            << "1";
        QTest::newRow("read timed out: box, not repeated")
            << false << dstore::DB_E_TIMEOUT << true << QStringList{Read}
            << QStringList{Prompt::storeErrorText(dstore::DB_E_TIMEOUT, QStringLiteral("injected"))} << false
            << "0";
        QTest::newRow("store refused the write: box, no reconnect")
            << true << dstore::DB_E_STOREREFUSED << false << QStringList{Insert}
            << QStringList{Prompt::storeErrorText(dstore::DB_E_STOREREFUSED, QStringLiteral("injected"))}
            << false << "0";
        QTest::newRow("constraint error: box, routine left")
            << true << dstore::DB_E_INTEGRITYVIOLATION << false << QStringList{Insert}
            << QStringList{Prompt::storeErrorText(dstore::DB_E_INTEGRITYVIOLATION,
                                                  QStringLiteral("injected"))}
            << false << "0";
    }
    void paths() {
        QFETCH(bool, write);
        QFETCH(qint64, number);
        QFETCH(bool, reached);
        QFETCH(QStringList, sent);
        QFETCH(QStringList, told);
        QFETCH(bool, completed);
        QFETCH(QString, stored);
        PromptScript prompts;
        store->clearStatements();
        store->failStatement(1, number, QStringLiteral("injected"), reached);
        const bool done = RunRoutine([&] {
            StoreTrap trap;
            if (write)
                trap.execute(Insert);
            else
                trap.open(Read);
            trap.execute(After);
        });
        QCOMPARE(done, completed);
        QCOMPARE(store->statements(), sent);
        QCOMPARE(prompts.texts(), told);
        QVERIFY(prompts.unexpected().isEmpty());
        QCOMPARE(store->value(Count), stored);
        if (!told.isEmpty()) QCOMPARE(prompts.asked().front().kind, PromptKind::Refusal);
    }

    // The embedded store rolls back a write it was too busy to run: the agent is told it is
    // busy (a known outcome), not that the write may have been applied.
    void busyEmbeddedStoreIsAKnownFailure() {
        PromptScript prompts;
        store->reshape(QStringLiteral("begin immediate"));
        const bool done = RunRoutine([&] { StoreTrap().execute(Insert); });
        store->reshape(QStringLiteral("rollback"));
        QVERIFY(!done);
        QCOMPARE(prompts.texts().size(), 1);
        QVERIFY2(
            prompts.texts().front().startsWith(QStringLiteral("에러번호 : %1\n").arg(dstore::DB_E_TIMEOUT)),
            qPrintable(prompts.texts().front()));
        QCOMPARE(store->value(Count), QStringLiteral("0"));
    }

    void repeatedReadAnswersItsRows() {
        store->exec(QStringLiteral("insert into 시험 values ('가'), ('나')"));
        PromptScript prompts;
        store->failStatement(1, E_FAIL_NUMBER, QStringLiteral("link gone"), false);
        QStringList names;
        QVERIFY(RunRoutine([&] {
            StoreTrap trap;
            for (SharedRecordset rs = trap.open(Read); !rs.EOF_(); rs.MoveNext())
                names << trap.field(rs, QStringLiteral("이름"));
        }));
        QCOMPARE(names, (QStringList{QStringLiteral("가"), QStringLiteral("나")}));
        QCOMPARE(SqlText, Read);
    }

    // A real syntax error from the store: its negative number and its own message.
    void syntaxErrorShowsTheProviderError() {
        PromptScript prompts;
        bool after = false;
        QVERIFY(!RunRoutine([&] {
            StoreTrap trap;
            trap.open(QStringLiteral("selec 이름 from 시험"));
            after = true;
        }));
        QVERIFY(!after);
        QCOMPARE(prompts.asked().size(), size_t(1));
        const QStringList lines = prompts.texts().front().split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[0], QStringLiteral("에러번호 : -2147217900"));
        QVERIFY(lines[1].startsWith(QStringLiteral("에러내용 : ")));
        QVERIFY(lines[1].size() > 7);
        QCOMPARE(SqlText, QStringLiteral("selec 이름 from 시험"));
    }

    void wrongArgumentCountIsAProviderError() {
        PromptScript prompts;
        QVERIFY(!RunRoutine([&] { StoreTrap().execute(QStringLiteral("exec 화주삭제  '1','2'")); }));
        QCOMPARE(prompts.asked().size(), size_t(1));
        QVERIFY(prompts.texts().front().startsWith(QStringLiteral("에러번호 : -")));
    }

    // A list asks only for the columns it reads: those come back in the order asked, NULL stays
    // NULL, a name the answer lacks is left out, and a lost link is still repeated.
    void columnRequestKeepsWhatIsAsked() {
        store->reshape(QStringLiteral("create table 넓은 (가 text, 나 text, 다 text)"));
        store->exec(QStringLiteral("insert into 넓은 values ('1', null, '3'), ('4', '5', '6')"));
        store->failStatement(1, E_FAIL_NUMBER, QStringLiteral("link gone"), false);
        PromptScript prompts;
        SharedRecordset rs;
        QVERIFY(RunRoutine([&] {
            rs = StoreTrap().open(QStringLiteral("select * from 넓은 order by 가"),
                                  ColumnRequest{QByteArray("다"), QByteArray("없는열"), QByteArray("나")});
        }));
        const dstore::ResultSet* rows = rs.rows();
        QVERIFY(rows);
        QCOMPARE(rows->columnCount(), 2);
        QCOMPARE(rows->columnName(0), QByteArray("다"));
        QCOMPARE(rows->columnName(1), QByteArray("나"));
        QCOMPARE(rows->rowCount(), qsizetype(2));
        QCOMPARE(rows->text(0, 0), QStringLiteral("3"));
        QVERIFY(rows->isNull(0, 1));
        QCOMPARE(rows->text(1, 1), QStringLiteral("5"));
        QCOMPARE(rs.columnIndex(QStringLiteral("없는열")), -1);
        // A backend that cannot drop columns as it reads keeps the same ones from its full answer.
        const auto full = StoreConnection->query(QStringLiteral("select * from 넓은 order by 가"));
        const auto kept = dstore::keepColumns(
            *full, ColumnRequest{QByteArray("다"), QByteArray("없는열"), QByteArray("나")});
        QCOMPARE(kept->columnCount(), 2);
        QCOMPARE(kept->requested(), rows->requested());
        for (int c = 0; c < 2; ++c) {
            QCOMPARE(kept->columnName(c), rows->columnName(c));
            for (qsizetype r = 0; r < 2; ++r) {
                QCOMPARE(kept->isNull(r, c), rows->isNull(r, c));
                QCOMPARE(kept->text(r, c), rows->text(r, c));
            }
        }
    }

    void missingColumnReadsEmpty() {
        store->exec(QStringLiteral("insert into 시험 values ('가')"));
        PromptScript prompts;
        QString value = QStringLiteral("unchanged");
        QVERIFY(RunRoutine([&] {
            StoreTrap trap;
            SharedRecordset rs = trap.open(Read);
            value = trap.field(rs, QStringLiteral("없는열"));
        }));
        QCOMPARE(value, QString());
        QVERIFY(prompts.asked().empty());
    }

    // Reconnection fails 50 times (the store file is gone): the routine is left after the
    // connection routine's own messages, nothing else.
    void failedReconnectLeaves() {
        PromptScript prompts;
        for (int i = 0; i < 48; ++i)
            prompts.answerYes();
        store->failStatement(1, E_FAIL_NUMBER, QStringLiteral("link gone"), false);
        WriteIni(QStringLiteral("데이타"), QStringLiteral("DB명"), QStringLiteral("gone"));
        const bool done = RunRoutine([&] { StoreTrap().execute(Insert); });
        WriteIni(QStringLiteral("데이타"), QStringLiteral("DB명"), QString());
        QVERIFY(!done);
        QCOMPARE(prompts.texts().size(), 49);
        QCOMPARE(prompts.texts().back(), QStringLiteral("재시도횟수 초과입니다."));
        QCOMPARE(store->value(Count), QStringLiteral("0"));
    }

    // The user ending the program at the reconnect question ends it, whatever the routine.
    void noAtReconnectEndsTheProgram() {
        PromptScript prompts;
        prompts.answerNo();
        store->failStatement(1, E_FAIL_NUMBER, QStringLiteral("link gone"), false);
        WriteIni(QStringLiteral("데이타"), QStringLiteral("DB명"), QStringLiteral("gone"));
        QVERIFY_THROWS_EXCEPTION(ProgramEnded, RunRoutine([&] { StoreTrap().execute(Insert); }));
        WriteIni(QStringLiteral("데이타"), QStringLiteral("DB명"), QString());
    }

    // A store that keeps answering E_FAIL although reconnecting works is not asked forever.
    void endlessLostConnectionStops() {
        PromptScript prompts;
        for (int n = 1; n <= 10; ++n)
            store->failStatement(n, E_FAIL_NUMBER, QStringLiteral("still gone"), false);
        QVERIFY(!RunRoutine([&] { StoreTrap().open(Read); }));
        QCOMPARE(prompts.texts(),
                 QStringList{Prompt::storeErrorText(E_FAIL_NUMBER, QStringLiteral("still gone"))});
        QCOMPARE(store->statements().size(), 6);
    }

    void noConnectionReconnects() {
        StoreConnection.reset();
        PromptScript prompts;
        store->clearStatements();
        QVERIFY(RunRoutine([&] { StoreTrap().execute(Insert); }));
        QCOMPARE(store->statements(), QStringList{Insert});
        QCOMPARE(store->value(Count), QStringLiteral("1"));
        QVERIFY(StoreReady);
    }
};

DELMORA_TEST_MAIN(StoreTrapTest)
#include "tst_storetrap.moc"
