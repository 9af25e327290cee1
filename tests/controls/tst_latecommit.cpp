// A Korean syllable stays in the box it was typed in, whichever way the input method orders its
// events around a focus change: IBus (ibus-hangul sends the syllable again after the focus has
// moved), fcitx5 (no copy) and no input method at all (plain key events). Each case is the
// sequence of events the box receives, as recorded from the real input methods.
#include "latecommit.h"
#include "mytext.h"
#include "testmain.h"

#include <QComboBox>
#include <QInputMethodEvent>
#include <QPushButton>
#include <QVBoxLayout>

class TestLateCommit : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void sequences_data();
    void sequences();

private:
    void run(const QString& step);
    QWidget* widget(const QString& name) const;

    QWidget* m_window = nullptr;
    MyText* m_a = nullptr;       // the box typed in
    MyText* m_b = nullptr;       // the box clicked next
    MyText* m_amount = nullptr;  // a number box: input method off
    QComboBox* m_list = nullptr; // a region list
    QPushButton* m_button = nullptr;
    qint64 m_now = 100000;
};

void TestLateCommit::init() {
    LateCommitGuard::shared().clear();
    LateCommitGuard::shared().setClock([this] { return m_now; });
    m_window = new QWidget;
    auto* layout = new QVBoxLayout(m_window);
    m_a = new MyText(m_window);
    m_b = new MyText(m_window);
    m_amount = new MyText(m_window);
    m_amount->setEntryKind(EntryKind::Amount);
    m_list = new QComboBox(m_window);
    m_list->addItems({QString(), QStringLiteral("서울"), QStringLiteral("경기")});
    LateCommitGuard::shared().watch(m_list);
    m_button = new QPushButton(QStringLiteral("오더추가"), m_window);
    for (QWidget* w :
         {static_cast<QWidget*>(m_a), static_cast<QWidget*>(m_b), static_cast<QWidget*>(m_amount),
          static_cast<QWidget*>(m_list), static_cast<QWidget*>(m_button)})
        layout->addWidget(w);
    m_window->show();
    QApplication::setActiveWindow(m_window);
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    m_a->setFocus(Qt::MouseFocusReason);
    QTRY_VERIFY(m_a->hasFocus());
}

void TestLateCommit::cleanup() {
    delete m_window;
    m_window = nullptr;
    LateCommitGuard::shared().setClock({});
    LateCommitGuard::shared().clear();
}

QWidget* TestLateCommit::widget(const QString& name) const {
    if (name == u"A") return m_a;
    if (name == u"B") return m_b;
    if (name == u"N") return m_amount;
    if (name == u"L") return m_list;
    if (name == u"button") return m_button;
    return nullptr;
}

// "A preedit 녕", "A commit 녕", "A empty" (an event with neither), "B focus" (a click),
// "B type 녕" (key events, no input method), "wait 2000" (time passes while the program is
// busy), "loop" (the event loop runs).
void TestLateCommit::run(const QString& step) {
    const QStringList p = step.split(u' ');
    if (p[0] == u"wait") {
        m_now += p[1].toLongLong();
        return;
    }
    if (p[0] == u"loop") {
        QCoreApplication::processEvents();
        return;
    }
    QWidget* w = widget(p[0]);
    QVERIFY2(w, qPrintable(step));
    const QString text = p.size() > 2 ? p[2] : QString();
    if (p[1] == u"preedit") {
        QInputMethodEvent event(text, {});
        QApplication::sendEvent(w, &event);
    } else if (p[1] == u"commit") {
        QInputMethodEvent event;
        event.setCommitString(text);
        QApplication::sendEvent(w, &event);
    } else if (p[1] == u"empty") {
        QInputMethodEvent event;
        QApplication::sendEvent(w, &event);
    } else if (p[1] == u"focus") {
        w->setFocus(Qt::MouseFocusReason);
        QVERIFY(w->hasFocus());
    } else if (p[1] == u"type") {
        for (const QChar c : text)
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
    } else {
        QFAIL(qPrintable(step));
    }
}

void TestLateCommit::sequences_data() {
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("amount");

    // 안녕 composed in A as ibus-hangul sends it: each finished syllable after an empty preedit.
    const QStringList typed = {"A preedit ㅇ", "A preedit 아", "A preedit 안", "A empty",
                               "A commit 안",  "A preedit ㄴ", "A preedit 녀", "A preedit 녕"};
    // Qt finishes the syllable in A as the focus leaves (IBus and fcitx5 alike).
    const QStringList clickB = typed + QStringList{"A commit 녕", "B focus", "loop"};

    QTest::newRow("IBus: click the next box, late copy")
        << clickB + QStringList{"B empty", "B commit 녕", "B empty"} << "안녕"
        << ""
        << ""
        << "";
    QTest::newRow("IBus: copy arrives after a long save")
        << typed + QStringList{"A commit 녕", "button focus", "B focus", "wait 4000", "loop", "B commit 녕"}
        << "안녕"
        << ""
        << ""
        << "";
    QTest::newRow("IBus: copy lands in a region list")
        << typed + QStringList{"A commit 녕", "L focus", "loop", "L commit 녕"} << "안녕"
        << ""
        << ""
        << "";
    QTest::newRow("IBus: 서 copied into a region list does not pick 서울")
        << QStringList{"A preedit ㅅ", "A preedit 서", "A commit 서", "L focus", "loop", "L commit 서"}
        << "서"
        << ""
        << ""
        << "";
    QTest::newRow("IBus: copy lands in a number box")
        << typed + QStringList{"A commit 녕", "N focus", "loop", "N commit 녕"} << "안녕"
        << ""
        << ""
        << "";
    QTest::newRow("IBus: the next syllable typed is the same one")
        << clickB + QStringList{"B empty",      "B commit 녕", "B preedit ㄴ", "B preedit 녀",
                                "B preedit 녕", "B empty",     "B commit 녕"}
        << "안녕"
        << "녕"
        << ""
        << "";
    QTest::newRow("IBus: Tab, syllable finished before the key")
        << typed + QStringList{"A empty",      "A commit 녕",  "B focus",      "loop",    "B empty",
                               "B preedit ㄴ", "B preedit 녀", "B preedit 녕", "B empty", "B commit 녕"}
        << "안녕"
        << "녕"
        << ""
        << "";
    QTest::newRow("IBus: focus left with the syllable still composing")
        << typed + QStringList{"B focus", "loop", "B commit 녕"} << "안녕"
        << ""
        << ""
        << "";
    QTest::newRow("fcitx5: no copy, the same syllable typed at once")
        << clickB + QStringList{"B empty", "B preedit ㄴ", "B preedit 녀", "B preedit 녕", "B commit 녕"}
        << "안녕"
        << "녕"
        << ""
        << "";
    QTest::newRow("fcitx5: no copy, a digit typed in Hangul mode")
        << clickB + QStringList{"B commit 1"} << "안녕"
        << "1"
        << ""
        << "";
    QTest::newRow("a commit long after the focus change is typing")
        << clickB + QStringList{"wait 3000", "B commit 녕"} << "안녕"
        << "녕"
        << ""
        << "";
    QTest::newRow("no input method: key events only")
        << QStringList{"A type 안녕", "B focus", "loop", "B type 녕"} << "안녕"
        << "녕"
        << ""
        << "";
    QTest::newRow("no input method after an IBus syllable") << clickB + QStringList{"B type 녕"} << "안녕"
                                                            << "녕"
                                                            << ""
                                                            << "";
    QTest::newRow("number box: stray input-method text long after")
        << QStringList{"N focus", "wait 5000", "N commit 가", "N type 12"} << ""
        << ""
        << ""
        << "12";
}

void TestLateCommit::sequences() {
    QFETCH(QStringList, steps);
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(QString, list);
    QFETCH(QString, amount);
    for (const QString& step : steps) {
        run(step);
        if (QTest::currentTestFailed()) return;
    }
    QCOMPARE(m_a->Text(), a);
    QCOMPARE(m_b->Text(), b);
    QCOMPARE(m_list->currentText(), list);
    QCOMPARE(m_amount->Text(), amount);
}

DELMORA_TEST_MAIN(TestLateCommit)
#include "tst_latecommit.moc"
