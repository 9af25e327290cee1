#include "invoiceprint.h"
#include "spreadgrid.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryFile>
#include <QWidget>

namespace InvoicePrint {

QPageLayout::Orientation FittingOrientation(const QSizeF& form) {
    return form.width() > form.height() ? QPageLayout::Landscape : QPageLayout::Portrait;
}

QRectF PlaceOnPage(const QSizeF& form, const QRectF& printable) {
    if (form.isEmpty() || printable.isEmpty()) return {};
    const double scale = std::min(printable.width() / form.width(), printable.height() / form.height());
    const QSizeF size = form * scale;
    return QRectF(printable.left() + (printable.width() - size.width()) / 2, printable.top(), size.width(),
                  size.height());
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

bool Render(const QWidget& form, const SpreadGrid& grid, const QColor& lines, QPrinter& printer) {
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), FittingOrientation(form.size()),
                                      QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const QRectF printable = printer.pageLayout().paintRectPixels(printer.resolution());
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
             QString* reason) {
    const QFileInfo target(path);
    if (!target.absoluteDir().exists()) {
        if (reason) *reason = QStringLiteral("저장할 폴더가 없습니다.");
        return false;
    }
    // Drawn into a file beside the target first, so a failure never leaves half a file under
    // the chosen name or spoils the one already there.
    QTemporaryFile part(target.absoluteDir().filePath(QStringLiteral(".pdf-XXXXXX")));
    if (!part.open()) {
        if (reason) *reason = QStringLiteral("이 폴더에는 파일을 쓸 수 없습니다.");
        return false;
    }
    part.close();
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(part.fileName());
    printer.setDocName(target.completeBaseName());
    if (!Render(form, grid, lines, printer) || QFileInfo(part.fileName()).size() == 0) {
        if (reason) *reason = QStringLiteral("PDF를 그리지 못했습니다.");
        return false;
    }
    if (QFile::exists(path) && !QFile::remove(path)) {
        if (reason)
            *reason = QStringLiteral(
                "같은 이름의 파일을 바꿀 수 없습니다. 다른 프로그램이 열고 있지 않은지 확인해 주십시오.");
        return false;
    }
    if (!part.rename(path)) {
        if (reason) *reason = QStringLiteral("파일 이름을 붙이지 못했습니다.");
        return false;
    }
    part.setAutoRemove(false);
    return true;
}

} // namespace InvoicePrint
