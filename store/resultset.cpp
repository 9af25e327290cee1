// The snapshot every statement answers with. Cell bytes live back to back in one mapped region
// and each cell records only its end, so filling a large answer never moves what is already
// stored through the heap, and freeing it hands every page back to the system at once.
#include "freightstore.h"

#include <QtGlobal>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <sys/mman.h>
#include <unistd.h>

namespace dstore {

namespace {
char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

bool sameNameIgnoringAsciiCase(QByteArrayView a, QByteArrayView b) {
    if (a.size() != b.size()) return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (asciiLower(a[i]) != asciiLower(b[i])) return false;
    return true;
}

int findName(const std::vector<QByteArray>& names, QByteArrayView name) {
    for (size_t i = 0; i < names.size(); ++i)
        if (sameNameIgnoringAsciiCase(names[i], name)) return int(i);
    return -1;
}

// The first mapping of a region: small answers (a record, a code list) take a few pages only.
constexpr size_t FirstRegionBytes = 64 * 1024;
constexpr size_t MaxTextBytes = 0x7fffffffu;

[[noreturn]] void outOfRoom(const char* what) {
    throw Error{DB_E_STOREREFUSED, QStringLiteral("메모리가 부족합니다: %1").arg(QLatin1String(what))};
}

void defaultUnrequested(QByteArrayView name, const std::vector<QByteArray>& requested) {
#ifdef NDEBUG
    QByteArray asked;
    for (const QByteArray& n : requested)
        asked += (asked.isEmpty() ? "" : ", ") + n;
    qWarning("column %s read but not requested (requested: %s)", name.toByteArray().constData(),
             asked.constData());
#else
    stopOnUnrequestedColumn(name, requested);
#endif
}

std::atomic<UnrequestedColumnHandler> unrequestedHandler{defaultUnrequested};
} // namespace

void stopOnUnrequestedColumn(QByteArrayView name, const std::vector<QByteArray>& requested) {
    QByteArray asked;
    for (const QByteArray& n : requested)
        asked += (asked.isEmpty() ? "" : ", ") + n;
    qFatal("column %s read but not requested (requested: %s)", name.toByteArray().constData(),
           asked.constData());
}

UnrequestedColumnHandler setUnrequestedColumnHandler(UnrequestedColumnHandler handler) {
    return unrequestedHandler.exchange(handler ? handler : defaultUnrequested);
}

void ResultSet::Region::grow(size_t atLeast, size_t limit) {
    const size_t page = size_t(sysconf(_SC_PAGESIZE));
    size_t size = std::max({atLeast, capacity * 2, FirstRegionBytes});
    size = std::min((size + page - 1) / page * page, limit / page * page);
    if (size < atLeast) outOfRoom("answer text beyond 2 GiB");
    void* p = data ? mremap(data, capacity, size, MREMAP_MAYMOVE)
                   : mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) outOfRoom("answer too large to hold");
    data = static_cast<char*>(p);
    capacity = size;
}

void ResultSet::Region::release() {
    if (data) munmap(data, capacity);
    data = nullptr;
    capacity = 0;
}

ResultSet::ResultSet(ResultSet&& other) noexcept
    : m_columns(std::move(other.m_columns)), m_requested(std::move(other.m_requested)),
      m_text(std::exchange(other.m_text, {})), m_ends(std::exchange(other.m_ends, {})),
      m_cellCount(std::exchange(other.m_cellCount, 0)), m_textSize(std::exchange(other.m_textSize, 0)) {}

ResultSet& ResultSet::operator=(ResultSet&& other) noexcept {
    if (this == &other) return *this;
    m_text.release();
    m_ends.release();
    m_columns = std::move(other.m_columns);
    m_requested = std::move(other.m_requested);
    m_text = std::exchange(other.m_text, {});
    m_ends = std::exchange(other.m_ends, {});
    m_cellCount = std::exchange(other.m_cellCount, 0);
    m_textSize = std::exchange(other.m_textSize, 0);
    return *this;
}

ResultSet::~ResultSet() {
    m_text.release();
    m_ends.release();
}

int ResultSet::columnIndex(QByteArrayView name) const {
    const int found = findName(m_columns, name);
    // A name asked for that the answer lacks is missing, as in a full snapshot; one never asked
    // for would read empty although the store may hold a value.
    if (found < 0 && !m_requested.empty() && findName(m_requested, name) < 0)
        unrequestedHandler.load()(name, m_requested);
    return found;
}

void ResultSet::makeRoom(size_t bytes) {
    // The text never outgrows what a cell's end can address (below NullBit).
    if (m_textSize + bytes > m_text.capacity) m_text.grow(m_textSize + bytes, MaxTextBytes);
    if ((m_cellCount + 1) * sizeof(quint32) > m_ends.capacity)
        m_ends.grow((m_cellCount + 1) * sizeof(quint32));
}

void ResultSet::reserveCells(size_t cells, qsizetype bytes) {
    if (cells * sizeof(quint32) > m_ends.capacity) m_ends.grow(cells * sizeof(quint32));
    if (bytes > 0 && size_t(bytes) <= MaxTextBytes && size_t(bytes) > m_text.capacity)
        m_text.grow(size_t(bytes), MaxTextBytes);
}

ColumnPick::ColumnPick(const std::vector<QByteArray>& answerColumns, const std::vector<QByteArray>& asked)
    : m_asked(asked) {
    if (asked.empty()) {
        m_names = answerColumns;
        for (size_t c = 0; c < answerColumns.size(); ++c)
            m_sources.push_back(int(c));
        return;
    }
    for (const QByteArray& name : asked) {
        const int source = findName(answerColumns, name);
        if (source < 0) continue;
        m_sources.push_back(source);
        m_names.push_back(answerColumns[size_t(source)]);
    }
}

void ColumnPick::prepare(ResultSet& rows) const {
    rows.setColumns(m_names);
    rows.setRequested(m_asked); // empty: a full snapshot
}

std::shared_ptr<ResultSet> keepColumns(const ResultSet& rows, const std::vector<QByteArray>& asked) {
    std::vector<QByteArray> names;
    for (int c = 0; c < rows.columnCount(); ++c)
        names.push_back(rows.columnName(c));
    const ColumnPick pick(names, asked);
    auto kept = std::make_shared<ResultSet>();
    pick.prepare(*kept);
    for (qsizetype r = 0; r < rows.rowCount(); ++r) {
        for (const int c : pick.sources()) {
            if (rows.isNull(r, c))
                kept->appendNull();
            else
                kept->appendCell(rows.bytes(r, c));
        }
    }
    return kept;
}

} // namespace dstore
