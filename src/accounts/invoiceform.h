#pragma once
// The Korean paper tax-invoice form drawn on a spreadsheet grid: 35 columns by 18 rows,
// merged boxes, labels in red ink on pale red, the two company names on pale yellow.
#include <QHash>
#include <QRect>
#include <QString>

class SpreadGrid;

namespace InvoiceForm {

constexpr int Columns = 35;
constexpr int Rows = 18;
// Row 9: the blank count, then the supply amount's eleven places and the tax's ten.
constexpr int DigitRow = 9;
constexpr int BlankCountCol = 6;
constexpr int FirstSupplyCol = 7;
constexpr int FirstTaxCol = 18;
// Where the title and the word 청구 go over the grid (cell boxes, 1-based col/row).
constexpr QRect TitleBox{1, 1, 27, 2};
constexpr QRect ClaimBox{27, 15, 9, 2};

// Lays the empty form out: sizes, merged boxes, looks and the fixed labels.
void Build(SpreadGrid& grid);
// Writes one invoice (column name -> stored text) into the data cells of a built form.
// Returns what could not be written ("" when everything was).
QString Fill(SpreadGrid& grid, const QHash<QString, QString>& invoice);

} // namespace InvoiceForm
