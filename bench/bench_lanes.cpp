// A shipper's usual lanes, as the board offers them under 화주코드: a shipper with 10,000 orders in
// its last 90 days, in a store of 300,000. Prints the plans (the lanes must be read from their
// index) and the times; never fails a build.
//
//   raw    the engine stepping the lanes statement on a plain handle, reading every column as text
//   store  the same statement through the store's own query (what the client's backend runs)
//   pg     on PostgreSQL (a private cluster, skipped without one): the same store filled by the
//          server itself, the plan and the best of twenty answers through the client's backend
//
// Embedded times are this thread's processor time, medians of 50 (the machine is shared).
#include "freightstore.h"
#include "orderstatements.h"
#include "pgcluster.h"
#include "pgstore.h"
#include "testmain.h"

#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <libpq-fe.h>
#include <sqlite3.h>

namespace {

const QDate Today(2026, 12, 9);
constexpr int Orders = 300000, ShipperOrders = 10000, Lanes = 40;
const char* const Shipper = "1001";

qint64 CpuNs() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

template <class F> qint64 Median(int runs, F&& f) {
    std::vector<qint64> v;
    for (int i = 0; i < runs; ++i) {
        const qint64 start = CpuNs();
        f();
        v.push_back(CpuNs() - start);
    }
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Every 30th order is the shipper's, the rest spread over 3,000 others; a year of days, the
// shipper's orders in its last 90. Its lanes come in uneven numbers, as a real shipper's do.
void Fill(sqlite3* db) {
    static const char* const regions[] = {"서울", "경기", "인천", "충북", "충남", "부산", "대구", "광주"};
    static const char* const statuses[] = {"접수", "배차완료", "운송완료", "정산완료", "취소"};
    sqlite3_exec(db, "begin", nullptr, nullptr, nullptr);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db,
                       "insert into 화물오더 (날짜, 오더상태, 상차권역, 상차지, 하차권역, 하차지, 희망톤수, 희망차종, "
                       "운송비, 화주코드, 화주명, 상차요청일시, 하차요청일시, 화물정보1) values "
                       "(?1, ?2, ?3, ?4, ?5, ?6, ?7, '윙바디', ?8, ?9, '화주', ?1 || ' 09:00', ?1 || ' 17:00', '파렛트')",
                       -1, &st, nullptr);
    int mine = 0;
    for (int i = 0; i < Orders; ++i) {
        const bool shippers = i % 30 == 0 && mine < ShipperOrders;
        // Keys grow with the date; the shipper's days are the last 90.
        const int daysBack = shippers ? 89 - int(qint64(mine) * 90 / ShipperOrders) : 364 - int(qint64(i) * 365 / Orders);
        const QByteArray day = Today.addDays(-daysBack).toString(Qt::ISODate).toUtf8();
        const int lane = shippers ? (mine * mine / 7919) % Lanes : i % 500;
        const QByteArray code = shippers ? QByteArray(Shipper) : QByteArray::number(2000 + i % 3000);
        const QByteArray from = QByteArray::number(lane % 37) + "번지 창고", to = QByteArray::number(lane) + "번 물류센터";
        const QByteArray tons = lane % 3 ? "5톤" : "11톤";
        const QByteArray amount = QByteArray::number(200000 + (i % 40) * 5000);
        const QByteArray values[] = {day, statuses[i % 5], regions[lane % 8], from, regions[(lane / 8) % 8], to,
                                     tons, amount, code};
        for (int c = 0; c < 9; ++c)
            sqlite3_bind_text(st, c + 1, values[c].constData(), int(values[c].size()), SQLITE_TRANSIENT);
        sqlite3_step(st);
        sqlite3_reset(st);
        if (shippers) ++mine;
    }
    sqlite3_finalize(st);
    sqlite3_exec(db, "commit", nullptr, nullptr, nullptr);
    sqlite3_exec(db, "analyze", nullptr, nullptr, nullptr);
}

QByteArray Plan(sqlite3* db, const QByteArray& statement) {
    QByteArray plan;
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "explain query plan " + statement, -1, &st, nullptr);
    while (sqlite3_step(st) == SQLITE_ROW)
        plan += "    " + QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(st, 3))) + "\n";
    sqlite3_finalize(st);
    return plan;
}

int RawRead(sqlite3* db, const QByteArray& statement) {
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, statement.constData(), -1, &st, nullptr);
    int rows = 0;
    qint64 bytes = 0;
    while (sqlite3_step(st) == SQLITE_ROW) {
        ++rows;
        for (int c = 0; c < sqlite3_column_count(st); ++c) {
            sqlite3_column_text(st, c);
            bytes += sqlite3_column_bytes(st, c);
        }
    }
    sqlite3_finalize(st);
    return bytes < 0 ? -1 : rows;
}

// The same store on PostgreSQL, filled by the server from one statement; the plan and the best
// answer in milliseconds, or a negative time when there is no PostgreSQL here.
double PgLanes(const QByteArray& statement, QByteArray* plan) {
    QString why;
    PgCluster* cluster = PgCluster::instance(&why);
    if (!cluster || !cluster->createDatabase(QStringLiteral("lanes"), {}, &why)) {
        *plan = "    skipped: " + why.toUtf8() + "\n";
        return -1;
    }
    const QString uri = cluster->uri(QStringLiteral("lanes"));
    auto store = dstore::PgStore::open(uri);
    store->createSchema();
    const QByteArray today = Today.toString(Qt::ISODate).toUtf8();
    // In slices: one statement for the whole store would outlast the store's statement time limit.
    for (int slice = 0; slice < Orders; slice += 20000)
    store->execute(
        "insert into 화물오더 (날짜, 오더상태, 상차권역, 상차지, 하차권역, 하차지, 희망톤수, 희망차종, 운송비, 화주코드) "
        "select to_char(date '" + today + "' - case when i % 30 = 0 and i / 30 < " + QByteArray::number(ShipperOrders) +
        " then 89 - (i / 30) * 90 / " + QByteArray::number(ShipperOrders) + " else 364 - i * 365 / " +
        QByteArray::number(Orders) + " end, 'YYYY-MM-DD'), (array['접수','배차완료','운송완료','정산완료','취소'])[i % 5 + 1], "
        "'서울', (i % 37)::text || '번지 창고', '부산', (i % 40)::text || '번 물류센터', '5톤', '윙바디', "
        "(200000 + i % 40 * 5000)::text, case when i % 30 = 0 and i / 30 < " + QByteArray::number(ShipperOrders) +
        " then '" + Shipper + "' else (2000 + i % 3000)::text end from generate_series(" +
        QByteArray::number(slice) + ", " + QByteArray::number(slice + 19999) + ") i");
    store->execute("vacuum analyze 화물오더");
    PGconn* raw = PQconnectdb(uri.toUtf8().constData());
    PGresult* res = PQexec(raw, "explain " + statement);
    for (int r = 0; r < PQntuples(res); ++r)
        *plan += "    " + QByteArray(PQgetvalue(res, r, 0)) + "\n";
    PQclear(res);
    PQfinish(raw);
    qint64 best = std::numeric_limits<qint64>::max();
    for (int i = 0; i < 20; ++i) {
        QElapsedTimer t;
        t.start();
        auto rows = store->query(statement);
        best = std::min(best, t.nsecsElapsed());
    }
    return best / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    QCoreApplication app(argc, argv);
    PrepareTestProcess(home);
    const QByteArray statement = OrderSql::ShipperLanesStatement(QString::fromLatin1(Shipper), Today.toString(Qt::ISODate)).toUtf8();

    const QString path = home.path() + QStringLiteral("/lanes.sqlite");
    auto store = dstore::FreightStore::create(path);
    std::printf("filling %d orders, %d of them the shipper's last 90 days ...\n", Orders, ShipperOrders);
    std::fflush(stdout);
    Fill(store->handle());

    const QByteArray plan = Plan(store->handle(), statement);
    const bool indexed = plan.contains("화물오더_화주노선");
    std::printf("embedded plan:\n%s", plan.constData());
    int rows = 0;
    const qint64 raw = Median(50, [&] { rows = RawRead(store->handle(), statement); });
    const qint64 client = Median(50, [&] { auto answer = store->query(statement); });
    std::printf("embedded: %d lanes   raw %.2f ms   store %.2f ms   ratio %.2f (target <= 5 ms)\n", rows,
                raw / 1e6, client / 1e6, double(client) / double(std::max<qint64>(raw, 1)));

    std::fflush(stdout);
    QByteArray pgPlan;
    double pg = -1;
    try {
        pg = PgLanes(statement, &pgPlan);
    } catch (const dstore::Error& e) {
        pgPlan += "    failed: " + e.message.toUtf8() + "\n";
    }
    std::printf("postgresql plan:\n%s", pgPlan.constData());
    const bool pgIndexed = pgPlan.contains("화물오더_화주노선");
    if (pg >= 0) std::printf("postgresql: best of 20 %.2f ms (target <= 5 ms)\n", pg);
    std::printf("summary lanes_ms=%.2f lanes/raw=%.2f indexed=%s pg_ms=%.2f pg_indexed=%s\n", client / 1e6,
                double(client) / double(std::max<qint64>(raw, 1)), indexed ? "yes" : "no", pg,
                pg >= 0 ? (pgIndexed ? "yes" : "no") : "skipped");
    return 0;
}
