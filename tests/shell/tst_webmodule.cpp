// The web engine comes with the first web window, not with the program: a process that built the
// main window and registered every screen maps neither Qt WebEngine nor an OpenGL driver (each
// costs every agent tens of megabytes for a window most never open); the first web window maps
// the engine; a module that cannot be loaded is refused with a message and opens nothing. This
// test links none of the engine itself, as the program does not.
#include "../startup/localhttp.h"
#include "deployment.h"
#include "frmwebmdichild.h"
#include "ini.h"
#include "mainwindow.h"
#include "prompts.h"
#include "remotesupport.h"
#include "screens.h"
#include "testmain.h"
#include "webmodule.h"
#include "webview.h"
#include "workscreens.h"

#include <QFile>
#include <QOpenGLContext>
#include <QRegularExpression>

namespace {
// The engine's helper process runs without its sandbox here (tests run as root in a container).
const bool kEngineReady = [] {
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--no-sandbox --disable-gpu --disable-dev-shm-usage");
    return true;
}();

const QStringList kEngine{QStringLiteral("libQt6WebEngineCore"), QStringLiteral("libdelmora-web")};
// What lies behind the small GL dispatch libraries every Qt GUI process maps (libGLX, libEGL,
// libOpenGL, libGLdispatch): Mesa's GLX and EGL, its DRI drivers with the LLVM they compile
// shaders with, and the legacy libGL.
const QStringList kGL{QStringLiteral("libLLVM"),     QStringLiteral("_dri.so"),
                      QStringLiteral("libGLX_mesa"), QStringLiteral("libEGL_mesa"),
                      QStringLiteral("libGL.so"),    QStringLiteral("libglapi")};

// The files mapped into this process whose path names one of the markers.
QStringList Mapped(const QStringList& markers) {
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly)) return {QStringLiteral("(no /proc/self/maps)")};
    QStringList out;
    for (const QByteArray& line : maps.readAll().split('\n')) {
        const qsizetype slash = line.indexOf('/');
        if (slash < 0) continue;
        const QString path = QString::fromUtf8(line.mid(slash));
        for (const QString& marker : markers)
            if (path.contains(marker) && !out.contains(path)) out << path;
    }
    return out;
}

// The path of a library this process has mapped (one that is surely not our module).
QString MappedLibrary(const QString& marker) {
    const QStringList found = Mapped({marker});
    return found.isEmpty() ? QString() : found.front();
}
} // namespace

class WebModuleTest : public QObject {
    Q_OBJECT
private:
    LocalHttpServer server;
    std::unique_ptr<frmMain> main;

    void RunCommandFor(const QString& address) { RequestRemoteSupportAt(*main, address); }

private slots:
    void initTestCase() {
        QVERIFY(kEngineReady);
        LocalHttpServer::Route page{200, {}, -1, false, "text/html; charset=utf-8"};
        page.body = "<!doctype html><html><head><meta charset=\"utf-8\"><title>t</title></head>"
                    "<body><p>원격지원</p></body></html>";
        server.route("/plain.html", page);
        RegisterWorkScreens();
        main = std::make_unique<frmMain>();
        main->setEnabled(true);
        main->resize(1200, 800);
        main->show();
        QVERIFY(QTest::qWaitForWindowExposed(main.get()));
    }
    void cleanup() {
        qunsetenv("DELMORA_WEB_MODULE");
        if (WorkScreen* web = OpenedScreen(QStringLiteral("원격지원요청"))) web->close();
        QTRY_VERIFY(!OpenedScreen(QStringLiteral("원격지원요청")));
    }
    void cleanupTestCase() { main.reset(); }

    // Nothing of the engine, and no GL context, before anyone asks for the web window.
    void startsWithoutTheEngine() {
        QVERIFY2(!WebModuleLoaded(), "run before the first web window");
        QCOMPARE(Mapped(kEngine), QStringList());
        QCOMPARE(Mapped(kGL), QStringList());
        QVERIFY(!QOpenGLContext::globalShareContext());
        QVERIFY(!QCoreApplication::testAttribute(Qt::AA_ShareOpenGLContexts));
    }

    void unloadableModuleIsRefused_data() {
        QTest::addColumn<QString>("module");
        QTest::addColumn<QByteArray>("contents"); // written to the module's path first when not empty
        QTest::newRow("missing") << QStringLiteral("/nonexistent/libdelmora-web.so") << QByteArray();
        QTest::newRow("not a library")
            << ProgramFolder() + QStringLiteral("/libdelmora-web.so") << QByteArray("<html>not found</html>");
        QTest::newRow("a library without the entry point")
            << MappedLibrary(QStringLiteral("libQt6Core.so")) << QByteArray();
    }
    void unloadableModuleIsRefused() {
        QFETCH(QString, module);
        QFETCH(QByteArray, contents);
        QVERIFY2(!WebModuleLoaded(), "run before the first web window");
        QVERIFY(!module.isEmpty());
        if (!contents.isEmpty()) {
            QFile file(module);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(contents);
        }
        qputenv("DELMORA_WEB_MODULE", module.toUtf8());
        PromptScript prompts;
        RunCommandFor(QStringLiteral("http://%1/plain.html").arg(server.host()));
        QCOMPARE(prompts.asked().size(), size_t(1));
        QVERIFY2(prompts.texts().front().startsWith(QStringLiteral("원격지원 화면을 열 수 없습니다.")),
                 qPrintable(prompts.texts().front()));
        QVERIFY(!OpenedScreen(QStringLiteral("원격지원요청")));
        QVERIFY(!WebModuleLoaded());
        QCOMPARE(Mapped(kEngine), QStringList());
        // The next request with the module in place opens the window: a failure is not remembered.
    }

    // The first web window loads the engine, gives it its GL context without a warning, and
    // shows the page.
    void firstWindowBringsTheEngine() {
        QTest::failOnWarning(QRegularExpression(QStringLiteral("used before QtWebEngineCore::initialize|"
                                                               "initialized from a plugin")));
        PromptScript prompts;
        RunCommandFor(QStringLiteral("http://%1/plain.html").arg(server.host()));
        auto* web = qobject_cast<frmWebMDIChild*>(OpenedScreen(QStringLiteral("원격지원요청")));
        QVERIFY(web);
        QVERIFY(web->WebBrowser);
        QTRY_VERIFY_WITH_TIMEOUT(web->WebBrowser->url().path() == QLatin1String("/plain.html") &&
                                     !web->WebBrowser->isLoading(),
                                 20000);
        QVERIFY(WebModuleLoaded());
        QVERIFY(!Mapped({QStringLiteral("libQt6WebEngineCore")}).isEmpty());
        QVERIFY(prompts.asked().empty());
    }
};

DELMORA_TEST_MAIN(WebModuleTest)
#include "tst_webmodule.moc"
