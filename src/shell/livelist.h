#pragma once
// A list that keeps itself up to date with what other desks write: the store's change feed names
// the orders written, the list reads just those and patches them into its rows in place, in its
// own order, each with a fading tint. Every live list (the board, the inquiry, 정산관리) shares
// these routines; what differs is only how a screen reads and builds its rows, and its order.
#include "storeconnection.h"

#include <QColor>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

class QObject;
class RowSource;
class SpreadGrid;

// One row of a live list as it stands now: joined cells (see SpreadModel::appendJoinedRow), its
// key as its column-1 tag and its text colour.
struct FreshRow {
    QString cells;
    std::vector<quint32> ends;
    QString tag;
    QColor colour;
    static FreshRow FromTexts(const QStringList& texts, const QString& tag, const QColor& colour);
    // Every row of a list's row source, built now.
    static std::vector<FreshRow> AllOf(RowSource& source);
    QString cell(int col) const; // col from 1
};

// The order a live list is read in: columns (from 1) compared as texts, as the store compares
// them (code unit by code unit), then the row's key as a number.
struct LiveOrder {
    struct Column {
        int col;
        bool descending;
    };
    std::vector<Column> columns;
    bool keyDescending = false;
};

// The number a row's tag carries (leading blanks, then digits); 0 for none.
qint64 RowKeyOf(const QString& tag);

// Patches `changed` into the grid: `fresh` holds those of them the list shows now (as its
// statement with the changed keys reads them). A listed one missing from it leaves, one that
// kept its place among its neighbours is written over, any other is put where the order says.
// The current cell, the selection and the rows in view stay on the rows they were on.
void PatchListRows(SpreadGrid& grid, const QSet<qint64>& changed, std::vector<FreshRow> fresh,
                   const LiveOrder& order);

// The whole list read again with nobody asking (the link made again after it was lost): the
// rows fill() appends replace the grid's, drawn once; the agent's row stays under the cursor by
// its key and the list keeps its scroll position.
void RefillKeepingPlace(SpreadGrid& grid, const std::function<void()>& fill);

// The changed rows as a list's statement reads them, asked quietly: a list patched with nobody
// asking puts no box in front of the agent. An empty answer when the store did not answer; the
// next change or reload brings the rows.
SharedRecordset ReadChangedRows(const QString& statement, const ColumnRequest& columns);

// The list follows the store's change feed while it lives: patch(changed) for orders written
// elsewhere, reload() when everything may have changed (a lost link made again, a flood).
void FollowStoreFeed(QObject* list, std::function<void(const QSet<qint64>&)> patch,
                     std::function<void()> reload);
