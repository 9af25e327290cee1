#include "browser.h"

#include "prompts.h"

#include <QDesktopServices>
#include <QStandardPaths>

namespace {
UrlOpener& opener() {
    static UrlOpener o;
    return o;
}
} // namespace

void SetUrlOpener(UrlOpener o) { opener() = std::move(o); }

void OpenInBrowser(const QString& address) {
    // The desktop is asked for its default browser directly, so no temporary page is needed to
    // find out which program that is.
    const QUrl url = QUrl::fromUserInput(address.trimmed());
    const QString scheme = url.scheme().toLower();
    const bool webAddress = url.isValid() && !url.host().isEmpty() &&
                            (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
    if (!webAddress) {
        Prompt::refusal(QStringLiteral("웹 페이지를 열지 못했습니다."));
        return;
    }
    const bool opened = opener() ? opener()(url) : QDesktopServices::openUrl(url);
    if (opened) return;
    if (QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty())
        Prompt::refusal(QStringLiteral("인터넷 브라우져 또는 파일을 찾지 못했습니다."));
    else
        Prompt::refusal(QStringLiteral("웹 페이지를 열지 못했습니다."));
}
