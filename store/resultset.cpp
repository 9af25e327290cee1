// The snapshot every statement answers with. Cell bytes live back to back in one region and each
// cell records only its end. A small answer's region is a heap block; a large one's is mapped
// from the system, so filling it never moves what is already stored through the heap and
// freeing it hands every page back at once (or to the next answer, see ReuseAnswerStorage).
#include "freightstore.h"

#include <QtGlobal>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <utility>
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

// The first block of a region: small answers (a record, a code list) take a few pages only.
constexpr size_t FirstRegionBytes = 16 * 1024;
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

namespace {
// Storage of large answers let go while a ReuseAnswerStorage lives on this thread: the next
// large answer read on this thread is written into it. Two places: an answer's text and its
// cell ends.
struct SpareRegions {
    static constexpr size_t MinBytes = 64 * 1024;
    static constexpr size_t Slots = 2;
    int keeping = 0;
    char* data[Slots] = {};
    size_t capacity[Slots] = {};

    // A spare region of `bytes` to `most` bytes (the largest there is), or none.
    std::pair<char*, size_t> take(size_t bytes, size_t most) {
        size_t best = Slots;
        for (size_t i = 0; i < Slots; ++i)
            if (data[i] && capacity[i] >= bytes && capacity[i] <= most &&
                (best == Slots || capacity[i] > capacity[best]))
                best = i;
        if (best == Slots) return {nullptr, 0};
        return {std::exchange(data[best], nullptr), std::exchange(capacity[best], 0)};
    }

    // Keeps a mapped region while reuse is on, in place of the smallest kept one; unmaps
    // whatever is not kept.
    void give(char* region, size_t bytes) {
        if (keeping > 0) {
            size_t smallest = 0;
            for (size_t i = 1; i < Slots; ++i)
                if (capacity[i] < capacity[smallest]) smallest = i;
            if (capacity[smallest] < bytes) {
                std::swap(data[smallest], region);
                std::swap(capacity[smallest], bytes);
            }
        }
        if (region) munmap(region, bytes);
    }

    void dropAll() {
        for (size_t i = 0; i < Slots; ++i)
            if (data[i]) munmap(std::exchange(data[i], nullptr), std::exchange(capacity[i], 0));
    }
};

thread_local SpareRegions spares;

void preferLargePages(void* region, size_t bytes) {
    // A large answer is written from start to end at once: in pages of 2 MiB the kernel is asked
    // once for what would otherwise be hundreds of page faults. Only a hint: where the system
    // keeps large pages off, nothing changes.
    constexpr size_t LargePageBytes = 2 * 1024 * 1024;
    if (bytes >= 2 * LargePageBytes) (void)madvise(region, bytes, MADV_HUGEPAGE);
}
} // namespace

ReuseAnswerStorage::ReuseAnswerStorage() {
    ++spares.keeping;
}

ReuseAnswerStorage::~ReuseAnswerStorage() {
    if (--spares.keeping == 0) spares.dropAll();
}

void ResultSet::Region::grow(size_t atLeast, size_t limit) {
    size_t size = std::max({atLeast, capacity * 2, FirstRegionBytes});
    if (size < SpareRegions::MinBytes) {
        // A small answer (a record, a code list, a day's orders) stays in the heap, whose
        // pages are already there: no mapping to make, fault in and tear down for each.
        size = std::min(size, limit);
        if (size < atLeast) outOfRoom("answer text beyond 2 GiB");
        void* p = std::realloc(data, size);
        if (!p) outOfRoom("answer too large to hold");
        data = static_cast<char*>(p);
        capacity = size;
        return;
    }
    const size_t page = size_t(sysconf(_SC_PAGESIZE));
    size = std::min((size + page - 1) / page * page, limit / page * page);
    if (size < atLeast) outOfRoom("answer text beyond 2 GiB");
    // A large answer: a spare region takes it if one is large enough (what is stored so far
    // moves over once, and the spare's size saves the doublings that would follow).
    auto [moved, movedCapacity] = spares.take(size, limit);
    if (!moved && mapped) {
        void* p = mremap(data, capacity, size, MREMAP_MAYMOVE);
        if (p == MAP_FAILED) outOfRoom("answer too large to hold");
        data = static_cast<char*>(p);
        capacity = size;
        preferLargePages(data, capacity);
        return;
    }
    if (!moved) {
        void* p = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p == MAP_FAILED) outOfRoom("answer too large to hold");
        moved = static_cast<char*>(p);
        movedCapacity = size;
        preferLargePages(moved, movedCapacity);
    }
    if (data) {
        std::memcpy(moved, data, capacity);
        if (mapped)
            munmap(data, capacity);
        else
            std::free(data);
    }
    data = moved;
    capacity = movedCapacity;
    mapped = true;
}

void ResultSet::Region::release() {
    if (data && mapped)
        spares.give(data, capacity);
    else
        std::free(data);
    data = nullptr;
    capacity = 0;
    mapped = false;
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
