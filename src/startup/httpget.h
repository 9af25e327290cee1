#pragma once
// Plain HTTP GET for the update check: no proxy, nothing cached, a time-out so a silent server
// cannot hold up start-up. Runs a local event loop until the answer is in.
#include <QByteArray>
#include <QString>
#include <optional>

class QNetworkAccessManager;
class QUrl;

// The body of the page as text (UTF-8, which covers the plain ASCII answers of the update
// server); "" on any failure: no connection, an HTTP error status, a cut-off body, a time-out.
QString HttpGetText(const QString& address);

// The body as bytes, or nothing on any failure (as above). A body larger than maxBytes is a
// failure too, so a runaway answer cannot fill the memory.
std::optional<QByteArray> HttpGetBytes(const QString& address, qint64 maxBytes = 64 * 1024 * 1024);

// How long a request may go without receiving anything, and how long it may take in all.
struct HttpTimeouts {
    int idleMs = 5000;
    int totalMs = 60000;    // downloads
    int textTotalMs = 3000; // a page of text: start-up waits for it, the login dialog too
};
HttpTimeouts CurrentHttpTimeouts();
// Tests shorten them.
void SetHttpTimeouts(const HttpTimeouts& timeouts);

// The user agent the update server has always seen from this program.
inline constexpr char HttpUserAgent[] = "vb wininet";

// Sends a GET whose answer nobody waits for (the web server's count of clients on line): the
// same request as above, on the caller's manager, without blocking. The answer's pieces,
// split on ";", are handed to onPieces when given; the reply cleans itself up.
void HttpGetDetached(QNetworkAccessManager& inet, const QUrl& url,
                     void (*onPieces)(const QStringList&) = nullptr);
