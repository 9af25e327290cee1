#include "textformat.h"

#include <initializer_list>

namespace {

// The digits of a stored number written with or without separators; empty when anything other
// than digits, dashes and blanks is present (such a text is shown as it was stored).
QString digitsOf(const QString& stored) {
    QString digits;
    digits.reserve(stored.size());
    for (QChar c : stored) {
        if (c >= u'0' && c <= u'9')
            digits += c;
        else if (c != u'-' && c != u' ')
            return {};
    }
    return digits;
}

QString grouped(const QString& digits, std::initializer_list<int> sizes) {
    QString out;
    out.reserve(digits.size() + int(sizes.size()));
    int at = 0;
    for (int size : sizes) {
        if (at) out += u'-';
        out += QStringView(digits).mid(at, size);
        at += size;
    }
    return out;
}

bool isAreaCode(QStringView three) {
    static const char* const codes[] = {"031", "032", "033", "041", "042", "043", "044", "051",
                                        "052", "053", "054", "055", "061", "062", "063", "064"};
    for (const char* code : codes)
        if (three == QLatin1String(code)) return true;
    return false;
}

// Free-phone (080) and information-service (060) numbers group like an area code.
bool isServiceCode(QStringView three) { return three == u"080" || three == u"060"; }

bool isOldMobile(QStringView three) {
    return three == u"011" || three == u"016" || three == u"017" || three == u"018" || three == u"019";
}

} // namespace

QString FormatPhone(const QString& stored) {
    const QString d = digitsOf(stored);
    const int n = int(d.size());
    if (n < 8) return stored;
    const QStringView v(d);
    if (v.startsWith(u"02")) {
        if (n == 9) return grouped(d, {2, 3, 4});
        if (n == 10) return grouped(d, {2, 4, 4});
        return stored;
    }
    if (n == 8 && (v.startsWith(u"15") || v.startsWith(u"16") || v.startsWith(u"18")))
        return grouped(d, {4, 4});
    const QStringView head = v.left(3);
    if (v.startsWith(u"050") && d[3] >= u'2' && d[3] <= u'8') {
        if (n == 12) return grouped(d, {4, 4, 4});
        if (n == 11) return grouped(d, {4, 3, 4});
        return stored;
    }
    // 070 numbers are always eleven digits.
    if (head == u"070") return n == 11 ? grouped(d, {3, 4, 4}) : stored;
    // 010 numbers given out before the eight-digit plan, like the older mobile prefixes, may
    // still have ten digits.
    if (head == u"010" || isAreaCode(head) || isOldMobile(head) || isServiceCode(head)) {
        if (n == 10) return grouped(d, {3, 3, 4});
        if (n == 11) return grouped(d, {3, 4, 4});
    }
    return stored;
}

QString FormatBusinessNumber(const QString& stored) {
    const QString d = digitsOf(stored);
    return d.size() == 10 ? grouped(d, {3, 2, 5}) : stored;
}

QString FormatText(TextType type, const QString& stored) {
    switch (type) {
    case TextType::Telephone:
        return FormatPhone(stored);
    case TextType::BusinessNumber:
        return FormatBusinessNumber(stored);
    case TextType::Plain:
        break;
    }
    return stored;
}
