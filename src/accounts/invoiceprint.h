#pragma once
// Putting a drawn form on paper: A4, turned to whichever orientation fits the form best, the
// form scaled to the printable area and centred across it. Printers and PDF files get the same
// drawing; text stays text (the Korean face is embedded in a PDF).
#include <QPageLayout>
#include <QRectF>
#include <QSizeF>

class QColor;
class QPagedPaintDevice;
class QPainter;
class QString;
class QWidget;
class SpreadGrid;

namespace InvoicePrint {

// The orientation of A4 (10 mm margins) in which the form is drawn largest.
QPageLayout::Orientation FittingOrientation(const QSizeF& form);
// A4 in that orientation with the 10 mm margins every copy of the form is printed with.
QPageLayout PageFor(const QSizeF& form);
// Where a form of that size lands inside the printable area: as large as fits, aspect kept,
// centred both ways.
QRectF PlaceOnPage(const QSizeF& form, const QRectF& printable);
// Draws a grid's cells as the screen shows them (widths, heights, merged boxes, looks) with
// lines of that colour, and the labels laid over its cells; the grid's top-left cell at (0, 0).
// Drawn rather than copied from the screen, so a printer or a PDF gets sharp lines and real text.
void PaintGrid(QPainter& painter, const SpreadGrid& grid, const QColor& lines);
// The form is a white panel holding the grid. Sets the page to A4 in the fitting orientation
// with 10 mm margins and draws the panel scaled to the printable area. The one drawing of the
// form on paper: printers, the print preview and PDF files all get it. False when the device
// cannot be drawn on (no such file or folder, printer gone).
bool Render(const QWidget& form, const SpreadGrid& grid, const QColor& lines, QPagedPaintDevice& device);
// Writes the form as a PDF file with that title, the program named as its creator. The file
// appears whole or not at all and gets the permissions every export gets (an existing file
// keeps its own). reason receives why it failed.
bool SavePdf(const QWidget& form, const SpreadGrid& grid, const QColor& lines, const QString& path,
             const QString& title, QString* reason = nullptr);
// The name the program signs its PDF files and print jobs with.
QString CreatorName();

} // namespace InvoicePrint
