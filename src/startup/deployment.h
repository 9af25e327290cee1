#pragma once
// Deployment configuration: the addresses a call centre's installation names. It lives beside
// the program in "delmora.conf" (key=value lines), never in Setting.ini, with compiled-in
// defaults. An empty database server means the embedded store.
#include <QString>

struct Deployment {
    QString databaseServer; // SQL Server host (port 8916 fixed), a libpq "postgresql://" URI; "" = embedded
    // The update and web server: host[:port], or an "http://" or "https://" address. Only a
    // deployment that names one has an update check; "" means none (the demo, a fresh build).
    QString updateServer;
    // "update_plain_http=yes": an updater fetched over plain HTTP may be run (an office whose
    // update server offers no https). Without it nothing fetched over plain HTTP is run, whatever
    // checksum the same server offers.
    bool updatePlainHttp = false;
    QString homePage;         // the association's home page (login dialog link)
    QString remoteSupportUrl; // the remote-support service's page
};

// The address of a page on the update server: the server's own scheme ("http://" when it
// names none) + host + path; "" when there is no update server.
QString UpdateServerAddress(const QString& path);

// Read once: ProgramFolder() + "/delmora.conf", then the machine's SystemDeploymentPath();
// a key the program folder's file names wins, the machine's file fills what it leaves out,
// and the compiled-in defaults fill the rest.
const Deployment& CurrentDeployment();
// "/etc/delmora/delmora.conf" (DELMORA_SYSTEM_CONF names another one, for tests).
QString SystemDeploymentPath();
// Reads one configuration file over the compiled-in defaults (a missing file gives them all).
Deployment ReadDeployment(const QString& path);
// Reads the files in order, the first naming a key deciding it.
Deployment ReadDeployment(const QStringList& paths);
// Tests replace it.
void SetDeployment(const Deployment& deployment);
