#pragma once
// Deployment configuration: the addresses a call centre's installation names. It lives beside
// the program in "delmora.conf" (key=value lines), never in Setting.ini, with compiled-in
// defaults. An empty database server means the embedded store.
#include <QString>

struct Deployment {
    QString databaseServer;   // host of SQL Server (port 8916 is fixed); "" = embedded store
    QString updateServer;     // host[:port] of the update and web server
    QString homePage;         // the association's home page (login dialog link)
    QString remoteSupportUrl; // the remote-support service's page
};

// Read once from ProgramFolder() + "/delmora.conf"; missing keys keep their defaults.
const Deployment& CurrentDeployment();
// Reads one configuration file over the compiled-in defaults (a missing file gives them all).
Deployment ReadDeployment(const QString& path);
// Tests replace it.
void SetDeployment(const Deployment& deployment);
