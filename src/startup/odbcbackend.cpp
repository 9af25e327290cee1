#include "odbcbackend.h"
#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlField>
#include <QSqlRecord>
#include <QSqlResult>
#include <dlfcn.h>
#include <sql.h>
#include <sqlext.h>

namespace {
// Native codes with which FreeTDS reports a link that is gone (read/write failures, server
// closed the connection, unexpected EOF, connection refused or timed out).
bool isLostLinkCode(int native) {
    switch (native) {
    case 20002: case 20004: case 20006: case 20009: case 20017: case 20020: case 20047:
        return true;
    default:
        return false;
    }
}

struct Diagnostic {
    QString state;
    int native = 0;
    QString message;
};

// The driver manager's own calls, found in the copy Qt's ODBC driver loaded with the connection:
// the program does not link it, so a desk on another store never maps it. Null when missing.
template <typename Call>
Call driverManagerCall(const char* name) {
    static void* const library = dlopen("libodbc.so.2", RTLD_NOW | RTLD_LOCAL);
    return library ? reinterpret_cast<Call>(dlsym(library, name)) : nullptr;
}

// The first diagnostic record of a handle, its message without the driver's bracketed prefixes.
Diagnostic readDiagnostic(SQLSMALLINT type, SQLHANDLE handle) {
    Diagnostic d;
    if (!handle) return d;
    SQLWCHAR state[6] = {};
    SQLINTEGER native = 0;
    SQLWCHAR message[2048] = {};
    SQLSMALLINT length = 0;
    static const auto getDiagRec = driverManagerCall<decltype(&::SQLGetDiagRecW)>("SQLGetDiagRecW");
    if (!getDiagRec) return d;
    const SQLRETURN r = getDiagRec(type, handle, 1, state, &native, message, SQLSMALLINT(std::size(message)), &length);
    if (!SQL_SUCCEEDED(r)) return d;
    auto text = [](const SQLWCHAR* s, qsizetype n) {
        if constexpr (sizeof(SQLWCHAR) == 2)
            return QString::fromUtf16(reinterpret_cast<const char16_t*>(s), n);
        else
            return QString::fromUcs4(reinterpret_cast<const char32_t*>(s), n);
    };
    d.state = text(state, 5);
    d.native = int(native);
    d.message = text(message, qMin<qsizetype>(length, qsizetype(std::size(message)) - 1));
    while (d.message.startsWith(QLatin1Char('['))) {
        const qsizetype close = d.message.indexOf(QLatin1Char(']'));
        if (close < 0) break;
        d.message.remove(0, close + 1);
    }
    return d;
}

SQLHANDLE nativeHandle(const QVariant& v) {
    if (!v.isValid() || !v.constData()) return nullptr;
    return *static_cast<SQLHANDLE const*>(v.constData());
}

// SQL Server's numeric and money values come as exact texts; the Basic client saw them through
// CStr, which drops a zero fraction.
QString cellText(const QVariant& v, bool numeric) {
    switch (v.typeId()) {
    case QMetaType::QDateTime: {
        const QDateTime t = v.toDateTime();
        return t.time() == QTime(0, 0) ? t.date().toString(QStringLiteral("yyyy-MM-dd"))
                                       : t.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    }
    case QMetaType::QDate:
        return v.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    case QMetaType::QTime:
        return v.toTime().toString(QStringLiteral("HH:mm:ss"));
    case QMetaType::Double:
    case QMetaType::Float:
        return QString::number(v.toDouble(), 'g', 15);
    case QMetaType::QString: {
        QString s = v.toString();
        if (numeric && s.contains(QLatin1Char('.'))) {
            while (s.endsWith(QLatin1Char('0'))) s.chop(1);
            if (s.endsWith(QLatin1Char('.'))) s.chop(1);
        }
        return s;
    }
    default:
        return v.toString();
    }
}

class OdbcBackend final : public StoreBackend {
public:
    explicit OdbcBackend(QString name) : m_name(std::move(name)) {}
    ~OdbcBackend() override {
        {
            QSqlDatabase db = QSqlDatabase::database(m_name, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(m_name);
    }

    std::shared_ptr<const dstore::ResultSet> query(const QString& statement) override {
        return query(statement, {});
    }

    // The answer's other columns are dropped as each row arrives; only the asked ones are kept.
    std::shared_ptr<const dstore::ResultSet> query(const QString& statement,
                                                   const ColumnRequest& asked) override {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        checkAlive(db);
        QSqlQuery q(db);
        q.setForwardOnly(true);
        q.setNumericalPrecisionPolicy(QSql::HighPrecision);
        if (!q.exec(statement)) throw failure(db, q);
        // Row counts of the statements before the answer come first; the rows are the first
        // result that has columns.
        while (!q.isSelect()) {
            if (!q.nextResult()) {
                if (q.lastError().type() != QSqlError::NoError) throw failure(db, q);
                return std::make_shared<dstore::ResultSet>();
            }
        }
        auto rows = std::make_shared<dstore::ResultSet>();
        const QSqlRecord record = q.record();
        std::vector<QByteArray> names;
        names.reserve(size_t(record.count()));
        for (int i = 0; i < record.count(); ++i)
            names.push_back(record.fieldName(i).toUtf8());
        const dstore::ColumnPick pick(names, asked);
        pick.prepare(*rows);
        const std::vector<int>& sources = pick.sources();
        std::vector<bool> numeric(sources.size());
        for (size_t k = 0; k < sources.size(); ++k)
            numeric[k] = record.field(sources[k]).metaType().id() == QMetaType::Double;
        // Read to the end: the connection carries one answer at a time.
        while (q.next()) {
            for (size_t k = 0; k < sources.size(); ++k) {
                const QVariant v = q.value(sources[k]);
                if (v.isNull())
                    rows->appendNull();
                else
                    rows->appendCell(cellText(v, numeric[k]).toUtf8());
            }
        }
        if (q.lastError().type() != QSqlError::NoError) throw failure(db, q);
        // A procedure can raise its error after the rows it answered first; it comes with one
        // of the following results and must not be lost with them.
        while (q.nextResult()) {
        }
        if (q.lastError().type() != QSqlError::NoError) throw failure(db, q);
        q.finish();
        return rows;
    }

    void execute(const QString& statement) override {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        checkAlive(db);
        QSqlQuery q(db);
        q.setForwardOnly(true);
        m_changedRows = -1;
        if (!q.exec(statement)) throw failure(db, q);
        const int affected = q.numRowsAffected();
        // A procedure's error can follow its first row count; drain every result to see it.
        while (q.nextResult()) {
        }
        if (q.lastError().type() != QSqlError::NoError) throw failure(db, q);
        m_changedRows = affected;
    }
    qint64 changedRows() const override { return m_changedRows; }

private:
    bool linkDead(const QSqlDatabase& db) const {
        if (!db.isOpen()) return true;
        SQLHANDLE hdbc = nativeHandle(db.driver()->handle());
        if (!hdbc) return false;
        SQLUINTEGER dead = SQL_CD_FALSE;
        static const auto getConnectAttr = driverManagerCall<decltype(&::SQLGetConnectAttr)>("SQLGetConnectAttr");
        if (!getConnectAttr) return false;
        const SQLRETURN r = getConnectAttr(hdbc, SQL_ATTR_CONNECTION_DEAD, &dead, 0, nullptr);
        return SQL_SUCCEEDED(r) && dead == SQL_CD_TRUE;
    }

    // isOpen() stays true on a dead link; asking the driver first tells a statement that never
    // left the client from one whose fate is unknown.
    void checkAlive(const QSqlDatabase& db) const {
        if (linkDead(db))
            throw StoreFailure{E_FAIL_NUMBER, QStringLiteral("서버와의 연결이 끊어졌습니다."), false};
    }

    StoreFailure failure(const QSqlDatabase& db, const QSqlQuery& q) const {
        Diagnostic d = readDiagnostic(SQL_HANDLE_STMT, nativeHandle(q.result() ? q.result()->handle() : QVariant()));
        if (d.message.isEmpty()) d.message = q.lastError().databaseText();
        if (d.message.isEmpty()) d.message = q.lastError().text();
        if (d.native == 0) d.native = q.lastError().nativeErrorCode().section(QLatin1Char(';'), 0, 0).toInt();
        if (d.state.startsWith(QLatin1String("08")) || isLostLinkCode(d.native) || linkDead(db))
            return StoreFailure{E_FAIL_NUMBER, d.message, true};
        qint64 number = dstore::DB_E_ERRORSINCOMMAND;
        if (d.state.startsWith(QLatin1String("23")))
            number = dstore::DB_E_INTEGRITYVIOLATION;
        else if (d.state == QLatin1String("HYT00") || d.state == QLatin1String("HYT01"))
            number = dstore::DB_E_TIMEOUT; // the server may have committed it: see StoreTrap
        return StoreFailure{number, d.message, true};
    }

    QString m_name;
    qint64 m_changedRows = -1;
};

QString braced(const QString& value) {
    QString v = value;
    v.replace(QLatin1Char('}'), QStringLiteral("}}"));
    return QLatin1Char('{') + v + QLatin1Char('}');
}

bool plainHost(const QString& host) {
    if (host.isEmpty() || host.size() > 253) return false;
    for (QChar c : host) {
        const bool ok = (c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
                        (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('.') || c == QLatin1Char('-') ||
                        c == QLatin1Char('_');
        if (!ok) return false;
    }
    return true;
}
} // namespace

QString OdbcConnectionString(const ConnectionSettings& settings) {
    const QString host = settings.server.section(QLatin1Char(','), 0, 0);
    if (!plainHost(host)) return {};
    // TDS_Version is named: with "auto" a server that never answers holds the login past every
    // time-out while the driver probes versions.
    return QStringLiteral("DRIVER={FreeTDS};SERVER=%1,%2;DATABASE=%3;UID=%4;PWD=%5;TDS_Version=7.4;ClientCharset=UTF-8")
        .arg(host)
        .arg(STORE_PORT)
        .arg(braced(settings.catalog), braced(settings.user), braced(settings.password));
}

std::unique_ptr<StoreBackend> OpenOdbcBackend(const ConnectionSettings& settings) {
    const QString text = OdbcConnectionString(settings);
    if (text.isEmpty())
        throw StoreFailure{E_FAIL_NUMBER, QStringLiteral("데이터베이스 서버 주소가 올바르지 않습니다: ") + settings.server, false};
    static int serial = 0;
    const QString name = QStringLiteral("delmora-store-%1").arg(++serial);
    QString message;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), name);
        if (db.isValid()) {
            db.setDatabaseName(text);
            db.setConnectOptions(QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=3;SQL_ATTR_CONNECTION_TIMEOUT=3"));
            if (db.open()) return std::make_unique<OdbcBackend>(name);
            message = db.lastError().text();
        } else {
            message = QStringLiteral("ODBC 드라이버를 사용할 수 없습니다.");
        }
    }
    QSqlDatabase::removeDatabase(name);
    throw StoreFailure{E_FAIL_NUMBER, message, false};
}
