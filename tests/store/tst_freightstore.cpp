// Opening and creating store files, sharing one file between clients, the provider errors
// and the snapshot the store answers with.
#include "storetesthelp.h"
#include <sys/stat.h>
#include "testmain.h"

#include <QFile>
#include <optional>

using namespace storetest;
using dstore::FreightStore;

class TestFreightStore : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_serial = 0;
    QString freshPath() { return m_dir.filePath(QStringLiteral("s%1.sqlite").arg(++m_serial)); }

private Q_SLOTS:
    void openMissingFileFailsWithoutCreatingIt() {
        const QString path = freshPath();
        const auto error = errorOf([&] { FreightStore::open(path); });
        QVERIFY(error);
        QCOMPARE(error->number, dstore::E_FAIL_NUMBER);
        QVERIFY(!QFile::exists(path));
        QVERIFY(errorOf([&] { FreightStore::open(m_dir.path()); })); // a folder is no store either
    }

    void openRefusesForeignFiles_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("garbage") << QByteArray("this is not a database at all, just text\n").repeated(200);
        QTest::newRow("empty file") << QByteArray();
        QTest::newRow("truncated header") << QByteArray("SQLite format 3\0", 16);
    }
    void openRefusesForeignFiles() {
        QFETCH(QByteArray, content);
        const QString path = freshPath();
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
        f.close();
        const auto error = errorOf([&] { FreightStore::open(path); });
        QVERIFY(error);
        QCOMPARE(error->number, dstore::E_FAIL_NUMBER);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), content); // left exactly as it was
    }

    void createRefusesExistingFile() {
        const QString path = freshPath();
        FreightStore::create(path)->execute("insert into 코드_화주 (코드) values ('1001')");
        const auto error = errorOf([&] { FreightStore::create(path); });
        QVERIFY(error);
        QCOMPARE(error->number, dstore::E_FAIL_NUMBER);
        QCOMPARE(cell(*FreightStore::open(path), "select 코드 from 코드_화주"), QStringLiteral("1001"));
    }

    void twoHandlesSeeEachOthersWrites() {
        const QString path = freshPath();
        auto a = FreightStore::create(path);
        auto b = FreightStore::open(path);
        QCOMPARE(cell(*a, "pragma journal_mode"), QStringLiteral("wal"));
        a->execute("exec 화주저장  'demo','가나상사','','','','','','','','','','','','','',''");
        QCOMPARE(cell(*b, "select 화주명 from 코드_화주 where 코드='1001'"), QStringLiteral("가나상사"));
        b->execute("exec 화주수정  '1001','다라상사','','','','','','','','','','','','','',''");
        QCOMPARE(cell(*a, "select 화주명 from 코드_화주 where 코드='1001'"), QStringLiteral("다라상사"));
    }

    void writerHeldPastTimeoutIsBusy() {
        const QString path = freshPath();
        auto a = FreightStore::create(path);
        auto b = FreightStore::open(path);
        raw(*a, "begin immediate");
        a->execute("insert into 코드_화주 (코드) values ('1')");
        const auto error = errorOf([&] { b->execute("exec 화주삭제 '1'"); });
        QVERIFY(error);
        QCOMPARE(error->number, dstore::DB_E_TIMEOUT);
        QCOMPARE(cell(*b, "select count(*) from 코드_화주"),
                 QStringLiteral("0")); // readers are never blocked
        raw(*a, "commit");
        b->execute("exec 화주삭제 '1'");
        QCOMPARE(cell(*a, "select count(*) from 코드_화주"), QStringLiteral("0"));
    }

    // The store and its journals are their owner's alone, a store copied in readable by others too.
    void filesArePrivate_data() {
        QTest::addColumn<bool>("copiedIn");
        QTest::newRow("created") << false;
        QTest::newRow("opened readable by others") << true;
    }
    void filesArePrivate() {
        QFETCH(bool, copiedIn);
        const QString path = freshPath();
        FreightStore::create(path).reset();
        if (copiedIn) QFile::setPermissions(path, QFile::permissions(path) | QFile::ReadGroup | QFile::ReadOther);
        auto store = FreightStore::open(path);
        store->execute("insert into 코드_주선사 (아이디) values ('demo')");
        for (const char* suffix : {"", "-wal", "-shm"}) {
            struct stat st {};
            QCOMPARE(::stat(QFile::encodeName(path + QLatin1String(suffix)).constData(), &st), 0);
            QCOMPARE(st.st_mode & 0777, mode_t(0600));
        }
    }

    void errors_data() {
        QTest::addColumn<QByteArray>("statement");
        QTest::addColumn<qint64>("number");
        QTest::addColumn<QString>("message");
        QTest::newRow("syntax") << QByteArray("selec * from 화물오더") << dstore::DB_E_ERRORSINCOMMAND
                                << QStringLiteral("near \"selec\": syntax error");
        QTest::newRow("unknown table") << QByteArray("select * from 없는표") << dstore::DB_E_ERRORSINCOMMAND
                                       << QStringLiteral("no such table: 없는표");
        QTest::newRow("two statements")
            << QByteArray("select 1; delete from 코드_주선사") << dstore::DB_E_ERRORSINCOMMAND
            << QStringLiteral("Only one statement can be run at a time; text follows the first one: ' delete "
                              "from 코드_주선사'");
        QTest::newRow("duplicate sign-in name")
            << QByteArray("insert into 코드_주선사 (아이디) values ('Demo')")
            << dstore::DB_E_INTEGRITYVIOLATION
            << QStringLiteral("UNIQUE constraint failed: 코드_주선사.아이디");
    }
    void errors() {
        QFETCH(QByteArray, statement);
        QFETCH(qint64, number);
        QFETCH(QString, message);
        auto store = FreightStore::create(freshPath());
        store->execute("insert into 코드_주선사 (아이디) values ('demo')");
        const QString before = dump(*store);
        const auto error = errorOf([&] { store->execute(statement); });
        QVERIFY(error);
        QCOMPARE(error->number, number);
        QCOMPARE(error->message, message);
        QCOMPARE(dump(*store), before);
    }

    // The statement channel changes rows, never the store's shape, its procedures, its settings
    // or other files, whatever the statement looks like.
    void schemaChangesAreRefused_data() {
        QTest::addColumn<QByteArray>("statement");
        const char* const refused[] = {
            "alter table 저장프로시저 rename to p2",
            "ALTER TABLE 화물오더 RENAME TO 옛오더",
            "alter table 화물오더 add column 몰래 text",
            "alter table 화물오더 rename column 운송비 to 비용",
            "alter table 코드_화주 drop column 화주명",
            "drop table 화물오더",
            "drop table if exists 저장프로시저",
            "drop view 뷰_화물오더콜센터",
            "drop trigger 로그인_비밀번호",
            "drop index 화물오더_날짜",
            "create table 몰래 (a)",
            "create temp table 몰래 (a)",
            "create view 몰래 as select 1",
            "create index 몰래 on 화물오더 (운송비)",
            "create trigger 몰래 after insert on 화물오더 begin delete from 화물오더; end",
            "create temp trigger 몰래 after update on 화물오더 begin delete from 화물오더; end",
            "create virtual table 몰래 using fts5(a)",
            "select fts3_tokenizer('simple')",
            "select load_extension('/tmp/몰래.so')",
            "insert into 저장프로시저 values ('몰래', 0, 'delete from 화물오더')",
            "update 저장프로시저 set 본문 = 'delete from 화물오더' where 이름 = '오더취소'",
            "UPDATE [저장프로시저] SET 본문 = ''",
            "delete from 저장프로시저",
            "with x as (select 1) delete from 저장프로시저",
            "replace into 저장프로시저 values ('오더취소', 1, 'delete from 화물오더')",
            "update sqlite_sequence set seq = 0",
            "delete from sqlite_sequence",
            "attach database '/tmp/몰래.sqlite' as x",
            "detach database main",
            "pragma writable_schema = 1",
            "pragma journal_mode = delete",
            "PRAGMA user_version = 7",
            "pragma main.synchronous = off",
            "pragma wal_checkpoint(truncate)",
            "pragma foreign_keys = on",
            "begin",
            "commit",
            "savepoint a",
            "vacuum",
            "vacuum into '/tmp/몰래.sqlite'",
            "reindex",
            "analyze",
            "explain delete from 화물오더",
            "/* 주석 */ drop table 화물오더",
            "-- 주석\ndrop table 화물오더",
            "select 1; drop table 화물오더",
            "select 해시 from 주선사암호",
            "select b.아이디 from 코드_주선사 b join 주선사암호 h on h.주선사ID = b.ID where h.해시 like '$argon2id$%'",
            "update 주선사암호 set 해시 = '' ",
            "delete from 주선사암호",
            "insert into 주선사암호 (주선사ID, 해시) values (1, 'x')",
        };
        for (const char* statement : refused)
            QTest::newRow(statement) << QByteArray(statement);
    }
    void schemaChangesAreRefused() {
        QFETCH(QByteArray, statement);
        auto store = FreightStore::create(freshPath());
        store->execute("insert into 코드_주선사 (아이디) values ('demo')");
        const QString schema =
            raw(*store, "select type || name || tbl_name || coalesce(sql, '') from sqlite_master").join('\n');
        const QString before = dump(*store);
        const auto error = errorOf([&] { store->execute(statement); });
        QVERIFY(error);
        QCOMPARE(error->number, dstore::DB_E_ERRORSINCOMMAND);
        QCOMPARE(
            raw(*store, "select type || name || tbl_name || coalesce(sql, '') from sqlite_master").join('\n'),
            schema);
        QCOMPARE(dump(*store), before);
        QCOMPARE(raw(*store, "pragma journal_mode"), QStringList{QStringLiteral("wal")});
        QVERIFY(!QFile::exists(QStringLiteral("/tmp/몰래.sqlite")));
    }

    // The catalogue renamed, changed under its new name and renamed back would have made
    // 오더취소 delete the order; each step is refused and the cancel only cancels.
    void catalogueCannotBeRewrittenInSteps() {
        auto store = FreightStore::create(freshPath());
        store->execute("insert into 화물오더 (날짜) values ('2026-12-08')");
        for (const char* step :
             {"alter table 저장프로시저 rename to p2", "update p2 set 본문 = 'delete from 화물오더'",
              "alter table p2 rename to 저장프로시저"})
            QVERIFY(errorOf([&] { store->execute(step); }));
        store->execute("exec 오더취소 1");
        QCOMPARE(cell(*store, "select 오더상태 from 화물오더 where ID = 1"), QStringLiteral("취소"));
    }

    // What the client does send still runs.
    void clientStatementsRun_data() {
        QTest::addColumn<QByteArray>("statement");
        QTest::addColumn<QString>("count"); // orders afterwards
        QTest::newRow("select") << QByteArray("select * from 뷰_화물오더콜센터 where 1=1") << "1";
        QTest::newRow("with select") << QByteArray(
                                            "with x as (select ID from 화물오더) select count(*) from x")
                                     << "1";
        QTest::newRow("insert") << QByteArray("insert into 화물오더 (날짜) values ('2026-12-09')") << "2";
        QTest::newRow("update") << QByteArray("update 화물오더 set 결제일='2026-12-08' where ID=1") << "1";
        QTest::newRow("delete after a comment")
            << QByteArray("/* 정리 */ delete from 화물오더 where ID=1") << "0";
        QTest::newRow("exec") << QByteArray("exec 오더취소 1") << "1";
        QTest::newRow("pragma read") << QByteArray("pragma table_info(화물오더)") << "1";
        QTest::newRow("view update") << QByteArray("update 로그인 set 비밀번호='x' where 아이디='demo'")
                                     << "1";
    }
    void clientStatementsRun() {
        QFETCH(QByteArray, statement);
        QFETCH(QString, count);
        auto store = FreightStore::create(freshPath());
        store->execute("insert into 코드_주선사 (아이디) values ('demo')");
        store->execute("insert into 화물오더 (날짜) values ('2026-12-08')");
        const auto error = errorOf([&] { store->execute(statement); });
        QVERIFY2(!error, error ? qPrintable(error->message) : "");
        QCOMPARE(cell(*store, "select count(*) from 화물오더"), count);
    }

    // A store that cannot take the write answers as a provider refusal with the reason, never as
    // a lost connection (which would send the client reconnecting for nothing), and keeps its rows.
    void storeRefusalsAreNotLostConnections_data() {
        QTest::addColumn<QByteArray>("condition"); // set on the writing connection only
        QTest::addColumn<QString>("reason");
        QTest::newRow("read-only") << QByteArray("pragma query_only = 1")
                                   << QStringLiteral("읽기 전용 저장소입니다: ");
        QTest::newRow("disk full") << QByteArray("pragma max_page_count = 1")
                                   << QStringLiteral("디스크가 가득 찼습니다: ");
    }
    void storeRefusalsAreNotLostConnections() {
        QFETCH(QByteArray, condition);
        QFETCH(QString, reason);
        auto store = FreightStore::create(freshPath());
        store->execute("insert into 코드_화주 (코드, 화주명) values ('1001', '가나상사')");
        raw(*store, condition);
        const QString before = dump(*store);
        const auto error = errorOf([&] {
            store->execute("insert into 코드_화주 (코드, 화주명) values ('1002', "
                           "replace(hex(zeroblob(200000)), '0', '가'))");
        });
        QVERIFY(error);
        QCOMPARE(error->number, dstore::DB_E_STOREREFUSED);
        QVERIFY2(error->message.startsWith(reason), qPrintable(error->message));
        QCOMPARE(dump(*store), before);
    }

    // A statement that would never end is stopped at the time limit with an error, and the
    // store goes on answering.
    void runawayStatementIsStopped_data() {
        QTest::addColumn<QByteArray>("statement");
        QTest::newRow("endless recursion") << QByteArray("with recursive n(i) as (select 1 union all select "
                                                         "i + 1 from n) select count(*) from n where i < 0");
        QTest::newRow("endless recursion in an update") << QByteArray(
            "update 화물오더 set 비고 = (with recursive n(i) as (select 1 union all select i + 1 from n) "
            "select max(i) from n)");
    }
    void runawayStatementIsStopped() {
        QFETCH(QByteArray, statement);
        auto store = FreightStore::create(freshPath());
        store->execute("insert into 화물오더 (날짜) values ('2026-12-08')");
        store->setStatementLimit(std::chrono::milliseconds(200));
        const auto error = errorOf([&] { store->query(statement); });
        QVERIFY(error);
        QCOMPARE(error->number, dstore::DB_E_TIMEOUT);
        QCOMPARE(cell(*store, "select count(*) from 화물오더 where 비고 is null"), QStringLiteral("1"));
    }

    // Another program holding the store past the busy time-out: the store is busy, not foreign.
    void storeHeldByAnotherIsBusy() {
        const QString path = freshPath();
        FreightStore::create(path).reset();
        sqlite3* holder = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(path).constData(), &holder), SQLITE_OK);
        QCOMPARE(sqlite3_exec(holder, "pragma locking_mode = exclusive; begin exclusive;", nullptr, nullptr,
                              nullptr),
                 SQLITE_OK);
        const auto error = errorOf([&] { FreightStore::open(path); });
        sqlite3_exec(holder, "commit", nullptr, nullptr, nullptr);
        sqlite3_close(holder);
        QVERIFY(error);
        QCOMPARE(error->number, dstore::E_FAIL_NUMBER);
        QVERIFY2(error->message.startsWith(QStringLiteral("저장소가 사용 중입니다")),
                 qPrintable(error->message));
        QVERIFY(FreightStore::open(path));
    }

    void snapshotKeepsNullApartFromEmpty() {
        auto store = FreightStore::create(freshPath());
        const auto rows = store->query("select null as 빈값, '' as 글자, 5 as Num, '가''나' as 따옴표");
        QCOMPARE(rows->rowCount(), 1);
        QVERIFY(rows->isNull(0, 0));
        QCOMPARE(rows->text(0, 0), QString());
        QVERIFY(!rows->isNull(0, 1));
        QCOMPARE(rows->text(0, 2), QStringLiteral("5"));
        QCOMPARE(rows->text(0, 3), QStringLiteral("가'나"));
        QCOMPARE(rows->columnIndex("num"), 2);
        QCOMPARE(rows->columnIndex("없음"), -1);
        const auto none = store->query("update 화물오더 set 결제일='' where ID=1");
        QCOMPARE(none->columnCount(), 0);
        QCOMPARE(none->rowCount(), 0);
    }

    void largeAnswerStaysIntact() {
        auto store = FreightStore::create(freshPath());
        QByteArray sql =
            "with recursive n(i) as (select 1 union all select i + 1 from n where i < 100000) select i";
        for (int c = 1; c < 30; ++c)
            sql += ", 'c" + QByteArray::number(c) + "-' || i";
        const auto rows = store->query(sql + " from n");
        QCOMPARE(rows->rowCount(), 100000);
        QCOMPARE(rows->columnCount(), 30);
        QCOMPARE(rows->text(99999, 29), QStringLiteral("c29-100000"));
        QCOMPARE(rows->text(54321, 0), QStringLiteral("54322"));
    }

    // Answers small (in the heap), medium (moved from the heap into a mapping) and large (grown
    // by remapping), written fresh or into the storage an earlier answer let go, read back
    // cell for cell; the earlier answer's storage is reused when it is let go while reuse is on.
    void answersIntactWhateverTheirStorage_data() {
        QTest::addColumn<int>("earlierRows");
        QTest::addColumn<int>("rows");
        QTest::addColumn<bool>("reuse");
        QTest::newRow("small") << 0 << 10 << false;
        QTest::newRow("medium") << 0 << 2000 << false;
        QTest::newRow("large") << 0 << 60000 << false;
        QTest::newRow("large after large, reused") << 60000 << 60000 << true;
        QTest::newRow("large after large, not reused") << 60000 << 60000 << false;
        QTest::newRow("medium after large, reused") << 60000 << 2000 << true;
        QTest::newRow("large after medium, reused") << 2000 << 60000 << true;
        QTest::newRow("small after large, reused") << 60000 << 10 << true;
    }
    void answersIntactWhateverTheirStorage() {
        QFETCH(int, earlierRows);
        QFETCH(int, rows);
        QFETCH(bool, reuse);
        constexpr int Columns = 6;
        const auto cell = [](int r, int c) {
            return QByteArray::number(r) + (c % 2 ? "·상차지 " : ":") + QByteArray::number(c * 7919 + r);
        };
        const auto fill = [&](int count, int salt) {
            auto answer = std::make_unique<dstore::ResultSet>();
            answer->setColumns({"a", "b", "c", "d", "e", "f"});
            for (int r = 0; r < count; ++r)
                for (int c = 0; c < Columns; ++c) {
                    if (c == 3 && r % 5 == 0)
                        answer->appendNull();
                    else
                        answer->appendCell(cell(r + salt, c));
                }
            return answer;
        };
        std::optional<dstore::ReuseAnswerStorage> keep;
        if (reuse) keep.emplace();
        const char* earlierStorage = nullptr;
        if (earlierRows > 0) {
            auto earlier = fill(earlierRows, 1000000);
            earlierStorage = earlier->bytes(0, 0).data();
        }
        const auto answer = fill(rows, 0);
        QCOMPARE(answer->rowCount(), qsizetype(rows));
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < Columns; ++c) {
                if (c == 3 && r % 5 == 0) {
                    QVERIFY(answer->isNull(r, c));
                    continue;
                }
                QCOMPARE(answer->bytes(r, c), QByteArrayView(cell(r, c)));
            }
        if (reuse && earlierRows >= rows && rows >= 2000)
            QCOMPARE(answer->bytes(0, 0).data(), earlierStorage);
    }

    void serverFunctions_data() {
        QTest::addColumn<QByteArray>("expression");
        QTest::addColumn<QString>("value");
        QTest::newRow("isnull null") << QByteArray("isnull(null, '없음')") << QStringLiteral("없음");
        QTest::newRow("isnull value") << QByteArray("ISNULL ('값', '없음')") << QStringLiteral("값");
        QTest::newRow("len trailing blanks") << QByteArray("len('가나  ')") << QStringLiteral("2");
        QTest::newRow("left") << QByteArray("left('2026-12-08', 7)") << QStringLiteral("2026-12");
        QTest::newRow("right") << QByteArray("right('가나다', 2)") << QStringLiteral("나다");
        QTest::newRow("charindex") << QByteArray("charindex('톤', '5톤')") << QStringLiteral("2");
        QTest::newRow("literal untouched")
            << QByteArray("'isnull(left(x))'") << QStringLiteral("isnull(left(x))");
        QTest::newRow("getdate is a date") << QByteArray("length(getdate()) = 23") << QStringLiteral("1");
    }
    void serverFunctions() {
        QFETCH(QByteArray, expression);
        QFETCH(QString, value);
        auto store = FreightStore::create(freshPath());
        QCOMPARE(cell(*store, "select " + expression), value);
    }

    // The board and the inquiry walk the period index in the list's own order: no sort of the
    // whole period (a temporary B-tree) before the first row, on a fresh store and on one whose
    // statistics the engine has gathered. The settlement list searches a date range as well.
    void listStatementsUseADateIndex_data() {
        QTest::addColumn<QByteArray>("statement");
        QTest::addColumn<QString>("index");
        QTest::addColumn<bool>("analyzed");
        const QByteArray order = " order by 날짜 desc, 배차시간, 오더상태 ,ID desc";
        const QByteArray allStatuses =
            " and ( 오더상태='접수' or 오더상태='미처리' or 오더상태='배차완료' or 오더상태='운송완료' or "
            "오더상태='계산서' or 오더상태='정산완료' or 오더상태='취소')";
        const QByteArray period = " and 날짜>='2026-12-01' and 날짜<='2026-12-31'";
        const QByteArray search =
            " and (차량번호 like '%12%' or 차주명 like '%12%' or 차주연락처 like '%12%')";
        const QString byPeriod = QStringLiteral("화물오더_기간순");
        for (const bool analyzed : {false, true}) {
            const char* const kind = analyzed ? "analyzed" : "fresh";
            QTest::addRow("board day, two statuses, %s", kind)
                << QByteArray("select * from 뷰_화물오더콜센터 where 1=1 and 날짜='2026-12-08' and ( "
                              "오더상태='접수' or 오더상태='미처리' )") +
                       order
                << byPeriod << analyzed;
            QTest::addRow("board period, every status, %s", kind)
                << QByteArray("select * from 뷰_화물오더콜센터 where 1=1") + period + allStatuses + order
                << byPeriod << analyzed;
            QTest::addRow("board period, no status, %s", kind)
                << QByteArray("select * from 뷰_화물오더콜센터 where 1=1") + period + order << byPeriod
                << analyzed;
            QTest::addRow("board period searched, %s", kind)
                << QByteArray("select * from 뷰_화물오더콜센터 where 1=1") + period + search + order
                << byPeriod << analyzed;
            QTest::addRow("inquiry, %s", kind)
                << QByteArray("select * from 화물오더 where 1=1") + period + search + allStatuses + order
                << byPeriod << analyzed;
            QTest::addRow("settlement, %s", kind)
                << QByteArray("select ID,일련번호,날짜,오더상태 From 뷰_화물오더 where 1=1") + period +
                       " and (오더상태 = '배차완료' or 오더상태='운송완료') order by 날짜,ID"
                << QStringLiteral("(날짜>? AND 날짜<?)") << analyzed;
        }
    }
    void listStatementsUseADateIndex() {
        QFETCH(QByteArray, statement);
        QFETCH(QString, index);
        QFETCH(bool, analyzed);
        auto store = FreightStore::create(freshPath());
        if (analyzed) {
            // Three months of orders, a few hundred a day, as a call centre's store holds them.
            store->execute(
                "insert into 화물오더 (날짜, 오더상태, 배차시간, 차량번호) with recursive n(i) as (select 0 "
                "union all "
                "select i + 1 from n where i < 29999) select date('2026-10-01', '+' || (i / 330) || ' "
                "days'), "
                "case i % 7 when 0 then '접수' when 1 then '미처리' when 2 then '배차완료' when 3 then "
                "'운송완료' "
                "when 4 then '계산서' when 5 then '정산완료' else '취소' end, '', '서울' || (i % 90) from n");
            QCOMPARE(sqlite3_exec(store->handle(), "analyze", nullptr, nullptr, nullptr), SQLITE_OK);
        }
        const QString text = raw(*store, "explain query plan " + statement).join(QLatin1Char('\n'));
        QVERIFY2(text.contains(index), qPrintable(text));
        if (index == QStringLiteral("화물오더_기간순"))
            QVERIFY2(!text.contains(QStringLiteral("TEMP B-TREE")), qPrintable(text));
    }

    // A store made before the period index gets it when a client opens it, rows untouched.
    void olderStoreGetsThePeriodIndex() {
        const QString path = freshPath();
        QString before;
        {
            auto store = FreightStore::create(path);
            store->execute(
                "insert into 화물오더 (날짜, 오더상태, 배차시간) values ('2026-12-01', '접수', ''), "
                "('2026-12-02', '취소', '2026-12-02 10:00:00')");
            QCOMPARE(sqlite3_exec(store->handle(), "drop index 화물오더_기간순", nullptr, nullptr, nullptr),
                     SQLITE_OK);
            before = dump(*store);
            // Marked as made by an older build, as such a store is.
            QCOMPARE(sqlite3_exec(store->handle(), "update 저장소정보 set 값 = '1' where 키 = 'schema'", nullptr,
                                  nullptr, nullptr),
                     SQLITE_OK);
        }
        auto store = FreightStore::open(path);
        QCOMPARE(cell(*store, "select count(*) from sqlite_master where name = '화물오더_기간순'"),
                 QStringLiteral("1"));
        QCOMPARE(dump(*store), before);
        QCOMPARE(raw(*store, "pragma integrity_check"), QStringList{QStringLiteral("ok")});
    }

    // A list asks for the columns it reads: the snapshot holds those in the order asked (the
    // answer's own spelling of the name), NULL apart from empty, over answers large enough to
    // remap the snapshot's memory many times; names the answer lacks are simply missing.
    void narrowedSnapshot_data() {
        QTest::addColumn<QByteArray>("statement");
        QTest::addColumn<int>("rows");
        QTest::newRow("select") << QByteArray(
                                       "with recursive n(i) as (select 1 union all select i + 1 from n "
                                       "where i < 100000) select i as ID, 'a' || i as 가, null as 나, "
                                       "'' as 다, printf('%0300d', i) as 라 from n")
                                << 100000;
        QTest::newRow("empty answer")
            << QByteArray("select 1 as ID, 2 as 가, 3 as 나, 4 as 다, 5 as 라 where 0") << 0;
    }
    void narrowedSnapshot() {
        QFETCH(QByteArray, statement);
        QFETCH(int, rows);
        auto store = FreightStore::create(freshPath());
        const auto kept = store->query(statement, {"라", "없는열", "나", "id", "다"});
        QCOMPARE(kept->rowCount(), rows);
        QCOMPARE(kept->columnCount(), 4);
        QCOMPARE(kept->columnName(0), QByteArray("라"));
        QCOMPARE(kept->columnName(2), QByteArray("ID"));
        QCOMPARE(kept->columnIndex("없는열"), -1);
        QCOMPARE(kept->columnIndex("다"), 3);
        for (int r = 0; r < rows; r += 9999) {
            QCOMPARE(kept->text(r, 0), QStringLiteral("%1").arg(r + 1, 300, 10, QLatin1Char('0')));
            QVERIFY(kept->isNull(r, 1));
            QCOMPARE(kept->text(r, 2), QString::number(r + 1));
            QVERIFY(!kept->isNull(r, 3));
            QCOMPARE(kept->bytes(r, 3).size(), 0);
        }
    }

    // Looking up a column the list did not ask for is reported, never read as an empty cell; a
    // full snapshot's missing column and an asked column the answer lacks are not.
    void unrequestedColumnIsReported() {
        static QByteArrayList reported;
        reported.clear();
        const auto previous = dstore::setUnrequestedColumnHandler(
            [](QByteArrayView name, const std::vector<QByteArray>&) { reported << name.toByteArray(); });
        auto store = FreightStore::create(freshPath());
        const QByteArray sql = "select 1 as ID, '가' as 상차지, '나' as 하차지";
        const auto narrowed = store->query(sql, {"ID", "상차지", "없는열"});
        const auto full = store->query(sql);
        QCOMPARE(narrowed->columnIndex("하차지"), -1);
        QCOMPARE(narrowed->columnIndex("없는열"), -1);
        QCOMPARE(full->columnIndex("없는열"), -1);
        dstore::setUnrequestedColumnHandler(previous);
        QCOMPARE(reported, QByteArrayList{"하차지"});
    }
};

DELMORA_TEST_MAIN(TestFreightStore)
#include "tst_freightstore.moc"
