#pragma once
// Putting a drawn form on paper: A4, turned to whichever orientation fits the form best, the
// form scaled to the printable area and centred across it. Printers and PDF files get the same
// drawing; text stays text (the Korean face is embedded in a PDF).
#include <QPageLayout>
#include <QRectF>
#include <QSizeF>

class QColor;
class QPainter;
class QPrinter;
class QString;
class QWidget;
class SpreadGrid;

namespace InvoicePrint {

QPageLayout::Orientation FittingOrientation(const QSizeF& form);
// Where a form of that size lands inside the printable area: as large as fits, aspect kept,
// centred across, at the top.
QRectF PlaceOnPage(const QSizeF& form, const QRectF& printable);
// Draws a grid's cells as the screen shows them (widths, heights, merged boxes, looks) with
// lines of that colour, and the labels laid over its cells; the grid's top-left cell at (0, 0).
// Drawn rather than copied from the screen, so a printer or a PDF gets sharp lines and real text.
void PaintGrid(QPainter& painter, const SpreadGrid& grid, const QColor& lines);
// The form is a white panel holding the grid. Sets the printer to A4 in the fitting orientation
// with 10 mm margins and draws the panel scaled to the printable area. False when the printer
// cannot be drawn on (no such file or folder, printer gone).
bool Render(const QWidget& form, const SpreadGrid& grid, const QColor& lines, QPrinter& printer);
// Writes the form as a PDF file: the file appears whole or not at all, an existing file is only
// replaced by a complete new one. reason receives why it failed.
bool SavePdf(const QWidget& form, const SpreadGrid& grid, const QColor& lines, const QString& path,
             QString* reason = nullptr);

} // namespace InvoicePrint
