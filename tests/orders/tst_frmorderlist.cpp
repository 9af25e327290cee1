// The order inquiry: its statement, colours and amounts, and the screen driven through its real
// widgets against a fresh store, opening the detail pop-up on a double-click.
#include "datepicker.h"
#include "boardfixture.h"
#include "frmorderlist.h"
#include "gridroutines.h"
#include "ini.h"
#include "layoutcheck.h"
#include "mytext.h"
#include "orderderive.h"
#include "orderstatements.h"
#include "poporder.h"
#include "readability.h"
#include "prompts.h"
#include "testmain.h"
#include "twips.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QPushButton>

using namespace BoardFixture;

namespace {
std::array<bool, 7> Ticks(const QString& pattern) {
    std::array<bool, 7> t{};
    for (size_t i = 0; i < 7; ++i)
        t[i] = pattern.at(qsizetype(i)) == QLatin1Char('1');
    return t;
}

std::unique_ptr<frmOrderList> OpenInquiry(QSize size = QSize(1600, 900)) {
    auto w = std::make_unique<frmOrderList>();
    w->resize(size);
    w->show();
    QApplication::setActiveWindow(w.get());
    if (!QTest::qWaitForWindowExposed(w.get())) qWarning("inquiry window not exposed");
    return w;
}
} // namespace

class FrmOrderListTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TestStore> store;

private slots:
    void init() {
        Clock::set(Morning());
        SignIn();
        WriteIni(QStringLiteral("컬럼폭"), QStringLiteral("오더조회"), QString());
        store = std::make_unique<TestStore>();
    }
    void cleanup() { store.reset(); }

    void statement_data() {
        QTest::addColumn<QString>("search");
        QTest::addColumn<QString>("ticked");
        QTest::addColumn<QString>("expected");
        const QString head =
            QStringLiteral("select * from 화물오더 where 1=1 and 날짜>='2026-12-01' and 날짜<='2026-12-09'");
        const QString tail = QStringLiteral(" order by 날짜 desc, 배차시간, 오더상태 ,ID desc");
        QTest::newRow("all seven")
            << ""
            << "1111111"
            << head +
                   " and ( 오더상태='접수' or 오더상태='미처리' or 오더상태='배차완료' or "
                   "오더상태='운송완료' or 오더상태='계산서' or 오더상태='정산완료' or "
                   "오더상태='취소' )" +
                   tail;
        QTest::newRow("none: every status") << ""
                                            << "0000000" << head + tail;
        QTest::newRow("only 취소") << ""
                                   << "0000001" << head + " and ( 오더상태='취소' )" + tail;
        QTest::newRow("접수 and 운송완료")
            << ""
            << "1001000" << head + " and ( 오더상태='접수' or 오더상태='운송완료' )" + tail;
        QTest::newRow("search as typed, blanks kept")
            << " 12가"
            << "0100000"
            << head +
                   " and (차량번호 like '% 12가%' or 차주명 like '% 12가%' or replace(replace(차주연락처,'-',''),' ','') like '%12가%')"
                   " and ( 오더상태='미처리' )" +
                   tail;
        QTest::newRow("a quote stays inside its literal")
            << "O'Neil' or 1=1 --"
            << "0000000"
            << head +
                   " and (차량번호 like '%O''Neil'' or 1=1 --%' or 차주명 like '%O''Neil'' or 1=1 --%' or "
                   "replace(replace(차주연락처,'-',''),' ','') like '%O''Neil''or1=1%')" +
                   tail;
    }
    void statement() {
        QFETCH(QString, search);
        QFETCH(QString, ticked);
        QFETCH(QString, expected);
        OrderSql::InquiryFilter f{QStringLiteral("2026-12-01"), QStringLiteral("2026-12-09"), search,
                                  Ticks(ticked), {}};
        QCOMPARE(OrderSql::InquiryListStatement(f), expected);
    }

    // A status reads on its row in both order lists (every cell at 4.5:1 or better), in one ink
    // that is also its status box's, and looks like no other status.
    void colours_data() {
        QTest::addColumn<QString>("status");
        QTest::addColumn<int>("box");
        for (int i = 0; i < 7; ++i)
            QTest::newRow(qPrintable(OrderDerive::Statuses[size_t(i)])) << OrderDerive::Statuses[size_t(i)] << i;
    }
    void colours() {
        QFETCH(QString, status);
        QFETCH(int, box); // its status box
        InsertOrder(*store, {{QStringLiteral("오더상태"), status}});
        auto board = OpenBoard();
        auto inquiry = OpenInquiry();
        QList<QColor> inks;
        for (QWidget* list : {static_cast<QWidget*>(board.get()), static_cast<QWidget*>(inquiry.get())}) {
            auto* grid = Child<SpreadGrid>(list, QStringLiteral("sp"));
            QCOMPARE(grid->model()->rowCount(), 1);
            QCOMPARE(grid->model()->index(0, 1).data().toString(), status);
            for (int c = 0; c < grid->model()->columnCount(); ++c) {
                const auto [fore, back] = Readability::RowInks(*grid, 0, c);
                QVERIFY2(Readability::Contrast(fore, back) >= 4.5,
                         qPrintable(QStringLiteral("%1 on %2 in %3").arg(fore.name(), back.name(), list->objectName())));
            }
            inks << Readability::RowInks(*grid, 0, 1).first;
            QCOMPARE(Child<QCheckBox>(list, QStringLiteral("chk조회구분(%1)").arg(box))
                             ->palette()
                             .color(QPalette::WindowText),
                         inks.last());
        }
        QCOMPARE(inks[0], inks[1]);
        for (int i = 0; i < 7; ++i)
            if (i != box)
                QVERIFY2(Readability::Distance(StatusScheme::StatusColour(OrderDerive::Statuses[size_t(i)]), inks[0]) >= 20,
                         qPrintable(OrderDerive::Statuses[size_t(i)]));
    }

    void amounts_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("shown");
        QTest::newRow("thousands") << "1234567"
                                   << "1,234,567";
        QTest::newRow("small") << "500"
                               << "500";
        QTest::newRow("rounded") << "999.5"
                                 << "1,000";
        QTest::newRow("negative") << "-35000"
                                  << "-35,000";
        QTest::newRow("ten digits") << "9999999999"
                                    << "9,999,999,999";
        QTest::newRow("too large: as stored") << "10000000000"
                                              << "10000000000";
        QTest::newRow("text: as stored") << "협의"
                                         << "협의";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("blanks") << " 42 "
                                << "42";
    }
    void amounts() {
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        QCOMPARE(OrderDerive::AmountText(stored), shown);
    }

    void opensOnTheMonthWithEveryColumn() {
        const QString id =
            InsertOrder(*store, {{QStringLiteral("날짜"), QStringLiteral("2026-12-03")},
                                 {QStringLiteral("오더상태"), QStringLiteral("운송완료")},
                                 {QStringLiteral("화물중량"), QStringLiteral("4톤")},
                                 {QStringLiteral("운송비"), QStringLiteral("1250000")},
                                 {QStringLiteral("배차시간"), QStringLiteral("2026-12-03 08:01:02.250")},
                                 {QStringLiteral("차주명"), QStringLiteral("김기사")},
                                 {QStringLiteral("차주연락처"), QStringLiteral("01012345678")},
                                 {QStringLiteral("차량번호"), QStringLiteral("서울12가3456")},
                                 {QStringLiteral("차량정보"), QStringLiteral("윙바디")},
                                 {QStringLiteral("차량톤수"), QStringLiteral("5")},
                                 {QStringLiteral("차량길이"), QStringLiteral("9.6")},
                                 {QStringLiteral("차량길이2"), QStringLiteral("50")}});
        InsertOrder(*store, {{QStringLiteral("날짜"), QStringLiteral("2026-11-30")}}); // last month
        PromptScript prompts;
        auto w = OpenInquiry();
        QCOMPARE(w->windowTitle(), QStringLiteral("오더조회"));
        QCOMPARE(w->배차일[0]->date(), QDate(2026, 12, 1));
        QCOMPARE(w->배차일[1]->date(), QDate(2026, 12, 9));
        QCOMPARE(w->sp->MaxRows(), 1);
        const QStringList expected = {
            "2026-12-03", "운송완료",      "서울 강남구 역삼동",  "부산 해운대구 우동", "파렛트",
            "4톤",        "1,250,000",     "2026-12-03 08:01:02", "2026-12-09 10:00",   "2026-12-10 15:30",
            "김기사",     "010-1234-5678", "서울12가3456",        "윙바디 5톤 9.6m"};
        QCOMPARE(w->sp->RowTexts(1), expected);
        QCOMPARE(w->sp->RowForeColor(1).name(), QStringLiteral("#8a4b00"));
        w->sp->setRow(1);
        w->sp->setCol(1);
        QCOMPARE(w->sp->CellTag(), id);
        QVERIFY(prompts.asked().empty());
        // The screen only reads.
        for (const QString& s : store->statements())
            QVERIFY2(s.startsWith(QStringLiteral("select ")), qPrintable(s));
    }

    // A click on a status box reloads at once with the period and the search as they stand;
    // a quote in the search finds what it says and breaks nothing.
    void statusClickAndQuotedSearch() {
        InsertOrder(*store, {{QStringLiteral("차주명"), QStringLiteral("O'Neil")},
                             {QStringLiteral("오더상태"), QStringLiteral("배차완료")}});
        InsertOrder(*store, {{QStringLiteral("차주명"), QStringLiteral("박기사")},
                             {QStringLiteral("오더상태"), QStringLiteral("보류")}});
        PromptScript prompts;
        auto w = OpenInquiry();
        QCOMPARE(w->sp->MaxRows(), 1); // 보류 is none of the seven
        w->검색어->SetText(QStringLiteral("'Ne"));
        store->clearStatements();
        for (QCheckBox* box : w->chk조회구분)
            QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, 6));
        QCOMPARE(store->statements().size(), 7);
        // Every box cleared: every status, the quoted search applied.
        QCOMPARE(w->sp->MaxRows(), 1);
        QCOMPARE(w->sp->GetText(11, 1), QStringLiteral("O'Neil"));
        w->검색어->SetText(QString());
        QTest::mouseClick(w->cmdArr.at(0), Qt::LeftButton);
        QCOMPARE(w->sp->MaxRows(), 2);
        // A period whose start lies after its end lists nothing, without a word.
        w->배차일[0]->setDate(QDate(2026, 12, 10));
        QTest::mouseClick(w->cmdArr.at(0), Qt::LeftButton);
        QCOMPARE(w->sp->MaxRows(), 0);
        QVERIFY(prompts.asked().empty());
    }

    void layoutKeepsStatusDistancesAndRowHeights_data() {
        QTest::addColumn<QString>("rowHeight");
        QTest::addColumn<QString>("savedWidths");
        QTest::newRow("fitted, 24") << "24"
                                    << "";
        QTest::newRow("saved widths, 16") << "16"
                                          << "5,6,7,8,9,10,11,12,13,14,15,16,17,18";
    }
    void layoutKeepsStatusDistancesAndRowHeights() {
        QFETCH(QString, rowHeight);
        QFETCH(QString, savedWidths);
        RowHeightSetting = rowHeight;
        WriteIni(QStringLiteral("컬럼폭"), QStringLiteral("오더조회"), savedWidths);
        InsertOrder(*store, {});
        PromptScript prompts;
        auto w = OpenInquiry();
        const double distances[7] = {6960, 6195, 5250, 4125, 3000, 2055, 885};
        const int panel = w->SSPanel4.at(1)->width();
        for (int i = 0; i < 7; ++i)
            QCOMPARE(w->chk조회구분[size_t(i)]->x(), panel - TwipsToPx(distances[i]));
        QCOMPARE(w->cmdArr.at(99)->x(), w->SSPanel4.at(0)->width() - TwipsToPx(1110));
        QVERIFY(qAbs(w->sp->RowHeight(1) - IniNumber(rowHeight)) < 0.5); // whole pixels
        QCOMPARE(w->sp->RowHeight(0), 18.0);
        if (savedWidths.isEmpty()) {
            // The three wide columns share the spare width: the columns fill the grid.
            w->sp->setUnitType(WidthUnit::Twips);
            double sum = 0;
            for (int c = 0; c <= 14; ++c)
                sum += w->sp->ColWidth(c);
            QVERIFY2(qAbs(PxToTwips(w->sp->width()) - 450 - sum) < 60, qPrintable(QString::number(sum)));
            QCOMPARE(w->sp->ColWidth(3), w->sp->ColWidth(4));
        } else {
            QCOMPARE(w->sp->ColWidth(1), 5.0);
            QCOMPARE(w->sp->ColWidth(14), 18.0);
        }
    }

    // The desks' screens: nothing lies on anything or leaves the screen, every column shows
    // its header whole (the grid scrolls sideways instead of squeezing them).
    void fitsTheDeskScreens_data() { LayoutCheck::AddDeskSizeRows(); }
    void fitsTheDeskScreens() {
        QFETCH(QSize, size);
        InsertOrder(*store, {});
        auto w = OpenInquiry(size);
        const QStringList faults = LayoutCheck::Faults(w.get());
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
    }

    // A column the user drags is remembered under the screen's key.
    void draggedWidthsAreSaved() {
        PromptScript prompts;
        auto w = OpenInquiry();
        emit w->sp->ColWidthChange(2, 2);
        const QStringList saved = ReadIni(QStringLiteral("컬럼폭"), QStringLiteral("오더조회")).split(u',');
        QCOMPARE(saved.size(), 14);
    }

    void doubleClickOpensTheDetail_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("opens");
        QTest::newRow("a row") << 1 << true;
        QTest::newRow("the header") << 0 << false;
    }
    void doubleClickOpensTheDetail() {
        QFETCH(int, row);
        QFETCH(bool, opens);
        const QString id = InsertOrder(*store, {{QStringLiteral("상차지"), QStringLiteral("성수동 창고")}});
        PromptScript prompts;
        auto w = OpenInquiry();
        SelectedKey.clear();
        QString shown;
        QTimer::singleShot(0, this, [&shown] {
            if (auto* detail = qobject_cast<popOrder*>(QApplication::activeModalWidget())) {
                shown = detail->상차지->Text();
                QTest::keyClick(detail, Qt::Key_Escape);
            }
        });
        emit w->sp->DblClick(2, row);
        QCOMPARE(SelectedKey, opens ? id : QString());
        QCOMPARE(shown, opens ? QStringLiteral("성수동 창고") : QString());
        QVERIFY(!QApplication::activeModalWidget());
    }

    // The period's pickers take one Tab each, and their calendar reads year then month.
    void datePickersTakeOneTabAndReadKorean() {
        auto w = OpenInquiry();
        w->배차일[0]->setFocus(Qt::TabFocusReason);
        QTest::keyClick(w->배차일[0], Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w->배차일[1]));
        QTest::keyClick(w->배차일[1], Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w->검색어));
        auto* calendar = dynamic_cast<KoreanCalendar*>(w->배차일[1]->calendarWidget());
        QVERIFY(calendar);
        calendar->setCurrentPage(2026, 12);
        QCOMPARE(calendar->headerText(), QStringLiteral("2026년 12월"));
        calendar->showNextMonth();
        QCOMPARE(calendar->headerText(), QStringLiteral("2027년 1월"));
    }

    void exportName() {
        InsertOrder(*store, {});
        PromptScript prompts;
        prompts.answerSaveAs(QString()); // cancelled: nothing written, no message
        auto w = OpenInquiry();
        QTest::mouseClick(w->cmdArr.at(1), Qt::LeftButton);
        QCOMPARE(prompts.asked().size(), size_t(1));
        QCOMPARE(prompts.asked().front().defaultValue, QStringLiteral("오더내역_261209"));
    }

    void storeErrorKeepsTheScreen() {
        PromptScript prompts;
        auto w = OpenInquiry();
        store->failStatement(1, -2147217900, QStringLiteral("Incorrect syntax"));
        QTest::mouseClick(w->cmdArr.at(0), Qt::LeftButton);
        QCOMPARE(prompts.texts(),
                 QStringList{Prompt::storeErrorText(-2147217900, QStringLiteral("Incorrect syntax"))});
        QVERIFY(w->sp->isReDraw());
        QVERIFY(w->updatesEnabled());
    }
};

DELMORA_TEST_MAIN(FrmOrderListTest)
#include "tst_frmorderlist.moc"
