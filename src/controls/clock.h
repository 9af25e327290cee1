#pragma once
// The one clock of the program: the board's day, 월착, export names all read it, and tests set it.
#include <QDate>
#include <QDateTime>

namespace Clock {
QDateTime now();
QDate today();
// Fixes the clock at the given moment (tests); an invalid value returns to the system clock.
void set(const QDateTime& moment);
} // namespace Clock
