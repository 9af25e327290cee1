#pragma once
// 오더추가 when the link to the store dies after the save was sent: the board finds out whether
// the store kept the order instead of leaving the agent to guess (and to store it twice).
#include "orderstatements.h"

#include <QString>
#include <functional>

class frmOrder;
class StoreTrap;

namespace OrderSave {

enum class Result {
    Saved,       // the save went through as usual
    Found,       // its outcome was unknown and the store holds the order
    NotStored,   // its outcome was unknown and the store does not hold it
    Unreachable, // its outcome is unknown and the store stayed out of reach
};
struct Outcome {
    Result result = Result::Saved;
    qint64 id = 0; // the stored order, when it was looked up
};

// The order a save of `entry` by `writer` stored at or after `since` (the store's time text),
// newest first.
QString RecentSaveStatement(const OrderSql::OrderEntry& entry, const QString& writer, const QString& since);

// Sends the save and, when its outcome is unknown, looks for the order in the store: by the
// save's request key when it has one (exactly that order), else by its writer, day, places and
// fare within the last minutes.
Outcome Send(StoreTrap& trap, const QString& saveStatement, const OrderSql::OrderEntry& entry,
             const QString& writer, const QString& requestKey = {});

// Ends the save on the board: a stored order reloads the list (`reload`, which clears the
// panel) and is selected; otherwise the panel keeps what was typed. The agent is told what is
// known.
void Finish(frmOrder& board, const Outcome& outcome, const std::function<void()>& reload);

} // namespace OrderSave
