// 정산관리 driven through its real widgets against a fresh store: which orders it lists, what
// its columns show, and the payment mark written for exactly the rows the user selected.
#include "accountsfixture.h"
#include "amounts.h"
#include "frmjungsanlist.h"
#include "ini.h"
#include "layoutcheck.h"
#include "mainwindow.h"
#include "mytext.h"
#include "prompts.h"
#include "readability.h"
#include "screens.h"
#include "settlementsums.h"
#include "statusscheme.h"
#include "testmain.h"
#include "workscreens.h"

#include <QDateEdit>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

using namespace BoardFixture;
using namespace AccountsFixture;

class FrmJungsanListTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TestStore> store;
    QStringList ids; // ten dispatched orders of this month, in list order

    QString Paid(const QString& id) {
        return store->value(QStringLiteral("select 결제일 from 화물오더 where ID=") + id);
    }
    // Row r of the grid, the way a user picks it: plain click, or with Ctrl and/or Shift held.
    static void Pick(SpreadGrid* grid, int row, Qt::KeyboardModifiers mods = {}) {
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, mods, CellCentre(grid, 2, row));
    }

private slots:
    void init() {
        Clock::set(Morning());
        SignIn();
        WriteIni(QStringLiteral("컬럼폭"), QStringLiteral("정산관리"), QString());
        store = std::make_unique<TestStore>();
        ids.clear();
        for (int i = 0; i < 10; ++i)
            ids << InsertOrder(*store,
                               {{QStringLiteral("날짜"), QStringLiteral("2026-12-0%1").arg(i % 9 + 1)},
                                {QStringLiteral("오더상태"), QStringLiteral("배차완료")},
                                {QStringLiteral("차주명"), QStringLiteral("기사%1").arg(i)},
                                {QStringLiteral("차량번호"), QStringLiteral("서울12가%1").arg(1000 + i)},
                                {QStringLiteral("차주연락처"), QStringLiteral("0101234%1").arg(5670 + i)}});
        // Keys grow with the date except the last one (2026-12-01): list order is date, then key.
        ids.move(9, 1);
    }
    void cleanup() { store.reset(); }

    void listsDispatchedAndDeliveredOfThePeriod_data() {
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("day");
        QTest::addColumn<bool>("listed");
        const QStringList statuses = {"접수", "미처리", "배차완료", "운송완료", "계산서", "정산완료", "취소"};
        for (const QString& s : statuses)
            QTest::newRow(qPrintable(s)) << s << "2026-12-05" << (s == "배차완료" || s == "운송완료");
        QTest::newRow("before the month") << "운송완료"
                                          << "2026-11-30" << false;
        QTest::newRow("first day") << "운송완료"
                                   << "2026-12-01" << true;
        QTest::newRow("today") << "운송완료"
                               << "2026-12-09" << true;
        QTest::newRow("tomorrow") << "운송완료"
                                  << "2026-12-10" << false;
    }
    void listsDispatchedAndDeliveredOfThePeriod() {
        QFETCH(QString, status);
        QFETCH(QString, day);
        QFETCH(bool, listed);
        // Paid long after the period: the period is the order date's, not the payment's.
        const QString id = InsertOrder(*store, {{QStringLiteral("오더상태"), status},
                                                {QStringLiteral("날짜"), day},
                                                {QStringLiteral("결제일"), QStringLiteral("2026-12-05")},
                                                {QStringLiteral("차주명"), QStringLiteral("확인용")}});
        PromptScript prompts;
        auto w = Show<frmJungsanList>();
        QCOMPARE(w->배차일[0]->date(), QDate(2026, 12, 1));
        QCOMPARE(w->배차일[1]->date(), QDate(2026, 12, 9));
        bool found = false;
        for (int r = 1; r <= w->sp->MaxRows(); ++r) {
            if (w->RowKey(r) != id) continue;
            found = true;
            // The row in its status's ink, the board's, readable on its background.
            const auto [fore, back] = Readability::RowInks(*w->sp, r - 1, 1);
            QCOMPARE(fore, StatusScheme::StatusColour(status));
            QVERIFY(Readability::Contrast(fore, back) >= 4.5);
        }
        QCOMPARE(found, listed);
        QCOMPARE(w->sp->MaxRows(), 10 + (listed ? 1 : 0));
        QVERIFY(prompts.asked().empty());
    }

    void showsTheColumns() {
        const QString id =
            InsertOrder(*store, {{QStringLiteral("날짜"), QStringLiteral("2026-12-09")},
                                 {QStringLiteral("오더상태"), QStringLiteral("운송완료")},
                                 {QStringLiteral("인수증날짜"), QStringLiteral("2026-12-09")},
                                 {QStringLiteral("계산서날짜"), QStringLiteral("2026-12-10")},
                                 {QStringLiteral("기록일시"), QStringLiteral("2026-12-09 07:00:00")},
                                 {QStringLiteral("결제일"), QStringLiteral("2026-12-11")},
                                 {QStringLiteral("운송비"), QStringLiteral("1250000")},
                                 {QStringLiteral("차주연락처"), QStringLiteral("01098765432")},
                                 {QStringLiteral("작성아이디"), QStringLiteral("demo")},
                                 {QStringLiteral("작성회사명"), QStringLiteral("델모라주선")}});
        PromptScript prompts;
        auto w = Show<frmJungsanList>();
        const int r = w->sp->MaxRows();
        QCOMPARE(w->RowKey(r), id);
        QCOMPARE(w->sp->RowTexts(r),
                 (QStringList{"2026-12-09", "2026-12-09", "2026-12-10", "2026-12-11", "1,250,000", "", "",
                              "010-9876-5432", "서울 강남구 역삼동 -> 부산 해운대구 우동", "운송완료", "demo",
                              "델모라주선"}));
        QCOMPARE(w->windowTitle(), QStringLiteral("정산관리"));
        QCOMPARE(Child<QPushButton>(w.get(), QStringLiteral("cmdArr(2)"))->text(),
                 QStringLiteral("   운임지급처리"));
        QCOMPARE(Child<QPushButton>(w.get(), QStringLiteral("cmdArr(3)"))->text(),
                 QStringLiteral("   지급취소처리"));
    }

    void searchFilters_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("rows");
        QTest::newRow("driver name") << "기사3" << 1;
        QTest::newRow("vehicle") << "12가100" << 10;
        QTest::newRow("phone as the list shows it") << "010-1234-5675" << 1;
        QTest::newRow("nobody") << "없는사람" << 0;
        QTest::newRow("quote") << "O'Neil" << 1;
        QTest::newRow("quote and comment") << "'; delete from 화물오더 --" << 0;
    }
    void searchFilters() {
        QFETCH(QString, typed);
        QFETCH(int, rows);
        InsertOrder(*store, {{QStringLiteral("오더상태"), QStringLiteral("운송완료")},
                             {QStringLiteral("차주명"), QStringLiteral("O'Neil")}});
        PromptScript prompts;
        auto w = Show<frmJungsanList>();
        QCOMPARE(w->sp->MaxRows(), 11);
        w->검색어->setFocus();
        w->검색어->SetText(typed);
        QTest::keyClick(w->검색어, Qt::Key_Return); // Enter searches as 조회 does
        QCOMPARE(w->sp->MaxRows(), rows);
        QVERIFY2(prompts.asked().empty(), qPrintable(prompts.texts().join(u'|')));
        QCOMPARE(store->value(QStringLiteral("select count(*) from 화물오더")), QStringLiteral("11"));
    }

    // The figures under the list against the store: every listed row, the selection as it grows,
    // the unpaid rows, and all three again after the selection was paid. The cancelled order and
    // the one of last month are not listed, so not summed.
    void sumsTheListedSelectedAndUnpaidRows() {
        for (int i = 0; i < 10; ++i)
            store->exec(QStringLiteral("update 화물오더 set 운송비=%1, 결제일='%2' where ID=%3")
                            .arg(i == 9 ? 98765432109 : 110000 + 100000 * i).arg(i % 4 ? "" : "2026-12-05").arg(ids[i]));
        InsertOrder(*store, {{QStringLiteral("오더상태"), QStringLiteral("취소")}});
        InsertOrder(*store, {{QStringLiteral("오더상태"), QStringLiteral("운송완료")}, {QStringLiteral("날짜"), QStringLiteral("2026-11-30")}});
        PromptScript prompts;
        auto w = Show<frmJungsanList>();
        const auto stored = [&](const QString& label, const QString& where) {
            const QString from = QStringLiteral(" from 화물오더 where 오더상태 in ('배차완료','운송완료') and 날짜 between "
                                                "'2026-12-01' and '2026-12-09' and ") + where;
            return label + QStringLiteral(" %1건 · %2원").arg(store->value(QStringLiteral("select count(*)") + from),
                                                            Amounts::Grouped(store->value(QStringLiteral("select coalesce(sum(운송비),0)") + from)));
        };
        const auto check = [&] {
            QStringList keys = {QStringLiteral("0")};
            for (int row : w->SelectedRows())
                keys << w->RowKey(row);
            QCOMPARE(w->합계_조회->text(), stored(QStringLiteral("조회"), QStringLiteral("1=1")));
            QCOMPARE(w->합계_미지급->text(), stored(QStringLiteral("미지급"), QStringLiteral("결제일=''")));
            QCOMPARE(w->합계_선택->text(), stored(QStringLiteral("선택"), QStringLiteral("ID in (%1)").arg(keys.join(u','))));
        };
        w->sp->clearSelection();
        check();
        QCOMPARE(w->합계_조회->text(), QStringLiteral("조회 10건 · 98,770,022,109원"));
        Pick(w->sp, 2);
        Pick(w->sp, 5, Qt::ShiftModifier);
        check();
        Pick(w->sp, 10, Qt::ControlModifier);
        check();
        prompts.answerYes();
        Click(w.get(), QStringLiteral("cmdArr(2)"));
        check();
    }

    // 전체, 미지급 and 지급 against every status and payment state; paid rows drawn on their
    // tint, on which every status ink still reads.
    void filtersByPayment_data() {
        QTest::addColumn<int>("choice");
        QTest::newRow("전체") << 0;
        QTest::newRow("미지급") << 1;
        QTest::newRow("지급") << 2;
    }
    void filtersByPayment() {
        QFETCH(int, choice);
        QSet<QString> expected, paid;
        if (choice != 2) expected = QSet<QString>(ids.begin(), ids.end()); // dispatched, unpaid
        for (const QString& status : StatusScheme::Statuses) {
            for (const bool isPaid : {true, false}) {
                const QString id = InsertOrder(*store, {{QStringLiteral("오더상태"), status}, {QStringLiteral("결제일"), isPaid ? "2026-12-05" : ""}});
                if (isPaid) paid << id;
                if ((status == "배차완료" || status == "운송완료") && (choice == 0 || (choice == 2) == isPaid)) expected << id;
            }
            QVERIFY(Readability::Contrast(StatusScheme::StatusColour(status), SettlementSums::PaidTint()) >= 4.5);
        }
        PromptScript prompts;
        auto w = Show<frmJungsanList>();
        QTest::mouseClick(w->지급구분[size_t(choice)], Qt::LeftButton);
        QSet<QString> listed;
        for (int r = 1; r <= w->sp->MaxRows(); ++r)
            listed << w->RowKey(r);
        QCOMPARE(listed, expected);
        w->sp->clearSelection();
        const QImage drawn = w->sp->viewport()->grab().toImage();
        for (int r = 1; r <= w->sp->MaxRows() && r < 8; ++r) {
            const QPoint inside = w->sp->visualRect(w->sp->model()->index(r - 1, 5)).topLeft() + QPoint(3, 3);
            QCOMPARE(drawn.pixelColor(inside * drawn.devicePixelRatio()),
                     paid.contains(w->RowKey(r)) ? SettlementSums::PaidTint() : QColor(Qt::white));
        }
    }

    void paysEveryRowOfEveryBlock_data() {
        QTest::addColumn<bool>("pay");
        QTest::newRow("운임지급처리") << true;
        QTest::newRow("지급취소처리") << false;
    }
    void paysEveryRowOfEveryBlock() {
        QFETCH(bool, pay);
        // Every order starts unpaid to be paid, or paid long ago to have the mark taken back.
        const QString before = pay ? QString() : QStringLiteral("2026-11-01");
        store->exec(QStringLiteral("update 화물오더 set 결제일='%1'").arg(before));
        PromptScript prompts;
        auto w = Show<frmJungsanList>();
        SpreadGrid* sp = w->sp;
        // Two blocks, as a user selects them: rows 2 to 4, then with Ctrl rows 6 to 8.
        Pick(sp, 2);
        Pick(sp, 4, Qt::ShiftModifier);
        Pick(sp, 6, Qt::ControlModifier);
        Pick(sp, 8, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(w->SelectedRows(), (QList<int>{2, 3, 4, 6, 7, 8}));
        store->clearStatements();
        prompts.answerYes();
        Click(w.get(), pay ? QStringLiteral("cmdArr(2)") : QStringLiteral("cmdArr(3)"));
        QCOMPARE(prompts.texts(),
                 QStringList{
                     pay ? QStringLiteral("선택하신 6건의 배차내역에 운임 지급처리 하시겠습니까?")
                         : QStringLiteral("선택하신 6건의 배차내역의 운임 지급을 취소처리 하시겠습니까?")});
        const QString mark = pay ? QStringLiteral("2026-12-09") : QString();
        QStringList expected;
        for (int r = 1; r <= 10; ++r) {
            const bool chosen = QList<int>{2, 3, 4, 6, 7, 8}.contains(r);
            QCOMPARE(sp->GetText(4, r), chosen ? mark : before);
            QCOMPARE(Paid(ids[r - 1]), chosen ? mark : before);
            if (chosen)
                expected << (pay ? QStringLiteral("update 화물오더 set 결제일='2026-12-09' where ID=")
                                 : QStringLiteral("update 화물오더 set 결제일='' where ID=")) +
                                ids[r - 1] +
                                (pay ? QStringLiteral(" and 오더상태='배차완료' and isnull(결제일,'')=''")
                                     : QStringLiteral(" and 오더상태='배차완료' and 결제일='2026-11-01'"));
        }
        // One look at the selected rows before asking, then the changed cells only: no reload.
        QCOMPARE(store->statements().mid(1), expected);
        QVERIFY(store->statements().front().startsWith(QStringLiteral("select ")));
    }

    // Answering 아니오, or a selection with nothing to change (said instead of asked).
    void answeringNoWritesNothing_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("paid");
        QTest::addColumn<QString>("text");
        QTest::newRow("아니오") << "cmdArr(2)"
                                << ""
                                << "선택하신 1건의 배차내역에 운임 지급처리 하시겠습니까?";
        QTest::newRow("paying a paid row")
            << "cmdArr(2)"
            << "2026-11-01"
            << "선택하신 1건 중 운임 지급처리할 배차내역이 없습니다.\n이미 지급된 1건입니다.";
        QTest::newRow("clearing an unpaid row")
            << "cmdArr(3)"
            << ""
            << "선택하신 1건 중 운임 지급을 취소처리할 배차내역이 없습니다.\n지급되지 않은 1건입니다.";
    }
    void answeringNoWritesNothing() {
        QFETCH(QString, button);
        QFETCH(QString, paid);
        QFETCH(QString, text);
        store->exec(QStringLiteral("update 화물오더 set 결제일='%1' where ID=%2").arg(paid, ids[0]));
        PromptScript prompts;
        auto w = Show<frmJungsanList>();
        Pick(w->sp, 1);
        store->clearStatements();
        prompts.answerNo();
        Click(w.get(), button);
        QCOMPARE(prompts.texts(), QStringList{text});
        QVERIFY(store->statements().filter(QStringLiteral("update ")).isEmpty());
        QCOMPARE(w->sp->GetText(4, 1), paid);
        QCOMPARE(Paid(ids[0]), paid);
    }

    void nothingSelected() {
        PromptScript prompts;
        auto w = Show<frmJungsanList>();
        w->sp->clearSelection();
        store->clearStatements();
        Click(w.get(), QStringLiteral("cmdArr(3)"));
        QCOMPARE(prompts.texts(), QStringList{QStringLiteral("선택하신 내용이 없습니다.")});
        QCOMPARE(prompts.asked().front().kind, PromptKind::Refusal);
        QVERIFY(store->statements().isEmpty());
    }

    void batchStoppedByAnErrorSaysHowFarItGot() {
        PromptScript prompts;
        auto w = Show<frmJungsanList>();
        Pick(w->sp, 1);
        Pick(w->sp, 5, Qt::ShiftModifier);
        prompts.answerYes();
        // The first statement looks at the rows; the third is the second row's write.
        store->failStatement(4, -2147217900, QStringLiteral("제약 조건 위반"));
        Click(w.get(), QStringLiteral("cmdArr(2)"));
        QCOMPARE(
            prompts.texts(),
            (QStringList{QStringLiteral("선택하신 5건의 배차내역에 운임 지급처리 하시겠습니까?"),
                         Prompt::storeErrorText(-2147217900, QStringLiteral("제약 조건 위반")),
                         QStringLiteral("선택하신 5건 중 2건을 처리한 뒤 멈췄습니다.\n나머지 3건은 처리되지 "
                                        "않았습니다.")}));
        // The grid shows exactly the rows written.
        for (int r = 1; r <= 5; ++r) {
            const QString expected = r <= 2 ? QStringLiteral("2026-12-09") : QString();
            QCOMPARE(w->sp->GetText(4, r), expected);
            QCOMPARE(Paid(ids[r - 1]), expected);
        }
    }

    // Another desk cancels or pays rows after the list was filled, and cancels one more between
    // the question and its write: each is left as the store holds it, named, and shown so.
    void leavesAloneWhatMovedElsewhere_data() {
        QTest::addColumn<bool>("pay");
        QTest::addColumn<QStringList>("before"); // 결제일 of rows 1 to 6 when the list is filled
        QTest::addColumn<QString>("elsewhere");  // row 4's 결제일 set at another desk afterwards
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QStringList>("after");
        const QString old = QStringLiteral("2026-11-01"), today = QStringLiteral("2026-12-09");
        QTest::newRow("운임지급처리") << true << QStringList{"", old, "", "", "", ""} << "2026-12-05"
                                      << QStringList{"선택하신 6건 중 3건에 운임 지급처리 하시겠습니까?\n"
                                                     "취소된 1건, 이미 지급된 2건은 그대로 둡니다.",
                                                     "선택하신 6건 중 2건에 운임 지급처리 했습니다.\n"
                                                     "취소된 2건, 이미 지급된 2건은 그대로 두었습니다."}
                                      << QStringList{today, old, "", "2026-12-05", today, ""};
        QTest::newRow("지급취소처리")
            << false << QStringList{old, "", old, old, old, old} << ""
            << QStringList{"선택하신 6건 중 3건의 운임 지급을 취소처리 하시겠습니까?\n"
                           "취소된 1건, 지급되지 않은 2건은 그대로 둡니다.",
                           "선택하신 6건 중 2건의 운임 지급을 취소처리 했습니다.\n"
                           "취소된 2건, 지급되지 않은 2건은 그대로 두었습니다."}
            << QStringList{"", "", old, "", "", old};
    }
    void leavesAloneWhatMovedElsewhere() {
        QFETCH(bool, pay);
        QFETCH(QStringList, before);
        QFETCH(QString, elsewhere);
        QFETCH(QStringList, texts);
        QFETCH(QStringList, after);
        for (int r = 0; r < 6; ++r)
            store->exec(QStringLiteral("update 화물오더 set 결제일='%1' where ID=%2").arg(before[r], ids[r]));
        PromptScript prompts;
        auto w = Show<frmJungsanList>();
        store->exec(QStringLiteral("update 화물오더 set 오더상태='취소' where ID=") + ids[2]);
        store->exec(QStringLiteral("update 화물오더 set 결제일='%1' where ID=%2").arg(elsewhere, ids[3]));
        // Row 1's write is the moment another desk cancels row 6.
        store->reshape(
            QStringLiteral("create trigger 다른창구 after update of 결제일 on 화물오더 when new.ID=%1 "
                           "begin update 화물오더 set 오더상태='취소' where ID=%2; end")
                .arg(ids[0], ids[5]));
        Pick(w->sp, 1);
        Pick(w->sp, 6, Qt::ShiftModifier);
        prompts.answerYes();
        Click(w.get(), pay ? QStringLiteral("cmdArr(2)") : QStringLiteral("cmdArr(3)"));
        QCOMPARE(prompts.texts(), texts);
        for (int r = 1; r <= 6; ++r) {
            QCOMPARE(Paid(ids[r - 1]), after[r - 1]);
            QCOMPARE(w->sp->GetText(4, r), after[r - 1]);
            QCOMPARE(w->sp->GetText(10, r),
                     r == 3 || r == 6 ? QStringLiteral("취소") : QStringLiteral("배차완료"));
        }
    }

    // The link dies after the second row's write was sent: applied or not, that row is never
    // called unprocessed, and the grid shows what the store holds once it answers again.
    void unknownOutcomeMidBatch_data() {
        QTest::addColumn<bool>("applied");
        QTest::newRow("applied") << true;
        QTest::newRow("lost") << false;
    }
    void unknownOutcomeMidBatch() {
        QFETCH(bool, applied);
        PromptScript prompts;
        auto w = Show<frmJungsanList>();
        Pick(w->sp, 1);
        Pick(w->sp, 5, Qt::ShiftModifier);
        prompts.answerYes();
        store->failAfterSending(3, applied); // 1: the look before asking, 2: row 1, 3: row 2
        Click(w.get(), QStringLiteral("cmdArr(2)"));
        QCOMPARE(prompts.texts(),
                 (QStringList{
                     QStringLiteral("선택하신 5건의 배차내역에 운임 지급처리 하시겠습니까?"),
                     QStringLiteral("선택하신 5건 중 1건을 처리한 뒤 멈췄습니다.\n1건은 서버와의 연결이 "
                                    "끊어져 처리 여부를 확인할 수 없습니다.\n지급처리되었을 수 있으니 "
                                    "목록의 지급일자를 확인하세요.\n나머지 3건은 처리되지 않았습니다.")}));
        for (int r = 1; r <= 5; ++r) {
            const bool paid = r == 1 || (r == 2 && applied);
            QCOMPARE(Paid(ids[r - 1]), paid ? QStringLiteral("2026-12-09") : QString());
            QCOMPARE(w->sp->GetText(4, r), Paid(ids[r - 1]));
        }
    }

    // The desks' screens: nothing lies on anything or leaves the screen, every column shows
    // its header whole (the grid scrolls sideways instead of squeezing them); the search hint
    // beside the buttons makes way where the box's own says the same.
    void fitsTheDeskScreens_data() { LayoutCheck::AddDeskSizeRows(); }
    void fitsTheDeskScreens() {
        QFETCH(QSize, size);
        FitsTheDesk<frmJungsanList>(size);
    }

    void exportsUnderTheScreensName() {
        PromptScript prompts;
        auto w = Show<frmJungsanList>();
        const QString file = QDir(qEnvironmentVariable("DELMORA_HOME")).filePath(QStringLiteral("정산.xls"));
        prompts.answerSaveAs(file, QStringLiteral("Excel Files (*.xls)"));
        Click(w.get(), QStringLiteral("cmdArr(1)"));
        QCOMPARE(prompts.asked().front().defaultValue, QStringLiteral("정산관리_261209"));
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QStringList lines =
            QString::fromUtf8(f.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 11);
        QVERIFY(lines.first().contains(QStringLiteral("배차일자\t인수증일자\t계산서일자\t지급일자")));
    }

    void opensFromTheMainWindow_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("screen");
        QTest::newRow("정산관리") << "정산관리"
                                  << "frmJungsanList";
        QTest::newRow("계산서관리") << "계산서관리"
                                    << "frmFormainList";
    }
    void opensFromTheMainWindow() {
        QFETCH(QString, caption);
        QFETCH(QString, screen);
        PromptScript prompts;
        RegisterWorkScreens();
        frmMain main;
        main.setEnabled(true); // as after sign-in
        main.resize(1400, 900);
        main.show();
        WorkScreen* w = OpenScreen(caption);
        QVERIFY(w);
        QCOMPARE(w->objectName(), screen);
        QCOMPARE(w->windowTitle(), caption);
        // It takes the whole client area, and keeps it when the main window changes size.
        QCOMPARE(w->parentWidget()->geometry(), QRect(QPoint(0, 0), MainClientSize()));
        main.resize(1200, 800);
        QTRY_COMPARE(w->parentWidget()->geometry(), QRect(QPoint(0, 0), MainClientSize()));
        Click(w, QStringLiteral("cmdArr(99)"));
        QTRY_VERIFY(!OpenedScreen(caption));
    }

    void keepsTheWidthsTheUserSet() {
        PromptScript prompts;
        WriteIni(QStringLiteral("컬럼폭"), QStringLiteral("정산관리"),
                 QStringLiteral("5,5,5,5,5,5,5,5,30,5,5,7"));
        auto w = Show<frmJungsanList>();
        QCOMPARE(w->sp->ColWidth(9), 30.0);
        QCOMPARE(w->sp->ColWidth(12), 7.0);
        // Without saved widths the spare width goes to 운송내역 and 작성회사명.
        WriteIni(QStringLiteral("컬럼폭"), QStringLiteral("정산관리"), QString());
        auto fitted = Show<frmJungsanList>(QSize(1800, 700));
        QVERIFY(fitted->sp->ColWidth(9) > 44.0);
        QVERIFY(fitted->sp->ColWidth(12) > 10.5);
        // A date keeps to the width of a date however wide the window.
        QVERIFY(fitted->sp->ColWidth(1) < 12.0);
    }
};

DELMORA_TEST_MAIN(FrmJungsanListTest)
#include "tst_frmjungsanlist.moc"
