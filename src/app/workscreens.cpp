// The one place that knows every work screen: the shell opens them by caption only.
#include "workscreens.h"
#include "frmorder.h"
#include "masterlist.h"
#include "screens.h"

void RegisterWorkScreens() {
    RegisterScreen(QStringLiteral("오더등록"), [](QWidget* parent) -> WorkScreen* { return new frmOrder(parent); });

    // Master records: one list screen, three member descriptions.
    for (const MasterMember* member : MasterMembers())
        RegisterScreen(member->caption,
                       [member](QWidget* parent) -> WorkScreen* { return new MasterList(*member, parent); });
}
