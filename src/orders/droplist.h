#pragma once
// The board's drop-down lists: a non-editable QComboBox that tells when it drops down and
// reports key-downs with the screens' key codes, so Enter can act as Tab.
#include <QComboBox>

class DropList : public QComboBox {
    Q_OBJECT
public:
    explicit DropList(QWidget* parent = nullptr);
    void showPopup() override;
    // Selects the entry equal to text, searching from the last entry to the first; when none
    // is equal the first entry ends up selected.
    void selectText(const QString& text);

signals:
    void DropDown();
    void KeyDown(int& keyCode, int shift);
    // Focus left the list for somewhere else (not for its own drop-down).
    void LostFocus();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};
