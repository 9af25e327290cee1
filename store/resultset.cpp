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
// The addresses a large answer's region starts with (see ResultSet::Region::grow).
constexpr size_t ReservedRegionBytes = size_t(256) << 20;
// The most a mapped region is grown by at once.
constexpr size_t MaxGrowthBytes = size_t(4) << 20;

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
    struct Spare {
        char* data = nullptr;
        size_t reserved = 0; // bytes mapped
        size_t written = 0;  // of which pages are there
    };
    int keeping = 0;
    Spare slot[Slots];

    // A spare region of `bytes` to `most` bytes (the largest there is), or none.
    Spare take(size_t bytes, size_t most) {
        size_t best = Slots;
        for (size_t i = 0; i < Slots; ++i)
            if (slot[i].data && slot[i].reserved >= bytes && slot[i].reserved <= most &&
                (best == Slots || slot[i].reserved > slot[best].reserved))
                best = i;
        if (best == Slots) return {};
        return std::exchange(slot[best], {});
    }

    // Keeps a mapped region while reuse is on, in place of the smallest kept one; unmaps
    // whatever is not kept.
    void give(Spare region) {
        if (keeping > 0) {
            size_t smallest = 0;
            for (size_t i = 1; i < Slots; ++i)
                if (slot[i].written < slot[smallest].written) smallest = i;
            if (slot[smallest].written < region.written) std::swap(slot[smallest], region);
        }
        if (region.data) munmap(region.data, region.reserved);
    }

    void dropAll() {
        for (Spare& s : slot)
            if (s.data) {
                const Spare gone = std::exchange(s, {});
                munmap(gone.data, gone.reserved);
            }
    }
};

thread_local SpareRegions spares;

constexpr size_t LargePageBytes = size_t(2) << 20;

void preferLargePages(void* region, size_t bytes) {
    // A large answer is written from start to end at once: in pages of 2 MiB the kernel is asked
    // once for what would otherwise be hundreds of pages. Only a hint: where the system keeps
    // large pages off, nothing changes. A region is mapped only once an answer outgrows the
    // heap, and from there a large page costs less than the small pages it replaces: under a
    // hypervisor that keeps its own page tables the first write to every small page is an exit
    // of several microseconds (even after MADV_POPULATE_WRITE), which 30 pages already make
    // more than clearing one large page.
    (void)madvise(region, bytes, MADV_HUGEPAGE);
}

// `bytes` (a multiple of LargePageBytes) of addresses starting on a large-page boundary, so the
// region's first pages can be large too; MAP_FAILED where the system refuses them.
void* mapAligned(size_t bytes, int flags) {
    void* p = mmap(nullptr, bytes + LargePageBytes, PROT_READ | PROT_WRITE, flags, -1, 0);
    if (p == MAP_FAILED) return p;
    const uintptr_t at = uintptr_t(p), start = (at + LargePageBytes - 1) & ~uintptr_t(LargePageBytes - 1);
    if (start > at) munmap(p, start - at);
    munmap(reinterpret_cast<void*>(start + bytes), at + LargePageBytes - start);
    return reinterpret_cast<void*>(start);
}

// Pages about to be written from start to end are asked for at once: one call into the kernel
// instead of a fault per page, which under a hypervisor costs an exit each. Only a hint: an older
// kernel faults them in as they are written.
void populate(char* region, size_t from, size_t to) {
#ifdef MADV_POPULATE_WRITE
    if (to > from) (void)madvise(region + from, to - from, MADV_POPULATE_WRITE);
#else
    Q_UNUSED(region), Q_UNUSED(from), Q_UNUSED(to);
#endif
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
    // A mapped region grows by what it holds, at most a few megabytes at a time: the pages are
    // asked for as they are about to be written, not long before.
    if (mapped) size = std::max(atLeast, capacity + std::min(capacity, MaxGrowthBytes));
    size = std::min((size + page - 1) / page * page, limit / page * page);
    if (size < atLeast) outOfRoom("answer text beyond 2 GiB");
    if (mapped && size <= reserved) {
        populate(data, capacity, size);
        capacity = size;
        return;
    }
    // A large answer: a spare region takes it if one is large enough (what is stored so far
    // moves over once, and the spare's pages are there already).
    SpareRegions::Spare spare = spares.take(size, limit);
    if (!spare.data && mapped) {
        void* p = mremap(data, reserved, size, MREMAP_MAYMOVE);
        if (p == MAP_FAILED) outOfRoom("answer too large to hold");
        data = static_cast<char*>(p);
        preferLargePages(data, size);
        populate(data, capacity, size);
        capacity = reserved = size;
        return;
    }
    if (!spare.data) {
        // The first mapping spans far more addresses than it needs: a page costs nothing until it
        // is written, and an answer that grows within it never has to be moved (moving a
        // mapping makes the kernel flush every processor's address cache, which under a
        // hypervisor costs more than the copying it saves). Where the system refuses so many
        // addresses, the answer is mapped as large as it is and grows as before.
        const size_t reserve = std::max(size, std::min(ReservedRegionBytes, limit / LargePageBytes * LargePageBytes));
        void* p = reserve > size && reserve % LargePageBytes == 0
                      ? mapAligned(reserve, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE)
                      : MAP_FAILED;
        spare.reserved = reserve;
        if (p == MAP_FAILED) {
            p = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
            spare.reserved = size;
        }
        if (p == MAP_FAILED) outOfRoom("answer too large to hold");
        spare.data = static_cast<char*>(p);
        preferLargePages(spare.data, spare.reserved);
    }
    if (spare.written < size) populate(spare.data, spare.written, size);
    if (data) {
        std::memcpy(spare.data, data, capacity);
        release();
    }
    data = spare.data;
    reserved = spare.reserved;
    capacity = std::max(size, spare.written);
    mapped = true;
}

void ResultSet::Region::release() {
    if (data && mapped)
        spares.give({data, reserved, capacity});
    else
        std::free(data);
    data = nullptr;
    capacity = reserved = 0;
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
