#include "pgbackend.h"
#include <QSet>
#include <optional>
#include "pgstore.h"

namespace {

// The store's error as the trap knows it. A server store cannot tell what became of a
// statement that was sent before the link died, unless the link was found dead first.
StoreFailure failure(const dstore::ServerError& e) {
    return StoreFailure{e.number, e.message, e.mayHaveReachedStore};
}
// An exec statement the store could not even read never left the client.
StoreFailure failure(const dstore::Error& e) {
    return StoreFailure{e.number, e.message, false};
}

class PgBackend final : public StoreBackend {
public:
    explicit PgBackend(std::unique_ptr<dstore::PgStore> store) : m_store(std::move(store)) {}
    std::shared_ptr<const dstore::ResultSet> query(const QString& statement) override {
        return query(statement, ColumnRequest());
    }
    // Only the asked columns are copied out of the server's answer.
    std::shared_ptr<const dstore::ResultSet> query(const QString& statement,
                                                   const ColumnRequest& columns) override {
        try {
            return m_store->query(statement.toUtf8(), columns);
        } catch (const dstore::ServerError& e) {
            throw failure(e);
        } catch (const dstore::Error& e) {
            throw failure(e);
        }
    }
    void execute(const QString& statement) override {
        try {
            m_store->execute(statement.toUtf8());
        } catch (const dstore::ServerError& e) {
            throw failure(e);
        } catch (const dstore::Error& e) {
            throw failure(e);
        }
    }
    qint64 changedRows() const override { return m_store->changedRows(); }
    bool checksVersions() override {
        if (!m_checksVersions)
            m_checksVersions = CurrentSchema([this](const QString& s) { return m_store->query(s.toUtf8()); });
        return *m_checksVersions;
    }

    void setSessionUser(const QString& who) override {
        try {
            m_store->setSessionUser(who);
        } catch (const dstore::ServerError& e) {
            throw failure(e);
        } catch (const dstore::Error& e) {
            throw failure(e);
        }
    }

    // The store's trigger names each order written after its commit; the names wait on the link
    // until read, so a look costs no round trip.
    StoreChanges pollChanges() override {
        StoreChanges changes;
        if (!checksVersions()) return changes;
        changes.supported = true;
        try {
            if (!m_listening) {
                m_store->listen(dstore::OrderChangeChannel);
                m_listening = true;
            }
            QSet<qint64> seen;
            for (const QByteArray& payload : m_store->takeNotifications()) {
                bool ok = false;
                const qint64 id = payload.toLongLong(&ok);
                if (ok && !seen.contains(id)) {
                    seen.insert(id);
                    changes.orders.push_back(id);
                }
            }
            changes.everything = changes.orders.size() > 500;
        } catch (const dstore::ServerError& e) {
            throw failure(e);
        } catch (const dstore::Error& e) {
            throw failure(e);
        }
        return changes;
    }

private:
    std::unique_ptr<dstore::PgStore> m_store;
    std::optional<bool> m_checksVersions;
    bool m_listening = false;
};

} // namespace

std::unique_ptr<StoreBackend> OpenPgBackend(const ConnectionSettings& settings) {
    try {
        return std::make_unique<PgBackend>(
            dstore::PgStore::open(settings.server, settings.user, settings.password));
    } catch (const dstore::Error& e) {
        throw StoreFailure{E_FAIL_NUMBER, e.message, false};
    }
}
