// What the order board adds to the store's own read when it lists a month of orders, and what a
// listed row costs in memory. Prints; never fails a build.
//
//   raw    the engine stepping the board's period statement and reading, as text, the columns
//          the board reads (sqlite3 step/column_text on a plain handle), nothing else
//   first  LoadOrderList for that period in a fresh process whose grid never held a row: the
//          heap grows, pages are faulted in (each sample is its own child process)
//   later  the median of the loads after the first, in the same processes
//   rss    resident growth (/proc/self/statm) per listed row after the first load and after the
//          tenth, against the process before its first load
//   built  after the loads, the time to build every row of the list (the board builds a row when
//          it is first read: drawn, reached by a key, exported); shown, not part of a target
//
// Times are this thread's processor time (the machine is shared; wall time would measure the
// neighbours' builds), medians of every sample. Stores hold 10,000, 100,000 and 300,000 orders
// in one month, keys growing with the date as in a real store, plus a day of 1,000 orders. The
// last line is the summary for 100,000 orders.
#include "clock.h"
#include "frmorder.h"
#include "orderstatements.h"
#include "signin.h"
#include "spreadgrid.h"
#include "storeconnection.h"
#include "testmain.h"
#include "benchsupport.h"

#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <sqlite3.h>
#include <unistd.h>

namespace {

const QDate Month(2026, 12, 1);
const QDate BusyDay(2026, 11, 15);
constexpr int BusyDayOrders = 1000;

// The columns the board's list reads, as the board asks for them.
const char* const BoardColumns[] = {"날짜",       "오더상태",  "상차권역",     "상차지",       "하차권역",
                                    "하차지",     "화물정보1", "희망톤수",     "운송비",       "차주명",
                                    "차주연락처", "차량번호",  "차량정보",     "차량톤수",     "차량길이",
                                    "차량길이2",  "배차시간",  "상차요청일시", "하차요청일시", "ID"};

OrderSql::ListFilter PeriodFilter() {
    OrderSql::ListFilter period;
    period.from = Month.toString(QStringLiteral("yyyy-MM-dd"));
    period.to = Month.addMonths(1).addDays(-1).toString(QStringLiteral("yyyy-MM-dd"));
    period.day = period.to;
    period.ticked.fill(true);
    return period;
}

OrderSql::ListFilter DayFilter() {
    OrderSql::ListFilter day = PeriodFilter();
    day.from.clear();
    day.to.clear();
    day.day = BusyDay.toString(QStringLiteral("yyyy-MM-dd"));
    return day;
}

// The engine alone: the board's columns of every row, as text.
qint64 RawRead(sqlite3* db, const QString& statement) {
    sqlite3_stmt* st = nullptr;
    const QByteArray sql = statement.toUtf8();
    sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &st, nullptr);
    std::vector<int> columns;
    for (const char* name : BoardColumns)
        for (int c = 0; c < sqlite3_column_count(st); ++c)
            if (qstrcmp(sqlite3_column_name(st, c), name) == 0) columns.push_back(c);
    qint64 n = 0, bytes = 0;
    while (sqlite3_step(st) == SQLITE_ROW) {
        for (const int c : columns) {
            sqlite3_column_text(st, c);
            bytes += sqlite3_column_bytes(st, c);
        }
        ++n;
    }
    sqlite3_finalize(st);
    return bytes < 0 ? -1 : n;
}

// One child process: a fresh client that lists the period `loads` times (or the busy day).
int Child(const QString& mode, const QString& folder, int loads) {
    QTemporaryDir home;
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) qputenv("XDG_RUNTIME_DIR", home.path().toUtf8());
    int argc = 1;
    char name[] = "bench_board";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    PrepareTestProcess(home);
    // The day the board opens on has no orders: its grid never held a row before the first load.
    Clock::set(QDateTime(QDate(2027, 3, 2), QTime(9, 0)));
    LoginId = QStringLiteral("demo");
    RowHeightSetting = QStringLiteral("18");
    RefreshIntervalSetting = QStringLiteral("10");
    qputenv("DELMORA_HOME", folder.toUtf8());
    ConnectionSettings settings;
    settings.catalog = QStringLiteral("national_corvanta");
    StoreConnection = OpenBackend(settings);
    StoreReady = true;

    auto board = std::make_unique<frmOrder>();
    board->Timer1->stop();
    board->resize(1600, 1000);
    board->show();
    QApplication::processEvents();
    if (board->sp->MaxRows() != 0) std::fprintf(stderr, "!! the board opened with rows\n");

    if (mode == QLatin1String("day")) {
        board->배차일->blockSignals(true);
        board->배차일->setDate(BusyDay);
        board->배차일->blockSignals(false);
        std::vector<qint64> times;
        for (int i = 0; i < loads; ++i)
            times.push_back(Timed([&] { board->LoadOrderList(); }));
        std::printf("day %lld %d\n", (long long)Median(times), board->sp->MaxRows());
        return 0;
    }

    const OrderSql::ListFilter period = PeriodFilter();
    const long before = ResidentKb();
    std::vector<qint64> times;
    long afterFirst = 0;
    for (int i = 0; i < loads; ++i) {
        times.push_back(Timed([&] { board->LoadOrderList(period.from, period.to); }));
        QApplication::processEvents();
        if (i == 0) afterFirst = ResidentKb();
    }
    const long afterLast = ResidentKb();
    // The rows are built as they are read; what an export, which reads them all, adds on top.
    const qint64 buildAll = Timed([&] {
        for (int r = 1; r <= board->sp->MaxRows(); ++r)
            (void)board->sp->RowForeColor(r);
    });
    if (mode == QLatin1String("parts")) {
        // Where a later load's time goes: the store's snapshot of the asked columns alone.
        const QString sql = OrderSql::OrderListStatement(period);
        const ColumnRequest columns(std::begin(BoardColumns), std::end(BoardColumns));
        std::vector<qint64> snapshot;
        for (int i = 0; i < 3; ++i)
            snapshot.push_back(Timed([&] { StoreConnection->query(sql, columns); }));
        std::fprintf(stderr, "snapshot %.1f ms, load %.1f ms\n", Median(snapshot) / 1e6, Median(times) / 1e6);
    }
    std::printf("period %d %ld %ld %ld %lld", board->sp->MaxRows(), before, afterFirst, afterLast,
                (long long)buildAll);
    for (qint64 t : times)
        std::printf(" %lld", (long long)t);
    std::printf("\n");
    std::fflush(stdout);
    // Leave at once: tearing down a 100,000-row board measures nothing the user waits for.
    _exit(0);
}

struct Sample {
    int rows = 0;
    long before = 0, afterFirst = 0, afterLast = 0;
    qint64 buildAll = 0;
    std::vector<qint64> times;
};

QByteArray RunChild(const QStringList& arguments) {
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(QCoreApplication::applicationFilePath(), arguments);
    if (!p.waitForFinished(600000)) {
        p.kill();
        return {};
    }
    return p.readAllStandardOutput();
}

Sample PeriodSample(const QString& folder, int loads) {
    Sample s;
    const QList<QByteArray> words =
        RunChild({QStringLiteral("--child"), QStringLiteral("period"), folder, QString::number(loads)})
            .trimmed()
            .split(' ');
    if (words.size() < 6 || words[0] != "period") return s;
    s.rows = words[1].toInt();
    s.before = words[2].toLong();
    s.afterFirst = words[3].toLong();
    s.afterLast = words[4].toLong();
    s.buildAll = words[5].toLongLong();
    for (qsizetype i = 6; i < words.size(); ++i)
        s.times.push_back(words[i].toLongLong());
    return s;
}

struct Figures {
    double first = 0, later = 0, rssFirst = 0, rssTenth = 0;
    qint64 raw = 0, firstNs = 0, laterNs = 0;
    int rows = 0;
};

// Raw reads of a statement on a plain read-only handle of the store, appended to times.
void RawReads(const QString& folder, const QString& statement, int runs, qint64* rows,
              std::vector<qint64>* times) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(folder + QStringLiteral("/national_corvanta.sqlite")).constData(), &db,
                    SQLITE_OPEN_READONLY, nullptr);
    for (int i = 0; i < runs; ++i)
        times->push_back(Timed([&] { *rows = RawRead(db, statement); }));
    sqlite3_close(db);
}

qint64 RawMedian(const QString& folder, const QString& statement, int runs, qint64* rows) {
    std::vector<qint64> times;
    RawReads(folder, statement, runs, rows, &times);
    return Median(times);
}

Figures Measure(const QString& folder, int orders, int processes, int loads) {
    // The raw reads take turns with the board's processes, so a neighbour's build that starts
    // half-way through weighs on both sides alike.
    const QString statement = OrderSql::OrderListStatement(PeriodFilter());
    qint64 rows = 0;
    std::vector<qint64> raws;
    RawReads(folder, statement, 1, &rows, &raws);

    std::vector<qint64> firsts, laters, buildAlls;
    std::vector<double> rssFirst, rssLast;
    int listed = 0;
    for (int p = 0; p < processes; ++p) {
        const Sample s = PeriodSample(folder, loads);
        RawReads(folder, statement, std::max(1, loads / 3), &rows, &raws);
        if (s.times.empty()) {
            std::printf("  !! a child process failed\n");
            continue;
        }
        listed = s.rows;
        firsts.push_back(s.times.front());
        buildAlls.push_back(s.buildAll);
        laters.insert(laters.end(), s.times.begin() + 1, s.times.end());
        rssFirst.push_back(double(s.afterFirst - s.before) * 1024.0 / std::max(1, s.rows));
        rssLast.push_back(double(s.afterLast - s.before) * 1024.0 / std::max(1, s.rows));
    }
    Figures f;
    f.rows = listed;
    f.raw = Median(raws);
    f.firstNs = Median(firsts);
    f.laterNs = Median(laters);
    f.first = double(f.firstNs) / double(f.raw);
    f.later = double(f.laterNs) / double(f.raw);
    std::sort(rssFirst.begin(), rssFirst.end());
    std::sort(rssLast.begin(), rssLast.end());
    f.rssFirst = rssFirst.empty() ? 0 : rssFirst[rssFirst.size() / 2];
    f.rssTenth = rssLast.empty() ? 0 : rssLast[rssLast.size() / 2];
    std::printf("%7d orders: %lld rows  raw %7.1f ms  first %7.1f ms (%.2f)  later %7.1f ms (%.2f)  "
                "rss/row first %5.0f B, after load %d %5.0f B   [%d processes x %d loads]\n",
                orders, (long long)rows, f.raw / 1e6, f.firstNs / 1e6, f.first, f.laterNs / 1e6, f.later,
                f.rssFirst, loads, f.rssTenth, processes, loads);
    std::printf("         then every row built, as an export reads them all: %.1f ms more (%.2f x raw)\n",
                Median(buildAlls) / 1e6, double(Median(buildAlls)) / double(f.raw));
    if (listed != rows)
        std::printf("  !! the board listed %d rows, the engine %lld\n", listed, (long long)rows);
    std::fflush(stdout);
    return f;
}

double MeasureDay(const QString& folder) {
    qint64 rows = 0;
    const qint64 raw = RawMedian(folder, OrderSql::OrderListStatement(DayFilter()), 21, &rows);
    const QList<QByteArray> words =
        RunChild({QStringLiteral("--child"), QStringLiteral("day"), folder, QStringLiteral("21")})
            .trimmed()
            .split(' ');
    const qint64 board = words.size() == 3 ? words[1].toLongLong() : 0;
    const double ratio = double(board) / double(raw);
    std::printf("busy day: %lld rows  raw %.2f ms  board %.2f ms  ratio %.2f (target <= 1.5)\n",
                (long long)rows, raw / 1e6, board / 1e6, ratio);
    return ratio;
}

QString MakeStore(const QString& parent, int orders) {
    const QString folder = parent + QStringLiteral("/orders%1").arg(orders);
    QDir().mkpath(folder);
    const QString path = folder + QStringLiteral("/national_corvanta.sqlite");
    auto store = dstore::FreightStore::create(path);
    // The busy day comes first: its keys are lower, as an earlier day's are.
    Fill(store->handle(), BusyDayOrders, BusyDay, 1, 3600);
    Fill(store->handle(), orders, Month, Month.daysInMonth(), 0);
    return folder;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc >= 5 && qstrcmp(argv[1], "--child") == 0)
        return Child(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]), atoi(argv[4]));
    if (argc >= 3 && qstrcmp(argv[1], "--raw") == 0) {
        QCoreApplication app(argc, argv);
        qint64 rows = 0;
        const qint64 raw = RawMedian(QString::fromLocal8Bit(argv[2]),
                                     OrderSql::OrderListStatement(PeriodFilter()), 5, &rows);
        std::printf("raw %lld rows %.1f ms\n", (long long)rows, raw / 1e6);
        return 0;
    }
    // A store to look at or profile a child with: bench_board --store FOLDER ORDERS
    if (argc >= 4 && qstrcmp(argv[1], "--store") == 0) {
        MakeStore(QString::fromLocal8Bit(argv[2]), atoi(argv[3]));
        return 0;
    }

    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    QFile load(QStringLiteral("/proc/loadavg"));
    load.open(QIODevice::ReadOnly);
    std::printf("machine load (1, 5, 15 min): %s", load.readAll().constData());
    std::printf("thread CPU time, medians; raw = the engine reading the board's %d columns as text\n",
                int(std::size(BoardColumns)));
    std::fflush(stdout);

    Figures tenThousand, hundred, threeHundred;
    double day = 0;
    {
        const QString folder = MakeStore(dir.path(), 10000);
        tenThousand = Measure(folder, 10000, 5, 10);
    }
    {
        const QString folder = MakeStore(dir.path(), 100000);
        hundred = Measure(folder, 100000, 5, 10);
        day = MeasureDay(folder);
    }
    {
        const QString folder = MakeStore(dir.path(), 300000);
        threeHundred = Measure(folder, 300000, 5, 3);
    }
    // Linear from 100,000: the board's time per row at 300,000 against its time per row at
    // 100,000, next to the same for the raw read.
    const double boardGrowth = (double(threeHundred.laterNs) / std::max(1, threeHundred.rows)) /
                               (double(hundred.laterNs) / std::max(1, hundred.rows));
    const double rawGrowth = (double(threeHundred.raw) / std::max(1, threeHundred.rows)) /
                             (double(hundred.raw) / std::max(1, hundred.rows));
    std::printf(
        "300,000 against 100,000, time per row: board x%.2f, raw x%.2f (target: board no worse than raw)\n",
        boardGrowth, rawGrowth);
    std::printf("targets: first/raw <= 1.5, later/raw <= 1.2, day/raw <= 1.5, rss per row <= 1024 B and no "
                "growth by the tenth load\n");
    std::printf(
        "summary first/raw=%.2f later/raw=%.2f day/raw=%.2f rss_per_row_first=%.0f rss_per_row_tenth=%.0f\n",
        hundred.first, hundred.later, day, hundred.rssFirst, hundred.rssTenth);
    return 0;
}
