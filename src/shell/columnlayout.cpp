#include "gridroutines.h"
#include "ini.h"
#include "signin.h"
#include "spreadgrid.h"
#include "twips.h"
#include <QStringList>
#include <cmath>

namespace {
const QString kSection = QStringLiteral("컬럼폭");
// Beyond this a stored width is a damaged entry, not a column anyone dragged.
constexpr double kWidestColumn = 1000.0;

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
    double rowHeight = IniNumber(RowHeightSetting);
    // A setting that reads as no height at all would make every row vanish.
    if (!(rowHeight > 0)) rowHeight = 18;
    grid.setRowHeight(-1, rowHeight);
    grid.setRowHeight(0, 18);
}

void SaveColumnWidths(const SpreadGrid& grid, const QString& key) {
    SpreadGrid& g = const_cast<SpreadGrid&>(grid);  // only the unit is switched, and put back
    NormalUnit unit(g);
    QStringList pieces;
    for (int c = 1; c <= grid.MaxCols(); ++c) pieces << FormatWidth(grid.ColWidth(c));
    WriteIni(kSection, key, pieces.join(u','));
}

void ConnectColumnWidthSaving(SpreadGrid& grid, const QString& key) {
    QObject::connect(&grid, &SpreadGrid::ColWidthChange, &grid, [g = &grid, key](int, int) { SaveColumnWidths(*g, key); });
}

void ShareSpareWidth(SpreadGrid& grid, double marginTwips, std::initializer_list<int> columns) {
    if (columns.size() == 0) return;
    grid.setUnitType(WidthUnit::Twips);
    double sum = 0;
    for (int c = 0; c <= grid.MaxCols(); ++c) sum += grid.ColWidth(c);
    const double share = (PxToTwips(grid.width()) - sum - marginTwips) / double(columns.size());
    for (int c : columns) grid.setColWidth(c, std::max(grid.ColWidth(c) + share, 450.0));
}
