// The grid's table model under Qt's own model checker, through the ways the screens fill and
// change it, plus what a buffered (redraw off) fill must look like from outside.
#include "samplerows.h"
#include "spreadgrid.h"
#include "spreadmodel.h"
#include "testmain.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <memory>

class TestSpreadModel : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void modelStaysConsistent_data();
    void modelStaysConsistent();
    void bufferedFillIsOneReset();
    void shrinkingForgetsCells_data();
    void shrinkingForgetsCells();
    void outOfRangeWritesIgnored();
    void boardRowUnderAKilobyte();
    void sourceRowsReadAsBuiltRows_data();
    void sourceRowsReadAsBuiltRows();
    void onlyRowsReadAreBuilt();
};

namespace {
// Sample board rows handed over unbuilt; counts what the grid asked it to build.
class SampleSource final : public RowSource {
public:
    explicit SampleSource(int rows, int first = 0) : m_rows(rows), m_first(first) {}
    qsizetype rowCount() const override { return m_rows; }
    int columnCount() const override { return 14; }
    void buildRow(qsizetype row, QString& cells, std::vector<quint32>& ends, QString& tag,
                  QColor& colour) override {
        ++built;
        for (const QString& text : SampleBoardRow(m_first + int(row))) {
            cells += text;
            ends.push_back(quint32(cells.size()));
        }
        tag = rowTag(row);
        colour = Colour(m_first + int(row));
    }
    QString rowTag(qsizetype row) override { return QString::number(m_first + row + 1); }
    static QColor Colour(int i) { return i % 3 ? QColor(Qt::blue) : QColor(); }
    int built = 0;

private:
    int m_rows, m_first;
};

// The same rows appended built, for comparison.
void AppendBuilt(SpreadGrid& grid, int rows, int first = 0) {
    for (int i = first; i < first + rows; ++i)
        grid.AppendRow(SampleBoardRow(i), QString::number(i + 1), SampleSource::Colour(i));
}

struct GridState {
    QList<QStringList> texts;
    QStringList tags;
    QList<QColor> colours;
    int cols = 0;
    bool operator==(const GridState&) const = default;
};

GridState StateOf(const SpreadGrid& grid) {
    GridState s;
    s.cols = grid.MaxCols();
    for (int r = 1; r <= grid.MaxRows(); ++r) {
        s.texts << grid.RowTexts(r);
        s.tags << grid.spreadModel()->tag(r - 1);
        s.colours << grid.RowForeColor(r);
    }
    return s;
}
} // namespace

void TestSpreadModel::modelStaysConsistent_data() {
    QTest::addColumn<bool>("redraw");
    QTest::newRow("redraw on") << true;
    QTest::newRow("redraw off") << false;
}

void TestSpreadModel::modelStaysConsistent() {
    QFETCH(bool, redraw);
    SpreadGrid grid;
    QAbstractItemModelTester tester(grid.spreadModel(),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    grid.setMaxCols(14);
    for (int c = 1; c <= 14; ++c)
        grid.SetText(c, 0, QStringLiteral("열%1").arg(c));
    grid.ReDraw(redraw);
    grid.setMaxRows(0);
    for (int i = 0; i < 50; ++i)
        grid.AppendRow(SampleBoardRow(i), QString::number(i + 1), QColor(0, 0, 255));
    grid.setMaxRows(grid.MaxRows() + 1);
    grid.SetText(3, grid.MaxRows(), QStringLiteral("접수"));
    grid.setColWidth(5, 0);
    grid.setColWidth(6, 0);
    grid.setRow(2);
    grid.setRow2(4);
    grid.setCol(1);
    grid.setCol2(14);
    grid.setBlockMode(true);
    grid.setForeColor(Qt::red);
    grid.setBlockMode(false);
    grid.setCellType(2, CellKind::CheckBox);
    grid.setTypeCheckText(2, QStringLiteral("선택"));
    grid.setChecked(2, 3, true);
    grid.DeleteCols(13, 2);
    grid.setMaxCols(16);
    grid.setMaxRows(10);
    grid.ReDraw(true);
    QCOMPARE(grid.MaxRows(), 10);
    QCOMPARE(grid.MaxCols(), 16);
    QCOMPARE(grid.GetText(1, 1), QStringLiteral("100000"));
    QCOMPARE(grid.GetText(12, 2), QStringLiteral("파렛트 12개"));
    QCOMPARE(grid.GetText(13, 2), QString()); // deleted columns left nothing behind
    QCOMPARE(grid.GetText(2, 3), QStringLiteral("선택"));
    QVERIFY(grid.isChecked(2, 3));
    QCOMPARE(grid.RowForeColor(3), QColor(Qt::red));
    QCOMPARE(grid.RowForeColor(5), QColor(0, 0, 255));
    QCOMPARE(grid.ColWidth(5), 0.0);

    SpreadGrid copy;
    QAbstractItemModelTester copyTester(copy.spreadModel(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
    copy.CopyFrom(grid);
    QCOMPARE(copy.RowTexts(7), grid.RowTexts(7));
    QCOMPARE(copy.GetText(4, 0), QStringLiteral("열4"));
    QCOMPARE(copy.ColWidth(6), 0.0);
    grid.setMaxRows(0);
    QCOMPARE(grid.MaxRows(), 0);
    QCOMPARE(copy.MaxRows(), 10);
}

void TestSpreadModel::bufferedFillIsOneReset() {
    SpreadGrid grid;
    grid.setMaxCols(14);
    SpreadModel* model = grid.spreadModel();
    QSignalSpy resets(model, &QAbstractItemModel::modelReset);
    QSignalSpy inserted(model, &QAbstractItemModel::rowsInserted);
    QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
    grid.ReDraw(false);
    grid.setMaxRows(0);
    for (int i = 0; i < 1000; ++i) {
        grid.setMaxRows(grid.MaxRows() + 1);
        const QStringList texts = SampleBoardRow(i);
        for (int c = 0; c < texts.size(); ++c)
            grid.SetText(c + 1, grid.MaxRows(), texts[c]);
        grid.setRow(grid.MaxRows());
        grid.setCol(1);
        grid.setCellTag(QString::number(i));
    }
    QCOMPARE(resets.size(), 0);
    grid.ReDraw(true);
    QCOMPARE(resets.size(), 1);
    QCOMPARE(inserted.size(), 0);
    QCOMPARE(changed.size(), 0);
    QCOMPARE(model->rowCount(), 1000);
    grid.setRow(1000);
    QCOMPARE(grid.CellTag(), QStringLiteral("999"));

    // With redraw on, each change is announced on its own.
    grid.SetText(2, 5, QStringLiteral("x"));
    grid.AppendRow({QStringLiteral("y")});
    QCOMPARE(changed.size(), 1);
    QCOMPARE(inserted.size(), 1);
    QCOMPARE(resets.size(), 1);
}

void TestSpreadModel::shrinkingForgetsCells_data() {
    QTest::addColumn<bool>("redraw");
    QTest::newRow("redraw on") << true;
    QTest::newRow("redraw off") << false;
}

void TestSpreadModel::shrinkingForgetsCells() {
    QFETCH(bool, redraw);
    SpreadGrid grid;
    grid.setMaxCols(3);
    grid.setMaxRows(2);
    grid.ReDraw(redraw);
    grid.SetText(3, 2, QStringLiteral("셋"));
    grid.SetText(1, 2, QStringLiteral("하나"));
    grid.setMaxCols(2);
    grid.setMaxCols(3);
    grid.setMaxRows(1);
    grid.setMaxRows(2);
    grid.ReDraw(true);
    QCOMPARE(grid.GetText(3, 2), QString());
    QCOMPARE(grid.GetText(1, 2), QString());
    QCOMPARE(grid.MaxRows(), 2);
}

void TestSpreadModel::outOfRangeWritesIgnored() {
    SpreadGrid grid;
    grid.setMaxCols(2);
    grid.setMaxRows(1);
    grid.SetText(3, 1, QStringLiteral("열 밖"));
    grid.SetText(1, 2, QStringLiteral("행 밖"));
    grid.SetText(-1, -5, QStringLiteral("음수"));
    QCOMPARE(grid.MaxRows(), 1);
    QCOMPARE(grid.MaxCols(), 2);
    QCOMPARE(grid.GetText(1, 2), QString());
    QCOMPARE(grid.GetText(3, 1), QString());
    // Cells written out of order keep their own texts.
    grid.SetText(2, 1, QStringLiteral("둘"));
    grid.SetText(1, 1, QStringLiteral("하나"));
    grid.SetText(2, 1, QStringLiteral("두울"));
    QCOMPARE(grid.RowTexts(1), (QStringList{QStringLiteral("하나"), QStringLiteral("두울")}));
}

void TestSpreadModel::boardRowUnderAKilobyte() {
    SpreadGrid grid;
    grid.setMaxCols(14);
    grid.ReDraw(false);
    grid.AppendRow(SampleBoardRow(7), QStringLiteral("123456"), Qt::blue);
    grid.ReDraw(true);
    QVERIFY2(grid.spreadModel()->rowBytes(0) < 1024,
             qPrintable(QString::number(grid.spreadModel()->rowBytes(0))));
}

// Whatever a screen does to a grid, rows handed over unbuilt read exactly as the same rows
// appended built: the texts, tags and colours, and what the change left of them.
void TestSpreadModel::sourceRowsReadAsBuiltRows_data() {
    QTest::addColumn<QString>("change");
    for (const char* change : {"none", "text of an unbuilt row", "tag and colour of an unbuilt row",
                               "narrowed and widened", "columns deleted", "block coloured",
                               "shrunk and grown", "second source after built rows", "copied",
                               "read, shrunk, grown and written", "rows taken out and put in"})
        QTest::newRow(change) << QString::fromLatin1(change);
}

void TestSpreadModel::sourceRowsReadAsBuiltRows() {
    QFETCH(QString, change);
    SpreadGrid built, lazy;
    QAbstractItemModelTester tester(lazy.spreadModel(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    for (SpreadGrid* g : {&built, &lazy}) {
        g->setMaxCols(14);
        g->ReDraw(false);
    }
    AppendBuilt(built, 40);
    auto source = std::make_shared<SampleSource>(40);
    lazy.AppendSourceRows(source);
    for (SpreadGrid* g : {&built, &lazy})
        g->ReDraw(true);
    QVERIFY(source->built <= 1); // the model checker reads the first row

    SpreadGrid copy;
    for (SpreadGrid* g : {&built, &lazy}) {
        if (change == QLatin1String("text of an unbuilt row")) {
            g->SetText(3, 7, QStringLiteral("배차취소"));
        } else if (change == QLatin1String("tag and colour of an unbuilt row")) {
            g->setRow(9);
            g->setCol(1);
            g->setCellTag(QStringLiteral("999"));
            g->setForeColor(Qt::red);
        } else if (change == QLatin1String("narrowed and widened")) {
            g->setMaxCols(5);
            g->setMaxCols(14);
        } else if (change == QLatin1String("columns deleted")) {
            g->DeleteCols(3, 4);
        } else if (change == QLatin1String("block coloured")) {
            g->setRow(5);
            g->setRow2(30);
            g->setCol(1);
            g->setCol2(14);
            g->setBlockMode(true);
            g->setForeColor(Qt::darkGreen);
            g->setBlockMode(false);
        } else if (change == QLatin1String("shrunk and grown")) {
            g->setMaxRows(12);
            g->setMaxRows(15);
        } else if (change == QLatin1String("read, shrunk, grown and written")) {
            // Rows let go and made again must come back empty, whatever they held.
            StateOf(*g);
            g->setMaxRows(12);
            g->setMaxRows(30);
            g->SetText(2, 20, QStringLiteral("새 줄"));
        } else if (change == QLatin1String("rows taken out and put in")) {
            g->RowTexts(5);
            g->RemoveRow(5);
            g->RemoveRow(30);
            QString cells;
            std::vector<quint32> ends;
            SpreadModel::JoinTexts({QStringLiteral("들어온 줄"), QString(), QStringLiteral("9")}, cells, ends);
            g->InsertJoinedRow(3, cells, ends, QStringLiteral("77"), Qt::blue);
            g->ReplaceJoinedRow(20, cells, ends, QStringLiteral("78"), QColor());
        } else if (change == QLatin1String("second source after built rows")) {
            g->AppendRow({QStringLiteral("한 줄")}, QStringLiteral("t"), Qt::black);
            if (g == &built)
                AppendBuilt(*g, 25, 500);
            else
                g->AppendSourceRows(std::make_shared<SampleSource>(25, 500));
        }
    }
    if (change == QLatin1String("copied")) {
        copy.CopyFrom(lazy);
        lazy.setMaxRows(0); // the copy keeps its own hold on the rows
        QCOMPARE(StateOf(copy), StateOf(built));
        return;
    }
    QCOMPARE(StateOf(lazy), StateOf(built));
}

// A long list costs the rows the agent sees: drawing builds those, looking rows up by tag
// builds none, an export builds them all, and emptying the grid lets the source go.
void TestSpreadModel::onlyRowsReadAreBuilt() {
    // Long enough for the row array and the built rows to live in mappings of their own.
    constexpr int Rows = 70000;
    SpreadGrid grid;
    grid.setMaxCols(14);
    grid.resize(600, 300);
    auto source = std::make_shared<SampleSource>(Rows);
    std::weak_ptr<SampleSource> held = source;
    grid.ReDraw(false);
    grid.AppendSourceRows(std::move(source));
    grid.ReDraw(true);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    QApplication::processEvents();
    const int shown = grid.spreadModel()->builtRows();
    QVERIFY2(shown > 0 && shown < 60, qPrintable(QString::number(shown)));

    grid.setCol(1);
    grid.setRow(19500);
    QCOMPARE(grid.CellTag(), QStringLiteral("19500"));
    QCOMPARE(grid.spreadModel()->builtRows(), shown);
    QCOMPARE(grid.GetText(1, 19500), QString::number(100000 + 19499));
    QCOMPARE(grid.spreadModel()->builtRows(), shown + 1);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list.txt"));
    QVERIFY(grid.SaveTabFile(path));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll().count("\r\n"), Rows);
    QCOMPARE(grid.spreadModel()->builtRows(), Rows);

    QVERIFY(!held.expired());
    grid.setMaxRows(0);
    QVERIFY(held.expired());
}

DELMORA_TEST_MAIN(TestSpreadModel)
#include "tst_spreadmodel.moc"
