// The snapshot every statement answers with. Cell bytes live back to back in fixed chunks and
// are addressed by (pointer, size) records, so filling a large answer never moves what is
// already stored.
#include "freightstore.h"
#include <algorithm>
#include <cstring>

namespace dstore {

namespace {
char asciiLower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

bool sameNameIgnoringAsciiCase(QByteArrayView a, QByteArrayView b) {
    if (a.size() != b.size()) return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (asciiLower(a[i]) != asciiLower(b[i])) return false;
    return true;
}
} // namespace

int ResultSet::columnIndex(QByteArrayView name) const {
    for (size_t i = 0; i < m_columns.size(); ++i)
        if (sameNameIgnoringAsciiCase(m_columns[i], name)) return int(i);
    return -1;
}

ResultSet::Cell& ResultSet::nextCell() {
    const size_t i = m_cellCount++;
    if ((i >> BlockBits) >= m_blocks.size()) m_blocks.push_back(std::make_unique<Cell[]>(BlockMask + 1));
    return m_blocks[i >> BlockBits][i & BlockMask];
}

void ResultSet::appendCell(QByteArrayView utf8) {
    Cell& c = nextCell();
    c.size = utf8.size();
    if (c.size == 0) {
        c.data = nullptr;
        return;
    }
    if (c.size > m_left) {
        // A cell larger than a chunk gets a chunk of its own size.
        const qsizetype size = std::max(ChunkBytes, c.size);
        m_chunks.push_back(std::make_unique_for_overwrite<char[]>(size_t(size)));
        m_cursor = m_chunks.back().get();
        m_left = size;
    }
    std::memcpy(m_cursor, utf8.data(), size_t(c.size));
    c.data = m_cursor;
    m_cursor += c.size;
    m_left -= c.size;
}

void ResultSet::appendNull() {
    Cell& c = nextCell();
    c.data = nullptr;
    c.size = -1;
}

void ResultSet::reserveCells(size_t cells, qsizetype) {
    m_blocks.reserve((cells >> BlockBits) + 1);
}

} // namespace dstore
