// The eleven procedures as the client calls them: what each one does to the store, and that
// a wrong number of arguments is refused without touching anything. Every test runs against
// the embedded store and against the same store on PostgreSQL (a private cluster for the run).
#include "pgcluster.h"
#include "simulate.h"
#include "storetesthelp.h"
#include "testmain.h"

using namespace storetest;
using dstore::FreightStore;

namespace {

QByteArray distinctValue(int k) { return bareOrderArgument(k) ? QByteArray::number(9000 + k) : "v" + QByteArray::number(k); }

} // namespace

class TestProcedures : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    AnyStore m_store;
    int m_serial = 0;
    bool m_serverTemplate = false; // an empty server store to copy for each test

    AnyStore& store() { return m_store; }
    qint64 lastOrder() { return cell(store(), "select max(ID) from 화물오더").toLongLong(); }

private Q_SLOTS:
    void initTestCase_data() {
        QTest::addColumn<QString>("backend");
        QTest::newRow("embedded") << QStringLiteral("embedded");
        QTest::newRow("postgresql") << QStringLiteral("postgresql");
    }
    void init() {
        QFETCH_GLOBAL(QString, backend);
        const QString name = QStringLiteral("p%1").arg(++m_serial);
        if (backend == QLatin1String("embedded")) {
            m_store.embedded = FreightStore::create(m_dir.filePath(name + QStringLiteral(".sqlite")));
        } else {
            QString why;
            PgCluster* cluster = PgCluster::instance(&why);
            if (!cluster) QSKIP(qPrintable(QStringLiteral("PostgreSQL is not available: ") + why));
            QString error;
            if (!m_serverTemplate) {
                QVERIFY2(cluster->createDatabase(QStringLiteral("empty"), {}, &error), qPrintable(error));
                dstore::PgStore::open(cluster->uri(QStringLiteral("empty")))->createSchema();
                m_serverTemplate = true;
            }
            QVERIFY2(cluster->createDatabase(name, QStringLiteral("empty"), &error), qPrintable(error));
            m_store.server = dstore::PgStore::open(cluster->uri(name));
        }
        store().execute("insert into 코드_주선사 (아이디, 비밀번호, 주선사명) values ('demo', '', '델모라')");
    }
    void cleanup() { m_store = {}; }

    void wrongArgumentCount_data() {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("expected");
        // optional: trailing arguments a caller may leave out (what the desk saw, a request key).
        const struct { const char* name; int count; int optional; } procedures[] = {
            {"오더저장", 47, 1}, {"오더수정", 54, 1}, {"오더취소", 1, 1},   {"배차취소", 1, 1},
            {"차주수정", 23, 1}, {"차주삭제", 2, 0},  {"화주저장", 16, 0},  {"화주수정", 16, 1},
            {"화주삭제", 1, 0},  {"주선사저장", 14, 0}, {"주선사수정", 13, 1}};
        for (const auto& p : procedures) {
            const QString name = QString::fromUtf8(p.name);
            QTest::addRow("%s %d", p.name, p.count - 1)
                << QByteArray(p.name) << p.count - 1
                << QStringLiteral("Procedure or function '%1' expects parameter '@p%2', which was not supplied.").arg(name).arg(p.count);
            QTest::addRow("%s %d", p.name, p.count + p.optional + 1)
                << QByteArray(p.name) << p.count + p.optional + 1
                << QStringLiteral("Procedure or function %1 has too many arguments specified.").arg(name);
        }
    }
    void wrongArgumentCount() {
        QFETCH(QByteArray, name);
        QFETCH(int, count);
        QFETCH(QString, expected);
        store().execute(orderSave(distinctValue));
        const QString before = dump(store());
        const auto error = errorOf([&] { store().execute(execWith(name, count, "1")); });
        QVERIFY(error);
        QCOMPARE(error->number, dstore::DB_E_ERRORSINCOMMAND);
        QCOMPARE(error->message, expected);
        QCOMPARE(dump(store()), before);
    }

    void unknownProcedure() {
        const auto error = errorOf([&] { store().execute("exec 오더삭제 1"); });
        QVERIFY(error);
        QCOMPARE(error->number, dstore::DB_E_ERRORSINCOMMAND);
        QCOMPARE(error->message, QStringLiteral("Could not find stored procedure '오더삭제'."));
    }

    // The columns the screens read back, and the argument of 오더저장 that fills each one.
    void orderSaveFillsColumns_data() {
        QTest::addColumn<QByteArray>("column");
        QTest::addColumn<int>("argument");
        const struct { const char* column; int argument; } read[] = {
            {"날짜", 1},       {"오더상태", 2},   {"작성아이디", 3}, {"작성회사명", 4},   {"상차요청일시", 10},
            {"상차권역", 11},  {"상차지", 12},    {"하차요청일시", 17}, {"하차권역", 18}, {"하차지", 19},
            {"희망톤수", 24},  {"희망차종", 25},  {"화물중량", 26},  {"적재구분", 28},   {"화물정보1", 29},
            {"운임구분", 31},  {"운송비", 32},    {"수수료", 33},    {"화주코드", 35}};
        for (const auto& r : read) QTest::newRow(r.column) << QByteArray(r.column) << r.argument;
    }
    void orderSaveFillsColumns() {
        QFETCH(QByteArray, column);
        QFETCH(int, argument);
        store().execute(orderSave(distinctValue));
        QCOMPARE(cell(store(), "select " + column + " from 뷰_화물오더콜센터 where ID=" + QByteArray::number(lastOrder())),
                 QString::fromUtf8(distinctValue(argument)));
    }

    // No argument is dropped and none lands twice (the shipper's name is sent twice on purpose).
    // A bare amount keeps its digits in the store, however many there are.
    void bareNumbersKeepTheirDigits_data() {
        QTest::addColumn<QByteArray>("amount");
        QTest::addColumn<QString>("stored");
        QTest::newRow("64-bit") << QByteArray("9223372036854775807") << "9223372036854775807";
        QTest::newRow("20 digits") << QByteArray("100000000000000000000") << "100000000000000000000";
        QTest::newRow("25 digits") << QByteArray("1234567890123456789012345") << "1234567890123456789012345";
        QTest::newRow("25 digits negative")
            << QByteArray("-1234567890123456789012345") << "-1234567890123456789012345";
        QTest::newRow("long fraction") << QByteArray("12345678901234567890.5") << "12345678901234567890.5";
        QTest::newRow("short fraction") << QByteArray("350000.5") << "350000.5";
    }
    void bareNumbersKeepTheirDigits() {
        QFETCH(QByteArray, amount);
        QFETCH(QString, stored);
        store().execute(orderSave([&](int k) { return k == 32 ? amount : distinctValue(k); }));
        QCOMPARE(cell(store(), "select 운송비 from 화물오더"), stored);
    }

    void orderSaveKeepsEveryArgument() {
        store().execute(orderSave(distinctValue));
        const auto row = store().query("select * from 화물오더 where ID=" + QByteArray::number(lastOrder()));
        for (int k = 1; k <= 47; ++k) {
            int found = 0;
            for (int c = 0; c < row->columnCount(); ++c) found += row->bytes(0, c) == distinctValue(k);
            QVERIFY2(found == 1, qPrintable(QStringLiteral("argument %1 stored %2 times").arg(k).arg(found)));
        }
        QCOMPARE(cell(store(), "select 결제일 from 화물오더"), QString());   // unpaid
        QVERIFY(!row->isNull(0, row->columnIndex("결제일")));
        QVERIFY(row->isNull(0, row->columnIndex("배차시간")));
    }

    void orderModifyKeepsStatusAndDispatch() {
        store().execute(orderSave(distinctValue));
        const QByteArray id = QByteArray::number(lastOrder());
        store().execute("update 화물오더 set 오더상태='배차완료', 차주명='홍길동', 배차시간='2026-01-02 10:00:00' where ID=" + id);
        QByteArray modify = "exec 오더수정  " + id;
        for (int k = 1; k <= 53; ++k)
            modify += k <= 42 && bareOrderArgument(k) ? "," + QByteArray::number(100 + k) : ",'w" + QByteArray::number(k) + "'";
        store().execute(modify);
        const auto row = store().query("select 오더상태, 차주명, 상차지, 운송비, 예비3, 화주계산서담당, 화주이메일 from 화물오더 where ID=" + id);
        QCOMPARE(row->text(0, 0), QStringLiteral("배차완료"));
        QCOMPARE(row->text(0, 1), QStringLiteral("홍길동"));
        QCOMPARE(row->text(0, 2), QStringLiteral("w12"));
        QCOMPARE(row->text(0, 3), QStringLiteral("132"));
        QCOMPARE(row->text(0, 4), QStringLiteral("w45"));
        QCOMPARE(row->text(0, 5), QStringLiteral("w52"));
        QCOMPARE(row->text(0, 6), QStringLiteral("w53"));
    }

    void orderCancelAndDispatchCancel() {
        store().execute(orderSave(distinctValue));
        store().execute(orderSave(distinctValue));
        const QByteArray first = QByteArray::number(lastOrder() - 1), second = QByteArray::number(lastOrder());
        store().execute("update 화물오더 set 오더상태='배차완료', 배차시간='2026-01-02 10:00:00', 차주아이디='demo', 차주명='홍길동', "
                        "차주연락처='01012345678', 차량번호='경기12바3456', 차량정보='윙바디', 차량톤수='5톤', 차량길이='9.6', "
                        "차량길이2='50' where ID=" + second);
        store().execute("exec 오더취소  " + first);
        store().execute("exec 배차취소  " + second);
        QCOMPARE(cell(store(), "select 오더상태 from 화물오더 where ID=" + first), QStringLiteral("취소"));
        QCOMPARE(cell(store(), "select 오더상태 from 화물오더 where ID=" + second), QStringLiteral("접수"));
        QCOMPARE(cell(store(), "select coalesce(배차시간,'')||coalesce(차주아이디,'')||coalesce(차주명,'')||coalesce(차주연락처,'')"
                               "||coalesce(차량번호,'')||coalesce(차량정보,'')||coalesce(차량톤수,'')||coalesce(차량길이,'')"
                               "||coalesce(차량길이2,'') from 화물오더 where ID=" + second),
                 QString());
        QCOMPARE(cell(store(), "select 상차지 from 화물오더 where ID=" + second), QStringLiteral("v12"));
    }

    // Calls that would report success while saving nothing, leave a record nobody can name,
    // or undo the vehicle of an order that money documents already name: refused whole, with
    // the reason in the message, and nothing changed.
    void refusedCalls_data() {
        QTest::addColumn<QByteArray>("status");   // of the one order in the store
        QTest::addColumn<QByteArray>("paid");
        QTest::addColumn<QByteArray>("call");     // {id} is that order
        QTest::addColumn<QString>("message");
        const QString missing = QStringLiteral("ID 999인 오더가 없습니다.");
        const QString documented = QStringLiteral("계산서가 발행되었거나 운임이 지급된 오더는 취소할 수 없습니다.");
        const QString notDispatched = QStringLiteral("배차완료 상태인 오더만 배차취소할 수 있습니다.");
        QTest::newRow("modify a missing order") << QByteArray("접수") << QByteArray()
                                                << "exec 오더수정  999" + QByteArray(",''").repeated(53) << missing;
        QTest::newRow("cancel a missing order") << QByteArray("접수") << QByteArray() << QByteArray("exec 오더취소  999") << missing;
        QTest::newRow("cancel an invoiced order") << QByteArray("계산서") << QByteArray() << QByteArray("exec 오더취소  {id}")
                                                  << documented;
        QTest::newRow("cancel a settled order") << QByteArray("정산완료") << QByteArray("2026-01-05")
                                                << QByteArray("exec 오더취소  {id}") << documented;
        QTest::newRow("cancel a paid delivery") << QByteArray("운송완료") << QByteArray("2026-01-05")
                                                << QByteArray("exec 오더취소  {id}") << documented;
        QTest::newRow("dispatch cancel, missing order") << QByteArray("배차완료") << QByteArray()
                                                        << QByteArray("exec 배차취소  999") << missing;
        QTest::newRow("dispatch cancel, nothing dispatched") << QByteArray("접수") << QByteArray()
                                                             << QByteArray("exec 배차취소  {id}") << notDispatched;
        QTest::newRow("dispatch cancel, delivered") << QByteArray("운송완료") << QByteArray()
                                                    << QByteArray("exec 배차취소  {id}") << notDispatched;
        QTest::newRow("dispatch cancel, settled") << QByteArray("정산완료") << QByteArray("2026-01-05")
                                                  << QByteArray("exec 배차취소  {id}") << notDispatched;
        QTest::newRow("dispatch cancel, freight paid") << QByteArray("배차완료") << QByteArray("2026-01-05")
                                                       << QByteArray("exec 배차취소  {id}")
                                                       << QStringLiteral("운임이 지급된 배차는 취소할 수 없습니다.");
        // A write stated against what the desk saw (a version, a status) that the order no
        // longer is: another desk's write came first.
        const QString moved = QString::fromUtf8(dstore::RecordMovedText) + QStringLiteral(". 다시 조회한 뒤 하세요.");
        QTest::newRow("modify on a version since moved") << QByteArray("접수") << QByteArray()
                                                          << "exec 오더수정  {id}" + QByteArray(",''").repeated(53) + ",1"
                                                          << moved;
        QTest::newRow("cancel as shown before its dispatch") << QByteArray("배차완료") << QByteArray()
                                                             << QByteArray("exec 오더취소  {id},'접수'") << moved;
        QTest::newRow("dispatch cancel as shown before delivery") << QByteArray("운송완료") << QByteArray()
                                                                  << QByteArray("exec 배차취소  {id},'배차완료'") << moved;
        QTest::newRow("owner without keys") << QByteArray("접수") << QByteArray() << execWith("차주수정", 23, "").replace("'1'", "''")
                                            << QStringLiteral("차주의 아이디와 휴대전화가 없어 저장할 수 없습니다.");
        QTest::newRow("owner without phone") << QByteArray("접수") << QByteArray()
                                             << "exec 차주수정  'demo',' - '" + QByteArray(",'x'").repeated(21)
                                             << QStringLiteral("차주의 아이디와 휴대전화가 없어 저장할 수 없습니다.");
        QTest::newRow("modify a missing shipper") << QByteArray("접수") << QByteArray()
                                                  << "exec 화주수정  ''" + QByteArray(",'x'").repeated(15)
                                                  << QStringLiteral("저장할 화주가 없습니다 (코드 '').");
        QTest::newRow("broker without 아이디") << QByteArray("접수") << QByteArray()
                                               << "exec 주선사저장  ' '" + QByteArray(",''").repeated(13)
                                               << QStringLiteral("주선사 아이디를 입력하세요.");
        QTest::newRow("modify a missing broker") << QByteArray("접수") << QByteArray()
                                                 << "exec 주선사수정  'nobody'" + QByteArray(",''").repeated(12)
                                                 << QStringLiteral("저장할 주선사가 없습니다 (아이디 'nobody').");
        // A master record deleted at another desk, or changed there since this desk showed it
        // (the last argument is the version shown; the store holds owner demo/01012345678,
        // shipper 1001 and broker demo, each past version 0).
        const QByteArray x15 = QByteArray(",'x'").repeated(15), x21 = QByteArray(",'x'").repeated(21);
        QTest::newRow("withdraw an owner nobody has") << QByteArray("접수") << QByteArray()
                                                      << QByteArray("exec 차주삭제  'other','01012345678'")
                                                      << QStringLiteral("다른 곳에서 먼저 바뀐 자료입니다. 이 차주는 이미 삭제되었습니다.");
        QTest::newRow("save a withdrawn owner") << QByteArray("접수") << QByteArray() << "exec 차주수정  'demo','01099998888'" + x21 + ",'1'"
                                                << QStringLiteral("다른 곳에서 먼저 바뀐 자료입니다. 이 차주는 삭제되어 저장되지 않았습니다.");
        QTest::newRow("save an owner changed since") << QByteArray("접수") << QByteArray()
                                                     << "exec 차주수정  'demo','010-1234-5678'" + x21 + ",'0'" << moved;
        QTest::newRow("delete a deleted shipper") << QByteArray("접수") << QByteArray() << QByteArray("exec 화주삭제  '9999'")
                                                  << QStringLiteral("다른 곳에서 먼저 바뀐 자료입니다. 이 화주는 이미 삭제되었습니다.");
        QTest::newRow("save a deleted shipper") << QByteArray("접수") << QByteArray() << "exec 화주수정  '9999'" + x15 + ",'1'"
                                                << QStringLiteral("다른 곳에서 먼저 바뀐 자료입니다. 이 화주는 삭제되어 저장되지 않았습니다.");
        QTest::newRow("save a shipper changed since") << QByteArray("접수") << QByteArray() << "exec 화주수정  '1001'" + x15 + ",'0'" << moved;
        QTest::newRow("save a deleted broker") << QByteArray("접수") << QByteArray()
                                               << "exec 주선사수정  'nobody'" + QByteArray(",''").repeated(12) + ",'1'"
                                               << QStringLiteral("다른 곳에서 먼저 바뀐 자료입니다. 이 주선사는 삭제되어 저장되지 않았습니다.");
        QTest::newRow("save a broker changed since") << QByteArray("접수") << QByteArray()
                                                     << "exec 주선사수정  'demo'" + QByteArray(",''").repeated(12) + ",'0'" << moved;
    }
    void refusedCalls() {
        QFETCH(QByteArray, status);
        QFETCH(QByteArray, paid);
        QFETCH(QByteArray, call);
        QFETCH(QString, message);
        store().execute(orderSave(distinctValue));
        store().execute("insert into 코드_차주 (아이디, 휴대전화, 기사명) values ('demo', '01012345678', '홍길동')");
        store().execute("insert into 코드_화주 (코드, 화주명) values ('1001', '한빛')");
        const QByteArray id = QByteArray::number(lastOrder());
        store().execute("update 화물오더 set 오더상태='" + status + "', 결제일='" + paid + "', 배차시간='2026-01-02 10:00:00', "
                        "차주명='홍길동', 차량번호='경기12바3456' where ID=" + id);
        const QString before = dump(store());
        const auto error = errorOf([&] { store().execute(QByteArray(call).replace("{id}", id)); });
        QVERIFY(error);
        QCOMPARE(error->number, dstore::DB_E_ERRORSINCOMMAND);
        QCOMPARE(error->message, message);
        QCOMPARE(dump(store()), before);
    }

    // Every write moves the row's version, however it comes; a write stating the version it
    // saw goes through; a save repeated with its request key stores one order.
    void versionsAndRequestKeys() {
        const QByteArray save = orderSave(distinctValue);
        store().execute(save + ",'key-1'");
        store().execute(save + ",'key-1'");
        store().execute(save + ",'key-2'");
        store().execute(save); // no key: SQL Server's call, stored every time
        store().execute(save);
        QCOMPARE(cell(store(), "select count(*) from 화물오더"), QStringLiteral("4"));
        const QByteArray id = cell(store(), "select ID from 화물오더 where 요청키='key-1'").toUtf8();
        auto version = [&] { return cell(store(), "select 버전 from 화물오더 where ID=" + id).toLongLong(); };
        const qint64 saved = version();
        store().execute("update 화물오더 set 비고='x' where ID=" + id);
        const qint64 edited = version();
        QVERIFY(edited > saved);
        store().execute("exec 오더수정  " + id + QByteArray(",''").repeated(53) + "," + QByteArray::number(edited));
        QVERIFY(version() > edited);
        store().execute("exec 오더취소  " + id + ",'" + cell(store(), "select 오더상태 from 화물오더 where ID=" + id).toUtf8() + "'");
        QCOMPARE(cell(store(), "select 오더상태 from 화물오더 where ID=" + id), QStringLiteral("취소"));
    }

    // Bringing a store up to date runs over one that is current already without changing a
    // value, and its procedures still answer as before.
    void upgradeChangesNoValue() {
        store().execute(orderSave(distinctValue) + ",'key-1'");
        const QString before = dump(store());
        store().execute("update 저장소정보 set 값='1' where 키='schema'");
        if (store().embedded) {
            const QString path = m_dir.filePath(QStringLiteral("p%1.sqlite").arg(m_serial));
            store().embedded.reset();
            store().embedded = FreightStore::open(path);
        } else {
            store().server->upgradeSchema();
        }
        QCOMPARE(dump(store()), before);
        store().execute(orderSave(distinctValue) + ",'key-1'");
        QCOMPARE(cell(store(), "select count(*) from 화물오더"), QStringLiteral("1"));
    }

    // The store records every change of an order itself: who (the broker the desk named, else
    // the login), which field, before and after, and how; nobody rewrites the record.
    void historyNamesWhoAndHow() {
        auto session = [&](const QString& who) {
            if (store().embedded) store().embedded->setSessionUser(who);
            else store().server->setSessionUser(who);
        };
        store().execute(orderSave(distinctValue));
        const qint64 ours = lastOrder();
        const QByteArray id = QByteArray::number(ours);
        session(QStringLiteral("demo"));
        QByteArray modify = "exec 오더수정  " + id;
        for (int k = 1; k <= 53; ++k) {
            const int column = k <= 45 ? k - 1 : 0; // argument k+1 of the call fills 오더저장's argument k
            modify += column == 11 ? ",'새 상차지'" : k <= 42 && bareOrderArgument(k) ? "," + QByteArray::number(9000 + k) : ",'v" + QByteArray::number(k) + "'";
        }
        store().execute(modify);
        store().execute("update 화물오더 set 운송비='1' where ID=" + id);
        session(QString());
        // The office's simulator takes it: an owner with the wanted tonnage and kind, the order open.
        store().execute("insert into 코드_차주 (아이디, 휴대전화, 기사명, 톤수, 차종) values ('demo', '01000000000', '기사', 'v24', 'v25')");
        store().execute("update 화물오더 set 오더상태='접수' where ID=" + id);
        std::optional<dstore::OfficeEvent> event;
        if (store().embedded) {
            dstore::OfficeSimulator office(*store().embedded, 7);
            for (int i = 0; i < 30 && (!event || event->orderId != ours); ++i) event = office.step();
        } else {
            dstore::OfficeSimulator office(*store().server, 7);
            for (int i = 0; i < 30 && (!event || event->orderId != ours); ++i) event = office.step();
        }
        const auto rows = store().query("select 누가, 항목, 이전값, 새값, 방법 from 화물오더이력 where 오더ID=" + id + " order by ID");
        QStringList seen;
        for (qsizetype r = 0; r < rows->rowCount(); ++r)
            seen << QStringList{rows->text(r, 0), rows->text(r, 1), rows->text(r, 2), rows->text(r, 3), rows->text(r, 4)}.join(u'|');
        // Saved before any broker was named: the login, and the procedure it came through.
        const QString login = seen.value(0).section(u'|', 0, 0);
        QVERIFY(!login.isEmpty());
        if (store().server) QCOMPARE(login, cell(store(), "select session_user"));
        QCOMPARE(seen.value(0).section(u'|', 1), QStringLiteral("오더등록||v2|오더저장"));
        QVERIFY2(seen.contains(QStringLiteral("demo|상차지|v12|새 상차지|오더수정")), qPrintable(seen.join(u'\n')));
        QVERIFY2(seen.contains(QStringLiteral("demo|운송비|9032|1|문장")), qPrintable(seen.join(u'\n')));
        QVERIFY2(!seen.join(u'\n').contains(QStringLiteral("버전")), qPrintable(seen.join(u'\n')));
        // The office's own writes (the simulator) name the login.
        QVERIFY(event && event->orderId == ours);
        QVERIFY2(seen.last().startsWith(login + QLatin1Char('|')), qPrintable(seen.last()));
        if (store().embedded)
            QVERIFY(errorOf([&] { store().execute("update 화물오더이력 set 새값='x'"); }));
    }

    void ownerSaveInsertsThenUpdates() {
        auto owner = [](const QByteArray& driver, const QByteArray& phone) {
            QByteArray s = "exec 차주수정  'demo','" + phone + "','" + driver + "','경기12바3456','윙바디','5톤'";
            for (int k = 7; k <= 21; ++k) s += ",'o" + QByteArray::number(k) + "'";
            return s + ",'9.6','50'";
        };
        store().execute(owner("홍길동", "010-1234-5678"));
        store().execute(owner("김철수", "01012345678"));   // the same owner: phones are kept as digits
        const auto rows = store().query("select 휴대전화, 기사명, 길이, 길이2, 예금주, 사업자번호 from 코드_차주");
        QCOMPARE(rows->rowCount(), 1);
        QCOMPARE(rows->text(0, 0), QStringLiteral("01012345678"));
        QCOMPARE(rows->text(0, 1), QStringLiteral("김철수"));
        QCOMPARE(rows->text(0, 2), QStringLiteral("9.6"));
        QCOMPARE(rows->text(0, 3), QStringLiteral("50"));
        QCOMPARE(rows->text(0, 4), QStringLiteral("o21"));
        QCOMPARE(rows->text(0, 5), QStringLiteral("o10"));
        // Stating the version shown, the owner is changed as long as nobody changed him since.
        const QString shown = cell(store(), "select 버전 from 코드_차주");
        store().execute(owner("박영희", "01012345678") + ",'" + shown.toUtf8() + "'");
        QCOMPARE(cell(store(), "select 기사명 from 코드_차주"), QStringLiteral("박영희"));
        QVERIFY(cell(store(), "select 버전 from 코드_차주").toLongLong() > shown.toLongLong());
        store().execute("exec 차주삭제  'demo','01012345678'");
        QCOMPARE(rowCount(store(), "select * from 코드_차주"), 0);
    }

    void shipperSaveTakesNextFreeCode_data() {
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QString>("deleted");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty store") << QStringList() << QString() << QStringLiteral("1001");
        QTest::newRow("after the highest") << QStringList{"1001", "1005", "1003"} << QString() << QStringLiteral("1006");
        QTest::newRow("non-numeric codes ignored") << QStringList{"1001", "A77", "12-3"} << QString() << QStringLiteral("1002");
        QTest::newRow("deleted code not reused") << QStringList{"1001", "1002"} << QStringLiteral("1002") << QStringLiteral("1003");
    }
    void shipperSaveTakesNextFreeCode() {
        QFETCH(QStringList, existing);
        QFETCH(QString, deleted);
        QFETCH(QString, expected);
        for (const QString& code : existing)
            store().execute("insert into 코드_화주 (코드, 화주명) values ('" + code.toUtf8() + "', 'x')");
        if (!deleted.isEmpty()) {
            store().execute(execWith("화주저장", 16));   // hands out the code after the highest
            store().execute("exec 화주삭제 '" + cell(store(), "select max(cast(코드 as integer)) from 코드_화주").toUtf8() + "'");
            store().execute("exec 화주삭제 '" + deleted.toUtf8() + "'");
        }
        store().execute(execWith("화주저장", 16));
        QCOMPARE(cell(store(), "select 코드 from 코드_화주 where ID=(select max(ID) from 코드_화주)"),
                 deleted.isEmpty() ? expected : QString::number(expected.toInt() + 1));
        QCOMPARE(cell(store(), "select 작성아이디||'/'||화주명||'/'||계산서담당전화 from 코드_화주 where ID=(select max(ID) from 코드_화주)"),
                 QStringLiteral("p1/p2/p16"));
    }

    void shipperModifyAndDelete() {
        store().execute(execWith("화주저장", 16));
        QByteArray modify = "exec 화주수정  '1001'";
        for (int k = 2; k <= 16; ++k) modify += ",'m" + QByteArray::number(k) + "'";
        store().execute(modify);
        QCOMPARE(cell(store(), "select 화주명||'/'||사업자번호||'/'||계산서담당전화||'/'||작성아이디 from 코드_화주 where 코드='1001'"),
                 QStringLiteral("m2/m6/m16/p1"));
        store().execute("exec 화주삭제  '1001'");
        QCOMPARE(rowCount(store(), "select * from 코드_화주"), 0);
    }

    void brokerSaveAndModify() {
        store().execute("exec 주선사저장  'kim','secret','김주선','0212345678','김대표','','1234567890','a1','a2','b','c','0','p1','p2'");
        QCOMPARE(cell(store(), "select 비밀번호||'/'||주선사명||'/'||사업자번호||'/'||우편주소2 from 코드_주선사 where 아이디='kim'"),
                 QStringLiteral("/김주선/1234567890/p2"));
        store().execute("exec 주선사수정  'kim','새이름','0299999999','박대표','','9876543210','x1','x2','y','z','1','q1','q2'");
        QCOMPARE(cell(store(), "select 주선사명||'/'||대표자||'/'||사업자번호||'/'||우편주소2 from 코드_주선사 where 아이디='kim'"),
                 QStringLiteral("새이름/박대표/9876543210/q2"));
        store().execute("update 로그인 set 비밀번호='abcd' where 아이디='kim'");
        store().execute("exec 주선사수정  'kim','새이름','0299999999','박대표','','9876543210','x1','x2','y','z','1','q1','q2'");
        // The broker table keeps only the mark of a set password; sign-in finds the password.
        QCOMPARE(cell(store(), "select 비밀번호 from 코드_주선사 where 아이디='kim'"), QStringLiteral("#"));
        QCOMPARE(cell(store(), "exec 로그인확인 'kim','abcd'"), QStringLiteral("확인"));

        const QString before = dump(store());
        // Sign-in names match without regard to case, so "KIM" is the same broker.
        const auto duplicate = errorOf([&] {
            store().execute("exec 주선사저장  'KIM','','다른','','','','','','','','','','',''");
        });
        QVERIFY(duplicate);
        QCOMPARE(duplicate->number, dstore::DB_E_INTEGRITYVIOLATION);
        QCOMPARE(dump(store()), before);
    }

    void loginViewWritesBrokerPassword() {
        store().execute("insert into 코드_주선사 (아이디, 비밀번호) values ('other', 'keep')");
        store().execute("update 로그인 set 비밀번호='n3w!' where 아이디='demo'");
        QCOMPARE(cell(store(), "select 비밀번호 from 코드_주선사 where 아이디='demo'"), QStringLiteral("#"));
        QCOMPARE(cell(store(), "select 비밀번호 from 로그인 where 아이디='demo'"), QStringLiteral("#"));
        QCOMPARE(cell(store(), "exec 로그인확인 'demo','n3w!'"), QStringLiteral("확인"));
        QCOMPARE(cell(store(), "exec 로그인확인 'other','keep'"), QStringLiteral("확인"));
        QCOMPARE(cell(store(), "exec 로그인확인 'other','n3w!'"), QStringLiteral("틀림"));
    }

    // A quote typed into a value goes in doubled and comes back as typed.
    void quoteRoundTrip() {
        QByteArray save = "exec 화주저장  'demo','O''Neil'";
        for (int k = 3; k <= 16; ++k) save += ",''";
        store().execute(save);
        const auto rows = store().query("select * from 코드_화주 where 1=1 and (화주명 like '%O''Neil%' or 연락처 like '%O''Neil%' "
                                        "and 회사명 like '%O''Neil%') order by 화주명");
        QCOMPARE(rows->rowCount(), 1);
        QCOMPARE(rows->text(0, rows->columnIndex("화주명")), QStringLiteral("O'Neil"));

        store().execute(orderSave([](int k) { return k == 12 ? QByteArray("O'Neil's yard") : distinctValue(k); }));
        QCOMPARE(cell(store(), "select 상차지 from 뷰_화물오더콜센터 where 1=1 and 날짜='v1' order by 날짜 desc, 배차시간, 오더상태 ,ID desc"),
                 QStringLiteral("O'Neil's yard"));
    }
};

DELMORA_TEST_MAIN(TestProcedures)
#include "tst_procedures.moc"
