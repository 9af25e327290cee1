#include "odbcbackend.h"

std::unique_ptr<StoreBackend> OpenOdbcBackend(const ConnectionSettings&) {
    throw StoreFailure{E_FAIL_NUMBER, QStringLiteral("not yet"), false};
}
QString OdbcConnectionString(const ConnectionSettings&) { return {}; }
