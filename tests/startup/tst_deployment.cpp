#include "testmain.h"
#include "deployment.h"
#include "ini.h"
#include <QFile>

class DeploymentTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void read_data() {
        QTest::addColumn<QByteArray>("file");   // null: no file
        QTest::addColumn<QString>("database");
        QTest::addColumn<QString>("update");
        QTest::addColumn<QString>("home");
        QTest::addColumn<bool>("plainHttp");
        // No compiled-in update server: only a deployment that names one has an update check.
        QTest::newRow("no file: embedded store, no update server") << QByteArray() << ""
                                                                   << ""
                                                                   << "http://www.delmora.co.kr" << false;
        QTest::newRow("every key, comments, blanks")
            << QByteArray("# 콜센터\n database_server = 10.0.0.5 \r\nupdate_server=up.example:8080\n"
                          "; old\nhome_page=http://example\n")
            << "10.0.0.5"
            << "up.example:8080"
            << "http://example" << false;
        QTest::newRow("https update server, plain HTTP allowed")
            << QByteArray("update_server=https://up.example\nupdate_plain_http = YES\n") << ""
            << "https://up.example"
            << "http://www.delmora.co.kr" << true;
        QTest::newRow("plain HTTP anything but yes")
            << QByteArray("update_server=up\nupdate_plain_http=1\n") << ""
            << "up"
            << "http://www.delmora.co.kr" << false;
        QTest::newRow("garbage lines ignored")
            << QByteArray("\xff\xfe garbage\n=x\nno equals\nDATABASE_SERVER=db\nunknown=1\n\0\0", 55) << "db"
            << ""
            << "http://www.delmora.co.kr" << false;
    }
    void read() {
        QFETCH(QByteArray, file);
        QFETCH(QString, database);
        QFETCH(QString, update);
        QFETCH(QString, home);
        const QString path = ProgramFolder() + QStringLiteral("/delmora.conf");
        QFile::remove(path);
        if (!file.isNull()) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(file);
        }
        const Deployment d = ReadDeployment(path);
        QCOMPARE(d.databaseServer, database);
        QCOMPARE(d.updateServer, update);
        QCOMPARE(d.homePage, home);
        QTEST(d.updatePlainHttp, "plainHttp");
        QVERIFY(d.remoteSupportUrl.startsWith(QStringLiteral("https://")));
    }

    // The addresses never come from Setting.ini, whatever it holds.
    void settingsFileIsNotConsulted() {
        WriteIni(QStringLiteral("데이타"), QStringLiteral("database_server"), QStringLiteral("evil"));
        QFile::remove(ProgramFolder() + QStringLiteral("/delmora.conf"));
        QCOMPARE(ReadDeployment(ProgramFolder() + QStringLiteral("/delmora.conf")).databaseServer, QString());
    }
};

DELMORA_TEST_MAIN(DeploymentTest)
#include "tst_deployment.moc"
