#pragma once
// A zip archive written front to back in one pass: each entry is deflated as its bytes arrive,
// its checksum and sizes are put into its header when it ends, and the directory follows the
// last entry. Nothing is held back but a buffer of compressed bytes, so an entry of any size
// costs the same memory.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <memory>
#include <vector>

class QFile;

class ZipWriter {
public:
    // `file` is open for writing and empty; `level` is zlib's (1 fastest ... 9 smallest).
    ZipWriter(QFile& file, int level);
    ~ZipWriter();
    ZipWriter(const ZipWriter&) = delete;
    ZipWriter& operator=(const ZipWriter&) = delete;

    bool begin(const char* name);
    bool write(const char* data, size_t size);
    bool end();
    // One whole entry.
    bool add(const char* name, QByteArrayView data) {
        return begin(name) && write(data.data(), size_t(data.size())) && end();
    }
    // Writes the directory and the file's last bytes; the file is then a complete archive.
    bool finish();

    // Why the last call answered false.
    const QString& error() const { return m_error; }

private:
    struct Entry {
        QByteArray name;
        quint32 crc = 0;
        quint64 packed = 0, size = 0, offset = 0;
    };
    bool put(const void* bytes, size_t size);
    bool deflate(const char* data, size_t size, bool last);
    bool flush();
    bool fail(const QString& why);

    QFile& m_file;
    struct Stream;
    std::unique_ptr<Stream> m_z;
    std::vector<char> m_out; // compressed bytes not yet in the file
    size_t m_used = 0;
    quint64 m_written = 0; // bytes already in the file
    std::vector<Entry> m_entries;
    QString m_error;
};
