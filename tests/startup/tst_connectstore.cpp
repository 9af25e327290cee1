#include "testmain.h"
#include "deployment.h"
#include "ini.h"
#include "odbcbackend.h"
#include "prompts.h"
#include "storeconnection.h"
#include "teststore.h"
#include <QFile>

namespace {
const QString RetryQuestion = QStringLiteral("서버접속 에러입니다.\n다시 시도하시겠습니까?");
const QString GiveUp = QStringLiteral("재시도횟수 초과입니다.");

void writeData(const QString& catalog, const QString& user, const QString& password) {
    QFile::remove(SettingsPath());
    if (!catalog.isNull()) WriteIni(QStringLiteral("데이타"), QStringLiteral("DB명"), catalog);
    if (!user.isNull()) WriteIni(QStringLiteral("데이타"), QStringLiteral("DB아이디"), user);
    if (!password.isNull()) WriteIni(QStringLiteral("데이타"), QStringLiteral("DB비밀번호"), password);
}
} // namespace

class ConnectStoreTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() {
        QFile::remove(SettingsPath());
        UseDatabaseServer({});
        StoreConnection.reset();
        StoreReady = false;
    }

    void settings_data() {
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("catalog");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("login");
        QTest::addColumn<QString>("secret");
        QTest::newRow("empty [데이타]") << "db.delmora.local" << QString() << QString() << QString()
                                        << "Initial Catalog=national_corvanta;Data Source = 'db.delmora.local,8916';"
                                        << "sa" << "Tk4629_%!wd";
        QTest::newRow("DB명=other") << "10.0.0.5" << "other" << QString() << QString()
                                    << "Initial Catalog=other;Data Source = '10.0.0.5,8916';" << "sa" << "Tk4629_%!wd";
        QTest::newRow("DB아이디 with empty password") << "10.0.0.5" << QString() << "agent" << ""
                                                     << "Initial Catalog=national_corvanta;Data Source = '10.0.0.5,8916';"
                                                     << "agent" << "";
        QTest::newRow("password without DB아이디 is unused") << "h" << "" << "" << "pw"
                                                            << "Initial Catalog=national_corvanta;Data Source = 'h,8916';"
                                                            << "sa" << "Tk4629_%!wd";
        QTest::newRow("embedded store") << "" << "" << "u" << "p" << "Initial Catalog=national_corvanta;Data Source = '';"
                                        << "u" << "p";
    }
    void settings() {
        QFETCH(QString, server);
        QFETCH(QString, catalog);
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(QString, text);
        QFETCH(QString, login);
        QFETCH(QString, secret);
        UseDatabaseServer(server);
        writeData(catalog, user, password);
        const ConnectionSettings s = ReadConnectionSettings();
        QCOMPARE(s.connectionText, text);
        QCOMPARE(s.user, login);
        QCOMPARE(s.password, secret);
    }

    void odbcText_data() {
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("expected");
        QTest::newRow("built-in login")
            << "db.local,8916" << "Tk4629_%!wd"
            << "DRIVER={FreeTDS};SERVER=db.local,8916;DATABASE={national_corvanta};UID={sa};PWD={Tk4629_%!wd};"
               "TDS_Version=7.4;ClientCharset=UTF-8";
        QTest::newRow("brace and semicolon in password")
            << "10.1.2.3,8916" << "a}b;DRIVER=x"
            << "DRIVER={FreeTDS};SERVER=10.1.2.3,8916;DATABASE={national_corvanta};UID={sa};PWD={a}}b;DRIVER=x};"
               "TDS_Version=7.4;ClientCharset=UTF-8";
        QTest::newRow("host that would add attributes") << "h;UID=x,8916" << "p" << "";
    }
    void odbcText() {
        QFETCH(QString, server);
        QFETCH(QString, password);
        QFETCH(QString, expected);
        ConnectionSettings s;
        s.catalog = QStringLiteral("national_corvanta");
        s.user = QStringLiteral("sa");
        s.password = password;
        s.server = server;
        QCOMPARE(OdbcConnectionString(s), expected);
    }

    // Nothing listens on 127.0.0.1:8916, so every attempt is a real refused FreeTDS login; an
    // embedded store that is missing or not a store fails the same way.
    void giveUpAfterFifty_data() {
        QTest::addColumn<QString>("server");
        QTest::addColumn<QByteArray>("storeFile");   // null: no file
        QTest::addColumn<QString>("catalog");
        QTest::newRow("unreachable SQL Server") << "127.0.0.1" << QByteArray() << QString();
        QTest::newRow("missing store file") << "" << QByteArray() << QString();
        QTest::newRow("garbage store file") << "" << QByteArray(4096, '\xA5') << QString();
        QTest::newRow("catalog leaving the folder") << "" << QByteArray("x") << "../national_corvanta";
    }
    void giveUpAfterFifty() {
        QFETCH(QString, server);
        QFETCH(QByteArray, storeFile);
        QFETCH(QString, catalog);
        UseDatabaseServer(server);
        if (!catalog.isEmpty()) WriteIni(QStringLiteral("데이타"), QStringLiteral("DB명"), catalog);
        const QString file = ProgramFolder() + QStringLiteral("/national_corvanta.sqlite");
        QFile::remove(file);
        if (!storeFile.isNull()) {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(storeFile);
        }
        PromptScript prompts;
        for (int i = 0; i < 48; ++i) prompts.answerYes();
        int attempts = 0;
        QVERIFY(!ConnectStore(attempts));
        QCOMPARE(attempts, 50);
        QVERIFY(!StoreReady);
        QVERIFY(!StoreConnection);
        QStringList expected;
        for (int i = 0; i < 48; ++i) expected << RetryQuestion;
        expected << GiveUp;
        QCOMPARE(prompts.texts(), expected);
        QCOMPARE(prompts.asked().back().kind, PromptKind::Refusal);
        QCOMPARE(prompts.asked().front().kind, PromptKind::Question);
        QVERIFY(prompts.unexpected().isEmpty());
        // The client never creates or repairs a store.
        QCOMPARE(QFile::exists(file), !storeFile.isNull());
        if (!storeFile.isNull()) {
            QFile f(file);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), storeFile);
        }
        QFile::remove(file);
    }

    void noEndsTheProgram_data() {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("questions");
        QTest::newRow("fresh counter: first retry is silent") << 0 << 1;
        QTest::newRow("counter carried in: asked at once") << 10 << 1;
    }
    void noEndsTheProgram() {
        QFETCH(int, start);
        QFETCH(int, questions);
        UseDatabaseServer(QStringLiteral("127.0.0.1"));
        PromptScript prompts;
        prompts.answerNo();
        int attempts = start;
        QVERIFY_THROWS_EXCEPTION(ProgramEnded, ConnectStore(attempts));
        QCOMPARE(attempts, start == 0 ? 2 : start + 1);
        QCOMPARE(prompts.texts(), QStringList(questions, RetryQuestion));
    }

    // Only 아니오 ends the program: a question closed by Esc or its close box is a retry.
    void closedQuestionRetries_data() {
        QTest::addColumn<QString>("answers"); // c: closed, y: 예, n: 아니오
        QTest::addColumn<bool>("ends");
        QTest::addColumn<int>("attempts");
        QTest::newRow("closed once, then 아니오") << "cn" << true << 3;
        QTest::newRow("closed, 예, closed, 아니오") << "cycn" << true << 5;
        QTest::newRow("closed every time: gives up at fifty") << QString(48, QLatin1Char('c')) << false << 50;
    }
    void closedQuestionRetries() {
        QFETCH(QString, answers);
        QFETCH(bool, ends);
        QFETCH(int, attempts);
        UseDatabaseServer(QStringLiteral("127.0.0.1"));
        PromptScript prompts;
        for (const QChar a : answers) {
            if (a == u'c') prompts.answerClosed();
            if (a == u'y') prompts.answerYes();
            if (a == u'n') prompts.answerNo();
        }
        int counter = 0;
        if (ends)
            QVERIFY_THROWS_EXCEPTION(ProgramEnded, ConnectStore(counter));
        else
            QVERIFY(!ConnectStore(counter));
        QCOMPARE(counter, attempts);
        QCOMPARE(prompts.pendingAnswers(), 0);
        QVERIFY(prompts.unexpected().isEmpty());
    }

    void counterNearTheLimit() {
        UseDatabaseServer(QStringLiteral("127.0.0.1"));
        PromptScript prompts;
        prompts.answerYes();
        prompts.answerYes();
        int attempts = 47;
        QVERIFY(!ConnectStore(attempts));
        QCOMPARE(attempts, 50);
        QCOMPARE(prompts.texts(), (QStringList{RetryQuestion, RetryQuestion, GiveUp}));
    }

    void connectsToTheEmbeddedStore() {
        TestStore store;
        QVERIFY(StoreReady);
        QVERIFY(StoreConnection);
        PromptScript prompts;
        int attempts = 0;
        QVERIFY(ConnectStore(attempts));
        QCOMPARE(attempts, 0);
        QVERIFY(prompts.asked().empty());
        const auto rows = StoreConnection->query(QStringLiteral("select count(*) as n from 화물오더"));
        QCOMPARE(rows->columnCount(), 1);
        QCOMPARE(SharedRecordset(rows).field(QStringLiteral("N")), QStringLiteral("0"));
    }

    void recordsetReadsByName() {
        auto rows = std::make_shared<dstore::ResultSet>();
        rows->setColumns({QByteArray("오더상태"), QByteArray("운송비")});
        rows->appendCell(QByteArrayView("접수"));
        rows->appendNull();
        SharedRecordset rs(rows);
        QCOMPARE(rs.RecordCount(), 1);
        QCOMPARE(rs.field(QStringLiteral("오더상태")), QStringLiteral("접수"));
        QCOMPARE(rs.field(QStringLiteral("운송비")), QString());
        QCOMPARE(rs.columnIndex(QStringLiteral("없는열")), -1);
        try {
            rs.field(QStringLiteral("없는열"));
            QFAIL("a missing column must raise 3265");
        } catch (const StoreFailure& f) {
            QCOMPARE(f.number, ADO_ITEM_NOT_FOUND);
        }
        rs.MoveNext();
        QVERIFY(rs.EOF_());
        QVERIFY_THROWS_EXCEPTION(StoreFailure, rs.field(QStringLiteral("오더상태")));
    }

    // More names than the lookup remembers, asked through kept and freshly built strings, in
    // both cases: every read lands on its own column.
    void manyNamesLandOnTheirColumns() {
        auto rows = std::make_shared<dstore::ResultSet>();
        std::vector<QByteArray> names;
        QStringList kept;
        for (int c = 0; c < 40; ++c) {
            names.push_back("Col" + QByteArray::number(c));
            kept << QStringLiteral("Col%1").arg(c);
        }
        rows->setColumns(names);
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 40; ++c) rows->appendCell(QByteArray::number(r * 100 + c));
        SharedRecordset rs(rows);
        for (int r = 0; !rs.EOF_(); rs.MoveNext(), ++r) {
            for (int pass = 0; pass < 2; ++pass)
                for (int c = 39; c >= 0; --c) {
                    QCOMPARE(rs.field(kept[c]), QString::number(r * 100 + c));
                    QCOMPARE(rs.field(QStringLiteral("COL%1").arg(c)), QString::number(r * 100 + c));
                }
        }
    }
};

DELMORA_TEST_MAIN(ConnectStoreTest)
#include "tst_connectstore.moc"
