#pragma once
// A real Excel workbook of rows of texts (the first row is the bold header line).
#include <QList>
#include <QString>
#include <QStringList>

// Writes the workbook next to its destination and moves it over only once complete, so a
// failure never leaves a half-written file or spoils an existing one. Texts that read as plain
// decimal numbers (no leading zero, at most 15 digits: amounts, counts) become numbers so the
// spreadsheet can add them up; phone numbers, codes with leading zeros, dates and everything
// else stay texts. On failure returns false and sets *error.
bool WriteXlsxFile(const QString& path, const QList<QStringList>& rows, QString* error);
// Whether a cell text is written as a number.
bool IsPlainNumber(const QString& text);
