// Demo data and the delmora-store tool: deterministic for a seed, today's board filled in
// every status, values shaped as the screens expect them; the tool creates, lists and runs
// procedures exactly as the client would.
#include "storetesthelp.h"
#include "testmain.h"

#include <QProcess>

using namespace storetest;
using dstore::FreightStore;

namespace {
const QDate kToday(2026, 3, 2);   // a Monday
}

class TestDemoData : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_serial = 0;
    std::unique_ptr<FreightStore> m_demo;

    std::unique_ptr<FreightStore> demoStore(int orders, quint32 seed) {
        auto store = FreightStore::create(m_dir.filePath(QStringLiteral("d%1.sqlite").arg(++m_serial)));
        dstore::fillDemoData(*store, dstore::DemoOptions{orders, seed, kToday});
        return store;
    }

    struct Run {
        int exitCode;
        QString out, err;
    };
    Run tool(const QStringList& arguments) {
        QProcess p;
        p.start(qEnvironmentVariable("DELMORA_STORE_TOOL"), arguments);
        if (!p.waitForFinished(120000)) return {-1, {}, QStringLiteral("tool did not finish")};
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
                QString::fromUtf8(p.readAllStandardError())};
    }

private Q_SLOTS:
    void initTestCase() { m_demo = demoStore(3000, 1); }
    void cleanupTestCase() { m_demo.reset(); }

    void sameSeedSameStore() {
        const QString first = dump(*demoStore(400, 7));
        QCOMPARE(dump(*demoStore(400, 7)), first);
        QVERIFY(dump(*demoStore(400, 8)) != first);
    }

    void todaysBoardHasEveryStatus_data() {
        QTest::addColumn<int>("orders");
        QTest::newRow("a handful") << 5;
        QTest::newRow("default") << 3000;
    }
    void todaysBoardHasEveryStatus() {
        QFETCH(int, orders);
        auto store = orders == 3000 ? std::move(m_demo) : demoStore(orders, 3);
        const QByteArray today = kToday.toString(QStringLiteral("yyyy-MM-dd")).toUtf8();
        QVERIFY(cell(*store, "select count(*) from 화물오더 where 날짜='" + today + "'").toInt() >= 30);
        QCOMPARE(cell(*store, "select count(distinct 오더상태) from 화물오더 where 날짜='" + today +
                                  "' and 오더상태 in ('접수','미처리','배차완료','운송완료','계산서','정산완료','취소')"),
                 QStringLiteral("7"));
        QVERIFY(cell(*store, "select count(*) from 화물오더").toInt() >= orders);
        if (orders == 3000) m_demo = std::move(store);
    }

    // Each query counts the rows that break a rule the screens rely on; every count must be 0.
    void valuesAreShapedAsTheScreensExpect_data() {
        QTest::addColumn<QByteArray>("violations");
        QTest::newRow("owner phones 010 + 8 digits") << QByteArray(
            "select count(*) from 코드_차주 where 휴대전화 not glob '010[0-9][0-9][0-9][0-9][0-9][0-9][0-9][0-9]'");
        QTest::newRow("business numbers 10 digits") << QByteArray(
            "select count(*) from (select 사업자번호 from 코드_화주 union all select 사업자번호 from 코드_차주 union all "
            "select 사업자번호 from 코드_주선사) where length(사업자번호) <> 10 or 사업자번호 glob '*[^0-9]*'");
        QTest::newRow("shipper phones digits") << QByteArray("select count(*) from 코드_화주 where 연락처 glob '*[^0-9]*'");
        QTest::newRow("dispatched orders name their vehicle") << QByteArray(
            "select count(*) from 화물오더 where 오더상태 in ('배차완료','운송완료','계산서','정산완료') and (배차시간 is null "
            "or 차주명 is null or 차주연락처 is null or 차량번호 is null or 차량정보 is null or 차량톤수 is null "
            "or 차량길이 is null or 차량길이2 is null)");
        QTest::newRow("waiting orders have no vehicle") << QByteArray(
            "select count(*) from 화물오더 where 오더상태 in ('접수','미처리') and 배차시간 is not null");
        QTest::newRow("dispatch time yyyy-mm-dd hh:MM:ss") << QByteArray(
            "select count(*) from 화물오더 where 배차시간 not glob "
            "'[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9] [0-9][0-9]:[0-9][0-9]:[0-9][0-9]'");
        QTest::newRow("request times on half hours") << QByteArray(
            "select count(*) from 화물오더 where substr(상차요청일시, 15) not in ('00', '30') or substr(하차요청일시, 15) not in ('00', '30') "
            "or length(상차요청일시) <> 16 or length(하차요청일시) <> 16");
        QTest::newRow("regions from the board's list") << QByteArray(
            "select count(*) from 화물오더 where 상차권역 not in ('서울','경기','인천','충북','충남','전북','전남','광주','경북',"
            "'경남','강원','대전','세종','대구','울산','부산') or 하차권역 = 상차권역");
        QTest::newRow("orders within the last 60 days") << QByteArray(
            "select count(*) from 화물오더 where 날짜 < '2026-01-02' or 날짜 > '2026-03-02'");
        QTest::newRow("unpaid is the empty text") << QByteArray("select count(*) from 화물오더 where 결제일 is null");
        QTest::newRow("some settled orders paid") << QByteArray(
            "select count(*) = 0 from 화물오더 where 오더상태 = '정산완료' and 결제일 <> ''");
        QTest::newRow("tax invoices listed") << QByteArray("select count(*) = 0 from 뷰_세금계산서");
        QTest::newRow("invoice totals add up") << QByteArray(
            "select count(*) from 뷰_세금계산서 where cast(총금액 as integer) <> cast(공급가액 as integer) + cast(세액 as integer)");
        QTest::newRow("every region in the address directory") << QByteArray(
            "select 16 - count(distinct SIDO) from 뷰_좌표주소 where SIDO in ('서울','경기','인천','충북','충남','전북','전남',"
            "'광주','경북','경남','강원','대전','세종','대구','울산','부산')");
        QTest::newRow("directory holds places outside the regions") << QByteArray(
            "select count(*) = 0 from 뷰_좌표주소 where SIDO = '제주'");
        QTest::newRow("ADDR is the full text") << QByteArray(
            "select count(*) from 뷰_좌표주소 where ADDR <> SIDO || ' ' || SIGUNGU || ' ' || UPMYENDONG");
        QTest::newRow("demo signs in first without a password") << QByteArray(
            "select count(*) from 코드_주선사 where 아이디 = 'demo' and 비밀번호 <> ''");
        QTest::newRow("other brokers have passwords") << QByteArray(
            "select count(*) from 코드_주선사 where 아이디 <> 'demo' and 비밀번호 = ''");
        // A demo record opened in a screen and saved again must keep its values, so they come
        // from the screens' lists: the owner pop-up's 톤수 and 차종, the board's 희망톤수.
        QTest::newRow("owner tonnage and kind from the pop-up's lists") << QByteArray(
            "select count(*) from 코드_차주 where 톤수 not in ('1톤','1.5톤','2톤','3톤','3.5톤','5톤','8톤','11톤','14톤',"
            "'15톤','18톤','25톤') or 차종 not in ('윙바디','다마스','롤업','카고') or (차종='다마스' and 톤수<>'1톤')");
        QTest::newRow("wanted tonnage and kind from the board's lists") << QByteArray(
            "select count(*) from 화물오더 where 희망톤수 not in ('3.5톤','5톤','11톤','25톤') or 희망차종 not in "
            "('윙바디','다마스','롤업','카고')");
        QTest::newRow("no second length of 0") << QByteArray(
            "select count(*) from 코드_차주 where 길이2='0' or 길이='' or 길이 glob '*[^0-9.]*'");
        QTest::newRow("the vehicle sent is the one asked for") << QByteArray(
            "select count(*) from 화물오더 where 배차시간 is not null and (replace(차량톤수,'톤','')||'톤' <> 희망톤수 or "
            "차량정보 <> 희망차종 or 차량번호 <> (select 차량번호 from 코드_차주 where 휴대전화=차주연락처))");
        QTest::newRow("dispatched after taken, before a same-day loading") << QByteArray(
            "select count(*) from 화물오더 where 배차시간 <= 기록일시 or (substr(상차요청일시,1,10)=날짜 and "
            "substr(배차시간,1,16) >= 상차요청일시)");
        QTest::newRow("orders carry their broker's phone") << QByteArray(
            "select count(*) from 화물오더 where 작성자연락처 is not (select 연락처 from 코드_주선사 where 아이디=작성아이디)");
        QTest::newRow("invoice supplier is the member as recorded") << QByteArray(
            "select count(*) from 세금계산서 i left join 코드_차주 c on c.휴대전화=i.휴대전화 where c.ID is null or "
            "i.공급자사업자번호<>c.사업자번호 or i.공급자상호<>c.회사명 or i.공급자대표자<>c.대표자 or "
            "i.공급자주소<>c.주소1||' '||c.주소2 or i.기사명<>c.기사명 or i.차량번호<>c.차량번호");
        QTest::newRow("invoice receiver is the broker as recorded") << QByteArray(
            "select count(*) from 세금계산서 i join 화물오더 o on o.ID=i.오더ID join 코드_주선사 b on b.아이디=o.작성아이디 "
            "where i.받는자사업자번호<>b.사업자번호 or i.받는자상호<>b.주선사명 or i.받는자대표자<>b.대표자 or "
            "i.받는자주소<>b.주소1||' '||b.주소2");
        QTest::newRow("invoice of an invoiced order, amounts as charged") << QByteArray(
            "select count(*) from 세금계산서 i left join 화물오더 o on o.ID=i.오더ID where o.ID is null or o.오더상태 not in "
            "('계산서','정산완료') or o.계산서날짜<>i.작성일자 or i.공급가액<>o.운송비 or cast(i.세액 as integer)*10 <> "
            "cast(i.공급가액 as integer) or i.공급가액1<>i.공급가액 or i.세액1<>i.세액 or i.품목일자1<>substr(i.작성일자,6)");
        QTest::newRow("shipper codes typed on orders exist") << QByteArray(
            "select count(*) from 화물오더 where 화주코드 <> '' and 화주코드 not in (select 코드 from 코드_화주)");
    }
    void valuesAreShapedAsTheScreensExpect() {
        QFETCH(QByteArray, violations);
        QCOMPARE(cell(*m_demo, violations), QStringLiteral("0"));
    }

    void toolCreatesListsAndRunsProcedures() {
        if (qEnvironmentVariableIsEmpty("DELMORA_STORE_TOOL")) QSKIP("DELMORA_STORE_TOOL is not set");
        const QString path = m_dir.filePath(QStringLiteral("tool.sqlite"));
        QCOMPARE(tool({"init", path, "--demo"}).exitCode, 0);
        const Run again = tool({"init", path, "--demo"});
        QCOMPARE(again.exitCode, 1);
        QVERIFY2(again.err.contains(QStringLiteral("exists already")), qPrintable(again.err));

        const QString today = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
        const QString board = QStringLiteral("select * from 뷰_화물오더콜센터 where 1=1 and 날짜='%1' order by 날짜 desc, 배차시간, 오더상태 ,ID desc").arg(today);
        const Run listed = tool({"sql", path, board});
        QCOMPARE(listed.exitCode, 0);
        QStringList lines = listed.out.split('\n', Qt::SkipEmptyParts);
        QVERIFY(lines.first().startsWith(QStringLiteral("ID\t날짜\t오더상태\t")));
        const int before = int(lines.size()) - 1;
        QVERIFY(before >= 30);

        QString save = QStringLiteral("exec 오더저장  '%1','접수','demo','델모라','델모라','0215880000','','O''Neil','','%1 09:30',"
                                      "'서울','강남구 역삼동','','지게차','','','%1 18:00','부산','강서구 녹산동','','지게차','',''"
                                      ",'5톤','윙바디','5톤',1,1,'전자부품','',1,350000,0,'','','','','','','','','','','',''")
                           .arg(today);
        const Run refused = tool({"sql", path, save + QStringLiteral(",''")});   // 46 arguments
        QVERIFY(refused.exitCode != 0);
        QVERIFY2(refused.err.contains(QStringLiteral("-2147217900")) && refused.err.contains(QStringLiteral("@p47")),
                 qPrintable(refused.err));
        QCOMPARE(tool({"sql", path, board}).out.split('\n', Qt::SkipEmptyParts).size() - 1, before);

        const Run saved = tool({"sql", path, save + QStringLiteral(",'',''")});   // 47 arguments
        QCOMPARE(saved.exitCode, 0);
        lines = tool({"sql", path, board}).out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size() - 1, before + 1);
        QVERIFY(listed.out.count(QStringLiteral("O'Neil")) + 1 == tool({"sql", path, board}).out.count(QStringLiteral("O'Neil")));
    }
};

DELMORA_TEST_MAIN(TestDemoData)
#include "tst_demodata.moc"
