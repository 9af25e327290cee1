#pragma once
// frmWebMDIChild: a page of the web (the remote-support service) in a child window of the main
// window, under a slim top bar with a close button. The page itself is a WebView from the web
// engine's module (webview.h, src/web), loaded when the first web window is built: there, while
// the page shows its download overlay, a page's request for a new window opens in this window,
// at all other times in a separate browser window of ours.
#include "screens.h"
#include "webview.h"

#include <QUrl>
#include <map>

class QFrame;
class QLabel;
class QProgressBar;
class QPushButton;

// A page's downloads go through the shared Save-As dialog (in the folder of the last one), show
// their progress in the top bar and end with a word of where the file is, or why it is not.
class frmWebMDIChild : public WorkScreen, public WebDownloads {
    Q_OBJECT
public:
    // Without the module the window still builds, with its top bar and no page
    // (RequestRemoteSupport refuses before it gets that far).
    explicit frmWebMDIChild(QWidget* parent = nullptr);
    void Form_Resize() override;

    // A blank page first, then the address, sent as the service expects its requests.
    void Navigate(const QUrl& address);

    QString downloadPath(const QString& suggestedName) override;
    void downloadProgress(qint64 received, qint64 total) override;
    void downloadFinished(const QString& path, bool saved, const QString& reason) override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void ApplyLayout();

public:
    std::map<int, QFrame*> SSPanel4;
    std::map<int, QPushButton*> cmdArr;
    WebView* WebBrowser = nullptr; // its widget is a child of this window; nullptr without the module
    QLabel* lblDownload = nullptr;
    QProgressBar* prgDownload = nullptr;

private:
    QString m_downloadName; // the file being received, for the bar
};

// The remote-support command: the one web window (opened by OpenScreen under the caption
// "원격지원요청", so that caption must be registered as its screen), captioned, filling the
// client area, at the address. An address that is not a web address is refused with a message,
// and so is a request the web engine's module cannot serve; neither opens a window.
void RequestRemoteSupport(const QString& address);
