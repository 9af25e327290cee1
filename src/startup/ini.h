#pragma once
// Setting.ini with Windows profile-string semantics, and the per-user display settings.
#include <QString>

// The program folder (Setting.ini, downloaded updaters, the embedded store): DELMORA_HOME
// when set; else the executable's folder when it is writable and not an installed copy under
// /usr; else $XDG_DATA_HOME/delmora (~/.local/share/delmora), created on first use.
QString ProgramFolder();
// The decision itself, from its inputs.
QString DecideProgramFolder(const QString& home, const QString& executableFolder, const QString& xdgDataHome,
                            const QString& userHome);
// An installed copy: the executable lies under /usr or in a folder the user cannot write. The
// package manager owns it, so no updater may replace it.
bool IsInstalledCopy(const QString& executableFolder);
bool IsInstalledCopy();
// Program folder + "/Setting.ini"; set once by start-up (SetSettingsPath), read by every call.
QString SettingsPath();
// Also tightens an existing file that others may read: it can hold the store's login.
void SetSettingsPath(const QString& path);

// Sections and keys match without regard to ASCII case; "" for anything absent; the value is
// cut at 1023 bytes (of its CP949/UTF-8 form, never inside a character). A file that is not
// valid UTF-8 is read as CP949.
QString ReadIni(const QString& section, const QString& key);
// Creates file, section and key as needed; keeps every other line, comment and order; writes
// UTF-8. A file that is not a regular file, or is larger than any settings file (1 MiB), reads
// as absent and is never written. The file is written whole or not at all (a full disk leaves
// the old one as it was), readable by its owner only; false when it was not written.
bool WriteIni(const QString& section, const QString& key, const QString& value);
// The same for writes that come in bursts (a column drag, a window resize): the entry is read
// back at once, but the file is rewritten only when the burst is over (nothing more for a
// moment, FlushIni, or the program's end), once for all the entries that waited.
void WriteIniLater(const QString& section, const QString& key, const QString& value);
// False when waiting entries could not be written (they are dropped, as a failed write's are).
bool FlushIni();

// Lenient numeric conversion of a stored value: the leading number, "" and garbage read as 0.
double IniNumber(const QString& value);

// Per-user settings keyed by the program's name, section "Settings" (FormPic, MDIBGMode).
QString UserSetting(const QString& key, const QString& defaultValue);
// Writes one per-user value (never FormPic or MDIBGMode, which the user's own tools set).
void WriteUserSetting(const QString& key, const QString& value);
