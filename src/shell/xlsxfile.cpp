#include "xlsxfile.h"
#include <QFile>
#include <QStringEncoder>
#include <xlsxwriter.h>

namespace {
// Excel keeps at most this many characters in a cell.
constexpr int kCellLimit = 32767;

// Characters XML 1.0 cannot carry would make the workbook unreadable; a carriage return would
// come back as "_x000D_" in every reader, so a line break is written as the line feed a
// spreadsheet itself uses inside a cell.
bool needsCleaning(const QString& text) {
    if (text.size() > kCellLimit) return true;
    for (QChar c : text) {
        const ushort u = c.unicode();
        if ((u < 0x20 && u != 0x09 && u != 0x0A) || u == 0xFFFE || u == 0xFFFF) return true;
    }
    return false;
}

QString cellText(const QString& text) {
    if (!needsCleaning(text)) return text;
    QString out;
    out.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const ushort u = text[i].unicode();
        if (u == 0x0D) {
            out.append(QLatin1Char('\n'));
            if (i + 1 < n && text[i + 1].unicode() == 0x0A) ++i;
            continue;
        }
        if (u < 0x20 && u != 0x09 && u != 0x0A) continue;
        if (u == 0xFFFE || u == 0xFFFF) continue;
        out.append(text[i]);
    }
    if (out.size() > kCellLimit) out.truncate(kCellLimit);
    return out;
}

// A cell's text as the UTF-8 the library takes, in one buffer used for every cell.
struct Utf8Buffer {
    QByteArray bytes;
    QStringEncoder encoder{QStringEncoder::Utf8, QStringConverter::Flag::Stateless};
    const char* operator()(const QString& text) {
        bytes.resize(text.size() * 3); // a UTF-16 unit is never more than 3 bytes
        char* end = encoder.appendToBuffer(bytes.data(), text);
        bytes.resize(end - bytes.constData());
        return bytes.constData();
    }
};

struct Formats {
    lxw_format* header;
    lxw_format* wrapped;  // a text with line breaks shows them
    lxw_format* count;    // #,##0
    lxw_format* fraction; // #,##0.00 for an amount with decimals
    lxw_format* date;     // yyyy-mm-dd
    lxw_format* minutes;  // yyyy-mm-dd hh:mm
    lxw_format* seconds;  // yyyy-mm-dd hh:mm:ss

    explicit Formats(lxw_workbook* book) {
        header = workbook_add_format(book);
        format_set_bold(header);
        wrapped = workbook_add_format(book);
        format_set_text_wrap(wrapped);
        count = numberFormat(book, "#,##0");
        fraction = numberFormat(book, "#,##0.00");
        date = numberFormat(book, "yyyy-mm-dd");
        minutes = numberFormat(book, "yyyy-mm-dd hh:mm");
        seconds = numberFormat(book, "yyyy-mm-dd hh:mm:ss");
    }
    static lxw_format* numberFormat(lxw_workbook* book, const char* pattern) {
        lxw_format* f = workbook_add_format(book);
        format_set_num_format(f, pattern);
        return f;
    }
};

lxw_error writeText(lxw_worksheet* sheet, lxw_row_t row, lxw_col_t col, const QString& text, const Formats& f,
                    Utf8Buffer& utf8, lxw_format* format = nullptr) {
    const QString clean = cellText(text);
    if (clean.isEmpty()) return LXW_NO_ERROR;
    if (!format && clean.contains(QLatin1Char('\n'))) format = f.wrapped;
    return worksheet_write_string(sheet, row, col, utf8(clean), format);
}

lxw_error writeCell(lxw_worksheet* sheet, lxw_row_t row, lxw_col_t col, const QString& text, ExportKind kind,
                    const Formats& f, Utf8Buffer& utf8) {
    switch (kind) {
    case ExportKind::Number:
    case ExportKind::Amount:
        if (IsPlainNumber(text)) {
            const bool whole = !text.contains(QLatin1Char('.'));
            // A count with decimals (2.5 tons) is shown as it is; an amount with decimals in won
            // and jeon.
            lxw_format* format = whole ? f.count : kind == ExportKind::Amount ? f.fraction : nullptr;
            return worksheet_write_number(sheet, row, col, text.toDouble(), format);
        }
        break;
    case ExportKind::Date:
    case ExportKind::DateTime: {
        ExportDateTime d;
        if (ParseExportDateTime(text, &d)) {
            lxw_datetime value{d.year, d.month, d.day, d.hour, d.minute, d.second};
            lxw_format* format = !d.hasTime ? f.date : d.hasSeconds ? f.seconds : f.minutes;
            return worksheet_write_datetime(sheet, row, col, &value, format);
        }
        break;
    }
    case ExportKind::Auto:
    case ExportKind::Text:
        break;
    }
    return writeText(sheet, row, col, text, f, utf8);
}
} // namespace

int ColumnFloorPx(const ExportTable& table, int col, ExportKind kind) {
    // Pixels per character at a spreadsheet's default font (Calibri 11 or what stands in for
    // it), a Hangul syllable about twice as wide; the header also carries the filter button.
    constexpr int perChar = 8, perHangul = 16, cellPad = 12, headerPad = 28;
    int header = 0;
    if (!table.rows.isEmpty() && col < table.rows.front().size()) {
        for (QChar ch : table.rows.front()[col])
            header += ch.unicode() >= 0x1100 ? perHangul : perChar;
        header += headerPad;
    }
    if (kind == ExportKind::Text || kind == ExportKind::Auto) return header;
    qsizetype chars = 0;
    for (qsizetype r = 1; r < table.rows.size(); ++r) {
        const QStringList& cells = table.rows[r];
        if (col >= cells.size()) continue;
        const QString& text = cells[col];
        qsizetype shown = text.size();
        if (kind == ExportKind::Number || kind == ExportKind::Amount) {
            // Thousands separators, and two decimals for an amount with a fraction.
            const qsizetype point = text.indexOf(QLatin1Char('.'));
            const qsizetype whole =
                (point < 0 ? text.size() : point) - (text.startsWith(QLatin1Char('-')) ? 1 : 0);
            shown += whole > 3 ? (whole - 1) / 3 : 0;
            if (kind == ExportKind::Amount && point >= 0) shown = shown - (text.size() - point) + 3;
        } else {
            shown = std::min<qsizetype>(shown, 19); // milliseconds are not shown
        }
        chars = std::max(chars, shown);
    }
    return std::max(header, int(chars) * perChar + cellPad);
}

ExportResult WriteXlsxFile(const QString& path, const ExportTable& table, const ExportProgress& progress) {
    return ReplaceFileWith(path, [&](const QString& stagePath) {
        ExportResult result;
        const QByteArray stageName = QFile::encodeName(stagePath);
        // One pass, rows in order: the library writes each row out as the next begins and puts
        // texts in their cells, instead of holding the whole sheet and a table of its texts.
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        lxw_workbook* book = workbook_new_opt(stageName.constData(), &options);
        if (!book) {
            result.error = QStringLiteral("통합 문서를 만들 수 없습니다.");
            return result;
        }
        lxw_worksheet* sheet = workbook_add_worksheet(book, nullptr);
        const Formats formats(book);

        int cols = 0;
        for (const QStringList& row : table.rows)
            cols = std::max(cols, int(row.size()));
        std::vector<ExportKind> kinds(size_t(cols), ExportKind::Text);
        for (int c = 0; c < cols; ++c) {
            kinds[size_t(c)] = InferColumnKind(table, c);
            const int grid = size_t(c) < table.widthsPx.size() ? table.widthsPx[size_t(c)] : 0;
            const int width = std::max(grid, ColumnFloorPx(table, c, kinds[size_t(c)]));
            if (width > 0)
                worksheet_set_column_pixels(sheet, lxw_col_t(c), lxw_col_t(c), uint32_t(width), nullptr);
        }

        lxw_error status = LXW_NO_ERROR;
        Utf8Buffer utf8;
        for (qsizetype r = 0; r < table.rows.size() && status == LXW_NO_ERROR; ++r) {
            const QStringList& cells = table.rows[r];
            for (qsizetype c = 0; c < cells.size() && status == LXW_NO_ERROR; ++c) {
                if (cells[c].isEmpty()) continue;
                status = r == 0 ? writeText(sheet, 0, lxw_col_t(c), cells[c], formats, utf8, formats.header)
                                : writeCell(sheet, lxw_row_t(r), lxw_col_t(c), cells[c], kinds[size_t(c)],
                                            formats, utf8);
            }
            if (progress && r > 0 && r % 500 == 0 && !progress(r)) {
                result.cancelled = true;
                break;
            }
        }
        if (cols > 0 && !table.rows.isEmpty()) {
            // The header row stays in view and carries the filter buttons.
            worksheet_freeze_panes(sheet, 1, 0);
            worksheet_autofilter(sheet, 0, 0, lxw_row_t(table.rows.size() - 1), lxw_col_t(cols - 1));
        }
        const lxw_error closed = workbook_close(book);
        if (result.cancelled) return result;
        if (status == LXW_NO_ERROR) status = closed;
        if (status != LXW_NO_ERROR) {
            result.error = QString::fromUtf8(lxw_strerror(status));
            return result;
        }
        result.written = true;
        return result;
    });
}
