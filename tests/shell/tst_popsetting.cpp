// The settings dialog: its defaults, the checks in order with their messages and focus, the
// texts written as typed, and what screens opened afterwards take from it.
#include "frmorder.h"
#include "ini.h"
#include "mainwindow.h"
#include "mytext.h"
#include "popsetting.h"
#include "prompts.h"
#include "screens.h"
#include "signin.h"
#include "spreadgrid.h"
#include "testmain.h"
#include "teststore.h"
#include "workscreens.h"

#include <QFile>
#include <csignal>
#include <sys/resource.h>
#include <QLabel>
#include <QPushButton>

namespace {
const QString kOptions = QStringLiteral("옵션");
const QString kHeight = QStringLiteral("표높이설정");
const QString kInterval = QStringLiteral("갱신주기");
const QString kSaved = QStringLiteral("설정이 저장되었습니다.");

void ShowAndActivate(QDialog& d) {
    d.show();
    QApplication::setActiveWindow(&d);
    if (!QTest::qWaitForWindowActive(&d)) qWarning("dialog not active");
}
} // namespace

class PopSettingTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        QFile::remove(SettingsPath());
        RowHeightSetting = QStringLiteral("18");
        RefreshIntervalSetting = QStringLiteral("10");
    }

    // It shows the values the screens use (the file's, or the defaults the main window took
    // when it holds none) and, closed unsaved, changes none of them.
    void defaults_data() {
        QTest::addColumn<QString>("storedHeight");
        QTest::addColumn<QString>("storedInterval");
        QTest::addColumn<QString>("height");
        QTest::addColumn<QString>("interval");
        QTest::newRow("nothing stored") << ""
                                        << ""
                                        << "18"
                                        << "10";
        QTest::newRow("stored") << "22"
                                << "45"
                                << "22"
                                << "45";
        QTest::newRow("stored with letters") << "24x"
                                             << "30"
                                             << "24x"
                                             << "30";
    }
    void defaults() {
        QFETCH(QString, storedHeight);
        QFETCH(QString, storedInterval);
        QFETCH(QString, height);
        QFETCH(QString, interval);
        if (!storedHeight.isEmpty()) WriteIni(kOptions, kHeight, storedHeight);
        if (!storedInterval.isEmpty()) WriteIni(kOptions, kInterval, storedInterval);
        LoadDisplaySettings(); // as the main window does when it opens
        PromptScript prompts;
        popSetting d;
        QCOMPARE(d.findChild<QLabel*>(QStringLiteral("단위(1)"))->text(), QStringLiteral("초 (5~3600)"));
        QCOMPARE(d.windowTitle(), QStringLiteral("환경설정"));
        QCOMPARE(d.표높이->Text(), height);
        QCOMPARE(d.갱신타이머->Text(), interval);
        ShowAndActivate(d);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(d.표높이));
        QCOMPARE(d.표높이->selectedText(), height);
        QTest::keyClick(&d, Qt::Key_Escape);
        QVERIFY(!d.isVisible());
        QCOMPARE(RowHeightSetting, height);
        QCOMPARE(RefreshIntervalSetting, interval);
        QVERIFY(prompts.asked().empty());
        // Closed unsaved: the file is as it was.
        QCOMPARE(ReadIni(kOptions, kInterval), storedInterval);
    }

    void checks_data() {
        QTest::addColumn<QString>("height");
        QTest::addColumn<QString>("interval");
        QTest::addColumn<QString>("message"); // "" = accepted
        QTest::addColumn<QString>("focus");
        QTest::addColumn<bool>("emptied");
        const QString under7 = QStringLiteral("표 높이를 7 이상의 숫자로 기입해주세요.");
        const QString over100 = QStringLiteral("표 높이를 100 이하의 숫자로 기입해주세요.");
        const QString under5 =
            QStringLiteral("최소한 5 이상의 숫자를 입력해주세요.\n너무 잦은 갱신은 서버에 부담이 됩니다.");
        const QString over3600 = QStringLiteral(
            "최대 3600 이하의 숫자를 입력해주세요.\n한 시간이 넘는 주기는 갱신이 멈춘 것과 같습니다.");
        QTest::newRow("height empty") << ""
                                      << "30"
                                      << "표 높이를 입력해주세요."
                                      << "표높이" << false;
        QTest::newRow("height blanks") << "   "
                                       << "30"
                                       << "표 높이를 입력해주세요."
                                       << "표높이" << false;
        QTest::newRow("height 6.9") << "6.9"
                                    << "30" << under7 << "표높이" << true;
        QTest::newRow("height 7") << "7"
                                  << "30"
                                  << ""
                                  << "" << false;
        QTest::newRow("height 12abc reads 12") << "12abc"
                                               << "30"
                                               << ""
                                               << "" << false;
        QTest::newRow("height abc reads 0") << "abc"
                                            << "30" << under7 << "표높이" << true;
        QTest::newRow("height 100") << "100"
                                    << "30"
                                    << ""
                                    << "" << false;
        QTest::newRow("height 101") << "101"
                                    << "30" << over100 << "표높이" << true;
        QTest::newRow("height 5000") << "5000"
                                     << "30" << over100 << "표높이" << true;
        QTest::newRow("height 1e9") << "1e9"
                                    << "30" << over100 << "표높이" << true;
        QTest::newRow("height checked first") << ""
                                              << ""
                                              << "표 높이를 입력해주세요."
                                              << "표높이" << false;
        QTest::newRow("interval empty") << "24"
                                        << ""
                                        << "오더 정보를 갱신할 타임을 기록해주세요."
                                        << "갱신타이머" << false;
        QTest::newRow("interval 4") << "24"
                                    << "4" << under5 << "갱신타이머" << true;
        QTest::newRow("interval 5") << "24"
                                    << "5"
                                    << ""
                                    << "" << false;
        QTest::newRow("interval 3600") << "24"
                                       << "3600"
                                       << ""
                                       << "" << false;
        QTest::newRow("interval 3601") << "24"
                                       << "3601" << over3600 << "갱신타이머" << true;
        QTest::newRow("interval -30") << "24"
                                      << "-30" << under5 << "갱신타이머" << true;
    }
    void checks() {
        QFETCH(QString, height);
        QFETCH(QString, interval);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        QFETCH(bool, emptied);
        PromptScript prompts;
        popSetting d;
        ShowAndActivate(d);
        d.표높이->SetText(height);
        d.갱신타이머->SetText(interval);
        if (message.isEmpty()) prompts.answerYes();
        QTest::mouseClick(d.cmdArr.at(4), Qt::LeftButton);
        if (message.isEmpty()) {
            QCOMPARE(prompts.texts(), (QStringList{QStringLiteral("현재 설정을 저장하시겠습니까?"), kSaved}));
            QCOMPARE(prompts.asked().back().kind, PromptKind::Notice);
            QVERIFY(!d.isVisible());
            QCOMPARE(ReadIni(kOptions, kHeight), height);
            QCOMPARE(ReadIni(kOptions, kInterval), interval);
            return;
        }
        QCOMPARE(prompts.texts(), QStringList{message});
        QCOMPARE(prompts.asked().front().kind, PromptKind::Refusal);
        QVERIFY(d.isVisible());
        QCOMPARE(QApplication::focusWidget()->objectName(), focus);
        // The dialog active again, as when the message box closes: the refused box keeps the focus.
        QWidget elsewhere;
        elsewhere.show();
        QApplication::setActiveWindow(&elsewhere);
        QApplication::setActiveWindow(&d);
        QVERIFY(QTest::qWaitForWindowActive(&d));
        QCOMPARE(QApplication::focusWidget()->objectName(), focus);
        auto* box = d.findChild<MyText*>(focus);
        QCOMPARE(box->Text(), emptied ? QString() : (box == d.표높이 ? height : interval));
        // Nothing reached the file or the running values.
        QVERIFY(ReadIni(kOptions, kHeight).isEmpty());
        QCOMPARE(RowHeightSetting, QStringLiteral("18"));
        QCOMPARE(RefreshIntervalSetting, QStringLiteral("10"));
    }

    // The texts go to the file exactly as typed, blanks included; 아니오 keeps the dialog open
    // and writes nothing.
    void writtenAsTyped() {
        PromptScript prompts;
        popSetting d;
        ShowAndActivate(d);
        d.표높이->SetText(QStringLiteral(" 24"));
        d.갱신타이머->SetText(QStringLiteral("30 "));
        prompts.answerNo();
        QTest::mouseClick(d.cmdArr.at(4), Qt::LeftButton);
        QVERIFY(d.isVisible());
        QVERIFY(ReadIni(kOptions, kHeight).isEmpty());
        prompts.answerYes();
        QTest::mouseClick(d.cmdArr.at(4), Qt::LeftButton);
        QVERIFY(!d.isVisible());
        QFile file(SettingsPath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        QVERIFY2(text.contains(QStringLiteral("표높이설정= 24\r\n")) ||
                     text.contains(QStringLiteral("표높이설정= 24\n")),
                 qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("갱신주기=30 ")), qPrintable(text));
        QCOMPARE(RowHeightSetting, QStringLiteral(" 24"));
        QCOMPARE(RefreshIntervalSetting, QStringLiteral("30 "));
    }

    // A file that could not be written (here: the process may write no more than a few bytes,
    // as on a full disk) is said so; the old file stays and the dialog stays open.
    void failedSaveIsSaid() {
        WriteIni(kOptions, kHeight, QStringLiteral("12"));
        QFile old(SettingsPath());
        QVERIFY(old.open(QIODevice::ReadOnly));
        const QByteArray before = old.readAll();
        PromptScript prompts;
        popSetting d;
        ShowAndActivate(d);
        d.표높이->SetText(QStringLiteral("24"));
        d.갱신타이머->SetText(QStringLiteral("30"));
        prompts.answerYes();
        ::signal(SIGXFSZ, SIG_IGN);
        rlimit saved{};
        ::getrlimit(RLIMIT_FSIZE, &saved);
        rlimit small = saved;
        small.rlim_cur = 8;
        ::setrlimit(RLIMIT_FSIZE, &small);
        QTest::mouseClick(d.cmdArr.at(4), Qt::LeftButton);
        ::setrlimit(RLIMIT_FSIZE, &saved);
        QCOMPARE(prompts.texts().size(), 2);
        QVERIFY2(prompts.texts().last().startsWith(QStringLiteral("설정을 저장하지 못했습니다.")),
                 qPrintable(prompts.texts().last()));
        QVERIFY(d.isVisible());
        QVERIFY(RowHeightSetting != QStringLiteral("24"));
        QFile after(SettingsPath());
        QVERIFY(after.open(QIODevice::ReadOnly));
        QCOMPARE(after.readAll(), before);
    }

    // Through the menu, as a user: save 24 and 30; the open board takes the taller rows and
    // counts down from 30 at once, and so does one opened afterwards.
    void screensFollowAtOnce() {
        TestStore store;
        RegisterWorkScreens();
        SignedIn = false;
        frmMain main;
        main.setEnabled(true);
        main.show();
        auto* before = qobject_cast<frmOrder*>(OpenScreen(QStringLiteral("오더등록")));
        QVERIFY(before);
        before->Timer1->stop();
        QCOMPARE(before->refreshPeriod(), qint16(10));

        PromptScript prompts;
        prompts.answerYes();
        QTimer::singleShot(0, this, [] {
            auto* d = qobject_cast<popSetting*>(QApplication::activeModalWidget());
            if (!d) return;
            d->표높이->SetText(QStringLiteral("24"));
            d->갱신타이머->SetText(QStringLiteral("30"));
            QTest::mouseClick(d->cmdArr.at(4), Qt::LeftButton);
        });
        main.Dispatch(QStringLiteral("환경설정"));
        QCOMPARE(prompts.texts().last(), kSaved);
        QCOMPARE(before->refreshPeriod(), qint16(30));
        QCOMPARE(before->sp->RowHeight(-1), 24.0);

        before->cmdArr.at(99)->click();
        QTRY_VERIFY(!OpenedScreen(QStringLiteral("오더등록")));
        auto* after = qobject_cast<frmOrder*>(OpenScreen(QStringLiteral("오더등록")));
        QVERIFY(after);
        after->Timer1->stop();
        after->SetLiveFeed(false); // the countdown, as on a store that cannot tell its changes
        QCOMPARE(after->refreshPeriod(), qint16(30));
        QCOMPARE(after->sp->RowHeight(-1), 24.0);
        after->Timer1_Timer();
        QCOMPARE(after->lblCount->text(), QStringLiteral("30초"));
    }
};

DELMORA_TEST_MAIN(PopSettingTest)
#include "tst_popsetting.moc"
