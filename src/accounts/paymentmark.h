#pragma once
// The freight payment mark (결제일) of a settlement selection: which rows 운임지급처리 or
// 지급취소처리 writes, which it leaves alone and why, and the words of its question and result.
// Several desks work on one store, so a row is written only while it still is what the desk
// showed; everything else is named to the user rather than silently skipped or overwritten.
#include <QString>
#include <optional>

namespace PaymentMark {

enum class Action { Mark, Clear };

// An order's status and payment date, as a list row shows them or as the store holds them.
struct State {
    QString status;
    QString paid; // "" = unpaid
    bool operator==(const State&) const = default;
};

// Why a row is left alone; None: it is written.
enum class Reason { None, Cancelled, Moved, Settled };

// listed: the row as the list showed it; stored: that order in the store now (none: gone).
// Settled means already paid when marking and not paid when clearing.
Reason Judge(Action action, const State& listed, const std::optional<State>& stored);

// The rows left alone, counted by reason.
struct Tally {
    int cancelled = 0;
    int moved = 0;
    int settled = 0;
    void add(Reason reason);
    int total() const { return cancelled + moved + settled; }
};

// Asked before writing: selected rows, the rows that would be written, the rest.
QString Question(Action action, int selected, int toWrite, const Tally& left);
// Said instead of asking when no selected row would be written.
QString NothingToWrite(Action action, int selected, const Tally& left);

struct Outcome {
    int selected = 0;
    int written = 0;
    Tally left;         // as the question named them, and the writes that matched nothing
    int unknown = 0;    // sent, but whether the store applied them cannot be told
    bool reread = true; // the store answered again afterwards: the list shows what it holds
    int unsent = 0;     // never sent: the batch stopped before them
    bool stopped = false;
};
// What the batch did, for when it did not do all it asked about.
QString Result(Action action, const Outcome& outcome);

} // namespace PaymentMark
