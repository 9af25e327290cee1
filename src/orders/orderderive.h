#pragma once
// Texts and values the board derives from stored or typed order data. Pure: no widgets, no
// store, so each rule can be checked on its own.
#include "statusscheme.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QTime>
#include <array>

namespace OrderDerive {

// Order statuses in the order every filter lists them.
inline const std::array<QString, 7>& Statuses = StatusScheme::Statuses;

// Vehicle tonnage as listed: "5" and "5톤" both read "5톤"; empty stays empty.
QString TonnageText(const QString& tonnage);
// Vehicle length as listed: "9.6" -> "9.6m", with a second length "9.6m 50cm". Without a first
// length the second is not shown.
QString LengthText(const QString& length, const QString& length2);
// Column 차량정보 of the list: description, tonnage and length texts.
QString VehicleText(const QString& info, const QString& tonnage, const QString& length,
                    const QString& length2);

// A stored charge as the inquiry shows it: a whole number with "," thousands separators
// ("1234567.6" -> "1,234,568"); a text that is not a number up to ten digits is shown as stored.
QString AmountText(const QString& stored);

// Dispatch time as "yyyy-MM-dd hh:mm:ss"; a stored text that does not parse is shown as stored.
QString DispatchTimeText(const QString& stored);

// "hh:MM" brought down to the half hour: minutes 0..29 give ":00", 30..59 ":30".
QString HalfHour(const QTime& time);
// The same on a stored "hh:MM" text; "" when the text holds no valid time.
QString HalfHourOfText(const QString& hhmm);

// Date kinds of the entry panel.
enum class DateKind { SameDay = 0, NextDay = 1, MondayArrival = 2 };
QDate DateOfKind(DateKind kind, const QDate& boardDay);
// The kind an order's stored date shows as, or -1 for none of the three.
int KindOfDate(const QDate& date, const QDate& boardDay);

// The weight as saved: trimmed; "톤" appended to a non-empty text that lacks it.
QString WeightText(const QString& typed);
// The weight box on leaving it: only a numeric text gets "톤".
QString WeightOnLeave(const QString& typed);

// Leading number of a typed text, as the panel reads numbers: blanks skipped, digit-group
// commas accepted ("1,000" is a thousand), anything after the number ignored, none is 0.
double LeadingNumber(const QString& text);
// The amount: the leading number rounded to the nearest whole won.
qint64 AmountValue(const QString& text);
// The largest amount the store's charge column holds.
constexpr qint64 MaxAmount = 2147483647;

// The 운행구분 option a stored 적재구분 selects: 2 혼적 (1), 3 왕복 (2), anything else 독차 (0).
int RunKindOption(const QString& stored);
// The 운임형태 entry a stored 운임구분 selects: 1 인수증 (0), anything else 선착불 (1).
int FareKindEntry(const QString& stored);

// The file name an order list suggests for its export: "오더내역_" + yymmdd of the day.
QString ExportName(const QDate& day);

// Numeric order identifier of a row tag; anything that is not a whole number is 0.
qint64 TagToId(const QString& tag);

// The 48 half-hour entries of the time lists, and the region entries (empty first).
QStringList HalfHourEntries();
QStringList RegionEntries();

} // namespace OrderDerive
