#include "invoiceprint.h"
#include "spreadgrid.h"

#include "exporttable.h"

#include <QLabel>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QWidget>

namespace InvoicePrint {

namespace {
const QMarginsF PageMargins(10, 10, 10, 10);

QPageLayout A4(QPageLayout::Orientation orientation) {
    return QPageLayout(QPageSize(QPageSize::A4), orientation, PageMargins, QPageLayout::Millimeter);
}

double ScaleOnto(const QSizeF& form, const QSizeF& printable) {
    return std::min(printable.width() / form.width(), printable.height() / form.height());
}
} // namespace

QPageLayout::Orientation FittingOrientation(const QSizeF& form) {
    if (form.isEmpty()) return QPageLayout::Portrait;
    const QSizeF across = A4(QPageLayout::Landscape).paintRect().size();
    const QSizeF upright = A4(QPageLayout::Portrait).paintRect().size();
    return ScaleOnto(form, across) > ScaleOnto(form, upright) ? QPageLayout::Landscape
                                                              : QPageLayout::Portrait;
}

QPageLayout PageFor(const QSizeF& form) {
    return A4(FittingOrientation(form));
}

QRectF PlaceOnPage(const QSizeF& form, const QRectF& printable) {
    if (form.isEmpty() || printable.isEmpty()) return {};
    const QSizeF size = form * ScaleOnto(form, printable.size());
    return QRectF(printable.left() + (printable.width() - size.width()) / 2,
                  printable.top() + (printable.height() - size.height()) / 2, size.width(), size.height());
}

QString CreatorName() {
    return QStringLiteral("델모라 콜센터");
}

namespace {
// Fonts in pixels of the screen the form was laid out on: the painter's scale then brings text
// and boxes to paper together, whatever the printer's resolution.
QFont InScreenPixels(QFont font, const QWidget& on) {
    if (font.pixelSize() <= 0)
        font.setPixelSize(std::max(1, qRound(font.pointSizeF() * on.logicalDpiY() / 72.0)));
    return font;
}
} // namespace

void PaintGrid(QPainter& p, const SpreadGrid& g, const QColor& lines) {
    const int cols = g.MaxCols(), rows = g.MaxRows();
    std::vector<int> x(size_t(cols) + 1, 0), y(size_t(rows) + 1, 0);
    for (int c = 0; c < cols; ++c)
        x[size_t(c) + 1] = x[size_t(c)] + (g.isColumnHidden(c) ? 0 : g.columnWidth(c));
    for (int r = 0; r < rows; ++r)
        y[size_t(r) + 1] = y[size_t(r)] + g.rowHeight(r);
    // A merged box is drawn once, from its first cell; the cells it covers are skipped.
    std::vector<bool> covered(size_t(cols) * size_t(rows), false);
    const QPen linePen(lines, 1);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            if (covered[size_t(r) * size_t(cols) + size_t(c)]) continue;
            const int rs = std::max(1, std::min(g.rowSpan(r, c), rows - r));
            const int cs = std::max(1, std::min(g.columnSpan(r, c), cols - c));
            for (int i = r; i < r + rs; ++i)
                for (int j = c; j < c + cs; ++j)
                    covered[size_t(i) * size_t(cols) + size_t(j)] = true;
            const QRect box(x[size_t(c)], y[size_t(r)], x[size_t(c + cs)] - x[size_t(c)],
                            y[size_t(r + rs)] - y[size_t(r)]);
            if (box.isEmpty()) continue;
            const CellLook look = g.CellLookAt(c + 1, r + 1);
            p.fillRect(box, look.back.isValid() ? look.back : QColor(Qt::white));
            const QString text = g.GetText(c + 1, r + 1);
            if (!text.isEmpty()) {
                p.setFont(InScreenPixels(look.font ? *look.font : g.font(), g));
                p.setPen(look.fore.isValid() ? look.fore : QColor(Qt::black));
                const Qt::Alignment align = look.align ? look.align : (Qt::AlignLeft | Qt::AlignVCenter);
                p.drawText(QRectF(box).adjusted(3, 1, -3, -1), int(align) | Qt::TextWordWrap, text);
            }
            p.setPen(linePen);
            p.setBrush(Qt::NoBrush);
            p.drawRect(QRectF(box));
        }
    }
    p.setPen(QPen(lines, 2));
    p.drawRect(QRectF(0, 0, x.back(), y.back()));
    for (const QLabel* label : g.viewport()->findChildren<const QLabel*>(Qt::FindDirectChildrenOnly)) {
        if (label->isHidden()) continue;
        p.setFont(InScreenPixels(label->font(), *label));
        p.setPen(label->palette().color(label->foregroundRole()));
        p.drawText(QRectF(label->geometry()), int(label->alignment()), label->text());
    }
}

bool Render(const QWidget& form, const SpreadGrid& grid, const QColor& lines, QPagedPaintDevice& device) {
    device.setPageLayout(PageFor(form.size()));
    QPainter painter;
    if (!painter.begin(&device)) return false;
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const QRectF printable = device.pageLayout().paintRectPixels(device.logicalDpiX());
    // The painter of a printer starts at the printable area's corner.
    const QRectF target = PlaceOnPage(form.size(), QRectF(QPointF(0, 0), printable.size()));
    painter.translate(target.topLeft());
    painter.scale(target.width() / form.width(), target.height() / form.height());
    painter.fillRect(QRect(QPoint(0, 0), form.size()), Qt::white);
    painter.translate(grid.viewport()->mapTo(&form, QPoint(0, 0)));
    PaintGrid(painter, grid, lines);
    return painter.end();
}

bool SavePdf(const QWidget& form, const SpreadGrid& grid, const QColor& lines, const QString& path,
             const QString& title, QString* reason) {
    const ExportResult result = ReplaceFileWith(path, [&](const QString& stagePath) {
        ExportResult drawn;
        QPdfWriter pdf(stagePath);
        pdf.setResolution(600);
        pdf.setTitle(title);
        pdf.setCreator(CreatorName());
        drawn.written = Render(form, grid, lines, pdf);
        if (!drawn.written) drawn.error = QStringLiteral("PDF를 그리지 못했습니다.");
        return drawn;
    });
    if (!result.written && reason) *reason = result.error;
    return result.written;
}

} // namespace InvoicePrint
