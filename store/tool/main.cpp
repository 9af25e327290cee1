// delmora-store: creates freight stores (optionally with demo data) and runs one statement
// against a store exactly as the client would send it.
#include "freightstore.h"
#include "pgstore.h"
#include "simulate.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QStringList>
#include <QThread>
#include <atomic>
#include <csignal>
#include <cstdio>

namespace {

int usage() {
    std::fputs(
        "usage:\n"
        "  delmora-store init PATH|postgresql://... [--demo] [--orders N] [--seed S] [--today yyyy-mm-dd]\n"
        "                    [--desk-role ROLE]\n"
        "  delmora-store upgrade PATH|postgresql://... [--desk-role ROLE]\n"
        "  delmora-store sql PATH|postgresql://... STATEMENT\n"
        "  delmora-store simulate PATH|postgresql://... [--rate N] [--seconds S] [--seed S] [--events N]\n",
        stderr);
    return 2;
}

void printError(const dstore::Error& e) {
    std::fprintf(stderr, "error %lld: %s\n", static_cast<long long>(e.number),
                 e.message.toUtf8().constData());
}

// Tabs and line breaks inside a value would break the one-row-per-line layout.
QByteArray cellText(QByteArrayView v) {
    QByteArray s = v.toByteArray();
    s.replace('\t', ' ');
    s.replace('\n', ' ');
    s.replace('\r', ' ');
    return s;
}

// A store made by an older version, brought up to date in one transaction. The embedded store
// does this itself when a program first opens it; a server store's desks may not change its
// schema, so its administrator runs this once after installing a new version.
int runUpgrade(const QStringList& args) {
    const bool withDesks = args.size() == 3 && args[1] == QLatin1String("--desk-role");
    if (args.size() != 1 && !withDesks) return usage();
    try {
        if (dstore::isPostgresUri(args.first())) {
            auto store = dstore::PgStore::open(args.first());
            store->upgradeSchema();
            // Tables and functions the new version added reach the desks too.
            if (withDesks) store->grantDesks(args[2]);
        } else if (withDesks) {
            return usage();
        } else
            dstore::FreightStore::open(args.first());
    } catch (const dstore::Error& e) {
        printError(e);
        return 1;
    }
    std::printf("upgraded %s\n", args.first().toUtf8().constData());
    return 0;
}

int runInit(const QStringList& args) {
    if (args.isEmpty()) return usage();
    const QString path = args.first();
    bool demo = false;
    QString deskRole;
    dstore::DemoOptions options;
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        auto value = [&](const char* what) -> QString {
            if (i + 1 >= args.size()) {
                std::fprintf(stderr, "%s needs a value\n", what);
                return {};
            }
            return args[++i];
        };
        bool ok = true;
        if (a == QLatin1String("--demo")) {
            demo = true;
        } else if (a == QLatin1String("--orders")) {
            options.orders = value("--orders").toInt(&ok);
            ok = ok && options.orders >= 0;
            demo = true;
        } else if (a == QLatin1String("--seed")) {
            options.seed = value("--seed").toUInt(&ok);
            demo = true;
        } else if (a == QLatin1String("--desk-role")) {
            deskRole = value("--desk-role");
            ok = !deskRole.isEmpty() && dstore::isPostgresUri(path);
        } else if (a == QLatin1String("--today")) {
            options.today = QDate::fromString(value("--today"), QStringLiteral("yyyy-MM-dd"));
            ok = options.today.isValid();
            demo = true;
        } else {
            ok = false;
        }
        if (!ok) {
            std::fprintf(stderr, "bad argument: %s\n", a.toUtf8().constData());
            return usage();
        }
    }
    try {
        QElapsedTimer timer;
        timer.start();
        if (dstore::isPostgresUri(path)) {
            // The database exists already (the server's administrator creates it); the store's
            // tables, procedures and data go into it.
            auto store = dstore::PgStore::open(path);
            store->createSchema();
            if (!deskRole.isEmpty()) store->grantDesks(deskRole);
            if (demo) dstore::fillDemoData(*store->demoTarget(), options);
        } else {
            auto store = dstore::FreightStore::create(path);
            if (demo) dstore::fillDemoData(*store, options);
        }
        std::fprintf(stderr, "created %s%s in %.1f s\n", path.toUtf8().constData(),
                     demo ? " with demo data" : "", timer.elapsed() / 1000.0);
        return 0;
    } catch (const dstore::Error& e) {
        printError(e);
        return 1;
    }
}

int runSql(const QStringList& args) {
    if (args.size() != 2) return usage();
    try {
        std::shared_ptr<const dstore::ResultSet> rows;
        if (dstore::isPostgresUri(args[0]))
            rows = dstore::PgStore::open(args[0])->query(args[1].toUtf8());
        else
            rows = dstore::FreightStore::open(args[0])->query(args[1].toUtf8());
        if (rows->columnCount() == 0) return 0;
        QByteArray out;
        for (int c = 0; c < rows->columnCount(); ++c) {
            if (c) out += '\t';
            out += rows->columnName(c);
        }
        out += '\n';
        for (qsizetype r = 0; r < rows->rowCount(); ++r) {
            for (int c = 0; c < rows->columnCount(); ++c) {
                if (c) out += '\t';
                out += cellText(rows->bytes(r, c));
            }
            out += '\n';
            if (out.size() > (1 << 20)) {
                std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
                out.clear();
            }
        }
        std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
        return 0;
    } catch (const dstore::Error& e) {
        printError(e);
        return 1;
    }
}

std::atomic<bool> interrupted{false};
extern "C" void onInterrupt(int) {
    interrupted = true;
}

// The office around the agent, at N events a minute, until S seconds have passed, N events
// have run or Ctrl-C.
int runSimulate(const QStringList& args) {
    if (args.isEmpty()) return usage();
    int rate = 6, seconds = 0, events = 0;
    quint32 seed = quint32(QDateTime::currentMSecsSinceEpoch());
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        bool ok = i + 1 < args.size();
        const QString v = ok ? args[++i] : QString();
        if (a == QLatin1String("--rate"))
            rate = v.toInt(&ok), ok = ok && rate > 0 && rate <= 60000;
        else if (a == QLatin1String("--seconds"))
            seconds = v.toInt(&ok), ok = ok && seconds >= 0;
        else if (a == QLatin1String("--seed"))
            seed = v.toUInt(&ok);
        else if (a == QLatin1String("--events"))
            events = v.toInt(&ok), ok = ok && events >= 0;
        else
            ok = false;
        if (!ok) {
            std::fprintf(stderr, "bad argument: %s\n", a.toUtf8().constData());
            return usage();
        }
    }
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
    try {
        std::unique_ptr<dstore::FreightStore> file;
        std::unique_ptr<dstore::PgStore> server;
        std::unique_ptr<dstore::OfficeSimulator> simulator;
        if (dstore::isPostgresUri(args[0])) {
            server = dstore::PgStore::open(args[0]);
            simulator = std::make_unique<dstore::OfficeSimulator>(*server, seed);
        } else {
            file = dstore::FreightStore::open(args[0]);
            simulator = std::make_unique<dstore::OfficeSimulator>(*file, seed);
        }
        dstore::OfficeSimulator& office = *simulator;
        QElapsedTimer clock;
        clock.start();
        const qint64 gap = 60000 / rate;
        int done = 0;
        qint64 due = 0;
        while (!interrupted && (seconds == 0 || clock.elapsed() < seconds * 1000LL) &&
               (events == 0 || done < events)) {
            if (clock.elapsed() < due) {
                QThread::msleep(quint32(std::min<qint64>(100, due - clock.elapsed())));
                continue;
            }
            due += gap;
            if (const auto e = office.step()) {
                std::printf("%s\n", e->line.toUtf8().constData());
                std::fflush(stdout);
                ++done;
            }
        }
        std::fprintf(stderr, "%d events\n", done);
        return 0;
    } catch (const dstore::Error& e) {
        printError(e);
        return 1;
    }
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty()) return usage();
    const QString command = args.takeFirst();
    if (command == QLatin1String("init")) return runInit(args);
    if (command == QLatin1String("upgrade")) return runUpgrade(args);
    if (command == QLatin1String("sql")) return runSql(args);
    if (command == QLatin1String("simulate")) return runSimulate(args);
    return usage();
}
