#pragma once
// The web engine as the web window sees it. The engine (Qt WebEngine, and with it Chromium and
// the OpenGL stack) lives in a module of its own (src/web) that is loaded when the first web
// window is built, so a client that never opens one never maps it. This header is all the two
// sides share: plain virtual calls, Qt value types, no signals, nothing of our static libraries.
#include <QString>
#include <QUrl>

class QWidget;

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

protected:
    ~WebView() = default;
};

// The module's one entry point, `extern "C"` so it is found by name; a module of another
// interface generation exports another name and is refused instead of being called wrongly.
// It builds a view as a child of `parent` and never answers nullptr.
using WebViewFactory = WebView* (*)(QWidget* parent);
#define DELMORA_WEB_VIEW_ENTRY "delmora_web_view_v1"
