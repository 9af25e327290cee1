// The call-centre client: wires the work screens into the main window and starts up.
#include "fonts.h"
#include "mainwindow.h"
#include "startup.h"
#include "workscreens.h"
#include <QApplication>

int main(int argc, char** argv) {
    // The web window's engine shares its GL contexts with the widgets; it must be said before
    // the application object exists.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("delmora-callcenter"));
    InstallKoreanFontSubstitutes();

    RegisterWorkScreens();

    return RunStartup([] {
        auto* w = new frmMain;
        w->show();
        return w;
    });
}
