#include "amounts.h"
#include <QStringList>
#include <cmath>

namespace Amounts {
namespace {
// The characters an amount takes on paper: an optional "-", then its digits without leading
// zeros ("0" for nothing). Blanks around it, "," between thousands and a fraction of zeros are
// accepted; false for anything else.
bool PaperCharacters(const QString& stored, QString* out) {
    QString t = stored.trimmed();
    t.remove(QLatin1Char(','));
    const qsizetype point = t.indexOf(QLatin1Char('.'));
    if (point >= 0) {
        for (qsizetype i = point + 1; i < t.size(); ++i)
            if (t[i] != QLatin1Char('0')) return false;
        t.truncate(point);
    }
    const bool negative = t.startsWith(QLatin1Char('-'));
    if (negative) t.remove(0, 1);
    if (t.isEmpty()) return false;
    for (const QChar c : t)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
    while (t.size() > 1 && t.front() == QLatin1Char('0'))
        t.remove(0, 1);
    *out = (negative && t != QLatin1String("0") ? QStringLiteral("-") : QString()) + t;
    return true;
}

template <size_t N> bool Place(const QString& chars, std::array<QString, N>& places) {
    if (chars.size() > qsizetype(N)) return false;
    const size_t first = N - size_t(chars.size());
    for (size_t i = 0; i < size_t(chars.size()); ++i)
        places[first + i] = chars[qsizetype(i)];
    return true;
}
} // namespace

QString Grouped(const QString& stored) {
    QString t = stored.trimmed();
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (!ok || !std::isfinite(v) || std::fabs(v) >= 1e15) return stored;
    const qint64 whole = qint64(std::llround(v));
    QString digits = QString::number(whole < 0 ? -whole : whole);
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, QLatin1Char(','));
    return whole < 0 ? QLatin1Char('-') + digits : digits;
}

QString Total(const QString& supply, const QString& tax) {
    QString a, b;
    if (!PaperCharacters(supply, &a) || !PaperCharacters(tax, &b)) return {};
    // Whole won in integers: eleven digits of supply and ten of tax add up exactly.
    bool okA = false, okB = false;
    const qint64 sum = a.toLongLong(&okA) + b.toLongLong(&okB);
    return okA && okB ? Grouped(QString::number(sum)) : QString();
}

double Value(const QString& stored) {
    bool ok = false;
    const double v = stored.trimmed().toDouble(&ok);
    return ok && std::isfinite(v) ? v : 0;
}

PlaceDigits SpreadOverPlaces(const QString& supply, const QString& tax) {
    PlaceDigits d;
    QStringList problems;
    QString chars;
    if (!PaperCharacters(supply, &chars))
        problems << QStringLiteral("공급가액 \"%1\"은(는) 금액이 아니어서 적지 않았습니다.").arg(supply);
    else if (!Place(chars, d.supply))
        problems << QStringLiteral("공급가액 %1은(는) 11자리를 넘어 적지 않았습니다.").arg(supply);
    else
        d.blanks = int(11 - chars.size());
    if (!PaperCharacters(tax, &chars))
        problems << QStringLiteral("세액 \"%1\"은(는) 금액이 아니어서 적지 않았습니다.").arg(tax);
    else if (!Place(chars, d.tax))
        problems << QStringLiteral("세액 %1은(는) 10자리를 넘어 적지 않았습니다.").arg(tax);
    d.problem = problems.join(QLatin1Char('\n'));
    return d;
}

} // namespace Amounts
