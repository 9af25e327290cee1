#include "zipwriter.h"
#include <QFile>
#include <cstring>
#include <zlib.h>

namespace {
constexpr size_t kOutBuffer = 256 * 1024;
constexpr quint64 kLimit = 0xFFFFFFFFu; // sizes and offsets are four bytes without Zip64
// Every entry carries 1980-01-01 00:00, the first date a zip header can hold: the workbook's
// own properties say when it was made.
constexpr quint16 kDosDate = (0 << 9) | (1 << 5) | 1, kDosTime = 0;
constexpr quint16 kVersion = 20; // 2.0: deflate
constexpr quint16 kDeflated = 8;

void le16(char*& p, quint16 v) {
    *p++ = char(v & 0xFF);
    *p++ = char(v >> 8);
}
void le32(char*& p, quint32 v) {
    for (int i = 0; i < 4; ++i)
        *p++ = char((v >> (8 * i)) & 0xFF);
}

const QString kTooLarge = QStringLiteral("통합 문서가 4GB를 넘어 저장할 수 없습니다.");
} // namespace

struct ZipWriter::Stream {
    z_stream z{};
    bool ready = false;
    quint32 crc = 0;
    quint64 packed = 0, size = 0;
};

ZipWriter::ZipWriter(QFile& file, int level)
    : m_file(file), m_z(std::make_unique<Stream>()), m_out(kOutBuffer) {
    // Raw deflate (no zlib header), as a zip entry holds it.
    m_z->ready = deflateInit2(&m_z->z, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) == Z_OK;
}

ZipWriter::~ZipWriter() {
    if (m_z->ready) deflateEnd(&m_z->z);
}

bool ZipWriter::fail(const QString& why) {
    if (m_error.isEmpty()) m_error = why;
    return false;
}

bool ZipWriter::flush() {
    if (m_used == 0) return true;
    if (m_file.write(m_out.data(), qint64(m_used)) != qint64(m_used)) return fail(m_file.errorString());
    m_written += m_used;
    m_used = 0;
    return true;
}

bool ZipWriter::put(const void* bytes, size_t size) {
    if (m_used + size > m_out.size() && !flush()) return false;
    if (size > m_out.size()) {
        if (m_file.write(static_cast<const char*>(bytes), qint64(size)) != qint64(size))
            return fail(m_file.errorString());
        m_written += size;
        return true;
    }
    std::memcpy(m_out.data() + m_used, bytes, size);
    m_used += size;
    return true;
}

bool ZipWriter::begin(const char* name) {
    if (!m_z->ready) return fail(QStringLiteral("압축을 시작할 수 없습니다."));
    if (!m_error.isEmpty()) return false;
    Entry e;
    e.name = name;
    e.offset = m_written + m_used;
    if (e.offset > kLimit) return fail(kTooLarge);
    m_entries.push_back(e);
    deflateReset(&m_z->z);
    m_z->crc = quint32(crc32(0, nullptr, 0));
    m_z->packed = m_z->size = 0;
    // Checksum and sizes are zero until the entry ends (see end()).
    char header[30];
    char* p = header;
    le32(p, 0x04034b50);
    le16(p, kVersion);
    le16(p, 0);
    le16(p, kDeflated);
    le16(p, kDosTime);
    le16(p, kDosDate);
    le32(p, 0);
    le32(p, 0);
    le32(p, 0);
    le16(p, quint16(e.name.size()));
    le16(p, 0);
    return put(header, sizeof header) && put(e.name.constData(), size_t(e.name.size()));
}

bool ZipWriter::deflate(const char* data, size_t size, bool last) {
    z_stream& z = m_z->z;
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
    z.avail_in = uInt(size);
    for (;;) {
        if (m_used == m_out.size() && !flush()) return false;
        z.next_out = reinterpret_cast<Bytef*>(m_out.data() + m_used);
        z.avail_out = uInt(m_out.size() - m_used);
        const int status = ::deflate(&z, last ? Z_FINISH : Z_NO_FLUSH);
        const size_t made = m_out.size() - m_used - z.avail_out;
        m_used += made;
        m_z->packed += made;
        if (status == Z_STREAM_ERROR) return fail(QStringLiteral("압축하지 못했습니다."));
        if (last ? status == Z_STREAM_END : z.avail_in == 0 && z.avail_out > 0) return true;
    }
}

bool ZipWriter::write(const char* data, size_t size) {
    if (!m_error.isEmpty()) return false;
    constexpr size_t piece = size_t(1) << 30; // zlib counts in 32 bits
    while (size > 0) {
        const size_t n = std::min(size, piece);
        m_z->crc = quint32(crc32(m_z->crc, reinterpret_cast<const Bytef*>(data), uInt(n)));
        m_z->size += n;
        if (!deflate(data, n, false)) return false;
        data += n;
        size -= n;
    }
    if (m_z->size > kLimit) return fail(kTooLarge);
    return true;
}

bool ZipWriter::end() {
    if (!m_error.isEmpty() || !deflate(nullptr, 0, true)) return false;
    Entry& e = m_entries.back();
    e.crc = m_z->crc;
    e.packed = m_z->packed;
    e.size = m_z->size;
    if (e.packed > kLimit || e.size > kLimit) return fail(kTooLarge);
    char sizes[12];
    char* p = sizes;
    le32(p, e.crc);
    le32(p, quint32(e.packed));
    le32(p, quint32(e.size));
    const quint64 at = e.offset + 14;
    if (at >= m_written) { // the header is still in the buffer
        std::memcpy(m_out.data() + (at - m_written), sizes, sizeof sizes);
        return true;
    }
    if (!flush()) return false;
    if (!m_file.seek(qint64(at)) || m_file.write(sizes, sizeof sizes) != qint64(sizeof sizes) ||
        !m_file.seek(qint64(m_written)))
        return fail(m_file.errorString());
    return true;
}

bool ZipWriter::finish() {
    if (!m_error.isEmpty()) return false;
    const quint64 start = m_written + m_used;
    for (const Entry& e : m_entries) {
        char header[46];
        char* p = header;
        le32(p, 0x02014b50);
        le16(p, kVersion);
        le16(p, kVersion);
        le16(p, 0);
        le16(p, kDeflated);
        le16(p, kDosTime);
        le16(p, kDosDate);
        le32(p, e.crc);
        le32(p, quint32(e.packed));
        le32(p, quint32(e.size));
        le16(p, quint16(e.name.size()));
        le16(p, 0); // extra field
        le16(p, 0); // comment
        le16(p, 0); // disk
        le16(p, 0); // internal attributes
        le32(p, 0); // external attributes
        le32(p, quint32(e.offset));
        if (!put(header, sizeof header) || !put(e.name.constData(), size_t(e.name.size()))) return false;
    }
    const quint64 directory = m_written + m_used - start;
    if (start > kLimit || start + directory > kLimit) return fail(kTooLarge);
    char tail[22];
    char* p = tail;
    le32(p, 0x06054b50);
    le16(p, 0);
    le16(p, 0);
    le16(p, quint16(m_entries.size()));
    le16(p, quint16(m_entries.size()));
    le32(p, quint32(directory));
    le32(p, quint32(start));
    le16(p, 0);
    return put(tail, sizeof tail) && flush();
}
