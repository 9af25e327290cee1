#include "droplist.h"

#include "latecommit.h"
#include "mytext.h"
#include "orderderive.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QTime>

namespace {
// Marks the entry showValue added, so it can be found again whatever its text.
constexpr int ForeignRole = Qt::UserRole + 1;
} // namespace

DropList::DropList(QWidget* parent) : QComboBox(parent) {
    setEditable(false);
    setMaxVisibleItems(17);
    // A syllable IBus commits late after a focus change would otherwise pick an entry here
    // (서 from the address box selects 서울).
    LateCommitGuard::shared().watch(this);
    // A Korean input method commits whole syllables; the list searches its entries by them.
    setAttribute(Qt::WA_InputMethodEnabled, true);
}

void DropList::showPopup() {
    emit DropDown();
    QComboBox::showPopup();
}

void DropList::selectText(const QString& text) {
    for (int i = count() - 1; i >= 0; --i) {
        if (itemText(i) == text) {
            setCurrentIndex(i);
            return;
        }
    }
    setCurrentIndex(count() > 0 ? 0 : -1);
}

void DropList::showValue(const QString& text) {
    dropForeign();
    const int found = findText(text, Qt::MatchExactly);
    if (found >= 0) {
        setCurrentIndex(found);
        return;
    }
    int at = count();
    if (m_timeList) {
        at = 0;
        while (at < count() && itemText(at) < text)
            ++at;
    }
    insertItem(at, text);
    setItemData(at, true, ForeignRole);
    setCurrentIndex(at);
}

void DropList::dropForeign() {
    for (int i = count() - 1; i >= 0; --i)
        if (itemData(i, ForeignRole).toBool()) removeItem(i);
}

bool DropList::typeTime(const QString& typed) {
    if (typed.size() != 1) return false;
    const QChar c = typed.front();
    if (!c.isDigit() && c != QLatin1Char(':')) return false;
    if (!m_typedAt.isValid() || m_typedAt.elapsed() > QApplication::keyboardInputInterval() ||
        m_typedDigits.size() >= 4)
        m_typedDigits.clear();
    m_typedAt.start();
    if (c == QLatin1Char(':')) return true;
    m_typedDigits += c;

    // "9" and "09" are nine o'clock, "930" half past nine, "143" and "1430" half past two.
    const QString& d = m_typedDigits;
    const bool twoDigitHour = d.size() == 4 || (d.size() >= 2 && d.left(2).toInt() <= 23);
    const int hour = d.left(twoDigitHour ? 2 : 1).toInt();
    const QString rest = d.mid(twoDigitHour ? 2 : 1);
    const int minute = rest.isEmpty() ? 0 : (rest + QLatin1Char('0')).left(2).toInt();
    const QTime time(hour, minute);
    if (!time.isValid()) return true;
    const int exact = findText(time.toString(QStringLiteral("HH:mm")), Qt::MatchExactly);
    const int half = findText(OrderDerive::HalfHour(time), Qt::MatchExactly);
    const int target = exact >= 0 ? exact : half;
    if (target >= 0 && target != currentIndex()) {
        setCurrentIndex(target);
        emit activated(target);
    }
    return true;
}

void DropList::keyPressEvent(QKeyEvent* event) {
    int code = VirtualKeyCode(event->key());
    if (code != 0) {
        const int shift = (event->modifiers() & Qt::ShiftModifier ? 1 : 0) |
                          (event->modifiers() & Qt::ControlModifier ? 2 : 0) |
                          (event->modifiers() & Qt::AltModifier ? 4 : 0);
        emit KeyDown(code, shift);
        if (code == 0) {
            event->accept();
            return;
        }
    }
    if (m_timeList && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) &&
        typeTime(event->text())) {
        event->accept();
        return;
    }
    QComboBox::keyPressEvent(event);
}

void DropList::inputMethodEvent(QInputMethodEvent* event) {
    // An input method may hand digits over as committed text rather than as keys.
    const QString typed = event->commitString();
    if (m_timeList && !typed.isEmpty()) {
        for (const QChar c : typed)
            typeTime(QString(c));
        event->accept();
        return;
    }
    QComboBox::inputMethodEvent(event);
}

void DropList::focusOutEvent(QFocusEvent* event) {
    QComboBox::focusOutEvent(event);
    if (event->reason() != Qt::PopupFocusReason) emit LostFocus();
}
