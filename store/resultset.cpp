// The snapshot every statement answers with. Cells live back to back in one byte arena and
// are addressed by (offset, size) pairs, so filling a large answer costs amortised appends
// rather than one allocation per cell.
#include "freightstore.h"

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

QByteArrayView ResultSet::bytes(qsizetype row, int col) const {
    const Cell c = cell(row, col);
    if (c.begin < 0) return {};
    return QByteArrayView(m_arena.constData() + c.begin, c.size);
}

void ResultSet::appendCell(QByteArrayView utf8) {
    m_offsets.push_back(Cell{m_arena.size(), int32_t(utf8.size())});
    m_arena.append(utf8.data(), utf8.size());
}

void ResultSet::appendNull() { m_offsets.push_back(Cell{-1, 0}); }

void ResultSet::reserveCells(size_t cells, qsizetype bytes) {
    m_offsets.reserve(cells);
    m_arena.reserve(bytes);
}

} // namespace dstore
