// Writes a busy day's board (100,000 rows of 14 cells) as the export does, as the tab text
// under an ".xls" name and as the .xlsx workbook, and prints each against writing the same
// texts raw (joined with tabs, no quoting, no marks, no kinds): what any export must pay.
// Rounds take turns (raw, tab, workbook, raw, ...) so a busy neighbour weighs on all three
// alike; each ratio is of the medians. Times are this thread's processor time, the system's
// part (writing the file) included, so the machine's other work does not count.
#include "benchsupport.h"
#include "exporttable.h"
#include "samplerows.h"
#include "tabtext.h"
#include "xlsxfile.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace {
double Ms(qint64 ns) {
    return ns / 1e6;
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    constexpr int Rows = 100000, Rounds = 5;
    QTemporaryDir dir;
    ExportTable table;
    table.rows << QStringList{"번호",   "날짜",   "오더상태", "상차지", "하차지",   "화주", "차량번호",
                              "차주명", "연락처", "금액",     "차량",   "제품정보", "비고", "등록자"};
    for (int i = 0; i < Rows; ++i)
        table.rows << SampleBoardRow(i);
    table.widthsPx.assign(14, 96);

    std::vector<qint64> raw, tab, book;
    bool written = true;
    for (int round = 0; round < Rounds; ++round) {
        raw.push_back(std::max<qint64>(1, Timed([&] {
            QFile file(dir.filePath(QStringLiteral("raw.txt")));
            if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return;
            for (const QStringList& row : table.rows)
                file.write((row.join(QLatin1Char('\t')) + QLatin1String("\r\n")).toUtf8());
        })));
        tab.push_back(Timed([&] {
            written = WriteTabTextFile(dir.filePath(QStringLiteral("board.xls")), table).written && written;
        }));
        book.push_back(Timed([&] {
            written = WriteXlsxFile(dir.filePath(QStringLiteral("board.xlsx")), table).written && written;
        }));
        std::printf("round %d: raw %7.1f ms  tab %7.1f ms  workbook %7.1f ms\n", round + 1, Ms(raw.back()),
                    Ms(tab.back()), Ms(book.back()));
        std::fflush(stdout);
    }
    const double r = Ms(Median(raw)), t = Ms(Median(tab)), b = Ms(Median(book));
    std::printf("rows %d x 14 cells, medians of %d rounds\n", Rows, Rounds);
    std::printf("raw tab text           %8.1f ms\n", r);
    std::printf("tab text (.xls)        %8.1f ms  ratio %.2f\n", t, t / r);
    std::printf("workbook (.xlsx)       %8.1f ms  ratio %.2f\n", b, b / r);
    std::printf("summary tab/raw=%.2f xlsx/raw=%.2f\n", t / r, b / r);
    return written ? 0 : 1;
}
