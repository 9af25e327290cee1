#pragma once
// The date picker of the list screens and the entry panel.
#include <QDateEdit>

// Tab leaves a date picker at once, as the agents' Windows pickers did; Left and Right still
// step between year, month and day. Qt's date box would spend three Tabs on its sections.
class DatePickerEdit : public QDateEdit {
public:
    using QDateEdit::QDateEdit;

protected:
    bool focusNextPrevChild(bool next) override { return QWidget::focusNextPrevChild(next); }
    // Entered, the picker stands on the day: the part an agent changes, by arrow or digits.
    void focusInEvent(QFocusEvent* event) override {
        QDateEdit::focusInEvent(event);
        setSelectedSection(QDateTimeEdit::DaySection);
    }
};
