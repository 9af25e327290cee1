#include "orderderive.h"

#include <QDateTime>
#include <QLocale>
#include <algorithm>
#include <cmath>
#include <limits>

namespace OrderDerive {

QString TonnageText(const QString& tonnage) {
    if (tonnage.isEmpty() || tonnage.endsWith(QStringLiteral("톤"))) return tonnage;
    return tonnage + QStringLiteral("톤");
}

QString LengthText(const QString& length, const QString& length2) {
    QString text = length.trimmed();
    if (text.isEmpty()) return text;
    if (!text.endsWith(QLatin1Char('m'))) text = (text + QLatin1Char('m')).trimmed();
    const QString second = length2.trimmed();
    if (!second.isEmpty()) text = (text + QLatin1Char(' ') + second + QStringLiteral("cm")).trimmed();
    return text;
}

QString VehicleText(const QString& info, const QString& tonnage, const QString& length,
                    const QString& length2) {
    const QString tons = TonnageText(tonnage);
    const QString metres = LengthText(length, length2);
    const QStringView description = QStringView(info).trimmed();
    QString text;
    text.reserve(description.size() + tons.size() + metres.size() + 2);
    text.append(description).append(QLatin1Char(' ')).append(tons).append(QLatin1Char(' ')).append(metres);
    return text.trimmed();
}

QString AmountText(const QString& stored) {
    const QString s = stored.trimmed();
    if (s.isEmpty()) return s;
    bool ok = false;
    const double value = s.toDouble(&ok);
    // A number cell holds up to ten digits; anything it cannot show as a number is shown as
    // stored rather than as an empty cell.
    if (!ok || !std::isfinite(value) || std::fabs(value) > 9999999999.0) return stored;
    return QLocale(QLocale::English).toString(qint64(std::llround(value)));
}

namespace {
bool Digits(QStringView s, qsizetype from, qsizetype count, int* value) {
    int v = 0;
    for (qsizetype i = from; i < from + count; ++i) {
        const char16_t c = s[i].unicode();
        if (c < u'0' || c > u'9') return false;
        v = v * 10 + (c - u'0');
    }
    *value = v;
    return true;
}

// "yyyy-mm-dd hh:MM:ss" (or with "T"), read without building a date-time: the list shows this
// column on every row, and nearly every stored value has exactly this form.
bool PlainDateTime(QStringView s, int f[6]) {
    if (s.size() < 19 || s[4] != u'-' || s[7] != u'-' || (s[10] != u' ' && s[10] != u'T') || s[13] != u':' ||
        s[16] != u':')
        return false;
    if (!Digits(s, 0, 4, &f[0]) || !Digits(s, 5, 2, &f[1]) || !Digits(s, 8, 2, &f[2]) ||
        !Digits(s, 11, 2, &f[3]) || !Digits(s, 14, 2, &f[4]) || !Digits(s, 17, 2, &f[5]))
        return false;
    return QDate::isValid(f[0], f[1], f[2]) && QTime::isValid(f[3], f[4], f[5]);
}
} // namespace

QString DispatchTimeText(const QString& stored) {
    int f[6];
    if (stored.size() == 19 && stored.at(10) == QLatin1Char(' ') && PlainDateTime(stored, f)) return stored;
    const QString s = stored.trimmed();
    if (s.isEmpty()) return stored;
    if (PlainDateTime(s, f)) {
        // Fractions of a second, if any, must be digits only to be dropped here.
        bool fraction = s.size() == 19;
        if (s.size() > 20 && s[19] == QLatin1Char('.')) {
            fraction = true;
            for (qsizetype i = 20; i < s.size() && fraction; ++i)
                fraction = s[i].isDigit();
        }
        if (fraction) {
            QString shown = s.left(19);
            shown[10] = QLatin1Char(' ');
            return shown;
        }
    }
    // The store hands this column back as "yyyy-mm-dd hh:MM:ss", with fractions of a second,
    // or in the ISO form with "T"; all of them read the same once the blank is a "T".
    QString iso = s;
    if (iso.size() > 10 && iso.at(10) == QLatin1Char(' ')) iso[10] = QLatin1Char('T');
    QDateTime moment = QDateTime::fromString(iso, Qt::ISODateWithMs);
    if (!moment.isValid()) moment = QDateTime::fromString(iso, Qt::ISODate);
    if (!moment.isValid()) return stored;
    return moment.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString HalfHour(const QTime& time) {
    return time.toString(QStringLiteral("HH:mm")).left(3) +
           (time.minute() >= 30 ? QStringLiteral("30") : QStringLiteral("00"));
}

QString HalfHourOfText(const QString& hhmm) {
    const QTime time = QTime::fromString(hhmm.trimmed(), QStringLiteral("HH:mm"));
    return time.isValid() ? HalfHour(time) : QString();
}

QDate DateOfKind(DateKind kind, const QDate& boardDay) {
    switch (kind) {
    case DateKind::SameDay:
        return boardDay;
    case DateKind::NextDay:
        return boardDay.addDays(1);
    case DateKind::MondayArrival:
        return boardDay.addDays(8 - boardDay.dayOfWeek());
    }
    return boardDay;
}

int KindOfDate(const QDate& date, const QDate& boardDay) {
    if (!date.isValid()) return -1;
    if (date == boardDay) return int(DateKind::SameDay);
    if (date == boardDay.addDays(1)) return int(DateKind::NextDay);
    if (date.dayOfWeek() == 1) return int(DateKind::MondayArrival);
    return -1;
}

QString WeightText(const QString& typed) {
    const QString w = typed.trimmed();
    if (w.isEmpty() || w.endsWith(QStringLiteral("톤"))) return w;
    return w + QStringLiteral("톤");
}

QString WeightOnLeave(const QString& typed) {
    const QString w = typed.trimmed();
    if (w.isEmpty() || w.endsWith(QStringLiteral("톤"))) return typed;
    bool numeric = false;
    QString(w).remove(QLatin1Char(',')).toDouble(&numeric);
    return numeric ? typed + QStringLiteral("톤") : typed;
}

double LeadingNumber(const QString& text) {
    QString digits;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text.at(i).isSpace())
        ++i;
    if (i < n && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+'))) digits += text.at(i++);
    bool point = false;
    for (; i < n; ++i) {
        const QChar c = text.at(i);
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            digits += c;
        else if (c == QLatin1Char(',') && !point)
            continue; // thousands separators as agents type them
        else if (c == QLatin1Char('.') && !point) {
            point = true;
            digits += c;
        } else
            break;
    }
    bool ok = false;
    const double value = digits.toDouble(&ok);
    if (ok && std::isfinite(value)) return value;
    // Too many digits for a double is still a number, and a huge one: callers refuse it as
    // too large instead of reading it as nothing typed.
    const bool anyDigit = std::any_of(digits.cbegin(), digits.cend(), [](QChar c) { return c.isDigit(); });
    if (!anyDigit) return 0.0;
    return digits.startsWith(QLatin1Char('-')) ? -HUGE_VAL : HUGE_VAL;
}

qint64 AmountValue(const QString& text) {
    const double value = LeadingNumber(text);
    if (value >= 9.2e18) return std::numeric_limits<qint64>::max();
    if (value <= -9.2e18) return std::numeric_limits<qint64>::min();
    return std::llround(value);
}

int RunKindOption(const QString& stored) {
    const qint64 run = qint64(LeadingNumber(stored));
    return run == 2 ? 1 : run == 3 ? 2 : 0;
}

int FareKindEntry(const QString& stored) {
    return qint64(LeadingNumber(stored)) == 1 ? 0 : 1;
}

QString ExportName(const QDate& day) {
    return QStringLiteral("오더내역_") + day.toString(QStringLiteral("yyMMdd"));
}

qint64 TagToId(const QString& tag) {
    const double value = LeadingNumber(tag);
    if (value >= 9.2e18 || value < 1) return 0;
    return qint64(value);
}

QStringList HalfHourEntries() {
    QStringList entries;
    entries.reserve(48);
    for (int h = 0; h < 24; ++h) {
        const QString hh = QStringLiteral("%1").arg(h, 2, 10, QLatin1Char('0'));
        entries << hh + QStringLiteral(":00") << hh + QStringLiteral(":30");
    }
    return entries;
}

QStringList RegionEntries() {
    return {QString(),
            QStringLiteral("서울"),
            QStringLiteral("경기"),
            QStringLiteral("인천"),
            QStringLiteral("충북"),
            QStringLiteral("충남"),
            QStringLiteral("전북"),
            QStringLiteral("전남"),
            QStringLiteral("광주"),
            QStringLiteral("경북"),
            QStringLiteral("경남"),
            QStringLiteral("강원"),
            QStringLiteral("대전"),
            QStringLiteral("세종"),
            QStringLiteral("대구"),
            QStringLiteral("울산"),
            QStringLiteral("부산")};
}

} // namespace OrderDerive
