#pragma once
// The in-house text box (TesselControl.MyText) and its label, on QLineEdit / QLabel.
#include "textformat.h"
#include <QLabel>
#include <QLineEdit>

class QAbstractButton;

// What a box holds. The number and code boxes switch the input method off (Hangul mode must not
// turn the digits typed after them into syllables) and take only the characters their value
// can hold; a stored value written with SetText is shown as stored all the same.
enum class EntryKind { Text, Amount, Weight, Code, Phone, BusinessNumber, Time };

// What typing or pasting into a box of the kind leaves of the text: the characters the kind
// cannot hold are dropped (any script's decimal digits count as digits), so a pasted
// "1,200,000원" becomes 1200000 in an amount box.
QString FilterEntry(EntryKind kind, const QString& text);
// The short notice shown beside a box when typed characters were dropped.
QString EntryRefusal(EntryKind kind);

class MyText : public QLineEdit {
    Q_OBJECT
public:
    explicit MyText(QWidget* parent = nullptr);

    // The shown text; for text type 1 and 9 the formatted layout of what was written.
    QString Text() const;
    // Fills the box; "" empties it. A formatted box formats what it is given. Like the old
    // control, maxlength limits typing only: a longer stored value is shown whole (the limit
    // widens until a value that fits is written again), so saving it back loses nothing.
    void SetText(const QString& value);
    // The entered value, as searches, sign-in and saves read it (the shown text).
    QString TextVal() const;

    TextType texttype() const { return m_type; }
    // Text type 1 and 9 make a free-text box a business-number or telephone box.
    void setTextType(TextType type);
    EntryKind entryKind() const { return m_kind; }
    void setEntryKind(EntryKind kind);
    // passwordchar: a non-null character masks what is typed.
    void setPasswordChar(QChar c);
    QChar passwordChar() const { return m_passwordChar; }
    // imemode off: no input method (the password box).
    void setImeOff(bool off);
    // Off when set so, and in every number and code box.
    bool imeOff() const { return m_imeOff || m_kind != EntryKind::Text; }
    // Tells the input method it has nothing to do here when it is off.
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    void setLocked(bool locked) { setReadOnly(locked); }
    bool locked() const { return isReadOnly(); }
    // The key code this box reports for Enter in KeyDown (13 unless set; the login password
    // box reports 0, which starts the sign-in).
    void setEnterKeyCode(int code) { m_enterCode = code; }

signals:
    // Key down with the screens' key codes (Enter 13, Escape 27, Up 38, Down 40, Tab 9, ...).
    // A handler may set keyCode to 0 to drop the key (EnterToTab does).
    void KeyDown(int& keyCode, int shift);
    void LostFocus();
    void Change(); // the text changed, by the user or by SetText

protected:
    bool event(QEvent* event) override; // Tab reaches KeyDown before it moves the focus
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    TextType m_type = TextType::Plain;
    int m_enterCode = 13;
    EntryKind m_kind = EntryKind::Text;
    bool m_writing = false; // SetText at work: a stored value is shown as it is
    QChar m_passwordChar;
    bool m_imeOff = false;
    bool m_tabReported = false;
    int m_designMaxLength = -1; // the typing limit while SetText has widened it, else -1

    // Reports a key to KeyDown; true when a handler dropped it.
    bool reportKey(QKeyEvent* event);
    void applyImeMode();
    friend class EntryValidator;
};

class MyLabel : public QLabel {
    Q_OBJECT
public:
    explicit MyLabel(const QString& caption = {}, QWidget* parent = nullptr);
    QString Caption() const { return text(); }
    void setCaption(const QString& c) { setText(c); }
};

// Windows virtual-key code of a Qt key (Enter 13, Escape 27, Up 38, Down 40, ...); 0 if none.
int VirtualKeyCode(int qtKey);
// The KeyDown shift argument of Qt modifiers: 1 Shift, 2 Ctrl, 4 Alt, added up.
int ShiftMask(Qt::KeyboardModifiers modifiers);

// A search box: Enter in it presses the button that runs the search (조회), as in every
// desktop program. The Enter key itself goes no further.
void EnterPresses(MyText& box, QAbstractButton& button);
