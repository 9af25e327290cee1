// The board's statements, compared with the texts the store expects, byte for byte.
#include "freightstore.h"
#include "orderstatements.h"
#include "testmain.h"

#include <QMap>

using namespace OrderSql;

class OrderStatementsTest : public QObject {
    Q_OBJECT
private:
    static std::array<bool, 7> Ticked(const QString& marks) {
        std::array<bool, 7> t{};
        for (int i = 0; i < 7 && i < marks.size(); ++i)
            t[size_t(i)] = marks.at(i) == QLatin1Char('x');
        return t;
    }
    static OrderEntry FullEntry() {
        OrderEntry e;
        e.day = QStringLiteral("2026-12-09");
        e.loadAt = QStringLiteral("2026-12-09 09:30");
        e.상차권역 = QStringLiteral("서울");
        e.상차지 = QStringLiteral("강남구 O'Neil 창고");
        e.unloadAt = QStringLiteral("2026-12-10 14:00");
        e.하차권역 = QStringLiteral("부산");
        e.하차지 = QStringLiteral("해운대구 'A동'");
        e.희망톤수 = QStringLiteral("11톤");
        e.차종 = QStringLiteral("카고");
        e.weight = QStringLiteral("5톤");
        e.vehicles = 2;
        e.runKind = 3;
        e.제품정보 = QStringLiteral("박스 '취급주의'");
        e.fareKind = 2;
        e.amount = 350000;
        e.화주코드 = QStringLiteral("S'01");
        return e;
    }
    static Broker TheBroker() {
        return {QStringLiteral("demo"), QStringLiteral("델모라주선"), QStringLiteral("0212345678"), std::nullopt};
    }
    static Shipper TheShipper() {
        Shipper s;
        s.사업자번호 = QStringLiteral("1234567890");
        s.화주명 = QStringLiteral("오'뚜기");
        s.연락처 = QStringLiteral("0311112222");
        s.대표자 = QStringLiteral("홍길동");
        s.업태 = QStringLiteral("제조");
        s.종목 = QStringLiteral("식품");
        s.우편번호 = QStringLiteral("06236");
        s.주소1 = QStringLiteral("서울 강남구");
        s.주소2 = QStringLiteral("1층");
        s.계산서담당 = QStringLiteral("김담당");
        s.이메일 = QStringLiteral("a@b.kr");
        return s;
    }

private slots:
    void listStatement_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("search");
        QTest::addColumn<QString>("marks");
        QTest::addColumn<QString>("expected");
        const QString head = QStringLiteral("select * from 뷰_화물오더콜센터 where 1=1");
        const QString tail = QStringLiteral(" order by 날짜 desc, 배차시간, 오더상태 ,ID desc");
        const QString day = QStringLiteral(" and 날짜='2026-12-08'");
        QTest::newRow("day, none ticked") << ""
                                          << ""
                                          << ""
                                          << "......." << head + day + tail;
        QTest::newRow("day, 접수 and 미처리")
            << ""
            << ""
            << ""
            << "xx....."
            << "select * from 뷰_화물오더콜센터 where 1=1 and 날짜='2026-12-08' and ( 오더상태='접수' or "
               "오더상태='미처리' ) "
               "order by 날짜 desc, 배차시간, 오더상태 ,ID desc";
        QTest::newRow("day, only 취소") << ""
                                        << ""
                                        << ""
                                        << "......x" << head + day + " and ( 오더상태='취소' )" + tail;
        QTest::newRow("day, all") << ""
                                  << ""
                                  << ""
                                  << "xxxxxxx"
                                  << head + day +
                                         " and ( 오더상태='접수' or 오더상태='미처리' or 오더상태='배차완료' "
                                         "or 오더상태='운송완료' or "
                                         "오더상태='계산서' or 오더상태='정산완료' or 오더상태='취소' )" +
                                         tail;
        QTest::newRow("day ignores the search")
            << ""
            << "2026-12-31"
            << "12가"
            << "x......" << head + day + " and ( 오더상태='접수' )" + tail;
        const QString period = QStringLiteral(" and 날짜>='2026-12-01' and 날짜<='2026-12-31'");
        QTest::newRow("period, none ticked") << "2026-12-01"
                                             << "2026-12-31"
                                             << ""
                                             << "......." << head + period + tail;
        QTest::newRow("period with search")
            << "2026-12-01"
            << "2026-12-31"
            << "12가"
            << "xx....."
            << head + period +
                   " and (차량번호 like '%12가%' or 차주명 like '%12가%' or replace(replace(차주연락처,'-',''),' ','') like '%12가%')"
                   " and ( 오더상태='접수' or 오더상태='미처리' )" +
                   tail;
        QTest::newRow("period, a quote in the search")
            << "2026-12-01"
            << "2026-12-31"
            << "O'"
            << "......."
            << head + period +
                   " and (차량번호 like '%O''%' or 차주명 like '%O''%' or replace(replace(차주연락처,'-',''),' ','') like '%O''%')" + tail;
    }
    void listStatement() {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QString, search);
        QFETCH(QString, marks);
        QFETCH(QString, expected);
        ListFilter f;
        f.from = from;
        f.to = to;
        f.search = search;
        f.day = QStringLiteral("2026-12-08");
        f.ticked = Ticked(marks);
        QCOMPARE(OrderListStatement(f), expected);
    }

    void singleStatements_data() {
        QTest::addColumn<QString>("actual");
        QTest::addColumn<QString>("expected");
        QTest::newRow("shipper") << ShipperLookupStatement(QStringLiteral("S'01"))
                                 << QStringLiteral("select * from 코드_화주 where 코드='S''01'");
        QTest::newRow("order") << OrderByIdStatement(42)
                               << QStringLiteral("select * from 화물오더 where ID=42");
        QTest::newRow("cancel order") << CancelOrderStatement(42) << QStringLiteral("exec 오더취소  42");
        QTest::newRow("cancel dispatch") << CancelDispatchStatement(7) << QStringLiteral("exec 배차취소  7");
        QTest::newRow("lookup") << AddressLookupStatement(QStringLiteral("역삼"))
                                << QStringLiteral("select SIDO ,SIGUNGU , UPMYENDONG from 뷰_좌표주소 where "
                                                  "ADDR like '%역삼%' group by SIDO, "
                                                  "SIGUNGU, UPMYENDONG order by SIGUNGU, UPMYENDONG, SIDO");
        QTest::newRow("lookup with a quote")
            << AddressLookupStatement(QStringLiteral("a'b"))
            << QStringLiteral("select SIDO ,SIGUNGU , UPMYENDONG from 뷰_좌표주소 where ADDR like '%a''b%' "
                              "group by SIDO, "
                              "SIGUNGU, UPMYENDONG order by SIGUNGU, UPMYENDONG, SIDO");
        QTest::newRow("전광주 is 광주")
            << AddressSearchText(QStringLiteral("  전광주 서구 ")) << QStringLiteral("광주 서구");
    }
    void singleStatements() {
        QFETCH(QString, actual);
        QFETCH(QString, expected);
        QCOMPARE(actual, expected);
    }

    void saveWithoutShipper() {
        const QString expected = QStringLiteral(
            "exec 오더저장  '2026-12-09','접수','demo','델모라주선','델모라주선','0212345678','','','',"
            "'2026-12-09 09:30','서울','강남구 O''Neil 창고','','지게차','','',"
            "'2026-12-10 14:00','부산','해운대구 ''A동''','','지게차','','',"
            "'11톤','카고','5톤',2,3,'박스 ''취급주의''','',2,350000,0,'','S''01',"
            "'','','','','','','','','','','',''");
        QCOMPARE(SaveOrderStatement(FullEntry(), TheBroker(), Shipper{}), expected);
    }

    void saveAndModifyArguments() {
        // The store's own parser counts the arguments and gives back the values as typed.
        const auto save =
            dstore::parseExec(SaveOrderStatement(FullEntry(), TheBroker(), TheShipper()).toUtf8());
        QCOMPARE(save.procedure, QByteArray("오더저장"));
        QCOMPARE(int(save.arguments.size()), 47);
        auto arg = [](const dstore::ExecCall& c, int n) {
            return QString::fromUtf8(c.arguments[size_t(n - 1)].text);
        };
        QCOMPARE(arg(save, 7), QStringLiteral("1234567890"));
        QCOMPARE(arg(save, 8), QStringLiteral("오'뚜기"));
        QCOMPARE(arg(save, 12), QStringLiteral("강남구 O'Neil 창고"));
        QCOMPARE(arg(save, 29), QStringLiteral("박스 '취급주의'"));
        QCOMPARE(arg(save, 35), QStringLiteral("S'01"));
        QCOMPARE(arg(save, 37), QStringLiteral("오'뚜기"));
        QCOMPARE(arg(save, 42), QStringLiteral("1층"));
        QCOMPARE(arg(save, 46), QStringLiteral("김담당"));
        QCOMPARE(arg(save, 47), QStringLiteral("a@b.kr"));
        for (int bare : {27, 28, 31, 32, 33})
            QVERIFY2(!save.arguments[size_t(bare - 1)].quoted, qPrintable(QString::number(bare)));

        const QString modifyText = ModifyOrderStatement(15, FullEntry(), TheBroker(), TheShipper());
        QVERIFY(modifyText.startsWith(QStringLiteral("exec 오더수정  15,'2026-12-09','접수',")));
        QVERIFY(modifyText.endsWith(QStringLiteral(",'1층','','','','','','','','','','김담당','a@b.kr'")));
        const auto modify = dstore::parseExec(modifyText.toUtf8());
        QCOMPARE(int(modify.arguments.size()), 54);
        QCOMPARE(modify.arguments[0].text, QByteArray("15"));
        QVERIFY(!modify.arguments[0].quoted);
        for (int k = 1; k <= 42; ++k)
            QCOMPARE(modify.arguments[size_t(k)].text, save.arguments[size_t(k - 1)].text);
    }

    // A stored order sent back unchanged reaches the store's columns as they were read.
    void storedOrderGoesBackAsRead() {
        const QMap<QString, QString> stored = {
            {"날짜", "2026-12-03"},        {"작성아이디", "other"},      {"작성회사명", "한빛주선"},
            {"작성자명", "김상담"},        {"작성자연락처", "0299998888"}, {"화주명", "옛'이름"},
            {"화주상호", "옛상호"},        {"화주사업자번호", "999"},    {"상차요청일시", "2026-12-03 14:45"},
            {"상차지상세", "B동"},         {"상차방법", "수작업"},       {"차량대수", "3"},
            {"적재구분", "2"},             {"운임구분", "2"},            {"운송비", "300000"},
            {"수수료", "15000"},           {"비고", "야간"},             {"화주코드", "S1"},
            {"예비3", "z"},                {"화주이메일", "a@b.kr"},     {"희망차종", "탑차"}};
        const FieldReader field = [&](const QString& column) { return stored.value(column); };
        const OrderEntry entry = StoredEntry(field);
        const auto call =
            dstore::parseExec(ModifyOrderStatement(7, KeepUnchanged(entry, &entry, entry), StoredWriter(field),
                                                   StoredShipper(field))
                                  .toUtf8());
        QCOMPARE(int(call.arguments.size()), 54);
        // Argument k of 오더저장 is argument k + 1 here (the ID comes first).
        const QMap<int, QString> expected = {
            {1, "2026-12-03"}, {3, "other"},   {4, "한빛주선"},  {5, "김상담"},          {6, "0299998888"},
            {7, "999"},        {8, "옛'이름"}, {10, "2026-12-03 14:45"}, {13, "B동"}, {14, "수작업"},
            {25, "탑차"},      {27, "3"},      {28, "2"},        {31, "2"},              {32, "300000"},
            {33, "15000"},     {34, "야간"},   {35, "S1"},       {37, "옛상호"},          {45, "z"},
            {53, "a@b.kr"}};
        for (auto it = expected.cbegin(); it != expected.cend(); ++it)
            QCOMPARE(QString::fromUtf8(call.arguments[size_t(it.key())].text), it.value());
    }

    // Each field the agent changed wins over the stored one; the rest stays as stored.
    void keepUnchanged_data() {
        QTest::addColumn<QString>("changed");
        QTest::newRow("nothing") << "";
        QTest::newRow("amount") << "amount";
        QTest::newRow("loading time") << "loadAt";
        QTest::newRow("vehicles") << "vehicles";
        QTest::newRow("kind") << "차종";
        QTest::newRow("shipper code") << "화주코드";
    }
    void keepUnchanged() {
        QFETCH(QString, changed);
        OrderEntry stored = FullEntry();
        stored.day = QStringLiteral("2026-12-01");
        stored.vehicles = 3;
        stored.loadAt = QStringLiteral("2026-12-01 14:45");
        stored.차종 = QStringLiteral("탑차");
        stored.weight = QStringLiteral("5");
        stored.수수료 = 15000;
        stored.비고 = QStringLiteral("메모");
        // As the panel showed it: rounded, first entries, the board's day, a unit added.
        OrderEntry shown = FullEntry();
        OrderEntry now = shown;
        if (changed == "amount") now.amount = 1;
        if (changed == "loadAt") now.loadAt = QStringLiteral("2026-12-01 16:00");
        if (changed == "vehicles") now.vehicles = 9;
        if (changed == "차종") now.차종 = QStringLiteral("롤업");
        if (changed == "화주코드") now.화주코드 = QStringLiteral("S2");
        const OrderEntry sent = KeepUnchanged(stored, &shown, now);
        QCOMPARE(sent.day, stored.day);
        QCOMPARE(sent.수수료, stored.수수료);
        QCOMPARE(sent.비고, stored.비고);
        QCOMPARE(sent.weight, stored.weight);
        QCOMPARE(sent.amount, changed == "amount" ? now.amount : stored.amount);
        QCOMPARE(sent.loadAt, changed == "loadAt" ? now.loadAt : stored.loadAt);
        QCOMPARE(sent.vehicles, changed == "vehicles" ? now.vehicles : stored.vehicles);
        QCOMPARE(sent.차종, changed == "차종" ? now.차종 : stored.차종);
        QCOMPARE(sent.화주코드, changed == "화주코드" ? now.화주코드 : stored.화주코드);
        // Without a shown state every panel value counts, the date and hidden details do not.
        const OrderEntry typed = KeepUnchanged(stored, nullptr, now);
        QCOMPARE(typed.amount, now.amount);
        QCOMPARE(typed.차종, now.차종);
        QCOMPARE(typed.day, stored.day);
        QCOMPARE(typed.비고, stored.비고);
    }
};

DELMORA_TEST_MAIN(OrderStatementsTest)
#include "tst_orderstatements.moc"
