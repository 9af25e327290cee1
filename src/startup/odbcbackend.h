#pragma once
// SQL Server over ODBC (unixODBC + FreeTDS through Qt's QODBC driver).
#include "storeconnection.h"

// Opens a connection for the settings (server "host,8916"); throws StoreFailure{E_FAIL} when
// the server cannot be reached or refuses the login.
std::unique_ptr<StoreBackend> OpenOdbcBackend(const ConnectionSettings& settings);

// The ODBC connection string, with every value braced so no typed character can add an
// attribute of its own; "" when the host is not a plain host name or address.
QString OdbcConnectionString(const ConnectionSettings& settings);
