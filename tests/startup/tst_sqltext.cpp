#include "testmain.h"
#include "sqltext.h"
#include "storetrap.h"
#include "teststore.h"
#include "prompts.h"

class SqlTextTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void quote_data() {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty") << "" << "''";
        QTest::newRow("plain") << "서울" << "'서울'";
        QTest::newRow("one quote") << "O'Neil" << "'O''Neil'";
        QTest::newRow("only quotes") << "''" << "''''''";
        QTest::newRow("injection attempt") << "x'; delete from 화물오더 --" << "'x''; delete from 화물오더 --'";
        QTest::newRow("double quote untouched") << "5\"" << "'5\"'";
    }
    void quote() {
        QFETCH(QString, value);
        QFETCH(QString, expected);
        QCOMPARE(Quote(value), expected);
    }

    void exec_data() {
        QTest::addColumn<QString>("built");
        QTest::addColumn<QString>("expected");
        QTest::newRow("no arguments") << ExecBuilder(QStringLiteral("p")).str() << "exec p ";
        QTest::newRow("quoted first: two blanks")
            << ExecBuilder(QStringLiteral("화주삭제")).text(QStringLiteral("1001")).str() << "exec 화주삭제  '1001'";
        QTest::newRow("bare first: two blanks")
            << ExecBuilder(QStringLiteral("오더취소")).number(42).str() << "exec 오더취소  42";
        QTest::newRow("mixed, comma without blanks")
            << QString(ExecBuilder(QStringLiteral("오더수정")).number(7).text(QStringLiteral("접수")).text({}).bare(QStringLiteral("0")))
            << "exec 오더수정  7,'접수','',0";
        QTest::newRow("quote inside an argument")
            << ExecBuilder(QStringLiteral("p")).text(QStringLiteral("a'b")).text(QStringLiteral("'")).str()
            << "exec p  'a''b',''''";
        QTest::newRow("decimal bare") << ExecBuilder(QStringLiteral("p")).bare(QStringLiteral("-12.5")).str()
                                      << "exec p  -12.5";
        // A key box that is not a number must not become statement text.
        QTest::newRow("non-number bare is quoted")
            << ExecBuilder(QStringLiteral("p")).bare(QStringLiteral("1;drop table x")).str()
            << "exec p  '1;drop table x'";
        QTest::newRow("empty bare is quoted") << ExecBuilder(QStringLiteral("p")).bare({}).str() << "exec p  ''";
    }
    void exec() {
        QFETCH(QString, built);
        QFETCH(QString, expected);
        QCOMPARE(built, expected);
    }

    // A typed quote goes into the store through a procedure and comes back through a list read.
    void quoteRoundTrip_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("O'Neil") << "O'Neil";
        QTest::newRow("quote at the ends") << "'양끝'";
        QTest::newRow("comment and semicolon") << "a'; --";
    }
    void quoteRoundTrip() {
        QFETCH(QString, name);
        TestStore store;
        PromptScript prompts;
        ExecBuilder save(QStringLiteral("화주저장"));
        save.text(QStringLiteral("broker")).text(name);
        for (int i = 3; i <= 16; ++i) save.text(i == 5 ? name : QString());
        QStringList read;
        const bool completed = RunRoutine([&] {
            StoreTrap trap;
            trap.execute(save);
            SharedRecordset rs = trap.open(QStringLiteral("select * from 코드_화주 where 1=1 and 화주명=") + Quote(name) +
                                           QStringLiteral(" order by 코드"));
            for (; !rs.EOF_(); rs.MoveNext()) read << trap.field(rs, QStringLiteral("화주명")) << trap.field(rs, QStringLiteral("대표자"));
        });
        QVERIFY2(completed, qPrintable(prompts.texts().join(QLatin1Char('|'))));
        QCOMPARE(read, (QStringList{name, name}));
        QVERIFY(prompts.asked().empty());
        QCOMPARE(store.value(QStringLiteral("select count(*) from 코드_화주")), QStringLiteral("1"));
    }
};

DELMORA_TEST_MAIN(SqlTextTest)
#include "tst_sqltext.moc"
