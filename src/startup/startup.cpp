#include "startup.h"
#include <QTimer>

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

// The embedded store is a file in the program folder. When it is missing or cannot be read,
// no number of retries will bring it: say which file and how to make one, once.
bool embeddedStoreFileUsable() {
    const ConnectionSettings settings = ReadConnectionSettings();
    if (!settings.server.isEmpty()) return true; // a database server: its failures may pass
    const QString path = EmbeddedStorePath(settings.catalog);
    if (path.isEmpty()) return true; // a catalog naming no file here: ConnectStore says so
    const QFileInfo file(path);
    const QString create = QStringLiteral("\n새 저장소는 delmora-store init ") + path +
                           QStringLiteral(" 로, 연습용 자료가 든 저장소는 delmora-store init ") + path +
                           QStringLiteral(" --demo 로 만들 수 있습니다.");
    if (!file.exists()) {
        Prompt::refusal(QStringLiteral("저장소 파일이 없습니다: ") + path + create);
        return false;
    }
    if (!file.isFile() || !file.isReadable()) {
        Prompt::refusal(QStringLiteral("저장소 파일을 읽을 수 없습니다: ") + path +
                        QStringLiteral("\n파일의 종류와 읽기 권한을 확인하십시오."));
        return false;
    }
    return true;
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

    if (!embeddedStoreFileUsable()) return 1;
    int attempts = 0;
    ConnectStore(attempts);

    MainWindowOwner main;
    LoginSucceeded = false;
    if (StoreReady) {
        frmLogin login(nullptr);
        login.CentreOnScreen();
        // The sign-in comes to the screen first; the main window is made and shown behind it on
        // the dialog's first event-loop turn, so the agent waits neither for the larger window
        // to be built nor for it to be drawn.
        QTimer::singleShot(0, &login, [&] {
            main.window = createMainWindow();
            login.SetMainWindow(main.window);
            if (main.window && !main.window->isVisible()) main.window->show();
        });
        login.exec();
    } else {
        main.window = createMainWindow();
    }
    // No sign-in, no program: nothing more is shown.
    if (!LoginSucceeded) return 0;
    if (!main.window && (main.window = createMainWindow())) main.window->setEnabled(true);
    if (main.window && !main.window->isVisible()) main.window->show();
    // The store's history names this broker for every change made from this desk.
    NameSessionUser();
    return QApplication::exec();
}
