#include "xlsxfile.h"
#include "xlsxparts.h"
#include "zipwriter.h"
#include <QDate>
#include <QDateTime>
#include <QFile>
#include <charconv>
#include <cstring>

namespace {
// Excel keeps at most this many characters in a cell.
constexpr int kCellLimit = 32767;
// What one sheet can hold.
constexpr qsizetype kMaxRows = 1048576;
constexpr int kMaxCols = 16384;
// zlib's fastest level: the sheet's XML repeats itself so much that the slower levels gain
// little room for much more time.
constexpr int kLevel = 1;
// The sheet's XML goes to the archive in pieces of about this size.
constexpr size_t kChunk = 128 * 1024;

// Cell styles as numbered in kStyles.
enum Style { Plain, Bold, Wrapped, Count, Fraction, Date, Minutes, Seconds };

// A cell's text is clean when it has no character to drop and fits in a cell; lineBreak says
// whether it shows on more than one line.
bool scanText(const QString& text, bool* lineBreak) {
    bool clean = text.size() <= kCellLimit;
    *lineBreak = false;
    for (QChar c : text) {
        const ushort u = c.unicode();
        if (u < 0x20) {
            if (u == 0x0A)
                *lineBreak = true;
            else if (u != 0x09)
                clean = false;
        } else if (u >= 0xFFFE) {
            clean = false;
        }
    }
    return clean;
}

// Characters XML 1.0 cannot carry would make the workbook unreadable; a carriage return would
// come back as "_x000D_" in every reader, so a line break is written as the line feed a
// spreadsheet itself uses inside a cell.
QString cellText(const QString& text) {
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

// `text` as UTF-8 with &, < and > escaped, at p, which has room for five bytes a UTF-16 unit.
char* putEscaped(char* p, QStringView text) {
    const char16_t* s = text.utf16();
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char32_t u = s[i];
        if (u < 0x80) {
            if (u == '&') {
                std::memcpy(p, "&amp;", 5);
                p += 5;
            } else if (u == '<') {
                std::memcpy(p, "&lt;", 4);
                p += 4;
            } else if (u == '>') {
                std::memcpy(p, "&gt;", 4);
                p += 4;
            } else {
                *p++ = char(u);
            }
        } else if (u < 0x800) {
            *p++ = char(0xC0 | (u >> 6));
            *p++ = char(0x80 | (u & 0x3F));
        } else if (u >= 0xD800 && u < 0xE000) {
            if (u < 0xDC00 && i + 1 < n && s[i + 1] >= 0xDC00 && s[i + 1] < 0xE000) {
                const char32_t cp = 0x10000 + ((u - 0xD800) << 10) + (s[i + 1] - 0xDC00);
                ++i;
                *p++ = char(0xF0 | (cp >> 18));
                *p++ = char(0x80 | ((cp >> 12) & 0x3F));
                *p++ = char(0x80 | ((cp >> 6) & 0x3F));
                *p++ = char(0x80 | (cp & 0x3F));
            } else { // half a pair stands for nothing: the replacement character
                std::memcpy(p, "\xEF\xBF\xBD", 3);
                p += 3;
            }
        } else {
            *p++ = char(0xE0 | (u >> 12));
            *p++ = char(0x80 | ((u >> 6) & 0x3F));
            *p++ = char(0x80 | (u & 0x3F));
        }
    }
    return p;
}

char* put(char* p, const char* s, size_t n) {
    std::memcpy(p, s, n);
    return p + n;
}
template <size_t N> char* put(char* p, const char (&s)[N]) {
    return put(p, s, N - 1);
}

QByteArray columnName(int col) {
    QByteArray name;
    for (int n = col + 1; n > 0; n = (n - 1) / 26)
        name.prepend(char('A' + (n - 1) % 26));
    return name;
}

QByteArray cellName(int col, qsizetype row) {
    return columnName(col) + QByteArray::number(row + 1);
}

// A width in pixels as the sheet stores it: characters of the default font's digit (7 pixels
// at Calibri 11), in the 256ths a spreadsheet program rounds it to, and no wider than the 255
// characters a column can be.
QByteArray columnWidth(int px) {
    const qint64 units = std::min<qint64>(qint64(px) * 256 / 7, 255 * 256);
    return QByteArray::number(units / 256.0, 'g', 16);
}

// A date and time as the spreadsheet's serial number: days since 1899-12-31, counting the
// 29th of February 1900 the spreadsheet believes in, and the time as a fraction of a day.
double serialDate(const ExportDateTime& d) {
    qint64 days = QDate(d.year, d.month, d.day).toJulianDay() - QDate(1899, 12, 31).toJulianDay();
    if (days > 59) ++days;
    return double(days) + (d.hour * 3600 + d.minute * 60 + d.second) / 86400.0;
}

// The sheet's XML, built in one buffer that goes into the archive whenever it has filled.
class SheetWriter {
public:
    SheetWriter(ZipWriter& zip, int cols) : m_zip(zip), m_buf(kChunk * 2) {
        for (int c = 0; c < cols; ++c)
            m_columns.push_back(columnName(c));
    }

    void append(QByteArrayView bytes) {
        char* p = room(size_t(bytes.size()));
        m_used = size_t(put(p, bytes.data(), size_t(bytes.size())) - m_buf.data());
    }

    // Starts row r; a row that ends without a cell is taken back (see endRow()).
    void beginRow(qsizetype r) {
        m_rowStart = m_used;
        m_cells = 0;
        const auto [end, ec] = std::to_chars(m_row, m_row + sizeof m_row, r + 1);
        m_rowLength = size_t(end - m_row);
        char* p = room(32);
        p = put(p, "<row r=\"");
        p = put(p, m_row, m_rowLength);
        p = put(p, "\">");
        m_used = size_t(p - m_buf.data());
    }

    // Ends the row, and sends what has gathered into the archive once it is enough.
    bool endRow() {
        if (m_cells == 0)
            m_used = m_rowStart;
        else
            append("</row>");
        return m_used < kChunk || drain();
    }

    bool drain() {
        const bool ok = m_zip.write(m_buf.data(), m_used);
        m_used = 0;
        return ok;
    }

    void text(int col, const QString& value, Style style) {
        bool lineBreak = false;
        QString cleaned;
        QStringView t = value;
        if (!scanText(value, &lineBreak)) {
            cleaned = cellText(value);
            lineBreak = cleaned.contains(QLatin1Char('\n'));
            t = cleaned;
        }
        if (t.isEmpty()) return;
        if (style == Plain && lineBreak) style = Wrapped;
        // Blanks at either end are kept only when the cell says so.
        const auto blank = [](QChar c) { return c == u' ' || c == u'\t' || c == u'\n'; };
        const bool preserve = blank(t.front()) || blank(t.back());
        char* p = open(col, style, size_t(t.size()) * 5 + 64);
        p = put(p, " t=\"inlineStr\"><is>");
        p = preserve ? put(p, "<t xml:space=\"preserve\">") : put(p, "<t>");
        p = putEscaped(p, t);
        p = put(p, "</t></is></c>");
        close(p);
    }

    // A number or a serial date, `digits` as written in the value.
    void number(int col, QByteArrayView digits, Style style) {
        char* p = open(col, style, size_t(digits.size()) + 16);
        p = put(p, "><v>");
        p = put(p, digits.data(), size_t(digits.size()));
        p = put(p, "</v></c>");
        close(p);
    }

    void cell(int col, const QString& value, ExportKind kind) {
        switch (kind) {
        case ExportKind::Number:
        case ExportKind::Amount:
            if (IsPlainNumber(value)) {
                // A count with decimals (2.5 tons) is shown as it is; an amount with decimals
                // in won and jeon. The digits are the number exactly as the list showed it.
                const bool whole = !value.contains(QLatin1Char('.'));
                char digits[24];
                const qsizetype n = value.size();
                for (qsizetype i = 0; i < n; ++i)
                    digits[i] = char(value[i].unicode());
                number(col, QByteArrayView(digits, n),
                       whole                        ? Count
                       : kind == ExportKind::Amount ? Fraction
                                                    : Plain);
                return;
            }
            break;
        case ExportKind::Date:
        case ExportKind::DateTime: {
            ExportDateTime d;
            if (ParseExportDateTime(value, &d)) {
                char digits[32];
                const auto [end, ec] = std::to_chars(digits, digits + sizeof digits, serialDate(d),
                                                     std::chars_format::general, 16);
                number(col, QByteArrayView(digits, end - digits),
                       !d.hasTime     ? Date
                       : d.hasSeconds ? Seconds
                                      : Minutes);
                return;
            }
            break;
        }
        case ExportKind::Auto:
        case ExportKind::Text:
            break;
        }
        text(col, value, Plain);
    }

private:
    char* room(size_t n) {
        if (m_used + n > m_buf.size()) m_buf.resize(m_used + n + kChunk);
        return m_buf.data() + m_used;
    }

    // Writes `<c r="B7" s="3"` and leaves room for `extra` bytes more.
    char* open(int col, Style style, size_t extra) {
        const QByteArray& name = m_columns[size_t(col)];
        char* p = room(size_t(name.size()) + m_rowLength + 24 + extra);
        p = put(p, "<c r=\"");
        p = put(p, name.constData(), size_t(name.size()));
        p = put(p, m_row, m_rowLength);
        *p++ = '"';
        if (style != Plain) {
            p = put(p, " s=\"");
            *p++ = char('0' + style);
            *p++ = '"';
        }
        return p;
    }
    void close(char* end) {
        m_used = size_t(end - m_buf.data());
        ++m_cells;
    }

    ZipWriter& m_zip;
    std::vector<char> m_buf;
    size_t m_used = 0;
    std::vector<QByteArray> m_columns;
    char m_row[16];
    size_t m_rowLength = 0;
    size_t m_rowStart = 0;
    int m_cells = 0;
};

// The cells that hold something: the sheet's dimension.
QByteArray usedRange(const ExportTable& table) {
    qsizetype top = -1, bottom = -1;
    int left = INT_MAX, right = -1;
    for (qsizetype r = 0; r < table.rows.size(); ++r) {
        const QStringList& cells = table.rows[r];
        for (qsizetype c = 0; c < cells.size(); ++c) {
            if (cells[c].isEmpty()) continue;
            if (top < 0) top = r;
            bottom = r;
            left = std::min(left, int(c));
            right = std::max(right, int(c));
        }
    }
    if (top < 0) return "A1";
    const QByteArray first = cellName(left, top), last = cellName(right, bottom);
    return first == last ? first : first + ':' + last;
}

QByteArray workbookXml(int cols, qsizetype rows) {
    QByteArray xml =
        R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><fileVersion appName="xl" lastEdited="4" lowestEdited="4" rupBuild="4505"/><workbookPr defaultThemeVersion="124226"/><bookViews><workbookView xWindow="240" yWindow="15" windowWidth="16095" windowHeight="9660"/></bookViews><sheets><sheet name="Sheet1" sheetId="1" r:id="rId1"/></sheets>)";
    if (cols > 0 && rows > 0) {
        // The filter's range, as the spreadsheet itself names it.
        xml +=
            R"(<definedNames><definedName name="_xlnm._FilterDatabase" localSheetId="0" hidden="1">Sheet1!$A$1:$)" +
            columnName(cols - 1) + "$" + QByteArray::number(rows) + "</definedName></definedNames>";
    }
    xml += R"(<calcPr calcId="124519" fullCalcOnLoad="1"/></workbook>)";
    return xml;
}

QByteArray corePropertiesXml() {
    const QByteArray now = QDateTime::currentDateTimeUtc().toString(Qt::ISODate).toLatin1();
    return R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<cp:coreProperties xmlns:cp="http://schemas.openxmlformats.org/package/2006/metadata/core-properties" xmlns:dc="http://purl.org/dc/elements/1.1/" xmlns:dcterms="http://purl.org/dc/terms/" xmlns:dcmitype="http://purl.org/dc/dcmitype/" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance"><dc:creator></dc:creator><cp:lastModifiedBy></cp:lastModifiedBy><dcterms:created xsi:type="dcterms:W3CDTF">)" +
           now + R"(</dcterms:created><dcterms:modified xsi:type="dcterms:W3CDTF">)" + now +
           "</dcterms:modified></cp:coreProperties>";
}

// Everything of the sheet before its rows.
QByteArray sheetStart(const ExportTable& table, const std::vector<ExportKind>& kinds, bool filtered) {
    QByteArray xml =
        R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><dimension ref=")" +
        usedRange(table) + R"("/><sheetViews><sheetView tabSelected="1" workbookViewId="0")";
    // The header row stays in view.
    xml +=
        filtered
            ? R"(><pane ySplit="1" topLeftCell="A2" activePane="bottomLeft" state="frozen"/><selection pane="bottomLeft"/></sheetView>)"
            : "/>";
    xml += R"(</sheetViews><sheetFormatPr defaultRowHeight="15"/>)";
    QByteArray cols;
    for (int c = 0; c < int(kinds.size()); ++c) {
        const int grid = size_t(c) < table.widthsPx.size() ? table.widthsPx[size_t(c)] : 0;
        const int width = std::max(grid, ColumnFloorPx(table, c, kinds[size_t(c)]));
        if (width <= 0) continue;
        const QByteArray n = QByteArray::number(c + 1);
        // 64 pixels is the default width, which needs no mark.
        cols += "<col min=\"" + n + "\" max=\"" + n + "\" width=\"" + columnWidth(width) +
                (width == 64 ? "\"/>" : "\" customWidth=\"1\"/>");
    }
    if (!cols.isEmpty()) xml += "<cols>" + cols + "</cols>";
    xml += "<sheetData>";
    return xml;
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
        int cols = 0;
        for (const QStringList& row : table.rows)
            cols = std::max(cols, int(row.size()));
        if (table.rows.size() > kMaxRows || cols > kMaxCols) {
            result.error = QStringLiteral("엑셀 시트 하나에는 1,048,576행, 16,384열까지만 들어갑니다.");
            return result;
        }
        QFile file(stagePath);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
            result.error = file.errorString();
            return result;
        }
        // One pass, rows in order: each row is deflated into the file while the next is built,
        // its texts in their cells; nothing of the sheet is held but a buffer of XML.
        ZipWriter zip(file, kLevel);
        const auto failed = [&] {
            result.error = zip.error();
            return result;
        };
        if (!zip.add("[Content_Types].xml", kContentTypes) || !zip.add("_rels/.rels", kPackageRels) ||
            !zip.add("xl/_rels/workbook.xml.rels", kWorkbookRels))
            return failed();

        std::vector<ExportKind> kinds(size_t(cols), ExportKind::Text);
        for (int c = 0; c < cols; ++c)
            kinds[size_t(c)] = InferColumnKind(table, c);
        // The header row stays in view and carries the filter buttons.
        const bool filtered = cols > 0 && !table.rows.isEmpty();
        if (!zip.begin("xl/worksheets/sheet1.xml")) return failed();
        SheetWriter sheet(zip, cols);
        sheet.append(sheetStart(table, kinds, filtered));
        for (qsizetype r = 0; r < table.rows.size(); ++r) {
            const QStringList& cells = table.rows[r];
            sheet.beginRow(r);
            for (qsizetype c = 0; c < cells.size(); ++c) {
                if (cells[c].isEmpty()) continue;
                if (r == 0)
                    sheet.text(int(c), cells[c], Bold);
                else
                    sheet.cell(int(c), cells[c], kinds[size_t(c)]);
            }
            if (!sheet.endRow()) return failed();
            if (progress && r > 0 && r % 500 == 0 && !progress(r)) {
                result.cancelled = true;
                return result;
            }
        }
        sheet.append("</sheetData>");
        if (filtered)
            sheet.append("<autoFilter ref=\"A1:" + cellName(cols - 1, table.rows.size() - 1) + "\"/>");
        sheet.append(
            R"(<pageMargins left="0.7" right="0.7" top="0.75" bottom="0.75" header="0.3" footer="0.3"/></worksheet>)");
        if (!sheet.drain() || !zip.end()) return failed();

        if (!zip.add("xl/workbook.xml", workbookXml(cols, table.rows.size())) ||
            !zip.add("xl/theme/theme1.xml", kTheme) || !zip.add("xl/styles.xml", kStyles) ||
            !zip.add("docProps/core.xml", corePropertiesXml()) ||
            !zip.add("docProps/app.xml", kAppProperties) || !zip.finish())
            return failed();
        file.close();
        result.written = true;
        return result;
    });
}
