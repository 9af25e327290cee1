#include "clock.h"

namespace {
// A fixed moment stands still: tests that set the day expect to read exactly what they set.
QDateTime g_fixed;
} // namespace

namespace Clock {

QDateTime now() {
    return g_fixed.isValid() ? g_fixed : QDateTime::currentDateTime();
}

QDate today() {
    return now().date();
}

void set(const QDateTime& moment) {
    g_fixed = moment;
}

} // namespace Clock
