#include "storeconnection.h"
#include "signin.h"
#include <optional>
#include "deployment.h"
#include "ini.h"
#include "odbcbackend.h"
#include "pgbackend.h"
#include "pgstore.h"
#include "prompts.h"
#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>
#include <algorithm>
#include <cstdlib>

std::unique_ptr<StoreBackend> StoreConnection;
bool StoreReady = false;
QString SqlText;

namespace {
BackendFactory& factory() {
    static BackendFactory f;
    return f;
}

ProgramEnd& programEnd() {
    static ProgramEnd end;
    return end;
}

StoreFailure failedConnection(const QString& description) {
    return {E_FAIL_NUMBER, description, false};
}

class EmbeddedBackend final : public StoreBackend {
public:
    explicit EmbeddedBackend(std::unique_ptr<dstore::FreightStore> store) : m_store(std::move(store)) {}
    std::shared_ptr<const dstore::ResultSet> query(const QString& statement) override {
        return query(statement, ColumnRequest());
    }
    // The engine steps the statement as sent and reads only the asked columns into the snapshot.
    std::shared_ptr<const dstore::ResultSet> query(const QString& statement,
                                                   const ColumnRequest& columns) override {
        try {
            return m_store->query(statement.toUtf8(), columns);
        } catch (const dstore::Error& e) {
            throw failure(e);
        }
    }
    void execute(const QString& statement) override {
        try {
            m_store->execute(statement.toUtf8());
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

    // The embedded store changes nothing of a statement it was too busy to run (the statement
    // and any procedure are rolled back whole), so that outcome is known, unlike a server's.
    static StoreFailure failure(const dstore::Error& e) {
        return StoreFailure{e.number, e.message, e.number != dstore::DB_E_TIMEOUT};
    }
    void setSessionUser(const QString& who) override { m_store->setSessionUser(who); }
    StoreChanges pollChanges() override {
        StoreChanges changes;
        changes.supported = true;
        try {
            bool more = false;
            changes.orders = m_store->ordersChangedSince(m_seenVersion, ChangeLimit, &more);
            changes.everything = more;
        } catch (const dstore::Error& e) {
            throw failure(e);
        }
        return changes;
    }

private:
    static constexpr int ChangeLimit = 500;
    std::unique_ptr<dstore::FreightStore> m_store;
    std::optional<bool> m_checksVersions;
    qint64 m_seenVersion = -1;
};
} // namespace

int SharedRecordset::columnIndex(const QString& name) const {
    if (!m_rows) return -1;
    return lookUp(name);
}

int SharedRecordset::lookUp(const QString& name) const {
    if (!m_names) m_names = std::make_shared<QHash<QString, int>>();
    const auto hit = m_names->constFind(name);
    if (hit != m_names->cend()) return hit.value();
    const int index = m_rows->columnIndex(name.toUtf8());
    m_names->insert(name, index);
    return index;
}

QString SharedRecordset::field(const QString& name) const {
    const int column = columnIndex(name);
    if (column < 0)
        throw StoreFailure{ADO_ITEM_NOT_FOUND,
                           QStringLiteral("요청한 이름 또는 서수에 해당하는 항목이 없습니다: ") + name,
                           false};
    return field(column);
}

QString SharedRecordset::field(int column) const {
    if (EOF_() || column < 0 || column >= m_rows->columnCount())
        throw StoreFailure{ADO_ITEM_NOT_FOUND,
                           QStringLiteral("요청한 이름 또는 서수에 해당하는 항목이 없습니다."), false};
    return m_rows->text(m_row, column);
}

ConnectionSettings ReadConnectionSettings() {
    const QString section = QStringLiteral("데이타");
    const QString catalog = ReadIni(section, QStringLiteral("DB명"));
    const QString user = ReadIni(section, QStringLiteral("DB아이디"));
    const QString password = ReadIni(section, QStringLiteral("DB비밀번호"));
    ConnectionSettings s;
    s.catalog = catalog.isEmpty() ? QStringLiteral("national_corvanta") : catalog;
    const QString host = CurrentDeployment().databaseServer;
    if (dstore::isPostgresUri(host)) {
        // The URI names the server and the database. Without a login in Setting.ini libpq finds
        // its own (~/.pgpass, the PG* environment); SQL Server's built-in login means nothing there.
        s.server = host.trimmed();
        s.user = user;
        s.password = user.isEmpty() ? QString() : password;
        s.connectionText = s.server;
        return s;
    }
    if (user.isEmpty()) {
        s.user = BuiltInStoreUser;
        s.password = BuiltInStorePassword;
    } else {
        s.user = user;
        s.password = password;
    }
    s.server = host.isEmpty() ? QString() : host + QLatin1Char(',') + QString::number(STORE_PORT);
    s.connectionText = QStringLiteral("Initial Catalog=") + s.catalog + QStringLiteral(";Data Source = '") +
                       s.server + QStringLiteral("';");
    return s;
}

QString EmbeddedStorePath(const QString& catalog) {
    // The catalog names a file in the program folder and nothing else.
    if (catalog.isEmpty() || catalog.contains(QLatin1Char('/')) || catalog.contains(QLatin1Char('\\')) ||
        catalog.contains(QStringLiteral("..")) || catalog.contains(QChar(0)) ||
        catalog.contains(QLatin1Char(':')) || catalog.startsWith(QLatin1Char('.')))
        return {};
    return ProgramFolder() + QLatin1Char('/') + catalog + QStringLiteral(".sqlite");
}

std::unique_ptr<StoreBackend> OpenBackend(const ConnectionSettings& settings) {
    if (dstore::isPostgresUri(settings.server)) return OpenPgBackend(settings);
    if (!settings.server.isEmpty()) return OpenOdbcBackend(settings);
    const QString path = EmbeddedStorePath(settings.catalog);
    if (path.isEmpty())
        throw failedConnection(QStringLiteral("사용할 수 없는 데이터베이스 이름입니다: ") + settings.catalog);
    // The client never creates a store: a missing file is a failed connection like a silent server.
    if (!QFileInfo(path).isFile())
        throw failedConnection(QStringLiteral("데이터베이스 파일이 없습니다: ") + path);
    try {
        return std::make_unique<EmbeddedBackend>(dstore::FreightStore::open(path));
    } catch (const dstore::Error& e) {
        throw failedConnection(e.message);
    }
}

void SetBackendFactory(BackendFactory f) {
    factory() = std::move(f);
}

bool StoreChecksVersions() {
    // The same choice ReadConnectionSettings makes: no server is the embedded store. Then the
    // store itself says whether it is at the current schema.
    const QString host = CurrentDeployment().databaseServer;
    return (host.isEmpty() || dstore::isPostgresUri(host)) && StoreConnection && StoreConnection->checksVersions();
}

bool CurrentSchema(const std::function<std::shared_ptr<const dstore::ResultSet>(const QString&)>& query) {
    try {
        const auto rows = query(QStringLiteral("select 값 from 저장소정보 where 키='schema'"));
        return rows && rows->rowCount() > 0 && rows->text(0, 0).toInt() >= 2;
    } catch (const StoreFailure&) {
    } catch (const dstore::Error&) {
    }
    return false;
}

namespace {
UnsavedInputQuery& unsavedInputQuery() {
    static UnsavedInputQuery query;
    return query;
}
} // namespace

void SetUnsavedInputQuery(UnsavedInputQuery query) {
    unsavedInputQuery() = std::move(query);
}

namespace {
// A standby is promoted within seconds of its primary's loss, a restarted server is back in
// a few; either is over before an agent would want to be asked about it.
int quietReconnectMs = 20000;
constexpr int QuietPauseMs = 500;

ReconnectNotice& reconnectNotice() {
    static ReconnectNotice notice;
    return notice;
}

bool ReconnectWithoutAsking() {
    QElapsedTimer waited;
    waited.start();
    ShowReconnectNotice(true);
    bool back = false;
    while (!(back = ReconnectQuietly()) && waited.elapsed() + QuietPauseMs < quietReconnectMs)
        QThread::msleep(QuietPauseMs);
    ShowReconnectNotice(false);
    return back;
}
} // namespace

void SetQuietReconnectTime(int milliseconds) {
    quietReconnectMs = std::max(0, milliseconds);
}

int QuietReconnectTime() {
    return quietReconnectMs;
}

void SetReconnectNotice(ReconnectNotice notice) {
    reconnectNotice() = std::move(notice);
}

void ShowReconnectNotice(bool trying) {
    if (reconnectNotice()) reconnectNotice()(trying ? ReconnectingText : QString());
}

bool ConnectStore(int& attempts) {
    if (StoreReady && quietReconnectMs > 0 && ReconnectWithoutAsking()) return true;
    // A loop rather than the call to itself: up to 50 attempts, each bounded by the login time-out.
    for (;;) {
        const ConnectionSettings settings = ReadConnectionSettings();
        StoreConnection.reset();
        StoreReady = false;
        try {
            StoreConnection = factory() ? factory()(settings) : OpenBackend(settings);
            if (StoreConnection) {
                StoreReady = true;
                NameSessionUser();
                return true;
            }
        } catch (const StoreFailure&) {
        } catch (const dstore::Error&) {
        }
        ++attempts;
        if (attempts >= 50) {
            Prompt::refusal(QStringLiteral("재시도횟수 초과입니다."));
            return false;
        }
        if (attempts > 1 && !Prompt::askRetry(QStringLiteral("서버접속 에러입니다.\n다시 시도하시겠습니까?"))) {
            // An order half typed while the server went away is worth more than an ended
            // program: the agent may keep it on screen and save it once the server is back.
            const QString unsaved = unsavedInputQuery() ? unsavedInputQuery()() : QString();
            if (unsaved.isEmpty() ||
                Prompt::confirmRisky(
                    QStringLiteral("프로그램을 끝내면 %1이(가) 저장되지 않고 사라집니다.\n"
                                   "그래도 프로그램을 끝내시겠습니까?\n\n"
                                   "아니오: 프로그램을 그대로 두고 계속 작업합니다. 서버에 다시 "
                                   "연결될 때까지는 저장할 수 없습니다.")
                        .arg(unsaved)))
                EndProgram();
            return false;
        }
    }
}

void NameSessionUser() {
    if (!StoreConnection || LoginId.isEmpty()) return;
    try {
        StoreConnection->setSessionUser(LoginId);
    } catch (const StoreFailure&) {
    } catch (const dstore::Error&) {
        // The history then names the login: nothing the agent needs to hear of.
    }
}

bool ReconnectQuietly() {
    try {
        const ConnectionSettings settings = ReadConnectionSettings();
        std::unique_ptr<StoreBackend> fresh = factory() ? factory()(settings) : OpenBackend(settings);
        if (!fresh) return false;
        StoreConnection = std::move(fresh);
        StoreReady = true;
        NameSessionUser();
        return true;
    } catch (const StoreFailure&) {
    } catch (const dstore::Error&) {
    }
    return false;
}

void SetProgramEnd(ProgramEnd end) {
    programEnd() = std::move(end);
}

void EndProgram() {
    if (programEnd()) programEnd()();
    StoreConnection.reset();
    std::exit(0);
}
