#include "gridroutines.h"
#include "ini.h"
#include "signin.h"
#include "spreadgrid.h"
#include "twips.h"
#include <QEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QStringList>
#include <QStyle>
#include <QVariant>
#include <algorithm>
#include <cmath>

namespace {
const QString kSection = QStringLiteral("컬럼폭");
// The grid property that keeps the widths of a grid's first fit.
constexpr char kFitBase[] = "delmoraFitBase";
// Beyond this a stored width is a damaged entry, not a column anyone dragged.
constexpr double kWidestColumn = 1000.0;
// Data-row heights a list is drawn with, in points.
constexpr double kLowestRow = 7.0;
constexpr double kHighestRow = 100.0;

// Widths are stored in the grid's normal (character) unit, whatever unit a fit rule used.
class NormalUnit {
public:
    explicit NormalUnit(SpreadGrid& g) : m_g(g), m_was(g.UnitType()) { g.setUnitType(WidthUnit::Normal); }
    ~NormalUnit() { m_g.setUnitType(m_was); }

private:
    SpreadGrid& m_g;
    WidthUnit m_was;
};

class RedrawOff {
public:
    explicit RedrawOff(SpreadGrid& g) : m_g(g), m_was(g.isReDraw()) { g.ReDraw(false); }
    ~RedrawOff() { m_g.ReDraw(m_was); }

private:
    SpreadGrid& m_g;
    bool m_was;
};

// One stored piece: a plain non-negative number, or nothing usable.
bool parseWidth(const QString& piece, double* width) {
    bool ok = false;
    const double w = piece.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(w) || w < 0 || w > kWidestColumn) return false;
    *width = w;
    return true;
}
} // namespace

QString FormatWidth(double width) {
    if (std::isfinite(width) && width == std::floor(width) && std::fabs(width) < 1e15)
        return QString::number(qint64(width));
    return QString::number(width, 'g', 15);
}

void ApplyColumnLayout(SpreadGrid& grid, const QString& key, const std::function<void(SpreadGrid&)>& fit) {
    RedrawOff redraw(grid);
    {
        grid.setUnitType(WidthUnit::Normal);
        const QString saved = ReadIni(kSection, key);
        if (!saved.isEmpty()) {
            const QStringList pieces = saved.split(u',');
            const int n = std::min<int>(pieces.size(), grid.MaxCols());
            for (int i = 0; i < n; ++i) {
                double w = 0;
                // A damaged piece keeps the design width instead of hiding the column.
                if (parseWidth(pieces[i], &w)) grid.setColWidth(i + 1, w);
            }
        } else if (fit) {
            fit(grid);
        }
        grid.setUnitType(WidthUnit::Normal);
    }
    ApplyRowHeight(grid);
}

void ApplyRowHeight(SpreadGrid& grid) {
    double rowHeight = IniNumber(RowHeightSetting);
    // A setting that reads as no height at all would make every row vanish.
    if (!(rowHeight > 0)) rowHeight = 18;
    // The settings dialog takes nothing under 7; a hand-edited value far beyond any screen
    // (3000000000, 1e308) would give one row the height of many screens.
    rowHeight = std::clamp(rowHeight, kLowestRow, kHighestRow);
    grid.setRowHeight(-1, rowHeight);
    grid.setRowHeight(0, 18);
}

double HeaderTextWidth(const SpreadGrid& grid, int col) {
    if (col < 1 || col > grid.MaxCols()) return 0;
    const int px = grid.horizontalHeader()->sectionSizeHint(col - 1);
    return px > 0 ? PxToTwips(px) : 0;
}

void SizeToSamples(SpreadGrid& grid, const std::vector<std::pair<int, QString>>& samples) {
    grid.setUnitType(WidthUnit::Twips);
    const QFontMetrics metrics(grid.font());
    // The cell's text margins on both sides as the item delegate draws them, and a pixel of
    // rounding the twips conversion may take away.
    const int margin = 2 * (grid.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &grid) + 1) + 3;
    for (const auto& [col, sample] : samples)
        if (col >= 1 && col <= grid.MaxCols())
            grid.setColWidth(col, std::max<double>(PxToTwips(metrics.horizontalAdvance(sample) + margin),
                                                   HeaderTextWidth(grid, col)));
}

void ShareSpareWidth(SpreadGrid& grid, const std::vector<int>& columns, double marginTwips, double minTwips) {
    if (columns.empty()) return;
    grid.setUnitType(WidthUnit::Twips);
    // A column narrower than its header shows "···" where the agent looks for its name: every
    // shown column is at least as wide as its header, and when they no longer fit the grid
    // scrolls sideways instead.
    for (int c = 1; c <= grid.MaxCols(); ++c) {
        const double width = grid.ColWidth(c);
        const double header = HeaderTextWidth(grid, c);
        if (width > 0 && width < header) grid.setColWidth(c, header);
    }

    // The fit columns start from the widths they had at their first fit, not from what an
    // earlier, narrower layout left them, so a window that grows again gets the same columns
    // as one opened at that size.
    QList<double> base = grid.property(kFitBase).value<QList<double>>();
    if (base.size() != grid.MaxCols() + 1) {
        base.clear();
        for (int c = 0; c <= grid.MaxCols(); ++c)
            base << grid.ColWidth(c);
        grid.setProperty(kFitBase, QVariant::fromValue(base));
    }

    struct Fit {
        int col;
        double now, least;
        bool atLeast;
    };
    std::vector<Fit> fits;
    for (int c : columns)
        if (c >= 1 && c <= grid.MaxCols()) {
            const double drawn = std::max(base[c], HeaderTextWidth(grid, c));
            // A fit column gives up at most half its drawn width, and never its header's text:
            // beyond that the grid scrolls, its content still readable.
            fits.push_back({c, drawn, std::max({minTwips, HeaderTextWidth(grid, c), drawn / 2}), false});
        }
    // What the fit columns have between them: the grid less every other column and the margin.
    double others = 0;
    for (int c = 0; c <= grid.MaxCols(); ++c)
        if (std::none_of(fits.begin(), fits.end(), [c](const Fit& f) { return f.col == c; }))
            others += grid.ColWidth(c);
    const double total = std::round(PxToTwips(grid.width()) - others - marginTwips);
    // The columns share the spare width equally; one that would fall below its least width
    // stays there and the others share what remains, so the grid scrolls only when every one of
    // them is down to its least width.
    double share = 0;
    for (bool settled = false; !settled;) {
        settled = true;
        double open = total;
        int count = 0;
        for (const Fit& f : fits) {
            if (f.atLeast) {
                open -= f.least;
            } else {
                open -= f.now;
                ++count;
            }
        }
        if (count == 0) break;
        share = open / count;
        for (Fit& f : fits)
            if (!f.atLeast && f.now + share < f.least) {
                f.atLeast = true;
                settled = false;
            }
    }
    for (const Fit& f : fits)
        grid.setColWidth(f.col, f.atLeast ? f.least : f.now + share);
}

void SaveColumnWidths(const SpreadGrid& grid, const QString& key) {
    SpreadGrid& g = const_cast<SpreadGrid&>(grid); // only the unit is switched, and put back
    NormalUnit unit(g);
    QStringList pieces;
    for (int c = 1; c <= grid.MaxCols(); ++c)
        pieces << FormatWidth(grid.ColWidth(c));
    // A drag reports every mouse move; the file is written once the drag is over.
    WriteIniLater(kSection, key, pieces.join(u','));
}

namespace {
// Letting go of the header ends a drag: what it changed is written then and there.
class WriteOnRelease : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonRelease) FlushIni();
        return QObject::eventFilter(watched, event);
    }
};
} // namespace

void ConnectColumnWidthSaving(SpreadGrid& grid, const QString& key) {
    QObject::connect(&grid, &SpreadGrid::ColWidthChange, &grid,
                     [g = &grid, key](int, int) { SaveColumnWidths(*g, key); });
    grid.horizontalHeader()->viewport()->installEventFilter(new WriteOnRelease(&grid));
}
