// The call-centre client: wires the work screens into the main window and starts up.
#include "fonts.h"
#include "language.h"
#include "mainwindow.h"
#include "startup.h"
#include "workscreens.h"
#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("delmora-callcenter"));
    InstallKoreanFontSubstitutes();
    InstallKoreanLanguage();

    RegisterWorkScreens();

    return RunStartup([] {
        auto* w = new frmMain;
        w->show();
        return w;
    });
}
