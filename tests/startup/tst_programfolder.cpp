// Where an installed copy and a build tree keep their settings and store, the order in which
// deployment files are read, and the demo store that --demo creates once.
#include "demostore.h"
#include "deployment.h"
#include "freightstore.h"
#include "ini.h"
#include "storeconnection.h"
#include "testmain.h"

#include <QFile>

class TestProgramFolder : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString writeFile(const QString& name, const QByteArray& text) {
        const QString path = m_dir.filePath(name);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return {};
        f.write(text);
        return path;
    }

private Q_SLOTS:
    void decide_data() {
        QTest::addColumn<QString>("home");
        QTest::addColumn<QString>("exe");
        QTest::addColumn<QString>("xdg");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("expected");
        const QString tmp = m_dir.path();
        QTest::newRow("DELMORA_HOME wins") << tmp + "/home/" << tmp << "/x"
                                           << "/u" << tmp + "/home";
        QTest::newRow("writable program folder") << "" << tmp << "/x"
                                                 << "/u" << tmp;
        QTest::newRow("installed under /usr") << ""
                                              << "/usr/bin"
                                              << "/x/data"
                                              << "/u"
                                              << "/x/data/delmora";
        QTest::newRow("installed, no XDG_DATA_HOME") << ""
                                                     << "/usr/lib/delmora"
                                                     << ""
                                                     << "/home/kim"
                                                     << "/home/kim/.local/share/delmora";
        QTest::newRow("relative XDG_DATA_HOME is ignored") << ""
                                                           << "/usr/bin"
                                                           << "data"
                                                           << "/home/kim"
                                                           << "/home/kim/.local/share/delmora";
        QTest::newRow("vanished executable folder") << "" << tmp + "/gone"
                                                    << "/x"
                                                    << "/u"
                                                    << "/x/delmora";
    }

    void decide() {
        QFETCH(QString, home);
        QFETCH(QString, exe);
        QFETCH(QString, xdg);
        QFETCH(QString, user);
        QFETCH(QString, expected);
        QCOMPARE(DecideProgramFolder(home, exe, xdg, user), expected);
    }

    void installedCopyNeverSelfUpdates() {
        QVERIFY(IsInstalledCopy(QStringLiteral("/usr/bin")));
        QVERIFY(IsInstalledCopy(QStringLiteral("/usr/lib/delmora/")));
        QVERIFY(!IsInstalledCopy(m_dir.path()));
        QVERIFY(!IsInstalledCopy(QStringLiteral("/usrlocal")) ||
                !QFileInfo(QStringLiteral("/usrlocal")).isWritable());
    }

    // The program folder's file decides the keys it names; the machine's file fills the rest.
    void deploymentReadOrder() {
        const QString own =
            writeFile(QStringLiteral("own.conf"), "database_server=desk-db\nupdate_server=\n");
        const QString machine =
            writeFile(QStringLiteral("etc.conf"),
                      "database_server=office-db\nupdate_server=upd.office\nhome_page=http://office\n");
        const Deployment d = ReadDeployment(QStringList{own, machine});
        QCOMPARE(d.databaseServer, QStringLiteral("desk-db"));
        QCOMPARE(d.updateServer, QString());
        QCOMPARE(d.homePage, QStringLiteral("http://office"));

        const Deployment onlyMachine =
            ReadDeployment(QStringList{m_dir.filePath(QStringLiteral("none.conf")), machine});
        QCOMPARE(onlyMachine.databaseServer, QStringLiteral("office-db"));
        QCOMPARE(onlyMachine.updateServer, QStringLiteral("upd.office"));
    }

    // Without --demo a missing store stays missing; with it, the store is made once.
    void demoStoreCreatedOnlyWhenAsked() {
        Deployment embedded;
        SetDeployment(embedded);
        const QString path = EmbeddedStorePath(ReadConnectionSettings().catalog);
        QFile::remove(path);

        SetDemoStoreRequested(false);
        QCOMPARE(PrepareDemoStore(), DemoStoreResult::NotAsked);
        QVERIFY(!QFileInfo::exists(path));

        Deployment server;
        server.databaseServer = QStringLiteral("db.office");
        SetDeployment(server);
        SetDemoStoreRequested(true);
        QCOMPARE(PrepareDemoStore(), DemoStoreResult::ServerConfigured);
        QVERIFY(!QFileInfo::exists(path));

        SetDeployment(embedded);
        QCOMPARE(PrepareDemoStore(), DemoStoreResult::Created);
        // Everything is in the store file: a desk opening it replays no log first.
        QCOMPARE(QFileInfo(path + QStringLiteral("-wal")).size(), 0);
        {
            auto store = dstore::FreightStore::open(path);
            QVERIFY(store->query("select count(*) from 화물오더")->text(0, 0).toInt() > 1000);
            store->execute("update 코드_주선사 set 주선사명 = '손대지 않음' where 아이디 = 'demo'");
        }
        // A second start finds the store and leaves what the user did to it.
        QCOMPARE(PrepareDemoStore(), DemoStoreResult::Present);
        auto store = dstore::FreightStore::open(path);
        QCOMPARE(store->query("select 주선사명 from 코드_주선사 where 아이디 = 'demo'")->text(0, 0),
                 QStringLiteral("손대지 않음"));
        SetDemoStoreRequested(false);
    }
};

DELMORA_TEST_MAIN(TestProgramFolder)
#include "tst_programfolder.moc"
