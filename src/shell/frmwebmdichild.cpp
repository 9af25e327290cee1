#include "frmwebmdichild.h"

#include "prompts.h"
#include "twips.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QResizeEvent>
#include <QStyle>
#include <QWebEngineHttpRequest>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineView>

namespace {
const QString kCaption = QStringLiteral("원격지원요청");
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

frmWebMDIChild::frmWebMDIChild(QWidget* parent) : WorkScreen(parent) {
    setObjectName(QStringLiteral("frmWebMDIChild"));
    setWindowTitle(kCaption);
    SSPanel4[0] = new QFrame(this);
    SSPanel4[0]->setObjectName(QStringLiteral("SSPanel4(0)"));
    SSPanel4[0]->setFrameShape(QFrame::Panel);
    SSPanel4[0]->setFrameShadow(QFrame::Raised);
    cmdArr[99] = new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton),
                                 QStringLiteral("   닫 기"), this);
    cmdArr[99]->setObjectName(QStringLiteral("cmdArr(99)"));
    connect(cmdArr[99], &QPushButton::clicked, this, [this] { CloseWorkScreen(this); });

    WebBrowser = new QWebEngineView(this);
    WebBrowser->setObjectName(QStringLiteral("WebBrowser"));
    m_page = new WebPage(QWebEngineProfile::defaultProfile(), WebBrowser);
    WebBrowser->setPage(m_page);
    ApplyLayout();
}

void frmWebMDIChild::Form_Resize() {
    FillClientArea(this);
    ApplyLayout();
}

void frmWebMDIChild::resizeEvent(QResizeEvent* event) {
    WorkScreen::resizeEvent(event);
    ApplyLayout();
}

void frmWebMDIChild::ApplyLayout() {
    // A window narrower than the close button still lays out: sizes only go down to zero.
    const double W = PxToTwips(width());
    const double H = PxToTwips(height());
    PlaceTwips(WebBrowser, 0, 435, W, H - 435);
    PlaceTwips(SSPanel4.at(0), 0, 0, W - 1185, 435);
    PlaceTwips(cmdArr.at(99), qMax(0.0, W - 1185), 15, 1170, 405);
}

void frmWebMDIChild::Navigate(const QUrl& address) {
    WebBrowser->setUrl(QUrl(QStringLiteral("about:blank")));
    QWebEngineHttpRequest request(address);
    request.setHeader(QByteArrayLiteral("Content-Type"),
                      QByteArrayLiteral("application/x-www-form-urlencoded"));
    WebBrowser->load(request);
}

void RequestRemoteSupport(const QString& address) {
    const QUrl url(address.trimmed(), QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() ||
        (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
        Prompt::refusal(QStringLiteral("원격지원 주소가 올바르지 않습니다.\n설정 파일(delmora.conf)의 "
                                       "remote_support_url을 확인해주세요.\n") +
                        address.left(200));
        return;
    }
    auto* web = qobject_cast<frmWebMDIChild*>(OpenScreen(kCaption));
    if (!web) return;
    web->setWindowTitle(kCaption);
    FillClientArea(web);
    web->Navigate(url);
}
