#include "testmain.h"

#include "httpget.h"
#include "localhttp.h"

// HTTP GET as the update check uses it, against a real server on 127.0.0.1.
class TestHttpGet : public QObject {
    Q_OBJECT

    std::unique_ptr<LocalHttpServer> m_server;
    QString address(const char* path) const { return QStringLiteral("http://") + m_server->host() + QLatin1String(path); }

private Q_SLOTS:
    void init() {
        m_server = std::make_unique<LocalHttpServer>();
        SetHttpTimeouts({1000, 4000, 4000});
    }
    void cleanup() { m_server.reset(); }

    void answers_data() {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("cutAfter");
        QTest::addColumn<bool>("silent");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain answer") << 200 << QByteArray("version=1.0.1$a$b") << -1 << false << "version=1.0.1$a$b";
        QTest::newRow("korean text") << 200 << QStringLiteral("델모라").toUtf8() << -1 << false << "델모라";
        QTest::newRow("empty body") << 200 << QByteArray() << -1 << false << "";
        QTest::newRow("not found page") << 404 << QByteArray("version=9.9.9$a$b") << -1 << false << "";
        QTest::newRow("server error page") << 500 << QByteArray("version=9.9.9$a$b") << -1 << false << "";
        QTest::newRow("cut off") << 200 << QByteArray("version=1.0.1$updater=a$program=b") << 12 << false << "";
        QTest::newRow("never answers") << 200 << QByteArray("x") << -1 << true << "";
    }
    void answers() {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(int, cutAfter);
        QFETCH(bool, silent);
        QFETCH(QString, expected);
        m_server->route("/page", LocalHttpServer::Route{status, body, cutAfter, silent});
        QCOMPARE(HttpGetText(address("/page")), expected);
        QCOMPARE(m_server->paths(), QList<QByteArray>{"/page"});
    }

    void requestLooksLikeTheOldClient() {
        m_server->route("/page", "ok");
        QCOMPARE(HttpGetText(address("/page")), QStringLiteral("ok"));
        QCOMPARE(m_server->requests().value(0).userAgent, QByteArray("vb wininet"));
        // Asked afresh each time: nothing is answered from a cache.
        QCOMPARE(HttpGetText(address("/page")), QStringLiteral("ok"));
        QCOMPARE(m_server->requests().size(), 2);
    }

    void bytesAreKeptWhole() {
        QByteArray binary;
        for (int i = 0; i < 300000; ++i) binary += char(i * 7);
        m_server->route("/bin", binary);
        const auto got = HttpGetBytes(address("/bin"));
        QVERIFY(got);
        QCOMPARE(*got, binary);
    }

    void oversizedBodyIsAFailure() {
        m_server->route("/big", QByteArray(5000, 'z'));
        QVERIFY(!HttpGetBytes(address("/big"), 1000));
    }

    void badAddresses_data() {
        QTest::addColumn<QString>("address");
        QTest::newRow("unreachable") << QStringLiteral("http://") + LocalHttpServer::closedHost() + QStringLiteral("/x");
        QTest::newRow("no host") << QStringLiteral("http:///cs/autoup/Corvanta/ver.asp");
        QTest::newRow("not a web address") << QStringLiteral("file:///etc/hostname");
        QTest::newRow("garbage") << QString(10000, QLatin1Char('\''));
    }
    void badAddresses() {
        QFETCH(QString, address);
        QCOMPARE(HttpGetText(address), QString());
    }
};

DELMORA_TEST_MAIN(TestHttpGet)
#include "tst_httpget.moc"
