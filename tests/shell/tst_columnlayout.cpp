// The list screens' column-width and row-height convention: what is stored, what is restored,
// when the screen's own fit rule runs.
#include "gridroutines.h"
#include "ini.h"
#include "signin.h"
#include "spreadgrid.h"
#include "testmain.h"
#include "twips.h"
#include <QHeaderView>
#include <QMouseEvent>
#include <QScrollBar>
#include <algorithm>

namespace {
QByteArray fileBytes() {
    QFile f(SettingsPath());
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
const QString kSection = QStringLiteral("컬럼폭");
const QString kKey = QStringLiteral("차주관리");
const QList<double> kDesign = {5, 10, 12.5, 8};

void design(SpreadGrid& g) {
    g.setMaxCols(int(kDesign.size()));
    g.setMaxRows(3);
    for (int c = 1; c <= kDesign.size(); ++c)
        g.setColWidth(c, kDesign[c - 1]);
}

QList<double> widths(const SpreadGrid& g) {
    QList<double> out;
    for (int c = 1; c <= g.MaxCols(); ++c)
        out << g.ColWidth(c);
    return out;
}
} // namespace

class tst_ColumnLayout : public QObject {
    Q_OBJECT

private slots:
    void init() { RowHeightSetting = QStringLiteral("18"); }

    void restore_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QList<double>>("expected");
        QTest::newRow("all columns") << "7,11,3.5,20" << QList<double>{7, 11, 3.5, 20};
        QTest::newRow("fewer pieces set only the first columns") << "7,11" << QList<double>{7, 11, 12.5, 8};
        QTest::newRow("more pieces than columns") << "4,5,6,7,8,9" << QList<double>{4, 5, 6, 7};
        QTest::newRow("hidden column") << "7,0,6,4" << QList<double>{7, 0, 6, 4};
        QTest::newRow("damaged piece keeps its design width") << "7,abc,,4" << QList<double>{7, 10, 12.5, 4};
        QTest::newRow("negative and absurd pieces ignored")
            << "-3,1e300,inf,4" << QList<double>{5, 10, 12.5, 4};
        QTest::newRow("blanks around pieces") << " 6 , 9" << QList<double>{6, 9, 12.5, 8};
    }
    void restore() {
        QFETCH(QString, stored);
        QFETCH(QList<double>, expected);
        WriteIni(kSection, kKey, stored);
        SpreadGrid g;
        design(g);
        int fits = 0;
        ApplyColumnLayout(g, kKey, [&fits](SpreadGrid&) { ++fits; });
        QCOMPARE(fits, 0);
        QCOMPARE(widths(g), expected);
        QVERIFY(g.isReDraw());
        QCOMPARE(g.UnitType(), WidthUnit::Normal);
    }

    // Nothing stored: the screen's fit rule runs, in whatever unit it likes.
    void emptyEntryRunsFitRule() {
        WriteIni(kSection, kKey, QString());
        SpreadGrid g;
        design(g);
        int fits = 0;
        ApplyColumnLayout(g, kKey, [&fits](SpreadGrid& grid) {
            ++fits;
            QVERIFY(!grid.isReDraw());
            grid.setUnitType(WidthUnit::Twips);
            grid.setColWidth(2, 1500); // 100 pixels
        });
        QCOMPARE(fits, 1);
        QCOMPARE(g.UnitType(), WidthUnit::Normal);
        QCOMPARE(g.ColWidth(2), 12.5);
        QCOMPARE(g.ColWidth(1), 5.0);
    }

    // The fit rule on a narrowing grid: the fit columns share the spare width; one that reaches
    // its least width (its header's text, half its drawn width) stays there and the other takes
    // the rest; when both are down to theirs the grid scrolls sideways. A design width narrower
    // than its header is widened.
    void fitKeepsHeadersWhole_data() {
        QTest::addColumn<int>("gridWidth");
        QTest::addColumn<bool>("shortAtHeader");
        QTest::addColumn<bool>("longAtHeader");
        QTest::addColumn<bool>("scrolls");
        QTest::newRow("wide: equal shares") << 900 << false << false << false;
        QTest::newRow("narrower: the short column stops at its header") << 300 << true << false << false;
        QTest::newRow("narrow: both at their least widths, the grid scrolls") << 150 << true << true << true;
    }
    void fitKeepsHeadersWhole() {
        QFETCH(int, gridWidth);
        QFETCH(bool, shortAtHeader);
        QFETCH(bool, longAtHeader);
        QFETCH(bool, scrolls);
        SpreadGrid g;
        g.setMaxCols(4);
        g.setMaxRows(2);
        const QStringList headers = {QStringLiteral("날짜"), QStringLiteral("오더상태"),
                                     QStringLiteral("상차지 주소"), QStringLiteral("비고")};
        const QList<double> widths = {1, 9, 20, 8}; // the date column narrower than its header
        for (int c = 1; c <= 4; ++c) {
            g.SetText(c, 0, headers[c - 1]);
            g.setColWidth(c, widths[c - 1]);
        }
        g.resize(gridWidth, 200);
        g.show();
        ShareSpareWidth(g, {2, 3}, 450, 300);
        g.setUnitType(WidthUnit::Twips);
        for (int c = 1; c <= 4; ++c)
            QVERIFY2(g.ColWidth(c) >= HeaderTextWidth(g, c), qPrintable(QString::number(c)));
        QCOMPARE(g.ColWidth(1), HeaderTextWidth(g, 1));
        // A fit column's least width: its header, and half its drawn width.
        auto least = [&g, &widths](int c) {
            return std::max({300.0, HeaderTextWidth(g, c), widths[c - 1] * 60});
        };
        QCOMPARE(g.ColWidth(2) == least(2), shortAtHeader);
        QCOMPARE(g.ColWidth(3) == least(3), longAtHeader);
        double sum = 0;
        for (int c = 0; c <= 4; ++c)
            sum += g.ColWidth(c);
        if (!scrolls) {
            // The columns fill the grid less the margin (whole pixels per column).
            QVERIFY2(qAbs(PxToTwips(gridWidth) - 450 - sum) <= 15 * 5, qPrintable(QString::number(sum)));
        }
        if (!shortAtHeader) // equal shares keep the drawn difference
            QVERIFY(qAbs((g.ColWidth(3) - g.ColWidth(2)) - 11 * 120) <= 15);
        QApplication::processEvents();
        QCOMPARE(g.horizontalScrollBar()->maximum() > 0, scrolls);

        // Wide again, the columns are those of a grid opened wide: the narrow fit left nothing.
        g.resize(900, 200);
        ShareSpareWidth(g, {2, 3}, 450, 300);
        QVERIFY(qAbs((g.ColWidth(3) - g.ColWidth(2)) - 11 * 120) <= 15);
    }

    void rowHeights_data() {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<double>("expected");
        QTest::newRow("default") << "18" << 18.0;
        QTest::newRow("first start") << "12" << 12.0;
        QTest::newRow("leading number") << "15pt" << 15.0;
        QTest::newRow("unreadable keeps rows visible") << "abc" << 18.0;
        QTest::newRow("zero keeps rows visible") << "0" << 18.0;
        QTest::newRow("lowest") << "7" << 7.0;
        QTest::newRow("below the lowest") << "3" << 7.0;
        QTest::newRow("highest") << "100" << 100.0;
        QTest::newRow("above the highest") << "250" << 100.0;
        QTest::newRow("past the int range") << "3000000000" << 100.0;
        QTest::newRow("largest double") << "1e308" << 100.0;
        QTest::newRow("negative") << "-40" << 18.0;
    }
    void rowHeights() {
        QFETCH(QString, setting);
        QFETCH(double, expected);
        RowHeightSetting = setting;
        WriteIni(kSection, kKey, QStringLiteral("7,11"));
        SpreadGrid g;
        design(g);
        ApplyColumnLayout(g, kKey, {});
        // The grid draws whole pixels: the height asked for, as near as pixels go.
        const double drawn = std::lround(expected * 4.0 / 3.0) * 0.75;
        QCOMPARE(g.RowHeight(1), drawn);
        QCOMPARE(g.RowHeight(3), drawn);
        QCOMPARE(g.RowHeight(0), 18.0);
    }

    void formatWidth_data() {
        QTest::addColumn<double>("width");
        QTest::addColumn<QString>("text");
        QTest::newRow("whole") << 12.0 << "12";
        QTest::newRow("zero") << 0.0 << "0";
        QTest::newRow("half") << 12.5 << "12.5";
        QTest::newRow("eighth") << 0.125 << "0.125";
        QTest::newRow("fifteen digits") << 1.0 / 3.0 << "0.333333333333333";
        QTest::newRow("large whole") << 120.0 << "120";
    }
    void formatWidth() {
        QFETCH(double, width);
        QTEST(FormatWidth(width), "text");
    }

    void saveWritesEveryColumn() {
        SpreadGrid g;
        design(g);
        g.setColWidth(2, 0);
        g.setUnitType(WidthUnit::Twips); // a screen left in twips still saves character widths
        SaveColumnWidths(g, kKey);
        QCOMPARE(ReadIni(kSection, kKey), QStringLiteral("5,0,12.5,8"));
        QCOMPARE(g.UnitType(), WidthUnit::Twips);

        // What is saved comes back unchanged.
        SpreadGrid again;
        design(again);
        ApplyColumnLayout(again, kKey, {});
        QCOMPARE(widths(again), QList<double>({5, 0, 12.5, 8}));
    }

    void userDragSaves() {
        WriteIni(kSection, kKey, QString());
        SpreadGrid g;
        design(g);
        ConnectColumnWidthSaving(g, kKey);
        g.setColWidth(1, 9); // set by the program: not a user change
        QCOMPARE(ReadIni(kSection, kKey), QString());
        emit g.ColWidthChange(1, 1);
        QCOMPARE(ReadIni(kSection, kKey), QStringLiteral("9,10,12.5,8"));
    }

    // A drag reports every mouse move; the file is written when the mouse lets go.
    void dragIsWrittenOnRelease() {
        WriteIni(kSection, kKey, QString());
        FlushIni();
        const QByteArray before = fileBytes();
        SpreadGrid g;
        design(g);
        g.resize(600, 200);
        g.show();
        QVERIFY(QTest::qWaitForWindowExposed(&g));
        ConnectColumnWidthSaving(g, kKey);
        QWidget* header = g.horizontalHeader()->viewport();
        // The border between columns 1 and 2, dragged to the right in small steps.
        const int border =
            g.horizontalHeader()->sectionViewportPosition(0) + g.horizontalHeader()->sectionSize(0) - 1;
        const int y = header->height() / 2;
        QTest::mousePress(header, Qt::LeftButton, {}, QPoint(border, y));
        for (int dx = 2; dx <= 40; dx += 2) {
            QMouseEvent move(QEvent::MouseMove, QPointF(border + dx, y),
                             header->mapToGlobal(QPointF(border + dx, y)), Qt::NoButton, Qt::LeftButton,
                             Qt::NoModifier);
            QApplication::sendEvent(header, &move);
        }
        QVERIFY(g.ColWidth(1) > kDesign[0]);
        QCOMPARE(ReadIni(kSection, kKey).split(u',').value(0), FormatWidth(g.ColWidth(1)));
        QCOMPARE(fileBytes(), before);
        QTest::mouseRelease(header, Qt::LeftButton, {}, QPoint(border + 40, y));
        QVERIFY(fileBytes() != before);
        QVERIFY(fileBytes().contains(
            QStringLiteral("%1=%2,10,12.5,8").arg(kKey, FormatWidth(g.ColWidth(1))).toUtf8()));
    }
};

DELMORA_TEST_MAIN(tst_ColumnLayout)
#include "tst_columnlayout.moc"
