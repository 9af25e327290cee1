#include "webmodule.h"
#include "webview.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>

namespace {
WebViewFactory g_factory = nullptr;

// The engine's views draw through a QQuickWidget, whose GL context shares the engine's textures
// only when the application asks for shared contexts. Asked before QApplication, Qt would create
// a GL context at start (the whole OpenGL driver, for every agent); asked now, it only remembers
// the wish, and Qt 6.4 warns that it is late: that is the point, and the module creates the
// shared context itself (src/web). The warning of this one call is dropped, nothing else.
QtMessageHandler g_nextHandler = nullptr;
void DropLateSharingWarning(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtWarningMsg && message.contains(QLatin1String("AA_ShareOpenGLContexts")) &&
        message.contains(QLatin1String("must be set before QCoreApplication is created")))
        return;
    if (g_nextHandler) g_nextHandler(type, context, message);
}

void AskForSharedContexts() {
    if (QCoreApplication::testAttribute(Qt::AA_ShareOpenGLContexts)) return;
    g_nextHandler = qInstallMessageHandler(DropLateSharingWarning);
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    qInstallMessageHandler(g_nextHandler);
}
} // namespace

QStringList WebModuleCandidates() {
    const QString chosen = qEnvironmentVariable("DELMORA_WEB_MODULE");
    if (!chosen.isEmpty()) return {chosen};
    // Plain text, not QStringLiteral: the package's check finds this path in the executable.
    return {QDir::cleanPath(QCoreApplication::applicationDirPath() +
                            QLatin1String("/../" DELMORA_WEB_MODULE_DIR "/" DELMORA_WEB_MODULE_FILE)),
            QString::fromUtf8(DELMORA_WEB_MODULE_BUILT)};
}

bool WebModuleLoaded() {
    return g_factory != nullptr;
}

bool LoadWebModule(QString* why) {
    if (g_factory) return true;
    QStringList missing;
    QStringList failures;
    for (const QString& path : WebModuleCandidates()) {
        if (!QFileInfo::exists(path)) {
            missing << path;
            continue;
        }
        // Loaded while the application object exists, the engine's library no longer gives
        // itself the shared GL context it needs; it checks that the program asked for shared
        // contexts (and warns that it seems to be loaded by a plug-in when not).
        AskForSharedContexts();
        auto* library = new QLibrary(path);
        if (!library->load()) {
            failures << library->errorString();
            delete library;
            continue;
        }
        if (auto entry = reinterpret_cast<WebViewFactory>(library->resolve(DELMORA_WEB_VIEW_ENTRY))) {
            g_factory = entry; // the library stays loaded with the engine it brought
            return true;
        }
        failures << QStringLiteral("%1: no %2").arg(path, QLatin1String(DELMORA_WEB_VIEW_ENTRY));
        library->unload();
        delete library;
    }
    if (why)
        *why = (failures.isEmpty()
                    ? QStringList{QStringLiteral("not found: ") + missing.join(QStringLiteral(", "))}
                    : failures)
                   .join(QLatin1Char('\n'));
    return false;
}

WebView* CreateWebView(QWidget* parent, QString* why) {
    if (!LoadWebModule(why)) return nullptr;
    return g_factory(parent);
}
