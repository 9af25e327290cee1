#pragma once
// frmWebMDIChild: a page of the web (the remote-support service) in a child window of the main
// window, under a slim top bar with a close button. While the page shows its download overlay
// (element "excel_overlay" displayed as "block"), a page's request for a new window opens in
// this window; at all other times it opens in a separate browser window of ours.
#include "screens.h"

#include <QUrl>
#include <QWebEnginePage>
#include <map>

class QFrame;
class QPushButton;
class QWebEngineView;

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

class frmWebMDIChild : public WorkScreen {
    Q_OBJECT
public:
    explicit frmWebMDIChild(QWidget* parent = nullptr);
    void Form_Resize() override;

    // A blank page first (nothing of the previous visit stays in view), then the address, sent
    // as the service expects its requests.
    void Navigate(const QUrl& address);
    WebPage* page() const { return m_page; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void ApplyLayout();

public:
    std::map<int, QFrame*> SSPanel4;
    std::map<int, QPushButton*> cmdArr;
    QWebEngineView* WebBrowser = nullptr;

private:
    WebPage* m_page = nullptr;
};

// The remote-support command: the one web window (opened by OpenScreen under the caption
// "원격지원요청", so that caption must be registered as its screen), captioned, filling the
// client area, at the address. An address that is not a web address is refused with a message.
void RequestRemoteSupport(const QString& address);
