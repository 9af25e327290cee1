#include "testmain.h"

#include "browser.h"
#include "prompts.h"

#include <QDir>
#include <QFile>

// Opening the home page: the desktop's opener is replaced so no browser starts, and PATH says
// whether a browser launcher exists at all.
class TestBrowser : public QObject {
    Q_OBJECT

    QTemporaryDir m_bin;
    QByteArray m_path;
    QList<QUrl> m_opened;

private Q_SLOTS:
    void initTestCase() {
        m_path = qgetenv("PATH");
        QFile launcher(QDir(m_bin.path()).filePath(QStringLiteral("xdg-open")));
        QVERIFY(launcher.open(QIODevice::WriteOnly));
        launcher.write("#!/bin/sh\nexit 1\n");
        launcher.close();
        launcher.setPermissions(launcher.permissions() | QFile::ExeOwner | QFile::ExeUser);
    }
    void cleanup() {
        SetUrlOpener({});
        qputenv("PATH", m_path);
        m_opened.clear();
    }

    void opening_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("opens");
        QTest::addColumn<bool>("launcherExists");
        QTest::addColumn<QString>("openedUrl");
        QTest::addColumn<QString>("message");
        QTest::newRow("opened") << "http://www.delmora.co.kr" << true << true << "http://www.delmora.co.kr" << "";
        QTest::newRow("address without scheme") << "www.delmora.co.kr" << true << true << "http://www.delmora.co.kr"
                                                << "";
        QTest::newRow("browser fails") << "http://www.delmora.co.kr" << false << true << "http://www.delmora.co.kr"
                                       << "웹 페이지를 열지 못했습니다.";
        QTest::newRow("no browser at all") << "http://www.delmora.co.kr" << false << false
                                           << "http://www.delmora.co.kr"
                                           << "인터넷 브라우져 또는 파일을 찾지 못했습니다.";
        QTest::newRow("local file") << "file:///etc/passwd" << true << true << "" << "웹 페이지를 열지 못했습니다.";
        QTest::newRow("script") << "javascript:alert(1)" << true << true << "" << "웹 페이지를 열지 못했습니다.";
        QTest::newRow("empty") << "" << true << true << "" << "웹 페이지를 열지 못했습니다.";
    }
    void opening() {
        QFETCH(QString, address);
        QFETCH(bool, opens);
        QFETCH(bool, launcherExists);
        QFETCH(QString, openedUrl);
        QFETCH(QString, message);
        qputenv("PATH", launcherExists ? m_bin.path().toUtf8() : QTemporaryDir().path().toUtf8());
        SetUrlOpener([&](const QUrl& url) {
            m_opened << url;
            return opens;
        });
        PromptScript script;
        OpenInBrowser(address);
        QCOMPARE(m_opened.size(), openedUrl.isEmpty() ? 0 : 1);
        if (!openedUrl.isEmpty()) QCOMPARE(m_opened[0], QUrl(openedUrl));
        QCOMPARE(script.texts(), message.isEmpty() ? QStringList() : QStringList{message});
        if (!message.isEmpty()) QCOMPARE(script.asked()[0].kind, PromptKind::Refusal);
    }
};

DELMORA_TEST_MAIN(TestBrowser)
#include "tst_browser.moc"
