// The exec parser on what a client, a paste or an attacker may send: every input ends in a
// correct parse or a clear error, never a crash, a hang or a second statement.
#include "storetesthelp.h"
#include "testmain.h"

using namespace storetest;
using dstore::FreightStore;

class TestExecParser : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

private Q_SLOTS:
    void recognisesExec_data() {
        QTest::addColumn<QByteArray>("statement");
        QTest::addColumn<bool>("exec");
        QTest::newRow("plain") << QByteArray("exec 오더취소 1") << true;
        QTest::newRow("upper case, leading blanks") << QByteArray(" \r\n\tEXEC 오더취소 1") << true;
        QTest::newRow("execute") << QByteArray("execute 오더취소 1") << true;
        QTest::newRow("bracketed name") << QByteArray("exec[오더취소] 1") << true;
        QTest::newRow("longer word") << QByteArray("executive 1") << false;
        QTest::newRow("select") << QByteArray("select 'exec x'") << false;
        QTest::newRow("empty") << QByteArray() << false;
    }
    void recognisesExec() {
        QFETCH(QByteArray, statement);
        QFETCH(bool, exec);
        QCOMPARE(dstore::isExecStatement(statement), exec);
    }

    // Arguments written as name=text for quoted ones and name#text for bare ones.
    void parses_data() {
        QTest::addColumn<QByteArray>("statement");
        QTest::addColumn<QString>("procedure");
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("bare key, two blanks") << QByteArray("exec 오더취소  12") << "오더취소" << QStringList{"#12"};
        QTest::newRow("doubled quotes") << QByteArray("exec 화주삭제 'O''Neil'") << "화주삭제" << QStringList{"=O'Neil"};
        QTest::newRow("quotes only") << QByteArray("exec p '''',''") << "p" << QStringList{"='", "="};
        QTest::newRow("mixed, board style") << QByteArray("exec 오더저장  'a',1,'b,c',-5,2.5") << "오더저장"
                                            << QStringList{"=a", "#1", "=b,c", "#-5", "#2.5"};
        QTest::newRow("blanks between") << QByteArray("  exec  p\t'a' ,\n 'b'  ;  ") << "p" << QStringList{"=a", "=b"};
        QTest::newRow("unicode literal") << QByteArray("exec p N'가나'") << "p" << QStringList{"=가나"};
        QTest::newRow("owner prefix") << QByteArray("exec dbo.오더취소 1") << "오더취소" << QStringList{"#1"};
        QTest::newRow("bracketed name") << QByteArray("exec [오더 취소] 1") << "오더 취소" << QStringList{"#1"};
        QTest::newRow("no arguments") << QByteArray("exec p") << "p" << QStringList{};
        QTest::newRow("comment text stays text") << QByteArray("exec p '--', '/*'") << "p" << QStringList{"=--", "=/*"};
    }
    void parses() {
        QFETCH(QByteArray, statement);
        QFETCH(QString, procedure);
        QFETCH(QStringList, arguments);
        const dstore::ExecCall call = dstore::parseExec(statement);
        QCOMPARE(QString::fromUtf8(call.procedure), procedure);
        QStringList got;
        for (const auto& a : call.arguments) got << (a.quoted ? QStringLiteral("=") : QStringLiteral("#")) + QString::fromUtf8(a.text);
        QCOMPARE(got, arguments);
    }

    void refuses_data() {
        QTest::addColumn<QByteArray>("statement");
        QTest::newRow("unterminated quote") << QByteArray("exec p 'abc");
        QTest::newRow("unterminated after doubled") << QByteArray("exec p 'abc''");
        QTest::newRow("empty argument") << QByteArray("exec p 1,,2");
        QTest::newRow("trailing comma") << QByteArray("exec p 1,");
        QTest::newRow("missing comma") << QByteArray("exec p '1' '2'");
        QTest::newRow("word glued to number") << QByteArray("exec p 12abc");
        QTest::newRow("bare word") << QByteArray("exec p abc");
        QTest::newRow("no name") << QByteArray("exec ");
        QTest::newRow("quoted name") << QByteArray("exec 'p' 1");
        QTest::newRow("injection") << QByteArray("exec 오더취소 '1'); drop table 화물오더; --'");
        QTest::newRow("second statement") << QByteArray("exec 오더취소 1; drop table 화물오더");
        QTest::newRow("NUL byte") << QByteArray("exec p 'a\0b'", 13);
        QTest::newRow("unclosed bracket") << QByteArray("exec [p 1");
        QTest::newRow("name too long") << "exec " + QByteArray(200, 'x') + " 1";
        QTest::newRow("1 MB unterminated") << "exec p '" + QByteArray(1 << 20, 'a');
        QTest::newRow("1 MB garbage") << "exec p " + QByteArray(1 << 20, '(');
    }
    void refuses() {
        QFETCH(QByteArray, statement);
        const auto error = errorOf([&] { dstore::parseExec(statement); });
        QVERIFY(error);
        QCOMPARE(error->number, dstore::DB_E_ERRORSINCOMMAND);
        QVERIFY(!error->message.isEmpty());
        QVERIFY2(error->message.size() < 400, "a long paste must not become a long message");
    }

    void tenThousandArguments() {
        QByteArray s = "exec p ";
        for (int i = 0; i < 10000; ++i) s += (i ? ",'" : "'") + QByteArray::number(i) + "'";
        const auto call = dstore::parseExec(s);
        QCOMPARE(call.arguments.size(), size_t(10000));
        QCOMPARE(call.arguments.back().text, QByteArray("9999"));
    }

    // The same inputs against a real store: an error or a harmless run, and the orders stay.
    void hostileStatementsLeaveStoreIntact_data() {
        QTest::addColumn<QByteArray>("statement");
        QTest::addColumn<bool>("fails");
        QByteArray many = "exec 오더취소 ";
        for (int i = 0; i < 10000; ++i) many += (i ? ",'" : "'") + QByteArray::number(i) + "'";
        QTest::newRow("10,000 arguments") << many << true;
        QTest::newRow("unterminated quote") << QByteArray("exec 화주삭제 '1001") << true;
        QTest::newRow("exec injection") << QByteArray("exec 화주삭제 '1'); drop table 화물오더; --'") << true;
        // Taken as data, the typed text names no shipper: the delete is refused as finding nobody.
        QTest::newRow("quoted injection is data") << QByteArray("exec 화주삭제 '1''); drop table 화물오더; --'") << true;
        QTest::newRow("select injection") << QByteArray("select * from 코드_화주 where 코드='1'; drop table 화물오더; --'") << true;
        QTest::newRow("NUL in select") << QByteArray("select 1\0; drop table 화물오더", 31) << true;
        QTest::newRow("NUL in exec") << QByteArray("exec 화주삭제 '\0'", 19) << true;
        QTest::newRow("1 MB argument") << "exec 화주삭제 '" + QByteArray(1 << 20, 'x') + "'" << true;
        QTest::newRow("1 MB of text") << QByteArray(1 << 20, 'x') << true;
        QTest::newRow("blanks around") << QByteArray("  \n exec 오더취소  1 \r\n ") << false;
        QTest::newRow("empty statement") << QByteArray("") << true;
        QTest::newRow("only blanks") << QByteArray(" \t\r\n ") << true;
        QTest::newRow("comment only") << QByteArray("-- nothing") << true;
        QTest::newRow("trailing comment") << QByteArray("select count(*) from 화물오더 -- the lot") << false;
    }
    void hostileStatementsLeaveStoreIntact() {
        QFETCH(QByteArray, statement);
        QFETCH(bool, fails);
        static int serial = 0;
        auto store = FreightStore::create(m_dir.filePath(QStringLiteral("h%1.sqlite").arg(++serial)));
        store->execute("insert into 화물오더 (날짜, 오더상태) values ('2026-01-05', '접수')");
        store->execute("insert into 코드_화주 (코드, 화주명) values ('1001', 'x')");
        const auto error = errorOf([&] { store->query(statement); });
        QCOMPARE(bool(error), fails);
        if (error) {
            QCOMPARE(error->number, dstore::DB_E_ERRORSINCOMMAND);
            QVERIFY(error->message.size() < 400);
        }
        QCOMPARE(cell(*store, "select count(*) from 화물오더"), QStringLiteral("1"));
        QCOMPARE(cell(*store, "select count(*) from 코드_화주"), QStringLiteral("1"));
    }
};

DELMORA_TEST_MAIN(TestExecParser)
#include "tst_execparser.moc"
