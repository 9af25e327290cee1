#pragma once
// The web engine's side of the web window (loaded as a module, see src/shell/webview.h).
#include <QWebEnginePage>

// A page that knows whether its download overlay is showing and places its new windows by
// that. The state comes from a small script that reports every change of the overlay (a new
// window is asked for at once, with no time to ask the page).
class WebPage : public QWebEnginePage {
    Q_OBJECT
public:
    explicit WebPage(QWebEngineProfile* profile, QObject* parent = nullptr);
    bool overlayShown() const { return m_overlayShown; }

signals:
    void overlayChanged(bool shown);

protected:
    QWebEnginePage* createWindow(WebWindowType type) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message, int line,
                                  const QString& source) override;

private:
    bool m_overlayShown = false;
};
