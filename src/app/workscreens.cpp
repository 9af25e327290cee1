// The one place that knows every work screen: the shell opens them by caption only.
#include "workscreens.h"
#include "frmorder.h"
#include "screens.h"

void RegisterWorkScreens() {
    RegisterScreen(QStringLiteral("오더등록"), [](QWidget* parent) -> WorkScreen* { return new frmOrder(parent); });
}
