#pragma once
// The one store connection, its snapshots and the connection routine.
#include "freightstore.h"
#include <QHash>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

constexpr qint64 E_FAIL_NUMBER = dstore::E_FAIL_NUMBER;
constexpr qint64 ADO_STILL_CONNECTING = 3713;
constexpr qint64 ADO_OBJECT_CLOSED = 3704;
constexpr qint64 ADO_OBJECT_OPEN = 3705;
constexpr qint64 ADO_ITEM_NOT_FOUND = 3265;

// What a failed statement raises.
struct StoreFailure {
    qint64 number = 0;
    QString description;
    // False when the statement certainly never reached the store (the link was found dead
    // before sending); a write that failed with this false is safe to repeat.
    bool mayHaveReachedStore = true;
};

// A forward cursor over one snapshot; columns read by (Korean) name, NULL reads as "".
class SharedRecordset {
public:
    SharedRecordset() = default;
    explicit SharedRecordset(std::shared_ptr<const dstore::ResultSet> rows) : m_rows(std::move(rows)) {}
    bool EOF_() const { return !m_rows || m_row >= m_rows->rowCount(); }
    bool eof() const { return EOF_(); }
    void MoveNext() { ++m_row; }
    qsizetype RecordCount() const { return m_rows ? m_rows->rowCount() : 0; }
    // Throws StoreFailure{3265} when the snapshot has no such column, or at end of data.
    QString field(const QString& name) const;
    QString field(int column) const;
    int columnIndex(const QString& name) const; // -1 when absent
    const dstore::ResultSet* rows() const { return m_rows.get(); }
    qsizetype position() const { return m_row; }

private:
    std::shared_ptr<const dstore::ResultSet> m_rows;
    qsizetype m_row = 0;
    // Names already looked up in this snapshot. A list that reads many rows asks
    // columnIndex once per column and reads by index.
    mutable std::shared_ptr<QHash<QString, int>> m_names;
    int lookUp(const QString& name) const;
};

// The columns a list screen reads from an answer, by name. A snapshot asked for with a
// column request holds only those columns, in the order named; names the answer lacks are
// left out (the screen finds them missing, as it would in a full snapshot). Looking up a name
// that was not asked for is a programming error: it stops the program in builds with assertions
// and in every test program (dstore::setUnrequestedColumnHandler), instead of reading as empty.
using ColumnRequest = std::vector<QByteArray>;

// What a store tells of other desks' writes. A store that cannot tell (SQL Server) is not
// supported: its lists count down to a full reload instead.
struct StoreChanges {
    bool supported = false;
    bool everything = false;     // more changed than a list should patch: read it all again
    std::vector<qint64> orders;  // the orders written, each once
};

// One backend: the embedded store, PostgreSQL or SQL Server over ODBC. All throw StoreFailure.
class StoreBackend {
public:
    virtual ~StoreBackend() = default;
    virtual std::shared_ptr<const dstore::ResultSet> query(const QString& statement) = 0;
    // The statement as sent, but the snapshot holds only the requested columns (all of them
    // for an empty request). Backends that can drop the other columns as rows arrive override
    // this; the fallback copies the asked ones out of the full answer.
    virtual std::shared_ptr<const dstore::ResultSet> query(const QString& statement,
                                                           const ColumnRequest& columns) {
        const auto rows = query(statement);
        return columns.empty() || !rows ? rows : dstore::keepColumns(*rows, columns);
    }
    virtual void execute(const QString& statement) = 0;
    // Rows the last execute inserted, changed or deleted; -1 when the backend cannot tell.
    virtual qint64 changedRows() const { return -1; }
    // The store is one of ours at the current schema (see StoreChecksVersions); asked of the
    // store once, past any statement recording.
    virtual bool checksVersions() { return false; }
    // What other desks changed since the last look (see StoreChanges); cheap enough to ask
    // every fraction of a second. Throws StoreFailure{E_FAIL} when the link is gone.
    virtual StoreChanges pollChanges() { return {}; }
    // Names the signed-in broker to the store, for the history its triggers keep.
    virtual void setSessionUser(const QString& who) { Q_UNUSED(who); }
};

// Whether a store answering `query` is at the current schema (a failed question answers no).
bool CurrentSchema(const std::function<std::shared_ptr<const dstore::ResultSet>(const QString&)>& query);

// Connection settings as ConnectStore reads them.
struct ConnectionSettings {
    QString catalog;        // DB명 or national_corvanta
    QString user;           // DB아이디 or "sa"
    QString password;       // DB비밀번호, or the built-in password for "sa"
    QString server;         // database server + ",8916"; a postgresql:// URI; "" = embedded store
    QString connectionText; // "Initial Catalog=...;Data Source = '...';"
};
ConnectionSettings ReadConnectionSettings();

constexpr int STORE_PORT = 8916;
// The login used when Setting.ini names none.
inline const QString BuiltInStoreUser = QStringLiteral("sa");
inline const QString BuiltInStorePassword = QStringLiteral("Tk4629_%!wd");
// The embedded store's file for a catalog; "" when the catalog could name a file elsewhere.
QString EmbeddedStorePath(const QString& catalog);
// What is shown when a write's connection died after it was sent.
inline const QString OutcomeUnknownText =
    QStringLiteral("서버와의 연결이 끊어져 처리 결과를 확인할 수 없습니다. 목록을 다시 조회해 확인하세요.");

// What is shown when that connection could not be made again either.
inline const QString OutcomeUnknownOfflineText = QStringLiteral(
    "서버와의 연결이 끊어져 처리 결과를 확인할 수 없습니다. 처리되었을 수 있으니 연결이 돌아오면 "
    "목록에서 확인한 뒤 다시 하세요.");


// Opens a backend for the settings: the embedded store file ProgramFolder()/<catalog>.sqlite
// when no server is named (never created: a missing file is a failed connection), PostgreSQL
// for a "postgresql://" URI, else SQL Server over ODBC/FreeTDS. Throws StoreFailure.
std::unique_ptr<StoreBackend> OpenBackend(const ConnectionSettings& settings);

// Tests wrap the real backends (recording, fault injection) by installing a factory;
// an empty function restores OpenBackend.
using BackendFactory = std::function<std::unique_ptr<StoreBackend>(const ConnectionSettings&)>;
void SetBackendFactory(BackendFactory factory);

// True when the store is one of ours (the embedded store or the office's PostgreSQL store) at
// the current schema: its rows carry versions, its procedures take what the desk saw as
// optional trailing arguments and a new order's request key. A SQL Server store is not ours to
// change, and an office store not yet upgraded has none of this; neither gets them.
bool StoreChecksVersions();

// What the user would lose if the program ended now ("" when nothing): the open screens tell.
// A refused reconnect asks before ending the program when there is any.
using UnsavedInputQuery = std::function<QString()>;
void SetUnsavedInputQuery(UnsavedInputQuery query);

// Process-wide connection state.
extern std::unique_ptr<StoreBackend> StoreConnection;
extern bool StoreReady;
extern QString SqlText; // the statement most recently sent (diagnostics)

// Opens StoreConnection afresh. A desk that had its store (a server restarting, a standby
// taking over from a primary that died) first tries again without a question for the quiet
// reconnect time, a try every half second, with ReconnectingText shown; then as at start-up.
// The counter is by reference: the first failure retries silently, from the second on the user is asked "서버접속 에러입니다." / "다시 시도하시겠습니까?"
// (아니오 ends the program, after a question of its own when typed input would be lost: then
// the user may keep working without the store and false is returned), and at 50 "재시도횟수 초과입니다." is shown and false returned.
bool ConnectStore(int& attempts);

// How long a desk that lost its store keeps trying before it asks (0: it asks at once).
void SetQuietReconnectTime(int milliseconds);
int QuietReconnectTime();
// Shown to the agent while the desk tries to reach its store again without asking; the main
// window shows it (an empty text takes it away again).
inline const QString ReconnectingText = QStringLiteral("서버에 다시 연결하는 중…");
using ReconnectNotice = std::function<void(const QString& text)>;
void SetReconnectNotice(ReconnectNotice notice);
void ShowReconnectNotice(bool trying);

// Opens StoreConnection afresh without a word to the user (a list keeping itself up to date
// after the server came back); false when the store is still out of reach, and then the old
// connection stays as it was.
bool ReconnectQuietly();
// Tells the store who signs in at this desk (after sign-in and after every new connection).
void NameSessionUser();

// How the program ends "at once" (the real one calls std::exit after closing windows);
// tests replace it with one that throws.
using ProgramEnd = std::function<void()>;
void SetProgramEnd(ProgramEnd end);
[[noreturn]] void EndProgram();
