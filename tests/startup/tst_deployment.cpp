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
        QTest::newRow("no file: embedded store, default servers")
            << QByteArray() << "" << "update.delmora.co.kr" << "http://www.delmora.co.kr";
        QTest::newRow("every key, comments, blanks")
            << QByteArray("# 콜센터\n database_server = 10.0.0.5 \r\nupdate_server=up.example:8080\n"
                          "; old\nhome_page=http://example\n")
            << "10.0.0.5" << "up.example:8080" << "http://example";
        QTest::newRow("garbage lines ignored")
            << QByteArray("\xff\xfe garbage\n=x\nno equals\nDATABASE_SERVER=db\nunknown=1\n\0\0", 55)
            << "db" << "update.delmora.co.kr" << "http://www.delmora.co.kr";
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
