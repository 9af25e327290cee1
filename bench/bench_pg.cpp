// How much the order board adds to a PostgreSQL server's own answer when it lists a period of
// 100,000 orders from the office's shared store. Prints; never fails a build. Runs a private
// cluster (as the store tests do); skipped when PostgreSQL is not installed.
//
//   raw   libpq running the board's period statement and touching every column of every row
//         as text (PQexec, PQgetvalue/PQgetlength), nothing else
//   board LoadOrderList for that period through the client's PostgreSQL backend: statement,
//         snapshot, derived texts, colours, tags and the filled grid
//
// Wall time, best of five: most of the work is the server's, in another process.
#include "clock.h"
#include "deployment.h"
#include "frmorder.h"
#include "orderstatements.h"
#include "pgcluster.h"
#include "pgstore.h"
#include "signin.h"
#include "spreadgrid.h"
#include "storeconnection.h"
#include "testmain.h"

#include <QElapsedTimer>
#include <cstdio>
#include <libpq-fe.h>

namespace {

void RawRead(PGconn* conn, const QByteArray& statement, qint64* rows) {
    PGresult* res = PQexec(conn, statement.constData());
    qint64 bytes = 0;
    const int n = PQntuples(res), cols = PQnfields(res);
    for (int r = 0; r < n; ++r)
        for (int c = 0; c < cols; ++c) {
            if (!PQgetisnull(res, r, c)) bytes += PQgetlength(res, r, c) + (PQgetvalue(res, r, c)[0] == 1);
        }
    PQclear(res);
    *rows = n + (bytes < 0 ? 1 : 0);
}

template <class F> qint64 Best(int runs, F&& f) {
    qint64 best = std::numeric_limits<qint64>::max();
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        f();
        best = std::min(best, t.nsecsElapsed());
    }
    return best;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    QApplication app(argc, argv);
    PrepareTestProcess(home);
    const QDate today(2026, 12, 31);
    Clock::set(QDateTime(today, QTime(9, 0)));
    LoginId = QStringLiteral("demo");
    RowHeightSetting = QStringLiteral("18");
    RefreshIntervalSetting = QStringLiteral("10");

    QString why;
    PgCluster* cluster = PgCluster::instance(&why);
    if (!cluster) {
        std::printf("skipped: PostgreSQL is not available: %s\n", qPrintable(why));
        return 0;
    }
    if (!cluster->createDatabase(QStringLiteral("bench"), {}, &why)) {
        std::printf("cannot create the database: %s\n", qPrintable(why));
        return 1;
    }
    const QString uri = cluster->uri(QStringLiteral("bench"));
    {
        std::printf("filling the demo office with 100,000 orders over the 60 days to %s ...\n",
                    qPrintable(today.toString(Qt::ISODate)));
        QElapsedTimer t;
        t.start();
        auto store = dstore::PgStore::open(uri);
        store->createSchema();
        dstore::fillDemoData(*store->demoTarget(), dstore::DemoOptions{100000, 1, today});
        store->execute("analyze");
        std::printf("  filled in %.1f s\n", t.elapsed() / 1000.0);
    }

    Deployment d = CurrentDeployment();
    d.databaseServer = uri;
    SetDeployment(d);
    frmOrder board;
    board.Timer1->stop();
    board.resize(1600, 1000);
    board.show();
    QApplication::processEvents();

    OrderSql::ListFilter period;
    period.from = today.addDays(-60).toString(Qt::ISODate);
    period.to = today.toString(Qt::ISODate);
    period.day = period.to;
    period.ticked.fill(true);
    const QByteArray periodSql = OrderSql::OrderListStatement(period).toUtf8();

    PGconn* raw = PQconnectdb(uri.toUtf8().constData());
    qint64 rawRows = 0;
    const qint64 rawNs = Best(5, [&] { RawRead(raw, periodSql, &rawRows); });
    const qint64 boardNs = Best(5, [&] { board.LoadOrderList(period.from, period.to); });
    const qint64 snapshot =
        Best(5, [&] { auto rows = StoreConnection->query(QString::fromUtf8(periodSql)); });
    // What the board reads of each row, as a list that asks for its columns would have it.
    const ColumnRequest boardColumns{"ID",       "날짜",       "오더상태",  "상차권역",     "상차지",
                                     "하차권역", "하차지",     "화물정보1", "희망톤수",     "운송비",
                                     "차주명",   "차주연락처", "차량번호",  "차량정보",     "차량톤수",
                                     "차량길이", "차량길이2",  "배차시간",  "상차요청일시", "하차요청일시"};
    const qint64 asked =
        Best(5, [&] { auto rows = StoreConnection->query(QString::fromUtf8(periodSql), boardColumns); });
    PQfinish(raw);
    std::printf("  of which the backend's snapshot (all columns) %.1f ms, ratio %.2f to raw\n",
                snapshot / 1e6, double(snapshot) / double(rawNs));
    std::printf("  the snapshot of the board's %zu columns only %.1f ms, ratio %.2f to raw\n",
                boardColumns.size(), asked / 1e6, double(asked) / double(rawNs));
    std::printf("period: %lld rows   raw libpq %.1f ms   board %.1f ms   ratio %.2f (target <= 1.5)\n",
                (long long)rawRows, rawNs / 1e6, boardNs / 1e6, double(boardNs) / double(rawNs));
    if (board.sp->MaxRows() != rawRows) std::printf("  !! grid holds %d rows\n", board.sp->MaxRows());
    return 0;
}
