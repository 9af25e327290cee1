// libFuzzer entry: any bytes as a client statement against a real store must end in rows or
// a provider error, never a crash, a hang or a second statement.
#include "freightstore.h"

#include <QDir>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir dir;
    static std::unique_ptr<dstore::FreightStore> store = [] {
        auto s = dstore::FreightStore::create(dir.filePath(QStringLiteral("fuzz.sqlite")));
        s->execute("insert into 코드_화주 (코드, 화주명) values ('1001', 'x')");
        return s;
    }();
    const QByteArrayView statement(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        dstore::parseExec(statement);
    } catch (const dstore::Error&) {
    }
    try {
        store->query(statement);
    } catch (const dstore::Error&) {
    }
    return 0;
}
