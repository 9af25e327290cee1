#include "startup.h"

#include "demostore.h"
#include "frmlogin.h"
#include "ini.h"
#include "prompts.h"
#include "selfupdate.h"
#include "signin.h"
#include "storeconnection.h"

#include <QApplication>
#include <QFileInfo>
#include <QPointer>
#include <QWindow>

namespace {

void createSettingsWithDefaults() {
    // Only a missing file gets the defaults; an existing one is the user's and stays as it is.
    if (QFileInfo::exists(SettingsPath())) return;
    WriteIni(QStringLiteral("로그인"), QStringLiteral("아이디"), QString());
    WriteIni(QStringLiteral("로그인"), QStringLiteral("정보저장"), QStringLiteral("아니오"));
    WriteIni(QStringLiteral("옵션"), QStringLiteral("표높이설정"), QStringLiteral("12"));
}

// The main window belongs to this run: whatever is left of it goes when the run is over.
struct MainWindowOwner {
    QPointer<QWidget> window;
    ~MainWindowOwner() { delete window.data(); }
};

} // namespace

int RunStartup(const std::function<QWidget*()>& createMainWindow) {
    SetSettingsPath(ProgramFolder() + QStringLiteral("/Setting.ini"));
    createSettingsWithDefaults();

    CheckForUpdate();

    QString demoFailure;
    if (PrepareDemoStore(&demoFailure) == DemoStoreResult::Failed) Prompt::refusal(demoFailure);

    int attempts = 0;
    ConnectStore(attempts);

    MainWindowOwner main{createMainWindow()};

    LoginSucceeded = false;
    if (StoreReady) {
        frmLogin login(main.window);
        // Not a child of the disabled main window (it would be disabled too), but kept above
        // it by the window manager: a click on the main window must not bury the dialog.
        if (main.window) {
            login.winId();
            if (login.windowHandle() && main.window->windowHandle())
                login.windowHandle()->setTransientParent(main.window->windowHandle());
        }
        login.CentreOnScreen();
        login.exec();
    }
    // No sign-in, no program: nothing more is shown.
    if (!LoginSucceeded) return 0;
    return QApplication::exec();
}
