// The freight store on PostgreSQL through libpq. Rows come as text (libpq's text format), which
// is what the client reads anyway, and are copied once into the snapshot.
#include "pgstore.h"

#include "pgdialect.h"
#include "storetexts.h"
#include <cstdlib>

#include "libpqcalls.h"
#include <poll.h>

#include <QHash>
#include <algorithm>
#include <cstring>
#include <optional>

namespace dstore {

namespace {

// Frees a result however the caller leaves.
struct Result {
    PGresult* r = nullptr;
    explicit Result(PGresult* res) : r(res) {}
    ~Result() { pq::calls().PQclear(r); }
    Result(const Result&) = delete;
    Result& operator=(const Result&) = delete;
};

QString serverMessage(const PGresult* res, PGconn* conn) {
    const char* primary = res ? pq::calls().PQresultErrorField(res, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
    QString message = QString::fromUtf8(primary ? primary : pq::calls().PQerrorMessage(conn)).trimmed();
    return message.isEmpty() ? QStringLiteral("서버가 응답하지 않습니다.") : message;
}

bool lostLinkState(QByteArrayView state) {
    return state.startsWith("08") || state == "57P01" || state == "57P02" || state == "57P03";
}

// The server's answer as the provider error an ADO caller expects.
ServerError errorFor(const PGresult* res, PGconn* conn) {
    const char* raw = res ? pq::calls().PQresultErrorField(res, PG_DIAG_SQLSTATE) : nullptr;
    const QByteArrayView state(raw ? raw : "");
    ServerError e;
    e.message = serverMessage(res, conn);
    // A closed socket has no SQLSTATE; the link is gone with it.
    if (pq::calls().PQstatus(conn) != CONNECTION_OK || lostLinkState(state) || state.isEmpty()) {
        e.number = E_FAIL_NUMBER;
        return e;
    }
    if (state.startsWith("23"))
        e.number = DB_E_INTEGRITYVIOLATION;
    else if (state == "57014")
        e.number = DB_E_TIMEOUT; // the statement time-out, like ADO's command time-out
    else if (state.startsWith("53") || state.startsWith("58") || state == "25006" || state.startsWith("XX"))
        e.number = DB_E_STOREREFUSED;
    else
        e.number = DB_E_ERRORSINCOMMAND;
    return e;
}

[[noreturn]] void lostBeforeSending(PGconn* conn) {
    ServerError e;
    e.number = E_FAIL_NUMBER;
    e.message =
        QStringLiteral("서버와의 연결이 끊어졌습니다. ") + QString::fromUtf8(pq::calls().PQerrorMessage(conn)).trimmed();
    e.mayHaveReachedStore = false;
    throw e;
}

// Rows of a text-format result into a snapshot, keeping the asked columns (all when none).
std::shared_ptr<ResultSet> snapshot(const PGresult* res, const std::vector<QByteArray>& wanted) {
    auto rows = std::make_shared<ResultSet>();
    const int fields = pq::calls().PQnfields(res);
    std::vector<QByteArray> answerColumns;
    answerColumns.reserve(size_t(fields));
    for (int c = 0; c < fields; ++c)
        answerColumns.emplace_back(pq::calls().PQfname(res, c));
    const ColumnPick pick(answerColumns, wanted);
    pick.prepare(*rows);
    const std::vector<int>& from = pick.sources();
    const int count = pq::calls().PQntuples(res);
    if (count == 0 || from.empty()) return rows;
    qsizetype bytes = 0;
    for (int r = 0; r < count; r += 64)
        for (const int c : from)
            bytes += pq::calls().PQgetlength(res, r, c);
    rows->reserveCells(size_t(count) * from.size(), bytes * 64);
    for (int r = 0; r < count; ++r)
        for (const int c : from) {
            if (pq::calls().PQgetisnull(res, r, c))
                rows->appendNull();
            else
                rows->appendCell(QByteArrayView(pq::calls().PQgetvalue(res, r, c), pq::calls().PQgetlength(res, r, c)));
        }
    return rows;
}

// COPY's text format: backslash, tab and line breaks escaped, \N for NULL.
void appendCopyValue(QByteArray& out, const QByteArray& v) {
    if (v.isNull()) {
        out += "\\N";
        return;
    }
    for (const char c : v) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
}

QByteArray identifier(PGconn* conn, const QByteArray& name) {
    char* quoted = pq::calls().PQescapeIdentifier(conn, name.constData(), size_t(name.size()));
    if (!quoted) throw Error{DB_E_ERRORSINCOMMAND, QString::fromUtf8(pq::calls().PQerrorMessage(conn)).trimmed()};
    QByteArray s(quoted);
    pq::calls().PQfreemem(quoted);
    return s;
}

void runTrusted(PGconn* conn, const char* sql) {
    Result res(pq::calls().PQexec(conn, sql));
    const ExecStatusType status = pq::calls().PQresultStatus(res.r);
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) throw errorFor(res.r, conn);
}

// The demo generator's rows, sent in COPY batches. Keys are handed out here, so an invoice can
// name its order before the orders reach the server; the identity counter follows at the end.
class PgDemoTable final : public DemoTable {
public:
    PgDemoTable(PGconn* conn, const char* table, const std::vector<const char*>& columns) : m_conn(conn) {
        m_copy = "copy " + identifier(conn, table) + " (id";
        for (const char* c : columns)
            m_copy += ", " + QByteArray(c);
        m_copy += ") from stdin";
        m_table = table;
        Result res(pq::calls().PQexecParams(conn, "select coalesce(max(id), 0) from " + identifier(conn, table), 0,
                                nullptr, nullptr, nullptr, nullptr, 0));
        if (pq::calls().PQresultStatus(res.r) != PGRES_TUPLES_OK) throw errorFor(res.r, conn);
        m_next = QByteArray(pq::calls().PQgetvalue(res.r, 0, 0)).toLongLong() + 1;
    }
    ~PgDemoTable() override {
        try {
            finish();
        } catch (...) {
            // The transaction is rolled back by the filler's failure; nothing to keep.
        }
    }
    qint64 insert(const std::vector<QByteArray>& values) override {
        const qint64 id = m_next++;
        m_buffer += QByteArray::number(id);
        for (const QByteArray& v : values) {
            m_buffer += '\t';
            appendCopyValue(m_buffer, v);
        }
        m_buffer += '\n';
        if (m_buffer.size() > (4 << 20)) flush();
        return id;
    }

private:
    void flush() {
        if (m_buffer.isEmpty()) return;
        {
            Result res(pq::calls().PQexec(m_conn, m_copy.constData()));
            if (pq::calls().PQresultStatus(res.r) != PGRES_COPY_IN) throw errorFor(res.r, m_conn);
        }
        if (pq::calls().PQputCopyData(m_conn, m_buffer.constData(), int(m_buffer.size())) != 1 ||
            pq::calls().PQputCopyEnd(m_conn, nullptr) != 1)
            throw errorFor(nullptr, m_conn);
        m_buffer.clear();
        Result res(pq::calls().PQgetResult(m_conn));
        if (pq::calls().PQresultStatus(res.r) != PGRES_COMMAND_OK) throw errorFor(res.r, m_conn);
        while (PGresult* rest = pq::calls().PQgetResult(m_conn))
            pq::calls().PQclear(rest);
    }
    void finish() {
        flush();
        if (m_next <= 1) return;
        const QByteArray sql = "select setval(pg_get_serial_sequence(" + literal(m_table) + ", 'id'), " +
                               QByteArray::number(m_next - 1) + ")";
        runTrusted(m_conn, sql.constData());
    }
    QByteArray literal(const QByteArray& text) {
        char* quoted = pq::calls().PQescapeLiteral(m_conn, identifier(m_conn, text).constData(),
                                       size_t(identifier(m_conn, text).size()));
        QByteArray s(quoted ? quoted : "''");
        pq::calls().PQfreemem(quoted);
        return s;
    }
    PGconn* m_conn;
    QByteArray m_copy, m_table, m_buffer;
    qint64 m_next = 1;
};

class PgDemoTarget final : public DemoTarget {
public:
    explicit PgDemoTarget(PGconn* conn) : m_conn(conn) {}
    std::unique_ptr<DemoTable> table(const char* name, const std::vector<const char*>& columns) override {
        return std::make_unique<PgDemoTable>(m_conn, name, columns);
    }
    void begin() override { runTrusted(m_conn, "begin"); }
    void commit() override { runTrusted(m_conn, "commit"); }
    void rollback() noexcept override { pq::calls().PQclear(pq::calls().PQexec(m_conn, "rollback")); }

private:
    PGconn* m_conn;
};

// Why a link was not made, in the desk's words where the cause is the link's protection; libpq's
// own text follows for whoever sets the server up.
QString connectionRefusal(const QString& libpq) {
    QString lead;
    if (libpq.contains(QLatin1String("certificate verify failed")) ||
        libpq.contains(QLatin1String("server certificate for")) ||
        libpq.contains(QLatin1String("does not match host name")))
        lead = QStringLiteral("서버의 인증서를 확인하지 못해 연결하지 않았습니다. 주소의 sslrootcert(없으면 시스템의 "
                              "인증서 저장소)에 서버 인증서를 발급한 기관의 인증서가 있는지, 주소의 서버 이름이 "
                              "인증서의 이름과 같은지 확인하십시오.");
    else if (libpq.contains(QLatin1String("does not support SSL")))
        lead = QStringLiteral("서버가 암호화(TLS) 연결을 받지 않아 연결하지 않았습니다. 서버에 TLS를 설정하십시오. "
                              "암호화 없이 연결하려면 주소에 sslmode=disable을 적으십시오.");
    else if (libpq.contains(QLatin1String("root certificate file")))
        lead = QStringLiteral("서버 인증서를 확인할 기관 인증서 파일(sslrootcert)을 읽지 못했습니다.");
    else if (libpq.contains(QLatin1String("pg_hba.conf")))
        lead = QStringLiteral("서버가 이 컴퓨터, 이 로그인 또는 이 연결 방식(암호화 여부)을 허용하지 않아 연결하지 "
                              "못했습니다.");
    else if (libpq.contains(QLatin1String("password authentication failed")))
        lead = QStringLiteral("서버가 로그인을 거절했습니다. DB아이디와 DB비밀번호를 확인하십시오.");
    else if (libpq.contains(QLatin1String("SSL")) || libpq.contains(QLatin1String("ssl")))
        lead = QStringLiteral("서버와 암호화(TLS) 연결을 맺지 못했습니다.");
    else
        lead = QStringLiteral("서버에 연결하지 못했습니다.");
    return lead + QStringLiteral(" (") + libpq + QLatin1Char(')');
}

} // namespace

bool isPostgresUri(QStringView text) {
    const QStringView t = text.trimmed();
    return t.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive) ||
           t.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive);
}

namespace {
// The keywords an address sets, as libpq reads it (a URI or key=value pairs); empty for an
// address libpq cannot read (it will say what is wrong when connecting).
QHash<QByteArray, QByteArray> addressKeywords(const QString& uri) {
    QHash<QByteArray, QByteArray> set;
    char* error = nullptr;
    PQconninfoOption* options = pq::calls().PQconninfoParse(uri.trimmed().toUtf8().constData(), &error);
    pq::calls().PQfreemem(error);
    if (!options) return set;
    for (PQconninfoOption* o = options; o->keyword; ++o)
        if (o->val) set.insert(o->keyword, o->val);
    pq::calls().PQconninfoFree(options);
    return set;
}

QByteArray hostsOf(const QHash<QByteArray, QByteArray>& address) {
    QByteArray host = address.value("host");
    if (host.isEmpty()) host = address.value("hostaddr");
    return host.isEmpty() ? qgetenv("PGHOST") : host;
}
} // namespace

std::vector<std::pair<QByteArray, QByteArray>> PgStore::tlsDefaults(const QString& uri) {
    const QHash<QByteArray, QByteArray> address = addressKeywords(uri);
    if (address.isEmpty()) return {};
    QByteArray host = hostsOf(address), sslmode = address.value("sslmode");
    const QByteArray rootcert = address.value("sslrootcert");
    if (sslmode.isEmpty()) sslmode = qgetenv("PGSSLMODE");
    // A socket path (or none: libpq's own socket) stays on this machine; any other host is a
    // network between the desk and its store.
    bool tcp = false;
    for (const QByteArray& h : host.split(','))
        tcp = tcp || (!h.isEmpty() && !h.startsWith('/') && !h.startsWith('@'));
    if (!tcp || !sslmode.isEmpty()) return {};
    std::vector<std::pair<QByteArray, QByteArray>> extra{{"sslmode", "verify-full"}};
    // libpq 15 trusts only ~/.postgresql/root.crt unless told; the system's CA store serves an
    // office whose server has a certificate from a public or company CA installed there.
    if (rootcert.isEmpty() && qgetenv("PGSSLROOTCERT").isEmpty())
        extra.emplace_back("sslrootcert", "/etc/ssl/certs/ca-certificates.crt");
    return extra;
}

std::vector<std::pair<QByteArray, QByteArray>> PgStore::sessionDefaults(const QString& uri) {
    const QHash<QByteArray, QByteArray> address = addressKeywords(uri);
    if (address.isEmpty() || address.contains("target_session_attrs") ||
        !qgetenv("PGTARGETSESSIONATTRS").isEmpty())
        return {};
    const qsizetype hosts = std::max(hostsOf(address).count(',') + 1, address.value("port").count(',') + 1);
    if (hosts < 2) return {};
    return {{"target_session_attrs", "read-write"}};
}

std::unique_ptr<PgStore> PgStore::open(const QString& uri, const QString& user, const QString& password) {
    const QByteArray dbname = uri.trimmed().toUtf8();
    const QByteArray login = user.toUtf8(), secret = password.toUtf8();
    // Later keywords override what the URI says; an empty user leaves the URI's, ~/.pgpass's and
    // the environment's login in place. The 3 s connect time-out matches the SQL Server login's.
    std::vector<const char*> keys{"dbname", "connect_timeout", "client_encoding", "application_name"};
    std::vector<const char*> values{dbname.constData(), "3", "UTF8", "delmora"};
    // Over TCP the store is reached with TLS and a verified certificate unless the address says
    // otherwise (sslmode=disable for a plain link).
    auto added = tlsDefaults(uri);
    for (auto& pair : sessionDefaults(uri))
        added.push_back(std::move(pair));
    for (const auto& [key, value] : added) {
        keys.push_back(key.constData());
        values.push_back(value.constData());
    }
    if (!login.isEmpty()) {
        keys.push_back("user");
        values.push_back(login.constData());
        keys.push_back("password");
        values.push_back(secret.constData());
    }
    keys.push_back(nullptr);
    values.push_back(nullptr);
    PGconn* conn = pq::calls().PQconnectdbParams(keys.data(), values.data(), 1);
    if (!conn || pq::calls().PQstatus(conn) != CONNECTION_OK) {
        ServerError e;
        e.number = E_FAIL_NUMBER;
        e.message = conn ? connectionRefusal(QString::fromUtf8(pq::calls().PQerrorMessage(conn)).trimmed())
                         : QStringLiteral("메모리가 부족합니다.");
        e.mayHaveReachedStore = false;
        pq::calls().PQfinish(conn);
        throw e;
    }
    std::unique_ptr<PgStore> store(new PgStore(conn));
    // The server's notices are no answer to anything the client asked (libpq would print them on
    // the console), except one: a server ending the session while it is idle (a shutdown, an
    // administrator) says so before it closes the socket.
    pq::calls().PQsetNoticeReceiver(
        conn,
        [](void* self, const PGresult* notice) {
            const char* severity = pq::calls().PQresultErrorField(notice, PG_DIAG_SEVERITY_NONLOCALIZED);
            const char* state = pq::calls().PQresultErrorField(notice, PG_DIAG_SQLSTATE);
            if ((severity && (qstrcmp(severity, "FATAL") == 0 || qstrcmp(severity, "PANIC") == 0)) ||
                (state && lostLinkState(state)))
                static_cast<PgStore*>(self)->m_sessionEnded = true;
        },
        store.get());
    // ADO's command time-out; text dates and times as the client writes them.
    runTrusted(conn, "set statement_timeout = 30000; set datestyle = 'ISO, YMD'");
    return store;
}

PgStore::~PgStore() {
    pq::calls().PQfinish(m_conn);
}

void PgStore::createSchema() {
    {
        Result res(pq::calls().PQexec(m_conn, "select to_regclass('화물오더') is not null"));
        if (pq::calls().PQresultStatus(res.r) != PGRES_TUPLES_OK) throw errorFor(res.r, m_conn);
        if (qstrcmp(pq::calls().PQgetvalue(res.r, 0, 0), "t") == 0)
            throw Error{DB_E_ERRORSINCOMMAND,
                        QStringLiteral("이 데이터베이스에는 이미 화물 저장소가 있습니다.")};
    }
    PgDemoTarget target(m_conn);
    target.begin();
    try {
        runTrusted(m_conn, postgresSchema().constData());
        fillAddressDirectory(target);
        target.commit();
    } catch (...) {
        target.rollback();
        throw;
    }
}

void PgStore::upgradeSchema() {
    {
        Result res(pq::calls().PQexec(m_conn, "select to_regclass('화물오더') is not null"));
        if (pq::calls().PQresultStatus(res.r) != PGRES_TUPLES_OK) throw errorFor(res.r, m_conn);
        if (qstrcmp(pq::calls().PQgetvalue(res.r, 0, 0), "t") != 0)
            throw Error{DB_E_ERRORSINCOMMAND, QStringLiteral("이 데이터베이스에는 화물 저장소가 없습니다.")};
    }
    runTrusted(m_conn, "begin");
    try {
        runTrusted(m_conn, postgresUpgrade().constData());
        runTrusted(m_conn, "commit");
    } catch (...) {
        pq::calls().PQclear(pq::calls().PQexec(m_conn, "rollback"));
        throw;
    }
}

// The screens write these tables; the lists read every table and view but the password hashes.
const char* const kDeskWrittenTables[] = {"화물오더", "코드_주선사", "코드_화주", "코드_차주", "세금계산서"};

void PgStore::grantDesks(const QString& role) {
    const QByteArray name = identifier(m_conn, role.toUtf8());
    char* literal = pq::calls().PQescapeLiteral(m_conn, role.toUtf8().constData(), size_t(role.toUtf8().size()));
    if (!literal) throw errorFor(nullptr, m_conn);
    const QByteArray quoted(literal);
    pq::calls().PQfreemem(literal);
    QByteArray s = "do $$ begin\n"
                   "    if not exists (select from pg_roles where rolname = " + quoted + ") then\n"
                   "        create role " + name + " nologin;\n"
                   "    end if;\n"
                   "    execute format('revoke temporary on database %I from public', current_database());\n"
                   "end $$;\n"
                   "revoke create on schema public from public;\n"
                   "grant usage on schema public to " + name + ";\n"
                   "grant select on all tables in schema public to " + name + ";\n"
                   "revoke all on 주선사암호 from public, " + name + ";\n"
                   "grant usage on all sequences in schema public to " + name + ";\n"
                   "grant execute on all functions in schema public to " + name + ";\n"
                   // Procedures keep counters (the next shipper code) in 저장소정보; its schema mark
                   // stays the owner's. The owner is not held to these policies.
                   "grant insert, update on 저장소정보 to " + name + ";\n"
                   "alter table 저장소정보 enable row level security;\n"
                   "drop policy if exists 저장소정보_읽기 on 저장소정보;\n"
                   "create policy 저장소정보_읽기 on 저장소정보 for select using (true);\n"
                   "drop policy if exists 저장소정보_계수기 on 저장소정보;\n"
                   "create policy 저장소정보_계수기 on 저장소정보 using (키 <> 'schema') with check (키 <> 'schema');\n";
    for (const char* table : kDeskWrittenTables)
        s += "grant insert, update, delete on " + QByteArray(table) + " to " + name + ";\n";
    runTrusted(m_conn, "begin");
    try {
        runTrusted(m_conn, s.constData());
        runTrusted(m_conn, "commit");
    } catch (...) {
        pq::calls().PQclear(pq::calls().PQexec(m_conn, "rollback"));
        throw;
    }
}

std::unique_ptr<DemoTarget> PgStore::demoTarget() {
    return std::make_unique<PgDemoTarget>(m_conn);
}

QByteArray PgStore::procedureCallText(const QByteArray& procedure, size_t arguments) {
    QByteArray s = "select * from public." + procedure + "(variadic array[";
    for (size_t i = 1; i <= arguments; ++i)
        s += (i > 1 ? ",$" : "$") + QByteArray::number(qulonglong(i));
    return s + "]::text[])";
}

bool PgStore::linkLost() {
    if (pq::calls().PQstatus(m_conn) != CONNECTION_OK) return true;
    pollfd p{pq::calls().PQsocket(m_conn), POLLIN, 0};
    if (p.fd < 0) return true;
    if (::poll(&p, 1, 0) <= 0) return false;
    // Something arrived while idle: a termination notice or the end of the stream.
    if (!pq::calls().PQconsumeInput(m_conn)) return true;
    keepNotifications();
    return m_sessionEnded || pq::calls().PQstatus(m_conn) != CONNECTION_OK;
}

std::shared_ptr<ResultSet> PgStore::query(QByteArrayView statement, const std::vector<QByteArray>& columns) {
    if (linkLost()) lostBeforeSending(m_conn);
    if (statement.contains('\0'))
        throw ServerError{
            {DB_E_ERRORSINCOMMAND, NulRefusal()}, false};
    m_changedRows = 0;
    int sent = 0;
    ExecCall call;
    const bool exec = isExecStatement(statement);
    if (exec) {
        call = parseExec(statement); // throws Error for malformed text: nothing was sent
        const QByteArray text = procedureCallText(identifier(m_conn, call.procedure), call.arguments.size());
        std::vector<const char*> values;
        values.reserve(call.arguments.size());
        for (const ExecArgument& a : call.arguments)
            values.push_back(a.text.constData());
        sent = pq::calls().PQsendQueryParams(m_conn, text.constData(), int(values.size()), nullptr, values.data(),
                                 nullptr, nullptr, 0);
    } else {
        sent = pq::calls().PQsendQuery(m_conn, postgresStatement(statement).constData());
    }
    if (!sent) lostBeforeSending(m_conn);
    // Every result of the statement is read; the last one with rows or the first error answers.
    PGresult* answer = nullptr;
    std::optional<ServerError> failure;
    while (PGresult* res = pq::calls().PQgetResult(m_conn)) {
        const ExecStatusType status = pq::calls().PQresultStatus(res);
        if (status == PGRES_FATAL_ERROR || status == PGRES_BAD_RESPONSE || status == PGRES_NONFATAL_ERROR) {
            if (!failure) failure = errorFor(res, m_conn);
            pq::calls().PQclear(res);
        } else if (status == PGRES_COPY_IN || status == PGRES_COPY_OUT || status == PGRES_COPY_BOTH) {
            pq::calls().PQclear(res);
            if (!failure)
                failure =
                    ServerError{{DB_E_ERRORSINCOMMAND, QStringLiteral("COPY는 사용할 수 없습니다.")}, true};
            pq::calls().PQputCopyEnd(m_conn, "refused");
        } else if (status == PGRES_TUPLES_OK) {
            m_changedRows = pq::calls().PQntuples(res);
            pq::calls().PQclear(answer);
            answer = res;
        } else {
            if (status == PGRES_COMMAND_OK) m_changedRows = std::atoi(pq::calls().PQcmdTuples(res));
            pq::calls().PQclear(res);
        }
        if (pq::calls().PQstatus(m_conn) != CONNECTION_OK) break;
    }
    Result kept(answer);
    keepNotifications(); // those that came with the answer
    if (!failure && pq::calls().PQstatus(m_conn) != CONNECTION_OK) failure = errorFor(nullptr, m_conn);
    if (failure) {
        if (exec && failure->number == DB_E_ERRORSINCOMMAND &&
            failure->message.contains(QStringLiteral("does not exist")) &&
            failure->message.contains(QStringLiteral("function")))
            failure->message = QStringLiteral("Could not find stored procedure '%1'.")
                                   .arg(QString::fromUtf8(call.procedure));
        throw *failure;
    }
    // A procedure that answers nothing (returns void) is a call without rows, as on SQL Server;
    // the sign-in procedures answer a row.
    constexpr Oid voidType = 2278;
    if (!answer || (exec && pq::calls().PQnfields(answer) == 1 && pq::calls().PQftype(answer, 0) == voidType))
        return std::make_shared<ResultSet>();
    return snapshot(answer, columns);
}

void PgStore::keepNotifications() {
    while (PGnotify* n = pq::calls().PQnotifies(m_conn)) {
        if (m_listening) m_notifications.emplace_back(n->extra);
        pq::calls().PQfreemem(n);
    }
}

void PgStore::setSessionUser(const QString& who) {
    // The application name travels with the desk's statements through a pooler in transaction
    // mode, which a session setting would not (it would stay on a server session other desks
    // then use). The server keeps 63 printable ASCII characters of it: another ID goes as hex.
    QByteArray value = "delmora";
    if (!who.isEmpty()) {
        bool plain = who.size() <= 55;
        for (const QChar c : who)
            plain = plain && c.unicode() >= 0x20 && c.unicode() < 0x7f;
        if (plain) {
            value += ":" + who.toLatin1();
        } else {
            QString kept = who;
            while (kept.toUtf8().size() > 27)
                kept.chop(1);
            value += "x:" + kept.toUtf8().toHex();
        }
    }
    // A store not yet upgraded reads the broker from the session setting.
    const QByteArray broker = who.toUtf8();
    const char* values[] = {value.constData(), broker.constData()};
    Result res(pq::calls().PQexecParams(m_conn,
                            "select set_config('application_name', $1, false), set_config('delmora.broker', $2, false)",
                            2, nullptr, values, nullptr, nullptr, 0));
    if (pq::calls().PQresultStatus(res.r) != PGRES_TUPLES_OK) throw errorFor(res.r, m_conn);
}

void PgStore::listen(const char* channel) {
    runTrusted(m_conn, (QByteArray("listen ") + channel).constData());
    m_listening = true;
}

std::vector<QByteArray> PgStore::takeNotifications() {
    // Reads what the server sent while the link was idle, without a round trip.
    if (pq::calls().PQstatus(m_conn) != CONNECTION_OK || !pq::calls().PQconsumeInput(m_conn) || m_sessionEnded)
        throw ServerError{{E_FAIL_NUMBER, QStringLiteral("서버와의 연결이 끊어졌습니다.")}, false};
    keepNotifications();
    if (pq::calls().PQstatus(m_conn) != CONNECTION_OK)
        throw ServerError{{E_FAIL_NUMBER, QStringLiteral("서버와의 연결이 끊어졌습니다.")}, false};
    return std::exchange(m_notifications, {});
}

} // namespace dstore
