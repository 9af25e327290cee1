#include "mytext.h"
#include "entryfilter.h"

#include "latecommit.h"

#include <QAbstractButton>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QScopedValueRollback>
#include <QToolTip>
#include <QValidator>

bool DisguisingCharacter(QChar c) {
    const char16_t u = c.unicode();
    return u < 0x20 || u == 0x7f || u == 0x200e || u == 0x200f || (u >= 0x202a && u <= 0x202e) ||
           (u >= 0x2066 && u <= 0x2069);
}

QString FilterEntry(EntryKind kind, const QString& text) {
    QString kept;
    kept.reserve(text.size());
    if (kind == EntryKind::Text) {
        for (const QChar c : text)
            if (!DisguisingCharacter(c)) kept += c;
        return kept;
    }
    bool point = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isDigit()) {
            // Full-width and other scripts' digits are the same numbers to the store.
            kept += QChar(u'0' + c.digitValue());
            continue;
        }
        switch (kind) {
        case EntryKind::Weight:
            if (c == u'.' && !point) {
                point = true;
                kept += c;
            } else if (c == u'톤' && i == text.size() - 1 && !kept.isEmpty()) {
                // The weight box writes "톤" after the number itself; it stays while the number
                // is edited.
                kept += c;
            }
            break;
        case EntryKind::Phone:
        case EntryKind::BusinessNumber:
            if (c == u'-') kept += c;
            break;
        case EntryKind::Time:
            if (c == u':') kept += c;
            break;
        default:
            break;
        }
    }
    return kept;
}

QString EntryRefusal(EntryKind kind) {
    switch (kind) {
    case EntryKind::Text:
        return QStringLiteral("제어 문자와 글자 방향을 바꾸는 문자는 입력할 수 없습니다.");
    case EntryKind::Weight:
        return QStringLiteral("숫자와 소수점만 입력할 수 있습니다.");
    case EntryKind::Phone:
    case EntryKind::BusinessNumber:
        return QStringLiteral("숫자와 '-'만 입력할 수 있습니다.");
    case EntryKind::Time:
        return QStringLiteral("숫자와 ':'만 입력할 수 있습니다.");
    default:
        return QStringLiteral("숫자만 입력할 수 있습니다.");
    }
}

namespace {

// Drops what a box of the kind cannot hold from an edit, keeping the cursor after what stays, and
// says so beside the box.
void filterEdit(QLineEdit* box, EntryKind kind, QString& input, int& pos) {
    const QString kept = FilterEntry(kind, input);
    if (kept == input) return;
    pos = int(FilterEntry(kind, input.left(pos)).size());
    input = kept;
    QToolTip::showText(box->mapToGlobal(QPoint(0, box->height())), EntryRefusal(kind), box);
}

class PlainEntryValidator : public QValidator {
public:
    explicit PlainEntryValidator(QLineEdit* box) : QValidator(box), m_box(box) {}
    State validate(QString& input, int& pos) const override {
        filterEdit(m_box, EntryKind::Text, input, pos);
        return Acceptable;
    }

private:
    QLineEdit* m_box;
};

} // namespace

void FilterPlainEntry(QLineEdit* box) {
    box->setValidator(new PlainEntryValidator(box));
}

// Filters every edit by the box's kind; what SetText writes passes untouched.
class EntryValidator : public QValidator {
public:
    explicit EntryValidator(MyText* box) : QValidator(box), m_box(box) {}

    State validate(QString& input, int& pos) const override {
        if (!m_box->m_writing) filterEdit(m_box, m_box->m_kind, input, pos);
        return Acceptable;
    }

private:
    MyText* m_box;
};

int VirtualKeyCode(int qtKey) {
    // Qt uses the ASCII codes for letters and digits, as Windows does.
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return qtKey;
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return qtKey;
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12) return 112 + (qtKey - Qt::Key_F1);
    switch (qtKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return 9;
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Space:
        return 32;
    case Qt::Key_PageUp:
        return 33;
    case Qt::Key_PageDown:
        return 34;
    case Qt::Key_End:
        return 35;
    case Qt::Key_Home:
        return 36;
    case Qt::Key_Left:
        return 37;
    case Qt::Key_Up:
        return 38;
    case Qt::Key_Right:
        return 39;
    case Qt::Key_Down:
        return 40;
    case Qt::Key_Insert:
        return 45;
    case Qt::Key_Delete:
        return 46;
    case Qt::Key_Shift:
        return 16;
    case Qt::Key_Control:
        return 17;
    case Qt::Key_Alt:
        return 18;
    default:
        return 0;
    }
}

int ShiftMask(Qt::KeyboardModifiers modifiers) {
    return (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0) |
           (modifiers & Qt::AltModifier ? 4 : 0);
}

MyText::MyText(QWidget* parent) : QLineEdit(parent) {
    connect(this, &QLineEdit::textChanged, this, [this] { Q_EMIT Change(); });
    LateCommitGuard::shared().watch(this);
    setValidator(new EntryValidator(this));
}

QString MyText::Text() const {
    return text();
}

void MyText::SetText(const QString& value) {
    const QString shown = FormatText(m_type, value);
    const int limit = m_designMaxLength >= 0 ? m_designMaxLength : maxLength();
    const QScopedValueRollback writing(m_writing, true);
    if (shown.size() > limit) {
        if (m_designMaxLength < 0) m_designMaxLength = limit;
        setMaxLength(int(shown.size()));
        setText(shown);
    } else {
        setText(shown);
        if (m_designMaxLength >= 0) {
            setMaxLength(m_designMaxLength);
            m_designMaxLength = -1;
        }
    }
    setModified(false);
}

QString MyText::TextVal() const {
    return text();
}

void MyText::setTextType(TextType type) {
    m_type = type;
    if (m_kind == EntryKind::Text && m_type == TextType::Telephone) setEntryKind(EntryKind::Phone);
    if (m_kind == EntryKind::Text && m_type == TextType::BusinessNumber)
        setEntryKind(EntryKind::BusinessNumber);
    if (m_type != TextType::Plain && !text().isEmpty()) SetText(text());
}

void MyText::setEntryKind(EntryKind kind) {
    m_kind = kind;
    applyImeMode();
}

void MyText::setPasswordChar(QChar c) {
    m_passwordChar = c;
    setEchoMode(c.isNull() ? QLineEdit::Normal : QLineEdit::Password);
    // Changing the echo mode switches the input method back on for normal boxes.
    applyImeMode();
}

void MyText::setImeOff(bool off) {
    m_imeOff = off;
    applyImeMode();
}

void MyText::applyImeMode() {
    constexpr Qt::InputMethodHints kindHints = Qt::ImhLatinOnly | Qt::ImhPreferLatin | Qt::ImhDigitsOnly |
                                               Qt::ImhFormattedNumbersOnly | Qt::ImhDialableCharactersOnly |
                                               Qt::ImhPreferNumbers | Qt::ImhTime;
    Qt::InputMethodHints hints = inputMethodHints() & ~kindHints;
    if (imeOff()) {
        setAttribute(Qt::WA_InputMethodEnabled, false);
        hints |= Qt::ImhNoPredictiveText;
        switch (m_kind) {
        case EntryKind::Amount:
        case EntryKind::Code:
            hints |= Qt::ImhDigitsOnly;
            break;
        case EntryKind::Weight:
            hints |= Qt::ImhFormattedNumbersOnly;
            break;
        case EntryKind::Phone:
            hints |= Qt::ImhDialableCharactersOnly;
            break;
        case EntryKind::BusinessNumber:
            hints |= Qt::ImhPreferNumbers;
            break;
        case EntryKind::Time:
            hints |= Qt::ImhPreferNumbers | Qt::ImhTime;
            break;
        case EntryKind::Text:
            hints |= Qt::ImhLatinOnly | Qt::ImhPreferLatin;
            break;
        }
    } else {
        setAttribute(Qt::WA_InputMethodEnabled, echoMode() == QLineEdit::Normal);
    }
    setInputMethodHints(hints);
    if (hasFocus()) QGuiApplication::inputMethod()->update(Qt::ImEnabled | Qt::ImHints);
}

bool MyText::reportKey(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    int code = enter ? m_enterCode : VirtualKeyCode(event->key());
    // Keys without a code (composed characters and the like) are not reported.
    if (!enter && code == 0) return false;
    Q_EMIT KeyDown(code, ShiftMask(event->modifiers()));
    if (code != 0) return false;
    event->accept();
    return true;
}

bool MyText::event(QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) &&
            !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            if (reportKey(key)) return true;
            // The base class moves the focus; should it fall through to keyPressEvent, the key
            // has been reported already.
            m_tabReported = true;
            const bool handled = QLineEdit::event(event);
            m_tabReported = false;
            return handled;
        }
    }
    return QLineEdit::event(event);
}

void MyText::keyPressEvent(QKeyEvent* event) {
    if (!m_tabReported && reportKey(event)) return;
    QLineEdit::keyPressEvent(event);
}

void MyText::inputMethodEvent(QInputMethodEvent* event) {
    // With the input method off nothing typed here goes through it; IBus still hands the focused
    // box what it commits late (a syllable finished in the box before), and that is no input.
    if (imeOff()) {
        event->accept();
        return;
    }
    QLineEdit::inputMethodEvent(event);
}

QVariant MyText::inputMethodQuery(Qt::InputMethodQuery query) const {
    // QLineEdit reports itself ready for an input method whatever WA_InputMethodEnabled says, and
    // IBus then composes the keys of a number box (and reads a password) all the same.
    if (query == Qt::ImEnabled) return !imeOff() && QLineEdit::inputMethodQuery(query).toBool();
    return QLineEdit::inputMethodQuery(query);
}

void MyText::focusOutEvent(QFocusEvent* event) {
    // A syllable still composing has been finished in this box by the shared guard already.
    if (m_type != TextType::Plain && isModified()) {
        setText(FormatText(m_type, text()));
        setModified(false);
    }
    QLineEdit::focusOutEvent(event);
    Q_EMIT LostFocus();
}

void EnterPresses(MyText& box, QAbstractButton& button) {
    QObject::connect(&box, &MyText::KeyDown, &button, [&button](int& keyCode, int) {
        if (keyCode != 13) return;
        keyCode = 0;
        if (button.isEnabled() && button.isVisibleTo(button.window())) button.click();
    });
}

MyLabel::MyLabel(const QString& caption, QWidget* parent) : QLabel(caption, parent) {}
