#pragma once
// The web engine as the web window sees it. The engine (Qt WebEngine, and with it Chromium and
// the OpenGL stack) lives in a module of its own (src/web) that is loaded when the first web
// window is built, so a client that never opens one never maps it. This header is all the two
// sides share: plain virtual calls, Qt value types, no signals, nothing of our static libraries.
#include <QString>
#include <QUrl>

class QWidget;

// What the web window does with a page's downloads. The module asks for the file, then reports
// the bytes as they come and the end; without a handler a download is dropped.
class WebDownloads {
public:
    // Where to save the file the page offers under suggestedName; "" declines it.
    virtual QString downloadPath(const QString& suggestedName) = 0;
    // total is -1 while the server has not said how much is coming.
    virtual void downloadProgress(qint64 received, qint64 total) = 0;
    // The end: the file saved at path, or not saved (reason in the engine's words).
    virtual void downloadFinished(const QString& path, bool saved, const QString& reason) = 0;

protected:
    ~WebDownloads() = default;
};

class WebView {
public:
    // The view is its widget: it is deleted with it (by the widget's parent or by deleting
    // widget()), never on its own.
    virtual QWidget* widget() = 0;
    // A blank page first (nothing of the previous visit stays in view), then the address, sent
    // with the form content type the remote-support service expects.
    virtual void navigate(const QUrl& address) = 0;
    virtual QUrl url() const = 0;
    virtual bool isLoading() const = 0;
    // The page's download overlay (element "excel_overlay" displayed as "block") is showing:
    // while it does, a page's new window opens in this view instead of a window of its own.
    virtual bool overlayShown() const = 0;
    // Runs a script in the page's main world; its result is not waited for.
    virtual void runJavaScript(const QString& script) = 0;
    // The page's downloads, and those of the windows it opens, go to this handler (it outlives
    // the view or is taken back with nullptr first).
    virtual void setDownloads(WebDownloads* downloads) = 0;

protected:
    ~WebView() = default;
};

// The module's one entry point, `extern "C"` so it is found by name; a module of another
// interface generation exports another name and is refused instead of being called wrongly.
// It builds a view as a child of `parent` and never answers nullptr.
using WebViewFactory = WebView* (*)(QWidget* parent);
#define DELMORA_WEB_VIEW_ENTRY "delmora_web_view_v2"
