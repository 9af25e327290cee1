#include "libpqcalls.h"
#include "pgstore.h"

#include <dlfcn.h>

namespace dstore::pq {

namespace {
// libpq's own soname: the ABI this program was built against.
constexpr char LibraryName[] = "libpq.so.5";

struct Loaded {
    Calls calls;
    QString failure; // empty once every call is there
};

Loaded load() {
    Loaded l;
    void* library = dlopen(LibraryName, RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        l.failure = QStringLiteral("PostgreSQL 연결 라이브러리(%1)를 불러올 수 없습니다. libpq5 패키지가 설치되어 "
                                   "있는지 확인하십시오.\n%2")
                        .arg(QLatin1String(LibraryName), QString::fromLocal8Bit(dlerror()));
        return l;
    }
    // Never unloaded: its calls are kept for the life of the program.
#define DELMORA_LIBPQ_RESOLVE(name)                                                                       \
    l.calls.name = reinterpret_cast<decltype(&::name)>(dlsym(library, #name));                               \
    if (!l.calls.name && l.failure.isEmpty())                                                                \
        l.failure = QStringLiteral("PostgreSQL 연결 라이브러리(%1)가 너무 오래되었습니다: %2 없음.")         \
                        .arg(QLatin1String(LibraryName), QLatin1String(#name));
    DELMORA_LIBPQ_CALLS(DELMORA_LIBPQ_RESOLVE)
#undef DELMORA_LIBPQ_RESOLVE
    return l;
}
} // namespace

const Calls& calls() {
    static const Loaded loaded = load();
    if (!loaded.failure.isEmpty()) {
        ServerError e;
        e.number = E_FAIL_NUMBER;
        e.message = loaded.failure;
        e.mayHaveReachedStore = false;
        throw e;
    }
    return loaded.calls;
}

} // namespace dstore::pq
