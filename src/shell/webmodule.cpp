#include "webmodule.h"
#include "modules.h"
#include "webview.h"

#include <QCoreApplication>

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
    // Plain text, not QStringLiteral: the package's check finds this path in the executable.
    return ModuleCandidates("DELMORA_WEB_MODULE", "/../" DELMORA_WEB_MODULE_DIR "/" DELMORA_WEB_MODULE_FILE,
                            DELMORA_WEB_MODULE_BUILT);
}

bool WebModuleLoaded() {
    return g_factory != nullptr;
}

bool LoadWebModule(QString* why) {
    if (g_factory) return true;
    // Loaded while the application object exists, the engine's library no longer gives itself
    // the shared GL context it needs; it checks that the program asked for shared contexts (and
    // warns that it seems to be loaded by a plug-in when not).
    g_factory = reinterpret_cast<WebViewFactory>(
        LoadModuleEntry(WebModuleCandidates(), DELMORA_WEB_VIEW_ENTRY, why, AskForSharedContexts));
    return g_factory != nullptr;
}

WebView* CreateWebView(QWidget* parent, QString* why) {
    if (!LoadWebModule(why)) return nullptr;
    return g_factory(parent);
}
