#pragma once
#include "freightstore.h"

namespace dstore {

// Where the demo generator writes: one table at a time, a row per call. The embedded store and
// a server store take the same rows, so both hold the same demo office.
class DemoTable {
public:
    virtual ~DemoTable() = default;
    // A null QByteArray is stored as NULL. Answers the new row's key.
    virtual qint64 insert(const std::vector<QByteArray>& values) = 0;
};
class DemoTarget {
public:
    virtual ~DemoTarget() = default;
    virtual std::unique_ptr<DemoTable> table(const char* name, const std::vector<const char*>& columns) = 0;
    virtual void begin() = 0;
    virtual void commit() = 0;
    virtual void rollback() noexcept = 0;
};
void fillDemoData(DemoTarget& target, const DemoOptions& options);
// The administrative address directory (real provinces, districts and towns) every store carries.
void fillAddressDirectory(DemoTarget& target);

} // namespace dstore
