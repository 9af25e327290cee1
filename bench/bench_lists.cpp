// Each list screen's first 조회 in a fresh process against the engine reading the same
// statement's columns as text, and what 오더조회 leaves behind once it is closed. Prints; never
// fails a build.
//
//   raw     the screen's statement stepped on a plain read-only handle, its asked columns read
//           as text (sqlite3 step/column_text), nothing else
//   first   the screen's 조회 in a process whose grid never held a row: the screen is opened on
//           an empty store, then the store with the rows takes its place and 조회 runs
// Both sides read through a connection that has answered one statement already.
//   closed  resident memory after 오더조회 closed, against the process before it opened
//
//   raw is read in a fresh process, as the first 조회 is (a long-lived process reads faster: its
//           heap has the pages already); the long-lived process's raw read is printed beside it
// Times are this thread's processor time, medians; child processes and raw reads take turns.
// 100,000 orders in December (the inquiry's period), 5,000 more in November (with December,
// 정산관리's period: 30,000 dispatched or delivered orders), 3,000 owners (차주관리).
#include "accountstatements.h"
#include "benchsupport.h"
#include "clock.h"
#include "frmjungsanlist.h"
#include "frmorderlist.h"
#include "masterlist.h"
#include "orderstatements.h"
#include "signin.h"
#include "spreadgrid.h"
#include "storeconnection.h"
#include "testmain.h"

#include <QApplication>
#include <QDateEdit>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

namespace {
const QDate Month(2026, 12, 1), Before(2026, 11, 1);
constexpr int Orders = 100000, EarlierOrders = 5000, Owners = 3000;

const std::vector<QByteArray> InquiryColumns = {
    "날짜",         "오더상태",     "상차권역", "상차지",     "하차권역",
    "하차지",       "화물정보1",    "화물중량", "운송비",     "배차시간",
    "상차요청일시", "하차요청일시", "차주명",   "차주연락처", "차량번호",
    "차량정보",     "차량톤수",     "차량길이", "ID"};
const std::vector<QByteArray> SettlementColumns = {
    "날짜",     "인수증날짜", "계산서날짜", "결제일", "운송비",   "차량번호",   "차주명",     "차주연락처",
    "상차권역", "상차지",     "하차권역",   "하차지", "오더상태", "작성아이디", "작성회사명", "ID"};

// A connection that has answered a statement has read the store's schema, as the client's has
// by the time an agent lists anything (the sign-in reads the store): both sides start there.
const char SignedIn[] = "select ID from 로그인 where 1=0";

QString Day(const QDate& d) {
    return d.toString(QStringLiteral("yyyy-MM-dd"));
}

QString InquiryStatement() {
    OrderSql::InquiryFilter f;
    f.from = Day(Month);
    f.to = Day(Month.addMonths(1).addDays(-1));
    f.ticked.fill(true);
    return OrderSql::InquiryListStatement(f);
}
QString SettlementStatement() {
    return AccountSql::SettlementListStatement(Day(Before), Day(Month.addMonths(1).addDays(-1)));
}
std::vector<QByteArray> OwnerColumns() {
    std::vector<QByteArray> columns;
    for (const MasterColumn& c : CarListMember().columns)
        columns.push_back(c.field.toUtf8());
    columns.push_back(CarListMember().keyField.toUtf8());
    return columns;
}

struct Screen {
    const char* name;
    QString statement;
    std::vector<QByteArray> columns;
};
std::vector<Screen> Screens() {
    return {{"inquiry", InquiryStatement(), InquiryColumns},
            {"settlement", SettlementStatement(), SettlementColumns},
            {"owners", MasterListStatement(CarListMember(), {}), OwnerColumns()}};
}

// The engine alone: the asked columns of every row, as text. Returns the rows read.
qint64 RawRead(const QString& folder, const Screen& s, qint64* ns) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(folder + QStringLiteral("/national_corvanta.sqlite")).constData(), &db,
                    SQLITE_OPEN_READONLY, nullptr);
    sqlite3_exec(db, SignedIn, nullptr, nullptr, nullptr);
    qint64 n = 0;
    *ns = Timed([&] {
        sqlite3_stmt* st = nullptr;
        const QByteArray sql = s.statement.toUtf8();
        sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &st, nullptr);
        std::vector<int> columns;
        for (const QByteArray& name : s.columns)
            for (int c = 0; c < sqlite3_column_count(st); ++c)
                if (qstricmp(sqlite3_column_name(st, c), name.constData()) == 0) columns.push_back(c);
        qint64 bytes = 0;
        while (sqlite3_step(st) == SQLITE_ROW) {
            for (const int c : columns) {
                sqlite3_column_text(st, c);
                bytes += sqlite3_column_bytes(st, c);
            }
            ++n;
        }
        sqlite3_finalize(st);
        if (bytes < 0) n = -1;
    });
    sqlite3_close(db);
    return n;
}

std::unique_ptr<StoreBackend> Open(const QString& folder) {
    qputenv("DELMORA_HOME", folder.toUtf8());
    ConnectionSettings settings;
    settings.catalog = QStringLiteral("national_corvanta");
    return OpenBackend(settings);
}

// One fresh client: opens the screen on the empty store, lists on the full one, prints
// "rows ns rss_kb_left_after_close".
int Child(const QString& screen, const QString& full, const QString& empty) {
    QTemporaryDir home;
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) qputenv("XDG_RUNTIME_DIR", home.path().toUtf8());
    int argc = 1;
    char name[] = "bench_lists";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    PrepareTestProcess(home);
    Clock::set(QDateTime(Month.addDays(30), QTime(18, 0)));
    LoginId = QStringLiteral("demo");
    RowHeightSetting = QStringLiteral("18");
    StoreConnection = Open(empty);
    StoreReady = true;
    auto fullStore = Open(full);
    fullStore->query(QString::fromUtf8(SignedIn));
    std::unique_ptr<QWidget> window;
    SpreadGrid* grid = nullptr;
    std::function<void()> list;
    const auto open = [&] {
        if (screen == QLatin1String("inquiry")) {
            auto* w = new frmOrderList;
            w->배차일[0]->setDate(Month);
            w->배차일[1]->setDate(Month.addMonths(1).addDays(-1));
            window.reset(w), grid = w->sp, list = [w] { w->LoadList(); };
        } else if (screen == QLatin1String("settlement")) {
            auto* w = new frmJungsanList;
            w->배차일[0]->setDate(Before);
            w->배차일[1]->setDate(Month.addMonths(1).addDays(-1));
            window.reset(w), grid = w->sp, list = [w] { w->LoadList(); };
        } else {
            auto* w = new MasterList(CarListMember());
            window.reset(w), grid = w->sp, list = [w] { w->LoadList(); };
        }
        window->resize(1366, 700);
        window->show();
        QApplication::processEvents();
    };
    // The screen opened and closed once: what the first of any screen leaves for good (fonts,
    // styles, icons) is not the list's.
    open();
    window.reset();
    QApplication::processEvents();
    const long before = ResidentKb();
    open();
    if (grid->MaxRows() != 0) std::fprintf(stderr, "!! the screen opened with rows\n");
    StoreConnection = std::move(fullStore);
    const qint64 ns = Timed(list);
    QApplication::processEvents(); // drawn: the rows in view are built
    const int rows = grid->MaxRows();
    if (qEnvironmentVariableIsSet("BENCH_LISTS_PARTS")) {
        // Where the time goes (BENCH_LISTS_PARTS=N rounds): the store's snapshot of the asked columns
        // alone, and 조회 again.
        for (const Screen& s : Screens())
            if (screen == QLatin1String(s.name)) {
                std::vector<qint64> snapshot, again;
                for (int i = 0; i < qEnvironmentVariableIntValue("BENCH_LISTS_PARTS"); ++i) {
                    snapshot.push_back(Timed([&] { StoreConnection->query(s.statement, s.columns); }));
                    again.push_back(Timed(list));
                }
                std::fprintf(stderr, "%s: first %.2f ms, snapshot %.2f ms, again %.2f ms\n", s.name, ns / 1e6,
                             Median(snapshot) / 1e6, Median(again) / 1e6);
            }
    }
    window.reset();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
    const long left = ResidentKb() - before;
    std::printf("%d %lld %ld\n", rows, (long long)ns, left);
    std::fflush(stdout);
    _exit(0);
}

QList<QByteArray> RunChild(const QStringList& arguments) {
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(QCoreApplication::applicationFilePath(), arguments);
    if (!p.waitForFinished(300000)) p.kill();
    return p.readAllStandardOutput().trimmed().split(' ');
}

void FillOwners(sqlite3* db) {
    sqlite3_exec(db, "begin", nullptr, nullptr, nullptr);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(
        db,
        "insert into 코드_차주 (아이디, 휴대전화, 기사명, 차량번호, 차종, 톤수, 길이, 회사명, "
        "사업자번호, 업태, 종목, 이메일) values (?1,?2,?3,?4,'윙바디',?5,'9.6',?6,?7,'운수','화물',?8)",
        -1, &st, nullptr);
    for (int i = 0; i < Owners; ++i) {
        const QByteArray values[8] = {"car" + QByteArray::number(i),
                                      "010" + QByteArray::number(20000000 + i * 7),
                                      "기사" + QByteArray::number(i),
                                      "경기" + QByteArray::number(10 + i % 89) + "바" +
                                          QByteArray::number(1000 + i),
                                      QByteArray::number(1 + i % 25) + "톤",
                                      "(주)화물" + QByteArray::number(i % 300),
                                      QByteArray::number(1000000000LL + i),
                                      "owner" + QByteArray::number(i) + "@example.co.kr"};
        for (int c = 0; c < 8; ++c)
            sqlite3_bind_text(st, c + 1, values[c].constData(), int(values[c].size()), SQLITE_TRANSIENT);
        sqlite3_step(st);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    sqlite3_exec(db, "commit", nullptr, nullptr, nullptr);
}
// FOLDER/full with the rows, FOLDER/empty without.
void MakeStores(const QString& folder) {
    const QString full = folder + QStringLiteral("/full"), empty = folder + QStringLiteral("/empty");
    QDir().mkpath(full);
    QDir().mkpath(empty);
    dstore::FreightStore::create(empty + QStringLiteral("/national_corvanta.sqlite"));
    auto store = dstore::FreightStore::create(full + QStringLiteral("/national_corvanta.sqlite"));
    Fill(store->handle(), EarlierOrders, Before, Before.daysInMonth(), 0);
    Fill(store->handle(), Orders, Month, Month.daysInMonth(), 0);
    FillOwners(store->handle());
}
} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // A store to look at or profile a child with: bench_lists --store FOLDER
    if (argc >= 3 && qstrcmp(argv[1], "--store") == 0) {
        MakeStores(QString::fromLocal8Bit(argv[2]));
        return 0;
    }
    // The engine's read in a fresh process of its own: "raw TIMES" as the child prints it.
    if (argc >= 4 && qstrcmp(argv[1], "--raw") == 0) {
        for (const Screen& s : Screens())
            if (qstrcmp(s.name, argv[2]) == 0) {
                qint64 ns = 0;
                const qint64 rows = RawRead(QString::fromLocal8Bit(argv[3]), s, &ns);
                std::printf("%lld %lld\n", (long long)rows, (long long)ns);
                std::fflush(stdout);
                _exit(0);
            }
        return 1;
    }
    if (argc >= 5 && qstrcmp(argv[1], "--child") == 0)
        return Child(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]),
                     QString::fromLocal8Bit(argv[4]));
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString full = dir.filePath(QStringLiteral("full")), empty = dir.filePath(QStringLiteral("empty"));
    MakeStores(dir.path());
    QFile load(QStringLiteral("/proc/loadavg"));
    load.open(QIODevice::ReadOnly);
    std::printf("machine load (1, 5, 15 min): %s", load.readAll().constData());
    std::printf(
        "thread CPU time, medians of 5 processes; raw = the engine reading the asked columns as text\n");
    std::fflush(stdout);

    constexpr int Processes = 5;
    std::map<QString, double> ratio;
    double leftMb = 0;
    for (const Screen& s : Screens()) {
        std::vector<qint64> raws, freshRaws, firsts;
        std::vector<long> left;
        qint64 rawRows = 0;
        int listed = 0;
        for (int p = 0; p < Processes; ++p) {
            qint64 ns = 0;
            rawRows = RawRead(full, s, &ns);
            raws.push_back(ns);
            const QList<QByteArray> raw = RunChild({QStringLiteral("--raw"), QString::fromUtf8(s.name), full});
            if (raw.size() == 2) freshRaws.push_back(raw[1].toLongLong());
            const QList<QByteArray> words =
                RunChild({QStringLiteral("--child"), QString::fromUtf8(s.name), full, empty});
            if (words.size() != 3) {
                std::printf("  !! a child process failed\n");
                continue;
            }
            listed = words[0].toInt();
            firsts.push_back(words[1].toLongLong());
            left.push_back(words[2].toLong());
        }
        // The first 조회 runs in a fresh process, whose first answer also pays for the heap pages
        // the engine's page cache is written into; so does the raw read it is measured against,
        // in a fresh process of its own. The raw read in this long-lived process is printed too.
        const qint64 warmRaw = Median(raws), raw = freshRaws.empty() ? warmRaw : Median(freshRaws),
                     first = Median(firsts);
        std::sort(left.begin(), left.end());
        const double mb = left.empty() ? 0 : left[left.size() / 2] / 1024.0;
        ratio[QString::fromUtf8(s.name)] = double(first) / double(std::max<qint64>(raw, 1));
        if (qstrcmp(s.name, "inquiry") == 0) leftMb = mb;
        std::printf("%-10s %6lld rows  raw %7.1f ms (warm process %.1f ms)  first 조회 %7.1f ms (%.2f)  left after "
                    "close %.1f MB\n",
                    s.name, (long long)rawRows, raw / 1e6, warmRaw / 1e6, first / 1e6, ratio[QString::fromUtf8(s.name)],
                    mb);
        if (listed != rawRows)
            std::printf("  !! the screen listed %d rows, the engine %lld\n", listed, (long long)rawRows);
        std::fflush(stdout);
    }
    std::printf("targets: each first/raw <= 1.3, inquiry <= 10 MB left after close\n");
    std::printf("summary inquiry_first/raw=%.2f settlement_first/raw=%.2f owners_first/raw=%.2f "
                "inquiry_rss_after_close_mb=%.1f\n",
                ratio["inquiry"], ratio["settlement"], ratio["owners"], leftMb);
    return 0;
}
