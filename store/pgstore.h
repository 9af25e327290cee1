#pragma once
// The freight store on a PostgreSQL server: the office's shared store. It holds the same
// tables, views and eleven procedures as the embedded store (see postgresSchema()) and answers
// the client's statements, written for SQL Server, with the same snapshots and provider errors.
// The one thing the dialects do differently, "exec NAME args", is turned into a call of the
// server-side function with every argument sent as a parameter.
#include "demotarget.h"

#include <QByteArray>
#include <QString>
#include <memory>
#include <utility>
#include <vector>

struct pg_conn;

namespace dstore {

// A server store's error also says whether the statement may have reached the server: a link
// found dead before sending leaves no doubt that nothing was done.
struct ServerError : Error {
    bool mayHaveReachedStore = true;
};

// The channel on which the store's trigger announces each order written (its ID).
inline constexpr char OrderChangeChannel[] = "화물오더변경";

// True for a "postgresql://" or "postgres://" connection address (libpq's URI forms).
bool isPostgresUri(QStringView text);

class PgStore {
public:
    // Connects to the database the libpq URI names. An empty user leaves the login to the URI,
    // ~/.pgpass and the PG* environment. Throws ServerError{E_FAIL_NUMBER, ..., false} when the
    // server cannot be reached or refuses the login.
    static std::unique_ptr<PgStore> open(const QString& uri, const QString& user = {},
                                         const QString& password = {});
    // What open() adds to an address: over a TCP host with no sslmode (in the address or
    // PGSSLMODE), sslmode=verify-full, and the system's CA store when no sslrootcert is named.
    static std::vector<std::pair<QByteArray, QByteArray>> tlsDefaults(const QString& uri);
    // And to an address naming several servers (a primary and its standbys) that does not say
    // which it wants (target_session_attrs, PGTARGETSESSIONATTRS): the one that takes writes,
    // target_session_attrs=read-write, so a desk never settles on a standby it cannot save on.
    static std::vector<std::pair<QByteArray, QByteArray>> sessionDefaults(const QString& uri);
    ~PgStore();
    PgStore(const PgStore&) = delete;
    PgStore& operator=(const PgStore&) = delete;

    // Creates the tables, views, indexes, procedures and the address directory in the connected
    // database; throws Error when it holds a freight store already.
    void createSchema();
    // Brings a store made by an older version up to date (row versions, the request key, the
    // procedures that check them) without changing a business value; a current store is left as
    // it is. Throws Error when the database holds no freight store.
    void upgradeSchema();

    // Lets the group role `role` (made NOLOGIN when missing; desks' logins are its members) read
    // the lists, make the screens' writes and run the procedures, and nothing more: no schema
    // change, no temporary table, no password hash. Run by the owner after createSchema or
    // upgradeSchema, as the tables it covers are those that exist then.
    void grantDesks(const QString& role);

    // Runs one client statement and answers its rows (no columns for a statement without rows).
    // columns, when not empty: keep only these columns, in this order, as the rows are read.
    // Throws ServerError.
    std::shared_ptr<ResultSet> query(QByteArrayView statement, const std::vector<QByteArray>& columns = {});
    void execute(QByteArrayView statement) { (void)query(statement); }
    // Rows the last statement changed (or answered), as the server counted them.
    int changedRows() const { return m_changedRows; }

    // The change feed: after listen(), every notification on the channel is kept until taken.
    // takeNotifications reads what already arrived (no round trip) and answers the payloads in
    // order; a dead link throws ServerError{E_FAIL_NUMBER}.
    void listen(const char* channel);
    // Who writes through this connection, as the store's history names it (a session setting
    // its trigger reads); empty: the login. Throws ServerError.
    void setSessionUser(const QString& who);
    std::vector<QByteArray> takeNotifications();

    // A target for the demo generator (bulk COPY, keys handed out as the rows are written).
    std::unique_ptr<DemoTarget> demoTarget();

    pg_conn* handle() const { return m_conn; } // for benchmarks and tests
    // The statement "exec NAME args" becomes, with its parameters; for tests.
    static QByteArray procedureCallText(const QByteArray& procedure, size_t arguments);

private:
    explicit PgStore(pg_conn* conn) : m_conn(conn) {}
    // The server may have closed the link since the last statement (a restart, an idle
    // time-out); a notice already waiting on the socket tells so before anything is sent.
    bool linkLost();
    pg_conn* m_conn;
    bool m_sessionEnded = false; // the server announced it is closing this session
    int m_changedRows = 0;
    bool m_listening = false;
    std::vector<QByteArray> m_notifications;
    void keepNotifications();
};

// The whole schema script for a PostgreSQL database (one text; every statement in it).
QByteArray postgresSchema();
// The script that brings an older freight store on PostgreSQL up to date; running it twice is
// the same as once.
QByteArray postgresUpgrade();

} // namespace dstore
