#include "httpget.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

namespace {

HttpTimeouts g_timeouts;

QNetworkRequest makeRequest(const QUrl& url) {
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::UserAgentHeader, QByteArray(HttpUserAgent));
    // Always the server's current answer: a cached version page would hide a new release.
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    // Qt's transfer time-out counts from the last byte received, so it catches a server that
    // accepts the connection and then says nothing.
    request.setTransferTimeout(g_timeouts.idleMs);
    return request;
}

std::optional<QByteArray> get(const QString& address, qint64 maxBytes, int totalMs);

} // namespace

HttpTimeouts CurrentHttpTimeouts() { return g_timeouts; }
void SetHttpTimeouts(const HttpTimeouts& timeouts) { g_timeouts = timeouts; }

std::optional<QByteArray> HttpGetBytes(const QString& address, qint64 maxBytes) {
    return get(address, maxBytes, g_timeouts.totalMs);
}

QString HttpGetText(const QString& address) {
    // The pages asked for as text are a line or two; a megabyte is far beyond any of them.
    const std::optional<QByteArray> body = get(address, 1024 * 1024, g_timeouts.textTotalMs);
    return body ? QString::fromUtf8(*body) : QString();
}

namespace {

std::optional<QByteArray> get(const QString& address, qint64 maxBytes, int totalMs) {
    const QUrl url(address, QUrl::TolerantMode);
    if (!url.isValid() || url.host().isEmpty()) return std::nullopt;
    const QString scheme = url.scheme().toLower();
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https")) return std::nullopt;

    QNetworkAccessManager manager;
    manager.setProxy(QNetworkProxy::NoProxy);
    QNetworkReply* reply = manager.get(makeRequest(url));

    QByteArray body;
    bool tooLarge = false;
    QEventLoop loop;
    QTimer total;
    total.setSingleShot(true);
    QObject::connect(&total, &QTimer::timeout, reply, &QNetworkReply::abort);
    QObject::connect(reply, &QNetworkReply::readyRead, &loop, [&] {
        body += reply->readAll();
        if (body.size() > maxBytes) {
            tooLarge = true;
            reply->abort();
        }
    });
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    total.start(totalMs);
    if (!reply->isFinished()) loop.exec(QEventLoop::ExcludeUserInputEvents);
    total.stop();

    std::optional<QByteArray> result;
    if (!tooLarge && reply->error() == QNetworkReply::NoError) {
        body += reply->readAll();
        const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
        // An error page is not the answer that was asked for, however it reads.
        if (body.size() <= maxBytes && (!status.isValid() || (status.toInt() >= 200 && status.toInt() < 300)))
            result = std::move(body);
    }
    // The manager dies with this frame; take the reply with it now rather than later.
    delete reply;
    return result;
}

} // namespace

void HttpGetDetached(QNetworkAccessManager& inet, const QUrl& url, void (*onPieces)(const QStringList&)) {
    if (url.isEmpty() || !url.isValid()) return;
    inet.setProxy(QNetworkProxy::NoProxy);
    QNetworkReply* reply = inet.get(makeRequest(url));
    QObject::connect(reply, &QNetworkReply::finished, reply, [reply, onPieces] {
        if (onPieces) onPieces(QString::fromUtf8(reply->readAll()).split(QLatin1Char(';')));
        reply->deleteLater();
    });
}
