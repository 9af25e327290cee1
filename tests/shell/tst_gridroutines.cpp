// Enter-as-Tab, the code-list hit test and hiding, and the grid look.
#include "testmain.h"
#include "fonts.h"
#include "gridroutines.h"
#include "mytext.h"
#include "spreadgrid.h"
#include "twips.h"
#include <QDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QVBoxLayout>

class tst_GridRoutines : public QObject {
    Q_OBJECT

private slots:
    // Enter in a box moves the focus exactly where Tab would, and the Enter is dropped.
    void enterMovesFocusLikeTab_data() {
        QTest::addColumn<int>("start");
        QTest::newRow("first box") << 0;
        QTest::newRow("middle box, disabled one skipped") << 1;
        QTest::newRow("last box wraps") << 3;
    }
    void enterMovesFocusLikeTab() {
        QFETCH(int, start);
        QDialog form;
        auto* layout = new QVBoxLayout(&form);
        QList<MyText*> boxes;
        for (int i = 0; i < 4; ++i) {
            auto* box = new MyText(&form);
            box->setObjectName(QStringLiteral("box(%1)").arg(i));
            layout->addWidget(box);
            boxes << box;
        }
        boxes[2]->setEnabled(false);
        for (MyText* box : boxes)
            connect(box, &MyText::KeyDown, box, [](int& keyCode, int) { EnterToTab(keyCode); });
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));

        boxes[start]->setFocus();
        QTest::keyClick(boxes[start], Qt::Key_Tab);
        QWidget* byTab = QApplication::focusWidget();
        boxes[start]->setFocus();
        QTest::keyClick(boxes[start], Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), byTab);
        QVERIFY(byTab != boxes[start]);
        QCOMPARE(boxes[start]->text(), QString());
        QVERIFY(form.isVisible());  // the Enter did not reach the dialog's default handling
    }

    // Inside the main window's client area Tab stays within the work screen.
    void enterStaysInsideWorkScreen() {
        QMdiArea area;
        auto* screen = new QWidget;
        auto* layout = new QVBoxLayout(screen);
        auto* a = new QLineEdit(screen);
        auto* b = new QLineEdit(screen);
        layout->addWidget(a);
        layout->addWidget(b);
        area.addSubWindow(screen, Qt::FramelessWindowHint);
        area.resize(400, 300);
        area.show();
        QVERIFY(QTest::qWaitForWindowActive(&area));
        b->setFocus();
        int keyCode = 13;
        EnterToTab(keyCode);
        QCOMPARE(QApplication::focusWidget(), a);
    }

    void listIndexAtY_data() {
        QTest::addColumn<int>("scrolledTo");
        QTest::addColumn<int>("rowsDown");   // y as a multiple of the item height, in twips
        QTest::addColumn<int>("expected");
        QTest::newRow("first item") << 0 << 0 << 0;
        QTest::newRow("third item") << 0 << 2 << 2;
        QTest::newRow("scrolled list counts from the top item") << 10 << 3 << 13;
        QTest::newRow("below the last item") << 0 << 500 << 29;
        QTest::newRow("scrolled, below the last item") << 20 << 500 << 29;
    }
    void listIndexAtY() {
        QFETCH(int, scrolledTo);
        QFETCH(int, rowsDown);
        QListWidget list;
        for (int i = 0; i < 30; ++i) list.addItem(QStringLiteral("코드 %1").arg(i));
        list.resize(200, 120);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        list.scrollToItem(list.item(scrolledTo), QAbstractItemView::PositionAtTop);
        const int h = list.visualItemRect(list.item(scrolledTo)).height();
        QVERIFY(h > 0);
        // Half an item down still hits the same item.
        const double y = PxToTwips(rowsDown * h + h / 2);
        QTEST(ListIndexAtY(list, y), "expected");
    }

    void listIndexAtYEmptyList() {
        QListWidget list;
        QCOMPARE(ListIndexAtY(list, 100), -1);
    }

    void gridStyleTouchesOnlyGrids() {
        InstallKoreanFontSubstitutes();
        QWidget form;
        auto* grid = new SpreadGrid(&form);
        auto* inner = new QWidget(&form);
        auto* nested = new SpreadGrid(inner);
        auto* button = new QPushButton(QStringLiteral("   엑셀로"), &form);
        QFont big = button->font();
        big.setPointSize(15);
        big.setBold(true);
        button->setFont(big);
        grid->setFont(big);
        ApplyGridStyle(&form);
        for (SpreadGrid* g : {grid, nested}) {
            QCOMPARE(g->font().family(), QStringLiteral("굴림"));
            QCOMPARE(g->font().pointSize(), 10);
            QVERIFY(!g->font().bold());
            QVERIFY(g->horizontalHeader()->highlightSections());
        }
        QCOMPARE(button->font().pointSize(), 15);
    }
};

DELMORA_TEST_MAIN(tst_GridRoutines)
#include "tst_gridroutines.moc"
