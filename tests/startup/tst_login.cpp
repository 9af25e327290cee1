#include "testmain.h"

#include "browser.h"
#include "deployment.h"
#include "frmlogin.h"
#include "ini.h"
#include "localhttp.h"
#include "mytext.h"
#include "prompts.h"
#include "signin.h"
#include "teststore.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <sqlite3.h>
#include <QFile>
#include <QInputDialog>
#include <QLabel>
#include <QPushButton>

// The login dialog against a fresh embedded store with known brokers, prompts scripted. Most
// cases take the store for a SQL Server store, whose passwords the client reads and compares;
// ourStore* cases sign in on the embedded store as it is, where the store does the comparing.
class TestLogin : public QObject {
    Q_OBJECT

    std::unique_ptr<TestStore> m_store;
    std::unique_ptr<QWidget> m_main;
    std::unique_ptr<frmLogin> m_dialog;
    std::unique_ptr<PromptScript> m_prompts;

    static const QString NewPasswordPrompt;
    static const QString RepeatPrompt;
    static const QString TooShort;
    static const QString Mismatch;

    void addBroker(const QString& id, const QString& passwordLiteral) {
        m_store->exec(QStringLiteral("insert into 코드_주선사(아이디, 비밀번호, 주선사명, 연락처) values('%1', %2, '%1상사', '021234567')")
                          .arg(QString(id).replace(QLatin1Char('\''), QStringLiteral("''")), passwordLiteral));
    }
    QString storedPassword(const QString& id) {
        return m_store->value(QStringLiteral("select 비밀번호 from 코드_주선사 where 아이디='%1'")
                                  .arg(QString(id).replace(QLatin1Char('\''), QStringLiteral("''"))));
    }
    // Read past the store's guard, which keeps the hashes from every client statement.
    QByteArray storedHash(const QString& id, const char* column = "해시") {
        sqlite3* db = nullptr;
        QByteArray out;
        sqlite3_open_v2(m_store->path().toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(db,
                           QByteArray("select h.") + column +
                               " from 주선사암호 h join 코드_주선사 b on b.ID = h.주선사ID where b.아이디 = ?1",
                           -1, &s, nullptr);
        sqlite3_bind_text(s, 1, id.toUtf8().constData(), -1, SQLITE_TRANSIENT);
        if (sqlite3_step(s) == SQLITE_ROW) out = reinterpret_cast<const char*>(sqlite3_column_text(s, 0));
        sqlite3_finalize(s);
        sqlite3_close(db);
        return out;
    }
    // The SQL Server store lets 비밀번호 be NULL; the embedded one is made to allow it too.
    void allowNullPasswords() {
        m_store->reshape(QStringLiteral("drop view 로그인"));
        m_store->reshape(QStringLiteral("drop table 코드_주선사"));
        m_store->reshape(QStringLiteral(
            "create table 코드_주선사 (ID integer primary key autoincrement, 아이디 text not null collate nocase unique, "
            "비밀번호 text, 주선사명 text, 연락처 text, 대표자 text, 사업자번호 text, 업태 text, 종목 text, 우편번호 text, "
            "우편주소1 text, 우편주소2 text, 주소1 text, 주소2 text, 기록일시 text)"));
        m_store->reshape(QStringLiteral("create view 로그인 as select ID, 아이디, 비밀번호 from 코드_주선사"));
        m_store->reshape(QStringLiteral("create trigger 로그인_비밀번호 instead of update on 로그인 begin update 코드_주선사 "
                                     "set 비밀번호 = coalesce(new.비밀번호, '') where ID = old.ID; end"));
    }

    frmLogin& openDialog() {
        m_dialog = std::make_unique<frmLogin>(m_main.get());
        m_dialog->show();
        if (!QTest::qWaitForWindowActive(m_dialog.get())) QApplication::setActiveWindow(m_dialog.get());
        return *m_dialog;
    }
    void type(const QString& id, const QString& password) {
        m_dialog->txtid->SetText(id);
        m_dialog->txtpass->SetText(password);
    }
    void clickLogin() { QTest::mouseClick(m_dialog->btnLogin, Qt::LeftButton); }
    QString selectFor(const QString& quotedId) const {
        return QStringLiteral("select * from 코드_주선사 where 아이디=") + quotedId;
    }
    QString iniFile() const {
        QFile f(SettingsPath());
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

private Q_SLOTS:
    void init() {
        QFile::remove(SettingsPath());
        m_store = std::make_unique<TestStore>();
        if (!QByteArray(QTest::currentTestFunction()).startsWith("ourStore")) m_store->actAsServerStore();
        Deployment d = CurrentDeployment();
        d.updateServer.clear();   // no web request unless a test serves one
        d.homePage = QStringLiteral("http://www.delmora.co.kr");
        SetDeployment(d);
        addBroker(QStringLiteral("kim"), QStringLiteral("'abcd'"));
        addBroker(QStringLiteral("new"), QStringLiteral("''"));
        addBroker(QStringLiteral("o'neil"), QStringLiteral("'p1'"));
        m_main = std::make_unique<QWidget>();
        m_main->setEnabled(false);
        LoginId.clear();
        BrokerName.clear();
        BrokerPhone.clear();
        LoginSucceeded = false;
        SignedIn = false;
        m_prompts = std::make_unique<PromptScript>();
        m_store->clearStatements();
    }
    void cleanup() {
        if (m_prompts) QVERIFY2(m_prompts->unexpected().isEmpty(), qPrintable(m_prompts->unexpected().join(" | ")));
        m_prompts.reset();
        m_dialog.reset();
        m_main.reset();
        m_store.reset();
        SetUrlOpener({});
    }

    void caption() {
        frmLogin& dialog = openDialog();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("㈜델모라 콜센터 로그인 [버전 1.0.0.0]"));
        QCOMPARE(dialog.Label1->text(), dialog.windowTitle());
        QCOMPARE(dialog.Label2->text(), QStringLiteral("http://www.delmora.co.kr"));
        QCOMPARE(dialog.size(), dialog.SSPanel4->size());
        QVERIFY(!LoginSucceeded);
    }

    void passwordBoxHidesWhatIsTyped() {
        frmLogin& dialog = openDialog();
        QCOMPARE(dialog.txtpass->echoMode(), QLineEdit::Password);
        QVERIFY(!dialog.txtpass->testAttribute(Qt::WA_InputMethodEnabled));
        const auto box = frmLogin::NewPasswordDialog(&dialog);
        QCOMPARE(box->textEchoMode(), QLineEdit::Password);
        QCOMPARE(box->windowTitle(), QStringLiteral("㈜델모라"));
        QCOMPARE(box->labelText(), NewPasswordPrompt);
        const auto again = frmLogin::NewPasswordDialog(&dialog, true);
        QCOMPARE(again->textEchoMode(), QLineEdit::Password);
        QCOMPARE(again->labelText(), RepeatPrompt);
    }

    void signIn_data() {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("byEnter");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QStringList>("statements");
        QTest::addColumn<bool>("succeeds");
        QTest::addColumn<QString>("idAfter");
        QTest::addColumn<QString>("passwordAfter");
        QTest::addColumn<QString>("focus");
        QTest::newRow("no user name") << "" << "abcd" << false << QStringList{"아이디를 입력하세요."} << QStringList{}
                                      << false << "" << "abcd" << "txtid";
        QTest::newRow("no password") << "kim" << "" << false << QStringList{"비밀번호를 입력하세요."} << QStringList{}
                                     << false << "kim" << "" << "txtpass";
        QTest::newRow("no such user") << "park" << "abcd" << false << QStringList{"일치하는 사용자가 없습니다."}
                                      << QStringList{selectFor("'park'")} << false << "" << "" << "txtid";
        QTest::newRow("wrong password") << "kim" << "abce" << false << QStringList{"비밀번호가 일치하지 않습니다."}
                                        << QStringList{selectFor("'kim'")} << false << "kim" << "" << "txtpass";
        QTest::newRow("password in other case") << "kim" << "ABCD" << false
                                                << QStringList{"비밀번호가 일치하지 않습니다."}
                                                << QStringList{selectFor("'kim'")} << false << "kim" << "" << "txtpass";
        QTest::newRow("password with a blank more") << "kim" << "abcd " << false
                                                    << QStringList{"비밀번호가 일치하지 않습니다."}
                                                    << QStringList{selectFor("'kim'")} << false << "kim" << ""
                                                    << "txtpass";
        QTest::newRow("right password") << "kim" << "abcd" << false << QStringList{} << QStringList{selectFor("'kim'")}
                                        << true << "kim" << "abcd" << "";
        QTest::newRow("enter in the password box") << "kim" << "abcd" << true << QStringList{}
                                                   << QStringList{selectFor("'kim'")} << true << "kim" << "abcd" << "";
        QTest::newRow("quote in the user name") << "o'neil" << "p1" << false << QStringList{}
                                                << QStringList{selectFor("'o''neil'")} << true << "o'neil" << "p1" << "";
        QTest::newRow("quote that tries to get round the password")
            << "x' or '1'='1" << "zz" << false << QStringList{"일치하는 사용자가 없습니다."}
            << QStringList{selectFor("'x'' or ''1''=''1'")} << false << "" << "" << "txtid";
        QTest::newRow("very long user name") << QString(10000, QLatin1Char('k')) << "abcd" << false
                                             << QStringList{"일치하는 사용자가 없습니다."}
                                             << QStringList{selectFor("'" + QString(10000, QLatin1Char('k')) + "'")}
                                             << false << "" << "" << "txtid";
    }
    void signIn() {
        QFETCH(QString, id);
        QFETCH(QString, password);
        QFETCH(bool, byEnter);
        QFETCH(QStringList, messages);
        QFETCH(QStringList, statements);
        QFETCH(bool, succeeds);
        QFETCH(QString, idAfter);
        QFETCH(QString, passwordAfter);
        QFETCH(QString, focus);
        frmLogin& dialog = openDialog();
        type(id, password);
        if (byEnter) {
            dialog.txtpass->setFocus();
            QTest::keyClick(dialog.txtpass, Qt::Key_Return);
        } else {
            clickLogin();
        }
        QCOMPARE(m_prompts->texts(), messages);
        QCOMPARE(m_store->statements(), statements);
        QCOMPARE(LoginSucceeded, succeeds);
        QCOMPARE(SignedIn, succeeds);
        QCOMPARE(m_main->isEnabled(), succeeds);
        QCOMPARE(dialog.isVisible(), !succeeds);
        QCOMPARE(dialog.txtid->Text(), idAfter);
        QCOMPARE(dialog.txtpass->Text(), passwordAfter);
        if (!focus.isEmpty()) QCOMPARE(dialog.focusWidget()->objectName(), focus);
        if (succeeds) {
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
            QCOMPARE(LoginId, id);
            QCOMPARE(BrokerName, id + QStringLiteral("상사"));
            QCOMPARE(BrokerPhone, QStringLiteral("021234567"));
        }
    }

    void loginIdIsTrimmed() {
        // The store is asked for the name as typed; the signed-in name has no blanks around it.
        m_store->exec(QStringLiteral("update 코드_주선사 set 아이디=' kim ' where 아이디='kim'"));
        openDialog();
        type(QStringLiteral(" kim "), QStringLiteral("abcd"));
        clickLogin();
        QVERIFY(LoginSucceeded);
        QCOMPARE(m_store->statements(), QStringList{selectFor("' kim '")});
        QCOMPARE(LoginId, QStringLiteral("kim"));
    }

    // On our own store the client sends the ID and the password and reads only a verdict and the
    // broker's name and phone; no password lands where a client statement can read it.
    void ourStoreSignIn_data() {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QString>("statement");
        QTest::newRow("right password") << "kim" << "abcd" << QStringList{} << "exec 로그인확인  'kim','abcd'";
        QTest::newRow("wrong password") << "kim" << "abce" << QStringList{Mismatch} << "exec 로그인확인  'kim','abce'";
        QTest::newRow("no such user") << "park" << "abcd" << QStringList{"일치하는 사용자가 없습니다."}
                                      << "exec 로그인확인  'park','abcd'";
        QTest::newRow("quote that tries to get round the password")
            << "kim" << "x' or '1'='1" << QStringList{Mismatch} << "exec 로그인확인  'kim','x'' or ''1''=''1'";
        QTest::newRow("quote in the user name") << "o'neil" << "p1" << QStringList{} << "exec 로그인확인  'o''neil','p1'";
    }
    void ourStoreSignIn() {
        QFETCH(QString, id);
        QFETCH(QString, password);
        QFETCH(QStringList, messages);
        QFETCH(QString, statement);
        openDialog();
        type(id, password);
        clickLogin();
        QCOMPARE(m_prompts->texts(), messages);
        QCOMPARE(m_store->statements(), QStringList{statement});
        QCOMPARE(LoginSucceeded, messages.isEmpty());
        if (LoginSucceeded) QCOMPARE(BrokerName, id + QStringLiteral("상사"));
        QCOMPARE(m_store->value(QStringLiteral("select group_concat(비밀번호) from 코드_주선사")), QStringLiteral("#,,#"));
        QVERIFY(storedHash(QStringLiteral("kim")).startsWith("$argon2id$"));
    }

    void ourStoreFirstPassword() {
        openDialog();
        type(QStringLiteral("new"), QStringLiteral("x"));
        m_prompts->answerText(QStringLiteral("새비번12"));
        m_prompts->answerText(QStringLiteral("새비번12"));
        clickLogin();
        QVERIFY(LoginSucceeded);
        QCOMPARE(m_store->statements(), (QStringList{QStringLiteral("exec 로그인확인  'new','x'"),
                                                     QStringLiteral("exec 비밀번호설정  'new','새비번12'")}));
        QCOMPARE(storedPassword(QStringLiteral("new")), QStringLiteral("#"));
        QVERIFY(storedHash(QStringLiteral("new")).startsWith("$argon2id$"));
        // Set once, a password is not set again this way.
        QCOMPARE(m_store->value(QStringLiteral("exec 비밀번호설정 'new','다른비번'")), QStringLiteral("거절"));
        m_dialog.reset();
        openDialog();
        type(QStringLiteral("new"), QStringLiteral("새비번12"));
        clickLogin();
        QVERIFY(LoginSucceeded);
    }

    // From the third wrong try in a row the store answers each further try later, and says so.
    void ourStoreWrongTriesAreSlowedDown() {
        openDialog();
        QElapsedTimer clock;
        qint64 fourth = 0;
        for (int attempt = 1; attempt <= 4; ++attempt) {
            type(QStringLiteral("kim"), QStringLiteral("wrong"));
            clock.start();
            clickLogin();
            if (attempt == 4) fourth = clock.elapsed();
        }
        QCOMPARE(m_prompts->texts(),
                 (QStringList{Mismatch, Mismatch,
                              Mismatch + QStringLiteral("\n3번 연속 틀렸습니다. 다음 로그인은 1초 뒤에 확인됩니다."),
                              Mismatch + QStringLiteral("\n4번 연속 틀렸습니다. 다음 로그인은 2초 뒤에 확인됩니다.")}));
        QVERIFY2(fourth >= 1000, qPrintable(QString::number(fourth)));
        type(QStringLiteral("kim"), QStringLiteral("abcd"));
        clickLogin();
        QVERIFY(LoginSucceeded);
        // A right password starts the count afresh.
        QCOMPARE(storedHash(QStringLiteral("kim"), "틀린횟수"), QByteArray("0"));
    }

    void firstPassword_data() {
        QTest::addColumn<bool>("storedNull");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("fresh");
        QTest::newRow("empty stored password") << false << "anything" << "새비번12";
        QTest::newRow("NULL stored password") << true << "x" << "pass";
        QTest::newRow("quote in the new password") << false << "x" << "pa'ss";
    }
    void firstPassword() {
        QFETCH(bool, storedNull);
        QFETCH(QString, typed);
        QFETCH(QString, fresh);
        if (storedNull) {
            allowNullPasswords();
            addBroker(QStringLiteral("new"), QStringLiteral("NULL"));
            QCOMPARE(m_store->value(QStringLiteral("select count(*) from 코드_주선사 where 비밀번호 is null")),
                     QStringLiteral("1"));
        }
        frmLogin& dialog = openDialog();
        type(QStringLiteral("new"), typed);

        // Three characters are too few: the dialog stays and asks again on the next try.
        m_prompts->answerText(QStringLiteral("abc"));
        clickLogin();
        QCOMPARE(m_prompts->texts(), (QStringList{NewPasswordPrompt, TooShort}));
        QCOMPARE(m_prompts->asked()[0].kind, PromptKind::Input);
        QCOMPARE(m_prompts->asked()[0].title, QStringLiteral("㈜델모라"));
        QCOMPARE(m_prompts->asked()[0].defaultValue, QString());
        QCOMPARE(m_prompts->asked()[1].kind, PromptKind::Notice);
        QVERIFY(dialog.isVisible());
        QVERIFY(!LoginSucceeded);
        QVERIFY(!m_main->isEnabled());

        m_prompts->clear();
        m_store->clearStatements();
        m_prompts->answerText(fresh);
        m_prompts->answerText(fresh);
        clickLogin();
        QCOMPARE(m_prompts->texts(), (QStringList{NewPasswordPrompt, RepeatPrompt}));
        QCOMPARE(m_prompts->asked()[1].kind, PromptKind::Input);
        const QString quoted = QStringLiteral("'") +
                               QString(fresh).replace(QLatin1Char('\''), QStringLiteral("''")) +
                               QStringLiteral("'");
        QCOMPARE(m_store->statements(),
                 (QStringList{selectFor("'new'"), QStringLiteral("update 로그인 set 비밀번호=") + quoted +
                                                       QStringLiteral(" where 아이디='new'")}));
        QVERIFY(LoginSucceeded);
        QVERIFY(m_main->isEnabled());
        QVERIFY(!dialog.isVisible());
        // The next sign-in reads the new password from the broker table.
        QCOMPARE(storedPassword(QStringLiteral("new")), fresh);
    }

    void cancelledFirstPasswordIsTooShort() {
        openDialog();
        type(QStringLiteral("new"), QStringLiteral("x"));
        m_prompts->answerText(QString());
        clickLogin();
        QCOMPARE(m_prompts->texts(), (QStringList{NewPasswordPrompt, TooShort}));
        QCOMPARE(m_store->statements(), QStringList{selectFor("'new'")});
        QCOMPARE(storedPassword(QStringLiteral("new")), QString());
        QVERIFY(!LoginSucceeded);
    }

    // A first password is written only when it was typed the same way twice.
    void firstPasswordTypedTwice_data() {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QString>("stored");
        QTest::newRow("the same twice")
            << "fresh1"
            << "fresh1" << QStringList{NewPasswordPrompt, RepeatPrompt} << "fresh1";
        QTest::newRow("a slip the second time")
            << "fresh1"
            << "fresh2" << QStringList{NewPasswordPrompt, RepeatPrompt, Mismatch} << "";
        QTest::newRow("other case the second time")
            << "Fresh1"
            << "fresh1" << QStringList{NewPasswordPrompt, RepeatPrompt, Mismatch} << "";
        QTest::newRow("a blank more the second time")
            << "fresh1"
            << "fresh1 " << QStringList{NewPasswordPrompt, RepeatPrompt, Mismatch} << "";
        QTest::newRow("second box cancelled")
            << "fresh1"
            << "" << QStringList{NewPasswordPrompt, RepeatPrompt, Mismatch} << "";
        QTest::newRow("too short is refused before the second box")
            << "abc" << QString() << QStringList{NewPasswordPrompt, TooShort} << "";
    }
    void firstPasswordTypedTwice() {
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(QStringList, messages);
        QFETCH(QString, stored);
        frmLogin& dialog = openDialog();
        type(QStringLiteral("new"), QStringLiteral("x"));
        m_prompts->answerText(first);
        if (!second.isNull()) m_prompts->answerText(second);
        clickLogin();
        QCOMPARE(m_prompts->texts(), messages);
        QCOMPARE(m_prompts->pendingAnswers(), 0);
        QCOMPARE(storedPassword(QStringLiteral("new")), stored);
        const bool signedIn = !stored.isEmpty();
        QCOMPARE(LoginSucceeded, signedIn);
        QCOMPARE(m_main->isEnabled(), signedIn);
        QCOMPARE(dialog.isVisible(), !signedIn);
        if (signedIn) return;
        QCOMPARE(m_store->statements(), QStringList{selectFor("'new'")});
        // The next try asks for both again, and the store still calls it a first sign-in.
        m_prompts->clear();
        m_prompts->answerText(QStringLiteral("again1"));
        m_prompts->answerText(QStringLiteral("again1"));
        clickLogin();
        QCOMPARE(m_prompts->texts(), (QStringList{NewPasswordPrompt, RepeatPrompt}));
        QVERIFY(LoginSucceeded);
        QCOMPARE(storedPassword(QStringLiteral("new")), QStringLiteral("again1"));
    }

    void storeFailures_data() {
        QTest::addColumn<QString>("id");
        QTest::addColumn<int>("nth");
        QTest::addColumn<qint64>("number");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<bool>("succeeds");
        QTest::addColumn<QString>("storedAfter");
        QTest::newRow("syntax error on the look-up")
            << "kim" << 1 << qint64(-2147217900) << QStringList{"에러번호 : -2147217900\n에러내용 : injected"} << false
            << "abcd";
        QTest::newRow("lost connection on the look-up, reconnected") << "kim" << 1 << qint64(-2147467259)
                                                                     << QStringList{} << true << "abcd";
        QTest::newRow("constraint error on the first password")
            << "new" << 2 << qint64(-2147217873)
            << QStringList{NewPasswordPrompt, RepeatPrompt, "에러번호 : -2147217873\n에러내용 : injected"}
            << false << "";
    }
    void storeFailures() {
        QFETCH(QString, id);
        QFETCH(int, nth);
        QFETCH(qint64, number);
        QFETCH(QStringList, messages);
        QFETCH(bool, succeeds);
        QFETCH(QString, storedAfter);
        frmLogin& dialog = openDialog();
        type(id, QStringLiteral("abcd"));
        if (id == QLatin1String("new")) {
            m_prompts->answerText(QStringLiteral("fresh1"));
            m_prompts->answerText(QStringLiteral("fresh1"));
        }
        m_store->failStatement(nth, number);
        clickLogin();
        QCOMPARE(m_prompts->texts(), messages);
        QCOMPARE(LoginSucceeded, succeeds);
        QCOMPARE(dialog.isVisible(), !succeeds);
        QCOMPARE(m_main->isEnabled(), succeeds);
        QCOMPARE(storedPassword(id), storedAfter);
    }

    void rememberedName_data() {
        QTest::addColumn<bool>("remember");
        QTest::addColumn<QString>("ini");
        QTest::addColumn<QString>("idShown");
        QTest::addColumn<QString>("focus");
        QTest::newRow("remembered") << true << "[로그인]\n아이디=kim\n정보저장=예\n" << "kim" << "txtpass";
        QTest::newRow("forgotten") << false << "[로그인]\n아이디=\n정보저장=아니오\n" << "" << "txtid";
    }
    void rememberedName() {
        QFETCH(bool, remember);
        QFETCH(QString, ini);
        QFETCH(QString, idShown);
        QFETCH(QString, focus);
        // The opposite choice was made last time.
        WriteIni(QStringLiteral("로그인"), QStringLiteral("아이디"), remember ? QString() : QStringLiteral("lee"));
        WriteIni(QStringLiteral("로그인"), QStringLiteral("정보저장"), remember ? QStringLiteral("아니오") : QStringLiteral("예"));
        frmLogin& first = openDialog();
        QCOMPARE(first.Check1->isChecked(), !remember);
        QCOMPARE(first.txtid->Text(), remember ? QString() : QStringLiteral("lee"));
        first.Check1->setChecked(remember);
        type(QStringLiteral("kim"), QStringLiteral("abcd"));
        clickLogin();
        QVERIFY(LoginSucceeded);
        QCOMPARE(iniFile().remove(QLatin1Char('\r')), ini);

        // The next start.
        frmLogin& next = openDialog();
        QCOMPARE(next.Check1->isChecked(), remember);
        QCOMPARE(next.txtid->Text(), idShown);
        QCOMPARE(next.focusWidget()->objectName(), focus);
    }

    void emptiedBoxesStayEmptyAfterTheMessage() {
        // A message box closing over the dialog activates it again; that must not bring the
        // remembered name back into the box the failed attempt emptied.
        WriteIni(QStringLiteral("로그인"), QStringLiteral("아이디"), QStringLiteral("kim"));
        WriteIni(QStringLiteral("로그인"), QStringLiteral("정보저장"), QStringLiteral("예"));
        frmLogin& dialog = openDialog();
        type(QStringLiteral("park"), QStringLiteral("x"));
        clickLogin();
        QApplication::setActiveWindow(m_main.get());
        QApplication::setActiveWindow(&dialog);
        QCOMPARE(dialog.txtid->Text(), QString());
        QCOMPARE(dialog.focusWidget(), dialog.txtid);
    }

    void endingTheProgram() {
        openDialog();
        // click() rather than a synthetic mouse event: the exception must not unwind through Qt's
        // pointer-event delivery, which would leave that event's bookkeeping behind.
        QVERIFY_THROWS_EXCEPTION(ProgramEnded, m_dialog->isButton1->click());
        QVERIFY(!LoginSucceeded);
        openDialog();
        QVERIFY_THROWS_EXCEPTION(ProgramEnded, m_dialog->close());
        QVERIFY(!LoginSucceeded);
        // Escape is not a way out.
        openDialog();
        QTest::keyClick(m_dialog.get(), Qt::Key_Escape);
        QVERIFY(m_dialog->isVisible());
    }

    void homePageLink() {
        QList<QUrl> opened;
        SetUrlOpener([&](const QUrl& url) {
            opened << url;
            return true;
        });
        frmLogin& dialog = openDialog();
        const auto colourOf = [&] { return dialog.Label2->palette().color(QPalette::WindowText); };
        QCOMPARE(colourOf(), QColor(0, 0, 0));
        // Moves through the window, as the pointer does: the widget under it gets the event.
        const auto moveOver = [&](QWidget* w, QPoint at) { QTest::mouseMove(dialog.windowHandle(), w->mapTo(&dialog, at)); };
        moveOver(dialog.Label2, QPoint(5, 5));
        QCOMPARE(colourOf(), QColor(0, 0, 0xFF));
        QVERIFY(dialog.Label2->font().underline());
        moveOver(dialog.SSPanel4, QPoint(3, dialog.SSPanel4->height() - 3));
        QCOMPARE(colourOf(), QColor(0, 0, 0));
        QVERIFY(!dialog.Label2->font().underline());
        QTest::mouseClick(dialog.Label2, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(opened, QList<QUrl>{QUrl(QStringLiteral("http://www.delmora.co.kr"))});
    }

    void onlineRequestDoesNotHoldUpTheDialog() {
        LocalHttpServer server;
        server.route("/cs/hal_online_server.asp", LocalHttpServer::Route{200, {}, -1, true});   // never answers
        Deployment d = CurrentDeployment();
        d.updateServer = server.host();
        SetDeployment(d);
        frmLogin& dialog = openDialog();
        // The dialog is up and working while the web server has yet to answer.
        type(QStringLiteral("kim"), QStringLiteral("abcd"));
        QTRY_COMPARE(server.paths(), QList<QByteArray>{"/cs/hal_online_server.asp"});
        QCOMPARE(server.requests()[0].userAgent, QByteArray("vb wininet"));
        clickLogin();
        QVERIFY(LoginSucceeded);
        QVERIFY(!dialog.isVisible());
    }
};

const QString TestLogin::NewPasswordPrompt =
    QStringLiteral("비밀번호를 새로 설정합니다.\n새로 사용될 비밀번호를 입력하고 엔터를 눌러주세요.");
const QString TestLogin::RepeatPrompt =
    QStringLiteral("확인을 위해 같은 비밀번호를 한 번 더 입력하고 엔터를 눌러주세요.");
const QString TestLogin::Mismatch = QStringLiteral("비밀번호가 일치하지 않습니다.");
const QString TestLogin::TooShort =
    QStringLiteral("비밀번호의 자릿수가 너무 적습니다.\n4자리 이상의 문자 혹은 숫자로 구성해 주십시오.");

DELMORA_TEST_MAIN(TestLogin)
#include "tst_login.moc"
