#include "signin.h"
#include "ini.h"

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

void LoadDisplaySettings() {
    const QString rowHeight = ReadIni(QStringLiteral("옵션"), QStringLiteral("표높이설정"));
    RowHeightSetting = rowHeight.isEmpty() ? QStringLiteral("18") : rowHeight;
    const QString interval = ReadIni(QStringLiteral("옵션"), QStringLiteral("갱신주기"));
    RefreshIntervalSetting = interval.isEmpty() ? QStringLiteral("10") : interval;
}
