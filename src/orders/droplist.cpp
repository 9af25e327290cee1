#include "droplist.h"

#include "latecommit.h"
#include "mytext.h"

#include <QKeyEvent>

DropList::DropList(QWidget* parent) : QComboBox(parent) {
    setEditable(false);
    setMaxVisibleItems(17);
    // A syllable IBus commits late after a focus change would otherwise pick an entry here
    // (서 from the address box selects 서울).
    LateCommitGuard::shared().watch(this);
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
    QComboBox::keyPressEvent(event);
}

void DropList::focusOutEvent(QFocusEvent* event) {
    QComboBox::focusOutEvent(event);
    if (event->reason() != Qt::PopupFocusReason) emit LostFocus();
}
