#pragma once
#include <QString>
#include <QUrl>
#include <functional>
// Opens the address in the user's default browser; "웹 페이지를 열지 못했습니다." when it cannot
// be opened, "인터넷 브라우져 또는 파일을 찾지 못했습니다." when no browser is found.
void OpenInBrowser(const QString& address);

// How an address reaches the browser (QDesktopServices::openUrl); tests install their own so
// that no browser starts. An empty function restores the real one.
using UrlOpener = std::function<bool(const QUrl&)>;
void SetUrlOpener(UrlOpener opener);
