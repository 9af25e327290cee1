#include "settlementsums.h"
#include "amounts.h"

#include <cmath>

namespace SettlementSums {

Figures Of(const QString& freight, const QString& paidOn) {
    QString plain = freight;
    plain.remove(QLatin1Char(','));
    return {std::llround(Amounts::Value(plain)), !paidOn.trimmed().isEmpty()};
}

QString Text(const Sum& sum) {
    return QStringLiteral("%1건 · %2원").arg(sum.count).arg(Amounts::Grouped(QString::number(sum.won)));
}

QColor PaidTint() {
    // A pale green, the hue of a settled account; the teal and grey inks still read at 4.5:1.
    return QColor(0xEA, 0xF6, 0xEA);
}

} // namespace SettlementSums
