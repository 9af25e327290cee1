#include "settlementsums.h"
#include "amounts.h"

#include <cmath>

namespace SettlementSums {

Figures Of(const QString& freight, const QString& paidOn) {
    QString plain = freight;
    plain.remove(QLatin1Char(','));
    return {std::llround(Amounts::Value(plain)), !paidOn.trimmed().isEmpty()};
}

Figures Of(QByteArrayView freight, QByteArrayView paidOn) {
    const QByteArrayView plain = freight.trimmed();
    bool paid = !paidOn.trimmed().isEmpty();
    // Digits with thousands separators and an optional sign, as the store keeps a charge; any
    // other text (a fraction, an exponent, a word) is read as the list reads it.
    qint64 won = 0;
    qsizetype digits = 0;
    for (qsizetype i = plain.startsWith('-') ? 1 : 0; i < plain.size(); ++i) {
        const char c = plain[i];
        if (c == ',') continue;
        if (c < '0' || c > '9' || ++digits > 15) return {Of(QString::fromUtf8(freight), QString()).won, paid};
        won = won * 10 + (c - '0');
    }
    return {plain.startsWith('-') ? -won : won, paid};
}

QString Text(const Sum& sum) {
    return QStringLiteral("%1건 · %2원").arg(sum.count).arg(Amounts::Grouped(QString::number(sum.won)));
}

QColor PaidTint() {
    // A pale green, the hue of a settled account; the teal and grey inks still read at 4.5:1.
    return QColor(0xEA, 0xF6, 0xEA);
}

} // namespace SettlementSums
