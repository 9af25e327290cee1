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

// A file name the server may have us write into the program folder or fetch: not empty, no
// path separator, no "..", no blank or control character, and none of the program's own files.
bool IsAcceptableUpdateName(const QString& name);
// What an installed copy says instead of updating itself.
QString InstalledCopyUpdateText(const ProgramVersion& version);

// The running program's version (the same three numbers the captions show).
ProgramVersion RunningVersion();

// "http://" + update server + "/cs/autoup/Corvanta/" (+ file).
QString UpdateFolderAddress();

// Starts the updater detached; false when it could not be started. Tests install their own so
// nothing is really started; an empty function restores the real one.
using UpdaterStarter = std::function<bool(const QString& program, const QStringList& arguments)>;
void SetUpdaterStarter(UpdaterStarter starter);

// The whole check. Returns when there is nothing to do or anything fails; after starting the
// updater it ends the program (EndProgram).
void CheckForUpdate();
