#include "frmwebmdichild.h"

#include "prompts.h"
#include "twips.h"
#include "webmodule.h"
#include "webview.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QResizeEvent>
#include <QStyle>

namespace {
const QString kCaption = QStringLiteral("원격지원요청");
} // namespace

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

    WebBrowser = CreateWebView(this);
    if (WebBrowser) WebBrowser->widget()->setObjectName(QStringLiteral("WebBrowser"));
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
    if (WebBrowser) PlaceTwips(WebBrowser->widget(), 0, 435, W, H - 435);
    PlaceTwips(SSPanel4.at(0), 0, 0, W - 1185, 435);
    PlaceTwips(cmdArr.at(99), qMax(0.0, W - 1185), 15, 1170, 405);
}

void frmWebMDIChild::Navigate(const QUrl& address) {
    if (WebBrowser) WebBrowser->navigate(address);
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
    // The engine comes with the first web window; without it there is no window to open.
    QString why;
    if (!LoadWebModule(&why)) {
        Prompt::refusal(QStringLiteral("원격지원 화면을 열 수 없습니다.\n웹 화면 구성요소(%1)를 불러오지 "
                                       "못했습니다.\n프로그램을 다시 설치하거나 관리자에게 문의해주세요.\n")
                            .arg(QStringLiteral(DELMORA_WEB_MODULE_FILE)) +
                        why.left(400));
        return;
    }
    auto* web = qobject_cast<frmWebMDIChild*>(OpenScreen(kCaption));
    if (!web) return;
    web->setWindowTitle(kCaption);
    FillClientArea(web);
    web->Navigate(url);
}
