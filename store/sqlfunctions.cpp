// SQL Server functions that statements written for the SQL Server store may use. Each one
// follows its SQL Server meaning closely enough for the client's statements.
#include "storeinternal.h"

#include <QDateTime>
#include <pwd.h>
#include <unistd.h>

namespace dstore::detail {

namespace {

// isnull(a, b): b when a is NULL.
void isnullFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    sqlite3_result_value(ctx, sqlite3_value_type(argv[0]) == SQLITE_NULL ? argv[1] : argv[0]);
}

// getdate(): local time "yyyy-mm-dd hh:MM:ss.zzz", as SQL Server prints a datetime.
void getdateFunction(sqlite3_context* ctx, int, sqlite3_value**) {
    const QByteArray now = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")).toUtf8();
    sqlite3_result_text(ctx, now.constData(), int(now.size()), SQLITE_TRANSIENT);
}

// len(s): characters without trailing blanks; NULL stays NULL.
void lenFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    const char* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    int bytes = sqlite3_value_bytes(argv[0]);
    while (bytes > 0 && text[bytes - 1] == ' ') --bytes;
    sqlite3_result_int64(ctx, QString::fromUtf8(text, bytes).size());
}

// charindex(needle, haystack): 1-based position, 0 when absent.
void charindexFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    const QString needle = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(argv[0])));
    const QString hay = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(argv[1])));
    sqlite3_result_int64(ctx, hay.indexOf(needle, 0, Qt::CaseInsensitive) + 1);
}

// left(s, n) and right(s, n) in characters.
void leftFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    const QString s = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(argv[0])));
    const QByteArray out = s.left(std::max<qsizetype>(0, sqlite3_value_int64(argv[1]))).toUtf8();
    sqlite3_result_text(ctx, out.constData(), int(out.size()), SQLITE_TRANSIENT);
}

void rightFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    const QString s = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(argv[0])));
    const QByteArray out = s.right(std::max<qsizetype>(0, sqlite3_value_int64(argv[1]))).toUtf8();
    sqlite3_result_text(ctx, out.constData(), int(out.size()), SQLITE_TRANSIENT);
}

// ds_fail(message): fails the statement with the message, as RAISERROR in a procedure body
// refuses a call with its own words.
void failFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    const char* message = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    sqlite3_result_error(ctx, message ? message : "The procedure refused the call.", -1);
}

bool identifierByte(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || uchar(c) >= 0x80;
}

// SQLite reserves these words (ISNULL is an operator, LEFT and RIGHT join words), so a call
// written for SQL Server is renamed to the store's own function of the same meaning.
struct Renamed { QByteArrayView server; QByteArrayView store; };
const Renamed kRenamed[] = {{"isnull", "ds_isnull"}, {"left", "ds_left"}, {"right", "ds_right"}};

} // namespace

QByteArray renameServerFunctions(QByteArrayView sql) {
    QByteArray out;
    qsizetype copied = 0;
    const qsizetype n = sql.size();
    qsizetype i = 0;
    auto skipTo = [&](qsizetype from, QByteArrayView close) {
        const qsizetype at = sql.indexOf(close, from);
        return at < 0 ? n : at + close.size();
    };
    while (i < n) {
        const char c = sql[i];
        if (c == '\'' || c == '"' || c == '`') { i = skipTo(i + 1, QByteArrayView(&c, 1)); continue; }
        if (c == '[') { i = skipTo(i + 1, "]"); continue; }
        if (c == '-' && i + 1 < n && sql[i + 1] == '-') { i = skipTo(i + 2, "\n"); continue; }
        if (c == '/' && i + 1 < n && sql[i + 1] == '*') { i = skipTo(i + 2, "*/"); continue; }
        if (!identifierByte(c)) { ++i; continue; }
        qsizetype end = i;
        while (end < n && identifierByte(sql[end])) ++end;
        const QByteArrayView word = sql.sliced(i, end - i);
        qsizetype after = end;
        while (after < n && (sql[after] == ' ' || sql[after] == '\t' || sql[after] == '\r' || sql[after] == '\n')) ++after;
        if (after < n && sql[after] == '(') {
            for (const Renamed& r : kRenamed) {
                if (word.compare(r.server, Qt::CaseInsensitive) != 0) continue;
                out.append(sql.sliced(copied, i - copied));
                out.append(r.store);
                copied = end;
                break;
            }
        }
        i = end;
    }
    if (copied == 0) return {};
    out.append(sql.sliced(copied));
    return out;
}

namespace {
// Who writes and how, for the history the store's triggers keep: the connection's session (the
// signed-in broker, the procedure running), else this machine's login and a plain statement.
void whoFunction(sqlite3_context* ctx, int, sqlite3_value**) {
    const auto* session = static_cast<const Session*>(sqlite3_user_data(ctx));
    QByteArray who = session ? session->who : QByteArray();
    if (who.isEmpty()) who = qgetenv("USER");
    if (who.isEmpty()) who = qgetenv("LOGNAME");
    if (who.isEmpty())
        if (const passwd* user = getpwuid(getuid())) who = user->pw_name;
    sqlite3_result_text(ctx, who.constData(), int(who.size()), SQLITE_TRANSIENT);
}
void howFunction(sqlite3_context* ctx, int, sqlite3_value**) {
    const auto* session = static_cast<const Session*>(sqlite3_user_data(ctx));
    const QByteArray how = session && !session->how.isEmpty() ? session->how : QByteArray("문장");
    sqlite3_result_text(ctx, how.constData(), int(how.size()), SQLITE_TRANSIENT);
}
} // namespace

void registerSession(sqlite3* db, const Session* session) {
    sqlite3_create_function(db, "ds_who", 0, SQLITE_UTF8, const_cast<Session*>(session), whoFunction, nullptr, nullptr);
    sqlite3_create_function(db, "ds_how", 0, SQLITE_UTF8, const_cast<Session*>(session), howFunction, nullptr, nullptr);
}

void registerFunctions(sqlite3* db) {
    registerSession(db, nullptr);
    const int pure = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_function(db, "ds_isnull", 2, pure, nullptr, isnullFunction, nullptr, nullptr);
    sqlite3_create_function(db, "getdate", 0, SQLITE_UTF8, nullptr, getdateFunction, nullptr, nullptr);
    sqlite3_create_function(db, "len", 1, pure, nullptr, lenFunction, nullptr, nullptr);
    sqlite3_create_function(db, "charindex", 2, pure, nullptr, charindexFunction, nullptr, nullptr);
    sqlite3_create_function(db, "ds_left", 2, pure, nullptr, leftFunction, nullptr, nullptr);
    sqlite3_create_function(db, "ds_right", 2, pure, nullptr, rightFunction, nullptr, nullptr);
    sqlite3_create_function(db, "ds_fail", 1, SQLITE_UTF8, nullptr, failFunction, nullptr, nullptr);
    registerPasswordFunctions(db);
}

} // namespace dstore::detail
