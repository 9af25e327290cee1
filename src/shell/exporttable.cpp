#include "exporttable.h"
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <cerrno>
#include <cstdio>
#include <sys/stat.h>

namespace {
const QString kReadOnly = QStringLiteral("읽기 전용 파일입니다.");

QString systemError(int number) {
    return qt_error_string(number);
}

bool isDigit(QChar c) {
    return c.unicode() >= '0' && c.unicode() <= '9';
}

// Digits at text[from, from + count) as a number, or -1.
int digitsAt(const QString& text, qsizetype from, int count) {
    if (from + count > text.size()) return -1;
    int value = 0;
    for (qsizetype i = from; i < from + count; ++i) {
        if (!isDigit(text[i])) return -1;
        value = value * 10 + (text[i].unicode() - '0');
    }
    return value;
}

bool headerNames(const QString& header, std::initializer_list<const char16_t*> words) {
    QString h = header;
    h.remove(QLatin1Char(' '));
    for (const char16_t* w : words)
        if (h.contains(QStringView(w), Qt::CaseInsensitive)) return true;
    return false;
}

// Columns of codes, phone numbers, registration and account numbers: digits, but not
// quantities anybody adds up.
bool namesIdentifier(const QString& header) {
    const QString h = header.trimmed();
    if (h.compare(QLatin1String("ID"), Qt::CaseInsensitive) == 0 ||
        h.compare(QLatin1String("No"), Qt::CaseInsensitive) == 0 ||
        h.compare(QLatin1String("No."), Qt::CaseInsensitive) == 0)
        return true;
    return headerNames(header, {u"코드", u"번호", u"전화", u"연락처", u"휴대", u"핸드폰", u"팩스", u"사업자",
                                u"계좌", u"우편", u"주민", u"아이디", u"승인"});
}

bool namesMoney(const QString& header) {
    return headerNames(header, {u"금액", u"운임",   u"운송비", u"운송료", u"요금", u"수수료", u"단가",
                                u"합계", u"공급가", u"세액",   u"부가세", u"잔액", u"총액",   u"대금",
                                u"비용", u"미수",   u"입금",   u"지급",   u"청구", u"매출",   u"매입"});
}
} // namespace

bool IsReadOnlyFile(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists() || info.isDir()) return false;
    // The owner's write bit is what "read-only" means to the user (and to a file manager);
    // checking it too keeps the refusal even for an administrator who could write anyway.
    return !info.isWritable() || !(info.permissions() & QFile::WriteOwner);
}

ExportResult ReplaceFileWith(const QString& requested,
                             const std::function<ExportResult(const QString&)>& write) {
    ExportResult result;
    QString path = requested;
    QFileInfo info(path);
    if (info.isSymLink()) {
        path = info.symLinkTarget();
        info = QFileInfo(path);
    }
    if (info.isDir()) {
        result.error = QStringLiteral("같은 이름의 폴더가 있습니다.");
        return result;
    }
    const bool existed = info.exists();
    if (existed && IsReadOnlyFile(path)) {
        result.error = kReadOnly;
        return result;
    }
    if (!QDir(info.absolutePath()).exists()) {
        result.error = systemError(ENOENT);
        return result;
    }

    // The new file is written beside the target, so putting it in place is one rename.
    QTemporaryFile stage(info.absolutePath() + QStringLiteral("/.delmora-export-XXXXXX"));
    stage.setAutoRemove(false);
    if (!stage.open()) {
        result.error = stage.errorString();
        return result;
    }
    const QString stagePath = stage.fileName();
    stage.close();
    const QByteArray stageName = QFile::encodeName(stagePath);
    struct Cleanup {
        const QString& path;
        bool keep = false;
        ~Cleanup() {
            if (!keep) QFile::remove(path);
        }
    } cleanup{stagePath};

    result = write(stagePath);
    if (!result.written) return result;
    result.written = false;

    // The replaced file's permissions (someone may have shared it with the office); a new file
    // gets what the user's umask gives any new file, not the temporary file's private 0600.
    mode_t mode = 0;
    struct stat old {};
    if (existed && ::stat(QFile::encodeName(path).constData(), &old) == 0) {
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ::chmod(stageName.constData(), mode);

    if (std::rename(stageName.constData(), QFile::encodeName(path).constData()) != 0) {
        result.error = systemError(errno);
        return result;
    }
    cleanup.keep = true;
    result.written = true;
    return result;
}

bool IsPlainNumber(const QString& text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    if (i < n && text[i] == QLatin1Char('-')) ++i;
    const qsizetype intStart = i;
    while (i < n && isDigit(text[i]))
        ++i;
    const qsizetype intDigits = i - intStart;
    if (intDigits == 0 || intDigits > 15) return false;
    if (intDigits > 1 && text[intStart] == QLatin1Char('0')) return false;
    if (i == n) return true;
    if (text[i] != QLatin1Char('.')) return false;
    ++i;
    const qsizetype fracStart = i;
    while (i < n && isDigit(text[i]))
        ++i;
    const qsizetype fracDigits = i - fracStart;
    return i == n && fracDigits >= 1 && fracDigits <= 6;
}

bool ParseExportDateTime(const QString& text, ExportDateTime* out) {
    const qsizetype n = text.size();
    if (n != 10 && n != 16 && n < 19) return false;
    ExportDateTime d;
    d.year = digitsAt(text, 0, 4);
    d.month = digitsAt(text, 5, 2);
    d.day = digitsAt(text, 8, 2);
    if (d.year < 0 || d.month < 0 || d.day < 0 || text[4] != QLatin1Char('-') || text[7] != QLatin1Char('-'))
        return false;
    // Spreadsheet dates begin in 1900.
    if (d.year < 1900 || !QDate::isValid(d.year, d.month, d.day)) return false;
    if (n > 10) {
        d.hour = digitsAt(text, 11, 2);
        d.minute = digitsAt(text, 14, 2);
        if (text[10] != QLatin1Char(' ') || text[13] != QLatin1Char(':') || d.hour < 0 || d.hour > 23 ||
            d.minute < 0 || d.minute > 59)
            return false;
        d.hasTime = true;
        if (n > 16) {
            const int seconds = digitsAt(text, 17, 2);
            if (text[16] != QLatin1Char(':') || seconds < 0 || seconds > 59) return false;
            d.second = seconds;
            d.hasSeconds = true;
            if (n > 19) {
                // SQL Server's ".zzz"
                if (text[19] != QLatin1Char('.') || n == 20 || n > 23) return false;
                const int fraction = digitsAt(text, 20, int(n - 20));
                if (fraction < 0) return false;
                double scale = 1;
                for (qsizetype k = 20; k < n; ++k)
                    scale *= 10;
                d.second += fraction / scale;
            }
        }
    }
    if (out) *out = d;
    return true;
}

ExportKind InferColumnKind(const ExportTable& table, int col) {
    if (col >= 0 && size_t(col) < table.kinds.size() && table.kinds[size_t(col)] != ExportKind::Auto)
        return table.kinds[size_t(col)];
    const QString header = table.rows.isEmpty() ? QString() : table.rows.front().value(col);
    const bool money = namesMoney(header);
    qsizetype filled = 0, plain = 0;
    bool allDates = true, allDateTimes = true, allPlain = true, oneLength = true, integers = true;
    qsizetype length = -1;
    for (qsizetype r = 1; r < table.rows.size(); ++r) {
        const QStringList& cells = table.rows[r];
        if (col >= cells.size() || cells[col].isEmpty()) continue;
        const QString& text = cells[col];
        ++filled;
        if (allDateTimes) {
            ExportDateTime d;
            if (!ParseExportDateTime(text, &d))
                allDates = allDateTimes = false;
            else if (d.hasTime)
                allDates = false;
        }
        if (IsPlainNumber(text)) {
            ++plain;
            if (text.startsWith(QLatin1Char('-')) || text.contains(QLatin1Char('.')))
                integers = false;
            else if (length < 0)
                length = text.size();
            else if (text.size() != length)
                oneLength = false;
        } else {
            allPlain = false;
        }
        // Nothing more to learn once the column is plainly text.
        if (!allDateTimes && !allPlain && !money) break;
    }
    if (filled == 0) return ExportKind::Text;
    if (allDates) return ExportKind::Date;
    if (allDateTimes) return ExportKind::DateTime;
    if (namesIdentifier(header)) return ExportKind::Text;
    if (money && plain > 0) return ExportKind::Amount;
    if (!allPlain) return ExportKind::Text;
    if (integers && oneLength && length >= 7) return ExportKind::Text;
    return ExportKind::Number;
}
