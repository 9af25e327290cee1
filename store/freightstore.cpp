// Opening a store file and answering statements the way the SQL Server store would.
#include "storeinternal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace dstore {

namespace detail {

Error errorFor(sqlite3* db, int code, const QString& what) {
    QString message = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(code));
    // SQLite quotes the offending token whole; a pasted megabyte must not become the message.
    if (message.size() > 300) message = message.left(300) + QStringLiteral("...");
    if (!what.isEmpty()) message = what + QStringLiteral(": ") + message;
    switch (code & 0xff) {
    case SQLITE_CONSTRAINT:
        return {DB_E_INTEGRITYVIOLATION, message};
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return {DB_E_TIMEOUT, QStringLiteral("The store stayed busy past the time-out (another client is writing): ") +
                                  message};
    case SQLITE_CANTOPEN:
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
    case SQLITE_IOERR:
    case SQLITE_FULL:
    case SQLITE_NOMEM:
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_PROTOCOL:
    case SQLITE_INTERRUPT:
    case SQLITE_MISUSE:
        return {E_FAIL_NUMBER, message};
    default:
        return {DB_E_ERRORSINCOMMAND, message};
    }
}

void fail(sqlite3* db, int code, const QString& what) { throw errorFor(db, code, what); }

void run(sqlite3* db, const char* sql) {
    char* message = nullptr;
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, &message);
    sqlite3_free(message);
    if (rc != SQLITE_OK) fail(db, rc);
}

Statement::Statement(sqlite3* db, QByteArrayView sql) {
    const int rc = sqlite3_prepare_v2(db, sql.data(), int(sql.size()), &m_stmt, nullptr);
    if (rc != SQLITE_OK) fail(db, rc);
}

std::shared_ptr<ResultSet> collect(sqlite3* db, sqlite3_stmt* stmt) {
    auto rows = std::make_shared<ResultSet>();
    const int columns = sqlite3_column_count(stmt);
    std::vector<QByteArray> names;
    names.reserve(size_t(columns));
    for (int c = 0; c < columns; ++c) names.emplace_back(sqlite3_column_name(stmt, c));
    rows->setColumns(std::move(names));
    for (;;) {
        const int rc = sqlite3_step(stmt);
        if (rc == SQLITE_DONE) break;
        if (rc != SQLITE_ROW) fail(db, rc);
        for (int c = 0; c < columns; ++c) {
            if (sqlite3_column_type(stmt, c) == SQLITE_NULL) {
                rows->appendNull();
                continue;
            }
            // Text first, then its length: the documented order for a stable pointer.
            const char* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, c));
            rows->appendCell(QByteArrayView(text, sqlite3_column_bytes(stmt, c)));
        }
    }
    return rows;
}

} // namespace detail

using namespace detail;

namespace {

constexpr int kBusyTimeoutMs = 3000;

// Client statements may not reach outside the store file nor rewrite the procedure
// catalogue; the store's own set-up runs with the guard lowered.
int guard(void* lowered, int action, const char* a, const char*, const char*, const char*) {
    if (*static_cast<bool*>(lowered)) return SQLITE_OK;
    switch (action) {
    case SQLITE_ATTACH:
    case SQLITE_DETACH:
        return SQLITE_DENY;
    case SQLITE_INSERT:
    case SQLITE_UPDATE:
    case SQLITE_DELETE:
    case SQLITE_DROP_TABLE:
    case SQLITE_ALTER_TABLE:
        return (a && qstrcmp(a, kProcedureTable) == 0) ? SQLITE_DENY : SQLITE_OK;
    default:
        return SQLITE_OK;
    }
}

bool g_guardLowered = false; // only the creating thread lowers it, around schema set-up

// POSIX locks belong to the process, not to the descriptor: when anything in the process closes
// any descriptor of the store file (a file dialog sniffing the folder, an icon provider), every
// lock SQLite holds on it is gone, and another program closing the store believes it is the last
// one and deletes the log this connection still writes into. Our own programs therefore never
// delete the log when they close; the log check before each statement covers a foreign one.
void keepLogOnClose(sqlite3* db) {
    int persist = 1;
    sqlite3_file_control(db, "main", SQLITE_FCNTL_PERSIST_WAL, &persist);
}

sqlite3* openHandle(const QString& path, int flags) {
    sqlite3* db = nullptr;
    const QByteArray file = QFile::encodeName(path);
    const int rc = sqlite3_open_v2(file.constData(), &db, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        Error e{E_FAIL_NUMBER, QStringLiteral("Cannot open the store file %1: %2")
                                   .arg(path, QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc)))};
        sqlite3_close(db);
        throw e;
    }
    sqlite3_extended_result_codes(db, 0);
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    sqlite3_set_authorizer(db, guard, &g_guardLowered);
    registerFunctions(db);
    keepLogOnClose(db);
    return db;
}

void configure(sqlite3* db, const QString& path) {
    try {
        run(db, "pragma journal_mode = wal");
        run(db, "pragma synchronous = normal");
    } catch (const Error& e) {
        throw Error{E_FAIL_NUMBER, QStringLiteral("Cannot use the store file %1: %2").arg(path, e.message)};
    }
}

bool blankOrEmpty(QByteArrayView s) {
    for (char c : s)
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n' && c != ';') return false;
    return true;
}

[[noreturn]] void commandError(const QString& message) {
    throw Error{DB_E_ERRORSINCOMMAND, message};
}

// True when the log this connection has open is no longer the one other programs find at its
// path: deleted (and perhaps created anew) by a program that thought it closed the store last.
// A write into the old one would be acknowledged here and never seen anywhere else.
bool logReplaced(sqlite3* db, const QString& path) {
    sqlite3_file* log = nullptr;
    if (sqlite3_file_control(db, "main", SQLITE_FCNTL_JOURNAL_POINTER, &log) != SQLITE_OK || !log ||
        !log->pMethods)
        return false; // no log open yet: the next read opens the current one
    int moved = 0;
    if (log->pMethods->xFileControl(log, SQLITE_FCNTL_HAS_MOVED, &moved) == SQLITE_OK && moved) return true;
    // The shared index goes with the log; without it a new index would be built beside ours.
    return !QFileInfo::exists(path + QStringLiteral("-shm"));
}

} // namespace

std::unique_ptr<FreightStore> FreightStore::open(const QString& path) {
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        throw Error{E_FAIL_NUMBER, QStringLiteral("The store file %1 does not exist.").arg(path)};
    if (!info.isFile()) throw Error{E_FAIL_NUMBER, QStringLiteral("%1 is not a store file.").arg(path)};
    sqlite3* db = openHandle(path, SQLITE_OPEN_READWRITE);
    std::unique_ptr<FreightStore> store(new FreightStore(db, path));
    // A file of another kind (or another program's database) is refused at once, before
    // anything is written to it, rather than on the first screen that reads it.
    try {
        Statement probe(db, "select 값 from 저장소정보 where 키 = 'schema'");
    } catch (const Error& e) {
        throw Error{E_FAIL_NUMBER, QStringLiteral("%1 is not a freight store: %2").arg(path, e.message)};
    }
    configure(db, path);
    return store;
}

std::unique_ptr<FreightStore> FreightStore::create(const QString& path) {
    if (path.isEmpty()) throw Error{E_FAIL_NUMBER, QStringLiteral("No store file was named.")};
    if (QFileInfo::exists(path))
        throw Error{
            E_FAIL_NUMBER,
            QStringLiteral("The file %1 exists already; a new store is never written over it.").arg(path)};
    sqlite3* db = openHandle(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    std::unique_ptr<FreightStore> store(new FreightStore(db, path));
    try {
        configure(db, path);
        g_guardLowered = true;
        run(db, "begin immediate");
        createSchema(db);
        run(db, "commit");
        g_guardLowered = false;
    } catch (const Error& e) {
        g_guardLowered = false;
        store.reset();
        for (const char* suffix : {"", "-wal", "-shm", "-journal"}) QFile::remove(path + QLatin1String(suffix));
        throw Error{E_FAIL_NUMBER, QStringLiteral("Cannot create the store %1: %2").arg(path, e.message)};
    }
    return store;
}

FreightStore::~FreightStore() {
    sqlite3_close_v2(m_db);
}

void FreightStore::reopenWhenLogReplaced() {
    if (!m_db)
        throw Error{E_FAIL_NUMBER,
                    QStringLiteral("The store file %1 could not be opened again.").arg(m_path)};
    // Never inside a transaction: its changes live in the connection and would be dropped.
    if (!sqlite3_get_autocommit(m_db) || !logReplaced(m_db, m_path)) return;
    // The old connection goes first, so the fresh one takes its locks anew (the process's lock
    // bookkeeping is shared by all its connections to the file) and writes into the log at the
    // path. If the file cannot be opened now, the store is out of reach: a lost connection.
    sqlite3_close_v2(m_db);
    m_db = nullptr;
    sqlite3* fresh = openHandle(m_path, SQLITE_OPEN_READWRITE);
    try {
        configure(fresh, m_path);
    } catch (const Error&) {
        sqlite3_close_v2(fresh);
        throw;
    }
    m_db = fresh;
}

std::shared_ptr<const ResultSet> FreightStore::query(QByteArrayView statement) {
    if (statement.contains('\0')) commandError(QStringLiteral("The statement contains a NUL character."));
    if (blankOrEmpty(statement)) commandError(QStringLiteral("The statement is empty."));
    reopenWhenLogReplaced();
    if (isExecStatement(statement)) return runProcedure(m_db, parseExec(statement));
    const QByteArray renamed = renameServerFunctions(statement);
    if (!renamed.isEmpty()) statement = renamed;

    const char* tail = nullptr;
    sqlite3_stmt* raw = nullptr;
    int rc = sqlite3_prepare_v2(m_db, statement.data(), int(statement.size()), &raw, &tail);
    if (rc != SQLITE_OK) fail(m_db, rc);
    struct Owner { sqlite3_stmt* s; ~Owner() { sqlite3_finalize(s); } } owner{raw};
    if (!raw) commandError(QStringLiteral("The statement is empty."));

    // One statement per call: whatever follows the first statement must be blanks or
    // comments, so text typed into a literal can never smuggle in a second statement.
    const char* end = statement.data() + statement.size();
    while (tail && tail < end) {
        sqlite3_stmt* next = nullptr;
        const char* after = nullptr;
        rc = sqlite3_prepare_v2(m_db, tail, int(end - tail), &next, &after);
        sqlite3_finalize(next);
        if (rc != SQLITE_OK || next)
            commandError(QStringLiteral("Only one statement can be run at a time; text follows the first one: '%1'")
                             .arg(QString::fromUtf8(QByteArrayView(tail, std::min<qsizetype>(40, end - tail)))));
        if (after == tail) break;
        tail = after;
    }
    return collect(m_db, raw);
}

void FreightStore::execute(QByteArrayView statement) { (void)query(statement); }

} // namespace dstore
