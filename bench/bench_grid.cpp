// Fills the grid the way the order board does on a busy day (100,000 rows of 14 cells with
// redraw off, then one redraw) and prints how it compares with building the same strings alone,
// how many model resets it took, and the memory one row costs.
#include "samplerows.h"
#include "spreadgrid.h"
#include "spreadmodel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <cstdio>
#include <unistd.h>

namespace {

constexpr int Rows = 100000;
constexpr int Cols = 14;


// Resident set size in bytes, from /proc/self/statm.
qint64 residentBytes() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly)) return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLongLong() * sysconf(_SC_PAGESIZE) : 0;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    // The strings alone: what any fill must pay at least.
    QElapsedTimer timer;
    timer.start();
    qsizetype characters = 0;
    for (int i = 0; i < Rows; ++i)
        for (const QString& t : SampleBoardRow(i))
            characters += t.size();
    const qint64 stringsMs = timer.elapsed();

    SpreadGrid grid;
    grid.setMaxCols(Cols);
    grid.resize(1200, 700);
    grid.show();
    QSignalSpy resets(grid.spreadModel(), &QAbstractItemModel::modelReset);
    const qint64 before = residentBytes();

    timer.restart();
    grid.ReDraw(false);
    grid.setMaxRows(0);
    for (int i = 0; i < Rows; ++i)
        grid.AppendRow(SampleBoardRow(i), QString::number(i + 1), Qt::blue);
    const qint64 appendMs = timer.elapsed();
    grid.ReDraw(true);
    const qint64 redrawMs = timer.elapsed() - appendMs;
    QApplication::processEvents();
    const qint64 fillMs = timer.elapsed();
    const qint64 after = residentBytes();

    // The per-cell pattern of the master lists: grow by one row, then SetText each cell.
    timer.restart();
    grid.ReDraw(false);
    grid.setMaxRows(0);
    for (int i = 0; i < Rows; ++i) {
        grid.setMaxRows(grid.MaxRows() + 1);
        const QStringList texts = SampleBoardRow(i);
        for (int c = 0; c < Cols; ++c)
            grid.SetText(c + 1, grid.MaxRows(), texts[c]);
        grid.setRow(grid.MaxRows());
        grid.setCol(1);
        grid.setCellTag(QString::number(i + 1));
    }
    grid.ReDraw(true);
    QApplication::processEvents();
    const qint64 cellMs = timer.elapsed();

    qsizetype modelBytes = 0;
    for (int r = 0; r < grid.spreadModel()->rowCount(); r += 100)
        modelBytes += grid.spreadModel()->rowBytes(r);
    modelBytes /= (Rows / 100);

    std::printf("rows %d x %d cells (%lld characters)\n", Rows, Cols, (long long)characters);
    std::printf("strings alone          %6lld ms\n", (long long)stringsMs);
    std::printf("fill by AppendRow      %6lld ms  ratio %.2f\n", (long long)fillMs,
                stringsMs ? double(fillMs) / double(stringsMs) : 0.0);
    std::printf("  of which appends %lld ms, redraw %lld ms, first paint %lld ms\n", (long long)appendMs,
                (long long)redrawMs, (long long)(fillMs - appendMs - redrawMs));
    std::printf("fill by SetText        %6lld ms  ratio %.2f\n", (long long)cellMs,
                stringsMs ? double(cellMs) / double(stringsMs) : 0.0);
    std::printf("model resets           %6lld (one per fill expected: 2)\n", (long long)resets.size());
    std::printf("resident per row       %6lld bytes (model's own count %lld)\n",
                (long long)((after - before) / Rows), (long long)modelBytes);
    return resets.size() == 2 ? 0 : 1;
}
