#pragma once
// libpq, loaded when the first PostgreSQL store is opened (or its address read) instead of with
// the program: a desk on the embedded store never maps it, nor the Kerberos, LDAP and TLS
// libraries it brings. The declarations are libpq's own; only the calls go through here.
#include <libpq-fe.h>

namespace dstore::pq {

#define DELMORA_LIBPQ_CALLS(X)                                                                              \
    X(PQclear)                                                                                              \
    X(PQcmdTuples)                                                                                          \
    X(PQconnectdbParams)                                                                                    \
    X(PQconninfoFree)                                                                                       \
    X(PQconninfoParse)                                                                                      \
    X(PQconsumeInput)                                                                                       \
    X(PQerrorMessage)                                                                                       \
    X(PQescapeIdentifier)                                                                                   \
    X(PQescapeLiteral)                                                                                      \
    X(PQexec)                                                                                               \
    X(PQexecParams)                                                                                         \
    X(PQfinish)                                                                                             \
    X(PQfname)                                                                                              \
    X(PQfreemem)                                                                                            \
    X(PQftype)                                                                                              \
    X(PQgetResult)                                                                                          \
    X(PQgetisnull)                                                                                          \
    X(PQgetlength)                                                                                          \
    X(PQgetvalue)                                                                                           \
    X(PQnfields)                                                                                            \
    X(PQnotifies)                                                                                           \
    X(PQntuples)                                                                                            \
    X(PQputCopyData)                                                                                        \
    X(PQputCopyEnd)                                                                                         \
    X(PQresultErrorField)                                                                                   \
    X(PQresultStatus)                                                                                       \
    X(PQsendQuery)                                                                                          \
    X(PQsendQueryParams)                                                                                    \
    X(PQsetNoticeReceiver)                                                                                  \
    X(PQsocket)                                                                                             \
    X(PQstatus)

struct Calls {
#define DELMORA_LIBPQ_POINTER(name) decltype(&::name) name = nullptr;
    DELMORA_LIBPQ_CALLS(DELMORA_LIBPQ_POINTER)
#undef DELMORA_LIBPQ_POINTER
};

// libpq's calls, the library loaded on the first use. Throws ServerError (the store was never
// reached) with a Korean message when the library is missing or lacks a call; once loaded, never
// throws.
const Calls& calls();

} // namespace dstore::pq
