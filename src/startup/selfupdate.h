#pragma once
// The self-update check of every start: ask the update server for the current version and,
// when it is newer than ours, fetch the updater into the program folder, start it with the
// new program's address and end. Silent: every failure lets start-up go on.
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

struct ProgramVersion {
    int major = 0;
    int minor = 0;
    int revision = 0;
};

// What ver.asp announces: "version=1.0.6$updater=upd.exe$program=new.exe".
struct UpdateAnnouncement {
    ProgramVersion version;
    QString updater; // file name of the updater program on the server
    QString program; // file name of the new main program on the server
};

// The answer parsed; nothing when it does not begin with "version" (lower case, at the very
// start), has fewer than three items or its version fewer than three numbers.
std::optional<UpdateAnnouncement> ParseVersionAnswer(const QString& answer);

// True when the server's version is newer than the running one (majors first, then minors,
// then revisions, as numbers); an older server version never is.
bool ServerIsNewer(const ProgramVersion& server, const ProgramVersion& running);

// A name the server may have us fetch from its update folder: not empty, no path separator,
// no "..", no blank (it would split the updater's parameter) or control character.
bool IsAcceptableUpdateName(const QString& name);
// The updater is also written into the program folder, so it must not be named like any file
// of the program's own (the program, Setting.ini, delmora.conf, the store). The new program's
// name needs no such care: the updater, not this program, puts it in place, and naming it like
// the running program is the usual case.
bool IsAcceptableUpdaterName(const QString& name);
// What an installed copy says instead of updating itself.
QString InstalledCopyUpdateText(const ProgramVersion& version);

// The running program's version (the same three numbers the captions show).
ProgramVersion RunningVersion();

// The update server's address + "/cs/autoup/Corvanta/" ("http://" unless the deployment names
// "https://"); "" without an update server.
QString UpdateFolderAddress();

// Whether a downloaded updater may be started: always when it came over https; over plain
// HTTP when its SHA-256 matches "<updater>.sha256" beside it on the server (checksumFile: that
// file's body, nothing when the server has none), or, without such a file, only when the
// deployment allows plain HTTP. A checksum file that does not match refuses the updater,
// whatever the deployment allows: the download is damaged or not the one announced.
bool UpdaterMayRun(const QByteArray& updater, bool overHttps, const std::optional<QByteArray>& checksumFile,
                   bool plainHttpAllowed);

// Starts the updater detached; false when it could not be started. Tests install their own so
// nothing is really started; an empty function restores the real one.
using UpdaterStarter = std::function<bool(const QString& program, const QStringList& arguments)>;
void SetUpdaterStarter(UpdaterStarter starter);

// The whole check. Without an update server in the deployment there is none. Returns when
// there is nothing to do or anything fails; the question for the version is bounded by the
// text time-out (3 s), so a silent server holds start-up no longer. After starting the updater
// it ends the program (EndProgram).
void CheckForUpdate();
