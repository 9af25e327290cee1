// Writes a busy day's board (100,000 rows of 14 cells) as the export does, as the tab text
// under an ".xls" name and as the .xlsx workbook, and prints each against writing the same
// texts raw (joined with tabs, no quoting, no marks, no kinds): what any export must pay.
#include "exporttable.h"
#include "samplerows.h"
#include "tabtext.h"
#include "xlsxfile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    constexpr int Rows = 100000;
    QTemporaryDir dir;
    ExportTable table;
    table.rows << QStringList{"번호",   "날짜",   "오더상태", "상차지", "하차지",   "화주", "차량번호",
                              "차주명", "연락처", "금액",     "차량",   "제품정보", "비고", "등록자"};
    for (int i = 0; i < Rows; ++i)
        table.rows << SampleBoardRow(i);
    table.widthsPx.assign(14, 96);

    QElapsedTimer timer;
    timer.start();
    {
        QFile raw(dir.filePath(QStringLiteral("raw.txt")));
        if (!raw.open(QIODevice::WriteOnly)) return 1;
        for (const QStringList& row : table.rows)
            raw.write((row.join(QLatin1Char('\t')) + QLatin1String("\r\n")).toUtf8());
    }
    const qint64 rawMs = std::max<qint64>(timer.elapsed(), 1);

    timer.restart();
    const ExportResult tab = WriteTabTextFile(dir.filePath(QStringLiteral("board.xls")), table);
    const qint64 tabMs = timer.elapsed();
    timer.restart();
    const ExportResult book = WriteXlsxFile(dir.filePath(QStringLiteral("board.xlsx")), table);
    const qint64 bookMs = timer.elapsed();

    std::printf("rows %d x 14 cells\n", Rows);
    std::printf("raw tab text           %6lld ms\n", (long long)rawMs);
    std::printf("tab text (.xls)        %6lld ms  ratio %.2f\n", (long long)tabMs,
                double(tabMs) / double(rawMs));
    std::printf("workbook (.xlsx)       %6lld ms  ratio %.2f\n", (long long)bookMs,
                double(bookMs) / double(rawMs));
    return tab.written && book.written ? 0 : 1;
}
