#include "frmwebmdichild.h"

#include "ini.h"
#include "prompts.h"
#include "twips.h"
#include "webmodule.h"
#include "webview.h"

#include <unistd.h>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QResizeEvent>
#include <QStyle>

namespace {
const QString kCaption = QStringLiteral("원격지원요청");
const QString kDownloadFolder = QStringLiteral("다운로드폴더");
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

    lblDownload = new QLabel(SSPanel4[0]);
    lblDownload->setObjectName(QStringLiteral("lblDownload"));
    prgDownload = new QProgressBar(SSPanel4[0]);
    prgDownload->setObjectName(QStringLiteral("prgDownload"));
    prgDownload->hide();

    WebBrowser = CreateWebView(this);
    if (WebBrowser) {
        WebBrowser->widget()->setObjectName(QStringLiteral("WebBrowser"));
        WebBrowser->setDownloads(this);
    }
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
    PlaceTwips(prgDownload, 90, 75, 2250, 270);
    const double text = prgDownload->isVisible() ? 2430 : 90;
    PlaceTwips(lblDownload, text, 60, qMax(0.0, W - 1185 - 90 - text), 300);
}

QString frmWebMDIChild::downloadPath(const QString& suggestedName) {
    const QString name = suggestedName.isEmpty() ? QStringLiteral("다운로드") : suggestedName;
    QStringList filters;
    const QString suffix = QFileInfo(name).suffix();
    if (!suffix.isEmpty())
        filters << QStringLiteral("%1 파일 (*.%2)").arg(suffix.toUpper(), suffix);
    filters << QStringLiteral("모든 파일 (*)");
    const QString path = Prompt::saveAs(name, filters, nullptr, UserSetting(kDownloadFolder, QString()));
    if (path.isEmpty()) return {};
    WriteUserSetting(kDownloadFolder, QFileInfo(path).absolutePath());
    m_downloadName = QFileInfo(path).fileName();
    prgDownload->setRange(0, 0);
    prgDownload->show();
    lblDownload->setText(QStringLiteral("받는 중: ") + m_downloadName);
    ApplyLayout();
    return path;
}

void frmWebMDIChild::downloadProgress(qint64 received, qint64 total) {
    const QLocale korean(QLocale::Korean, QLocale::SouthKorea);
    if (total > 0) {
        // Out of a thousand, so a file of gigabytes still fits the bar's int.
        prgDownload->setRange(0, 1000);
        prgDownload->setValue(int(qBound(qint64(0), received * 1000 / total, qint64(1000))));
        lblDownload->setText(QStringLiteral("받는 중: %1 (%2 / %3)")
                                 .arg(m_downloadName, korean.formattedDataSize(received),
                                      korean.formattedDataSize(total)));
    } else {
        lblDownload->setText(
            QStringLiteral("받는 중: %1 (%2)").arg(m_downloadName, korean.formattedDataSize(received)));
    }
}

void frmWebMDIChild::downloadFinished(const QString& path, bool saved, const QString& reason) {
    prgDownload->hide();
    ApplyLayout();
    if (saved) {
        lblDownload->setText(QStringLiteral("저장됨: ") + path);
        Prompt::notice(QStringLiteral("파일을 저장했습니다.\n") + path);
    } else {
        lblDownload->setText(QStringLiteral("저장 못 함: ") + path);
        Prompt::refusal(QStringLiteral("파일을 저장하지 못했습니다.\n") + path +
                        (reason.isEmpty() ? QString() : QStringLiteral("\n") + reason.left(300)));
    }
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
    // The engine's browser ends the whole program, typed orders and all, when it is started by
    // the system administrator with its sandbox on: say so instead.
    if (::geteuid() == 0 && qEnvironmentVariableIntValue("QTWEBENGINE_DISABLE_SANDBOX") != 1 &&
        !qEnvironmentVariable("QTWEBENGINE_CHROMIUM_FLAGS").contains(QStringLiteral("--no-sandbox"))) {
        Prompt::refusal(QStringLiteral("관리자(root) 계정으로 실행 중에는 원격지원 화면을 열 수 없습니다.\n"
                                       "일반 사용자 계정으로 프로그램을 실행해주세요."));
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
