// The embedded store shared with other programs on the machine (a second client, the
// delmora-store tool, the sqlite3 shell) while something inside the client opens and closes the
// store's files: every write the client was told succeeded is in the file other programs read.
#include "deployment.h"
#include "gridroutines.h"
#include "ini.h"
#include "prompts.h"
#include "spreadgrid.h"
#include "storetrap.h"
#include "testmain.h"

#include <QFile>
#include <QFileDialog>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>

namespace {
const QString CountShippers = QStringLiteral("select count(*) from 코드_화주");

QString addShipper(int code) {
    return QStringLiteral("insert into 코드_화주 (코드, 화주명) values ('%1', '화주%1')").arg(code);
}

// Another process on the same file; its answer's first cell.
QString peerValue(const QString& program, const QString& store, const QString& statement) {
    QProcess p;
    const QStringList arguments = program == QLatin1String("sqlite3")
                                      ? QStringList{store, statement}
                                      : QStringList{QStringLiteral("sql"), store, statement};
    p.start(program == QLatin1String("sqlite3") ? QStandardPaths::findExecutable(program) : program,
            arguments);
    if (!p.waitForFinished(20000) || p.exitCode() != 0)
        return QStringLiteral("peer failed: ") + p.readAllStandardError();
    const QStringList lines =
        QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    // The tool prints a header line, the shell only the values.
    return lines.isEmpty() ? QString() : lines.back();
}

// A descriptor of one of the store's files opened and closed inside this process.
void touchFile(const QString& path) {
    QFile f(path);
    QVERIFY2(f.open(QIODevice::ReadOnly), qPrintable(path));
    f.read(100);
    f.close();
}

// The export's Save-As dialog, shown on the program folder and cancelled once it has listed it.
void showAndCancelExportDialog() {
    SpreadGrid grid;
    grid.setMaxCols(1);
    grid.setMaxRows(1);
    bool seen = false;
    QTimer poll;
    poll.setInterval(50);
    int ticks = 0;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        if (!seen) {
            seen = true;
            dialog->setDirectory(ProgramFolder());
        }
        // Long enough for the folder to be read and its entries given icons and types.
        if (++ticks > 30) dialog->reject();
    });
    poll.start();
    ExportGridToExcel(grid, QStringLiteral("목록"));
    QVERIFY(seen);
}
} // namespace

class StoreSharingTest : public QObject {
    Q_OBJECT
    QString tool() const { return qEnvironmentVariable("DELMORA_STORE_TOOL"); }

private Q_SLOTS:
    void initTestCase() {
        Deployment embedded = CurrentDeployment();
        embedded.databaseServer.clear();
        SetDeployment(embedded);
    }

    void acknowledgedWritesReachOtherPrograms_data() {
        QTest::addColumn<QString>("touch");
        QTest::addColumn<QString>("peer");
        for (const char* peer : {"tool", "sqlite3"}) {
            for (const char* touch : {"store file", "log", "index", "export dialog"})
                QTest::addRow("%s, peer %s", touch, peer)
                    << QString::fromLatin1(touch) << QString::fromLatin1(peer);
        }
    }
    void acknowledgedWritesReachOtherPrograms() {
        QFETCH(QString, touch);
        QFETCH(QString, peer);
        if (tool().isEmpty()) QSKIP("DELMORA_STORE_TOOL is not set");
        const QString program = peer == QLatin1String("tool") ? tool() : QStringLiteral("sqlite3");
        if (peer == QLatin1String("sqlite3") && QStandardPaths::findExecutable(program).isEmpty())
            QSKIP("the sqlite3 shell is not installed");

        // The client process holds one connection to the store, as the program does.
        const QString path = ProgramFolder() + QStringLiteral("/national_corvanta.sqlite");
        for (const char* suffix : {"", "-wal", "-shm"})
            QFile::remove(path + QLatin1String(suffix));
        dstore::FreightStore::create(path).reset();
        int attempts = 0;
        QVERIFY(ConnectStore(attempts));
        {
            PromptScript prompts;
            QVERIFY(RunRoutine([] { StoreTrap().execute(addShipper(1)); }));
        }

        if (touch == QLatin1String("store file"))
            touchFile(path);
        else if (touch == QLatin1String("log"))
            touchFile(path + QStringLiteral("-wal"));
        else if (touch == QLatin1String("index"))
            touchFile(path + QStringLiteral("-shm"));
        else
            showAndCancelExportDialog();

        PromptScript prompts;
        QCOMPARE(peerValue(program, path, CountShippers), QStringLiteral("1"));
        QVERIFY(RunRoutine([] { StoreTrap().execute(addShipper(2)); }));
        QCOMPARE(peerValue(program, path, CountShippers), QStringLiteral("2"));
        RunRoutine([] { StoreTrap().execute(addShipper(3)); });
        QCOMPARE(prompts.texts().join(QLatin1Char('|')), QString());

        // And after the client has closed the store, as after a restart.
        StoreConnection.reset();
        QCOMPARE(peerValue(tool(), path, CountShippers), QStringLiteral("3"));
    }
};

DELMORA_TEST_MAIN(StoreSharingTest)
#include "tst_storesharing.moc"
