#pragma once
// A real Excel workbook of a list: the header row bold, frozen and filtered, the columns as
// wide as the grid showed them, amounts, counts and dates as the spreadsheet's own numbers and
// dates, everything else (codes and phone numbers with their leading zeros included) as text.
// Never a formula: a cell that starts with "=" is a text like any other.
#include "exporttable.h"

// Writes the workbook beside its destination and puts it in place only once complete (see
// ReplaceFileWith), so a failure never leaves a half-written file or spoils an existing one.
// Column kinds come from table.kinds or, where those say Auto, from InferColumnKind.
// The narrowest a column of that kind can be in a spreadsheet without hiding what it shows: a
// number or date too wide for its cell shows as ####, and the bold header shares its cell with
// the filter button. The grid's own width counts where it is wider.
int ColumnFloorPx(const ExportTable& table, int col, ExportKind kind);
ExportResult WriteXlsxFile(const QString& path, const ExportTable& table,
                           const ExportProgress& progress = {});
