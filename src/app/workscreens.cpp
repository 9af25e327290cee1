// The one place that knows every work screen: the shell opens them by caption only.
#include "workscreens.h"
#include "deployment.h"
#include "frmformainlist.h"
#include "frmjungsanlist.h"
#include "frmorder.h"
#include "frmorderlist.h"
#include "masterlist.h"
#include "frmwebmdichild.h"
#include "popsetting.h"
#include "screens.h"

void RegisterWorkScreens() {
    RegisterScreen(QStringLiteral("오더등록"),
                   [](QWidget* parent) -> WorkScreen* { return new frmOrder(parent); });

    // Master records: one list screen, three member descriptions.
    for (const MasterMember* member : MasterMembers())
        RegisterScreen(member->caption,
                       [member](QWidget* parent) -> WorkScreen* { return new MasterList(*member, parent); });

    // Order inquiry (its menu item stays disabled; OpenScreen reaches it), the settings dialog
    // and the remote-support web window.
    RegisterScreen(QStringLiteral("오더조회"),
                   [](QWidget* parent) -> WorkScreen* { return new frmOrderList(parent); });
    RegisterCommand(QStringLiteral("환경설정"), [] { OpenSettingsDialog(); });
    RegisterScreen(QStringLiteral("원격지원요청"),
                   [](QWidget* parent) -> WorkScreen* { return new frmWebMDIChild(parent); });
    RegisterCommand(QStringLiteral("원격지원요청"),
                    [] { RequestRemoteSupport(CurrentDeployment().remoteSupportUrl); });

    // Settlement and tax invoices.
    RegisterScreen(QStringLiteral("정산관리"),
                   [](QWidget* parent) -> WorkScreen* { return new frmJungsanList(parent); });
    RegisterScreen(QStringLiteral("계산서관리"),
                   [](QWidget* parent) -> WorkScreen* { return new frmFormainList(parent); });
}
