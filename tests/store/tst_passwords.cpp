// Brokers' passwords on both stores: kept only as slow salted hashes, checked by the store's
// sign-in procedures, which answer a verdict and never a password or a hash.
#include "pgcluster.h"
#include "storetesthelp.h"
#include "testmain.h"

#include <QElapsedTimer>

using namespace storetest;

class TestPasswords : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    AnyStore m_store;
    int m_serial = 0;

    // The hash as the store keeps it, read past the statement channel that keeps it back.
    QByteArray hashOf(const QByteArray& id) {
        const QByteArray sql =
            "select h.해시 from 주선사암호 h join 코드_주선사 b on b.ID = h.주선사ID where b.아이디 = '" +
            id + "'";
        if (m_store.server) return cell(m_store, sql).toUtf8();
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(m_store.embedded->handle(), sql.constData(), -1, &s, nullptr);
        QByteArray out;
        if (sqlite3_step(s) == SQLITE_ROW) out = reinterpret_cast<const char*>(sqlite3_column_text(s, 0));
        sqlite3_finalize(s);
        return out;
    }
    QByteArray hashPrefix() const { return m_store.server ? "$2a$" : "$argon2id$"; }
    // A row as a store written before hashing holds it.
    void addPlainBroker(const QByteArray& id, const QByteArray& password) {
        const QByteArray insert = "insert into 코드_주선사 (아이디, 비밀번호, 주선사명) values ('" + id +
                                  "', '" + password + "', '옛상사')";
        if (m_store.server) {
            m_store.execute("alter table 코드_주선사 disable trigger 코드_주선사_비밀번호");
            m_store.execute(insert);
            m_store.execute("alter table 코드_주선사 enable trigger 코드_주선사_비밀번호");
            return;
        }
        sqlite3* db = m_store.embedded->handle();
        sqlite3_exec(db, "drop trigger 코드_주선사_비밀번호_추가", nullptr, nullptr, nullptr);
        sqlite3_exec(db, insert.constData(), nullptr, nullptr, nullptr);
    }
    QString verdict(const QByteArray& id, const QByteArray& password) {
        return cell(m_store, "exec 로그인확인 '" + id + "','" + password + "'");
    }

private Q_SLOTS:
    void initTestCase_data() {
        QTest::addColumn<QString>("backend");
        QTest::newRow("embedded") << QStringLiteral("embedded");
        QTest::newRow("postgresql") << QStringLiteral("postgresql");
    }
    void init() {
        QFETCH_GLOBAL(QString, backend);
        const QString name = QStringLiteral("w%1").arg(++m_serial);
        if (backend == QLatin1String("embedded")) {
            m_store.embedded = dstore::FreightStore::create(m_dir.filePath(name + QStringLiteral(".sqlite")));
        } else {
            DELMORA_REQUIRE_POSTGRES(cluster);
            QString error;
            QVERIFY2(cluster->createDatabase(name, {}, &error), qPrintable(error));
            m_store.server = dstore::PgStore::open(cluster->uri(name));
            m_store.server->createSchema();
        }
        m_store.execute("insert into 코드_주선사 (아이디, 비밀번호, 주선사명, 연락처) values ('kim', 'abcd', "
                        "'김상사', '021234567')");
        m_store.execute("insert into 코드_주선사 (아이디, 비밀번호, 주선사명) values ('new', '', '새상사')");
    }
    void cleanup() { m_store = {}; }

    void passwordIsKeptOnlyAsHash() {
        QCOMPARE(cell(m_store, "select 비밀번호 from 코드_주선사 where 아이디 = 'kim'"), QStringLiteral("#"));
        QVERIFY2(hashOf("kim").startsWith(hashPrefix()), hashOf("kim").constData());
        // Salted: the same password written again is kept as another hash.
        const QByteArray first = hashOf("kim");
        m_store.execute("update 코드_주선사 set 비밀번호 = 'abcd' where 아이디 = 'kim'");
        QVERIFY(hashOf("kim") != first);
    }

    void signIn_data() {
        QTest::addColumn<QByteArray>("id");
        QTest::addColumn<QByteArray>("password");
        QTest::addColumn<QStringList>("answer"); // 결과, 주선사명, 연락처
        QTest::newRow("right") << QByteArray("kim") << QByteArray("abcd")
                               << QStringList{"확인", "김상사", "021234567"};
        QTest::newRow("ID in other case")
            << QByteArray("KIM") << QByteArray("abcd") << QStringList{"확인", "김상사", "021234567"};
        QTest::newRow("wrong") << QByteArray("kim") << QByteArray("abce") << QStringList{"틀림", "", ""};
        QTest::newRow("password in other case")
            << QByteArray("kim") << QByteArray("ABCD") << QStringList{"틀림", "", ""};
        QTest::newRow("the mark itself")
            << QByteArray("kim") << QByteArray("#") << QStringList{"틀림", "", ""};
        QTest::newRow("no password yet")
            << QByteArray("new") << QByteArray("x") << QStringList{"설정", "새상사", ""};
        QTest::newRow("no such broker")
            << QByteArray("park") << QByteArray("abcd") << QStringList{"없음", "", ""};
    }
    void signIn() {
        QFETCH(QByteArray, id);
        QFETCH(QByteArray, password);
        QFETCH(QStringList, answer);
        const auto rows = m_store.query("exec 로그인확인 '" + id + "','" + password + "'");
        QCOMPARE(rows->rowCount(), 1);
        QCOMPARE(rows->text(0, rows->columnIndex("결과")), answer[0]);
        if (answer[0] != QStringLiteral("틀림")) {
            QCOMPARE(rows->text(0, rows->columnIndex("주선사명")), answer[1]);
            QCOMPARE(rows->text(0, rows->columnIndex("연락처")), answer[2]);
        }
        // Nothing of the answer is a password or a hash.
        for (int c = 0; c < rows->columnCount(); ++c) {
            QVERIFY(!rows->text(0, c).contains(QStringLiteral("abcd")));
            QVERIFY(!rows->text(0, c).startsWith(QLatin1Char('$')));
        }
    }

    void plainPasswordIsAcceptedOnceAndHashed() {
        addPlainBroker("old", "oldpass");
        QCOMPARE(cell(m_store, "select 비밀번호 from 코드_주선사 where 아이디 = 'old'"),
                 QStringLiteral("oldpass"));
        QCOMPARE(verdict("old", "wrong"), QStringLiteral("틀림"));
        QCOMPARE(verdict("old", "oldpass"), QStringLiteral("확인"));
        QCOMPARE(cell(m_store, "select 비밀번호 from 코드_주선사 where 아이디 = 'old'"), QStringLiteral("#"));
        QVERIFY(hashOf("old").startsWith(hashPrefix()));
        QCOMPARE(verdict("old", "oldpass"), QStringLiteral("확인"));
    }

    void firstPassword_data() {
        QTest::addColumn<QByteArray>("id");
        QTest::addColumn<QByteArray>("password");
        QTest::addColumn<QString>("answer");
        QTest::newRow("new broker") << QByteArray("new") << QByteArray("새비번12") << QStringLiteral("확인");
        QTest::newRow("too short") << QByteArray("new") << QByteArray("새비번") << QStringLiteral("거절");
        QTest::newRow("a set password is not replaced")
            << QByteArray("kim") << QByteArray("hijack") << QStringLiteral("거절");
        QTest::newRow("no such broker")
            << QByteArray("park") << QByteArray("abcdef") << QStringLiteral("거절");
    }
    void firstPassword() {
        QFETCH(QByteArray, id);
        QFETCH(QByteArray, password);
        QFETCH(QString, answer);
        QCOMPARE(cell(m_store, "exec 비밀번호설정 '" + id + "','" + password + "'"), answer);
        const bool set = answer == QStringLiteral("확인");
        QCOMPARE(verdict(id, password), set            ? QStringLiteral("확인")
                                        : id == "park" ? QStringLiteral("없음")
                                        : id == "new"  ? QStringLiteral("설정")
                                                       : QStringLiteral("틀림"));
        if (set) QVERIFY(hashOf(id).startsWith(hashPrefix()));
    }

    // From the third wrong try in a row each further try is answered later: 1 s, 2 s, ...
    void wrongTriesAreSlowedDown() {
        for (int i = 1; i <= 3; ++i)
            QCOMPARE(verdict("kim", "wrong"), QStringLiteral("틀림"));
        const auto rows = m_store.query("exec 로그인확인 'kim','wrong'");
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(verdict("kim", "abcd"), QStringLiteral("확인"));
        QVERIFY2(clock.elapsed() >= 2000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(rows->text(0, rows->columnIndex("틀린횟수")), QStringLiteral("4"));
        QCOMPARE(rows->text(0, rows->columnIndex("대기초")), QStringLiteral("2"));
        // The right password starts the count afresh.
        clock.start();
        QCOMPARE(verdict("kim", "wrong"), QStringLiteral("틀림"));
        QVERIFY(clock.elapsed() < 1000);
    }
};

DELMORA_TEST_MAIN(TestPasswords)
#include "tst_passwords.moc"
