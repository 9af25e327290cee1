// The grid carrying a form: single cells with their own look, merged boxes, and looks that stay
// with their cells when the grid changes shape.
#include "spreadgrid.h"
#include "spreadmodel.h"
#include "testmain.h"

class SpreadGridFormTest : public QObject {
    Q_OBJECT
private:
    static QVariant Role(const SpreadGrid& g, int col, int row, int role) {
        return g.model()->index(row - 1, col - 1).data(role);
    }

private slots:
    void lookReachesTheView() {
        SpreadGrid g;
        g.setMaxCols(3);
        g.setMaxRows(2);
        g.setRow(2);
        g.setForeColor(Qt::red); // the row's colour, for cells without their own
        QFont big(QStringLiteral("굴림"), 14);
        big.setBold(true);
        g.SetCellLook(2, 2,
                      CellLook{QColor(0xFF, 0xF5, 0xF5), Qt::blue, Qt::AlignRight | Qt::AlignVCenter, big});
        QCOMPARE(Role(g, 2, 2, Qt::BackgroundRole).value<QColor>(), QColor(0xFF, 0xF5, 0xF5));
        QCOMPARE(Role(g, 2, 2, Qt::ForegroundRole).value<QColor>(), QColor(Qt::blue));
        QCOMPARE(Role(g, 2, 2, Qt::TextAlignmentRole).toInt(), int(Qt::AlignRight | Qt::AlignVCenter));
        QCOMPARE(Role(g, 2, 2, Qt::FontRole).value<QFont>().pointSize(), 14);
        // Neighbours keep the grid's own look and the row's colour.
        QVERIFY(!Role(g, 1, 2, Qt::BackgroundRole).isValid());
        QCOMPARE(Role(g, 1, 2, Qt::ForegroundRole).value<QColor>(), QColor(Qt::red));
        QVERIFY(!Role(g, 2, 1, Qt::FontRole).isValid());
        // A column of amounts is flush right; a cell with its own alignment keeps it.
        g.setColumnAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
        g.SetCellLook(2, 1, CellLook{{}, {}, Qt::AlignCenter, {}});
        QCOMPARE(Role(g, 2, 1, Qt::TextAlignmentRole).toInt(), int(Qt::AlignCenter));
        g.setMaxRows(3);
        QCOMPARE(Role(g, 2, 3, Qt::TextAlignmentRole).toInt(), int(Qt::AlignRight | Qt::AlignVCenter));
        // A look without a colour of its own leaves the row's colour.
        g.SetCellLook(3, 2, CellLook{Qt::white, {}, {}, {}});
        QCOMPARE(Role(g, 3, 2, Qt::ForegroundRole).value<QColor>(), QColor(Qt::red));
        QVERIFY(!Role(g, 3, 2, Qt::TextAlignmentRole).isValid());
    }

    void looksFollowTheGridsShape_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<int>("col"); // where the look of cell (3, 2) is found afterwards, 0 = gone
        QTest::newRow("columns left of it deleted") << "delete 1" << 2;
        QTest::newRow("columns right of it deleted") << "delete 4" << 3;
        QTest::newRow("its own column deleted") << "delete 3" << 0;
        QTest::newRow("rows emptied and filled again") << "rows 0" << 0;
        QTest::newRow("columns cut and widened again") << "cols 2" << 0;
        QTest::newRow("copied to another grid") << "copy" << 3;
    }
    void looksFollowTheGridsShape() {
        QFETCH(QString, change);
        QFETCH(int, col);
        SpreadGrid g;
        g.setMaxCols(5);
        g.setMaxRows(3);
        g.SetCellLook(3, 2, CellLook{Qt::yellow, {}, {}, {}});
        SpreadGrid other;
        SpreadGrid* seen = &g;
        if (change == QLatin1String("delete 1")) g.DeleteCols(1, 1);
        if (change == QLatin1String("delete 4")) g.DeleteCols(4, 1);
        if (change == QLatin1String("delete 3")) g.DeleteCols(3, 1);
        if (change == QLatin1String("rows 0")) g.setMaxRows(0), g.setMaxRows(3);
        if (change == QLatin1String("cols 2")) g.setMaxCols(2), g.setMaxCols(5);
        if (change == QLatin1String("copy")) other.CopyFrom(g), seen = &other;
        for (int c = 1; c <= seen->MaxCols(); ++c)
            QCOMPARE(seen->CellLookAt(c, 2).back == QColor(Qt::yellow), c == col);
    }

    void mergedBoxes_data() {
        QTest::addColumn<int>("cols");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("spanCols");
        QTest::addColumn<int>("spanRows");
        QTest::newRow("across") << 12 << 1 << 12 << 1;
        QTest::newRow("down") << 1 << 4 << 1 << 4;
        QTest::newRow("block") << 9 << 2 << 9 << 2;
        QTest::newRow("nothing to join") << 0 << 3 << 1 << 1;
    }
    void mergedBoxes() {
        QFETCH(int, cols);
        QFETCH(int, rows);
        QFETCH(int, spanCols);
        QFETCH(int, spanRows);
        SpreadGrid g;
        g.setMaxCols(35);
        g.setMaxRows(18);
        g.AddCellSpan(5, 3, cols, rows);
        g.SetText(5, 3, QStringLiteral("123-45-67890"));
        QCOMPARE(g.columnSpan(2, 4), spanCols);
        QCOMPARE(g.rowSpan(2, 4), spanRows);
        g.resize(900, 600);
        g.show();
        // The box is drawn as one: its first cell's rectangle covers the whole box.
        const QRect box = g.visualRect(g.model()->index(2, 4));
        int width = 0;
        for (int c = 4; c < 4 + spanCols; ++c)
            width += g.columnWidth(c);
        QCOMPARE(box.width() + 1, width); // the box leaves room for its grid line
    }
};

DELMORA_TEST_MAIN(SpreadGridFormTest)
#include "tst_spreadgridform.moc"
