// The grid's table model under Qt's own model checker, through the ways the screens fill and
// change it, plus what a buffered (redraw off) fill must look like from outside.
#include "samplerows.h"
#include "spreadgrid.h"
#include "spreadmodel.h"
#include "testmain.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>

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
};

namespace {


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

DELMORA_TEST_MAIN(TestSpreadModel)
#include "tst_spreadmodel.moc"
