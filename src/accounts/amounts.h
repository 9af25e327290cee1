#pragma once
// Money as the settlement and invoice screens show it.
#include <QString>
#include <array>

namespace Amounts {

// A stored amount with "," between thousands ("1500000" -> "1,500,000"). Stores that keep a
// money type answer "1500000.0000"; the fraction is rounded away, as the lists show whole won.
// A text that is not a number is shown as stored.
QString Grouped(const QString& stored);

// Supply plus tax as the form's number cells show an amount ("748,000"); "" when either is
// not an amount, so a total is never made of a part.
QString Total(const QString& supply, const QString& tax);

// The value of a stored amount, 0 when it is empty or not a number.
double Value(const QString& stored);

// The supply amount and the tax written one character per place, as the paper tax-invoice
// form has them: eleven places for the supply amount, ten for the tax, each amount flush right
// in its places, a minus sign (a correcting invoice) in the place before the first digit.
// blanks is the count of empty places left of the supply amount (공란수).
struct PlaceDigits {
    std::array<QString, 11> supply;
    std::array<QString, 10> tax;
    int blanks = -1; // -1 when the supply amount could not be written
    QString problem; // why an amount was left out; "" when both were written
};
PlaceDigits SpreadOverPlaces(const QString& supply, const QString& tax);

} // namespace Amounts
