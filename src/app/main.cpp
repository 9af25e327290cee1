// The call-centre client: wires the work screens into the main window and starts up.
#include "demostore.h"
#include "fonts.h"
#include "language.h"
#include "mainwindow.h"
#include "startup.h"
#include "workscreens.h"
#include <QApplication>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    bool demo = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("delmora-callcenter %d.%d.%d\n", DELMORA_VERSION_MAJOR, DELMORA_VERSION_MINOR,
                        DELMORA_VERSION_PATCH);
            return 0;
        }
        if (std::strcmp(argv[i], "--demo") == 0) demo = true;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("delmora-callcenter"));
    InstallKoreanFontSubstitutes();
    InstallKoreanLanguage();

    RegisterWorkScreens();
    SetDemoStoreRequested(demo);

    // Shown by the start-up behind the sign-in.
    return RunStartup([] { return new frmMain; });
}
