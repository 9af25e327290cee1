#include "barlayout.h"
#include "twips.h"

#include <QWidget>
#include <algorithm>

namespace {
struct Spot {
    double left, width;
    bool shown;
    int row = 0;
};

double RightEnd(const std::vector<Spot>& spots) {
    double end = 0;
    for (const Spot& s : spots)
        if (s.shown) end = std::max(end, s.left + s.width);
    return end;
}

// The left-hand controls made to end by `limit` as far as they can; true when they do.
bool FitLeft(const std::vector<BarItem>& items, double limit, std::vector<Spot>& spots) {
    spots.clear();
    for (const BarItem& item : items)
        spots.push_back({item.left, item.width, !item.optional || item.left + item.width <= limit});
    const double need = RightEnd(spots) - limit;
    if (need <= 0) return true;
    double give = 0;
    for (size_t k = 0; k < items.size(); ++k)
        if (spots[k].shown && items[k].leastWidth >= 0)
            give += std::max(0.0, items[k].width - items[k].leastWidth);
    if (give <= 0) return false;
    // Every long box gives the same share of what it can spare.
    const double share = std::min(1.0, need / give);
    double shift = 0;
    for (size_t k = 0; k < items.size(); ++k) {
        spots[k].left -= shift;
        if (!spots[k].shown || items[k].leastWidth < 0) continue;
        const double given = std::max(0.0, items[k].width - items[k].leastWidth) * share;
        spots[k].width -= given;
        shift += given;
    }
    return RightEnd(spots) <= limit + 0.5;
}

// Left-hand controls that still reach past `limit` go on to further rows from the bar's left
// edge, keeping their drawn spacing; returns the rows they take.
int FlowLeft(const BarDesign& bar, double limit, std::vector<Spot>& spots) {
    int row = 0;
    double shift = 0;
    bool first = true;
    for (Spot& s : spots) {
        if (!s.shown) continue;
        if (!first && s.left - shift + s.width > limit) {
            ++row;
            shift = s.left - bar.margin;
        }
        first = false;
        s.left -= shift;
        s.row = row;
    }
    return row + 1;
}

// The right-hand group below the left-hand controls' last row; returns the rows it takes.
int PlaceGroupBelow(const BarDesign& bar, double width, int below) {
    double farthest = 0;
    for (const BarItem& item : bar.right)
        farthest = std::max(farthest, item.left);
    if (width - farthest >= bar.margin) {
        for (const BarItem& item : bar.right)
            PlaceTwips(item.widget, width - item.left, item.top + bar.rowStep * below, item.width,
                       item.height);
        return 1;
    }
    // Wider than the bar: row after row from the left edge, keeping the drawn spacing.
    int rows = 1;
    double rowStart = farthest;
    bool first = true;
    for (const BarItem& item : bar.right) {
        double x = bar.margin + (rowStart - item.left);
        if (!first && x + item.width > width - bar.margin) {
            ++rows;
            rowStart = item.left;
            x = bar.margin;
        }
        first = false;
        PlaceTwips(item.widget, x, item.top + bar.rowStep * (below + rows - 1), item.width, item.height);
    }
    return rows;
}
} // namespace

int LayOutBar(const BarDesign& bar, double width) {
    double groupLeft = width - bar.margin;
    for (const BarItem& item : bar.right)
        groupLeft = std::min(groupLeft, width - item.left - bar.gap);

    std::vector<Spot> spots;
    int rows = 1;
    if (FitLeft(bar.left, groupLeft, spots) || bar.right.empty()) {
        for (const BarItem& item : bar.right)
            PlaceTwips(item.widget, width - item.left, item.top, item.width, item.height);
    } else {
        rows = FitLeft(bar.left, width - bar.margin, spots) ? 1 : FlowLeft(bar, width - bar.margin, spots);
        // Where the left-hand controls took more than one row, their last row may still have
        // room for the group at its place.
        double lastRowEnd = 0;
        for (const Spot& s : spots)
            if (s.shown && s.row == rows - 1) lastRowEnd = std::max(lastRowEnd, s.left + s.width);
        if (rows > 1 && lastRowEnd <= groupLeft) {
            for (const BarItem& item : bar.right)
                PlaceTwips(item.widget, width - item.left, item.top + bar.rowStep * (rows - 1), item.width,
                           item.height);
        } else {
            rows += PlaceGroupBelow(bar, width, rows);
        }
    }
    for (size_t k = 0; k < bar.left.size(); ++k) {
        const BarItem& item = bar.left[k];
        PlaceTwips(item.widget, spots[k].left, item.top + bar.rowStep * spots[k].row, spots[k].width,
                   item.height);
        if (item.optional) item.widget->setVisible(spots[k].shown);
    }
    return rows;
}
