// The remote-support web window on the real web engine, against pages served by a local HTTP
// server: where a page's new windows open, and a second request reusing the window. The engine is
// the module the program loads (src/web), reached through WebView as the program reaches it.
#include "../startup/localhttp.h"
#include "deployment.h"
#include "frmwebmdichild.h"
#include "mainwindow.h"
#include "prompts.h"
#include "remotesupport.h"
#include "screens.h"
#include "testmain.h"
#include "webview.h"
#include "workscreens.h"

#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QTemporaryDir>
#include <QMdiArea>
#include <QPushButton>

namespace {
// The engine's helper process runs without its sandbox here (tests run as root in a
// container). The GL context it shares with the widgets is the module's business, as in the
// program: nothing is set before QApplication.
const bool kEngineReady = [] {
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--no-sandbox --disable-gpu --disable-dev-shm-usage");
    return true;
}();

QByteArray Page(const QByteArray& body) {
    return "<!doctype html><html><head><meta charset=\"utf-8\"><title>t</title></head><body>" + body +
           "</body></html>";
}

// The engine's own browser windows, read through their Qt properties (this test, like the
// program, links nothing of the engine).
QList<QWidget*> Popups() {
    QList<QWidget*> out;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QStringLiteral("WebPopup") && w->isVisible()) out << w;
    return out;
}
QString PopupPath(QWidget* popup) {
    return popup->property("url").toUrl().path();
}
} // namespace

class WebWindowTest : public QObject {
    Q_OBJECT
private:
    LocalHttpServer server;
    std::unique_ptr<frmMain> main;

    QString Address(const char* path) const {
        return QStringLiteral("http://%1%2").arg(server.host(), QLatin1String(path));
    }

    frmWebMDIChild* Request(const char* path) {
        RunCommandFor(Address(path));
        auto* web = qobject_cast<frmWebMDIChild*>(OpenedScreen(QStringLiteral("원격지원요청")));
        if (!web || !web->WebBrowser) return nullptr;
        if (!QTest::qWaitFor(
                [&] {
                    return web->WebBrowser->url().path() == QLatin1String(path) &&
                           !web->WebBrowser->isLoading();
                },
                20000))
            qWarning("page %s not loaded", path);
        return web;
    }
    void RunCommandFor(const QString& address) { RequestRemoteSupportAt(*main, address); }

private slots:
    void initTestCase() {
        QVERIFY(kEngineReady);
        const LocalHttpServer::Route html{200, {}, -1, false, "text/html; charset=utf-8"};
        auto page = [&](const QByteArray& path, const QByteArray& body) {
            LocalHttpServer::Route r = html;
            r.body = Page(body);
            server.route(path, r);
        };
        page("/plain.html", "<p>원격지원</p>");
        page("/overlay.html", "<div id=\"excel_overlay\" style=\"display:block\">다운로드 중</div>");
        page("/hidden.html", "<div id=\"excel_overlay\" style=\"display:none\">다운로드 중</div>");
        page("/popup.html", "<p>팝업</p>");
        page("/second.html", "<p>다시</p>");
        LocalHttpServer::Route file;
        file.body = QByteArray(200000, 'x');
        server.route("/report.xlsx", file);
        file.cutAfter = 1000; // the server hangs up half-way
        server.route("/broken.xlsx", file);
        RegisterWorkScreens();
        main = std::make_unique<frmMain>();
        main->setEnabled(true);
        main->resize(1200, 800);
        main->show();
    }
    void cleanup() {
        for (QWidget* popup : Popups())
            popup->close();
        if (WorkScreen* web = OpenedScreen(QStringLiteral("원격지원요청"))) web->close();
        QTRY_VERIFY(!OpenedScreen(QStringLiteral("원격지원요청")));
    }
    void cleanupTestCase() { main.reset(); }

    void newWindowRule_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("beforeOpening"); // script run on the page first
        QTest::addColumn<bool>("overlay");
        QTest::newRow("no overlay: separate window") << "/plain.html"
                                                     << "" << false;
        QTest::newRow("overlay hidden: separate window") << "/hidden.html"
                                                         << "" << false;
        QTest::newRow("overlay shown: this window") << "/overlay.html"
                                                    << "" << true;
        QTest::newRow("overlay shown by the page later: this window")
            << "/hidden.html"
            << "document.getElementById('excel_overlay').style.display='block'" << true;
        QTest::newRow("overlay hidden again: separate window")
            << "/overlay.html"
            << "document.getElementById('excel_overlay').style.display='none'" << false;
        QTest::newRow("overlay added later: this window")
            << "/plain.html"
            << "var d=document.createElement('div');d.id='excel_overlay';d.style.display='block';"
               "document.body.appendChild(d)"
            << true;
    }
    void newWindowRule() {
        QFETCH(QString, path);
        QFETCH(QString, beforeOpening);
        QFETCH(bool, overlay);
        PromptScript prompts;
        frmWebMDIChild* web = Request(path.toUtf8().constData());
        QVERIFY(web);
        if (!beforeOpening.isEmpty()) web->WebBrowser->runJavaScript(beforeOpening);
        QTRY_COMPARE_WITH_TIMEOUT(web->WebBrowser->overlayShown(), overlay, 10000);
        web->WebBrowser->runJavaScript(QStringLiteral("window.open('/popup.html', '_blank')"));
        if (overlay) {
            QTRY_COMPARE_WITH_TIMEOUT(web->WebBrowser->url().path(), QStringLiteral("/popup.html"), 15000);
            QVERIFY(Popups().isEmpty());
        } else {
            QTRY_COMPARE_WITH_TIMEOUT(Popups().size(), 1, 15000);
            QTRY_COMPARE_WITH_TIMEOUT(PopupPath(Popups().front()), QStringLiteral("/popup.html"), 15000);
            QCOMPARE(web->WebBrowser->url().path(), path);
        }
        QVERIFY(prompts.asked().empty());
    }

    // A second request reuses the one window, captioned and filling the client area, and
    // navigates it again; the service gets its form content type.
    void reusedWindowNavigatesAgain() {
        PromptScript prompts;
        frmWebMDIChild* first = Request("/plain.html");
        QVERIFY(first);
        QCOMPARE(first->windowTitle(), QStringLiteral("원격지원요청"));
        QCOMPARE(first->parentWidget()->geometry(), QRect(QPoint(0, 0), MainClientSize()));
        QCOMPARE(first->cmdArr.at(99)->text(), QStringLiteral("   닫 기"));
        frmWebMDIChild* second = Request("/second.html");
        QCOMPARE(second, first);
        QCOMPARE(main->mdiArea()->subWindowList().size(), 1);
        bool header = false;
        for (const auto& r : server.requests())
            header = header || (r.path == "/second.html" &&
                                r.raw.toLower().contains("content-type: application/x-www-form-urlencoded"));
        QVERIFY(header);
        // The close button closes it; the next request builds a fresh one.
        QTest::mouseClick(first->cmdArr.at(99), Qt::LeftButton);
        QTRY_VERIFY(!OpenedScreen(QStringLiteral("원격지원요청")));
        QVERIFY(Request("/plain.html"));
    }

    // A page's download goes through the Save-As dialog (in the last folder) and ends with a word
    // of where it is, or that it is not; declined, nothing is written and nothing said.
    void downloads_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("chosen");
        QTest::addColumn<QString>("said"); // "" = nothing
        QTest::newRow("saved") << "/report.xlsx" << true << "파일을 저장했습니다.";
        QTest::newRow("cut off") << "/broken.xlsx" << true << "파일을 저장하지 못했습니다.";
        QTest::newRow("declined") << "/report.xlsx" << false << "";
    }
    void downloads() {
        QFETCH(QString, path);
        QFETCH(bool, chosen);
        QFETCH(QString, said);
        QTemporaryDir folder;
        const QString target = folder.filePath(QStringLiteral("받은파일.xlsx"));
        PromptScript prompts;
        prompts.answerSaveAs(chosen ? target : QString());
        frmWebMDIChild* web = Request("/plain.html");
        QVERIFY(web);
        web->WebBrowser->runJavaScript(QStringLiteral("location.href='%1'").arg(path));
        QTRY_VERIFY_WITH_TIMEOUT(prompts.asked().size() == (said.isEmpty() ? 1u : 2u), 20000);
        QCOMPARE(prompts.asked().front().kind, PromptKind::SaveAs);
        QCOMPARE(prompts.asked().front().defaultValue, path.mid(1));
        if (said.isEmpty()) {
            QTest::qWait(300);
            QVERIFY(!QFile::exists(target));
            return;
        }
        QVERIFY2(prompts.texts().last().startsWith(said), qPrintable(prompts.texts().last()));
        QVERIFY(prompts.texts().last().contains(QDir::toNativeSeparators(target)));
        if (path == QStringLiteral("/report.xlsx")) {
            QCOMPARE(QFileInfo(target).size(), 200000);
            QCOMPARE(prompts.asked().back().kind, PromptKind::Notice);
            // The next one opens where this one went.
            prompts.answerSaveAs(QString());
            web->WebBrowser->runJavaScript(QStringLiteral("location.href='/report.xlsx'"));
            QTRY_VERIFY_WITH_TIMEOUT(prompts.asked().size() == 3u, 20000);
            QCOMPARE(prompts.asked().back().folder, folder.path());
        }
    }

    // The layout never stops, however narrow the window.
    void narrowWindowLaysOut() {
        frmWebMDIChild web;
        web.resize(40, 30);
        web.show();
        QVERIFY(web.WebBrowser);
        QCOMPARE(web.WebBrowser->widget()->width(), 40);
        QCOMPARE(web.SSPanel4.at(0)->width(), 0);
        QCOMPARE(web.cmdArr.at(99)->x(), 0);
    }

    void badAddressIsRefused_data() {
        QTest::addColumn<QString>("address");
        QTest::newRow("empty") << "";
        QTest::newRow("no scheme") << "support.delmora.co.kr/x";
        QTest::newRow("not the web") << "file:///etc/passwd";
        QTest::newRow("garbage") << "http://";
    }
    void badAddressIsRefused() {
        QFETCH(QString, address);
        PromptScript prompts;
        RunCommandFor(address);
        QCOMPARE(prompts.asked().size(), size_t(1));
        QVERIFY(prompts.texts().front().startsWith(QStringLiteral("원격지원 주소가 올바르지 않습니다.")));
        QVERIFY(!OpenedScreen(QStringLiteral("원격지원요청")));
    }
};

DELMORA_TEST_MAIN(WebWindowTest)
#include "tst_webwindow.moc"
