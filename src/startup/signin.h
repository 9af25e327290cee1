#pragma once
// Sign-in values and display settings, process-wide.
#include <QString>

extern QString LoginId;
extern QString BrokerName;
extern QString BrokerPhone;
extern bool LoginSucceeded;
extern bool SignedIn;
extern QString RowHeightSetting;        // [옵션] 표높이설정, "18" when empty (main window load)
extern QString RefreshIntervalSetting;  // [옵션] 갱신주기, "10" when empty (main window load)
// Both display settings as Setting.ini [옵션] holds them, the defaults where it holds none.
void LoadDisplaySettings();
// Hand-over from a list to the pop-up it opens: the record key ("" asks for a new record).
extern QString SelectedKey;

// Version of the running program (project version).
int VersionMajor();
int VersionMinor();
int VersionRevision();
