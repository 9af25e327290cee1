// The whole program by keyboard: every work screen and the settings dialog opened from the main
// window by keys alone and closed again, the Alt letters of the menus, the open screens cycled.
#include "clock.h"
#include "frmorder.h"
#include "mainwindow.h"
#include "mytext.h"
#include "prompts.h"
#include "screens.h"
#include "signin.h"
#include "testmain.h"
#include "teststore.h"
#include "workscreens.h"

#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>

namespace {
QChar AltLetter(const QString& text) {
    const qsizetype at = text.indexOf(QLatin1Char('&'));
    return at >= 0 && at + 1 < text.size() ? text.at(at + 1).toUpper() : QChar();
}

// One key (a chord counts once) to whatever has the focus, as a user's keys go.
void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* target = QApplication::activePopupWidget();
    if (!target) target = QApplication::activeModalWidget();
    if (!target) target = QApplication::focusWidget();
    if (!target) target = QApplication::activeWindow();
    QVERIFY(target);
    QTest::keyClick(target, key, modifiers);
}
} // namespace

class MainKeyboardTest : public QObject {
    Q_OBJECT
    std::unique_ptr<TestStore> store;
    std::unique_ptr<frmMain> main;

    QString ActiveCaption() const {
        QMdiSubWindow* sub = main->mdiArea()->activeSubWindow();
        return sub && sub->widget() ? sub->widget()->windowTitle() : QString();
    }

private slots:
    void initTestCase() {
        Clock::set(QDateTime(QDate(2026, 12, 9), QTime(9, 40)));
        LoginId = QStringLiteral("demo");
        BrokerName = QStringLiteral("델모라주선");
        RowHeightSetting = QStringLiteral("18");
        RefreshIntervalSetting = QStringLiteral("10");
        store = std::make_unique<TestStore>();
        RegisterWorkScreens();
        main = std::make_unique<frmMain>();
        main->setEnabled(true);
        main->resize(1366, 768);
        main->show();
        QApplication::setActiveWindow(main.get());
        QVERIFY(QTest::qWaitForWindowActive(main.get()));
    }
    void cleanupTestCase() {
        main.reset();
        store.reset();
    }

    // Each menu's items have one Alt letter each, none twice in a menu; the menu bar's letters
    // are none the order board gives its fields, as both answer Alt in the same window.
    void altLettersAreUnique() {
        QMenuBar* bar = main->menuBar();
        QList<QList<QAction*>> menus = {bar->actions()};
        for (QAction* a : bar->actions())
            if (a->menu()) {
                emit a->menu()->aboutToShow();
                menus << a->menu()->actions();
            }
        for (const QList<QAction*>& actions : menus) {
            QSet<QChar> letters;
            for (QAction* a : actions) {
                if (a->isSeparator()) continue;
                const QChar letter = AltLetter(a->text());
                QVERIFY2(!letter.isNull(), qPrintable(a->text()));
                QVERIFY2(!letters.contains(letter), qPrintable(a->text()));
                letters.insert(letter);
            }
        }
        QSet<QChar> barLetters;
        for (QAction* a : bar->actions())
            barLetters.insert(AltLetter(a->text()));
        frmOrder board;
        board.Timer1->stop();
        for (QLabel* label : board.findChildren<QLabel*>())
            QVERIFY2(!barLetters.contains(AltLetter(label->text())) || AltLetter(label->text()).isNull(),
                     qPrintable(label->text()));
    }

    // By the menu (Alt, the menu's letter, the item's letter) and by the screen's own key; Ctrl+W
    // closes it again. F10 reaches the menu bar.
    void everyScreenByKeys_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("path"); // the menu's letter and the item's
        QTest::addColumn<int>("key");      // the screen's key with Ctrl
        const char* const rows[][2] = {{"오더등록", "DR"},   {"", ""},           {"차주관리", "BC"}, {"화주관리", "BH"},
                                       {"주선사관리", "BJ"}, {"계산서관리", "JI"}, {"정산관리", "JS"}};
        for (int i = 0; i < 7; ++i) // 오더조회 (Ctrl+2) cannot be chosen from the menu by design
            if (*rows[i][0]) QTest::newRow(rows[i][0]) << rows[i][0] << rows[i][1] << int(Qt::Key_1 + i);
    }
    void everyScreenByKeys() {
        QFETCH(QString, caption);
        QFETCH(QString, path);
        QFETCH(int, key);
        PromptScript prompts;
        Key(Qt::Key(path.at(0).unicode()), Qt::AltModifier);
        QTRY_VERIFY(QApplication::activePopupWidget());
        Key(Qt::Key(path.at(1).unicode()));
        QTRY_VERIFY(OpenedScreen(caption));
        QCOMPARE(ActiveCaption(), OpenedScreen(caption)->windowTitle());
        Key(Qt::Key_W, Qt::ControlModifier);
        QTRY_VERIFY(!OpenedScreen(caption));

        Key(Qt::Key(key), Qt::ControlModifier);
        QTRY_VERIFY(OpenedScreen(caption));
        Key(Qt::Key_W, Qt::ControlModifier);
        QTRY_VERIFY(!OpenedScreen(caption));
        QVERIFY2(prompts.asked().empty(), qPrintable(prompts.texts().join(u'|')));

        Key(Qt::Key_F10);
        QTRY_VERIFY(QApplication::activePopupWidget());
        Key(Qt::Key_Escape);
        Key(Qt::Key_Escape);
        QTRY_VERIFY(!QApplication::activePopupWidget());
    }

    void settingsDialogByKeys() {
        bool shown = false;
        QTimer::singleShot(0, this, [&] {
            QTRY_VERIFY(QApplication::activeModalWidget());
            shown = QApplication::activeModalWidget()->objectName() == QStringLiteral("popSetting");
            Key(Qt::Key_Escape);
        });
        Key(Qt::Key_E, Qt::AltModifier);
        QVERIFY(shown);
        QVERIFY(!QApplication::activeModalWidget());
    }

    // The open screens in the order they were opened: Ctrl+Tab forward, Ctrl+Shift+Tab back, the
    // 창 menu lists them; Ctrl+W on typed input asks as 닫기 does.
    void openScreensCycle() {
        PromptScript prompts;
        QApplication::setActiveWindow(main.get());
        QVERIFY(QTest::qWaitForWindowActive(main.get()));
        for (int k : {Qt::Key_3, Qt::Key_1, Qt::Key_7})
            Key(Qt::Key(k), Qt::ControlModifier);
        QTRY_COMPARE(ActiveCaption(), QStringLiteral("정산관리"));
        for (const QString expected : {"차주관리", "오더등록", "정산관리"}) {
            Key(Qt::Key_Tab, Qt::ControlModifier);
            QTRY_COMPARE(ActiveCaption(), expected);
        }
        Key(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
        QTRY_COMPARE(ActiveCaption(), QStringLiteral("오더등록"));

        QMenu* windows = main->findChild<QMenu*>(QStringLiteral("메뉴_창"));
        emit windows->aboutToShow();
        QStringList listed;
        for (QAction* a : windows->actions())
            listed << a->text() + (a->isChecked() ? QStringLiteral("*") : QString());
        QCOMPARE(listed.mid(0, 3), QStringList({"&1 차주관리", "&2 오더등록*", "&3 정산관리"}));

        auto* board = static_cast<frmOrder*>(OpenedScreen(QStringLiteral("오더등록")));
        board->상차지->setFocus();
        QTest::keyClicks(board->상차지, QStringLiteral("abc"));
        prompts.answerNo();
        Key(Qt::Key_W, Qt::ControlModifier);
        QCOMPARE(prompts.texts(), QStringList({"입력 중인 오더가 있습니다. 지우시겠습니까?"}));
        QVERIFY(OpenedScreen(QStringLiteral("오더등록")));
        prompts.answerYes();
        Key(Qt::Key_W, Qt::ControlModifier);
        QTRY_VERIFY(!OpenedScreen(QStringLiteral("오더등록")));
    }
};

DELMORA_TEST_MAIN(MainKeyboardTest)
#include "tst_mainkeyboard.moc"
