// The in-house text box: the key codes the screens act on, formatted boxes, pastes longer than
// the box, and the half-typed Korean syllable that must survive a focus change.
#include "mytext.h"
#include "testmain.h"

#include <QClipboard>
#include <QPushButton>
#include <QInputMethodEvent>
#include <QSignalSpy>
#include <QVBoxLayout>

namespace {
// Key events carrying any text, Hangul included, as a keyboard without an input method sends.
void TypeText(QWidget* box, const QString& text) {
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(c), Qt::NoModifier);
}
} // namespace

class TestMyText : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void keyCodes_data();
    void keyCodes();
    void swallowedKeys_data();
    void swallowedKeys();
    void tabReportedOnceThenMovesFocus();
    void formattedBoxes_data();
    void formattedBoxes();
    void longPaste_data();
    void longPaste();
    void storedValueLongerThanTheLimit();
    void preeditKeptOnFocusOut_data();
    void preeditKeptOnFocusOut();
    void passwordBoxKeepsInputMethodOff();
    void entryKinds_data();
    void entryKinds();
    void storedValueShownAsStored();
    void enterPressesTheSearchButton_data();
    void enterPressesTheSearchButton();

private:
    QWidget* m_window = nullptr;
    MyText* m_box = nullptr;
    MyText* m_other = nullptr;
};

void TestMyText::init() {
    m_window = new QWidget;
    auto* layout = new QVBoxLayout(m_window);
    m_box = new MyText(m_window);
    m_box->setObjectName(QStringLiteral("상차지"));
    m_other = new MyText(m_window);
    m_other->setObjectName(QStringLiteral("하차지"));
    layout->addWidget(m_box);
    layout->addWidget(m_other);
    m_window->show();
    QApplication::setActiveWindow(m_window);
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    m_box->setFocus();
    QTRY_VERIFY(m_box->hasFocus());
}

void TestMyText::cleanup() {
    delete m_window;
    m_window = nullptr;
}

void TestMyText::keyCodes_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("enterCode");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("shift");
    QTest::newRow("return") << int(Qt::Key_Return) << 0 << 13 << 13 << 0;
    QTest::newRow("keypad enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << 13 << 13 << 0;
    QTest::newRow("password box enter") << int(Qt::Key_Return) << 0 << 0 << 0 << 0;
    QTest::newRow("escape") << int(Qt::Key_Escape) << 0 << 13 << 27 << 0;
    QTest::newRow("up") << int(Qt::Key_Up) << 0 << 13 << 38 << 0;
    QTest::newRow("down") << int(Qt::Key_Down) << 0 << 13 << 40 << 0;
    QTest::newRow("left") << int(Qt::Key_Left) << 0 << 13 << 37 << 0;
    QTest::newRow("right") << int(Qt::Key_Right) << 0 << 13 << 39 << 0;
    QTest::newRow("backspace") << int(Qt::Key_Backspace) << 0 << 13 << 8 << 0;
    QTest::newRow("delete") << int(Qt::Key_Delete) << 0 << 13 << 46 << 0;
    QTest::newRow("F1") << int(Qt::Key_F1) << 0 << 13 << 112 << 0;
    QTest::newRow("F12") << int(Qt::Key_F12) << 0 << 13 << 123 << 0;
    QTest::newRow("A") << int(Qt::Key_A) << 0 << 13 << 65 << 0;
    QTest::newRow("shift Z") << int(Qt::Key_Z) << int(Qt::ShiftModifier) << 13 << 90 << 1;
    QTest::newRow("ctrl 0") << int(Qt::Key_0) << int(Qt::ControlModifier) << 13 << 48 << 2;
    QTest::newRow("alt 9") << int(Qt::Key_9) << int(Qt::AltModifier) << 13 << 57 << 4;
}

void TestMyText::keyCodes() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, enterCode);
    QFETCH(int, code);
    QFETCH(int, shift);
    m_box->setEnterKeyCode(enterCode);
    QList<std::pair<int, int>> seen;
    connect(m_box, &MyText::KeyDown, this, [&](int& k, int s) { seen.append({k, s}); });
    QTest::keyClick(m_box, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    // A modifier is a key of its own (Shift 16, Ctrl 17, Alt 18) reported before the key itself.
    QCOMPARE(seen.size(), modifiers & ~Qt::KeypadModifier ? 2 : 1);
    if (seen.size() == 2) QCOMPARE(seen[0].first, shift == 1 ? 16 : shift == 2 ? 17 : 18);
    QCOMPARE(seen.last().first, code);
    QCOMPARE(seen.last().second, shift);
}

void TestMyText::swallowedKeys_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("swallow");
    QTest::newRow("letter kept") << int(Qt::Key_A) << "xa" << false;
    QTest::newRow("letter dropped") << int(Qt::Key_A) << "x" << true;
    QTest::newRow("backspace kept") << int(Qt::Key_Backspace) << "" << false;
    QTest::newRow("backspace dropped") << int(Qt::Key_Backspace) << "x" << true;
}

void TestMyText::swallowedKeys() {
    QFETCH(int, key);
    QFETCH(QString, expected);
    QFETCH(bool, swallow);
    m_box->SetText(QStringLiteral("x"));
    connect(m_box, &MyText::KeyDown, this, [&](int& k, int) {
        if (swallow) k = 0;
    });
    QTest::keyClick(m_box, Qt::Key(key), Qt::NoModifier);
    QCOMPARE(m_box->Text(), expected);

    // Enter dropped by the handler (EnterToTab) never reaches the box's own Enter handling.
    QSignalSpy returned(m_box, &QLineEdit::returnPressed);
    QTest::keyClick(m_box, Qt::Key_Return);
    QCOMPARE(returned.size(), swallow ? 0 : 1);
}

void TestMyText::tabReportedOnceThenMovesFocus() {
    int reports = 0;
    connect(m_box, &MyText::KeyDown, this, [&](int& k, int) {
        if (k == 9) ++reports;
    });
    QTest::keyClick(m_box, Qt::Key_Tab);
    QCOMPARE(reports, 1);
    QTRY_VERIFY(m_other->hasFocus());
}

void TestMyText::formattedBoxes_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("shown");
    QTest::newRow("phone") << int(TextType::Telephone) << "01012345678"
                           << "010-1234-5678";
    QTest::newRow("seoul") << int(TextType::Telephone) << "021234567"
                           << "02-123-4567";
    QTest::newRow("phone too short") << int(TextType::Telephone) << "02-12"
                                     << "02-12";
    QTest::newRow("business") << int(TextType::BusinessNumber) << "1234567890"
                              << "123-45-67890";
    QTest::newRow("plain") << int(TextType::Plain) << "1234567890"
                           << "1234567890";
    QTest::newRow("empty") << int(TextType::Telephone) << ""
                           << "";
}

void TestMyText::formattedBoxes() {
    QFETCH(int, type);
    QFETCH(QString, written);
    QFETCH(QString, shown);
    m_box->setTextType(TextType(type));
    m_box->setMaxLength(13);
    QSignalSpy changes(m_box, &MyText::Change);
    m_box->SetText(written);
    QCOMPARE(m_box->Text(), shown);
    QCOMPARE(m_box->TextVal(), shown);
    QCOMPARE(changes.isEmpty(), written.isEmpty());

    // Typed in by hand, the layout appears when the box is left.
    m_box->SetText({});
    QTest::keyClicks(m_box, written);
    QSignalSpy lost(m_box, &MyText::LostFocus);
    m_other->setFocus();
    QTRY_COMPARE(lost.size(), 1);
    QCOMPARE(m_box->Text(), shown);
}

void TestMyText::longPaste_data() {
    QTest::addColumn<int>("maxLength");
    QTest::addColumn<int>("kept");
    QTest::newRow("limited box") << 50 << 50;
    QTest::newRow("unlimited box") << 32767 << 10000;
}

void TestMyText::longPaste() {
    QFETCH(int, maxLength);
    QFETCH(int, kept);
    m_box->setMaxLength(maxLength);
    const QString pasted = QString(QStringLiteral("가'\"")).repeated(3334).left(10000);
    QApplication::clipboard()->setText(pasted);
    m_box->paste();
    QCOMPARE(m_box->Text().size(), kept);
    QCOMPARE(m_box->Text(), pasted.left(kept));
}

void TestMyText::storedValueLongerThanTheLimit() {
    // A record saved by another program may hold more than this box lets one type: it is shown
    // whole, and the box's own limit returns with the next value that fits.
    m_box->setTextType(TextType::Telephone);
    m_box->setMaxLength(11);
    m_box->SetText(QStringLiteral("01012345678"));
    QCOMPARE(m_box->Text(), QStringLiteral("010-1234-5678"));
    m_box->SetText(QStringLiteral("0212"));
    QCOMPARE(m_box->maxLength(), 11);
    QTest::keyClicks(m_box, QStringLiteral("345678901234"));
    QCOMPARE(m_box->Text(), QStringLiteral("02123456789"));
}

void TestMyText::preeditKeptOnFocusOut_data() {
    QTest::addColumn<QString>("committed");
    QTest::addColumn<QString>("preedit");
    QTest::addColumn<bool>("imCommitsFirst");
    QTest::addColumn<QString>("expected");
    QTest::newRow("one syllable in composition") << ""
                                                 << "한" << false << "한";
    QTest::newRow("after committed syllables") << "서울"
                                               << "시" << false << "서울시";
    QTest::newRow("input method committed itself") << ""
                                                   << "한" << true << "한";
    QTest::newRow("nothing composing") << "대전"
                                       << "" << false << "대전";
}

void TestMyText::preeditKeptOnFocusOut() {
    QFETCH(QString, committed);
    QFETCH(QString, preedit);
    QFETCH(bool, imCommitsFirst);
    QFETCH(QString, expected);
    if (!committed.isEmpty()) {
        QInputMethodEvent commit;
        commit.setCommitString(committed);
        QApplication::sendEvent(m_box, &commit);
    }
    if (!preedit.isEmpty()) {
        QInputMethodEvent composing(preedit, {});
        QApplication::sendEvent(m_box, &composing);
    }
    if (imCommitsFirst) {
        QInputMethodEvent commit;
        commit.setCommitString(preedit);
        QApplication::sendEvent(m_box, &commit);
    }
    m_other->setFocus();
    QTRY_VERIFY(m_other->hasFocus());
    QCOMPARE(m_box->Text(), expected);
    QCOMPARE(m_other->Text(), QString());
}

void TestMyText::passwordBoxKeepsInputMethodOff() {
    m_box->setImeOff(true);
    m_box->setPasswordChar(u'*');
    QVERIFY(!m_box->testAttribute(Qt::WA_InputMethodEnabled));
    QCOMPARE(m_box->echoMode(), QLineEdit::Password);
    m_box->setPasswordChar(QChar());
    QVERIFY(!m_box->testAttribute(Qt::WA_InputMethodEnabled));
    m_box->setImeOff(false);
    QVERIFY(m_box->testAttribute(Qt::WA_InputMethodEnabled));
    QVERIFY(m_box->inputMethodQuery(Qt::ImEnabled).toBool());
    // The input method is asked whether it may act on the box, and must hear no.
    m_box->setImeOff(true);
    QVERIFY(!m_box->inputMethodQuery(Qt::ImEnabled).toBool());
}

void TestMyText::entryKinds_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("expected");
    const int amount = int(EntryKind::Amount), weight = int(EntryKind::Weight), code = int(EntryKind::Code),
              phone = int(EntryKind::Phone), business = int(EntryKind::BusinessNumber), time = int(EntryKind::Time);
    // Latin letters are what Hangul-mode keys give a box with the input method off.
    QTest::newRow("code, Hangul-mode keys") << code << "1001rk" << "" << "1001";
    QTest::newRow("amount with a syllable") << amount << "12345가구" << "" << "12345";
    QTest::newRow("amount pasted with separators") << amount << "" << "1,200,000원" << "1200000";
    QTest::newRow("amount with a quote") << amount << "3'00" << "" << "300";
    QTest::newRow("amount in full-width digits") << amount << "" << "３５０００" << "35000";
    QTest::newRow("weight with a point") << weight << "2.5" << "" << "2.5";
    QTest::newRow("weight, a second point") << weight << "1.2.5" << "" << "1.25";
    QTest::newRow("weight pasted with its unit") << weight << "" << "2.5톤" << "2.5톤";
    QTest::newRow("weight in other units") << weight << "" << "5t" << "5";
    QTest::newRow("phone") << phone << "010-1234-5678a" << "" << "010-1234-5678";
    QTest::newRow("business number") << business << "" << "123-45-67890 (주)" << "123-45-67890";
    QTest::newRow("time") << time << "09:30분" << "" << "09:30";
    QTest::newRow("free text keeps everything") << int(EntryKind::Text) << "서울 'A'동 12" << "" << "서울 'A'동 12";
    // Controls (NUL, tab, DEL) and the marks that turn text around never enter a box.
    const QString disguised = QStringLiteral("110-") + QChar(0) + QStringLiteral("234\t5") + QChar(0x7f) +
                              QChar(0x202e) + QStringLiteral("67") + QChar(0x2066) + QChar(0x200f) + QStringLiteral("8");
    QTest::newRow("free text, pasted controls and direction marks") << int(EntryKind::Text) << "" << disguised
                                                                    << "110-2345678";
    QTest::newRow("phone, pasted direction marks") << phone << "" << disguised << "110-2345678";
}

void TestMyText::entryKinds() {
    QFETCH(int, kind);
    QFETCH(QString, typed);
    QFETCH(QString, pasted);
    QFETCH(QString, expected);
    m_box->setEntryKind(EntryKind(kind));
    const bool text = EntryKind(kind) == EntryKind::Text;
    // Hangul mode must not reach a number box: the input method is off there.
    QCOMPARE(m_box->testAttribute(Qt::WA_InputMethodEnabled), text);
    QCOMPARE(m_box->inputMethodQuery(Qt::ImEnabled).toBool(), text);
    QCOMPARE(m_box->imeOff(), !text);
    TypeText(m_box, typed);
    if (!pasted.isEmpty()) {
        QApplication::clipboard()->setText(pasted);
        m_box->paste();
    }
    QCOMPARE(m_box->Text(), expected);
    // Back to free text, the input method is on again.
    m_box->setEntryKind(EntryKind::Text);
    QVERIFY(m_box->testAttribute(Qt::WA_InputMethodEnabled));
}

void TestMyText::storedValueShownAsStored() {
    // What the store holds is shown whole, even where the box would not let one type it, so
    // saving the record back loses nothing.
    m_box->setEntryKind(EntryKind::Weight);
    m_box->SetText(QStringLiteral("5,000kg"));
    QCOMPARE(m_box->Text(), QStringLiteral("5,000kg"));
    m_other->setFocus();
    QTRY_VERIFY(m_other->hasFocus());
    QCOMPARE(m_box->Text(), QStringLiteral("5,000kg"));
    // A telephone box is a number box too.
    m_other->setTextType(TextType::Telephone);
    QCOMPARE(m_other->entryKind(), EntryKind::Phone);
    TypeText(m_other, QStringLiteral("02가123"));
    QCOMPARE(m_other->Text(), QStringLiteral("02123"));
}

void TestMyText::enterPressesTheSearchButton_data() {
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("clicks");
    QTest::newRow("enter") << true << int(Qt::Key_Return) << 1;
    QTest::newRow("keypad enter") << true << int(Qt::Key_Enter) << 1;
    QTest::newRow("button switched off") << false << int(Qt::Key_Return) << 0;
    QTest::newRow("other keys type") << true << int(Qt::Key_A) << 0;
}

void TestMyText::enterPressesTheSearchButton() {
    QFETCH(bool, enabled);
    QFETCH(int, key);
    QFETCH(int, clicks);
    auto* button = new QPushButton(QStringLiteral("   조회"), m_window);
    button->setEnabled(enabled);
    button->show();
    EnterPresses(*m_box, *button);
    QSignalSpy clicked(button, &QPushButton::clicked);
    QSignalSpy returned(m_box, &QLineEdit::returnPressed);
    QTest::keyClick(m_box, Qt::Key(key));
    QCOMPARE(clicked.size(), clicks);
    // The Enter that ran the search goes no further (no default button of a dialog takes it).
    QCOMPARE(returned.size(), 0);
}

DELMORA_TEST_MAIN(TestMyText)
#include "tst_mytext.moc"
