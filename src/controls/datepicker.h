#pragma once
// The date picker of the list screens and the entry panel.
#include <QCalendarWidget>
#include <QDateEdit>

// The calendar of every picker: its header reads as Koreans write a month ("2026년 12월"),
// the year first; its month and year buttons work as before.
class KoreanCalendar : public QCalendarWidget {
public:
    explicit KoreanCalendar(QWidget* parent = nullptr);
    // The header as it reads, year then month ("2026년 12월").
    QString headerText() const;
};

// Tab leaves a date picker at once, as the agents' Windows pickers did; Left and Right still
// step between year, month and day. Qt's date box would spend three Tabs on its sections.
// Drops down the Korean calendar; shows yyyy-MM-dd.
class DatePickerEdit : public QDateEdit {
public:
    explicit DatePickerEdit(QWidget* parent = nullptr);

protected:
    bool focusNextPrevChild(bool next) override { return QWidget::focusNextPrevChild(next); }
    // Entered, the picker stands on the day: the part an agent changes, by arrow or digits.
    void focusInEvent(QFocusEvent* event) override {
        QDateEdit::focusInEvent(event);
        setSelectedSection(QDateTimeEdit::DaySection);
    }
};
