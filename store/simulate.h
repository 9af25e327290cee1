#pragma once
// The office around an agent: vehicle owners taking orders, loads delivered, invoices issued
// and settled, now and then a new order from another broker. Each event is what drivers and
// the back office would do, written through the store's own statements and procedures, so a
// client on the same store file sees its board change by itself.
#include "freightstore.h"
#include <QString>
#include <memory>
#include <optional>

namespace dstore {

enum class OfficeEventKind { Dispatch, Delivery, Invoice, Settlement, NewOrder };

struct OfficeEvent {
    OfficeEventKind kind;
    qint64 orderId = 0;
    QString line; // one line for the operator's terminal
};

class PgStore;

// Where the office writes: a store file or a server store, through the same statements.
class OfficeLink {
public:
    virtual ~OfficeLink() = default;
    virtual std::shared_ptr<const ResultSet> query(const QByteArray& sql) = 0;
    virtual int execute(const QByteArray& sql) = 0; // rows changed
    // The key of the order this connection registered last (others may register at once).
    virtual qint64 lastOrderId() = 0;
};

class OfficeSimulator {
public:
    OfficeSimulator(FreightStore& store, quint32 seed);
    OfficeSimulator(PgStore& store, quint32 seed);
    // Runs one event; nullopt when nothing in the store can move (an empty store). A store
    // that stays busy past its time-out is retried a few times before the event is given up.
    std::optional<OfficeEvent> step();

private:
    quint32 next();
    int below(int n) { return n <= 0 ? 0 : int(next() % quint32(n)); }
    bool tryEvent(OfficeEventKind kind, OfficeEvent& out);
    bool dispatch(OfficeEvent& out);
    bool deliver(OfficeEvent& out);
    bool invoice(OfficeEvent& out);
    bool settle(OfficeEvent& out);
    bool newOrder(OfficeEvent& out);
    std::shared_ptr<const ResultSet> query(const QByteArray& sql);
    int execute(const QByteArray& sql); // rows changed

    std::unique_ptr<OfficeLink> m_link;
    quint64 m_state;
};

} // namespace dstore
