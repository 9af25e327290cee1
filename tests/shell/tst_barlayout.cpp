// The list screens' bars on narrower screens: what gives way first, and when the right-hand
// group takes a row of its own.
#include "barlayout.h"
#include "testmain.h"
#include "twips.h"

#include <QWidget>
#include <memory>

class tst_BarLayout : public QObject {
    Q_OBJECT

    // A label, a long box, a button and a hint from the left; two buttons held to the right edge.
    struct Bar {
        QWidget panel;
        QWidget *label, *box, *button, *hint, *near, *edge;
        BarDesign design;
        Bar() {
            for (QWidget** w : {&label, &box, &button, &hint, &near, &edge})
                *w = new QWidget(&panel);
            design.left = {{label, 90, 60, 1000, 300},
                           {box, 1200, 60, 3000, 300, 1500},
                           {button, 4300, 45, 1000, 330},
                           {hint, 5400, 60, 2000, 300, -1, true}};
            design.right = {{near, 2200, 45, 1000, 330}, {edge, 1100, 45, 1000, 330}};
        }
    };

private slots:
    void givesWayInOrder_data() {
        QTest::addColumn<double>("width");
        QTest::addColumn<int>("rows");
        QTest::addColumn<double>("boxWidth");
        QTest::addColumn<double>("buttonLeft");
        QTest::addColumn<bool>("hintShown");
        QTest::addColumn<QPoint>("near"); // twips
        QTest::addColumn<QPoint>("edge");
        QTest::newRow("as drawn") << 12000.0 << 1 << 3000.0 << 4300.0 << true << QPoint(9800, 45)
                                  << QPoint(10900, 45);
        QTest::newRow("the hint makes way first")
            << 9000.0 << 1 << 3000.0 << 4300.0 << false << QPoint(6800, 45) << QPoint(7900, 45);
        QTest::newRow("then the long box gives up width")
            << 7000.0 << 1 << 2380.0 << 3680.0 << false << QPoint(4800, 45) << QPoint(5900, 45);
        QTest::newRow("right-hand group on a row of its own, the box whole again")
            << 6000.0 << 2 << 3000.0 << 4300.0 << false << QPoint(3800, 405) << QPoint(4900, 405);
        QTest::newRow("right-hand group below, the box gives up width again")
            << 4000.0 << 2 << 1610.0 << 2910.0 << false << QPoint(1800, 405) << QPoint(2900, 405);
        QTest::newRow("the group shares the last row the left-hand controls flowed onto")
            << 3600.0 << 2 << 1500.0 << 90.0 << false << QPoint(1400, 405) << QPoint(2500, 405);
        QTest::newRow("everything flows on, row by row, in its order")
            << 2000.0 << 5 << 1500.0 << 90.0 << false << QPoint(90, 1125) << QPoint(90, 1485);
    }
    void givesWayInOrder() {
        QFETCH(double, width);
        QFETCH(int, rows);
        QFETCH(double, boxWidth);
        QFETCH(double, buttonLeft);
        QFETCH(bool, hintShown);
        QFETCH(QPoint, near);
        QFETCH(QPoint, edge);
        Bar bar;
        QCOMPARE(LayOutBar(bar.design, width), rows);
        QCOMPARE(bar.box->width(), TwipsToPx(boxWidth));
        QCOMPARE(bar.button->x(), TwipsToPx(buttonLeft));
        QCOMPARE(bar.hint->isVisibleTo(&bar.panel), hintShown);
        QCOMPARE(bar.near->pos(), QPoint(TwipsToPx(near.x()), TwipsToPx(near.y())));
        QCOMPARE(bar.edge->pos(), QPoint(TwipsToPx(edge.x()), TwipsToPx(edge.y())));
        QCOMPARE(bar.label->geometry(), QRect(6, 4, 67, 20));
        // Whatever wrapped lies below what stayed, never on it.
        auto follows = [](QWidget* before, QWidget* after) {
            return qAbs(after->y() - before->y()) < 20 ? after->x() > before->geometry().right()
                                                       : after->y() > before->y();
        };
        QVERIFY(follows(bar.label, bar.box));
        QVERIFY(follows(bar.box, bar.button));
    }

    // Laid out again wider, the bar is as drawn again: nothing stays hidden or narrowed.
    void wideningUndoesEverything() {
        Bar bar;
        LayOutBar(bar.design, 2000);
        QCOMPARE(LayOutBar(bar.design, 12000), 1);
        QVERIFY(bar.hint->isVisibleTo(&bar.panel));
        QCOMPARE(bar.box->width(), TwipsToPx(3000));
        QCOMPARE(bar.edge->pos(), QPoint(TwipsToPx(10900), TwipsToPx(45)));
    }
};

DELMORA_TEST_MAIN(tst_BarLayout)
#include "tst_barlayout.moc"
