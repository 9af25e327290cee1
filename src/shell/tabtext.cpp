#include "tabtext.h"
#include <QFile>
#include <QRegularExpression>
#include <QStringEncoder>

namespace {
bool allDigits(const QString& text) {
    if (text.isEmpty()) return false;
    for (QChar c : text)
        if (c.unicode() < '0' || c.unicode() > '9') return false;
    return true;
}

bool needsTextMark(const QString& cell) {
    if (cell.isEmpty()) return false;
    // A spreadsheet shows a number of 12 digits or more as 1.23457E+11: such digits are a
    // code (a product code, an approval number), not an amount.
    if (allDigits(cell)) return cell.size() >= 12 || (cell.size() > 1 && cell.front() == u'0');
    if (IsPlainNumber(cell)) return false;
    const QChar first = cell.front();
    // A leading ' is itself taken as the text mark and would vanish.
    if (first == u'\t' || first == u'\r' || first == u'\'') return true;
    // Spreadsheet programs skip leading blanks before they look for a formula.
    for (QChar c : cell) {
        if (c == u' ' || c == QChar(0x3000)) continue;
        if (c == u'=' || c == u'+' || c == u'-' || c == u'@') return true;
        break;
    }
    if (cell.size() > 10 || first.unicode() < '0' || first.unicode() > '9') return false;
    static const QRegularExpression dateLike(QStringLiteral("^[0-9]{1,2}[/-][0-9]{1,2}([/-][0-9]{2,4})?$"));
    return dateLike.match(cell).hasMatch();
}

bool needsQuotes(const QString& field) {
    for (QChar c : field)
        if (c == u'"' || c == u'\t' || c == u'\r' || c == u'\n') return true;
    return false;
}
} // namespace

QString TabTextField(const QString& cell) {
    QString field = needsTextMark(cell) ? QLatin1Char('\'') + cell : cell;
    if (!needsQuotes(field)) return field;
    field.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + field + QLatin1Char('"');
}

ExportResult WriteTabTextFile(const QString& path, const ExportTable& table, const ExportProgress& progress) {
    return ReplaceFileWith(path, [&](const QString& stagePath) {
        ExportResult result;
        QFile file(stagePath);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            result.error = file.errorString();
            return result;
        }
        // One buffer of about a megabyte is filled and written again and again: it keeps its
        // room between writes, and every field is encoded straight into it.
        constexpr qsizetype Chunk = 1 << 20;
        QByteArray out;
        out.reserve(Chunk + (Chunk >> 2));
        out.append("\xEF\xBB\xBF");
        // Stateless: half a surrogate pair at a field's end never joins the next field.
        QStringEncoder utf8(QStringEncoder::Utf8, QStringConverter::Flag::Stateless);
        const auto put = [&](QStringView text) {
            const qsizetype at = out.size();
            out.resize(at + text.size() * 3); // a UTF-16 unit is never more than 3 bytes
            char* end = utf8.appendToBuffer(out.data() + at, text);
            out.resize(end - out.constData());
        };
        const auto flush = [&] {
            if (file.write(out) != out.size()) return false;
            out.resize(0);
            return true;
        };
        for (qsizetype r = 0; r < table.rows.size(); ++r) {
            const QStringList& cells = table.rows[r];
            for (qsizetype c = 0; c < cells.size(); ++c) {
                if (c > 0) out.append('\t');
                put(TabTextField(cells[c]));
            }
            out.append("\r\n", 2);
            if (out.size() > Chunk && !flush()) {
                result.error = file.errorString();
                return result;
            }
            if (progress && r > 0 && r % 500 == 0 && !progress(r)) {
                result.cancelled = true;
                return result;
            }
        }
        if (!flush() || !file.flush()) {
            result.error = file.errorString();
            return result;
        }
        file.close();
        result.written = true;
        return result;
    });
}
