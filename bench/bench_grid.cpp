// Fills the grid the way the order board does on a busy day (100,000 rows of 14 cells with
// redraw off, then one redraw) and prints how it compares with building the same strings alone,
// how many model resets it took, and the memory one row costs.
//
// Every fill runs in a process of its own (the fills take turns, three of each), so neither is
// charged for the heap the other grew: the first fill of a process pays for the pages it
// faults in, and so does every fill here. Times are this thread's processor time, medians.
#include "samplerows.h"
#include "spreadgrid.h"
#include "spreadmodel.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <unistd.h>

namespace {

constexpr int Rows = 100000;
constexpr int Cols = 14;
constexpr int Turns = 3;

// Resident set size in bytes, from /proc/self/statm.
qint64 residentBytes() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly)) return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLongLong() * sysconf(_SC_PAGESIZE) : 0;
}

qint64 cpuNs() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

// One fill in a fresh process; prints "ns resident-bytes-per-row resets model-bytes-per-row".
int child(const QByteArray& mode) {
    int argc = 1;
    char name[] = "bench_grid";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    SpreadGrid grid;
    grid.setMaxCols(Cols);
    grid.resize(1200, 700);
    grid.show();
    QApplication::processEvents();
    QSignalSpy resets(grid.spreadModel(), &QAbstractItemModel::modelReset);
    const qint64 before = residentBytes();
    const qint64 start = cpuNs();
    if (mode == "strings") {
        qsizetype characters = 0;
        for (int i = 0; i < Rows; ++i)
            for (const QString& t : SampleBoardRow(i))
                characters += t.size();
        std::printf("%lld 0 0 %lld\n", (long long)(cpuNs() - start), (long long)characters);
        return 0;
    }
    grid.ReDraw(false);
    grid.setMaxRows(0);
    if (mode == "append") {
        grid.ReserveRows(Rows);
        for (int i = 0; i < Rows; ++i)
            grid.AppendRow(SampleBoardRow(i), QString::number(i + 1), Qt::blue);
    } else {
        // The per-cell pattern of the pop-up lists: grow by one row, then SetText each cell.
        for (int i = 0; i < Rows; ++i) {
            grid.setMaxRows(grid.MaxRows() + 1);
            const QStringList texts = SampleBoardRow(i);
            for (int c = 0; c < Cols; ++c)
                grid.SetText(c + 1, grid.MaxRows(), texts[c]);
            grid.setRow(grid.MaxRows());
            grid.setCol(1);
            grid.setCellTag(QString::number(i + 1));
        }
    }
    grid.ReDraw(true);
    QApplication::processEvents();
    const qint64 ns = cpuNs() - start;
    const qint64 after = residentBytes();
    qsizetype modelBytes = 0;
    for (int r = 0; r < grid.spreadModel()->rowCount(); r += 100)
        modelBytes += grid.spreadModel()->rowBytes(r);
    std::printf("%lld %lld %lld %lld\n", (long long)ns, (long long)((after - before) / Rows),
                (long long)resets.size(), (long long)(modelBytes / (Rows / 100)));
    std::fflush(stdout);
    _exit(0);
}

struct Run {
    qint64 ns = 0, perRow = 0, resets = 0, modelBytes = 0;
};

Run runChild(const char* mode) {
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child"), QString::fromLatin1(mode)});
    p.waitForFinished(300000);
    const QList<QByteArray> w = p.readAllStandardOutput().trimmed().split(' ');
    Run r;
    if (w.size() == 4) r = {w[0].toLongLong(), w[1].toLongLong(), w[2].toLongLong(), w[3].toLongLong()};
    return r;
}

qint64 median(std::vector<qint64> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc == 3 && qstrcmp(argv[1], "--child") == 0) return child(argv[2]);
    QCoreApplication app(argc, argv);

    std::vector<qint64> strings, append, cell, appendRss, cellRss;
    Run lastAppend, lastCell;
    qsizetype characters = 0;
    for (int turn = 0; turn < Turns; ++turn) {
        // The order alternates, so neither fill always runs on a machine the other just warmed.
        const bool appendFirst = turn % 2 == 0;
        const Run s = runChild("strings");
        strings.push_back(s.ns);
        characters = s.modelBytes;
        for (int k = 0; k < 2; ++k) {
            if ((k == 0) == appendFirst) {
                lastAppend = runChild("append");
                append.push_back(lastAppend.ns);
                appendRss.push_back(lastAppend.perRow);
            } else {
                lastCell = runChild("cells");
                cell.push_back(lastCell.ns);
                cellRss.push_back(lastCell.perRow);
            }
        }
    }
    const double stringsMs = median(strings) / 1e6;
    std::printf("rows %d x %d cells (%lld characters), each fill in its own process, medians of %d\n", Rows,
                Cols, (long long)characters, Turns);
    std::printf("strings alone          %7.1f ms\n", stringsMs);
    std::printf(
        "fill by AppendRow      %7.1f ms  ratio %.2f  resident per row %lld bytes (model's own count %lld)\n",
        median(append) / 1e6, median(append) / 1e6 / stringsMs, (long long)median(appendRss),
        (long long)lastAppend.modelBytes);
    std::printf("fill by SetText        %7.1f ms  ratio %.2f  resident per row %lld bytes\n",
                median(cell) / 1e6, median(cell) / 1e6 / stringsMs, (long long)median(cellRss));
    std::printf("model resets per fill  %7lld (one expected)\n", (long long)lastAppend.resets);
    return lastAppend.resets == 1 && lastCell.resets == 1 ? 0 : 1;
}
