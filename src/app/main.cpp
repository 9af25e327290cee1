// The call-centre client: wires the work screens into the main window and starts up.
#include "fonts.h"
#include "frmorder.h"
#include "mainwindow.h"
#include "screens.h"
#include "startup.h"
#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("delmora-callcenter"));
    InstallKoreanFontSubstitutes();

    RegisterScreen(QStringLiteral("오더등록"), [](QWidget* parent) -> WorkScreen* { return new frmOrder(parent); });

    return RunStartup([] {
        auto* w = new frmMain;
        w->show();
        return w;
    });
}
