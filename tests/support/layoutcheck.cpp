#include "layoutcheck.h"
#include "spreadgrid.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QTest>
#include <QWidget>

namespace LayoutCheck {
namespace {
QString Describe(const QWidget* w, const QRect& r) {
    return QStringLiteral("%1 at %2,%3 %4x%5")
        .arg(w->objectName())
        .arg(r.x())
        .arg(r.y())
        .arg(r.width())
        .arg(r.height());
}

QRect OnScreen(const QWidget* w, const QWidget* screen) {
    return QRect(w->mapTo(screen, QPoint(0, 0)), w->size());
}

void CheckGrid(const SpreadGrid* grid, QStringList& faults) {
    const QHeaderView* header = grid->horizontalHeader();
    int total = 0;
    for (int c = 0; c < grid->model()->columnCount(); ++c) {
        if (grid->isColumnHidden(c)) continue;
        const int width = grid->columnWidth(c);
        total += width;
        const int needed = header->sectionSizeHint(c);
        if (width < needed)
            faults << QStringLiteral("%1 column %2 (%3) is %4 px, its header needs %5")
                          .arg(grid->objectName())
                          .arg(c + 1)
                          .arg(grid->model()->headerData(c, Qt::Horizontal).toString())
                          .arg(width)
                          .arg(needed);
    }
    if (total > grid->viewport()->width() && grid->horizontalScrollBar()->maximum() <= 0)
        faults << QStringLiteral("%1: columns of %2 px in %3 px and no sideways scrolling")
                      .arg(grid->objectName())
                      .arg(total)
                      .arg(grid->viewport()->width());
}
} // namespace

void AddDeskSizeRows() {
    QTest::addColumn<QSize>("size");
    for (const QSize& size : DeskSizes)
        QTest::addRow("%dx%d", size.width(), size.height()) << size;
}

QStringList Faults(QWidget* screen, const QStringList& parked) {
    // Grids settle their scroll range when the event loop next runs.
    QApplication::processEvents();
    QStringList faults;
    QList<QWidget*> controls;
    for (QWidget* w : screen->findChildren<QWidget*>()) {
        const QString name = w->objectName();
        if (name.isEmpty() || name.startsWith(QLatin1String("qt_")) || parked.contains(name)) continue;
        if (!w->isVisibleTo(screen)) continue;
        controls << w;
    }
    const QRect whole = screen->rect();
    for (QWidget* w : controls) {
        const QRect r = OnScreen(w, screen);
        if (w->width() <= 0 || w->height() <= 0)
            faults << Describe(w, r) + QStringLiteral(": squeezed to nothing");
        if (!whole.contains(r)) faults << Describe(w, r) + QStringLiteral(": outside the screen");
        const QWidget* parent = w->parentWidget();
        if (parent && parent != screen && !parent->rect().contains(w->geometry()))
            faults << Describe(w, r) + QStringLiteral(": outside its panel ") + parent->objectName();
        if (auto* grid = qobject_cast<SpreadGrid*>(w)) CheckGrid(grid, faults);
        // A caption cut short reads as another word.
        if (auto* label = qobject_cast<QLabel*>(w); label && !label->wordWrap() && !label->text().isEmpty()) {
            const QString shown = QString(label->text()).remove(u'&');
            const int needed = label->fontMetrics().horizontalAdvance(shown);
            if (needed > label->contentsRect().width())
                faults << Describe(w, r) +
                              QStringLiteral(": caption \"%1\" needs %2 px").arg(shown).arg(needed);
        }
    }
    for (qsizetype i = 0; i < controls.size(); ++i)
        for (qsizetype j = i + 1; j < controls.size(); ++j) {
            QWidget* a = controls[i];
            QWidget* b = controls[j];
            if (a->isAncestorOf(b) || b->isAncestorOf(a)) continue;
            const QRect ra = OnScreen(a, screen), rb = OnScreen(b, screen);
            if (ra.intersects(rb)) faults << Describe(a, ra) + QStringLiteral(" lies on ") + Describe(b, rb);
        }
    return faults;
}
} // namespace LayoutCheck
