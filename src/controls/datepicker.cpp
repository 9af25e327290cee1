#include "datepicker.h"

#include <QBoxLayout>
#include <QSpinBox>
#include <QToolButton>

KoreanCalendar::KoreanCalendar(QWidget* parent) : QCalendarWidget(parent) {
    setLocale(QLocale(QLocale::Korean, QLocale::SouthKorea));
    // The year button shows the year box's text: with its unit it reads "2026년".
    if (auto* yearBox = findChild<QSpinBox*>(QStringLiteral("qt_calendar_yearedit"))) {
        yearBox->setSuffix(QStringLiteral("년"));
        yearBox->setValue(yearShown());
    }
    auto* month = findChild<QToolButton*>(QStringLiteral("qt_calendar_monthbutton"));
    auto* year = findChild<QToolButton*>(QStringLiteral("qt_calendar_yearbutton"));
    QWidget* bar = findChild<QWidget*>(QStringLiteral("qt_calendar_navigationbar"));
    auto* row = bar ? qobject_cast<QBoxLayout*>(bar->layout()) : nullptr;
    if (month && year && row) {
        // The year before the month (and the year box, which stands in for its button while
        // the year is typed, with it).
        const int at = row->indexOf(month);
        row->removeWidget(year);
        row->insertWidget(at, year);
        if (auto* yearBox = findChild<QSpinBox*>(QStringLiteral("qt_calendar_yearedit"))) {
            row->removeWidget(yearBox);
            row->insertWidget(at + 1, yearBox);
        }
    }
    // The page's year with its unit on the button from the first showing.
    setCurrentPage(yearShown(), monthShown());
}

QString KoreanCalendar::headerText() const {
    const auto* month = findChild<QToolButton*>(QStringLiteral("qt_calendar_monthbutton"));
    const auto* year = findChild<QToolButton*>(QStringLiteral("qt_calendar_yearbutton"));
    QWidget* bar = findChild<QWidget*>(QStringLiteral("qt_calendar_navigationbar"));
    auto* row = bar ? qobject_cast<QBoxLayout*>(bar->layout()) : nullptr;
    if (!month || !year || !row) return {};
    const bool yearFirst = row->indexOf(const_cast<QToolButton*>(year)) < row->indexOf(const_cast<QToolButton*>(month));
    return yearFirst ? year->text() + QLatin1Char(' ') + month->text()
                     : month->text() + QLatin1Char(' ') + year->text();
}

DatePickerEdit::DatePickerEdit(QWidget* parent) : QDateEdit(parent) {
    setCalendarPopup(true);
    setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    // Owned by the picker's pop-up, which takes it in.
    setCalendarWidget(new KoreanCalendar);
}
