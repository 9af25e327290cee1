// The office store's two roles on a private PostgreSQL cluster: the owner makes the store and
// lets the desk group in; a desk's login reads the lists, writes what the screens write and runs
// the procedures, and is refused everything else.
#include "pgcluster.h"
#include "storetesthelp.h"
#include "testmain.h"

using namespace storetest;

class TestDeskRole : public QObject {
    Q_OBJECT

    QString m_uri;
    AnyStore m_owner;
    AnyStore m_desk;

    void setUp(PgCluster* cluster) {
        QString error;
        if (!cluster->createDatabase(QStringLiteral("office"), {}, &error)) throw dstore::Error{0, error};
        m_uri = cluster->uri(QStringLiteral("office"));
        {
            auto admin = dstore::PgStore::open(m_uri);
            admin->execute("create role office_owner login createrole");
            admin->execute("alter database office owner to office_owner");
        }
        m_owner.server = dstore::PgStore::open(m_uri, QStringLiteral("office_owner"));
        m_owner.server->createSchema();
        m_owner.server->grantDesks(QStringLiteral("delmora_desk"));
        dstore::PgStore::open(m_uri)->execute("create role desk1 login in role delmora_desk");
        m_desk.server = dstore::PgStore::open(m_uri, QStringLiteral("desk1"));
        m_owner.execute(
            "insert into 코드_주선사 (아이디, 비밀번호, 주선사명) values ('kim', 'abcd', '김상사')");
        m_owner.execute(
            "insert into 코드_주선사 (아이디, 비밀번호, 주선사명) values ('other', 'efgh', '남의상사')");
        m_owner.execute("insert into 코드_주선사 (아이디, 비밀번호, 주선사명) values ('new', '', '새상사')");
    }

private Q_SLOTS:
    void initTestCase() {
        DELMORA_REQUIRE_POSTGRES(cluster);
        try {
            setUp(cluster);
        } catch (const dstore::Error& e) {
            QFAIL(qPrintable(e.message));
        }
    }
    void cleanupTestCase() {
        m_desk = {};
        m_owner = {};
    }

    void refused_data() {
        QTest::addColumn<QByteArray>("statement");
        const char* const refused[] = {
            "create table 몰래 (a text)",
            "create temp table 몰래 (a text)",
            "create view 몰래 as select 1",
            "drop table 화물오더",
            "drop view 뷰_화물오더콜센터",
            "alter table 화물오더 add column 몰래 text",
            "truncate 화물오더",
            "create or replace function 오더취소(variadic a text[]) returns void language sql as $$ delete "
            "from 화물오더 $$",
            "drop function 로그인확인(text[])",
            "alter function 로그인확인(text[]) owner to desk1",
            "create function 몰래() returns int language sql as $$ select 1 $$",
            "alter table 코드_주선사 disable trigger 코드_주선사_비밀번호",
            "update 코드_주선사 set 비밀번호 = 'hijack' where 아이디 = 'other'",
            "update 로그인 set 비밀번호 = 'hijack' where 아이디 = 'other'",
            "insert into 코드_주선사 (아이디, 비밀번호) values ('mine', 'known')",
            "alter role office_owner password 'hijack'",
            "alter role desk1 superuser",
            "create role 몰래 login",
            "select 해시 from 주선사암호",
            "select * from 주선사암호",
            "update 주선사암호 set 틀린횟수 = 0",
            "delete from 주선사암호",
            "grant select on 주선사암호 to desk1",
            "insert into 저장소정보 values ('schema', '9') on conflict (키) do update set 값 = '9'",
            "delete from 저장소정보",
            "insert into 좌표주소 (SIDO, SIGUNGU, UPMYENDONG, ADDR) values ('a', 'b', 'c', 'd')",
        };
        for (const char* statement : refused)
            QTest::newRow(statement) << QByteArray(statement);
    }
    void refused() {
        QFETCH(QByteArray, statement);
        const QString before = dump(m_owner);
        const auto error = errorOf([&] { m_desk.execute(statement); });
        QVERIFY(error);
        QVERIFY2(error->number != dstore::E_FAIL_NUMBER, qPrintable(error->message));
        QCOMPARE(dump(m_owner), before);
    }

    // What the screens do, as a desk.
    void allowed_data() {
        QTest::addColumn<QByteArray>("statement");
        QTest::addColumn<QString>("answer"); // first cell; "-" for none
        QTest::newRow("sign-in") << QByteArray("exec 로그인확인 'kim','abcd'") << QStringLiteral("확인");
        QTest::newRow("wrong password")
            << QByteArray("exec 로그인확인 'other','x'") << QStringLiteral("틀림");
        QTest::newRow("first password")
            << QByteArray("exec 비밀번호설정 'new','새비번12'") << QStringLiteral("확인");
        QTest::newRow("broker list") << QByteArray(
                                            "select 아이디, 비밀번호 from 코드_주선사 where 아이디 = 'kim'")
                                     << QStringLiteral("kim");
        QTest::newRow("shipper save")
            << QByteArray("exec 화주저장 '','화주','02','회사','대표','123','업태','종목','','','','',"
                          "'','','',''")
            << QStringLiteral("-");
        QTest::newRow("board") << QByteArray("select count(*) from 뷰_화물오더콜센터") << QStringLiteral("0");
        QTest::newRow("password reset")
            << QByteArray("update 코드_주선사 set 비밀번호='' where 아이디='other'") << QStringLiteral("-");
        QTest::newRow("broker deleted")
            << QByteArray("delete from 코드_주선사 where 아이디='other'") << QStringLiteral("-");
    }
    void allowed() {
        QFETCH(QByteArray, statement);
        QFETCH(QString, answer);
        std::shared_ptr<const dstore::ResultSet> rows;
        const auto error = errorOf([&] { rows = m_desk.query(statement); });
        QVERIFY2(!error, error ? qPrintable(error->message) : "");
        if (answer != QLatin1String("-")) QCOMPARE(rows->text(0, 0), answer);
    }
};

DELMORA_TEST_MAIN(TestDeskRole)
#include "tst_deskrole.moc"
