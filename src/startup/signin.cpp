#include "signin.h"

QString LoginId;
QString BrokerName;
QString BrokerPhone;
bool LoginSucceeded = false;
bool SignedIn = false;
QString RowHeightSetting;
QString RefreshIntervalSetting;
QString SelectedKey;

int VersionMajor() { return DELMORA_VERSION_MAJOR; }
int VersionMinor() { return DELMORA_VERSION_MINOR; }
int VersionRevision() { return DELMORA_VERSION_PATCH; }
