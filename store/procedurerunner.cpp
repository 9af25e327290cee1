// Running "exec NAME args": the body comes from the store's own catalogue and the arguments
// are bound as parameters. A procedure is all-or-nothing, as a server-side procedure with
// its own transaction would be.
#include "storeinternal.h"

namespace dstore::detail {

namespace {

QString shortName(const QByteArray& name) {
    QString s = QString::fromUtf8(name);
    return s.size() > 128 ? s.left(128) + QStringLiteral("...") : s;
}

void bindArgument(sqlite3_stmt* stmt, int index, const ExecArgument& arg) {
    if (arg.quoted) {
        sqlite3_bind_text(stmt, index, arg.text.constData(), int(arg.text.size()), SQLITE_STATIC);
        return;
    }
    bool ok = false;
    const qlonglong whole = arg.text.toLongLong(&ok);
    if (ok) {
        sqlite3_bind_int64(stmt, index, whole);
        return;
    }
    // A whole number too long for 64 bits, or a fraction with more digits than a double keeps,
    // is stored as its digits: 1.0e+20 or a rounded value would not be the number that was sent.
    const bool fraction = arg.text.contains('.');
    qsizetype digits = 0;
    for (char c : arg.text)
        digits += (c >= '0' && c <= '9');
    const double real = fraction && digits <= 15 ? arg.text.toDouble(&ok) : 0.0;
    if (ok)
        sqlite3_bind_double(stmt, index, real);
    else
        sqlite3_bind_text(stmt, index, arg.text.constData(), int(arg.text.size()), SQLITE_STATIC);
}

// Either a transaction of its own or, inside one the caller opened, a savepoint.
class ProcedureTransaction {
public:
    explicit ProcedureTransaction(sqlite3* db) : m_db(db), m_outer(sqlite3_get_autocommit(db) == 0) {
        run(m_db, m_outer ? "savepoint 프로시저" : "begin immediate");
    }
    void commit() {
        run(m_db, m_outer ? "release 프로시저" : "commit");
        m_done = true;
    }
    ~ProcedureTransaction() {
        if (m_done) return;
        if (m_outer)
            sqlite3_exec(m_db, "rollback to 프로시저; release 프로시저", nullptr, nullptr, nullptr);
        else if (sqlite3_get_autocommit(m_db) == 0)
            sqlite3_exec(m_db, "rollback", nullptr, nullptr, nullptr);
    }
private:
    sqlite3* m_db;
    bool m_outer;
    bool m_done = false;
};

} // namespace

std::shared_ptr<ResultSet> runProcedure(sqlite3* db, const ExecCall& call) {
    QByteArray body;
    int expected = 0, optional = 0;
    {
        Statement lookup(db, "select 인수개수, 본문, 선택인수 from 저장프로시저 where 이름 = ?1");
        sqlite3_bind_text(lookup.get(), 1, call.procedure.constData(), int(call.procedure.size()), SQLITE_STATIC);
        const int rc = sqlite3_step(lookup.get());
        if (rc == SQLITE_DONE)
            throw Error{DB_E_ERRORSINCOMMAND,
                        QStringLiteral("Could not find stored procedure '%1'.").arg(shortName(call.procedure))};
        if (rc != SQLITE_ROW) fail(db, rc);
        expected = sqlite3_column_int(lookup.get(), 0);
        optional = sqlite3_column_int(lookup.get(), 2);
        body = QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(lookup.get(), 1)),
                          sqlite3_column_bytes(lookup.get(), 1));
    }
    const auto given = call.arguments.size();
    if (given > size_t(expected + optional))
        throw Error{DB_E_ERRORSINCOMMAND, QStringLiteral("Procedure or function %1 has too many arguments specified.")
                                              .arg(shortName(call.procedure))};
    if (given < size_t(expected))
        throw Error{DB_E_ERRORSINCOMMAND,
                    QStringLiteral("Procedure or function '%1' expects parameter '@p%2', which was not supplied.")
                        .arg(shortName(call.procedure))
                        .arg(given + 1)};

    const SignInWait wait(db, call);
    ProcedureTransaction transaction(db);
    std::shared_ptr<ResultSet> last = std::make_shared<ResultSet>();
    const char* sql = body.constData();
    const char* end = sql + body.size();
    while (sql < end) {
        sqlite3_stmt* raw = nullptr;
        const char* tail = nullptr;
        const int rc = sqlite3_prepare_v2(db, sql, int(end - sql), &raw, &tail);
        if (rc != SQLITE_OK) fail(db, rc, QStringLiteral("Procedure %1").arg(shortName(call.procedure)));
        struct Owner { sqlite3_stmt* s; ~Owner() { sqlite3_finalize(s); } } owner{raw};
        if (!raw) break;
        // Optional arguments the caller left out stay unbound: NULL in the body.
        const int parameters = std::min(sqlite3_bind_parameter_count(raw), int(given));
        for (int i = 1; i <= parameters; ++i) bindArgument(raw, i, call.arguments[size_t(i - 1)]);
        auto rows = collect(db, raw);
        // A check that let the call through answers with no rows; it is no result of the call.
        if (rows->rowCount() > 0) last = rows;
        sql = tail;
    }
    transaction.commit();
    return last;
}

} // namespace dstore::detail
