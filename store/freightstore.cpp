// Opening a store file and answering statements the way the SQL Server store would.
#include "storeinternal.h"
#include "storetexts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <chrono>

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
        return {DB_E_TIMEOUT,
                QStringLiteral("다른 자리에서 저장소에 쓰는 중이라 기다리는 시간이 지났습니다. 잠시 후 다시 해 "
                               "주십시오. (") + message + QLatin1Char(')')};
    // The store answered and refused: reconnecting would change nothing, and the connection
    // did not break. The agent reads what is wrong with the store instead.
    case SQLITE_READONLY:
        return {DB_E_STOREREFUSED, QStringLiteral("읽기 전용 저장소입니다: ") + message};
    case SQLITE_FULL:
        return {DB_E_STOREREFUSED, QStringLiteral("디스크가 가득 찼습니다: ") + message};
    case SQLITE_IOERR:
        return {DB_E_STOREREFUSED, QStringLiteral("저장소 파일을 읽거나 쓰지 못했습니다: ") + message};
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return {DB_E_STOREREFUSED, QStringLiteral("저장소 파일이 손상되었습니다: ") + message};
    case SQLITE_PERM:
        return {DB_E_STOREREFUSED, QStringLiteral("저장소 파일에 접근할 권한이 없습니다: ") + message};
    case SQLITE_NOMEM:
        return {DB_E_STOREREFUSED, QStringLiteral("메모리가 부족합니다: ") + message};
    case SQLITE_INTERRUPT:   // only the statement time limit interrupts (see FreightStore::query)
        return {DB_E_TIMEOUT, QStringLiteral("처리 시간이 너무 길어 중단했습니다. (") + message + QLatin1Char(')')};
    case SQLITE_CANTOPEN:
    case SQLITE_PROTOCOL:
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

std::shared_ptr<ResultSet> collect(sqlite3* db, sqlite3_stmt* stmt, const std::vector<QByteArray>& columns) {
    auto rows = std::make_shared<ResultSet>();
    const int count = sqlite3_column_count(stmt);
    std::vector<QByteArray> names;
    names.reserve(size_t(count));
    for (int c = 0; c < count; ++c)
        names.emplace_back(sqlite3_column_name(stmt, c));
    const ColumnPick pick(names, columns);
    pick.prepare(*rows);
    const std::vector<int>& sources = pick.sources();
    for (;;) {
        const int rc = sqlite3_step(stmt);
        if (rc == SQLITE_DONE) break;
        if (rc != SQLITE_ROW) fail(db, rc);
        for (const int c : sources) {
            // Text first, then its length: the documented order for a stable pointer. Only NULL
            // reads as no text at all (an empty text is ""); running out of memory is an error.
            const char* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, c));
            if (!text) {
                if (sqlite3_errcode(db) == SQLITE_NOMEM) fail(db, SQLITE_NOMEM);
                rows->appendNull();
                continue;
            }
            rows->appendCell(QByteArrayView(text, sqlite3_column_bytes(stmt, c)));
        }
    }
    return rows;
}

} // namespace detail

using namespace detail;

// Who writes through a connection and how, for the history (see registerSession).
struct StoreSession : detail::Session {};

namespace {

constexpr int kBusyTimeoutMs = 3000;

// Pragmas that only report: a statement may read them, never set them. The first ones take a
// table or index name (or a row limit) as their argument; the others set a value when given one.
bool reportingPragma(const char* name, const char* argument) {
    static const char* const named[] = {"table_info",  "table_xinfo",      "index_list",      "index_info",
                                        "index_xinfo", "foreign_key_list", "integrity_check", "quick_check"};
    static const char* const values[] = {"journal_mode", "user_version", "schema_version",
                                         "page_count",   "page_size",    "freelist_count",
                                         "encoding",     "data_version", "busy_timeout"};
    for (const char* n : named)
        if (sqlite3_stricmp(name, n) == 0) return true;
    for (const char* n : values)
        if (sqlite3_stricmp(name, n) == 0) return argument == nullptr;
    return false;
}

// What a statement sent over the statement channel may do: read, and change rows of the
// business tables. Building or changing the schema, the procedure catalogue, the engine's own
// tables, other files and the engine's settings belongs to "delmora-store init" alone.
// Statements the store runs itself (procedure bodies, set-up) are not client statements.
int guard(void* clientStatement, int action, const char* a, const char* b, const char*, const char* trigger) {
    if (!*static_cast<bool*>(clientStatement) || storesOwnWork()) return SQLITE_OK;
    // The password hashes are the sign-in's alone; a client statement reaches them only through
    // the store's own triggers (a broker deleted, a password reset).
    const bool passwords = (action == SQLITE_READ || action == SQLITE_INSERT || action == SQLITE_UPDATE ||
                            action == SQLITE_DELETE) && a && sqlite3_stricmp(a, kPasswordTable) == 0;
    if (passwords && !trigger) return SQLITE_DENY;
    switch (action) {
    case SQLITE_SELECT:
    case SQLITE_READ:
    case SQLITE_RECURSIVE:
        return SQLITE_OK;
    case SQLITE_FUNCTION:   // b: the function's name
        return b && (sqlite3_stricmp(b, "fts3_tokenizer") == 0 || sqlite3_stricmp(b, "load_extension") == 0)
                   ? SQLITE_DENY
                   : SQLITE_OK;
    case SQLITE_INSERT:
    case SQLITE_UPDATE:
    case SQLITE_DELETE:
        if (!a || sqlite3_stricmp(a, kProcedureTable) == 0 || sqlite3_strnicmp(a, "sqlite_", 7) == 0)
            return SQLITE_DENY;
        // The history is the store's own record: its triggers write it, nobody changes it.
        if (!trigger && sqlite3_stricmp(a, kHistoryTable) == 0) return SQLITE_DENY;
        return SQLITE_OK;
    case SQLITE_PRAGMA:
        return (a && reportingPragma(a, b)) ? SQLITE_OK : SQLITE_DENY;
    default: // create, drop, alter, attach, detach, transactions, analyze, reindex, virtual tables
        return SQLITE_DENY;
    }
}

// The statement kinds the client sends. Checked on the first word as well as by the guard,
// because some statements (vacuum) never ask the guard.
bool clientStatementKind(QByteArrayView s, QByteArray* word) {
    qsizetype p = 0;
    for (;;) {
        while (p < s.size() && (s[p] == ' ' || s[p] == '\t' || s[p] == '\r' || s[p] == '\n' || s[p] == '\f'))
            ++p;
        if (s.sliced(p).startsWith("--")) {
            while (p < s.size() && s[p] != '\n')
                ++p;
        } else if (s.sliced(p).startsWith("/*")) {
            const qsizetype end = s.indexOf("*/", p + 2);
            p = end < 0 ? s.size() : end + 2;
        } else {
            break;
        }
    }
    qsizetype e = p;
    while (e < s.size() && ((s[e] >= 'a' && s[e] <= 'z') || (s[e] >= 'A' && s[e] <= 'Z')))
        ++e;
    *word = s.sliced(p, std::min<qsizetype>(e - p, 20)).toByteArray().toLower();
    for (const char* allowed : {"select", "with", "values", "insert", "update", "delete", "pragma"})
        if (*word == allowed) return true;
    return false;
}

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
        Error e{E_FAIL_NUMBER, QStringLiteral("저장소 파일 %1을(를) 열 수 없습니다: %2")
                                   .arg(path, QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc)))};
        sqlite3_close(db);
        throw e;
    }
    sqlite3_extended_result_codes(db, 0);
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    registerFunctions(db);
    keepLogOnClose(db);
    return db;
}

void configure(sqlite3* db, const QString& path) {
    try {
        run(db, "pragma journal_mode = wal");
        run(db, "pragma synchronous = normal");
    } catch (const Error& e) {
        throw Error{E_FAIL_NUMBER, QStringLiteral("저장소 파일 %1을(를) 쓸 수 없습니다: %2").arg(path, e.message)};
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

// A store made by an older version lacks the period index, the row versions and the procedures
// that check them; the first program to open the store adds them in one transaction, without
// changing a business value. A store that cannot be written to now (read-only, another program
// writing) works on as it is until a later opening.
void upgradeOlderStore(sqlite3* db) {
    try {
        {
            Statement probe(db, "select 1 from 저장소정보 where 키 = 'schema' and cast(값 as integer) >= " +
                                    QByteArray::number(kSchemaVersion) +
                                    " and exists (select 1 from sqlite_master where type = 'index' and name = "
                                    "'화물오더_기간순') and exists (select 1 from sqlite_master where type = 'table' "
                                    "and name = '주선사암호')");
            if (sqlite3_step(probe.get()) == SQLITE_ROW) return;
        }
        run(db, "begin immediate");
        try {
            upgradeSchema(db);
            run(db, "commit");
        } catch (const Error&) {
            sqlite3_exec(db, "rollback", nullptr, nullptr, nullptr);
        }
    } catch (const Error&) {
    }
}

// The store holds the office's customers, money and password hashes: the file and its journals
// are for their owner only. SQLite gives a journal the main file's mode, and an older store or
// one copied in with others' read rights is tightened when opened.
void keepPrivate(const QString& path) {
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
        const QString file = path + QLatin1String(suffix);
        if (QFileInfo(file).isFile()) QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
}

} // namespace

std::unique_ptr<FreightStore> FreightStore::open(const QString& path) {
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        throw Error{E_FAIL_NUMBER, QStringLiteral("저장소 파일 %1이(가) 없습니다.").arg(path)};
    if (!info.isFile()) throw Error{E_FAIL_NUMBER, QStringLiteral("%1은(는) 저장소 파일이 아닙니다.").arg(path)};
    keepPrivate(path);
    sqlite3* db = openHandle(path, SQLITE_OPEN_READWRITE);
    std::unique_ptr<FreightStore> store(new FreightStore(db, path));
    // A file of another kind (or another program's database) is refused at once, before
    // anything is written to it, rather than on the first screen that reads it.
    try {
        Statement probe(db, "select 값 from 저장소정보 where 키 = 'schema'");
    } catch (const Error& e) {
        // Another program holding the store past the busy time-out is no reason to call it foreign.
        if (e.number == DB_E_TIMEOUT)
            throw Error{E_FAIL_NUMBER,
                        QStringLiteral("저장소가 사용 중입니다 (%1): %2").arg(path, e.message)};
        throw Error{E_FAIL_NUMBER, QStringLiteral("%1 is not a freight store: %2").arg(path, e.message)};
    }
    configure(db, path);
    upgradeOlderStore(db);
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
        keepPrivate(path);
        configure(db, path);
        run(db, "begin immediate");
        createSchema(db);
        run(db, "commit");
        keepPrivate(path);
    } catch (const Error& e) {
        store.reset();
        for (const char* suffix : {"", "-wal", "-shm", "-journal"}) QFile::remove(path + QLatin1String(suffix));
        throw Error{E_FAIL_NUMBER, QStringLiteral("Cannot create the store %1: %2").arg(path, e.message)};
    }
    return store;
}

// A statement that runs away (a recursion without end, a join of joins) would hold the client
// for ever; like a server's command time-out, the store stops it and answers with an error.
static int stopRunaway(void* deadline) {
    const auto& d = *static_cast<std::chrono::steady_clock::time_point*>(deadline);
    return d != std::chrono::steady_clock::time_point{} && std::chrono::steady_clock::now() > d;
}

FreightStore::FreightStore(sqlite3* db, QString path) : m_db(db), m_path(std::move(path)) { watch(); }

void FreightStore::watch() {
    if (!m_session) m_session = std::make_unique<StoreSession>();
    registerSession(m_db, m_session.get());
    sqlite3_set_authorizer(m_db, guard, &m_clientStatement);
    sqlite3_progress_handler(m_db, 10000, stopRunaway, &m_deadline);
}

void FreightStore::setStatementLimit(std::chrono::milliseconds limit) { m_limit = limit; }

FreightStore::~FreightStore() {
    sqlite3_close_v2(m_db);
}

void FreightStore::reopenWhenLogReplaced() {
    if (!m_db)
        throw Error{E_FAIL_NUMBER,
                    QStringLiteral("저장소 파일 %1을(를) 다시 열지 못했습니다.").arg(m_path)};
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
    watch();
}

std::shared_ptr<const ResultSet> FreightStore::query(QByteArrayView statement) {
    return query(statement, {});
}

std::shared_ptr<const ResultSet> FreightStore::query(QByteArrayView statement,
                                                     const std::vector<QByteArray>& columns) {
    if (statement.contains('\0')) commandError(NulRefusal());
    if (blankOrEmpty(statement)) commandError(QStringLiteral("The statement is empty."));
    reopenWhenLogReplaced();
    struct Deadline {
        std::chrono::steady_clock::time_point& at;
        ~Deadline() { at = {}; }
    } deadline{m_deadline = std::chrono::steady_clock::now() + m_limit};
    if (isExecStatement(statement)) {
        const ExecCall call = parseExec(statement);
        // The history names the procedure each change came through.
        struct How {
            QByteArray& how;
            ~How() { how.clear(); }
        } how{m_session->how = call.procedure};
        const auto rows = runProcedure(m_db, call);
        return columns.empty() ? rows : keepColumns(*rows, columns);
    }
    const QByteArray renamed = renameServerFunctions(statement);
    if (!renamed.isEmpty()) statement = renamed;
    // Everything prepared from here on is the client's text (see guard()).
    struct ClientMode {
        bool& flag;
        explicit ClientMode(bool& f) : flag(f) { flag = true; }
        ~ClientMode() { flag = false; }
    } clientMode(m_clientStatement);

    const char* tail = nullptr;
    sqlite3_stmt* raw = nullptr;
    int rc = sqlite3_prepare_v2(m_db, statement.data(), int(statement.size()), &raw, &tail);
    if ((rc & 0xff) == SQLITE_AUTH)
        commandError(
            QStringLiteral("The statement is refused: only the store's own set-up may change its schema, "
                           "its procedures or its settings (%1).")
                .arg(QString::fromUtf8(sqlite3_errmsg(m_db))));
    if (rc != SQLITE_OK) fail(m_db, rc);
    struct Owner { sqlite3_stmt* s; ~Owner() { sqlite3_finalize(s); } } owner{raw};
    if (!raw) commandError(QStringLiteral("The statement is empty."));
    // Text SQLite could parse but the client never sends (vacuum, explain) is refused as well.
    QByteArray kind;
    if (!clientStatementKind(statement, &kind))
        commandError(
            QStringLiteral("The store takes select, insert, update, delete and exec statements only; "
                           "a statement beginning with '%1' is refused.")
                .arg(QString::fromUtf8(kind)));

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
    return collect(m_db, raw, columns);
}

std::vector<qint64> FreightStore::ordersChangedSince(qint64& version, int limit, bool* more) {
    *more = false;
    std::vector<qint64> ids;
    reopenWhenLogReplaced();
    qint64 dataVersion = 0;
    {
        detail::Statement pragma(m_db, "pragma data_version");
        if (sqlite3_step(pragma.get()) == SQLITE_ROW) dataVersion = sqlite3_column_int64(pragma.get(), 0);
    }
    // The data version moves only with another connection's commit; this connection's own
    // writes are the caller's to show.
    if (dataVersion == m_dataVersion && version >= 0) return ids;
    m_dataVersion = dataVersion;
    auto highestVersion = [&] {
        detail::Statement top(m_db, "select coalesce(max(버전), 0) from 화물오더");
        return sqlite3_step(top.get()) == SQLITE_ROW ? sqlite3_column_int64(top.get(), 0) : qint64(0);
    };
    if (version < 0) { // the first look only learns where the store stands
        version = highestVersion();
        return ids;
    }
    detail::Statement read(m_db, "select ID, 버전 from 화물오더 where 버전 > ?1 order by 버전 limit ?2");
    sqlite3_bind_int64(read.get(), 1, version);
    sqlite3_bind_int(read.get(), 2, limit + 1);
    qint64 highest = version;
    int rc;
    while ((rc = sqlite3_step(read.get())) == SQLITE_ROW) {
        if (int(ids.size()) == limit) {
            *more = true;
            break;
        }
        ids.push_back(sqlite3_column_int64(read.get(), 0));
        highest = std::max(highest, sqlite3_column_int64(read.get(), 1));
    }
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) detail::fail(m_db, rc);
    version = *more ? highestVersion() : highest;
    return ids;
}

void FreightStore::setSessionUser(const QString& who) {
    m_session->who = who.toUtf8();
}

void FreightStore::execute(QByteArrayView statement) {
    // sqlite3_changes keeps the count of the last writing statement, so a statement that wrote
    // nothing is told by the total not moving.
    const qint64 before = sqlite3_total_changes64(m_db);
    m_changedRows = 0;
    (void)query(statement);
    if (sqlite3_total_changes64(m_db) != before) m_changedRows = sqlite3_changes64(m_db);
}

} // namespace dstore
