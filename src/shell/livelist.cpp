#include "livelist.h"

#include "spreadgrid.h"
#include "spreadmodel.h"
#include "freightstore.h"
#include "storefeed.h"

#include <QScrollBar>

#include <algorithm>
#include <limits>
#include <map>

FreshRow FreshRow::FromTexts(const QStringList& texts, const QString& tag, const QColor& colour) {
    FreshRow row{{}, {}, tag, colour};
    SpreadModel::JoinTexts(texts, row.cells, row.ends);
    return row;
}

std::vector<FreshRow> FreshRow::AllOf(RowSource& source) {
    std::vector<FreshRow> rows(size_t(source.rowCount()));
    for (qsizetype i = 0; i < source.rowCount(); ++i) {
        FreshRow& row = rows[size_t(i)];
        source.buildRow(i, row.cells, row.ends, row.tag, row.colour);
    }
    return rows;
}

QString FreshRow::cell(int col) const {
    const size_t i = size_t(col - 1);
    if (col < 1 || i >= ends.size()) return {};
    const qsizetype start = i ? qsizetype(ends[i - 1]) : 0;
    return cells.mid(start, qsizetype(ends[i]) - start);
}

qint64 RowKeyOf(const QString& tag) {
    qint64 key = 0;
    qsizetype i = 0;
    while (i < tag.size() && tag.at(i).isSpace())
        ++i;
    for (; i < tag.size() && tag.at(i) >= QLatin1Char('0') && tag.at(i) <= QLatin1Char('9'); ++i) {
        if (key > (std::numeric_limits<qint64>::max() - 9) / 10) return 0;
        key = key * 10 + (tag.at(i).unicode() - '0');
    }
    return key;
}

namespace {
// A row's place in the list: the order's column texts and its key.
struct Place {
    QStringList texts;
    qint64 key = 0;
};

bool Before(const LiveOrder& order, const Place& a, const Place& b) {
    for (size_t i = 0; i < order.columns.size(); ++i) {
        const int c = QString::compare(a.texts[qsizetype(i)], b.texts[qsizetype(i)], Qt::CaseSensitive);
        if (c != 0) return order.columns[i].descending ? c > 0 : c < 0;
    }
    return order.keyDescending ? a.key > b.key : a.key < b.key;
}

Place PlaceOfRow(const SpreadGrid& grid, const LiveOrder& order, int row) {
    Place p;
    for (const auto& column : order.columns)
        p.texts << grid.GetText(column.col, row);
    p.key = RowKeyOf(grid.spreadModel()->tag(row - 1));
    return p;
}

Place PlaceOfFresh(const FreshRow& fresh, const LiveOrder& order) {
    Place p;
    for (const auto& column : order.columns)
        p.texts << fresh.cell(column.col);
    p.key = RowKeyOf(fresh.tag);
    return p;
}

int RowOfKey(const SpreadGrid& grid, qint64 key) {
    for (int r = 1; r <= grid.MaxRows(); ++r)
        if (RowKeyOf(grid.spreadModel()->tag(r - 1)) == key) return r;
    return 0;
}
} // namespace

void PatchListRows(SpreadGrid& grid, const QSet<qint64>& changed, std::vector<FreshRow> fresh,
                   const LiveOrder& order) {
    SpreadModel& model = *grid.spreadModel();
    // Where the changed orders stand in the list now (tags are read without building rows).
    std::map<qint64, int> listed;
    for (int r = 1; r <= grid.MaxRows(); ++r) {
        const qint64 key = RowKeyOf(model.tag(r - 1));
        if (changed.contains(key)) listed[key] = r;
    }
    const int activeRow = grid.ActiveRow();
    const qint64 activeKey = activeRow >= 1 ? RowKeyOf(model.tag(activeRow - 1)) : 0;
    bool activeMoved = false;

    // Those that left the list (another status, another day, another search) go, bottom up.
    QSet<qint64> belonging;
    for (const FreshRow& row : fresh)
        belonging.insert(RowKeyOf(row.tag));
    std::vector<int> gone;
    for (const auto& [key, row] : listed)
        if (!belonging.contains(key)) gone.push_back(row);
    std::sort(gone.rbegin(), gone.rend());
    for (int row : gone)
        grid.RemoveRow(row);

    for (FreshRow& row : fresh) {
        const Place place = PlaceOfFresh(row, order);
        const int at = listed.count(place.key) ? RowOfKey(grid, place.key) : 0;
        const QString tag = row.tag;
        // Written over when it keeps its place among its neighbours.
        if (at > 0 && (at == 1 || Before(order, PlaceOfRow(grid, order, at - 1), place)) &&
            (at == grid.MaxRows() || Before(order, place, PlaceOfRow(grid, order, at + 1)))) {
            grid.ReplaceJoinedRow(at, std::move(row.cells), std::move(row.ends), tag, row.colour);
        } else {
            if (at > 0) {
                grid.RemoveRow(at);
                activeMoved = activeMoved || place.key == activeKey;
            }
            // The first row it comes before.
            int low = 1, high = grid.MaxRows() + 1;
            while (low < high) {
                const int mid = (low + high) / 2;
                if (Before(order, place, PlaceOfRow(grid, order, mid)))
                    high = mid;
                else
                    low = mid + 1;
            }
            grid.InsertJoinedRow(low, std::move(row.cells), std::move(row.ends), tag, row.colour);
        }
        grid.FlashRow(tag);
    }
    // The agent's row stays under the cursor when it moved in the list.
    if (activeMoved)
        if (const int r = RowOfKey(grid, activeKey)) grid.SetActiveCell(qMax(1, grid.ActiveCol()), r);
}

void RefillKeepingPlace(SpreadGrid& grid, const std::function<void()>& fill) {
    const int activeRow = grid.ActiveRow();
    const int activeCol = qMax(1, grid.ActiveCol());
    const qint64 activeKey = activeRow >= 1 ? RowKeyOf(grid.spreadModel()->tag(activeRow - 1)) : 0;
    const int scrolled = grid.verticalScrollBar()->value();
    const bool updates = grid.updatesEnabled();
    grid.setUpdatesEnabled(false);
    grid.ReDraw(false);
    grid.setMaxRows(0);
    fill();
    grid.ReDraw(true);
    if (activeKey)
        if (const int r = RowOfKey(grid, activeKey)) grid.SetActiveCell(activeCol, r);
    grid.verticalScrollBar()->setValue(scrolled);
    grid.setUpdatesEnabled(updates);
}

SharedRecordset ReadChangedRows(const QString& statement, const ColumnRequest& columns) {
    if (!StoreConnection) return {};
    try {
        return SharedRecordset(StoreConnection->query(statement, columns));
    } catch (const StoreFailure&) {
    } catch (const dstore::Error&) {
    }
    return {};
}

void FollowStoreFeed(QObject* list, std::function<void(const QSet<qint64>&)> patch, std::function<void()> reload) {
    StoreFeed& feed = StoreFeed::instance();
    feed.listen(list);
    QObject::connect(&feed, &StoreFeed::ordersChanged, list, std::move(patch));
    QObject::connect(&feed, &StoreFeed::everythingChanged, list, std::move(reload));
}
