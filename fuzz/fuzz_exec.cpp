// libFuzzer entry: any bytes as a client statement against a real store must end in rows or
// a provider error, never a crash, a hang, a second statement or a changed schema. Each input
// runs inside a transaction that is rolled back, so one input's rows never steer the next.
#include "freightstore.h"

#include <QDir>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <sqlite3.h>

namespace {
QByteArray schemaOf(sqlite3* db) {
    QByteArray out;
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(
        db, "select type || name || tbl_name || coalesce(sql, '') from sqlite_master order by name", -1,
        &stmt, nullptr);
    while (sqlite3_step(stmt) == SQLITE_ROW)
        out += reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
    sqlite3_finalize(stmt);
    return out;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir dir;
    static std::unique_ptr<dstore::FreightStore> store = [] {
        auto s = dstore::FreightStore::create(dir.filePath(QStringLiteral("fuzz.sqlite")));
        s->execute("insert into 코드_화주 (코드, 화주명) values ('1001', 'x')");
        s->execute("insert into 화물오더 (날짜) values ('2026-12-08')");
        return s;
    }();
    static const QByteArray schema = schemaOf(store->handle());
    const QByteArrayView statement(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        dstore::parseExec(statement);
    } catch (const dstore::Error&) {
    }
    sqlite3_exec(store->handle(), "begin", nullptr, nullptr, nullptr);
    try {
        store->query(statement);
    } catch (const dstore::Error&) {
    }
    sqlite3_exec(store->handle(), "rollback", nullptr, nullptr, nullptr);
    if (schemaOf(store->handle()) != schema) {
        std::fprintf(stderr, "the statement changed the store's schema\n");
        std::abort();
    }
    return 0;
}
