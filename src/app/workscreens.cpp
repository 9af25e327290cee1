// The one place that knows every work screen: the shell opens them by caption only.
#include "workscreens.h"
#include "frmformainlist.h"
#include "frmjungsanlist.h"
#include "frmorder.h"
#include "screens.h"

void RegisterWorkScreens() {
    RegisterScreen(QStringLiteral("오더등록"),
                   [](QWidget* parent) -> WorkScreen* { return new frmOrder(parent); });

    // Settlement and tax invoices.
    RegisterScreen(QStringLiteral("정산관리"),
                   [](QWidget* parent) -> WorkScreen* { return new frmJungsanList(parent); });
    RegisterScreen(QStringLiteral("계산서관리"),
                   [](QWidget* parent) -> WorkScreen* { return new frmFormainList(parent); });
}
