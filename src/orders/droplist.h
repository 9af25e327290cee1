#pragma once
// The board's drop-down lists: a non-editable QComboBox that tells when it drops down and
// reports key-downs with the screens' key codes, so Enter can act as Tab.
#include <QComboBox>
#include <QElapsedTimer>

class DropList : public QComboBox {
    Q_OBJECT
public:
    explicit DropList(QWidget* parent = nullptr);
    void showPopup() override;
    // Selects the entry equal to text, searching from the last entry to the first; when none
    // is equal the first entry ends up selected.
    void selectText(const QString& text);
    // Shows a stored value as it is: the entry equal to it, or, for a value the list does not
    // offer, an entry of its own (in time order in a time list) that stays until dropForeign.
    // Showing and saving a record back must not turn its value into the list's first entry.
    void showValue(const QString& text);
    void dropForeign();
    // A time list ("hh:MM" entries): typed digits land on the time they spell ("14", "1430",
    // "14:30" typed in one go), or on its half hour when the list does not hold it.
    void setTimeList(bool on) { m_timeList = on; }

signals:
    void DropDown();
    void KeyDown(int& keyCode, int shift);
    // Focus left the list for somewhere else (not for its own drop-down).
    void LostFocus();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    bool typeTime(const QString& typed);
    bool m_timeList = false;
    QString m_typedDigits;
    QElapsedTimer m_typedAt;
};
