#include "storetrap.h"
#include "prompts.h"

namespace {
bool ignorable(qint64 number) {
    return number == ADO_STILL_CONNECTING || number == ADO_OBJECT_CLOSED || number == ADO_OBJECT_OPEN ||
           number == ADO_ITEM_NOT_FOUND;
}

// Only a statement that begins with select is known to leave the store as it was; a procedure
// call opened for its rows may still write.
bool isRead(const QString& statement) {
    const QString head = statement.trimmed().left(6);
    return head.compare(QLatin1String("select"), Qt::CaseInsensitive) == 0;
}

void requireConnection() {
    if (!StoreConnection)
        throw StoreFailure{E_FAIL_NUMBER, QStringLiteral("서버와 연결되어 있지 않습니다."), false};
}

// A store that keeps failing a statement with E_FAIL while reconnecting succeeds would otherwise
// be asked forever without the user seeing anything.
constexpr int MaxRepeats = 5;
} // namespace

void HandleStoreError(const StoreFailure& failure) {
    Prompt::storeError(failure.number, failure.description);
}

void StoreTrap::step(const std::function<void()>& body, bool write) {
    for (int repeats = 0;; ++repeats) {
        StoreFailure failure;
        try {
            body();
            return;
        } catch (const StoreFailure& f) {
            failure = f;
        } catch (const dstore::Error& e) {
            failure = StoreFailure{e.number, e.message, true};
        }

        // A write the store timed out on may have committed all the same (the server goes on
        // with it after the client stops waiting); repeating or retrying it could do it twice.
        const bool timedOut = failure.number == dstore::DB_E_TIMEOUT && write && failure.mayHaveReachedStore;
        if (failure.number == E_FAIL_NUMBER || timedOut) {
            if (repeats >= MaxRepeats) {
                HandleStoreError(failure);
                throw LeaveRoutine{};
            }
            const bool unknown = write && failure.mayHaveReachedStore;
            int attempts = 0;
            const bool back = (timedOut && StoreConnection) || ConnectStore(attempts);
            if (unknown) {
                // The write may be committed already; repeating it could register an order or a
                // payment twice. The screen's next reload shows what the store holds.
                if (m_reportUnknown) throw WriteOutcomeUnknown{back};
                HandleStoreError(
                    StoreFailure{E_FAIL_NUMBER, back ? OutcomeUnknownText : OutcomeUnknownOfflineText, true});
                throw LeaveRoutine{};
            }
            if (!back) throw LeaveRoutine{};
            continue;
        }
        if (ignorable(failure.number)) return;
        // The store refused a write stated against the record as this desk showed it: no
        // fault, the record moved. Said in the store's words, not as an error number.
        if (failure.description.contains(QString::fromUtf8(dstore::RecordMovedText))) {
            Prompt::refusal(failure.description);
            throw LeaveRoutine{};
        }
        HandleStoreError(failure);
        throw LeaveRoutine{};
    }
}

SharedRecordset StoreTrap::open(const QString& statement) {
    return open(statement, {});
}

SharedRecordset StoreTrap::open(const QString& statement, const ColumnRequest& columns) {
    SharedRecordset result;
    step(
        [&] {
            SqlText = statement;
            requireConnection();
            result = SharedRecordset(StoreConnection->query(statement, columns));
        },
        !isRead(statement));
    return result;
}

qint64 StoreTrap::execute(const QString& statement) {
    qint64 changed = -1;
    step(
        [&] {
            SqlText = statement;
            requireConnection();
            StoreConnection->execute(statement);
            changed = StoreConnection->changedRows();
        },
        !isRead(statement));
    return changed;
}

qint64 StoreTrap::executeOrReport(const QString& statement) {
    m_reportUnknown = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{m_reportUnknown};
    return execute(statement);
}

QString StoreTrap::field(const SharedRecordset& rs, const QString& name) {
    QString value;
    step([&] { value = rs.field(name); });
    return value;
}
