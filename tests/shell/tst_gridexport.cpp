// Grid export: the written files byte for byte, the Save-As and overwrite questions, a real
// workbook for ".xlsx", and failures that say so instead of announcing a file.
#include "testmain.h"
#include "gridroutines.h"
#include "ini.h"
#include "prompts.h"
#include "spreadgrid.h"
#include "xlsxfile.h"
#include <QDir>
#include <QFile>
#include <QProcess>
#include <memory>

namespace {
const QByteArray kBom("\xEF\xBB\xBF");

// 번호 | 이름 | (hidden) 비고 | 확인 (check box "선택")
std::unique_ptr<SpreadGrid> boardGrid(const QList<QStringList>& rows) {
    auto g = std::make_unique<SpreadGrid>();
    g->setMaxCols(4);
    g->SetText(1, 0, QStringLiteral(" 번호 "));
    g->SetText(2, 0, QStringLiteral("이름"));
    g->SetText(3, 0, QStringLiteral("비고"));
    g->SetText(4, 0, QStringLiteral("확인"));
    g->setColWidth(3, 0);
    g->setCellType(4, CellKind::CheckBox);
    g->setTypeCheckText(4, QStringLiteral("선택"));
    g->setMaxRows(int(rows.size()));
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows[r].size() && c < 3; ++c) g->SetText(c + 1, r + 1, rows[r][c]);
    if (!rows.isEmpty()) g->setChecked(4, 1, true);
    return g;
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

class tst_GridExport : public QObject {
    Q_OBJECT
    QString m_dir;

private slots:
    void init() {
        m_dir = ProgramFolder() + QStringLiteral("/export-") + QString::fromLatin1(QTest::currentTestFunction());
        QDir(m_dir).removeRecursively();
        QVERIFY(QDir().mkpath(m_dir));
    }

    void tabSeparatedFile_data() {
        QTest::addColumn<QList<QStringList>>("rows");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("hidden column left out, check box as its caption")
            << QList<QStringList>{{"1", "김철수", "숨은 메모"}, {"2", "박영희", ""}}
            << QByteArray("번호\t이름\t확인\r\n1\t김철수\t선택\r\n2\t박영희\t선택\r\n");
        QTest::newRow("empty grid is one header line") << QList<QStringList>{} << QByteArray("번호\t이름\t확인\r\n");
        QTest::newRow("tab and line break stay inside their cell")
            << QList<QStringList>{{"3", "서울\t강남\r\n역삼동", "x"}}
            << QByteArray("번호\t이름\t확인\r\n3\t서울 강남  역삼동\t선택\r\n");
        QTest::newRow("quotes and leading blanks kept") << QList<QStringList>{{"'4", "  \"㈜한빛\"", ""}}
                                                        << QByteArray("번호\t이름\t확인\r\n'4\t  \"㈜한빛\"\t선택\r\n");
    }
    void tabSeparatedFile() {
        QFETCH(QList<QStringList>, rows);
        QFETCH(QByteArray, expected);
        auto grid = boardGrid(rows);
        const QString chosen = m_dir + QStringLiteral("/오더목록");
        PromptScript script;
        script.answerSaveAs(chosen, QStringLiteral("Excel Files (*.xls)"));
        ExportGridToExcel(*grid, QStringLiteral("오더목록_20240105"));

        QCOMPARE(readAll(chosen + QStringLiteral(".xls")), kBom + expected);
        QCOMPARE(script.texts(), QStringList({QString(), chosen + QStringLiteral(".xls 엑셀파일이 생성되었습니다.")}));
        const PromptRecord& saveAs = script.asked().front();
        QCOMPARE(saveAs.kind, PromptKind::SaveAs);
        QCOMPARE(saveAs.defaultValue, QStringLiteral("오더목록_20240105"));
        QVERIFY(saveAs.filter.contains(QStringLiteral("Excel Files (*.xls)")));
        QVERIFY(saveAs.filter.contains(QStringLiteral("Excel 통합 문서 (*.xlsx)")));
        QCOMPARE(script.asked().back().kind, PromptKind::Notice);
        // The grid on the screen is left as it was.
        QCOMPARE(grid->MaxCols(), 4);
        QCOMPARE(grid->ColWidth(3), 0.0);
        QCOMPARE(grid->CellType(4, 1), CellKind::CheckBox);
        QCOMPARE(grid->MaxRows(), int(rows.size()));
    }

    // Columns are dropped because they are hidden, not because of what they are titled.
    void visibleColumnTitledLikeMarker() {
        SpreadGrid grid;
        grid.setMaxCols(3);
        grid.SetText(1, 0, QStringLiteral("DELETED"));
        grid.SetText(2, 0, QStringLiteral("숨김"));
        grid.SetText(3, 0, QStringLiteral("금액"));
        grid.setColWidth(2, 0);
        grid.setMaxRows(1);
        grid.SetText(1, 1, QStringLiteral("a"));
        grid.SetText(2, 1, QStringLiteral("b"));
        grid.SetText(3, 1, QStringLiteral("1000"));
        const QString chosen = m_dir + QStringLiteral("/x.xls");
        PromptScript script;
        script.answerSaveAs(chosen);
        ExportGridToExcel(grid, QStringLiteral("x"));
        QCOMPARE(readAll(chosen), kBom + QByteArray("DELETED\t금액\r\na\t1000\r\n"));
    }

    void existingFile_data() {
        QTest::addColumn<bool>("overwrite");
        QTest::newRow("아니오 writes nothing") << false;
        QTest::newRow("예 replaces it") << true;
    }
    void existingFile() {
        QFETCH(bool, overwrite);
        const QString chosen = m_dir + QStringLiteral("/목록.XLS");
        {
            QFile f(chosen);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("old");
        }
        auto grid = boardGrid({{"1", "김철수", ""}});
        PromptScript script;
        script.answerSaveAs(chosen, QStringLiteral("Excel Files (*.xls)"));
        if (overwrite) script.answerYes();
        else script.answerNo();
        ExportGridToExcel(*grid, QStringLiteral("목록"));

        QCOMPARE(script.asked().at(1).kind, PromptKind::Question);
        QCOMPARE(script.asked().at(1).text, QStringLiteral("이미 존재하는 파일입니다. 덮어쓸까요?"));
        if (overwrite) {
            QCOMPARE(readAll(chosen), kBom + QByteArray("번호\t이름\t확인\r\n1\t김철수\t선택\r\n"));
            QCOMPARE(script.asked().size(), size_t(3));
        } else {
            QCOMPARE(readAll(chosen), QByteArray("old"));
            QCOMPARE(script.asked().size(), size_t(2));
        }
        QCOMPARE(QDir(m_dir).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("목록.XLS")});
    }

    void cancelledSaveAsWritesNothing() {
        auto grid = boardGrid({{"1", "김철수", ""}});
        PromptScript script;
        script.answerSaveAs(QString());
        ExportGridToExcel(*grid, QStringLiteral("목록"));
        QCOMPARE(script.asked().size(), size_t(1));
        QVERIFY(QDir(m_dir).entryList(QDir::Files | QDir::Hidden).isEmpty());
        QVERIFY(!QFile::exists(ProgramFolder() + QStringLiteral("/목록.xls")));
    }

    void failedWriteIsReportedNotAnnounced_data() {
        QTest::addColumn<QString>("filter");
        QTest::newRow("xls") << "Excel Files (*.xls)";
        QTest::newRow("xlsx") << "Excel 통합 문서 (*.xlsx)";
    }
    void failedWriteIsReportedNotAnnounced() {
        QFETCH(QString, filter);
        auto grid = boardGrid({{"1", "김철수", ""}});
        const QString chosen = m_dir + QStringLiteral("/없는폴더/목록");
        PromptScript script;
        script.answerSaveAs(chosen, filter);
        ExportGridToExcel(*grid, QStringLiteral("목록"));
        QCOMPARE(script.asked().size(), size_t(2));
        QCOMPARE(script.asked().back().kind, PromptKind::Refusal);
        QVERIFY(script.asked().back().text.contains(QStringLiteral("저장하지 못했습니다")));
        QVERIFY(!QFileInfo::exists(m_dir + QStringLiteral("/없는폴더")));
    }

    void workbook() {
        auto grid = boardGrid({{"1", "김철수", "메모"}, {"010", "박\t영희", ""}});
        const QString chosen = m_dir + QStringLiteral("/오더");
        PromptScript script;
        script.answerSaveAs(chosen, QStringLiteral("Excel 통합 문서 (*.xlsx)"));
        ExportGridToExcel(*grid, QStringLiteral("오더"));
        const QString path = chosen + QStringLiteral(".xlsx");
        QCOMPARE(script.texts().back(), path + QStringLiteral(" 엑셀파일이 생성되었습니다."));

        const QByteArray bytes = readAll(path);
        QVERIFY(bytes.startsWith("PK\x03\x04"));
        QVERIFY(bytes.size() > 2000);
        QProcess unzip;
        unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), path, QStringLiteral("xl/sharedStrings.xml")});
        QVERIFY(unzip.waitForFinished());
        const QString strings = QString::fromUtf8(unzip.readAllStandardOutput());
        for (const char* s : {"번호", "이름", "확인", "김철수", "박\t영희", "선택", "010"})
            QVERIFY2(strings.contains(QString::fromUtf8(s)), s);
        QVERIFY(!strings.contains(QStringLiteral("메모")));   // hidden column
        QVERIFY(!strings.contains(QStringLiteral("비고")));
        unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), path, QStringLiteral("xl/worksheets/sheet1.xml")});
        QVERIFY(unzip.waitForFinished());
        const QString sheet = QString::fromUtf8(unzip.readAllStandardOutput());
        // "1" is a number cell; "010" keeps its leading zero as a text.
        QVERIFY(sheet.contains(QStringLiteral("<c r=\"A2\"><v>1</v></c>")) ||
                sheet.contains(QStringLiteral("<c r=\"A2\" ><v>1</v></c>")));
        QVERIFY(sheet.contains(QStringLiteral("<c r=\"A3\" t=\"s\"")));
        QVERIFY(sheet.contains(QStringLiteral("<c r=\"C1\"")));
        QVERIFY(!sheet.contains(QStringLiteral("<c r=\"D1\"")));
    }

    void plainNumbers_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("number");
        QTest::newRow("amount") << "150000" << true;
        QTest::newRow("decimal") << "2.5" << true;
        QTest::newRow("leading zero") << "0101234" << false;
        QTest::newRow("phone") << "010-1234-5678" << false;
        QTest::newRow("date") << "2024-01-05" << false;
        QTest::newRow("16 digits") << "1234567890123456" << false;
    }
    void plainNumbers() {
        QFETCH(QString, text);
        QTEST(IsPlainNumber(text), "number");
    }

    void workbookSurvivesHostileCells() {
        const QString path = m_dir + QStringLiteral("/hostile.xlsx");
        QString error;
        const QString huge(40000, QChar(u'가'));
        QVERIFY(WriteXlsxFile(path, {{"a", "b"}, {QStringLiteral("x\x01y"), huge}}, &error));
        QVERIFY(readAll(path).startsWith("PK"));
        QCOMPARE(QDir(m_dir).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("hostile.xlsx")});
    }
};

DELMORA_TEST_MAIN(tst_GridExport)
#include "tst_gridexport.moc"
