// The office simulator: every event is one a real office could make, statuses only move
// forward, the store stays sound, and it runs beside a client writing the same store file.
#include "demotarget.h"
#include "pgcluster.h"
#include "simulate.h"
#include "storeconnection.h"
#include "storetesthelp.h"
#include "testmain.h"
#include "teststore.h"

#include <QProcess>
#include <sqlite3.h>

using namespace storetest;
using dstore::FreightStore;
using dstore::OfficeEventKind;

namespace {

int rank(const QString& status) {
    static const QStringList order = {QStringLiteral("접수"), QStringLiteral("배차완료"),
                                      QStringLiteral("운송완료"), QStringLiteral("계산서"),
                                      QStringLiteral("정산완료")};
    return order.indexOf(status);
}

QHash<QString, QString> statuses(FreightStore& store) {
    QHash<QString, QString> out;
    const auto rows = store.query("select ID, 오더상태 from 화물오더");
    for (qsizetype r = 0; r < rows->rowCount(); ++r)
        out.insert(rows->text(r, 0), rows->text(r, 1));
    return out;
}

QString integrity(sqlite3* db) {
    QString answer;
    sqlite3_exec(
        db, "pragma integrity_check",
        [](void* out, int, char** values, char**) {
            *static_cast<QString*>(out) += QString::fromUtf8(values[0]);
            return 0;
        },
        &answer, nullptr);
    return answer;
}

} // namespace

class TestSimulate : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void everyEventIsLegal_data() {
        QTest::addColumn<quint32>("seed");
        QTest::newRow("seed 1") << 1u;
        QTest::newRow("seed 7") << 7u;
        QTest::newRow("seed 2024") << 2024u;
    }

    void everyEventIsLegal() {
        QFETCH(quint32, seed);
        QTemporaryDir dir;
        auto store = FreightStore::create(dir.filePath(QStringLiteral("s.sqlite")));
        dstore::DemoOptions demo;
        demo.orders = 300;
        demo.seed = seed;
        dstore::fillDemoData(*store, demo);
        const auto before = statuses(*store);

        dstore::OfficeSimulator office(*store, seed);
        QSet<OfficeEventKind> kinds;
        QList<qint64> dispatched;
        for (int i = 0; i < 150; ++i) {
            const auto event = office.step();
            QVERIFY(event);
            QVERIFY(!event->line.isEmpty());
            kinds.insert(event->kind);
            if (event->kind == OfficeEventKind::Dispatch) dispatched << event->orderId;
            if (event->kind == OfficeEventKind::Invoice)
                QCOMPARE(cell(*store, "select count(*) from 세금계산서 where 오더ID = " +
                                          QByteArray::number(event->orderId)),
                         QStringLiteral("1"));
        }
        QCOMPARE(kinds.size(), 5);

        // Statuses only move forward; cancelled and unhandled orders are the agents' business.
        const auto after = statuses(*store);
        for (auto it = before.cbegin(); it != before.cend(); ++it) {
            const QString now = after.value(it.key());
            if (rank(it.value()) < 0)
                QCOMPARE(now, it.value());
            else
                QVERIFY2(rank(now) >= rank(it.value()),
                         qPrintable(it.key() + QLatin1Char(' ') + it.value() + "→" + now));
        }
        // A dispatch only to a member whose vehicle is what the order asked for.
        for (const qint64 id : dispatched) {
            const auto fit =
                store->query("select count(*) from 화물오더 o join 코드_차주 c on c.아이디 = o.차주아이디 "
                             "and c.휴대전화 = o.차주연락처 "
                             "where o.ID = " +
                             QByteArray::number(id) +
                             " and c.톤수 = o.희망톤수 and c.차종 = o.희망차종 and o.차량번호 = c.차량번호");
            QCOMPARE(fit->text(0, 0), QStringLiteral("1"));
        }
        QCOMPARE(integrity(store->handle()), QStringLiteral("ok"));
    }

    // The office on a server store: every kind of event happens, each new order the simulator
    // names is the one it registered, and each invoice event leaves exactly one invoice.
    void movesAServerStore() {
        DELMORA_REQUIRE_POSTGRES(cluster);
        QString error;
        QVERIFY2(cluster->createDatabase(QStringLiteral("office"), {}, &error), qPrintable(error));
        auto server = dstore::PgStore::open(cluster->uri(QStringLiteral("office")));
        server->createSchema();
        {
            dstore::DemoOptions demo;
            demo.orders = 300;
            demo.seed = 7;
            auto target = server->demoTarget();
            dstore::fillDemoData(*target, demo);
        }
        dstore::OfficeSimulator office(*server, 7);
        QSet<OfficeEventKind> kinds;
        for (int i = 0; i < 150; ++i) {
            const auto event = office.step();
            QVERIFY(event);
            kinds.insert(event->kind);
            if (event->kind == OfficeEventKind::NewOrder) {
                const auto added = server->query("select 오더상태 from 화물오더 where ID = " +
                                                 QByteArray::number(event->orderId));
                QCOMPARE(added->rowCount(), qsizetype(1));
                QCOMPARE(added->text(0, 0), QStringLiteral("접수"));
                QVERIFY(event->line.contains(QString::number(event->orderId)));
            }
            if (event->kind == OfficeEventKind::Invoice)
                QCOMPARE(server
                             ->query("select count(*) from 세금계산서 where 오더ID = " +
                                     QByteArray::number(event->orderId))
                             ->text(0, 0),
                         QStringLiteral("1"));
        }
        QCOMPARE(kinds.size(), 5);
    }

    // The same seed on the same store gives the same day at the office.
    void deterministicPerSeed() {
        QStringList runs[2];
        for (QStringList& run : runs) {
            QTemporaryDir dir;
            auto store = FreightStore::create(dir.filePath(QStringLiteral("s.sqlite")));
            dstore::DemoOptions demo;
            demo.orders = 200;
            demo.today = QDate::currentDate();
            dstore::fillDemoData(*store, demo);
            dstore::OfficeSimulator office(*store, 42);
            for (int i = 0; i < 40; ++i) {
                const auto e = office.step();
                QVERIFY(e);
                run << QString::number(int(e->kind)) + QLatin1Char('#') + QString::number(e->orderId);
            }
        }
        QCOMPARE(runs[0], runs[1]);
    }

    // An empty store has nothing to move and nothing to copy.
    void emptyStoreHasNoEvents() {
        QTemporaryDir dir;
        auto store = FreightStore::create(dir.filePath(QStringLiteral("s.sqlite")));
        dstore::OfficeSimulator office(*store, 1);
        QVERIFY(!office.step());
    }

    // The tool hammering the store file while the client registers orders on it: neither side
    // fails, every order is there once, and the file is sound.
    void runsBesideAClient() {
        TestStore store(200);
        QProcess tool;
        tool.start(qEnvironmentVariable("DELMORA_STORE_TOOL"),
                   {QStringLiteral("simulate"), store.path(), QStringLiteral("--rate"),
                    QStringLiteral("60000"), QStringLiteral("--seconds"), QStringLiteral("4"),
                    QStringLiteral("--seed"), QStringLiteral("9")});
        QVERIFY(tool.waitForStarted());
        QTest::qWait(200);
        const QString today = QDate::currentDate().toString(Qt::ISODate);
        for (int i = 0; i < 100; ++i) {
            const QByteArray statement = orderSave([&](int k) -> QByteArray {
                if (k == 1) return today.toUtf8();
                if (k == 2) return "접수";
                if (k == 24) return "5톤";
                if (k == 25) return "윙바디";
                if (k == 29) return "동시저장-" + QByteArray::number(i);
                return bareOrderArgument(k) ? QByteArray("1") : QByteArray("");
            });
            try {
                StoreConnection->execute(QString::fromUtf8(statement));
            } catch (const StoreFailure& f) {
                QFAIL(qPrintable(QStringLiteral("save %1 failed: %2").arg(i).arg(f.description)));
            }
        }
        QVERIFY(tool.waitForFinished(20000));
        const QString errors = QString::fromUtf8(tool.readAllStandardError());
        QCOMPARE(tool.exitCode(), 0);
        QVERIFY2(!errors.contains(QStringLiteral("locked")), qPrintable(errors));
        QVERIFY(!tool.readAllStandardOutput().isEmpty());
        QCOMPARE(store.value(QStringLiteral(
                     "select count(*) from 화물오더 where 화물정보1 like '동시저장-%' and 작성아이디 = ''")),
                 QStringLiteral("100"));
        QCOMPARE(store.value(QStringLiteral("select count(distinct 화물정보1) from 화물오더 where 화물정보1 "
                                            "like '동시저장-%' and 작성아이디 = ''")),
                 QStringLiteral("100"));
        auto check = FreightStore::open(store.path());
        QCOMPARE(integrity(check->handle()), QStringLiteral("ok"));
    }
};

DELMORA_TEST_MAIN(TestSimulate)
#include "tst_simulate.moc"
