// The statements of the settlement and tax-invoice screens, and the money texts they show.
#include "accountstatements.h"
#include "amounts.h"
#include "testmain.h"

using namespace AccountSql;

class AccountStatementsTest : public QObject {
    Q_OBJECT
private slots:
    void settlementList_data() {
        QTest::addColumn<QString>("search");
        QTest::addColumn<QString>("condition");
        QTest::newRow("no search") << ""
                                   << "";
        QTest::newRow("name")
            << "홍길동"
            << " and (replace(replace(차주연락처,'-',''),' ','') like '%홍길동%' or 차주명 like '%홍길동%' or 차량번호 like "
               "'%홍길동%')";
        // Phones are stored without dashes; a phone typed as the list shows it still finds.
        QTest::newRow("phone with dashes") << "010-1234"
                                           << " and (replace(replace(차주연락처,'-',''),' ','') like '%0101234%' or 차주명 like "
                                              "'%010-1234%' or 차량번호 like '%010-1234%')";
        QTest::newRow("quote") << "O'Neil"
                               << " and (replace(replace(차주연락처,'-',''),' ','') like '%O''Neil%' or 차주명 like '%O''Neil%' or "
                                  "차량번호 like '%O''Neil%')";
        QTest::newRow("quote that would end the statement")
            << "x' or 1=1 --"
            << " and (replace(replace(차주연락처,'-',''),' ','') like '%x''or1=1%' or 차주명 like '%x'' or 1=1 --%' or 차량번호 like "
               "'%x'' or "
               "1=1 --%')";
    }
    void settlementList() {
        QFETCH(QString, search);
        QFETCH(QString, condition);
        QCOMPARE(
            SettlementListStatement(QStringLiteral("2026-12-01"), QStringLiteral("2026-12-09"), search),
            QStringLiteral(
                "select ID,일련번호,날짜,오더상태,작성아이디,작성회사명,차주아이디,차량번호,차주명,"
                "차주연락처,상차권역 , 상차지, 하차권역, 하차지, 운송비, 수수료, 인수증날짜, 계산서날짜, "
                "결제일,기록일시 From 뷰_화물오더 where 1=1 and 날짜>='2026-12-01' and "
                "날짜<='2026-12-09'") +
                condition +
                QStringLiteral(" and (오더상태 = '배차완료' or 오더상태='운송완료') order by 날짜,ID"));
    }

    void invoiceList_data() {
        QTest::addColumn<QString>("search");
        QTest::addColumn<QString>("statement");
        QTest::newRow("all") << ""
                             << "select * from 뷰_세금계산서 where 1=1 order by ID ";
        QTest::newRow("three columns joined by or") << "김철수"
                                                    << "select * from 뷰_세금계산서 where 1=1 and "
                                                       "(replace(replace(휴대전화,'-',''),' ','') "
                                                       "like '%김철수%' or 기사명 like '%김철수%' or "
                                                       "차량번호 like '%김철수%') order by ID ";
        QTest::newRow("quote")
            << "'"
            << "select * from 뷰_세금계산서 where 1=1 and (replace(replace(휴대전화,'-',''),' ','') like '%''%' or 기사명 like "
               "'%''%' or 차량번호 like '%''%') order by ID ";
    }
    void invoiceList() {
        QFETCH(QString, search);
        QFETCH(QString, statement);
        QCOMPARE(InvoiceListStatement(search), statement);
    }

    // Each write states what the desk showed, so a row that moved elsewhere matches nothing.
    void payment() {
        QCOMPARE(MarkPaidStatement(42, QStringLiteral("2026-12-09"), QStringLiteral("운송완료")),
                 QStringLiteral("update 화물오더 set 결제일='2026-12-09' where ID=42 and 오더상태='운송완료' "
                                "and isnull(결제일,'')=''"));
        QCOMPARE(ClearPaidStatement(42, QStringLiteral("배차'완료"), QStringLiteral("2026-12-01")),
                 QStringLiteral("update 화물오더 set 결제일='' where ID=42 and 오더상태='배차''완료' and "
                                "결제일='2026-12-01'"));
    }

    void invoiceByKey_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("statement");
        QTest::newRow("key") << "17"
                             << "select * from 세금계산서 where ID=17";
        QTest::newRow("blanks around") << "  17 "
                                       << "select * from 세금계산서 where ID=17";
        QTest::newRow("empty") << ""
                               << "select * from 세금계산서 where ID=0";
        QTest::newRow("text after the number") << "17; delete from 세금계산서"
                                               << "select * from 세금계산서 where ID=17";
        QTest::newRow("not a number") << "abc"
                                      << "select * from 세금계산서 where ID=0";
        QTest::newRow("too long") << "99999999999999999999999"
                                  << "select * from 세금계산서 where ID=0";
    }
    void invoiceByKey() {
        QFETCH(QString, key);
        QFETCH(QString, statement);
        QCOMPARE(InvoiceStatement(key), statement);
    }

    void grouped_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("shown");
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("small") << "500"
                               << "500";
        QTest::newRow("thousand") << "1000"
                                  << "1,000";
        QTest::newRow("million") << "1500000"
                                 << "1,500,000";
        QTest::newRow("widest") << "9999999999"
                                << "9,999,999,999";
        QTest::newRow("negative") << "-150000"
                                  << "-150,000";
        QTest::newRow("money type") << "300000.0000"
                                    << "300,000";
        QTest::newRow("words") << "협의"
                               << "협의";
    }
    void grouped() {
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        QCOMPARE(Amounts::Grouped(stored), shown);
    }

    void places_data() {
        QTest::addColumn<QString>("supply");
        QTest::addColumn<QString>("tax");
        QTest::addColumn<int>("blanks");
        QTest::addColumn<QString>("supplyPlaces"); // 11 places, "." for an empty one
        QTest::addColumn<QString>("taxPlaces");    // 10 places
        QTest::addColumn<bool>("problem");
        QTest::newRow("10 % tax") << "1500000"
                                  << "150000" << 4 << "....1500000"
                                  << "....150000" << false;
        QTest::newRow("zero rated") << "1500000"
                                    << "0" << 4 << "....1500000"
                                    << ".........0" << false;
        QTest::newRow("one digit") << "7"
                                   << "0" << 10 << "..........7"
                                   << ".........0" << false;
        QTest::newRow("rounded-up tax as long as the supply") << "15"
                                                              << "15" << 9 << ".........15"
                                                              << "........15" << false;
        QTest::newRow("widest") << "99999999999"
                                << "9999999999" << 0 << "99999999999"
                                << "9999999999" << false;
        QTest::newRow("zero") << "0"
                              << "0" << 10 << "..........0"
                              << ".........0" << false;
        QTest::newRow("correcting invoice") << "-1500000"
                                            << "-150000" << 3 << "...-1500000"
                                            << "...-150000" << false;
        QTest::newRow("money type and separators") << "1,500,000.00"
                                                   << "150000.0000" << 4 << "....1500000"
                                                   << "....150000" << false;
        QTest::newRow("leading zeros") << "0001500"
                                       << "00150" << 7 << ".......1500"
                                       << ".......150" << false;
        QTest::newRow("supply too wide") << "123456789012"
                                         << "100" << -1 << "..........."
                                         << ".......100" << true;
        QTest::newRow("tax too wide") << "100"
                                      << "12345678901" << 8 << "........100"
                                      << ".........." << true;
        QTest::newRow("no supply amount") << ""
                                          << "10" << -1 << "..........."
                                          << "........10" << true;
        QTest::newRow("words") << "일백만"
                               << "x" << -1 << "..........."
                               << ".........." << true;
    }
    void places() {
        QFETCH(QString, supply);
        QFETCH(QString, tax);
        QFETCH(int, blanks);
        QFETCH(QString, supplyPlaces);
        QFETCH(QString, taxPlaces);
        QFETCH(bool, problem);
        const Amounts::PlaceDigits d = Amounts::SpreadOverPlaces(supply, tax);
        QCOMPARE(d.blanks, blanks);
        QString s, t;
        for (const QString& c : d.supply)
            s += c.isEmpty() ? QStringLiteral(".") : c;
        for (const QString& c : d.tax)
            t += c.isEmpty() ? QStringLiteral(".") : c;
        QCOMPARE(s, supplyPlaces);
        QCOMPARE(t, taxPlaces);
        QCOMPARE(!d.problem.isEmpty(), problem);
    }
};

DELMORA_TEST_MAIN(AccountStatementsTest)
#include "tst_accountstatements.moc"
