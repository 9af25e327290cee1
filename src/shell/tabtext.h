#pragma once
// The tab-separated text that spreadsheet programs open under an ".xls" name, written so that
// what a spreadsheet program makes of it is what the grid showed: no cell runs as a formula,
// no quote or line break moves a column, codes keep their leading zeros.
#include "exporttable.h"

// One cell as a field of the file. Gets a leading ' (so the program keeps it as text and shows
// it without that mark): a text a spreadsheet program would take for a formula (it starts with
// =, +, -, @ after any blanks, or with a tab or carriage return); digits it would turn into a
// number or show as 1.23457E+11 (a leading zero, 12 digits or more); a short form it would
// turn into a date (3/4, 12-25, 3/4/24); a text that starts with ' itself. Plain numbers stay
// numbers. A field holding a quote, tab or line break is quoted, its quotes doubled (RFC 4180
// with tabs), its tabs and line breaks kept.
QString TabTextField(const QString& cell);

// The table as UTF-8 with a byte-order mark (so spreadsheet programs read Korean), one line per
// row, fields separated by tabs, lines ending in CR LF. Replaces the file only when complete.
ExportResult WriteTabTextFile(const QString& path, const ExportTable& table,
                              const ExportProgress& progress = {});
