#pragma once
// Setting.ini with Windows profile-string semantics, and the per-user display settings.
#include <QString>

// The program folder: DELMORA_HOME when set, else the executable's folder.
QString ProgramFolder();
// Program folder + "/Setting.ini"; set once by start-up (SetSettingsPath), read by every call.
QString SettingsPath();
void SetSettingsPath(const QString& path);

// Sections and keys match without regard to ASCII case; "" for anything absent; the value is
// cut at 1023 bytes (of its CP949/UTF-8 form, never inside a character). A file that is not
// valid UTF-8 is read as CP949.
QString ReadIni(const QString& section, const QString& key);
// Creates file, section and key as needed; keeps every other line, comment and order; writes
// UTF-8; failures are silent.
void WriteIni(const QString& section, const QString& key, const QString& value);

// Lenient numeric conversion of a stored value: the leading number, "" and garbage read as 0.
double IniNumber(const QString& value);

// Per-user settings keyed by the program's name, section "Settings" (FormPic, MDIBGMode).
QString UserSetting(const QString& key, const QString& defaultValue);
// Writes one per-user value (never FormPic or MDIBGMode, which the user's own tools set).
void WriteUserSetting(const QString& key, const QString& value);
