// Every statement the screens send, written exactly as the screens write it, run against a
// demo store: each one must run, name the columns the screen reads, and answer with rows a
// screen would show. Writes are checked through the columns the screens read back, so an
// argument landing in the wrong column shows up here. Every case runs against the embedded
// store and against the same demo office on PostgreSQL (a private cluster for the run): the
// client sends the same text to both.
#include "orderstatements.h"
#include "pgcluster.h"
#include "pgstore.h"
#include "storetesthelp.h"
#include "storetexts.h"
#include "testmain.h"

#include <QFile>
#include <QRegularExpression>
#include <tuple>

using namespace storetest;
using dstore::FreightStore;

namespace {

const QDate kToday(2026, 3, 18);   // a Wednesday

// Columns each screen reads from its rows.
const QStringList kBoardColumns = {"ID", "날짜", "오더상태", "상차권역", "상차지", "하차권역", "하차지", "화물정보1",
                                   "희망톤수", "운송비", "차주명", "차주연락처", "차량번호", "차량정보", "차량톤수",
                                   "차량길이", "차량길이2", "배차시간", "상차요청일시", "하차요청일시"};
const QStringList kRequestColumns = {"날짜", "상차권역", "상차지", "하차권역", "하차지", "상차요청일시", "하차요청일시",
                                     "적재구분", "희망톤수", "운임구분", "희망차종", "운송비", "화물정보1"};
const QStringList kVehicleColumns = {"배차시간", "차주명", "차주연락처", "차량번호", "차량정보", "차량톤수", "차량길이"};
const QStringList kInquiryColumns = {"ID", "날짜", "오더상태", "상차권역", "상차지", "하차권역", "하차지", "화물정보1",
                                     "화물중량", "운송비", "배차시간", "상차요청일시", "하차요청일시", "차주명",
                                     "차주연락처", "차량번호", "차량정보", "차량톤수", "차량길이"};
const QStringList kSettlementColumns = {"ID", "일련번호", "날짜", "오더상태", "작성아이디", "작성회사명", "차주아이디",
                                        "차량번호", "차주명", "차주연락처", "상차권역", "상차지", "하차권역", "하차지",
                                        "운송비", "수수료", "인수증날짜", "계산서날짜", "결제일", "기록일시"};
const QStringList kInvoiceListColumns = {"Id", "발행일시", "기사명", "휴대전화", "차량번호", "이메일", "품목명1",
                                         "공급가액", "세액", "총금액", "승인번호", "niceStatus", "DocStatus"};
const QStringList kInvoiceColumns = {"작성일자", "공급가액", "세액", "공급자사업자번호", "공급자상호", "공급자대표자",
                                     "공급자주소", "공급자업태", "공급자종목", "받는자사업자번호", "받는자상호",
                                     "받는자대표자", "받는자주소", "받는자업태", "받는자종목", "받는자담당",
                                     "받는자이메일", "품목일자1", "품목명1", "공급가액1", "세액1"};
const QStringList kOwnerColumns = {"아이디", "휴대전화", "기사명", "차량번호", "차종", "톤수", "연락처", "회사명", "대표자",
                                   "사업자번호", "업태", "종목", "이메일", "주소1", "주소2", "우편번호", "우편주소1",
                                   "우편주소2", "은행명", "계좌번호", "예금주", "길이"};
const QStringList kShipperColumns = {"Id", "코드", "화주명", "연락처", "회사명", "대표자", "사업자번호", "주소1", "주소2",
                                     "업태", "종목", "우편번호", "우편주소1", "우편주소2", "이메일", "계산서담당",
                                     "계산서담당전화"};
const QStringList kBrokerColumns = {"Id", "아이디", "주선사명", "연락처", "대표자", "사업자번호", "주소1", "주소2", "업태",
                                    "종목", "우편번호", "우편주소1", "우편주소2"};

const char* const kAllStatuses = " and ( 오더상태='접수' or 오더상태='미처리' or 오더상태='배차완료' or 오더상태='운송완료' "
                                 "or 오더상태='계산서' or 오더상태='정산완료' or 오더상태='취소' )";
const char* const kBoardOrder = " order by 날짜 desc, 배차시간, 오더상태 ,ID desc";

// "exec NAME" and its arguments as the master pop-ups write them: every value quoted.
QByteArray quotedCall(const QByteArray& name, const QList<QByteArray>& arguments) {
    QByteArray s = "exec " + name + " ";
    for (int i = 0; i < arguments.size(); ++i) s += (i ? ",'" : " '") + arguments[i] + "'";
    return s;
}

// The board's registration (47 arguments) and modification (ID + 53) of one order.
QByteArray orderArguments(bool modify) {
    QByteArray s = "'{today}','접수','demo','델모라콜센터','델모라콜센터','0212345678','1234567890','가온상사',"
                   "'0317654321','{today} 09:30','서울','강남구 역삼동','','지게차','','','{tomorrow} 14:00','부산',"
                   "'강서구 녹산동','','지게차','','','5톤','윙바디','5톤',1,2,'전자부품','',2,350000,0,'','1001','김대표',"
                   "'가온상사','제조','상사','06236','서울 강남구 역삼동','123-4'";
    s += modify ? ",'','','','','','','','',''" : ",'','',''";
    return s + ",'박담당','tax@gaon.co.kr'";
}

} // namespace

class TestScreenStatements : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_demoPath;
    std::unique_ptr<FreightStore> m_store;
    AnyStore m_embedded;
    AnyStore m_server;  // the demo office on PostgreSQL; empty without a server
    inline static const QString kDesk = QStringLiteral("screen_desk"); // the login the statements run as
    QString m_noServer; // why there is none
    QHash<QByteArray, QByteArray> m_values;
    int m_serial = 0;
    QString m_rowBackend;

    static QStringList backends() { return {QStringLiteral("embedded"), QStringLiteral("postgresql")}; }
    // A data row of the backend being listed, named after it.
    QTestData& row(const char* name) {
        return QTest::newRow(qPrintable(m_rowBackend + QStringLiteral(": ") + QString::fromUtf8(name)))
               << m_rowBackend;
    }
    // The store a row runs against; skips the row when there is no server to run it on.
    bool storeFor(const QString& backend, AnyStore*& store) {
        if (backend == QLatin1String("embedded")) {
            store = &m_embedded;
            return true;
        }
        store = &m_server;
        return static_cast<bool>(m_server.server);
    }
    // A fresh copy of the demo office to write to.
    AnyStore freshCopy(const QString& backend) {
        AnyStore copy;
        const QString name = QStringLiteral("w%1").arg(++m_serial);
        if (backend == QLatin1String("embedded")) {
            const QString path = m_dir.filePath(name + QStringLiteral(".sqlite"));
            if (QFile::copy(m_demoPath, path)) copy.embedded = FreightStore::open(path);
            return copy;
        }
        PgCluster* cluster = PgCluster::instance();
        QString error;
        if (cluster && cluster->createDatabase(name, QStringLiteral("demo"), &error))
            copy.server = dstore::PgStore::open(cluster->uri(name), kDesk);
        else
            qWarning("%s", qPrintable(error));
        return copy;
    }

    // The statement with its {placeholders} replaced by days and keys of the demo store.
    QByteArray fill(QByteArray statement) const {
        for (auto it = m_values.cbegin(); it != m_values.cend(); ++it) statement.replace("{" + it.key() + "}", it.value());
        if (statement.contains('{')) qFatal("unfilled placeholder in %s", statement.constData());
        return statement;
    }
    // Names in Latin letters, written the same way into both demo offices: two shippers of the
    // same name and an owner on a dispatched order.
    template <class Store> static void addLatinNames(Store& store) {
        for (const char* phone : {"0611110001", "0611110002"})
            store.query(quotedCall("화주저장", {"demo", "LG Chem 여수공장", phone, "LG Chem", "Park", "1112233333",
                                                "a1", "a2", "b", "c", "12345", "p1", "p2", "lg@example.com", "Lee",
                                                "0611110009"}));
        store.query("update 화물오더 set 차주명='Kim Minsu' where ID=(select max(ID) from 화물오더 where "
                    "오더상태='배차완료' and 날짜>='2026-03-01')");
        store.query("update 코드_화주 set 기록일시='2026-03-18 09:00:00' where 화주명 like 'LG Chem%'");
    }
    QByteArray key(const QByteArray& sql) {
        const QString v = cell(*m_store, sql);
        if (v.isEmpty()) qFatal("the demo store has no row for %s", sql.constData());
        return v.toUtf8();
    }

private Q_SLOTS:
    void initTestCase() {
        m_demoPath = m_dir.filePath(QStringLiteral("demo.sqlite"));
        {
            auto created = FreightStore::create(m_demoPath);
            dstore::fillDemoData(*created, dstore::DemoOptions{3000, 1, kToday});
        }
        m_store = FreightStore::open(m_demoPath);
        addLatinNames(*m_store);
        m_embedded.embedded = FreightStore::open(m_demoPath);
        // The same office on the server: same seed, same day, so the same keys.
        if (PgCluster* cluster = PgCluster::instance(&m_noServer)) {
            QString error;
            QVERIFY2(cluster->createDatabase(QStringLiteral("demo"), {}, &error), qPrintable(error));
            {
                auto created = dstore::PgStore::open(cluster->uri(QStringLiteral("demo")));
                created->createSchema();
                dstore::fillDemoData(*created->demoTarget(), dstore::DemoOptions{3000, 1, kToday});
                // The screens' statements run as a desk does: a member of the desk group, which
                // may do what the screens do and nothing more.
                created->grantDesks(QStringLiteral("delmora_desk"));
                addLatinNames(*created);
                created->execute("create role " + kDesk.toUtf8() + " login in role delmora_desk");
            }
            QVERIFY2(cluster->createDatabase(QStringLiteral("reads"), QStringLiteral("demo"), &error),
                     qPrintable(error));
            m_server.server = dstore::PgStore::open(cluster->uri(QStringLiteral("reads")), kDesk);
        }
        m_values["today"] = kToday.toString(Qt::ISODate).toUtf8();
        m_values["tomorrow"] = kToday.addDays(1).toString(Qt::ISODate).toUtf8();
        m_values["monthStart"] = QDate(kToday.year(), kToday.month(), 1).toString(Qt::ISODate).toUtf8();
        m_values["dispatched"] = key("select max(ID) from 화물오더 where 오더상태='배차완료'");
        m_values["waiting"] = key("select max(ID) from 화물오더 where 오더상태='접수'");
        m_values["deliveredUnpaid"] = key("select max(ID) from 화물오더 where 오더상태='운송완료' and 결제일=''");
        m_values["plate"] = key("select substr(차량번호, -4) from 화물오더 where ID=" + m_values["dispatched"]);
        m_values["driver"] = key("select substr(차주명, 1, 1) from 화물오더 where ID=" + m_values["dispatched"]);
        m_values["invoice"] = key("select min(ID) from 세금계산서");
        m_values["invoicePhone"] = key("select substr(휴대전화, -4) from 세금계산서 where ID=" + m_values["invoice"]);
        m_values["ownerPhone"] = key("select 휴대전화 from 코드_차주 order by 휴대전화 limit 1");
        m_values["ownerBroker"] = key("select 아이디 from 코드_차주 order by 휴대전화 limit 1");
        m_values["shipperId"] = key("select ID from 코드_화주 where 코드='1001'");
        m_values["brokerId"] = key("select ID from 코드_주선사 where 아이디='hanul'");
        // The shipper with the most lanes in the days the board's lane list looks back.
        m_values["busyShipper"] = key("select 화주코드 from 화물오더 where 화주코드<>'' and 날짜>'" +
                                      kToday.addDays(-OrderSql::LaneDays).toString(Qt::ISODate).toUtf8() +
                                      "' group by 화주코드 order by count(distinct 상차지||하차지||희망톤수) desc, "
                                      "화주코드 limit 1");
    }
    void cleanupTestCase() {
        m_store.reset();
        m_embedded = {};
        m_server = {};
    }

    // statement: as the screen sends it. minRows: a demo store answers with at least this many.
    // columns: the screen reads them by name. filled: never empty in any answered row.
    // every: a condition each answered row meets (the screen's filter, seen from outside).
    void reads_data() {
        for (const QString& backend : backends()) {
            m_rowBackend = backend;
            readRows();
        }
    }
    // Rows of one backend (not a test of its own).
private:
    void readRows() {
        if (m_rowBackend == backends().first() || m_rowBackend == QLatin1String("both")) {
            QTest::addColumn<QString>("backend");
            QTest::addColumn<QByteArray>("statement");
            QTest::addColumn<int>("minRows");
            QTest::addColumn<QStringList>("columns");
            QTest::addColumn<QStringList>("filled");
            QTest::addColumn<QByteArray>("every");
        }

        row("sign-in") << QByteArray("select * from 코드_주선사 where 아이디='demo'") << 1
                                 << QStringList{"비밀번호", "주선사명", "연락처"} << QStringList{"주선사명", "연락처"}
                                 << QByteArray("아이디='demo'");
        row("board: day, every status")
            << QByteArray("select * from 뷰_화물오더콜센터 where 1=1 and 날짜='{today}'") + kAllStatuses + kBoardOrder << 30
            << kBoardColumns << kRequestColumns << QByteArray("날짜='{today}'");
        row("board: day, 취소 only")
            << QByteArray("select * from 뷰_화물오더콜센터 where 1=1 and 날짜='{today}' and ( 오더상태='취소' )") + kBoardOrder << 1
            << kBoardColumns << kRequestColumns << QByteArray("오더상태='취소'");
        row("board: day, dispatched rows name their vehicle")
            << QByteArray("select * from 뷰_화물오더콜센터 where 1=1 and 날짜='{today}' and ( 오더상태='배차완료' or "
                          "오더상태='운송완료' )") + kBoardOrder
            << 2 << kBoardColumns << kRequestColumns + kVehicleColumns << QByteArray("오더상태 in ('배차완료','운송완료')");
        row("board: period with a plate search")
            << QByteArray("select * from 뷰_화물오더콜센터 where 1=1 and 날짜>='{monthStart}' and 날짜<='{today}' and "
                          "(차량번호 like '%{plate}%' or 차주명 like '%{plate}%' or 차주연락처 like '%{plate}%')") +
                   kAllStatuses + kBoardOrder
            << 1 << kBoardColumns << kRequestColumns + kVehicleColumns
            << QByteArray("날짜 between '{monthStart}' and '{today}' and (차량번호 like '%{plate}%' or 차주연락처 like "
                          "'%{plate}%')");
        row("board: shipper lookup")
            << QByteArray("select * from 코드_화주 where 코드='1001'") << 1 << kShipperColumns
            << QStringList{"대표자", "화주명", "업태", "종목", "우편번호", "주소1", "주소2", "계산서담당", "이메일",
                           "사업자번호", "연락처"}
            << QByteArray("코드='1001'");
        row("board: order shown in the entry panel")
            << QByteArray("select * from 화물오더 where ID={dispatched}") << 1 << kRequestColumns << kRequestColumns
            << QByteArray("ID={dispatched}");
        row("board: address lookup")
            << QByteArray("select SIDO ,SIGUNGU , UPMYENDONG from 뷰_좌표주소 where ADDR like '%역삼%' group by SIDO, "
                          "SIGUNGU, UPMYENDONG order by SIGUNGU, UPMYENDONG, SIDO")
            << 1 << QStringList{"SIDO", "SIGUNGU", "UPMYENDONG"} << QStringList{"SIDO", "SIGUNGU", "UPMYENDONG"}
            << QByteArray("SIDO='서울' and SIGUNGU='강남구'");
        row("board: address lookup of a city name")
            << QByteArray("select SIDO ,SIGUNGU , UPMYENDONG from 뷰_좌표주소 where ADDR like '%광주%' group by SIDO, "
                          "SIGUNGU, UPMYENDONG order by SIGUNGU, UPMYENDONG, SIDO")
            << 5 << QStringList{"SIDO", "SIGUNGU", "UPMYENDONG"} << QStringList{"SIDO", "SIGUNGU", "UPMYENDONG"}
            << QByteArray("SIDO='광주' or SIGUNGU like '%광주%'");
        row("inquiry: period, every status, owner search")
            << QByteArray("select * from 화물오더 where 1=1 and 날짜>='{monthStart}' and 날짜<='{today}' and (차량번호 like "
                          "'%{driver}%' or 차주명 like '%{driver}%' or 차주연락처 like '%{driver}%')") +
                   kAllStatuses + kBoardOrder
            << 1 << kInquiryColumns << kRequestColumns + kVehicleColumns
            << QByteArray("날짜 between '{monthStart}' and '{today}' and (차주명 like '%{driver}%' or 차량번호 like "
                          "'%{driver}%')");
        row("inquiry: period, no status box")
            << QByteArray("select * from 화물오더 where 1=1 and 날짜>='{monthStart}' and 날짜<='{today}'") + kBoardOrder << 300
            << kInquiryColumns << kRequestColumns << QByteArray("날짜 between '{monthStart}' and '{today}'");
        row("inquiry: period ending before it starts")
            << QByteArray("select * from 화물오더 where 1=1 and 날짜>='{today}' and 날짜<='{monthStart}'") + kAllStatuses +
                   kBoardOrder
            << 0 << kInquiryColumns << QStringList() << QByteArray("1=0");
        row("order detail")
            << QByteArray("select * from 화물오더 where ID={dispatched}") << 1 << kInquiryColumns
            << kRequestColumns + kVehicleColumns << QByteArray("ID={dispatched}");
        row("settlement list")
            << QByteArray("select ID,일련번호,날짜,오더상태,작성아이디,작성회사명,차주아이디,차량번호,차주명,차주연락처,"
                          "상차권역 , 상차지, 하차권역, 하차지, 운송비, 수수료, 인수증날짜, 계산서날짜, 결제일,기록일시"
                          " From 뷰_화물오더 where 1=1 and 날짜>='{monthStart}' and 날짜<='{today}' and (오더상태 = "
                          "'배차완료' or 오더상태='운송완료') order by 날짜,ID")
            << 20 << kSettlementColumns
            << QStringList{"ID", "일련번호", "날짜", "오더상태", "작성아이디", "작성회사명", "차주아이디", "차량번호",
                           "차주명", "차주연락처", "상차권역", "상차지", "하차권역", "하차지", "운송비", "기록일시"}
            << QByteArray("오더상태 in ('배차완료','운송완료') and 날짜 between '{monthStart}' and '{today}'");
        for (const auto& [name, condition, every] :
             {std::tuple{"settlement list: unpaid", "isnull(결제일,'')=''", "coalesce(결제일,'')=''"},
              std::tuple{"settlement list: paid", "isnull(결제일,'')<>''", "coalesce(결제일,'')<>''"}})
            row(name) << QByteArray("select ID,일련번호,날짜,오더상태,작성아이디,작성회사명,차주아이디,차량번호,차주명,"
                                    "차주연락처,상차권역 , 상차지, 하차권역, 하차지, 운송비, 수수료, 인수증날짜, "
                                    "계산서날짜, 결제일,기록일시 From 뷰_화물오더 where 1=1 and 날짜>='{monthStart}' and "
                                    "날짜<='{today}' and (오더상태 = '배차완료' or 오더상태='운송완료') and ") +
                             QByteArray(condition) + " order by 날짜,ID"
                      << 1 << kSettlementColumns << QStringList{"ID", "운송비"}
                      << QByteArray("오더상태 in ('배차완료','운송완료') and ") + every;
        row("tax invoices")
            << QByteArray("select * from 뷰_세금계산서 where 1=1 order by ID ") << 100 << kInvoiceListColumns
            << kInvoiceListColumns
            << QByteArray("cast(총금액 as integer) = cast(공급가액 as integer) + cast(세액 as integer)");
        row("tax invoices: phone search")
            << QByteArray("select * from 뷰_세금계산서 where 1=1 and (휴대전화 like '%{invoicePhone}%' or 기사명 like "
                          "'%{invoicePhone}%' and 차량번호 like '%{invoicePhone}%') order by ID ")
            << 1 << kInvoiceListColumns << kInvoiceListColumns << QByteArray("휴대전화 like '%{invoicePhone}%'");
        row("tax invoice view")
            << QByteArray("select * from 세금계산서 where ID={invoice}") << 1 << kInvoiceColumns << kInvoiceColumns
            << QByteArray("ID={invoice}");
        row("vehicle owners")
            << QByteArray("select * from 코드_차주 where 1=1 order by 휴대전화,ID") << 1000 << kOwnerColumns
            << QStringList{"아이디", "휴대전화", "기사명", "차량번호", "차종", "톤수", "회사명", "사업자번호"}
            << QByteArray("1=1");
        row("vehicle owners: phone search")
            << QByteArray("select * from 코드_차주 where 1=1 and (휴대전화 like '%{ownerPhone}%' or 기사명 like "
                          "'%{ownerPhone}%' and 차량번호 like '%{ownerPhone}%') order by 휴대전화,ID")
            << 1 << kOwnerColumns << QStringList{"아이디", "휴대전화"} << QByteArray("휴대전화 like '%{ownerPhone}%'");
        row("vehicle owners: a phone typed with dashes")
            << QByteArray("select * from 코드_차주 where 1=1 and (replace(replace(휴대전화,'-',''),' ','') like "
                          "'%{ownerPhone}%' or 기사명 like '%{ownerPhone}%' or 차량번호 like '%{ownerPhone}%') order by "
                          "휴대전화")
            << 1 << kOwnerColumns << QStringList{"아이디", "휴대전화"} << QByteArray("휴대전화 like '%{ownerPhone}%'");
        row("vehicle owner pop-up")
            << QByteArray("select * from 코드_차주 where 휴대전화='{ownerPhone}' and 아이디='{ownerBroker}'") << 1
            << kOwnerColumns << kOwnerColumns << QByteArray("휴대전화='{ownerPhone}'");
        row("shippers")
            << QByteArray("select * from 코드_화주 where 1=1 order by 화주명,ID") << 100 << kShipperColumns
            << QStringList{"Id", "코드", "화주명", "연락처", "회사명", "사업자번호"} << QByteArray("1=1");
        row("shippers: name search")
            << QByteArray("select * from 코드_화주 where 1=1 and (화주명 like '%상사%' or 연락처 like '%상사%' and 회사명 "
                          "like '%상사%') order by 화주명,ID")
            << 1 << kShipperColumns << QStringList{"화주명"} << QByteArray("화주명 like '%상사%'");
        row("shippers: Latin letters in another case")
            << QByteArray("select * from 코드_화주 where 1=1 and (화주명 like '%lg chem%' or 연락처 like '%lg chem%' and 회사명 "
                          "like '%lg chem%') order by 화주명,ID")
            << 2 << kShipperColumns << QStringList{"화주명"} << QByteArray("화주명 like 'LG Chem%'");
        row("board: Latin owner search in another case")
            << QByteArray("select * from 뷰_화물오더콜센터 where 1=1 and 날짜>='{monthStart}' and 날짜<='{today}' and "
                          "(차량번호 like '%KIM MIN%' or 차주명 like '%KIM MIN%' or 차주연락처 like '%KIM MIN%')") +
                   kAllStatuses + kBoardOrder
            << 1 << kBoardColumns << kVehicleColumns << QByteArray("차주명='Kim Minsu'");
        row("shipper pop-up")
            << QByteArray("select * from 코드_화주 where ID={shipperId}") << 1 << kShipperColumns << kShipperColumns
            << QByteArray("ID={shipperId}");
        row("brokers")
            << QByteArray("select * from 코드_주선사 where 1=1 and (아이디 like '%d%' or 주선사명 like '%d%' and 연락처 "
                          "like '%d%') order by 아이디,ID")
            << 2 << kBrokerColumns << kBrokerColumns << QByteArray("아이디 like '%d%'");
        row("shipper's usual lanes")
            << OrderSql::ShipperLanesStatement(QStringLiteral("{busyShipper}"), QStringLiteral("{today}")).toUtf8()
            << OrderSql::LanesOffered << QStringList{"상차지", "하차지", "희망톤수", "운송비", "횟수", "최근ID"}
            << QStringList{"상차지", "횟수", "최근ID"} << QByteArray("횟수>=1");
        row("broker pop-up")
            << QByteArray("select * from 코드_주선사 where ID={brokerId}") << 1 << kBrokerColumns << kBrokerColumns
            << QByteArray("ID={brokerId}");
    }

private Q_SLOTS:
    void reads() {
        QFETCH(QString, backend);
        QFETCH(QByteArray, statement);
        QFETCH(int, minRows);
        QFETCH(QStringList, columns);
        QFETCH(QStringList, filled);
        QFETCH(QByteArray, every);
        statement = fill(statement);
        AnyStore* store = nullptr;
        if (!storeFor(backend, store))
            QSKIP(qPrintable(QStringLiteral("PostgreSQL is not available: ") + m_noServer));
        std::shared_ptr<const dstore::ResultSet> rows;
        const auto error = errorOf([&] { rows = store->query(statement); });
        QVERIFY2(!error, qPrintable(error ? error->message : QString()));
        QVERIFY2(rows->rowCount() >= minRows, qPrintable(QStringLiteral("%1 rows").arg(rows->rowCount())));
        for (const QString& column : columns)
            QVERIFY2(rows->columnIndex(column.toUtf8()) >= 0, qPrintable(column));
        for (const QString& column : filled) {
            const int c = rows->columnIndex(column.toUtf8());
            for (qsizetype r = 0; r < rows->rowCount(); ++r)
                QVERIFY2(!rows->text(r, c).trimmed().isEmpty(),
                         qPrintable(QStringLiteral("%1 empty in row %2").arg(column).arg(r + 1)));
        }
        QCOMPARE(cell(*store,
                      "select count(*) from (" + statement + ") as answer where not (" + fill(every) + ")"),
                 QStringLiteral("0"));
    }

    // Every list statement answers the same rows, in the same order, on both stores.
    void sameAnswers_data() {
        m_rowBackend = QStringLiteral("both");
        readRows();
    }
    void sameAnswers() {
        QFETCH(QByteArray, statement);
        if (!m_server.server) QSKIP(qPrintable(QStringLiteral("PostgreSQL is not available: ") + m_noServer));
        statement = fill(statement);
        const auto embedded = m_embedded.query(statement);
        const auto server = m_server.query(statement);
        QCOMPARE(server->rowCount(), embedded->rowCount());
        // The columns both answer (a view may carry a column no screen reads on one store only;
        // the reads above check the screens' columns on each).
        for (int c = 0; c < embedded->columnCount(); ++c) {
            const QByteArray name = embedded->columnName(c).toLower();
            int sc = 0;
            while (sc < server->columnCount() && server->columnName(sc).toLower() != name) ++sc;
            // A row's version counts the store's own writes (the embedded store hashes a
            // broker's password in a write of its own); no screen shows it.
            if (sc == server->columnCount() || name == "버전") continue;
            for (qsizetype r = 0; r < embedded->rowCount(); ++r)
                QVERIFY2(server->bytes(r, sc) == embedded->bytes(r, c),
                         qPrintable(QStringLiteral("row %1, %2: %3 | %4")
                                        .arg(r + 1)
                                        .arg(QString::fromUtf8(name), QString::fromUtf8(embedded->bytes(r, c)),
                                             QString::fromUtf8(server->bytes(r, sc)))));
        }
    }

    // statement: a write as the screen sends it, run on a fresh copy of the demo store.
    // check: what the screens then read back, as one text; expected: that text.
    void writes_data() {
        QTest::addColumn<QString>("backend");
        QTest::addColumn<QByteArray>("statement");
        QTest::addColumn<QByteArray>("check");
        QTest::addColumn<QString>("expected");
        for (const QString& backend : backends()) {
            m_rowBackend = backend;
            writeRows();
        }
    }
    // Rows of one backend (not a test of its own).
private:
    void writeRows() {

        row("first password")
            << QByteArray("exec 비밀번호설정  'demo','abcd1'")
            << QByteArray("exec 로그인확인 'demo','abcd1'") << QStringLiteral("확인");
        row("order registered")
            << "exec 오더저장  " + orderArguments(false)
            << QByteArray("select 오더상태||'|'||상차요청일시||'|'||상차권역||' '||상차지||'|'||하차요청일시||'|'||하차권역||' '"
                          "||하차지||'|'||희망톤수||'|'||희망차종||'|'||화물중량||'|'||적재구분||'|'||운임구분||'|'||운송비||'|'"
                          "||화물정보1||'|'||coalesce(nullif(배차시간,''),'-')||'|'||결제일 from 뷰_화물오더콜센터 where 1=1 and 날짜='{today}'"
                          " and ( 오더상태='접수' ) order by 날짜 desc, 배차시간, 오더상태 ,ID desc limit 1")
            << QStringLiteral("접수|2026-03-18 09:30|서울 강남구 역삼동|2026-03-19 14:00|부산 강서구 녹산동|5톤|윙바디|5톤|2|2|"
                              "350000|전자부품|-|");
        row("order modified")
            << "exec 오더수정  {dispatched}," + orderArguments(true)
            << QByteArray("select 오더상태||'|'||상차요청일시||'|'||상차지||'|'||희망톤수||'|'||운송비||'|'||화물정보1||'|'||"
                          "case when 차주명<>'' then 1 else 0 end from 화물오더 where ID={dispatched}")
            << QStringLiteral("배차완료|2026-03-18 09:30|강남구 역삼동|5톤|350000|전자부품|1");
        row("order cancelled")
            << QByteArray("exec 오더취소  {waiting}")
            << QByteArray("select 오더상태 from 뷰_화물오더콜센터 where 1=1 and 날짜>='{monthStart}' and 날짜<='{today}' and "
                          "ID={waiting}")
            << QStringLiteral("취소");
        row("dispatch cancelled")
            << QByteArray("exec 배차취소  {dispatched}")
            << QByteArray("select 오더상태||'|'||coalesce(배차시간,'')||coalesce(차주명,'')||coalesce(차량번호,'') from 화물오더 "
                          "where ID={dispatched}")
            << QStringLiteral("접수|");
        row("freight paid")
            << QByteArray("update 화물오더 set  결제일='{today}' where ID={deliveredUnpaid}")
            << QByteArray("select 결제일 from 뷰_화물오더 where ID={deliveredUnpaid}") << QStringLiteral("2026-03-18");
        row("payment cleared")
            << QByteArray("update 화물오더 set  결제일='' where ID={deliveredUnpaid}")
            << QByteArray("select case when 결제일 is not null and 결제일='' then 1 else 0 end from 뷰_화물오더 where ID={deliveredUnpaid}")
            << QStringLiteral("1");

        // The pop-ups' argument lists: argument k carries "k" (keys excepted), and the check
        // lists the columns in argument order.
        QList<QByteArray> owner = {"{ownerBroker}", "{ownerPhone}"};
        for (int k = 3; k <= 23; ++k) owner << "a" + QByteArray::number(k);
        row("vehicle owner saved")
            << quotedCall("차주수정", owner)
            << QByteArray("select 기사명||'|'||차량번호||'|'||차종||'|'||톤수||'|'||연락처||'|'||회사명||'|'||대표자||'|'||"
                          "사업자번호||'|'||주소1||'|'||주소2||'|'||업태||'|'||종목||'|'||우편번호||'|'||우편주소1||'|'||"
                          "우편주소2||'|'||이메일||'|'||은행명||'|'||계좌번호||'|'||예금주||'|'||길이||'|'||길이2||'|'||"
                          "(select count(*) from 코드_차주) from 코드_차주 where 휴대전화='{ownerPhone}' and "
                          "아이디='{ownerBroker}'")
            << QStringLiteral("a3|a4|a5|a6|a7|a8|a9|a10|a11|a12|a13|a14|a15|a16|a17|a18|a19|a20|a21|a22|a23|3000");
        row("vehicle owner withdrawn")
            << QByteArray("exec 차주삭제  '{ownerBroker}','{ownerPhone}'")
            << QByteArray("select count(*) from 코드_차주 where 휴대전화='{ownerPhone}'") << QStringLiteral("0");

        QList<QByteArray> shipper = {"demo"};
        for (int k = 2; k <= 16; ++k) shipper << "s" + QByteArray::number(k);
        const QByteArray shipperCheck =
            "select 화주명||'|'||연락처||'|'||회사명||'|'||대표자||'|'||사업자번호||'|'||주소1||'|'||주소2||'|'||업태||'|'||"
            "종목||'|'||우편번호||'|'||우편주소1||'|'||우편주소2||'|'||이메일||'|'||계산서담당||'|'||계산서담당전화 from "
            "코드_화주 where ";
        row("shipper registered")
            << quotedCall("화주저장", shipper) << shipperCheck + "ID=(select max(ID) from 코드_화주)"
            << QStringLiteral("s2|s3|s4|s5|s6|s7|s8|s9|s10|s11|s12|s13|s14|s15|s16");
        shipper[0] = "1001";
        row("shipper modified")
            << quotedCall("화주수정", shipper) << shipperCheck + "ID={shipperId}"
            << QStringLiteral("s2|s3|s4|s5|s6|s7|s8|s9|s10|s11|s12|s13|s14|s15|s16");
        row("shipper deleted")
            << QByteArray("exec 화주삭제  '1001'") << QByteArray("select count(*) from 코드_화주 where ID={shipperId}")
            << QStringLiteral("0");

        QList<QByteArray> broker = {"newbie", ""};
        for (int k = 3; k <= 14; ++k) broker << (k == 6 ? QByteArray() : "b" + QByteArray::number(k));
        const QByteArray brokerCheck = "select 비밀번호||'|'||주선사명||'|'||연락처||'|'||대표자||'|'||사업자번호||'|'||주소1||"
                                       "'|'||주소2||'|'||업태||'|'||종목||'|'||우편번호||'|'||우편주소1||'|'||우편주소2 from "
                                       "코드_주선사 where ";
        row("broker registered")
            << quotedCall("주선사저장", broker) << brokerCheck + "아이디='newbie'"
            << QStringLiteral("|b3|b4|b5|b7|b8|b9|b10|b11|b12|b13|b14");
        broker = {"hanul"};
        for (int k = 2; k <= 13; ++k) broker << (k == 5 ? QByteArray() : "m" + QByteArray::number(k));
        row("broker modified")
            << quotedCall("주선사수정", broker) << brokerCheck + "ID={brokerId}"
            << QStringLiteral("#|m2|m3|m4|m6|m7|m8|m9|m10|m11|m12|m13");
        row("broker deleted")
            << QByteArray("delete from 코드_주선사 where ID={brokerId}")
            << QByteArray("select count(*) from 코드_주선사 where 아이디='hanul'") << QStringLiteral("0");
        row("broker password reset")
            << QByteArray("update 코드_주선사 set 비밀번호='' where ID={brokerId}")
            << QByteArray("select case when 비밀번호 is not null and 비밀번호='' then 1 else 0 end from 코드_주선사 where 아이디='hanul'")
            << QStringLiteral("1");
    }

private Q_SLOTS:
    void writes() {
        QFETCH(QString, backend);
        QFETCH(QByteArray, statement);
        QFETCH(QByteArray, check);
        QFETCH(QString, expected);
        AnyStore* unused = nullptr;
        if (!storeFor(backend, unused))
            QSKIP(qPrintable(QStringLiteral("PostgreSQL is not available: ") + m_noServer));
        AnyStore store = freshCopy(backend);
        QVERIFY(store);
        const auto error = errorOf([&] { store.query(fill(statement)); });
        QVERIFY2(!error, qPrintable(error ? error->message : QString()));
        QCOMPARE(cell(store, fill(check)), expected);
    }

    // The demo generator writes the same office into both stores: every row, every cell, NULL
    // told apart from the empty text.
    void sameDemoOffice_data() {
        QTest::addColumn<QByteArray>("table");
        for (const char* table : {"코드_주선사", "코드_화주", "코드_차주", "화물오더", "세금계산서", "좌표주소"})
            QTest::newRow(table) << QByteArray(table);
    }
    void sameDemoOffice() {
        QFETCH(QByteArray, table);
        if (!m_server.server) QSKIP(qPrintable(QStringLiteral("PostgreSQL is not available: ") + m_noServer));
        const auto embedded = m_embedded.query("select * from " + table + " order by ID");
        const auto server = m_server.query("select * from " + table + " order by ID");
        QCOMPARE(server->columnCount(), embedded->columnCount());
        QCOMPARE(server->rowCount(), embedded->rowCount());
        QVERIFY(embedded->rowCount() > 0);
        for (int c = 0; c < embedded->columnCount(); ++c)
            QCOMPARE(QString::fromUtf8(server->columnName(c)).toLower(), QString::fromUtf8(embedded->columnName(c)).toLower());
        for (qsizetype r = 0; r < embedded->rowCount(); ++r)
            for (int c = 0; c < embedded->columnCount(); ++c) {
                // The embedded store hashes a broker's password in a second write after the
                // row's, which takes a version of its own.
                if (table == "코드_주선사" && embedded->columnName(c) == "버전") continue;
                const QString where = QStringLiteral("row %1, %2").arg(r + 1).arg(QString::fromUtf8(embedded->columnName(c)));
                QVERIFY2(server->isNull(r, c) == embedded->isNull(r, c), qPrintable(where));
                QVERIFY2(server->bytes(r, c) == embedded->bytes(r, c), qPrintable(where));
            }
    }

    // A quote typed into a value stays inside its value, whichever store the text goes to.
    void typedQuotes_data() {
        QTest::addColumn<QString>("backend");
        for (const QString& backend : backends()) {
            m_rowBackend = backend;
            row("every quote kept");
        }
    }
    void typedQuotes() {
        QFETCH(QString, backend);
        AnyStore* unused = nullptr;
        if (!storeFor(backend, unused))
            QSKIP(qPrintable(QStringLiteral("PostgreSQL is not available: ") + m_noServer));
        AnyStore store = freshCopy(backend);
        QVERIFY(store);
        const QByteArray typed = "O''Neil''); delete from 화물오더; --\\ $$ \\t";
        QList<QByteArray> shipper = {"1001"};
        for (int k = 2; k <= 16; ++k)
            shipper << typed;
        const QString orders = cell(store, "select count(*) from 화물오더");
        const auto error = errorOf([&] { store.query(quotedCall("화주수정", shipper)); });
        QVERIFY2(!error, qPrintable(error ? error->message : QString()));
        QCOMPARE(cell(store, "select 화주명 from 코드_화주 where 코드='1001'"),
                 QStringLiteral("O'Neil'); delete from 화물오더; --\\ $$ \\t"));
        QCOMPARE(cell(store, "select count(*) from 화물오더"), orders);
        // A NUL that got past the boxes is refused whole, in the desk's words.
        QByteArray withNul = "exec 화주수정  '1001','a";
        withNul += '\0';
        withNul += "b'";
        const auto refused = errorOf([&] { store.query(withNul); });
        QVERIFY(refused);
        QCOMPARE(refused->message, dstore::NulRefusal());
    }
};

DELMORA_TEST_MAIN(TestScreenStatements)
#include "tst_screenstatements.moc"
