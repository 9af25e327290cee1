#pragma once
// The embedded freight store: one SQLite file holding the tables, views and procedures the
// call-centre client reads and writes. Statements arrive as the client writes them for SQL
// Server ("select ...", "update ...", "exec 오더저장  '...',..."); the store answers with a
// snapshot of text cells or with a provider-style error.
//
// This header is the contract between the store and its callers; the store room owns it.

#include <QByteArray>
#include <QByteArrayView>
#include <QDate>
#include <QString>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

struct sqlite3;

namespace dstore {

// Error numbers as an ADO caller sees them.
constexpr qint64 E_FAIL_NUMBER = -2147467259;        // lost or failed connection
constexpr qint64 DB_E_ERRORSINCOMMAND = -2147217900; // syntax error, unknown procedure, wrong argument count
constexpr qint64 DB_E_INTEGRITYVIOLATION = -2147217873; // constraint violation
constexpr qint64 DB_E_TIMEOUT = -2147217871;            // busy past the time-out
// The store answered but cannot do it: read-only, disk full, I/O error, damaged file.
constexpr qint64 DB_E_STOREREFUSED = -2147217887;

struct Error {
    qint64 number = 0;
    QString message;
};

// How a procedure refuses a write stated against a record as the desk saw it (its version or
// its status) when the record has moved since: the message begins with this text, the call
// changes nothing, and the desk reads the record afresh before trying again.
// The fewest characters a broker's password may have.
inline constexpr int MinimumPasswordLength = 4;

inline constexpr char RecordMovedText[] = "다른 곳에서 먼저 바뀐 자료입니다";

// A read-only snapshot: column names plus rows of nullable UTF-8 texts. Cell bytes lie back to
// back in one region and each cell keeps only where it ends (4 bytes), so a 100,000-row answer
// is filled with plain appends. A small answer's regions are heap blocks; past 64 KiB they are
// mapped from the system and grow by remapping (nothing stored is copied), and go straight back
// to the system when the snapshot is freed (or to the next answer, see ReuseAnswerStorage): a
// large answer leaves no heap behind it.
//
// A snapshot can be narrowed to the columns a list asked for (see ColumnPick). Looking up a
// name the list did not ask for is then a programming error, reported through
// UnrequestedColumnHandler instead of reading as a missing column.
class ResultSet {
public:
    ResultSet() = default;
    ResultSet(const ResultSet&) = delete;
    ResultSet& operator=(const ResultSet&) = delete;
    ResultSet(ResultSet&&) noexcept;
    ResultSet& operator=(ResultSet&&) noexcept;
    ~ResultSet();

    int columnCount() const { return int(m_columns.size()); }
    qsizetype rowCount() const { return m_columns.empty() ? 0 : qsizetype(m_cellCount / m_columns.size()); }
    const QByteArray& columnName(int col) const { return m_columns[size_t(col)]; }
    // -1 when no column has that name (ASCII case-insensitive, as SQL Server matches names).
    int columnIndex(QByteArrayView name) const;
    bool isNull(qsizetype row, int col) const { return end(index(row, col)) & NullBit; }
    // The cell's UTF-8 bytes; empty for NULL.
    QByteArrayView bytes(qsizetype row, int col) const {
        const size_t i = index(row, col);
        const quint32 e = end(i);
        if (e & NullBit) return {};
        const quint32 start = i == 0 ? 0 : end(i - 1) & ~NullBit;
        return QByteArrayView(m_text.data + start, qsizetype(e - start));
    }
    // The cell as text; NULL reads as "".
    QString text(qsizetype row, int col) const { return QString::fromUtf8(bytes(row, col)); }
    // The names a narrowed snapshot was asked for (those the answer lacked included); empty for
    // a full snapshot.
    const std::vector<QByteArray>& requested() const { return m_requested; }

    // Building (used by the store and by other backends that produce the same snapshot).
    void setColumns(std::vector<QByteArray> names) { m_columns = std::move(names); }
    // Marks the snapshot as holding only the columns asked for by name.
    void setRequested(std::vector<QByteArray> names) { m_requested = std::move(names); }
    // Throws Error{DB_E_STOREREFUSED} when the answer outgrows 2 GiB of text or the memory.
    void appendCell(QByteArrayView utf8) { // a text cell of the current row
        const size_t size = size_t(utf8.size());
        if (m_textSize + size > m_text.capacity || m_ends.capacity < (m_cellCount + 1) * sizeof(quint32))
            makeRoom(size);
        if (size) std::memcpy(m_text.data + m_textSize, utf8.data(), size);
        m_textSize += size;
        reinterpret_cast<quint32*>(m_ends.data)[m_cellCount++] = quint32(m_textSize);
    }
    void appendNull() {
        if (m_ends.capacity < (m_cellCount + 1) * sizeof(quint32)) makeRoom(0);
        reinterpret_cast<quint32*>(m_ends.data)[m_cellCount++] = quint32(m_textSize) | NullBit;
    }
    // A hint before a large fill; never required.
    void reserveCells(size_t cells, qsizetype bytes);
    // Bytes the snapshot holds mapped (text and cell ends), for benchmarks.
    size_t mappedBytes() const { return m_text.capacity + m_ends.capacity; }

private:
    // Cell storage: a heap block while the answer is small, then memory mapped from the system,
    // grown in place or moved by the kernel without copying.
    struct Region {
        char* data = nullptr;
        size_t capacity = 0; // bytes ready to be written
        size_t reserved = 0; // a mapped region's addresses, capacity and beyond
        bool mapped = false;
        void grow(size_t atLeast, size_t limit = ~size_t(0));
        void release();
    };
    static constexpr quint32 NullBit = 0x80000000u;
    size_t index(qsizetype row, int col) const { return size_t(row) * m_columns.size() + size_t(col); }
    quint32 end(size_t i) const { return reinterpret_cast<const quint32*>(m_ends.data)[i]; }
    // Room for one more cell of this many bytes (the regions grow by doubling).
    void makeRoom(size_t bytes);
    std::vector<QByteArray> m_columns;
    std::vector<QByteArray> m_requested;
    Region m_text;
    Region m_ends;
    size_t m_cellCount = 0;
    size_t m_textSize = 0;
};

// While one lives on this thread, the storage of large answers let go on this thread is kept for
// the next large answer read here instead of going back to the system; what is left goes back
// when the last one ends. A list listed again lets its old answer go just before it asks for the
// new one: writing the new answer into the old pages spares the kernel a fault for every page.
class ReuseAnswerStorage {
public:
    ReuseAnswerStorage();
    ~ReuseAnswerStorage();
    ReuseAnswerStorage(const ReuseAnswerStorage&) = delete;
    ReuseAnswerStorage& operator=(const ReuseAnswerStorage&) = delete;
};

// Reading a column a narrowed snapshot was not asked for: the list would show an empty cell where
// the store holds a value. The default handler stops the program in builds with assertions and
// logs a warning otherwise; test programs stop on it always.
using UnrequestedColumnHandler = void (*)(QByteArrayView name, const std::vector<QByteArray>& requested);
UnrequestedColumnHandler setUnrequestedColumnHandler(UnrequestedColumnHandler handler); // returns the old one
void stopOnUnrequestedColumn(QByteArrayView name, const std::vector<QByteArray>& requested);

// Which columns of an answer a snapshot keeps: the names asked, in the order asked, that the
// answer has (matched as columnIndex matches them); every column when nothing is asked.
class ColumnPick {
public:
    ColumnPick(const std::vector<QByteArray>& answerColumns, const std::vector<QByteArray>& asked);
    // Snapshot column i is answer column sources()[i].
    const std::vector<int>& sources() const { return m_sources; }
    // Gives an empty snapshot its columns and, when columns were asked, marks it narrowed.
    void prepare(ResultSet& rows) const;

private:
    std::vector<int> m_sources;
    std::vector<QByteArray> m_names;
    std::vector<QByteArray> m_asked;
};
// The asked columns of a full snapshot, copied (for answers that could not be narrowed as read).
std::shared_ptr<ResultSet> keepColumns(const ResultSet& rows, const std::vector<QByteArray>& asked);

class FreightStore {
public:
    // Opens an existing store file. Never creates one: a missing or unreadable file throws
    // Error{E_FAIL_NUMBER, ...}. Sets WAL mode and a busy time-out.
    static std::unique_ptr<FreightStore> open(const QString& path);
    // Creates a new, empty store (schema, views, procedure bodies) at path; throws Error when
    // the file exists already or cannot be written.
    static std::unique_ptr<FreightStore> create(const QString& path);
    ~FreightStore();

    // Runs one statement and returns its rows (empty, with no columns, for a statement that
    // returns none). Throws Error. "exec NAME args" runs the procedure kept in the store.
    std::shared_ptr<const ResultSet> query(QByteArrayView statement);
    // The same statement, but the snapshot holds only the columns asked for (by name, in that
    // order) and the others are never read out of the engine. An empty request reads them all.
    std::shared_ptr<const ResultSet> query(QByteArrayView statement, const std::vector<QByteArray>& columns);
    // Runs one statement and discards any rows. Throws Error.
    void execute(QByteArrayView statement);
    // Rows the last statement itself inserted, changed or deleted (a trigger's rows not
    // counted); 0 after a statement that wrote nothing.
    qint64 changedRows() const { return m_changedRows; }

    // The orders other connections changed since the version given (the highest 버전 seen),
    // oldest change first; `version` moves to the highest seen now. Cheap when nothing was
    // committed elsewhere: the engine's data version is compared first, no table is read.
    // At most `limit` orders; more sets *more. Throws Error.
    std::vector<qint64> ordersChangedSince(qint64& version, int limit, bool* more);

    // Who writes through this connection, as the store's history names it (the signed-in
    // broker); empty: this machine's login.
    void setSessionUser(const QString& who);

    sqlite3* handle() const { return m_db; } // for the demo-data filler and benchmarks
    // How long one statement may run before it is stopped with DB_E_TIMEOUT (30 s, as ADO's
    // command time-out).
    void setStatementLimit(std::chrono::milliseconds limit);

private:
    FreightStore(sqlite3* db, QString path);
    // Before each statement: a connection whose log was deleted under it opens afresh.
    void reopenWhenLogReplaced();
    void watch(); // the guard and the time limit on the current handle
    sqlite3* m_db = nullptr;
    QString m_path;
    std::chrono::steady_clock::time_point m_deadline{}; // of the statement running now
    std::chrono::milliseconds m_limit{30000};
    bool m_clientStatement = false; // true while a client's statement is being prepared
    qint64 m_changedRows = 0;
    qint64 m_dataVersion = -1; // the engine's data version at the last look for changes
    std::unique_ptr<struct StoreSession> m_session;
};

// Parsed form of "exec NAME arg,arg,...": quoted texts (doubled quotes inside) or bare numbers.
struct ExecArgument {
    QByteArray text;
    bool quoted = false;
};
struct ExecCall {
    QByteArray procedure;
    std::vector<ExecArgument> arguments;
};
// True when the statement starts with the keyword "exec" (any case, after blanks).
bool isExecStatement(QByteArrayView statement);
// Parses an exec statement; throws Error{DB_E_ERRORSINCOMMAND, ...} on malformed text.
ExecCall parseExec(QByteArrayView statement);

// Fills a freshly created store with deterministic demo data relative to today.
struct DemoOptions {
    int orders = 3000; // orders spread over the last 60 days
    quint32 seed = 1;
    QDate today = QDate::currentDate();
};
void fillDemoData(FreightStore& store, const DemoOptions& options);

} // namespace dstore
