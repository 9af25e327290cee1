// The web engine's module: the web window's view and page, its pop-up windows, and the one entry
// point the shell calls (webview.h). It links Qt only: our static libraries would bring a second
// copy of their globals into the process.
#include "../shell/webview.h"
#include "webpage.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QHash>
#include <QSet>
#include <QWebEngineDownloadRequest>
#include <QOpenGLContext>
#include <QWebEngineHttpRequest>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineView>

QT_BEGIN_NAMESPACE
// Qt's own (QtGui, exported, declared in a private header): the context every widget that shares
// GL contexts shares with.
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext* context);
QT_END_NAMESPACE

namespace {
const QString kOverlayReport = QStringLiteral("delmora:excel_overlay:");

// Reports the overlay's state once the document is ready and again whenever the document
// changes it. It runs in a world of its own, so the page's scripts neither see nor break it.
const char* const kOverlayWatcher = R"JS(
(function () {
  var last = null;
  function report() {
    var overlay = document.getElementById('excel_overlay');
    var shown = !!(overlay && overlay.style && overlay.style.display === 'block');
    if (shown !== last) {
      last = shown;
      console.info('delmora:excel_overlay:' + (shown ? 'block' : 'none'));
    }
  }
  report();
  new MutationObserver(report).observe(document.documentElement || document,
      {attributes: true, attributeFilter: ['style', 'id'], childList: true, subtree: true});
})();
)JS";

// Swallows the navigation of a window the page asked for and hands its address to the page
// that asked, as the older browser control let the program do with its new-window event.
class RedirectPage : public QWebEnginePage {
public:
    RedirectPage(QWebEngineProfile* profile, QWebEnginePage* target)
        : QWebEnginePage(profile, target), m_target(target) {}

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType, bool) override {
        if (!m_done && url.isValid() && url != QUrl(QStringLiteral("about:blank"))) {
            m_done = true;
            QMetaObject::invokeMethod(
                m_target, [target = m_target, url] { target->load(url); }, Qt::QueuedConnection);
            deleteLater();
        }
        return false;
    }

private:
    QWebEnginePage* m_target;
    bool m_done = false;
};

} // namespace

WebPage::WebPage(QWebEngineProfile* profile, QObject* parent) : QWebEnginePage(profile, parent) {
    QWebEngineScript watcher;
    watcher.setName(QStringLiteral("excel_overlay watcher"));
    watcher.setSourceCode(QString::fromUtf8(kOverlayWatcher));
    watcher.setInjectionPoint(QWebEngineScript::DocumentReady);
    watcher.setWorldId(QWebEngineScript::ApplicationWorld);
    watcher.setRunsOnSubFrames(false);
    scripts().insert(watcher);
    // A new document starts without the overlay until its watcher says otherwise.
    connect(this, &QWebEnginePage::loadStarted, this, [this] {
        if (!m_overlayShown) return;
        m_overlayShown = false;
        emit overlayChanged(false);
    });
}

void WebPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message, int line,
                                       const QString& source) {
    if (message.startsWith(kOverlayReport)) {
        const bool shown = message.mid(kOverlayReport.size()) == QLatin1String("block");
        if (shown != m_overlayShown) {
            m_overlayShown = shown;
            emit overlayChanged(shown);
        }
        return;
    }
    QWebEnginePage::javaScriptConsoleMessage(level, message, line, source);
}

QWebEnginePage* WebPage::createWindow(WebWindowType /*type*/) {
    if (m_overlayShown) return new RedirectPage(profile(), this);
    // A browser window of our own, following the same rule for its own pop-ups.
    auto* window = new QWebEngineView;
    window->setObjectName(QStringLiteral("WebPopup"));
    window->setAttribute(Qt::WA_DeleteOnClose);
    auto* page = new WebPage(profile(), window);
    window->setPage(page);
    connect(page, &QWebEnginePage::windowCloseRequested, window, &QWidget::close);
    connect(page, &QWebEnginePage::titleChanged, window, &QWidget::setWindowTitle);
    window->resize(1024, 768);
    window->show();
    return page;
}

namespace {
// The web window's view: a QWebEngineView showing a WebPage, seen by the shell as a WebView.
class WindowView final : public QWebEngineView, public WebView {
public:
    explicit WindowView(QWidget* parent) : QWebEngineView(parent) {
        m_page = new WebPage(QWebEngineProfile::defaultProfile(), this);
        setPage(m_page);
    }

    QWidget* widget() override { return this; }
    void navigate(const QUrl& address) override {
        setUrl(QUrl(QStringLiteral("about:blank")));
        QWebEngineHttpRequest request(address);
        request.setHeader(QByteArrayLiteral("Content-Type"),
                          QByteArrayLiteral("application/x-www-form-urlencoded"));
        load(request);
    }
    QUrl url() const override { return QWebEngineView::url(); }
    bool isLoading() const override { return m_page->isLoading(); }
    bool overlayShown() const override { return m_page->overlayShown(); }
    void runJavaScript(const QString& script) override { m_page->runJavaScript(script); }
    void setDownloads(WebDownloads* downloads) override { m_downloads = downloads; }

    // One download of this view's page (or of a window it opened): where to, then its bytes and
    // its end, told to the handler; declined, or with no handler, it is cancelled.
    void download(QWebEngineDownloadRequest* request) {
        // Chromium resumes a download cut off by the network under the same id and asks again:
        // the agent is asked once per download, and one already said to have failed stays given up.
        if (m_givenUp.contains(request->id())) {
            request->cancel();
            return;
        }
        QString path = m_chosen.value(request->id());
        if (path.isEmpty()) {
            path = m_downloads ? m_downloads->downloadPath(request->suggestedFileName()) : QString();
            if (path.isEmpty() || !m_downloads) {
                request->cancel();
                return;
            }
            m_chosen.insert(request->id(), path);
        }
        const QFileInfo file(path);
        request->setDownloadDirectory(file.absolutePath());
        request->setDownloadFileName(file.fileName());
        if (!request->property("delmoraTracked").toBool()) {
            request->setProperty("delmoraTracked", true);
            QPointer<QWebEngineDownloadRequest> tracked(request);
            connect(request, &QWebEngineDownloadRequest::receivedBytesChanged, this, [this, tracked] {
                if (tracked && m_downloads)
                    m_downloads->downloadProgress(tracked->receivedBytes(), tracked->totalBytes());
            });
            connect(request, &QWebEngineDownloadRequest::stateChanged, this, [this, tracked] {
                if (!tracked || tracked->state() != QWebEngineDownloadRequest::DownloadInterrupted) return;
                if (!m_chosen.contains(tracked->id())) return;
                // Cut off: said once, and never resumed behind the agent's back.
                m_chosen.remove(tracked->id());
                m_givenUp.insert(tracked->id());
                const QString saved = QDir(tracked->downloadDirectory()).filePath(tracked->downloadFileName());
                if (m_downloads)
                    m_downloads->downloadFinished(QDir::toNativeSeparators(saved), false,
                                                  tracked->interruptReasonString());
                tracked->cancel();
            });
            connect(request, &QWebEngineDownloadRequest::isFinishedChanged, this, [this, tracked] {
                if (!tracked || !tracked->isFinished() || !m_downloads) return;
                if (!m_chosen.contains(tracked->id())) return; // already told
                m_chosen.remove(tracked->id());
                const QString saved = QDir(tracked->downloadDirectory()).filePath(tracked->downloadFileName());
                const bool done = tracked->state() == QWebEngineDownloadRequest::DownloadCompleted;
                m_downloads->downloadFinished(QDir::toNativeSeparators(saved), done,
                                              done ? QString() : tracked->interruptReasonString());
            });
        }
        request->accept();
    }

private:
    WebPage* m_page = nullptr;
    WebDownloads* m_downloads = nullptr;
    QHash<quint32, QString> m_chosen; // where each unfinished download goes, by its id
    QSet<quint32> m_givenUp;
};

// Every view alive, newest last: the profile's downloads go to the view whose page asked, or,
// for a window of the engine's own, to the newest view.
QList<QPointer<WindowView>>& Views() {
    static QList<QPointer<WindowView>> views;
    return views;
}

void RouteDownloads() {
    static bool connected = false;
    if (connected) return;
    connected = true;
    QObject::connect(QWebEngineProfile::defaultProfile(), &QWebEngineProfile::downloadRequested,
                     [](QWebEngineDownloadRequest* request) {
                         Views().removeAll(nullptr);
                         WindowView* to = Views().isEmpty() ? nullptr : Views().last().data();
                         for (const auto& view : std::as_const(Views()))
                             if (view && view->page() == request->page()) to = view;
                         if (to)
                             to->download(request);
                         else
                             request->cancel();
                     });
}

QOpenGLContext* g_shareContext = nullptr;
void DeleteShareContext() {
    if (QOpenGLContext::globalShareContext() == g_shareContext) qt_gl_set_global_share_context(nullptr);
    delete g_shareContext;
    g_shareContext = nullptr;
}

// The GL context the engine shares with the widgets, made as the engine's own start-up routine
// (QtWebEngineCore::initialize) makes it when the engine is linked with the program: the default
// surface format, the global share context, deleted when the application ends. Made here, before
// the first view, the routine is not needed: it is private to the engine, and late it would set
// the sharing attribute a second time, which the shell has set as it loaded us. Nothing else has
// made a GL context by now (the client has no other GL user), so nothing misses the sharing.
void EnsureShareContext() {
    if (QOpenGLContext::globalShareContext() || g_shareContext) return;
    g_shareContext = new QOpenGLContext;
    g_shareContext->setFormat(QSurfaceFormat::defaultFormat());
    // Without GL (an offscreen test, a display without GLX) creation fails: the engine then
    // renders in software, as it would have with the context made at start.
    g_shareContext->create();
    qAddPostRoutine(DeleteShareContext);
    qt_gl_set_global_share_context(g_shareContext);
}
} // namespace

extern "C" Q_DECL_EXPORT WebView* delmora_web_view_v2(QWidget* parent) {
    // The engine needs its shared GL context before its first view. Linked with the program,
    // the engine's library makes it as the application starts; loaded later, as here, it leaves
    // that to us.
    EnsureShareContext();
    RouteDownloads();
    auto* view = new WindowView(parent);
    Views() << view;
    return view;
}
