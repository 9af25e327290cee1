#include "spreadmodel.h"

#include <algorithm>
#include <new>
#include <utility>
#include <sys/mman.h>
#include <unistd.h>

namespace {
constexpr size_t MappedRowArrayBytes = 1024 * 1024;
}

template <class T>
T* SpreadModel::RowArrayAllocator<T>::allocate(size_t n) {
    const size_t bytes = n * sizeof(T);
    if (bytes < MappedRowArrayBytes) return std::allocator<T>().allocate(n);
    // Mapped from a large-page boundary: a mapping that starts between two gets no large page
    // before the first boundary, and one under 4 MiB may get none at all.
    constexpr size_t LargePageBytes = size_t(2) << 20;
    const size_t page = size_t(sysconf(_SC_PAGESIZE)), kept = (bytes + page - 1) / page * page;
    void* mapped = mmap(nullptr, kept + LargePageBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) throw std::bad_alloc();
    const uintptr_t at = uintptr_t(mapped), start = (at + LargePageBytes - 1) & ~uintptr_t(LargePageBytes - 1);
    if (start > at) munmap(mapped, start - at);
    munmap(reinterpret_cast<void*>(start + kept), at + LargePageBytes - start);
    void* p = reinterpret_cast<void*>(start);
    // Written from start to end at once: large pages, where the system offers them, spare the
    // page faults, and the pages are asked for in one call rather than a fault each (under a
    // hypervisor every fault is an exit).
    (void)madvise(p, bytes, MADV_HUGEPAGE);
#ifdef MADV_POPULATE_WRITE
    (void)madvise(p, bytes, MADV_POPULATE_WRITE);
#endif
    return static_cast<T*>(p);
}

template <class T>
void SpreadModel::RowArrayAllocator<T>::deallocate(T* p, size_t n) {
    const size_t bytes = n * sizeof(T);
    if (bytes < MappedRowArrayBytes)
        std::allocator<T>().deallocate(p, n);
    else
        munmap(p, bytes);
}

template struct SpreadModel::RowArrayAllocator<SpreadModel::Row>;
template struct SpreadModel::RowArrayAllocator<SpreadModel::RowData>;

SpreadModel::RowData* SpreadModel::RowPool::make() {
    if (!m_free.empty()) {
        RowData* row = m_free.back();
        m_free.pop_back();
        return row;
    }
    if (m_blocks.empty() || m_blocks.back().size() == m_blocks.back().capacity()) {
        // Blocks double from a screenful: a list whose rows are built as they come into view
        // builds few, and a long one filled row by row gets blocks as large as the row array's.
        const size_t size = m_blocks.empty() ? 32 : std::min<size_t>(m_blocks.back().capacity() * 2, 16384);
        m_blocks.emplace_back().reserve(size);
    }
    return &m_blocks.back().emplace_back();
}

void SpreadModel::RowPool::drop(RowData* row) {
    if (!row) return;
    *row = RowData();
    m_free.push_back(row);
}

void SpreadModel::RowPool::clear() {
    decltype(m_blocks)().swap(m_blocks);
    decltype(m_free)().swap(m_free);
}

void SpreadModel::dropRowsFrom(size_t from) {
    for (size_t r = from; r < m_rows.size(); ++r)
        m_pool.drop(std::exchange(m_rows[r].data, nullptr));
}

SpreadModel::SpreadModel(QObject* parent) : QAbstractTableModel(parent) {}

int SpreadModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

int SpreadModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_cols;
}

QVariant SpreadModel::data(const QModelIndex& index, int role) const {
    // Views may still ask about rows a buffered fill has already dropped.
    if (!index.isValid() || !validRow(index.row()) || index.column() >= m_cols) return {};
    const int row = index.row(), col = index.column();
    const bool check = cellKind(col) == CellKind::CheckBox;
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
    case Qt::ToolTipRole:
        return check ? checkText(col) : cellText(row, col);
    case Qt::ForegroundRole: {
        if (!m_looks.isEmpty()) {
            const QColor fore = cellLook(row, col).fore;
            if (fore.isValid()) return fore;
        }
        const QRgb c = view(row).colour;
        return c ? QVariant(QColor::fromRgba(c)) : QVariant();
    }
    case Qt::BackgroundRole: {
        const QColor back = m_looks.isEmpty() ? QColor() : cellLook(row, col).back;
        if (back.isValid()) return back;
        if (!m_tagBacks.isEmpty()) {
            const auto it = m_tagBacks.constFind(view(row).tag);
            if (it != m_tagBacks.cend()) return QColor::fromRgba(*it);
        }
        return {};
    }
    case Qt::TextAlignmentRole: {
        Qt::Alignment align = m_looks.isEmpty() ? Qt::Alignment() : cellLook(row, col).align;
        if (!align) align = columnAlignment(col);
        return align ? QVariant(int(align)) : QVariant();
    }
    case Qt::FontRole: {
        if (m_looks.isEmpty()) return {};
        const auto it = m_looks.constFind(lookKey(row, col));
        return it != m_looks.cend() && it->font ? QVariant(*it->font) : QVariant();
    }
    case Qt::CheckStateRole:
        if (check) return checked(row, col) ? Qt::Checked : Qt::Unchecked;
        return {};
    default:
        return {};
    }
}

bool SpreadModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || !validRow(index.row()) || index.column() >= m_cols) return false;
    // Cells are read-only; ticking a check-box cell is the one change the user makes.
    if (role != Qt::CheckStateRole || cellKind(index.column()) != CellKind::CheckBox) return false;
    setChecked(index.row(), index.column(), value.toInt() == Qt::Checked);
    return true;
}

Qt::ItemFlags SpreadModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (index.column() < m_cols && cellKind(index.column()) == CellKind::CheckBox)
        f |= Qt::ItemIsUserCheckable;
    return f;
}

QVariant SpreadModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || section < 0) return {};
    if (orientation == Qt::Vertical) return section < rowTotal() ? QVariant(section + 1) : QVariant();
    return section < m_cols ? QVariant(m_headers.value(section)) : QVariant();
}

void SpreadModel::setRowTotal(int rows) {
    rows = std::max(rows, 0);
    const int now = rowTotal();
    if (rows == now) return;
    if (rows < now) dropLooksBeyond(rows, m_cols);
    // An emptied grid gives its row array back: the next fill reserves what it needs once,
    // instead of keeping the largest list ever shown for the rest of the session.
    const auto shrink = [&] {
        if (rows == 0) {
            decltype(m_rows)().swap(m_rows);
            m_pool.clear();
        } else {
            dropRowsFrom(size_t(rows));
            m_rows.resize(size_t(rows));
        }
        // A source whose rows are all gone is let go, and with it what it read from. Once rows
        // were put in or taken out between a source's rows, only an emptied grid tells that.
        if (rows == 0) {
            m_sources.clear();
            m_rowsMoved = false;
        }
        while (!m_rowsMoved && !m_sources.empty() && m_sources.back().first >= rows)
            m_sources.pop_back();
    };
    if (m_buffering) {
        if (rows < now)
            shrink();
        else
            m_rows.resize(size_t(rows));
        return;
    }
    if (rows < now) {
        beginRemoveRows({}, rows, now - 1);
        shrink();
        endRemoveRows();
    } else {
        beginInsertRows({}, now, rows - 1);
        m_rows.resize(size_t(rows));
        endInsertRows();
    }
}

void SpreadModel::setColumnTotal(int cols) {
    cols = std::max(cols, 0);
    if (cols == m_cols) return;
    const int now = m_cols;
    if (cols < now) {
        buildAll(); // so an unbuilt row does not bring the dropped cells back later
        dropLooksBeyond(rowTotal(), cols);
        if (m_colAligns.size() > size_t(cols)) m_colAligns.resize(size_t(cols));
        if (!m_buffering) beginRemoveColumns({}, cols, now - 1);
        // Dropped cells must not come back when the grid is widened again.
        for (Row& slot : m_rows) {
            if (!slot.data) continue;
            RowData& r = *slot.data;
            if (r.ends.size() > size_t(cols)) {
                r.cells.truncate(cols ? qsizetype(r.ends[size_t(cols) - 1]) : 0);
                r.ends.resize(size_t(cols));
            }
            if (r.checks.size() > size_t(cols)) r.checks.resize(size_t(cols));
        }
        m_cols = cols;
        m_headers = m_headers.mid(0, cols);
        m_checkTexts = m_checkTexts.mid(0, cols);
        m_kinds.resize(size_t(cols));
        if (!m_buffering) endRemoveColumns();
    } else {
        if (!m_buffering) beginInsertColumns({}, now, cols - 1);
        m_cols = cols;
        while (m_headers.size() < cols)
            m_headers << QString();
        while (m_checkTexts.size() < cols)
            m_checkTexts << QString();
        m_kinds.resize(size_t(cols), CellKind::Edit);
        if (!m_buffering) endInsertColumns();
    }
}

QString SpreadModel::cellText(int row, int col) const {
    if (!validRow(row) || col < 0 || col >= m_cols) return {};
    const RowData& r = view(row);
    if (size_t(col) >= r.ends.size()) return {};
    const qsizetype start = col ? qsizetype(r.ends[size_t(col) - 1]) : 0;
    return r.cells.mid(start, qsizetype(r.ends[size_t(col)]) - start);
}

QStringList SpreadModel::rowTexts(int row) const {
    QStringList out;
    if (!validRow(row)) return out;
    out.reserve(m_cols);
    for (int c = 0; c < m_cols; ++c)
        out << cellText(row, c);
    return out;
}

void SpreadModel::writeCell(RowData& r, int col, QStringView value) {
    const size_t c = size_t(col);
    if (c >= r.ends.size()) {
        if (value.isEmpty()) return;
        const quint32 end = r.ends.empty() ? 0 : r.ends.back();
        r.ends.resize(c, end);
        r.cells += value;
        r.ends.push_back(quint32(r.cells.size()));
        return;
    }
    const qsizetype start = c ? qsizetype(r.ends[c - 1]) : 0;
    const qsizetype oldLength = qsizetype(r.ends[c]) - start;
    r.cells.replace(start, oldLength, value.toString());
    const qint64 delta = value.size() - oldLength;
    for (size_t i = c; i < r.ends.size(); ++i)
        r.ends[i] = quint32(qint64(r.ends[i]) + delta);
}

void SpreadModel::setCellText(int row, int col, const QString& value) {
    if (!validRow(row) || col < 0 || col >= m_cols) return;
    writeCell(built(row), col, value);
    cellChanged(row, col, col, {Qt::DisplayRole, Qt::EditRole, Qt::ToolTipRole});
}

void SpreadModel::reserveRows(int rows) {
    if (rows > 0 && size_t(rows) > m_rows.capacity()) m_rows.reserve(size_t(rows));
}

void SpreadModel::JoinTexts(const QStringList& texts, QString& cells, std::vector<quint32>& ends) {
    qsizetype total = 0;
    for (const QString& t : texts)
        total += t.size();
    cells.clear();
    cells.reserve(total);
    ends.clear();
    ends.reserve(size_t(texts.size()));
    for (const QString& t : texts) {
        cells += t;
        ends.push_back(quint32(cells.size()));
    }
}

void SpreadModel::appendRow(const QStringList& texts, const QString& tag, const QColor& colour) {
    QString cells;
    std::vector<quint32> ends;
    JoinTexts(texts, cells, ends);
    appendJoinedRow(std::move(cells), std::move(ends), tag, colour);
}

namespace {
// Trailing empty cells need no offsets.
void DropEmptyTail(std::vector<quint32>& ends) {
    while (!ends.empty() && (ends.size() == 1 ? ends[0] == 0 : ends.back() == ends[ends.size() - 2]))
        ends.pop_back();
}
} // namespace

void SpreadModel::appendJoinedRow(QString cells, std::vector<quint32> ends, const QString& tag,
                                  const QColor& colour) {
    placeJoinedRow(rowTotal(), std::move(cells), std::move(ends), tag, colour);
}

void SpreadModel::placeJoinedRow(int at, QString cells, std::vector<quint32> ends, const QString& tag,
                                 const QColor& colour) {
    if (qsizetype(ends.size()) > m_cols) setColumnTotal(int(ends.size()));
    DropEmptyTail(ends);
    Row r;
    r.data = m_pool.make();
    r.data->cells = std::move(cells);
    r.data->ends = std::move(ends);
    r.data->tag = tag;
    r.data->colour = colour.isValid() ? colour.rgba() : 0;
    if (!m_buffering) beginInsertRows({}, at, at);
    m_rows.insert(m_rows.begin() + at, r);
    if (!m_buffering) endInsertRows();
}

void SpreadModel::appendSourceRows(std::shared_ptr<RowSource> source) {
    if (!source) return;
    const qsizetype count = source->rowCount();
    if (count <= 0) return;
    if (source->columnCount() > m_cols) setColumnTotal(source->columnCount());
    const int at = rowTotal();
    if (!m_buffering) beginInsertRows({}, at, at + int(count) - 1);
    m_rows.resize(size_t(at) + size_t(count));
    const qint32 block = qint32(m_sources.size());
    for (size_t r = size_t(at); r < m_rows.size(); ++r) {
        m_rows[r].block = block;
        m_rows[r].sourceRow = qint32(r - size_t(at));
    }
    m_sources.push_back({at, std::move(source)});
    if (!m_buffering) endInsertRows();
}

int SpreadModel::builtRows() const {
    return int(std::count_if(m_rows.cbegin(), m_rows.cend(), [](const Row& r) { return !r.pending(); }));
}

SpreadModel::RowData& SpreadModel::built(int row) const {
    Row& slot = m_rows[size_t(row)];
    if (slot.data) return *slot.data;
    slot.data = m_pool.make();
    RowData& r = *slot.data;
    if (slot.block < 0) return r;
    QColor colour;
    m_sources[size_t(slot.block)].source->buildRow(slot.sourceRow, r.cells, r.ends, r.tag, colour);
    r.colour = colour.isValid() ? colour.rgba() : 0;
    // The grid may have been narrowed since the rows came: cells beyond it are gone, as they
    // are for built rows.
    if (r.ends.size() > size_t(m_cols)) {
        r.cells.truncate(m_cols ? qsizetype(r.ends[size_t(m_cols) - 1]) : 0);
        r.ends.resize(size_t(m_cols));
    }
    DropEmptyTail(r.ends);
    return r;
}

const SpreadModel::RowData& SpreadModel::view(int row) const {
    static const RowData empty;
    const Row& slot = m_rows[size_t(row)];
    if (slot.data) return *slot.data;
    return slot.block >= 0 ? built(row) : empty;
}

void SpreadModel::buildAll() {
    if (m_sources.empty()) return;
    for (int r = 0; r < rowTotal(); ++r)
        built(r);
}

void SpreadModel::setHeader(int col, const QString& text) {
    if (col < 0 || col >= m_cols) return;
    m_headers[col] = text;
    if (!m_buffering) Q_EMIT headerDataChanged(Qt::Horizontal, col, col);
}

QString SpreadModel::tag(int row) const {
    if (!validRow(row)) return {};
    const Row& r = m_rows[size_t(row)];
    if (r.data) return r.data->tag;
    if (r.block < 0) return {};
    return m_sources[size_t(r.block)].source->rowTag(r.sourceRow);
}

void SpreadModel::insertJoinedRow(int row, QString cells, std::vector<quint32> ends, const QString& tag,
                                  const QColor& colour) {
    row = std::clamp(row, 0, rowTotal());
    // Rows after it no longer stand where their source put them.
    m_rowsMoved = m_rowsMoved || row < rowTotal();
    placeJoinedRow(row, std::move(cells), std::move(ends), tag, colour);
}

void SpreadModel::replaceJoinedRow(int row, QString cells, std::vector<quint32> ends, const QString& tag,
                                   const QColor& colour) {
    if (!validRow(row)) return;
    DropEmptyTail(ends);
    Row& slot = m_rows[size_t(row)];
    if (!slot.data) slot.data = m_pool.make();
    RowData& r = *slot.data;
    r.cells = std::move(cells);
    r.ends = std::move(ends);
    r.tag = tag;
    r.colour = colour.isValid() ? colour.rgba() : 0;
    if (!m_buffering && m_cols > 0) Q_EMIT dataChanged(index(row, 0), index(row, m_cols - 1));
}

void SpreadModel::removeRowAt(int row) {
    if (!validRow(row)) return;
    if (!m_buffering) beginRemoveRows({}, row, row);
    m_pool.drop(m_rows[size_t(row)].data);
    m_rows.erase(m_rows.begin() + row);
    m_rowsMoved = true;
    if (!m_buffering) endRemoveRows();
}

void SpreadModel::setTagBackground(const QString& tag, const QColor& colour) {
    if (colour.isValid())
        m_tagBacks.insert(tag, colour.rgba());
    else
        m_tagBacks.remove(tag);
}

void SpreadModel::setTag(int row, const QString& tag) {
    if (validRow(row)) built(row).tag = tag;
}

QColor SpreadModel::rowColour(int row) const {
    if (!validRow(row)) return {};
    const QRgb c = view(row).colour;
    return c ? QColor::fromRgba(c) : QColor();
}

void SpreadModel::setRowColour(int firstRow, int lastRow, const QColor& colour) {
    if (firstRow > lastRow) std::swap(firstRow, lastRow);
    firstRow = std::max(firstRow, 0);
    lastRow = std::min(lastRow, rowTotal() - 1);
    if (firstRow > lastRow) return;
    const QRgb c = colour.isValid() ? colour.rgba() : 0;
    for (int r = firstRow; r <= lastRow; ++r)
        if (c || m_rows[size_t(r)].data || m_rows[size_t(r)].pending()) built(r).colour = c;
    if (!m_buffering && m_cols > 0)
        Q_EMIT dataChanged(index(firstRow, 0), index(lastRow, m_cols - 1), {Qt::ForegroundRole});
}

CellKind SpreadModel::cellKind(int col) const {
    return col >= 0 && size_t(col) < m_kinds.size() ? m_kinds[size_t(col)] : CellKind::Edit;
}

void SpreadModel::setCellKind(int col, CellKind kind) {
    if (col < 0 || col >= m_cols || m_kinds[size_t(col)] == kind) return;
    m_kinds[size_t(col)] = kind;
    if (!m_buffering && rowTotal() > 0) Q_EMIT dataChanged(index(0, col), index(rowTotal() - 1, col));
}

void SpreadModel::setCheckText(int col, const QString& text) {
    if (col < 0 || col >= m_cols) return;
    m_checkTexts[col] = text;
    if (!m_buffering && rowTotal() > 0 && cellKind(col) == CellKind::CheckBox)
        Q_EMIT dataChanged(index(0, col), index(rowTotal() - 1, col), {Qt::DisplayRole});
}

bool SpreadModel::checked(int row, int col) const {
    if (!validRow(row) || col < 0) return false;
    const RowData* r = m_rows[size_t(row)].data;
    return r && size_t(col) < r->checks.size() && r->checks[size_t(col)];
}

void SpreadModel::setChecked(int row, int col, bool on) {
    if (!validRow(row) || col < 0 || col >= m_cols) return;
    if (!on && !m_rows[size_t(row)].data) return;
    auto& checks = built(row).checks;
    if (size_t(col) >= checks.size()) {
        if (!on) return;
        checks.resize(size_t(m_cols), false);
    }
    if (checks[size_t(col)] == on) return;
    checks[size_t(col)] = on;
    cellChanged(row, col, col, {Qt::CheckStateRole});
}

void SpreadModel::dropLooksBeyond(int rows, int cols) {
    // A grid emptied and filled again starts with plain cells, as it starts with empty texts.
    for (auto it = m_looks.begin(); it != m_looks.end();) {
        if (int(it.key() >> 32) >= rows || int(quint32(it.key())) >= cols)
            it = m_looks.erase(it);
        else
            ++it;
    }
}

void SpreadModel::setCellLook(int row, int col, const CellLook& look) {
    if (!validRow(row) || col < 0 || col >= m_cols) return;
    m_looks.insert(lookKey(row, col), look);
    cellChanged(row, col, col);
}

Qt::Alignment SpreadModel::columnAlignment(int col) const {
    return col >= 0 && size_t(col) < m_colAligns.size() ? m_colAligns[size_t(col)] : Qt::Alignment();
}

void SpreadModel::setColumnAlignment(int col, Qt::Alignment align) {
    if (col < 0 || col >= m_cols) return;
    if (m_colAligns.size() < size_t(m_cols)) m_colAligns.resize(size_t(m_cols));
    m_colAligns[size_t(col)] = align;
    if (!m_buffering && rowTotal() > 0)
        Q_EMIT dataChanged(index(0, col), index(rowTotal() - 1, col), {Qt::TextAlignmentRole});
}

void SpreadModel::removeColumnsAt(int col, int count) {
    if (col < 0 || col >= m_cols || count <= 0) return;
    count = std::min(count, m_cols - col);
    if (size_t(col) < m_colAligns.size())
        m_colAligns.erase(m_colAligns.begin() + col,
                          m_colAligns.begin() + std::min<qsizetype>(col + count, qsizetype(m_colAligns.size())));
    if (!m_looks.isEmpty()) {
        // Looks stay with their cells: those right of the removed columns move left with them.
        QHash<quint64, CellLook> moved;
        for (auto it = m_looks.cbegin(); it != m_looks.cend(); ++it) {
            const int r = int(it.key() >> 32), c = int(quint32(it.key()));
            if (c < col)
                moved.insert(it.key(), it.value());
            else if (c >= col + count)
                moved.insert(lookKey(r, c - count), it.value());
        }
        m_looks = std::move(moved);
    }
    buildAll(); // an unbuilt row would come with the removed columns still in it
    if (!m_buffering) beginRemoveColumns({}, col, col + count - 1);
    for (Row& slot : m_rows) {
        if (!slot.data) continue;
        RowData& r = *slot.data;
        if (size_t(col) < r.ends.size()) {
            const int stored = int(r.ends.size());
            RowData rebuilt;
            for (int c = 0; c < stored; ++c) {
                if (c >= col && c < col + count) continue;
                const qsizetype start = c ? qsizetype(r.ends[size_t(c) - 1]) : 0;
                rebuilt.cells += QStringView(r.cells).mid(start, qsizetype(r.ends[size_t(c)]) - start);
                rebuilt.ends.push_back(quint32(rebuilt.cells.size()));
            }
            r.cells = std::move(rebuilt.cells);
            r.ends = std::move(rebuilt.ends);
        }
        if (size_t(col) < r.checks.size())
            r.checks.erase(r.checks.begin() + col,
                           r.checks.begin() + std::min<qsizetype>(col + count, qsizetype(r.checks.size())));
    }
    m_headers.remove(col, count);
    m_checkTexts.remove(col, count);
    m_kinds.erase(m_kinds.begin() + col, m_kinds.begin() + col + count);
    m_cols -= count;
    if (!m_buffering) endRemoveColumns();
}

void SpreadModel::copyFrom(const SpreadModel& other) {
    if (&other == this) return;
    if (!m_buffering) beginResetModel();
    m_rows.clear();
    m_pool.clear();
    m_rows.reserve(other.m_rows.size());
    for (const Row& r : other.m_rows) {
        Row& copy = m_rows.emplace_back(r);
        if (r.data) *(copy.data = m_pool.make()) = *r.data;
    }
    m_sources = other.m_sources; // unbuilt rows build from the same source, read-only
    m_cols = other.m_cols;
    m_headers = other.m_headers;
    m_kinds = other.m_kinds;
    m_checkTexts = other.m_checkTexts;
    m_looks = other.m_looks;
    m_colAligns = other.m_colAligns;
    if (!m_buffering) endResetModel();
}

void SpreadModel::beginBuffering() {
    if (m_buffering) return;
    beginResetModel();
    m_buffering = true;
}

void SpreadModel::endBuffering() {
    if (!m_buffering) return;
    m_buffering = false;
    endResetModel();
}

qsizetype SpreadModel::rowBytes(int row) const {
    if (!validRow(row)) return 0;
    // Each heap block costs its payload plus Qt's header and the allocator's own bookkeeping.
    constexpr qsizetype blockOverhead = 32;
    qsizetype bytes = qsizetype(sizeof(Row));
    if (!m_rows[size_t(row)].data) return bytes;
    const RowData& r = *m_rows[size_t(row)].data;
    bytes += qsizetype(sizeof(RowData));
    if (r.cells.capacity()) bytes += r.cells.capacity() * 2 + blockOverhead;
    if (r.ends.capacity()) bytes += qsizetype(r.ends.capacity() * sizeof(quint32)) + 16;
    if (r.tag.capacity()) bytes += r.tag.capacity() * 2 + blockOverhead;
    if (r.checks.capacity()) bytes += qsizetype(r.checks.capacity() / 8) + 16;
    return bytes;
}

void SpreadModel::cellChanged(int row, int firstCol, int lastCol, const QList<int>& roles) {
    if (m_buffering) return;
    Q_EMIT dataChanged(index(row, firstCol), index(row, lastCol), roles);
}
