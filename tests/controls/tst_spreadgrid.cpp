// The spreadsheet grid as the list screens drive it: widths in character units and twips,
// widths the user drags (and only those), clicks and keys, tags and row colours, selection
// blocks, check-box cells and the tab-separated file the export writes.
#include "spreadgrid.h"
#include "testmain.h"
#include "twips.h"

#include <QFile>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTemporaryDir>

class TestSpreadGrid : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void widths_data();
    void widths();
    void widthsSurviveAFill();
    void widthChangeOnlyFromTheUser();
    void rowHeights();
    void clicks_data();
    void clicks();
    void keyDownBeforeTheViewMoves_data();
    void keyDownBeforeTheViewMoves();
    void tagsAndBlockColours();
    void selectionBlocks();
    void activeCellSetDuringFill();
    void checkBoxCells();
    void saveTabFile();
    void saveTabFileRefusesUnwritablePath();

private:
    QPoint cellCentre(int col, int row) const;
    SpreadGrid* m_grid = nullptr;
};

void TestSpreadGrid::init() {
    m_grid = new SpreadGrid;
    m_grid->setObjectName(QStringLiteral("sp"));
    m_grid->resize(800, 400);
    m_grid->setMaxCols(4);
    const QStringList headers{"번호", "상태", "상차지", "하차지"};
    for (int c = 1; c <= 4; ++c)
        m_grid->SetText(c, 0, headers[c - 1]);
    for (int r = 1; r <= 5; ++r)
        m_grid->AppendRow({QString::number(r), "접수", "서울 강남구", "부산 해운대구"},
                          QString::number(100 + r));
    m_grid->show();
    QApplication::setActiveWindow(m_grid);
    QVERIFY(QTest::qWaitForWindowExposed(m_grid));
}

void TestSpreadGrid::cleanup() {
    delete m_grid;
    m_grid = nullptr;
}

QPoint TestSpreadGrid::cellCentre(int col, int row) const {
    return m_grid->visualRect(m_grid->model()->index(row - 1, col - 1)).center();
}

void TestSpreadGrid::widths_data() {
    QTest::addColumn<int>("unit");
    QTest::addColumn<double>("width");
    QTest::addColumn<int>("px");
    QTest::addColumn<double>("readBack");
    const int normal = int(WidthUnit::Normal), twips = int(WidthUnit::Twips);
    QTest::newRow("10 characters") << normal << 10.0 << 80 << 10.0;
    QTest::newRow("fractional characters") << normal << 12.5 << 100 << 12.5;
    QTest::newRow("1500 twips") << twips << 1500.0 << 100 << 1500.0;
    QTest::newRow("twips off the pixel grid") << twips << 1000.0 << 67 << 1005.0;
    QTest::newRow("zero hides") << normal << 0.0 << 0 << 0.0;
    QTest::newRow("negative hides") << twips << -30.0 << 0 << 0.0;
}

void TestSpreadGrid::widths() {
    QFETCH(int, unit);
    QFETCH(double, width);
    QFETCH(int, px);
    QFETCH(double, readBack);
    m_grid->setUnitType(WidthUnit(unit));
    m_grid->setColWidth(2, width);
    QCOMPARE(m_grid->ColWidth(2), readBack);
    QCOMPARE(m_grid->isColumnHidden(1), px == 0);
    if (px > 0) QCOMPARE(m_grid->columnWidth(1), px);
    // The same column read in the other unit: 8 pixels per character, 15 twips per pixel.
    m_grid->setUnitType(unit == int(WidthUnit::Twips) ? WidthUnit::Normal : WidthUnit::Twips);
    const double other = unit == int(WidthUnit::Twips) ? px / 8.0 : double(PxToTwips(px));
    QCOMPARE(m_grid->ColWidth(2), other);
    // A width above 0 shows a hidden column again.
    m_grid->setColWidth(2, 7);
    QVERIFY(!m_grid->isColumnHidden(1));
    QVERIFY(m_grid->ColWidth(2) > 0);
}

void TestSpreadGrid::widthsSurviveAFill() {
    m_grid->setColWidth(1, 5);
    m_grid->setColWidth(3, 0);
    m_grid->ReDraw(false);
    m_grid->setMaxRows(0);
    for (int r = 1; r <= 3; ++r)
        m_grid->AppendRow({"a", "b", "c", "d"});
    m_grid->ReDraw(true);
    QCOMPARE(m_grid->ColWidth(1), 5.0);
    QCOMPARE(m_grid->ColWidth(3), 0.0);
    QVERIFY(m_grid->isColumnHidden(2));
}

void TestSpreadGrid::widthChangeOnlyFromTheUser() {
    QSignalSpy changes(m_grid, &SpreadGrid::ColWidthChange);
    m_grid->setColWidth(2, 20);
    m_grid->setColWidth(3, 0);
    m_grid->setColWidth(3, 10);
    m_grid->ReDraw(false);
    m_grid->setMaxRows(0);
    m_grid->ReDraw(true);
    QCOMPARE(changes.size(), 0);

    // Drag the right edge of column 1 forty pixels to the right.
    QHeaderView* header = m_grid->horizontalHeader();
    QWidget* viewport = header->viewport();
    const int edge = header->sectionViewportPosition(0) + header->sectionSize(0) - 1;
    const int y = header->height() / 2;
    const int before = m_grid->columnWidth(0);
    auto send = [&](QEvent::Type type, int x, Qt::MouseButtons buttons) {
        QMouseEvent e(type, QPointF(x, y), viewport->mapToGlobal(QPointF(x, y)),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(viewport, &e);
    };
    send(QEvent::MouseMove, edge, Qt::NoButton);
    send(QEvent::MouseButtonPress, edge, Qt::LeftButton);
    send(QEvent::MouseMove, edge + 20, Qt::LeftButton);
    send(QEvent::MouseMove, edge + 40, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, edge + 40, Qt::NoButton);
    QCOMPARE(m_grid->columnWidth(0), before + 40);
    QVERIFY(changes.size() >= 1);
    QCOMPARE(changes.last().at(0).toInt(), 1);
    QCOMPARE(changes.last().at(1).toInt(), 1);
    QCOMPARE(m_grid->ColWidth(1), (before + 40) / 8.0);

    // The dragged width is the one kept through the next fill.
    m_grid->ReDraw(false);
    m_grid->ReDraw(true);
    QCOMPARE(m_grid->columnWidth(0), before + 40);
}

void TestSpreadGrid::rowHeights() {
    m_grid->setRowHeight(-1, 18);
    m_grid->setRowHeight(0, 18);
    QCOMPARE(m_grid->rowHeight(0), 24);
    QCOMPARE(m_grid->rowHeight(4), 24);
    QCOMPARE(m_grid->horizontalHeader()->height(), 24);
    QCOMPARE(m_grid->RowHeight(-1), 18.0);
    QCOMPARE(m_grid->RowHeight(0), 18.0);
    m_grid->setRowHeight(-1, 12);
    m_grid->AppendRow({"새 행"});
    QCOMPARE(m_grid->rowHeight(5), 16);
    QCOMPARE(m_grid->rowHeight(0), 16);
}

void TestSpreadGrid::clicks_data() {
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("twice");
    QTest::newRow("cell") << 3 << 2 << false;
    QTest::newRow("cell double") << 2 << 4 << true;
    QTest::newRow("column header") << 3 << 0 << false;
    QTest::newRow("column header double") << 1 << 0 << true;
}

void TestSpreadGrid::clicks() {
    QFETCH(int, col);
    QFETCH(int, row);
    QFETCH(bool, twice);
    QSignalSpy clicked(m_grid, &SpreadGrid::Click);
    QSignalSpy doubled(m_grid, &SpreadGrid::DblClick);
    QWidget* target = m_grid->viewport();
    QPoint at = row > 0 ? cellCentre(col, row) : QPoint();
    if (row == 0) {
        QHeaderView* header = m_grid->horizontalHeader();
        target = header->viewport();
        at = QPoint(header->sectionViewportPosition(col - 1) + header->sectionSize(col - 1) / 2,
                    header->height() / 2);
    }
    QTest::mouseClick(target, Qt::LeftButton, {}, at);
    if (twice) QTest::mouseDClick(target, Qt::LeftButton, {}, at);
    QVERIFY(!clicked.isEmpty());
    QCOMPARE(clicked.first(), (QList<QVariant>{col, row}));
    QCOMPARE(doubled.size(), twice ? 1 : 0);
    if (twice) QCOMPARE(doubled.first(), (QList<QVariant>{col, row}));
    if (row > 0) {
        QCOMPARE(m_grid->ActiveRow(), row);
        QCOMPARE(m_grid->ActiveCol(), col);
    }
}

void TestSpreadGrid::keyDownBeforeTheViewMoves_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("swallow");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("rowAfter");
    QTest::newRow("down moves") << int(Qt::Key_Down) << false << 40 << 3;
    QTest::newRow("up moves") << int(Qt::Key_Up) << false << 38 << 1;
    QTest::newRow("down swallowed") << int(Qt::Key_Down) << true << 40 << 2;
    QTest::newRow("enter") << int(Qt::Key_Return) << false << 13 << 2;
    QTest::newRow("escape") << int(Qt::Key_Escape) << false << 27 << 2;
}

void TestSpreadGrid::keyDownBeforeTheViewMoves() {
    QFETCH(int, key);
    QFETCH(bool, swallow);
    QFETCH(int, code);
    QFETCH(int, rowAfter);
    m_grid->setFocus();
    m_grid->SetActiveCell(1, 2);
    int seenCode = -1, rowWhenSeen = -1;
    connect(m_grid, &SpreadGrid::KeyDown, this, [&](int& k, int) {
        seenCode = k;
        rowWhenSeen = m_grid->ActiveRow();
        if (swallow) k = 0;
    });
    QTest::keyClick(m_grid, Qt::Key(key));
    QCOMPARE(seenCode, code);
    QCOMPARE(rowWhenSeen, 2);
    QCOMPARE(m_grid->ActiveRow(), rowAfter);
}

void TestSpreadGrid::tagsAndBlockColours() {
    m_grid->setRow(3);
    m_grid->setCol(1);
    QCOMPARE(m_grid->CellTag(), QStringLiteral("103"));
    m_grid->setCellTag(QStringLiteral("9'9"));
    QCOMPARE(m_grid->CellTag(), QStringLiteral("9'9"));
    m_grid->setCol(2);
    QCOMPARE(m_grid->CellTag(), QString()); // only column 1 keeps the row's key
    m_grid->setCellTag(QStringLiteral("무시"));
    m_grid->setCol(1);
    QCOMPARE(m_grid->CellTag(), QStringLiteral("9'9"));

    m_grid->setBlockMode(true);
    m_grid->setRow(2);
    m_grid->setRow2(4);
    m_grid->setCol(1);
    m_grid->setCol2(m_grid->MaxCols());
    m_grid->setForeColor(QColor(255, 0, 0));
    m_grid->setBlockMode(false);
    m_grid->setRow(5);
    m_grid->setForeColor(QColor(0, 128, 0));
    const QList<QColor> expected{QColor(Qt::black), QColor(255, 0, 0), QColor(255, 0, 0), QColor(255, 0, 0),
                                 QColor(0, 128, 0)};
    for (int r = 1; r <= 5; ++r) {
        QCOMPARE(m_grid->RowForeColor(r), expected[r - 1]);
        QCOMPARE(m_grid->model()->index(r - 1, 3).data(Qt::ForegroundRole).value<QColor>(), expected[r - 1]);
    }
}

void TestSpreadGrid::selectionBlocks() {
    QTest::mouseClick(m_grid->viewport(), Qt::LeftButton, {}, cellCentre(2, 1));
    QTest::mouseClick(m_grid->viewport(), Qt::LeftButton, Qt::ControlModifier, cellCentre(2, 3));
    QTest::mouseClick(m_grid->viewport(), Qt::LeftButton, Qt::ShiftModifier | Qt::ControlModifier,
                      cellCentre(2, 4));
    QCOMPARE(m_grid->SelectionCount(), 2);
    QList<QList<int>> blocks;
    for (int i = 0; i < m_grid->SelectionCount(); ++i) {
        int col = 0, row = 0, col2 = 0, row2 = 0;
        QVERIFY(m_grid->GetSelection(i, &col, &row, &col2, &row2));
        blocks << QList<int>{col, row, col2, row2};
    }
    std::sort(blocks.begin(), blocks.end(), [](const auto& a, const auto& b) { return a[1] < b[1]; });
    QCOMPARE(blocks, (QList<QList<int>>{{1, 1, 4, 1}, {1, 3, 4, 4}}));
    QVERIFY(!m_grid->GetSelection(2, nullptr, nullptr, nullptr, nullptr));
}

void TestSpreadGrid::activeCellSetDuringFill() {
    m_grid->ReDraw(false);
    m_grid->setMaxRows(0);
    m_grid->AppendRow({"1"});
    m_grid->AppendRow({"2"});
    m_grid->SetActiveCell(1, 2);
    m_grid->ReDraw(true);
    QCOMPARE(m_grid->ActiveRow(), 2);
    QCOMPARE(m_grid->ActiveCol(), 1);
    QVERIFY(m_grid->selectionModel()->isRowSelected(1, {}));
}

void TestSpreadGrid::checkBoxCells() {
    m_grid->setCellType(2, CellKind::CheckBox);
    m_grid->setTypeCheckText(2, QStringLiteral("지급"));
    QCOMPARE(m_grid->CellType(2, 1), CellKind::CheckBox);
    QCOMPARE(m_grid->CellType(3, 1), CellKind::Edit);
    QCOMPARE(m_grid->GetText(2, 1), QStringLiteral("지급"));
    QVERIFY(!m_grid->isChecked(2, 1));
    // The user ticks the box: the one change a user makes to a cell.
    const QRect cell = m_grid->visualRect(m_grid->model()->index(0, 1));
    QStyleOptionViewItem option;
    option.rect = cell;
    option.features |= QStyleOptionViewItem::HasCheckIndicator;
    const QRect box = m_grid->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, m_grid);
    QTest::mouseClick(m_grid->viewport(), Qt::LeftButton, {}, box.center());
    QVERIFY(m_grid->isChecked(2, 1));
    QVERIFY(!m_grid->isChecked(2, 2));
    // Other cells stay read-only.
    QVERIFY(!m_grid->model()->setData(m_grid->model()->index(0, 2), QStringLiteral("고침")));
    QCOMPARE(m_grid->GetText(3, 1), QStringLiteral("서울 강남구"));
}

void TestSpreadGrid::saveTabFile() {
    m_grid->setMaxRows(0);
    m_grid->AppendRow({"탭\t안", "줄\r\n바꿈", "", "'인용\""});
    m_grid->AppendRow({"둘"});
    m_grid->setColWidth(3, 0); // hidden columns are written all the same
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("오더내역.xls"));
    QVERIFY(m_grid->SaveTabFile(path));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray expected =
        QByteArray("\xEF\xBB\xBF") + QStringLiteral("탭 안\t줄  바꿈\t\t'인용\"\r\n둘\t\t\t\r\n").toUtf8();
    QCOMPARE(file.readAll(), expected);

    m_grid->setMaxRows(0);
    QVERIFY(m_grid->SaveTabFile(path));
    file.close();
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("\xEF\xBB\xBF"));
}

void TestSpreadGrid::saveTabFileRefusesUnwritablePath() {
    QTemporaryDir dir;
    QVERIFY(!m_grid->SaveTabFile(dir.path())); // a folder
    QVERIFY(!m_grid->SaveTabFile(dir.filePath(QStringLiteral("없는폴더/파일.xls"))));
}

DELMORA_TEST_MAIN(TestSpreadGrid)
#include "tst_spreadgrid.moc"
