#pragma once
// Routines every list screen shares: grid look, export, Enter-as-Tab, code-list helpers,
// opening a web address, and the column-width / row-height convention.
#include "exporttable.h"
#include <QString>
#include <functional>
#include <utility>
#include <vector>

class QWidget;
class QListWidget;
class SpreadGrid;

// Every SpreadGrid on the form: font "굴림" 10 (a Korean substitute), not bold, flat look.
void ApplyGridStyle(QWidget* form);
// Exports the grid's visible columns as a real ".xlsx" workbook (the Save-As dialog's first
// choice) or as tab-separated text under an ".xls" name, asking for the file name and before
// overwriting; a read-only file is refused. The dialog opens in the folder this kind of export
// (see ExportKindName) was last saved to. Column kinds (amounts, dates, codes) are inferred
// from the headers and cells; a screen may name them per grid column in `kinds` (hidden
// columns included, Auto or missing entries inferred).
void ExportGridToExcel(const SpreadGrid& grid, const QString& defaultName,
                       const std::vector<ExportKind>& kinds = {});
// The kind of an export by its default name: the name without a trailing date
// ("오더내역_241208" -> "오더내역").
QString ExportKindName(const QString& defaultName);
// Enter becomes a Tab (focus moves on as Tab would) and the key code becomes 0.
void EnterToTab(int& keyCode);
// Index of the list item at vertical position y (twips), at most the last index.
int ListIndexAtY(const QListWidget& list, double yTwips);
// Hides a code list and clears the order board's "a code list is open" flag.
void HideCodeList(QListWidget& list);
extern bool CodeListOpen;
// OpenInBrowser lives in startup/browser.h (the login dialog, below the shell, uses it).

// The column-width and row-height convention of the list screens.
//   key:       the screen's [컬럼폭] key ("오더등록", "차주관리", ...)
//   fit:       the screen's own rule, run when nothing is stored (it may switch the grid to
//              twips; the helper restores the normal unit afterwards)
// ApplyColumnLayout restores or fits the widths, then sets every data row to RowHeightSetting
// and the header row to 18. SaveColumnWidths writes the widths when the user drags one;
// connect it with ConnectColumnWidthSaving.
void ApplyColumnLayout(SpreadGrid& grid, const QString& key, const std::function<void(SpreadGrid&)>& fit);
// Every data row at RowHeightSetting, the header row at 18 (as ApplyColumnLayout ends).
void ApplyRowHeight(SpreadGrid& grid);
void SaveColumnWidths(const SpreadGrid& grid, const QString& key);
void ConnectColumnWidthSaving(SpreadGrid& grid, const QString& key);
// The usual fit rule: the grid's width less all column widths (row-header column included) and
// less marginTwips is shared out equally among the given columns; a narrower window gives a
// negative share and narrows them, never below minTwips nor below the width of their header
// text (what one of them cannot give up, the others do). Every shown column is first widened
// to its header text; columns that no longer fit make the grid scroll sideways. Leaves the grid
// measuring in twips (ApplyColumnLayout switches back).
void ShareSpareWidth(SpreadGrid& grid, const std::vector<int>& columns, double marginTwips,
                     double minTwips = 300);
// Texts as wide as the widest value of their kind, for columns that must never be cut: an agent
// reads a date, phone or amount whole or misreads it.
namespace WholeText {
inline const QString Date = QStringLiteral("2026-12-31");
inline const QString DateMinute = QStringLiteral("2026-12-31 23:59");
inline const QString DateTime = QStringLiteral("2026-12-31 23:59:59");
inline const QString Phone = QStringLiteral("0505-0000-0000");
// A driver's own phone, as a dispatch copies it from the owner's record: a mobile number.
inline const QString MobilePhone = QStringLiteral("010-0000-0000");
inline const QString BusinessNumber = QStringLiteral("000-00-00000");
inline const QString Amount = QStringLiteral("000,000,000");
inline const QString Status = QStringLiteral("배차완료");
inline const QString VehicleNumber = QStringLiteral("경기00가0000");
inline const QString Tonnage = QStringLiteral("25톤");
} // namespace WholeText
// Sets each named column as wide as its sample text drawn in the grid's font, never narrower
// than its header. Sized to a sample rather than to the rows, the columns keep their widths
// whatever a reload brings. Leaves the grid measuring in twips.
void SizeToSamples(SpreadGrid& grid, const std::vector<std::pair<int, QString>>& samples);
// Twips the header of column col needs to show its text whole (0 for a hidden column).
double HeaderTextWidth(const SpreadGrid& grid, int col);
// Width text: whole numbers without a point, others with up to 15 significant digits.
QString FormatWidth(double width);
