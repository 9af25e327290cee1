#pragma once
// Pieces shared inside the store room: error translation, plain SQL runs, the schema and the
// procedure catalogue. Nothing here is part of the store's contract.
#include "freightstore.h"
#include <sqlite3.h>

namespace dstore::detail {

// SQLite's answer as the provider error an ADO caller expects (see the numbers in the
// contract). `what` prefixes the engine's message when it helps the reader.
Error errorFor(sqlite3* db, int code, const QString& what = {});
[[noreturn]] void fail(sqlite3* db, int code, const QString& what = {});

// Runs trusted SQL of the store's own (schema, transactions); throws Error.
void run(sqlite3* db, const char* sql);

// Owns one prepared statement.
class Statement {
public:
    Statement() = default;
    Statement(sqlite3* db, QByteArrayView sql);   // throws Error
    ~Statement() { sqlite3_finalize(m_stmt); }
    Statement(Statement&& o) noexcept : m_stmt(o.m_stmt) { o.m_stmt = nullptr; }
    Statement& operator=(Statement&& o) noexcept { std::swap(m_stmt, o.m_stmt); return *this; }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    sqlite3_stmt* get() const { return m_stmt; }
    explicit operator bool() const { return m_stmt != nullptr; }
private:
    sqlite3_stmt* m_stmt = nullptr;
};

// Steps a prepared statement to the end and collects its rows; throws Error. With a non-empty
// request only those columns are read out of the engine.
std::shared_ptr<ResultSet> collect(sqlite3* db, sqlite3_stmt* stmt, const std::vector<QByteArray>& columns = {});

// The whole schema: tables, views, triggers, indexes and the procedure catalogue.
void createSchema(sqlite3* db);
// Brings an older store's schema up to date (indexes, row versions, the procedure catalogue)
// without changing a business value; throws Error.
void upgradeSchema(sqlite3* db);
// The administrative address directory (real provinces, districts and towns).
void fillAddressDirectory(sqlite3* db);
// SQL Server functions the client's statements may use (isnull, getdate, len, ...), and the
// history's ds_who() and ds_how() (a connection without a session: this machine's login and
// "문장").
void registerFunctions(sqlite3* db);
// The connection's session, read by ds_who() and ds_how() while it lives.
struct Session {
    QByteArray who; // the signed-in broker
    QByteArray how; // the procedure running, empty for a plain statement
};
void registerSession(sqlite3* db, const Session* session);
// The statement with SQL Server calls that SQLite cannot parse (isnull(, left(, right()
// renamed to the store's functions; empty when nothing needed renaming.
QByteArray renameServerFunctions(QByteArrayView sql);
// Runs a parsed exec call against the procedure catalogue kept in the store.
std::shared_ptr<ResultSet> runProcedure(sqlite3* db, const ExecCall& call);

// A procedure as the catalogue keeps it: its body refers to its arguments as ?1..?N.
struct ProcedureDefinition {
    QByteArray name;
    int argumentCount;
    QByteArray body;   // one or more statements separated by ";"
    // Trailing arguments a caller may leave out (they read as NULL): what the desk saw of the
    // record, or a request key. A SQL Server store's procedures do not take them.
    int optionalArguments = 0;
};
std::vector<ProcedureDefinition> procedureDefinitions();
// 오더저장's arguments (from 1) and the 화물오더 column each one fills, in argument order; a
// server store's procedures are written from the same table.
std::vector<std::pair<int, const char*>> orderArgumentColumns();

// The shape of the store this build makes (저장소정보 'schema'); a store below it is brought up to
// date when first opened. Raised whenever a procedure body or a trigger changes, so stores made
// by an earlier build get the new ones.
inline constexpr int kSchemaVersion = 5;

// What the master-record procedures say when the record a desk names is no longer there (a
// withdrawal or delete elsewhere): `noun` is 차주, 화주 or 주선사; `saving` tells a save from a
// delete. It begins with RecordMovedText, so the desk shows it as a plain message. Both stores
// word it the same.
inline QByteArray masterGoneText(const char* noun, bool saving) {
    return QByteArray(RecordMovedText) + ". 이 " + noun + "는 " +
           (saving ? "삭제되어 저장되지 않았습니다." : "이미 삭제되었습니다.");
}

// Brokers' passwords (passwords.cpp): the hashing functions, the table and triggers that keep
// them, and the two sign-in procedures.
void registerPasswordFunctions(sqlite3* db);
QByteArray passwordSchema();
std::vector<ProcedureDefinition> signInProcedures();
// Seconds a sign-in waits after this many wrong tries in a row: none for the first three, then
// 1, 2, 4 ... up to 30.
int signInDelaySeconds(int wrongTries);
// Serves a sign-in's slow-down (after wrong tries) outside any transaction, for the length of
// a 로그인확인 call; other procedures pass through.
class SignInWait {
public:
    SignInWait(sqlite3* db, const ExecCall& call);
    ~SignInWait();
    SignInWait(const SignInWait&) = delete;
    SignInWait& operator=(const SignInWait&) = delete;

private:
    bool m_active = false;
};
// True while the store's own statements run inside a client's (see passwords.cpp).
bool storesOwnWork();
inline constexpr const char* kPasswordTable = "주선사암호";

// Name of the catalogue table; client statements may read it but never change it.
inline constexpr const char* kProcedureTable = "저장프로시저";
// The order history, written only by the store's triggers.
inline constexpr const char* kHistoryTable = "화물오더이력";

} // namespace dstore::detail
