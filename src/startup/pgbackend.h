#pragma once
// The office's shared store on PostgreSQL (libpq), chosen by a "postgresql://" database_server.
#include "storeconnection.h"

// Opens a connection for the settings (server: the libpq URI). The login is Setting.ini's
// DB아이디/DB비밀번호 when it names one, otherwise libpq's own (~/.pgpass, PG* environment).
// Throws StoreFailure{E_FAIL} when the server cannot be reached or refuses the login.
std::unique_ptr<StoreBackend> OpenPgBackend(const ConnectionSettings& settings);
