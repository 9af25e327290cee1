#pragma once
// HandleStoreError as a mechanism: every store-touching routine runs its statements through one
// StoreTrap, and catches LeaveRoutine at its boundary (RunRoutine does that).
//
//   E_FAIL (lost connection): ConnectStore(0); on success the failed step is repeated, except a
//       write that may already have reached the store: then the user is told its outcome is
//       unknown (and, when the store stays out of reach, that it may have been applied) and the
//       routine is left. Otherwise a failed reconnect leaves the routine silently.
//   A write that timed out in the store is an unknown outcome as well: it may have committed.
//   3713, 3704, 3705, 3265: skipped, the routine goes on (open() answers an empty snapshot).
//   anything else: the standard error box ("에러번호 : " ..., "에러내용 : " ...), routine left.
#include "storeconnection.h"
#include <functional>

struct LeaveRoutine {};

// Thrown by StoreTrap::executeOrReport for a write whose outcome is unknown: the link died (or
// the store timed out) after the statement was sent. The caller looks in the store itself.
struct WriteOutcomeUnknown {
    bool reconnected = false; // false: ConnectStore gave up, the store is out of reach
};

class StoreTrap {
public:
    SharedRecordset open(const QString& statement);
    // open, keeping only the columns the caller reads (see ColumnRequest).
    SharedRecordset open(const QString& statement, const ColumnRequest& columns);
    // Answers the rows the statement inserted, changed or deleted (-1 when the store cannot
    // tell, and for a step skipped as ignorable).
    qint64 execute(const QString& statement);
    // execute, except that a write whose outcome is unknown throws WriteOutcomeUnknown (after
    // the reconnect) instead of telling the user, so the caller can find out what the store holds.
    qint64 executeOrReport(const QString& statement);
    // Reads one column of the current row; a missing column (3265) reads "".
    QString field(const SharedRecordset& rs, const QString& name);
    // Runs any step under the three paths. write: the step changes the store.
    void step(const std::function<void()>& body, bool write = false);

private:
    bool m_reportUnknown = false;
};

// The single standard error box.
void HandleStoreError(const StoreFailure& failure);

// Runs a routine; returns false when it was left through LeaveRoutine.
template <class F> bool RunRoutine(F&& routine) {
    try {
        routine();
        return true;
    } catch (const LeaveRoutine&) {
        return false;
    }
}
