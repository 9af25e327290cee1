#include "mytext.h"

#include <QFocusEvent>
#include <QGuiApplication>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QKeyEvent>

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
}

QString MyText::Text() const {
    return text();
}

void MyText::SetText(const QString& value) {
    const QString shown = FormatText(m_type, value);
    const int limit = m_designMaxLength >= 0 ? m_designMaxLength : maxLength();
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
    if (m_type != TextType::Plain && !text().isEmpty()) SetText(text());
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
    if (m_imeOff) {
        setAttribute(Qt::WA_InputMethodEnabled, false);
        setInputMethodHints(inputMethodHints() | Qt::ImhLatinOnly | Qt::ImhNoPredictiveText |
                            Qt::ImhPreferLatin);
    } else {
        setAttribute(Qt::WA_InputMethodEnabled, echoMode() == QLineEdit::Normal);
        setInputMethodHints(inputMethodHints() & ~(Qt::ImhLatinOnly | Qt::ImhPreferLatin));
    }
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
    if (!event->commitString().isEmpty() || event->preeditString().isEmpty()) m_preedit.clear();
    if (!event->preeditString().isEmpty()) m_preedit = event->preeditString();
    QLineEdit::inputMethodEvent(event);
}

void MyText::focusOutEvent(QFocusEvent* event) {
    if (!m_preedit.isEmpty()) {
        // The input method did not finish the syllable before the focus left: finish it here,
        // then have the input method drop its copy so it does not turn up in the next box.
        QInputMethodEvent commit;
        commit.setCommitString(m_preedit);
        m_preedit.clear();
        QLineEdit::inputMethodEvent(&commit);
        if (QInputMethod* im = QGuiApplication::inputMethod()) im->reset();
    }
    if (m_type != TextType::Plain && isModified()) {
        setText(FormatText(m_type, text()));
        setModified(false);
    }
    QLineEdit::focusOutEvent(event);
    Q_EMIT LostFocus();
}

MyLabel::MyLabel(const QString& caption, QWidget* parent) : QLabel(caption, parent) {}
