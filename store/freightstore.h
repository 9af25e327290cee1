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
#include <cstdint>
#include <memory>
#include <vector>

struct sqlite3;

namespace dstore {

// Error numbers as an ADO caller sees them.
constexpr qint64 E_FAIL_NUMBER = -2147467259;        // lost or failed connection
constexpr qint64 DB_E_ERRORSINCOMMAND = -2147217900; // syntax error, unknown procedure, wrong argument count
constexpr qint64 DB_E_INTEGRITYVIOLATION = -2147217873; // constraint violation
constexpr qint64 DB_E_TIMEOUT = -2147217871;         // busy past the time-out

struct Error {
    qint64 number = 0;
    QString message;
};

// A read-only snapshot: column names plus rows of nullable UTF-8 texts, kept in one arena so
// a 100,000-row answer costs one allocation per few rows rather than one per cell.
class ResultSet {
public:
    int columnCount() const { return int(m_columns.size()); }
    qsizetype rowCount() const { return m_columns.empty() ? 0 : qsizetype(m_offsets.size() / m_columns.size()); }
    const QByteArray& columnName(int col) const { return m_columns[size_t(col)]; }
    // -1 when no column has that name (ASCII case-insensitive, as SQL Server matches names).
    int columnIndex(QByteArrayView name) const;
    bool isNull(qsizetype row, int col) const { return cell(row, col).begin < 0; }
    // The cell's UTF-8 bytes; empty for NULL.
    QByteArrayView bytes(qsizetype row, int col) const;
    // The cell as text; NULL reads as "".
    QString text(qsizetype row, int col) const { return QString::fromUtf8(bytes(row, col)); }

    // Building (used by the store and by other backends that produce the same snapshot).
    void setColumns(std::vector<QByteArray> names) { m_columns = std::move(names); }
    void appendCell(QByteArrayView utf8);   // a text cell of the current row
    void appendNull();
    // A hint before a large fill; never required.
    void reserveCells(size_t cells, qsizetype bytes);

private:
    struct Cell { int64_t begin; int32_t size; };
    Cell cell(qsizetype row, int col) const { return m_offsets[size_t(row) * m_columns.size() + size_t(col)]; }
    std::vector<QByteArray> m_columns;
    std::vector<Cell> m_offsets;
    QByteArray m_arena;
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

private:
    explicit FreightStore(sqlite3* db) : m_db(db) {}
    sqlite3* m_db = nullptr;
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
