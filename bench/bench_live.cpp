// How fast another desk's write reaches an open board, and what keeping the boards up to date
// costs the store. Prints; never fails a build. Three desks (processes of this program, each a
// real board on its own connection) on one store while a writer changes orders, first on the
// embedded store, then on a private PostgreSQL cluster (skipped when PostgreSQL is not there).
// A fourth desk on the same store keeps its list by the countdown, as a store that cannot tell
// its changes does, for the figures of that design beside the live ones.
//
//   live ms          from the writer's commit to the row showing the new amount in a desk's list
//   idle rows/min    order rows a desk reads per minute while nothing changes
//   rows per change  order rows a desk reads per order written
#include "clock.h"
#include "deployment.h"
#include "frmorder.h"
#include "pgcluster.h"
#include "pgstore.h"
#include "signin.h"
#include "spreadgrid.h"
#include "spreadmodel.h"
#include "storeconnection.h"
#include "testmain.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <map>

namespace {
constexpr qint64 MarkerBase = 7000000; // the writer's amounts: this plus the change's number
constexpr int Changes = 50;
constexpr int IdleMs = 20000;
constexpr int DeskCount = 3;

qint64 Now() {
    return QDateTime::currentMSecsSinceEpoch();
}

// A desk's link as the client opens it, telling the bench every order row it reads. A countdown
// desk's link does not tell changes, as a store that cannot.
class CountingBackend final : public StoreBackend {
public:
    CountingBackend(std::unique_ptr<StoreBackend> inner, bool live) : m_inner(std::move(inner)), m_live(live) {}
    std::shared_ptr<const dstore::ResultSet> query(const QString& statement) override {
        return counted(statement, m_inner->query(statement));
    }
    std::shared_ptr<const dstore::ResultSet> query(const QString& statement, const ColumnRequest& columns) override {
        return counted(statement, m_inner->query(statement, columns));
    }
    void execute(const QString& statement) override { m_inner->execute(statement); }
    qint64 changedRows() const override { return m_inner->changedRows(); }
    bool checksVersions() override { return m_inner->checksVersions(); }
    void setSessionUser(const QString& who) override { m_inner->setSessionUser(who); }
    StoreChanges pollChanges() override { return m_live ? m_inner->pollChanges() : StoreChanges{}; }

private:
    std::shared_ptr<const dstore::ResultSet> counted(const QString& statement,
                                                     std::shared_ptr<const dstore::ResultSet> rows) {
        if (rows && statement.contains(QStringLiteral("화물오더")))
            std::printf("read %lld %lld\n", (long long)rows->rowCount(), (long long)Now()), std::fflush(stdout);
        return rows;
    }
    std::unique_ptr<StoreBackend> m_inner;
    bool m_live;
};

// One desk: a board on the store, printing each writer's amount the moment its list shows it.
int RunDesk(const QString& server, bool live) {
    Clock::set(QDateTime::currentDateTime());
    LoginId = QStringLiteral("demo");
    BrokerName = QStringLiteral("델모라주선");
    RowHeightSetting = QStringLiteral("18");
    RefreshIntervalSetting = QStringLiteral("10");
    Deployment d = CurrentDeployment();
    d.databaseServer = server;
    SetDeployment(d);
    SetBackendFactory([live](const ConnectionSettings& s) -> std::unique_ptr<StoreBackend> {
        return std::make_unique<CountingBackend>(OpenBackend(s), live);
    });
    int attempts = 0;
    if (!ConnectStore(attempts)) return 1;
    frmOrder board;
    board.resize(1600, 1000);
    board.show();
    QSet<qint64> seen;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, [&] {
        SpreadModel& model = *board.sp->spreadModel();
        for (int r = 0; r < model.rowTotal(); ++r) {
            QString amount = model.cellText(r, 6);
            amount.remove(QLatin1Char(','));
            const qint64 value = amount.toLongLong();
            if (value > MarkerBase && value <= MarkerBase + Changes && !seen.contains(value)) {
                seen.insert(value);
                std::printf("seen %lld %lld\n", (long long)(value - MarkerBase), (long long)Now());
                std::fflush(stdout);
            }
        }
    });
    look.start(5);
    std::printf("ready\n");
    std::fflush(stdout);
    return QApplication::exec();
}

struct DeskLog {
    std::vector<std::pair<qint64, qint64>> reads; // rows, when
    std::map<qint64, qint64> seen;                // change -> when
};

void ReadLines(QProcess& p, DeskLog& log, bool* ready) {
    while (p.canReadLine()) {
        const QList<QByteArray> f = p.readLine().trimmed().split(' ');
        if (f.value(0) == "ready") *ready = true;
        if (f.value(0) == "read") log.reads.push_back({f.value(1).toLongLong(), f.value(2).toLongLong()});
        if (f.value(0) == "seen") log.seen.emplace(f.value(1).toLongLong(), f.value(2).toLongLong());
    }
}

void Wait(std::vector<std::unique_ptr<QProcess>>& desks, std::vector<DeskLog>& logs, std::vector<bool>& ready,
          int ms) {
    QElapsedTimer t;
    t.start();
    do {
        for (size_t i = 0; i < desks.size(); ++i) {
            desks[i]->waitForReadyRead(5);
            bool r = ready[i];
            ReadLines(*desks[i], logs[i], &r);
            ready[i] = r;
        }
    } while (t.elapsed() < ms);
}

double Percentile(std::vector<qint64> v, double p) {
    if (v.empty()) return -1;
    std::sort(v.begin(), v.end());
    return double(v[std::min(v.size() - 1, size_t(p * double(v.size() - 1) + 0.5))]);
}

struct Figures {
    double p95 = -1, p50 = -1, idlePerMinute = -1, perChange = -1;
};

// Three live desks and one countdown desk on the store while the writer writes; the writer is
// handed the change's number and writes it as an amount, returning when it committed.
std::pair<Figures, Figures> Measure(const QString& label, const QString& server, const QString& home,
                                    const std::function<void(int)>& write) {
    std::vector<std::unique_ptr<QProcess>> desks;
    for (int i = 0; i <= DeskCount; ++i) {
        auto p = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DELMORA_HOME"), home);
        p->setProcessEnvironment(env);
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p->start(QCoreApplication::applicationFilePath(),
                 {QStringLiteral("--desk"), i < DeskCount ? QStringLiteral("live") : QStringLiteral("countdown"),
                  server});
        desks.push_back(std::move(p));
    }
    std::vector<DeskLog> logs(desks.size());
    std::vector<bool> ready(desks.size(), false);
    for (int tries = 0; tries < 600 && std::count(ready.begin(), ready.end(), true) < int(desks.size()); ++tries)
        Wait(desks, logs, ready, 50);
    Wait(desks, logs, ready, 1000); // the first looks settle

    const qint64 idleFrom = Now();
    Wait(desks, logs, ready, IdleMs);
    const qint64 idleTo = Now();

    std::map<int, qint64> committed;
    QRandomGenerator random(7);
    for (int n = 1; n <= Changes; ++n) {
        write(n);
        committed[n] = Now();
        Wait(desks, logs, ready, 150 + int(random.bounded(450)));
    }
    const qint64 writesTo = Now();
    Wait(desks, logs, ready, 15000); // the countdown's last refresh comes round
    for (auto& p : desks) {
        p->kill();
        p->waitForFinished();
    }

    auto figures = [&](size_t from, size_t to) {
        Figures f;
        std::vector<qint64> delays;
        qint64 idleRows = 0, writeRows = 0;
        for (size_t i = from; i < to; ++i) {
            for (const auto& [n, when] : committed) {
                const auto s = logs[i].seen.find(n);
                delays.push_back(s == logs[i].seen.end() ? 60000 : std::max<qint64>(0, s->second - when));
            }
            for (const auto& [rows, when] : logs[i].reads) {
                if (when >= idleFrom && when < idleTo) idleRows += rows;
                if (when >= committed.begin()->second - 1 && when <= writesTo + 1000) writeRows += rows;
            }
        }
        const double deskCount = double(to - from);
        f.p95 = Percentile(delays, 0.95);
        f.p50 = Percentile(delays, 0.5);
        f.idlePerMinute = double(idleRows) * 60000.0 / double(idleTo - idleFrom) / deskCount;
        f.perChange = double(writeRows) / double(Changes) / deskCount;
        return f;
    };
    const Figures live = figures(0, DeskCount), countdown = figures(DeskCount, desks.size());
    std::printf("%s, %d desks, %d changes:\n", qPrintable(label), DeskCount, Changes);
    std::printf("  live       commit->list p50 %.0f ms p95 %.0f ms   idle %.0f rows/min   %.2f rows per change\n",
                live.p50, live.p95, live.idlePerMinute, live.perChange);
    std::printf("  countdown  commit->list p50 %.0f ms p95 %.0f ms   idle %.0f rows/min   %.2f rows per change\n",
                countdown.p50, countdown.p95, countdown.idlePerMinute, countdown.perChange);
    std::fflush(stdout);
    return {live, countdown};
}

QString WriteStatement(int n, const QString& today) {
    // Every third change is a new order of the day, the others change an amount of one listed.
    if (n % 3 == 0)
        return QStringLiteral("insert into 화물오더 (날짜, 오더상태, 상차권역, 상차지, 하차권역, 하차지, 운송비) "
                              "values ('%1', '접수', '서울', '강남구', '부산', '해운대구', '%2')")
            .arg(today)
            .arg(MarkerBase + n);
    // Each change of an amount on another order, so that none is written over before a countdown
    // desk could have shown it.
    return QStringLiteral("update 화물오더 set 운송비='%1' where ID=(select ID from 화물오더 where 날짜='%2' "
                          "and 오더상태 <> '취소' order by ID limit 1 offset %3)")
        .arg(MarkerBase + n)
        .arg(today)
        .arg(n);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.value(1) == QLatin1String("--desk")) {
        SetProgramEnd([] { std::exit(1); });
        return RunDesk(args.value(3), args.value(2) == QLatin1String("live"));
    }
    QTemporaryDir home;
    PrepareTestProcess(home);
    const QDate today = QDate::currentDate();
    const QString day = today.toString(Qt::ISODate);
    dstore::DemoOptions demo{4000, 1, today};

    // The embedded store, in a folder the desks share as their program folder.
    const QString storePath = QDir(home.path()).filePath(QStringLiteral("national_corvanta.sqlite"));
    dstore::fillDemoData(*dstore::FreightStore::create(storePath), demo);
    auto writer = dstore::FreightStore::open(storePath);
    const auto rows = writer->query(QStringLiteral("select count(*) from 화물오더 where 날짜='%1'").arg(day).toUtf8());
    std::printf("%s orders of the day in a store of %d\n", qPrintable(rows->text(0, 0)), demo.orders);
    const auto embedded = Measure(QStringLiteral("embedded store"), QString(), home.path(), [&](int n) {
        writer->execute(WriteStatement(n, day).toUtf8());
    });
    writer.reset();

    std::pair<Figures, Figures> pg;
    QString why;
    PgCluster* cluster = PgCluster::instance(&why);
    if (!cluster || !cluster->createDatabase(QStringLiteral("live"), {}, &why)) {
        std::printf("PostgreSQL skipped: %s\n", qPrintable(why));
    } else {
        const QString uri = cluster->uri(QStringLiteral("live"));
        auto store = dstore::PgStore::open(uri);
        store->createSchema();
        dstore::fillDemoData(*store->demoTarget(), demo);
        store->execute("analyze");
        QTemporaryDir deskHome;
        pg = Measure(QStringLiteral("PostgreSQL"), uri, deskHome.path(),
                     [&](int n) { store->execute(WriteStatement(n, day).toUtf8()); });
    }
    std::printf("countdown design: p95 %.0f ms (embedded) %.0f ms (PostgreSQL), idle %.0f rows/min, %.2f rows "
                "per change\n",
                embedded.second.p95, pg.second.p95, embedded.second.idlePerMinute, embedded.second.perChange);
    std::printf("summary live_p95_ms=%.0f idle_rows_per_minute=%.0f rows_per_change=%.2f pg_live_p95_ms=%.0f\n",
                embedded.first.p95, std::max(embedded.first.idlePerMinute, pg.first.idlePerMinute),
                std::max(embedded.first.perChange, pg.first.perChange), pg.first.p95);
    return 0;
}
