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

// A read-only snapshot: column names plus rows of nullable UTF-8 texts. Cell bytes go into
// fixed 1 MiB chunks and cell records into fixed blocks, so a 100,000-row answer is filled
// with plain appends: nothing already stored is ever moved or copied while the answer grows.
class ResultSet {
public:
    ResultSet() = default;
    ResultSet(const ResultSet&) = delete;
    ResultSet& operator=(const ResultSet&) = delete;
    ResultSet(ResultSet&&) = default;
    ResultSet& operator=(ResultSet&&) = default;

    int columnCount() const { return int(m_columns.size()); }
    qsizetype rowCount() const { return m_columns.empty() ? 0 : qsizetype(m_cellCount / m_columns.size()); }
    const QByteArray& columnName(int col) const { return m_columns[size_t(col)]; }
    // -1 when no column has that name (ASCII case-insensitive, as SQL Server matches names).
    int columnIndex(QByteArrayView name) const;
    bool isNull(qsizetype row, int col) const { return cell(row, col).size < 0; }
    // The cell's UTF-8 bytes; empty for NULL.
    QByteArrayView bytes(qsizetype row, int col) const {
        const Cell& c = cell(row, col);
        return c.size <= 0 ? QByteArrayView() : QByteArrayView(c.data, c.size);
    }
    // The cell as text; NULL reads as "".
    QString text(qsizetype row, int col) const { return QString::fromUtf8(bytes(row, col)); }

    // Building (used by the store and by other backends that produce the same snapshot).
    void setColumns(std::vector<QByteArray> names) { m_columns = std::move(names); }
    void appendCell(QByteArrayView utf8);   // a text cell of the current row
    void appendNull();
    // A hint before a large fill; never required.
    void reserveCells(size_t cells, qsizetype bytes);

private:
    struct Cell {
        const char* data;
        qsizetype size;   // -1 for NULL
    };
    static constexpr size_t BlockBits = 12;                 // 4,096 cells per block
    static constexpr size_t BlockMask = (size_t(1) << BlockBits) - 1;
    static constexpr qsizetype ChunkBytes = 1 << 20;
    const Cell& cell(qsizetype row, int col) const {
        const size_t i = size_t(row) * m_columns.size() + size_t(col);
        return m_blocks[i >> BlockBits][i & BlockMask];
    }
    Cell& nextCell();
    std::vector<QByteArray> m_columns;
    std::vector<std::unique_ptr<Cell[]>> m_blocks;
    size_t m_cellCount = 0;
    std::vector<std::unique_ptr<char[]>> m_chunks;
    char* m_cursor = nullptr;
    qsizetype m_left = 0;
};

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
    // Runs one statement and discards any rows. Throws Error.
    void execute(QByteArrayView statement);

    sqlite3* handle() const { return m_db; } // for the demo-data filler and benchmarks
    // How long one statement may run before it is stopped with DB_E_TIMEOUT (30 s, as ADO's
    // command time-out).
    void setStatementLimit(std::chrono::milliseconds limit);

private:
    FreightStore(sqlite3* db, QString path);
    // Before each statement: a connection whose log was deleted under it opens afresh.
    void reopenWhenLogReplaced();
    void watch();   // the guard and the time limit on the current handle
    sqlite3* m_db = nullptr;
    QString m_path;
    std::chrono::steady_clock::time_point m_deadline{};   // of the statement running now
    std::chrono::milliseconds m_limit{30000};
    bool m_clientStatement = false; // true while a client's statement is being prepared
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
    int orders = 3000;      // orders spread over the last 60 days
    quint32 seed = 1;
    QDate today = QDate::currentDate();
};
void fillDemoData(FreightStore& store, const DemoOptions& options);

} // namespace dstore
