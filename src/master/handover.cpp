#include "handover.h"
#include <limits>

QString SelectedPhone;
bool DataChanged = false;

qint64 KeyNumber(const QString& key) {
    const QString t = key.trimmed();
    qsizetype i = 0;
    const bool negative = i < t.size() && t[i] == QLatin1Char('-');
    if (i < t.size() && (t[i] == QLatin1Char('-') || t[i] == QLatin1Char('+'))) ++i;
    qint64 value = 0;
    for (; i < t.size() && t[i].isDigit() && t[i].unicode() < 128; ++i) {
        // A key beyond any record's number names none; it must not wrap round into one.
        if (value > (std::numeric_limits<qint64>::max() - 9) / 10) return 0;
        value = value * 10 + (t[i].unicode() - '0');
    }
    return negative ? -value : value;
}
