#pragma once
// What an export writes: the table of texts a list grid shows, the widths it shows them at,
// and what kind of value each column holds, plus the one way both file kinds replace a file.
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

// What a column holds. Auto lets the export decide from the header and the cells
// (InferColumnKind); a screen that knows better can say so per column.
enum class ExportKind { Auto, Text, Number, Amount, Date, DateTime };

struct ExportTable {
    QList<QStringList> rows;       // the first row holds the headers
    std::vector<int> widthsPx;     // per column, as wide as the grid shows it (pixels); may be short
    std::vector<ExportKind> kinds; // per column; missing entries are Auto
};

// Called every few hundred rows with the number of data rows written so far; answering false
// stops the write (the target is then left as it was).
using ExportProgress = std::function<bool(qsizetype rowsDone)>;

struct ExportResult {
    bool written = false;
    bool cancelled = false; // the progress callback said stop
    QString error;          // what failed, as the system said it
};

// A file marked read-only (or one this user may not write) is never replaced by an export.
bool IsReadOnlyFile(const QString& path);

// Runs write(stagePath) on a fresh file in the target's folder and, only when it succeeded,
// puts that file in the target's place in one step. An existing target keeps its permissions
// (a new one gets the user's usual ones); a symbolic link keeps pointing at the replaced file;
// a read-only target is refused and left alone. Whatever fails, no half-written file remains.
ExportResult ReplaceFileWith(const QString& path, const std::function<ExportResult(const QString&)>& write);

// Whether a cell text reads as a plain decimal number (no leading zero, at most 15 digits, an
// optional minus and up to six decimals): amounts and counts.
bool IsPlainNumber(const QString& text);

// The kind of column `col` (0-based) of the table: dates and date-times when every filled cell
// is one; for columns of plain numbers, identifiers (코드, 번호, 전화 ... in the header, or
// digit strings of one length from 7 digits up, like codes and phone numbers) stay texts,
// money headers (금액, 운임 ...) make amounts, anything else counts; everything else is text.
ExportKind InferColumnKind(const ExportTable& table, int col);

// "yyyy-MM-dd" or "yyyy-MM-dd HH:mm[:ss[.zzz]]" as stored and shown by the lists. Answers false
// for anything else, including impossible dates.
struct ExportDateTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0;
    double second = 0;
    bool hasTime = false;
    bool hasSeconds = false;
};
bool ParseExportDateTime(const QString& text, ExportDateTime* out);
