// The board around its list: countdown, column widths, layout, export, close, and the address
// suggestions under the address boxes.
#include "boardfixture.h"
#include "droplist.h"
#include "ini.h"
#include "layoutcheck.h"
#include "mytext.h"
#include "prompts.h"
#include "testmain.h"
#include "twips.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QFrame>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>

using namespace BoardFixture;

class BoardLifecycleTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TestStore> store;

    int ListReads() const {
        int n = 0;
        for (const QString& s : store->statements())
            n += s.startsWith(QStringLiteral("select * from 뷰_화물오더콜센터"));
        return n;
    }
    void AddAddresses() {
        store->exec(QStringLiteral("insert into 좌표주소 (SIDO, SIGUNGU, UPMYENDONG, ADDR) values "
                                   "('서울','가상구','시험1동','서울 가상구 시험1동'), "
                                   "('서울','가상구','시험2동','서울 가상구 시험2동'), "
                                   "('제주','제주시','가상동','제주 제주시 가상동'), "
                                   "('광주','가상서구','치평가상동','광주 가상서구 치평가상동')"));
    }

private slots:
    void init() {
        store = FreshStart();
    }
    void cleanup() { store.reset(); }

    void countdownRefreshesOnTheStepShowingZero() {
        PromptScript prompts;
        auto w = OpenBoard();
        w->SetLiveFeed(false); // the countdown, as on a store that cannot tell its changes
        QVERIFY(w->lblCount->text().isEmpty());
        QCOMPARE(w->lblCount->palette().color(QPalette::WindowText).name(), QStringLiteral("#0000ff"));
        store->clearStatements();
        for (int shown = 10; shown >= 1; --shown) {
            w->Timer1_Timer();
            QCOMPARE(w->lblCount->text(), QString::number(shown) + QStringLiteral("초"));
        }
        QCOMPARE(ListReads(), 0);
        w->Timer1_Timer();
        QCOMPARE(w->lblCount->text(), QStringLiteral("0초"));
        QCOMPARE(ListReads(), 1);
        QCOMPARE(w->refreshCountdown(), qint16(0));
        w->Timer1_Timer();
        QCOMPARE(w->lblCount->text(), QStringLiteral("10초"));
        QVERIFY(prompts.asked().empty());
    }

    void frozenByTheCheckBoxAndResetByTheMouse() {
        auto w = OpenBoard();
        w->SetLiveFeed(false); // the countdown, as on a store that cannot tell its changes
        for (int i = 0; i < 6; ++i)
            w->Timer1_Timer();
        QCOMPARE(w->lblCount->text(), QStringLiteral("5초"));
        w->Timer1_Timer();
        QCOMPARE(w->lblCount->text(), QStringLiteral("4초"));
        // Ticked, the label says the refresh waits, at once and for as long as it waits.
        QTest::mouseClick(w->chk새로고침금지, Qt::LeftButton, {}, QPoint(6, 6));
        QCOMPARE(w->lblCount->text(), QStringLiteral("멈춤"));
        for (int i = 0; i < 20; ++i)
            w->Timer1_Timer();
        QCOMPARE(w->lblCount->text(), QStringLiteral("멈춤"));
        QTest::mouseClick(w->chk새로고침금지, Qt::LeftButton, {}, QPoint(6, 6));
        QCOMPARE(w->lblCount->text(), QStringLiteral("3초")); // what the next step shows
        w->Timer1_Timer();
        QCOMPARE(w->lblCount->text(), QStringLiteral("3초"));

        for (const char* panel : {"SSPanel2", "SSPanel4(0)", "SSPanel4(4)"}) {
            w->Timer1_Timer();
            QVERIFY(w->refreshCountdown() > 0);
            QFrame* p = Child<QFrame>(w.get(), QString::fromLatin1(panel));
            QVERIFY(p->hasMouseTracking());
            QMouseEvent move(QEvent::MouseMove, QPointF(3, 3), p->mapToGlobal(QPointF(3, 3)), Qt::NoButton,
                             Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(p, &move);
            QCOMPARE(w->refreshCountdown(), qint16(0));
        }
        // Moving over the list does not hold the refresh back.
        w->Timer1_Timer();
        QMouseEvent move(QEvent::MouseMove, QPointF(3, 3), QPointF(3, 3), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(w->sp->viewport(), &move);
        QCOMPARE(w->refreshCountdown(), qint16(1));
    }

    void periodsFromTheSetting_data() {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<int>("stepsToRefresh");
        QTest::newRow("garbage reads 0: every step") << "abc" << 1;
        QTest::newRow("3") << "3" << 4;
        QTest::newRow("negative: never") << "-5" << -1;
    }
    void periodsFromTheSetting() {
        QFETCH(QString, setting);
        QFETCH(int, stepsToRefresh);
        RefreshIntervalSetting = setting;
        auto w = OpenBoard();
        w->SetLiveFeed(false); // the countdown, as on a store that cannot tell its changes
        store->clearStatements();
        int step = 0;
        while (ListReads() == 0 && step < 40000) {
            w->Timer1_Timer();
            ++step;
        }
        if (stepsToRefresh < 0) {
            QCOMPARE(ListReads(), 0);
            QCOMPARE(w->refreshCountdown(), qint16(32767)); // stops counting, no overflow
        } else {
            QCOMPARE(step, stepsToRefresh);
        }
    }

    void quietRefreshKeepsRowsAndSelection() {
        const QString a =
            InsertOrder(*store, {{QStringLiteral("배차시간"), QStringLiteral("2026-12-09 02:00:00")}});
        const QString b =
            InsertOrder(*store, {{QStringLiteral("배차시간"), QStringLiteral("2026-12-09 03:00:00")}});
        PromptScript prompts;
        auto w = OpenBoard();
        ClickRow(w->sp, 2);
        w->제품정보->SetText(QStringLiteral("typing"));
        // A new order arrives before the selected one: the selection follows its order.
        InsertOrder(*store, {{QStringLiteral("배차시간"), QStringLiteral("2026-12-09 01:00:00")}});
        w->RefreshOrderList();
        QCOMPARE(w->sp->MaxRows(), 3);
        w->sp->setRow(w->sp->ActiveRow());
        w->sp->setCol(1);
        QCOMPARE(w->sp->CellTag(), b);
        QCOMPARE(w->제품정보->Text(), QStringLiteral("typing")); // the panel survives
        // A failing refresh shows nothing and keeps the list.
        store->failStatement(1, dstore::DB_E_ERRORSINCOMMAND);
        w->RefreshOrderList();
        store->failStatement(1, E_FAIL_NUMBER);
        w->RefreshOrderList();
        QCOMPARE(w->sp->MaxRows(), 3);
        QVERIFY(prompts.asked().empty());
        Q_UNUSED(a);
    }

    void columnWidthsSavedRestoredFitted() {
        auto w = OpenBoard();
        // Fitted on first use: the columns fill the grid less 390 twips.
        w->sp->setUnitType(WidthUnit::Twips);
        double sum = 0;
        for (int c = 0; c <= w->sp->MaxCols(); ++c)
            sum += w->sp->ColWidth(c);
        const double gridTwips = PxToTwips(w->sp->width());
        w->sp->setUnitType(WidthUnit::Normal);
        QVERIFY2(qAbs(gridTwips - 390 - sum) < 60,
                 qPrintable(QStringLiteral("%1 vs %2").arg(sum).arg(gridTwips)));

        // A drag saves every width under the screen's key.
        QHeaderView* header = w->sp->horizontalHeader();
        const QPoint edge(header->sectionViewportPosition(0) + header->sectionSize(0) - 1,
                          header->height() / 2);
        auto mouse = [header](QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
            QMouseEvent e(type, at, header->viewport()->mapToGlobal(at), Qt::LeftButton, buttons,
                          Qt::NoModifier);
            QApplication::sendEvent(header->viewport(), &e);
        };
        mouse(QEvent::MouseButtonPress, edge, Qt::LeftButton);
        mouse(QEvent::MouseMove, edge + QPoint(40, 0), Qt::LeftButton);
        mouse(QEvent::MouseButtonRelease, edge + QPoint(40, 0), Qt::NoButton);
        const QStringList saved = ReadIni(QStringLiteral("컬럼폭"), QStringLiteral("오더등록")).split(u',');
        QCOMPARE(saved.size(), 14);

        // Stored widths come back on the next layout, fewer values set only the first columns.
        const double third = w->sp->ColWidth(3);
        WriteIni(QStringLiteral("컬럼폭"), QStringLiteral("오더등록"), QStringLiteral("5,6"));
        w->Form_Resize();
        QCOMPARE(w->sp->ColWidth(1), 5.0);
        QCOMPARE(w->sp->ColWidth(2), 6.0);
        QCOMPARE(w->sp->ColWidth(3), third);
    }

    void layoutFitsTheWindow_data() {
        QTest::addColumn<QSize>("size");
        QTest::newRow("1600x1000") << QSize(1600, 1000);
        QTest::newRow("1280x800") << QSize(1280, 740);
    }
    void layoutFitsTheWindow() {
        QFETCH(QSize, size);
        auto w = OpenBoard(size);
        const int W = PxToTwips(w->backPanel->width());
        QCOMPARE(w->backPanel->size(), size);
        QCOMPARE(PxToTwips(w->sp->width()),
                 W - 190 + (PxToTwips(w->sp->width()) - (W - 190))); // rounding only
        // The list gives a row of its height to the counts per status above it.
        QVERIFY(qAbs(PxToTwips(w->sp->height()) - (PxToTwips(size.height()) - 2430 - 300)) <= 15);
        QVERIFY(qAbs(w->cmdArr.at(99)->x() - TwipsToPx(PxToTwips(w->SSPanel2->width()) - 1155)) <= 1);
        QVERIFY(qAbs(w->chk조회구분[6]->x() - TwipsToPx(PxToTwips(w->SSPanel4.at(0)->width()) - 885)) <= 1);
        // Nothing overlaps: the panel, the bars and the list follow each other; the weight sits in
        // the panel beside the kind, clear of 닫 기.
        QVERIFY(w->SSPanel2->geometry().bottom() < w->SSPanel4.at(4)->y());
        QVERIFY(w->SSPanel4.at(4)->geometry().bottom() < w->SSPanel4.at(0)->y());
        QVERIFY(w->SSPanel4.at(0)->geometry().bottom() < w->상태건수->y());
        QVERIFY(w->상태건수->geometry().bottom() < w->sp->y());
        QVERIFY(w->sp->geometry().bottom() < size.height());
        QCOMPARE(w->화물중량->parentWidget(), w->SSPanel2);
        QCOMPARE(w->화물중량->y(), w->차종->y());
        QVERIFY(w->차종->geometry().right() < Child<QLabel>(w.get(), QStringLiteral("라벨_화물중량"))->x());
        QVERIFY(w->화물중량->geometry().right() < w->cmdArr.at(99)->x());
        QVERIFY(w->제품정보->geometry().right() < w->cmdArr.at(99)->x());
        QVERIFY(w->cmdArr.at(7)->geometry().right() < w->chk조회구분[0]->x());
        QVERIFY(w->cmdArr.at(5)->geometry().right() < w->chk새로고침금지->x());
        QVERIFY(w->lblCount->geometry().right() <= w->cmdArr.at(0)->x());
    }

    // The desks' screens: nothing lies on anything, nothing leaves the board, every column
    // shows its header whole. Where the filter bar runs out of width its status boxes take a
    // second row, still at their distances from the right edge, and the list starts below it.
    void fitsTheDeskScreens_data() {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("statusRow");
        for (const QSize& size : LayoutCheck::DeskSizes)
            QTest::addRow("%dx%d", size.width(), size.height()) << size << (size.width() < 1180);
    }
    void fitsTheDeskScreens() {
        QFETCH(QSize, size);
        QFETCH(bool, statusRow);
        InsertOrder(*store, {{QStringLiteral("화물정보1"), QStringLiteral("파렛트 20개, 지게차 하차")}});
        auto w = OpenBoard(size);
        const QStringList faults = LayoutCheck::Faults(w.get(), {QStringLiteral("hFocus")});
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));

        QFrame* filter = w->SSPanel4.at(0);
        QCheckBox* first = w->chk조회구분[0];
        QCOMPARE(first->y() > w->cmdArr.at(7)->geometry().bottom(), statusRow);
        QCOMPARE(filter->height(), TwipsToPx(statusRow ? 780 : 420));
        QCOMPARE(first->x(), filter->width() - TwipsToPx(6960));
        QVERIFY(w->sp->y() > filter->geometry().bottom());
        QVERIFY(w->SSPanel2->rect().contains(w->화물중량->geometry()));
        QVERIFY(!w->화물중량->geometry().intersects(w->cmdArr.at(99)->geometry()));
        // The long boxes gave up width, and 제품정보 still takes a few words.
        QVERIFY(w->제품정보->width() >= TwipsToPx(1200));
        QVERIFY(w->상차지->width() == w->하차지->width());
    }

    void exportsUnderTodaysName() {
        PromptScript prompts;
        auto w = OpenBoard();
        prompts.answerSaveAs(QString()); // cancelled
        QTest::mouseClick(Child<QPushButton>(w.get(), QStringLiteral("cmdArr(7)")), Qt::LeftButton);
        QCOMPARE(int(prompts.asked().size()), 1);
        QCOMPARE(prompts.asked().front().kind, PromptKind::SaveAs);
        QVERIFY(prompts.asked().front().defaultValue.contains(QStringLiteral("오더내역_261209")));
    }

    void closesItsMdiChild() {
        QMdiArea area;
        auto* board = new frmOrder;
        board->Timer1->stop();
        QMdiSubWindow* sub = area.addSubWindow(board);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        area.show();
        QPointer<QMdiSubWindow> guard(sub);
        QTest::mouseClick(Child<QPushButton>(board, QStringLiteral("cmdArr(99)")), Qt::LeftButton);
        QTRY_VERIFY(guard.isNull() || !guard->isVisible());
    }

    void keyboardLookupAndPick() {
        AddAddresses();
        PromptScript prompts;
        auto w = OpenBoard();
        w->상차지->setFocus();
        Type(w->상차지, QStringLiteral("시험"));
        store->clearStatements();
        QTest::keyClick(w->상차지, Qt::Key_Return);
        QCOMPARE(
            store->statements(),
            QStringList{QStringLiteral(
                "select SIDO ,SIGUNGU , UPMYENDONG from 뷰_좌표주소 where ADDR like '%시험%' group by SIDO, "
                "SIGUNGU, UPMYENDONG order by SIGUNGU, UPMYENDONG, SIDO")});
        QVERIFY(w->fSP->isVisible());
        QCOMPARE(w->fSP->MaxRows(), 2);
        QCOMPARE(FocusName(), QStringLiteral("fSP"));
        QCOMPARE(w->fSP->ActiveRow(), 1);
        const QPoint under = w->상차지->mapTo(w->backPanel, QPoint(0, w->상차지->height()));
        QCOMPARE(w->fSP->pos(), under);
        // Two suggestions, two rows tall: the fields below stay in sight.
        QVERIFY(w->fSP->height() < 4 * w->fSP->verticalHeader()->defaultSectionSize() + 40);
        QTest::keyClick(w->fSP, Qt::Key_Down);
        QCOMPARE(w->fSP->ActiveRow(), 2);
        QTest::keyClick(w->fSP, Qt::Key_Return);
        QCOMPARE(w->상차권역->currentText(), QStringLiteral("서울"));
        QCOMPARE(w->상차지->Text(), QStringLiteral("가상구 시험2동"));
        QCOMPARE(FocusName(), QStringLiteral("상차시"));
        QVERIFY(!w->fSP->isVisible());
        QVERIFY(prompts.asked().empty());
    }

    void picks_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("sent");
        QTest::addColumn<QString>("region");
        QTest::addColumn<QString>("address");
        QTest::newRow("서울") << "시험1"
                              << "시험1"
                              << "서울"
                              << "가상구 시험1동";
        QTest::newRow("a province outside the list") << "제주시 가상"
                                                     << "제주시 가상"
                                                     << ""
                                                     << "제주 제주시 가상동";
        QTest::newRow("전광주") << "전광주 가상서구"
                                << "광주 가상서구"
                                << "광주"
                                << "가상서구 치평가상동";
    }
    void picks() {
        QFETCH(QString, typed);
        QFETCH(QString, sent);
        QFETCH(QString, region);
        QFETCH(QString, address);
        AddAddresses();
        PromptScript prompts;
        auto w = OpenBoard();
        w->하차지->setFocus();
        Type(w->하차지, typed);
        store->clearStatements();
        QTest::keyClick(w->하차지, Qt::Key_Return);
        QVERIFY(
            store->statements().value(0).contains(QStringLiteral("like '%") + sent + QStringLiteral("%'")));
        QCOMPARE(w->fSP->MaxRows(), 1);
        QTRY_VERIFY(!w->fSP->visualRect(w->fSP->model()->index(0, 1)).isEmpty());
        // A double click is a click and then the second press.
        QTest::mouseClick(w->fSP->viewport(), Qt::LeftButton, {}, CellCentre(w->fSP, 2, 1));
        QTest::mouseDClick(w->fSP->viewport(), Qt::LeftButton, {}, CellCentre(w->fSP, 2, 1));
        QCOMPARE(w->하차권역->currentText(), region);
        QCOMPARE(w->하차지->Text(), address);
        QCOMPARE(FocusName(), QStringLiteral("하차시"));
    }

    void lookupEdges() {
        AddAddresses();
        PromptScript prompts;
        auto w = OpenBoard();
        // Enter in an empty box, or in one holding blanks only, sends nothing.
        store->clearStatements();
        w->상차지->setFocus();
        QTest::keyClick(w->상차지, Qt::Key_Return);
        Type(w->상차지, QStringLiteral("   "));
        QTest::keyClick(w->상차지, Qt::Key_Return);
        QVERIFY(store->statements().isEmpty());
        // No match: the suggestions stay hidden and the focus stays in the box.
        w->상차지->SetText(QStringLiteral("없는동"));
        QTest::keyClick(w->상차지, Qt::Key_Return);
        QVERIFY(!w->fSP->isVisible());
        QCOMPARE(FocusName(), QStringLiteral("상차지"));
        // Escape goes back to the box; emptying the box empties its region and hides the grid.
        w->상차지->SetText(QStringLiteral("시험"));
        QTest::keyClick(w->상차지, Qt::Key_Return);
        QTest::keyClick(w->fSP, Qt::Key_Escape);
        QVERIFY(!w->fSP->isVisible());
        QCOMPARE(FocusName(), QStringLiteral("상차지"));
        w->상차권역->setCurrentIndex(1);
        QTest::keyClick(w->상차지, Qt::Key_Return);
        QVERIFY(w->fSP->isVisible());
        w->상차지->setFocus();
        w->상차지->selectAll();
        QTest::keyClick(w->상차지, Qt::Key_Backspace);
        QCOMPARE(w->상차권역->currentIndex(), 0);
        QVERIFY(!w->fSP->isVisible());
        // A click on the panel hides the suggestions.
        Type(w->상차지, QStringLiteral("시험"));
        QTest::keyClick(w->상차지, Qt::Key_Return);
        QVERIFY(w->fSP->isVisible());
        QTest::mousePress(w->SSPanel2, Qt::LeftButton, {}, QPoint(2, 2));
        QVERIFY(!w->fSP->isVisible());
        QVERIFY(prompts.asked().empty());
    }

    void regionChoiceClearsItsAddress() {
        auto w = OpenBoard();
        w->상차지->SetText(QStringLiteral("old"));
        // Arrow keys without dropping the list down keep the address.
        w->상차권역->setFocus();
        QTest::keyClick(w->상차권역, Qt::Key_Down);
        QCOMPARE(w->상차권역->currentText(), QStringLiteral("서울"));
        QCOMPARE(w->상차지->Text(), QStringLiteral("old"));
        // Enter on a region empties the address and moves into it, keeping the region.
        QTest::keyClick(w->상차권역, Qt::Key_Return);
        QCOMPARE(w->상차지->Text(), QString());
        QCOMPARE(w->상차권역->currentText(), QStringLiteral("서울"));
        QCOMPARE(FocusName(), QStringLiteral("상차지"));
    }

    void enterActsAsTab_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::newRow("댓수") << "댓수"
                              << "제품정보";
        QTest::newRow("상차시") << "상차시"
                                << "희망톤수";
        QTest::newRow("희망톤수") << "희망톤수"
                                  << "차종";
        QTest::newRow("운임형태") << "운임형태"
                                  << "금액";
        QTest::newRow("하차시") << "하차시"
                                << "화주코드";
        QTest::newRow("차종") << "차종"
                              << "화물중량";
        QTest::newRow("배차일") << "배차일"
                                << "chk새로고침금지";
    }
    void enterActsAsTab() {
        QFETCH(QString, from);
        QFETCH(QString, to);
        PromptScript prompts;
        auto w = OpenBoard();
        auto* box = Child<QWidget>(w.get(), from);
        auto* list = qobject_cast<DropList*>(box);
        const QString before = list ? list->currentText() : QString();
        const QDate day = w->배차일->date();
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(FocusName(), to);
        if (list) QCOMPARE(list->currentText(), before);
        QCOMPARE(w->배차일->date(), day);
    }

    // Tab walks the order's fields, the weight included, and never into the hidden box.
    void tabReachesEveryOrderField_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::newRow("kind to weight") << "차종"
                                        << "화물중량";
        QTest::newRow("weight to the unloading region") << "화물중량"
                                                        << "하차권역";
        QTest::newRow("last field to 오더추가") << "화주코드"
                                                << "cmdArr(1)";
        QTest::newRow("the order's buttons, then the day") << "cmdArr(5)"
                                                          << "배차일";
        QTest::newRow("list, then 닫 기 last") << "sp"
                                               << "cmdArr(99)";
        QTest::newRow("loading date leaves at once") << "상차일"
                                                     << "상차시";
        QTest::newRow("unloading date leaves at once") << "하차일"
                                                       << "하차시";
    }
    void tabReachesEveryOrderField() {
        QFETCH(QString, from);
        QFETCH(QString, to);
        auto w = OpenBoard();
        Child<QWidget>(w.get(), from)->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(FocusName(), to);
    }

    void arrowKeysStepTheBoardDay() {
        PromptScript prompts;
        auto w = OpenBoard();
        w->배차일->setFocus();
        w->배차일->setCurrentSection(QDateTimeEdit::DaySection);
        store->clearStatements();
        QTest::keyClick(w->배차일, Qt::Key_Up);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
        QCOMPARE(w->배차일->date(), QDate(2026, 12, 11));
        QCOMPARE(FocusName(), QStringLiteral("배차일"));
        QCOMPARE(ListReads(), 2);
        QVERIFY(store->statements().last().contains(QStringLiteral("날짜='2026-12-11'")));
    }

    void weightGetsItsUnitOnLeaving() {
        auto w = OpenBoard();
        w->화물중량->setFocus();
        Type(w->화물중량, QStringLiteral("5"));
        w->금액->setFocus();
        QCOMPARE(w->화물중량->Text(), QStringLiteral("5톤"));
    }
};

DELMORA_TEST_MAIN(BoardLifecycleTest)
#include "tst_boardlifecycle.moc"
