#pragma once
// A client statement as PostgreSQL must read it to answer as the other stores do.
#include <QByteArray>

namespace dstore {

// `like` becomes `ilike` (Latin letters match in either case), and every `order by` key without
// its own `nulls` clause gets the other stores' place for empty values (first ascending, last
// descending). Quoted texts, quoted names and comments are copied as they are.
QByteArray postgresStatement(QByteArrayView statement);

} // namespace dstore
