// The order board's list, entry panel and cancels, driven through its real widgets against a
// fresh store.
#include "boardfixture.h"
#include "droplist.h"
#include "ini.h"
#include "mainwindow.h"
#include "mytext.h"
#include "orderderive.h"
#include "pophwaju.h"
#include "prompts.h"
#include "screens.h"
#include "spreadmodel.h"
#include "testmain.h"
#include "textformat.h"
#include "workscreens.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QRadioButton>

using namespace BoardFixture;

class FrmOrderTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TestStore> store;

    // A panel every check passes, with quotes where an agent might type them.
    void FillPanel(frmOrder& w) {
        w.상차권역->setCurrentIndex(1); // 서울
        w.상차지->SetText(QStringLiteral("강남구 O'Neil 창고"));
        w.운행구분[1]->click();     // 혼적
        w.댓수->setCurrentIndex(1); // 2
        w.제품정보->SetText(QStringLiteral("박스 '취급주의'"));
        w.하차권역->setCurrentIndex(16); // 부산
        w.하차지->SetText(QStringLiteral("해운대구 'A동'"));
        w.희망톤수->setCurrentIndex(3); // 11톤
        w.차종->setCurrentIndex(3);     // 카고
        w.운임형태->setCurrentIndex(1); // 선착불
        w.금액->SetText(QStringLiteral("350,000"));
        w.화물중량->SetText(QStringLiteral("5"));
        w.화주코드->SetText(QStringLiteral("S'01"));
    }
    static void Break(frmOrder& w, const QStringList& breaks) {
        for (const QString& b : breaks) {
            if (b == QStringLiteral("상차권역")) w.상차권역->setCurrentIndex(0);
            // Emptying an address box empties its region too; pick the region again.
            if (b == QStringLiteral("상차지")) w.상차지->SetText({}), w.상차권역->setCurrentIndex(1);
            if (b == QStringLiteral("하차권역")) w.하차권역->setCurrentIndex(0);
            if (b == QStringLiteral("하차지")) w.하차지->SetText({}), w.하차권역->setCurrentIndex(16);
            if (b == QStringLiteral("희망톤수")) w.희망톤수->setCurrentIndex(0);
            if (b == QStringLiteral("차종")) w.차종->setCurrentIndex(-1);
            if (b == QStringLiteral("금액")) w.금액->SetText({});
            if (b == QStringLiteral("금액0")) w.금액->SetText(QStringLiteral("0"));
            if (b == QStringLiteral("금액abc")) w.금액->SetText(QStringLiteral("abc"));
            if (b == QStringLiteral("금액huge")) w.금액->SetText(QString(10000, QLatin1Char('9')));
        }
    }
    QStringList Sent(const QString& prefix) const {
        QStringList out;
        for (const QString& s : store->statements())
            if (s.startsWith(prefix)) out << s;
        return out;
    }

private slots:
    void init() { store = FreshStart(); }
    void cleanup() { store.reset(); }

    // Both ways out of the program ask the same question when typed input would be lost, and
    // 아니오 keeps the typed order and the changed pop-up.
    void leavingAsksForTypedInput_data() {
        QTest::addColumn<bool>("closeBox"); // else 프로그램 종료
        QTest::addColumn<bool>("popup");    // a shipper pop-up with a changed box is open too
        QTest::newRow("close box") << true << false;
        QTest::newRow("프로그램 종료") << false << false;
        QTest::newRow("close box, pop-up changed") << true << true;
    }
    void leavingAsksForTypedInput() {
        QFETCH(bool, closeBox);
        QFETCH(bool, popup);
        RegisterWorkScreens();
        frmMain main;
        main.setEnabled(true);
        main.resize(1400, 900);
        main.show();
        auto* board = qobject_cast<frmOrder*>(OpenScreen(QStringLiteral("오더등록")));
        QVERIFY(board);
        board->Timer1->stop();
        auto* amount = Child<MyText>(board, QStringLiteral("금액"));
        Type(amount, QStringLiteral("150000"));
        SelectedKey.clear();
        popHwaju shipper(&main);
        if (popup) {
            shipper.show();
            Type(Child<MyText>(&shipper, QStringLiteral("화주명")), QStringLiteral("한빛"));
        }
        PromptScript prompts;
        prompts.answerNo();
        if (closeBox)
            QVERIFY(!main.close());
        else
            main.ExitProgram();
        QCOMPARE(prompts.asked().size(), size_t(1));
        QVERIFY(prompts.asked().front().noByDefault);
        const QString question = prompts.texts().front();
        QVERIFY2(question.startsWith(QStringLiteral("프로그램을 끝내면 오더등록 화면에 입력 중인 오더")),
                 qPrintable(question));
        QCOMPARE(question.contains(QStringLiteral("고친 내용")), popup);
        QVERIFY(main.isVisible());
        QCOMPARE(OpenedScreen(QStringLiteral("오더등록")), board);
        QCOMPARE(amount->Text(), QStringLiteral("150000"));
        QCOMPARE(shipper.isVisible(), popup);
        QVERIFY(prompts.unexpected().isEmpty());
        shipper.hide();
    }

    void opensWithDefaults() {
        PromptScript prompts;
        auto w = OpenBoard();
        QCOMPARE(w->windowTitle(), QStringLiteral("오더등록"));
        QCOMPARE(w->Timer1->interval(), 1200);
        QCOMPARE(w->배차일->date(), QDate(2026, 12, 9));
        QCOMPARE(w->배차기간[0]->date(), QDate(2026, 12, 1));
        QCOMPARE(w->배차기간[1]->date(), QDate(2026, 12, 9));
        for (QCheckBox* box : w->chk조회구분)
            QVERIFY(box->isChecked());
        QCOMPARE(w->상차권역->count(), 17);
        QCOMPARE(w->상차시->currentText(), QStringLiteral("09:30"));
        QCOMPARE(w->하차시->currentText(), QStringLiteral("09:30"));
        QCOMPARE(w->상차일->date(), QDate(2026, 12, 9));
        QCOMPARE(w->하차일->date(), QDate(2026, 12, 10));
        QVERIFY(w->상차일구분[0]->isChecked());
        QVERIFY(w->하차일구분[1]->isChecked());
        QCOMPARE(w->희망톤수->currentText(), QStringLiteral("5톤"));
        QCOMPARE(w->운임형태->currentText(), QStringLiteral("인수증"));
        QCOMPARE(w->댓수->currentText(), QStringLiteral("1"));
        QCOMPARE(w->차종->currentText(), QStringLiteral("윙바디"));
        QCOMPARE(FocusName(), QStringLiteral("상차지")); // ready for the first address
        QCOMPARE(Child<QPushButton>(w.get(), QStringLiteral("cmdArr(5)"))->text(),
                 QStringLiteral("    입력항목 지우기"));
        QCOMPARE(Child<QPushButton>(w.get(), QStringLiteral("cmdArr(99)"))->text(),
                 QStringLiteral("   닫 기"));
        QVERIFY(prompts.asked().empty());
    }

    void listsTheDayColouredWithTags() {
        const QString a = InsertOrder(*store, {{QStringLiteral("오더상태"), QStringLiteral("접수")}});
        const QString b =
            InsertOrder(*store, {{QStringLiteral("오더상태"), QStringLiteral("취소")},
                                 {QStringLiteral("차주연락처"), QStringLiteral("01012345678")},
                                 {QStringLiteral("차량정보"), QStringLiteral("윙바디")},
                                 {QStringLiteral("차량톤수"), QStringLiteral("5")},
                                 {QStringLiteral("차량길이"), QStringLiteral("9.6")},
                                 {QStringLiteral("차량길이2"), QStringLiteral("50")},
                                 {QStringLiteral("배차시간"), QStringLiteral("2026-12-09T08:01:02.500")}});
        InsertOrder(*store, {{QStringLiteral("날짜"), QStringLiteral("2026-12-08")}});
        PromptScript prompts;
        auto w = OpenBoard();
        QCOMPARE(w->sp->MaxRows(), 2);
        int cancelled = w->sp->GetText(2, 1) == QStringLiteral("취소") ? 1 : 2;
        QCOMPARE(w->sp->GetText(9, cancelled), QStringLiteral("010-1234-5678"));
        QCOMPARE(w->sp->GetText(11, cancelled), QStringLiteral("윙바디 5톤 9.6m 50cm"));
        QCOMPARE(w->sp->GetText(12, cancelled), QStringLiteral("2026-12-09 08:01:02"));
        QCOMPARE(w->sp->GetText(3, cancelled), QStringLiteral("서울 강남구 역삼동"));
        QCOMPARE(w->sp->RowForeColor(cancelled).name(), QStringLiteral("#c00000"));
        QCOMPARE(w->sp->RowForeColor(3 - cancelled).name(), QStringLiteral("#000000"));
        w->sp->setRow(cancelled);
        w->sp->setCol(1);
        QCOMPARE(w->sp->CellTag(), b);
        w->sp->setRow(3 - cancelled);
        QCOMPARE(w->sp->CellTag(), a);
    }

    // Texts derived per row stay with their row: vehicles repeated, changed in one field only or
    // long, phones and dispatch times of every shape, across many rows of one fill, whatever
    // order the rows are built in.
    void derivedTextsStayWithTheirRow() {
        const QString longInfo = QString(300, QChar(u'윙'));
        struct Row {
            QString phone, info, tons, length, length2, dispatched;
        };
        const std::vector<Row> rows = {
            {"01012345678", "윙바디", "5", "9.6", "50", "2026-12-09 08:01:02"},
            {"0212345678", "윙바디", "5", "9.6", "", "2026-12-09T09:00:00.5"},
            {"", "윙바디", "5", "9.6", "50", ""},
            {"0101234", longInfo, "25톤", "10.1m", "", " 2026-12-09 10:00:00 "},
            {"01098765432", "카고", "1", "", "", "그제"},
            {"01012345678", "윙바디", "5", "9.6", "50", "2026-12-09 08:01:02"},
        };
        QHash<QString, size_t> shapeOf;
        for (int i = 0; i < 60; ++i) {
            const Row& r = rows[size_t(i) % rows.size()];
            shapeOf[InsertOrder(*store, {{QStringLiteral("배차시간"), r.dispatched},
                                         {QStringLiteral("차주연락처"), r.phone},
                                         {QStringLiteral("차량정보"), r.info},
                                         {QStringLiteral("차량톤수"), r.tons},
                                         {QStringLiteral("차량길이"), r.length},
                                         {QStringLiteral("차량길이2"), r.length2}})] =
                size_t(i) % rows.size();
        }
        PromptScript prompts;
        auto w = OpenBoard();
        QCOMPARE(w->sp->MaxRows(), 60);
        // The list is built as it is read: the rows in view first, the others when reached.
        QApplication::processEvents();
        QVERIFY2(w->sp->spreadModel()->builtRows() < 60,
                 qPrintable(QString::number(w->sp->spreadModel()->builtRows())));
        for (int k = 0; k < 60; ++k) {
            const int row = (k * 37) % 60 + 1; // every row once, out of order
            w->sp->setRow(row);
            w->sp->setCol(1);
            QVERIFY(shapeOf.contains(w->sp->CellTag()));
            const Row& r = rows[shapeOf.value(w->sp->CellTag())];
            QCOMPARE(w->sp->GetText(9, row), FormatPhone(r.phone));
            QCOMPARE(w->sp->GetText(11, row), OrderDerive::VehicleText(r.info, r.tons, r.length, r.length2));
            QCOMPARE(w->sp->GetText(12, row), OrderDerive::DispatchTimeText(r.dispatched));
        }
    }

    void filtersThroughTheWidgets() {
        PromptScript prompts;
        auto w = OpenBoard();
        store->clearStatements();
        // Untick everything but 접수 and 미처리, by mouse as an agent would.
        for (int i = 2; i < 7; ++i)
            QTest::mouseClick(w->chk조회구분[size_t(i)], Qt::LeftButton, {}, QPoint(6, 6));
        QCOMPARE(store->statements().size(), 5);
        QCOMPARE(
            store->statements().last(),
            QStringLiteral(
                "select * from 뷰_화물오더콜센터 where 1=1 and 날짜='2026-12-09' and ( 오더상태='접수' or "
                "오더상태='미처리' ) order by 날짜 desc, 배차시간, 오더상태 ,ID desc"));

        // A period with a search text: 조회 also stops the automatic refresh.
        w->검색어->SetText(QStringLiteral("12가"));
        store->clearStatements();
        QTest::mouseClick(Child<QPushButton>(w.get(), QStringLiteral("cmdArr(6)")), Qt::LeftButton);
        QVERIFY(w->chk새로고침금지->isChecked());
        QCOMPARE(
            store->statements(),
            QStringList{QStringLiteral(
                "select * from 뷰_화물오더콜센터 where 1=1 and 날짜>='2026-12-01' and 날짜<='2026-12-09' "
                "and (차량번호 like '%12가%' or 차주명 like '%12가%' or replace(replace(차주연락처,'-',''),' ','') like '%12가%') "
                "and ( 오더상태='접수' or 오더상태='미처리' ) order by 날짜 desc, 배차시간, 오더상태 ,ID "
                "desc")});

        // 새로고침 lists the day again, without the search, and restarts the countdown.
        store->clearStatements();
        QTest::mouseClick(Child<QPushButton>(w.get(), QStringLiteral("cmdArr(0)")), Qt::LeftButton);
        QVERIFY(!w->chk새로고침금지->isChecked());
        QCOMPARE(store->statements().size(), 1);
        QVERIFY(store->statements().first().contains(QStringLiteral(" and 날짜='2026-12-09' and (")));
        QVERIFY(prompts.asked().empty());
    }

    void periodSearchFindsByVehicle() {
        InsertOrder(*store, {{QStringLiteral("날짜"), QStringLiteral("2026-12-02")},
                             {QStringLiteral("차량번호"), QStringLiteral("서울12가3456")}});
        InsertOrder(*store, {{QStringLiteral("날짜"), QStringLiteral("2026-12-03")},
                             {QStringLiteral("차량번호"), QStringLiteral("부산99나1111")}});
        PromptScript prompts;
        auto w = OpenBoard();
        QCOMPARE(w->sp->MaxRows(), 0);
        w->검색어->SetText(QStringLiteral("12가"));
        QTest::mouseClick(Child<QPushButton>(w.get(), QStringLiteral("cmdArr(6)")), Qt::LeftButton);
        QCOMPARE(w->sp->MaxRows(), 1);
        QCOMPARE(w->sp->GetText(10, 1), QStringLiteral("서울12가3456"));
    }

    void validation_data() {
        QTest::addColumn<QStringList>("breaks");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        QTest::newRow("상차권역") << QStringList{"상차권역", "금액"} << "상차권역을 선택하세요"
                                  << "상차권역";
        QTest::newRow("상차지") << QStringList{"상차지", "하차지"} << "상차지를 입력해주세요."
                                << "상차지";
        QTest::newRow("하차권역") << QStringList{"하차권역", "희망톤수"} << "하차권역을 선택하세요."
                                  << "하차권역";
        QTest::newRow("하차지") << QStringList{"하차지", "차종"} << "하차지를 입력하세요."
                                << "하차지";
        QTest::newRow("희망톤수") << QStringList{"희망톤수", "금액"} << "희망톤수를 선택하세요."
                                  << "희망톤수";
        QTest::newRow("차종") << QStringList{"차종", "금액"} << "차종을 선택하세요."
                              << "차종";
        QTest::newRow("금액 empty") << QStringList{"금액"} << "금액을 입력하세요."
                                    << "금액";
        QTest::newRow("금액 0") << QStringList{"금액0"} << "금액을 입력하세요."
                                << "금액";
        QTest::newRow("금액 words") << QStringList{"금액abc"} << "금액을 입력하세요."
                                    << "금액";
        QTest::newRow("금액 too large") << QStringList{"금액huge"} << "금액이 너무 큽니다."
                                        << "금액";
    }
    void validation() {
        QFETCH(QStringList, breaks);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        PromptScript prompts;
        auto w = OpenBoard();
        FillPanel(*w);
        Break(*w, breaks);
        store->clearStatements();
        for (const char* button : {"cmdArr(1)", "cmdArr(2)"}) {
            prompts.clear();
            if (QLatin1String(button) == QLatin1String("cmdArr(2)")) {
                // Modify checks the selection first; give it an order to act on.
                InsertOrder(*store, {});
                prompts.answerYes(); // the typed panel may go
                QTest::mouseClick(Child<QPushButton>(w.get(), QStringLiteral("cmdArr(0)")), Qt::LeftButton);
                prompts.clear();
                w->ShowOrderInEntry(1, 1);
                FillPanel(*w);
                Break(*w, breaks);
                store->clearStatements();
            }
            QTest::mouseClick(Child<QPushButton>(w.get(), QString::fromLatin1(button)), Qt::LeftButton);
            QCOMPARE(prompts.texts(), QStringList{message});
            QCOMPARE(prompts.asked().front().kind, PromptKind::Refusal);
            QCOMPARE(FocusName(), focus);
            QVERIFY(store->statements().isEmpty());
        }
    }

    void savesTheWholeStatementAndListsItBack() {
        PromptScript prompts;
        auto w = OpenBoard();
        FillPanel(*w);
        store->clearStatements();
        prompts.answerYes(); // the code names no shipper: saved as typed all the same
        QTest::mouseClick(Child<QPushButton>(w.get(), QStringLiteral("cmdArr(1)")), Qt::LeftButton);
        QCOMPARE(prompts.texts(),
                 QStringList{QStringLiteral("등록되지 않은 화주코드입니다. 그대로 저장하시겠습니까?")});
        const QStringList saves = Sent(QStringLiteral("exec "));
        QCOMPARE(saves.size(), 1);
        // The 47 arguments, then the save's own request key (a UUID) on our stores.
        const QString key = saves.first().section(QLatin1Char(','), -1);
        QVERIFY2(QRegularExpression(QStringLiteral("^'[0-9a-f-]{36}'$")).match(key).hasMatch(), qPrintable(key));
        QCOMPARE(
            saves.first().chopped(key.size() + 1),
            QStringLiteral(
                "exec 오더저장  '2026-12-09','접수','demo','델모라주선','델모라주선','0212345678','','','',"
                "'2026-12-09 09:30','서울','강남구 O''Neil 창고','','지게차','','',"
                "'2026-12-10 09:30','부산','해운대구 ''A동''','','지게차','','',"
                "'11톤','카고','5톤',2,2,'박스 ''취급주의''','',2,350000,0,'','S''01',"
                "'','','','','','','','','','','',''"));
        QCOMPARE(store->statements().first(), QStringLiteral("select * from 코드_화주 where 코드='S''01'"));
        // Listed back in black as 접수, exactly as typed; the panel is ready for the next order.
        QCOMPARE(w->sp->MaxRows(), 1);
        QCOMPARE(w->sp->GetText(2, 1), QStringLiteral("접수"));
        QCOMPARE(w->sp->GetText(3, 1), QStringLiteral("서울 강남구 O'Neil 창고"));
        QCOMPARE(w->sp->GetText(5, 1), QStringLiteral("박스 '취급주의'"));
        QCOMPARE(w->sp->RowForeColor(1).name(), QStringLiteral("#000000"));
        QVERIFY(w->상차지->Text().isEmpty());
        QCOMPARE(w->화주코드->Text(), QStringLiteral("S'01")); // the shipper stays for the next order
    }

    void knownShipperFillsItsArguments() {
        store->exec(QStringLiteral(
            "insert into 코드_화주 (코드, 화주명, 연락처, 대표자, 사업자번호, 업태, 종목, 우편번호, 주소1, "
            "주소2, "
            "이메일, 계산서담당) values ('S100', ' 오뚜기 ', '0311112222', '홍길동', '1234567890', '제조', "
            "'식품', '06236', '서울 강남구', '1층', 'a@b.kr', '김담당')"));
        PromptScript prompts;
        auto w = OpenBoard();
        FillPanel(*w);
        w->화주코드->SetText(QStringLiteral("S100"));
        QTest::mouseClick(Child<QPushButton>(w.get(), QStringLiteral("cmdArr(1)")), Qt::LeftButton);
        const QStringList row =
            store
                ->rows(QStringLiteral(
                    "select 화주사업자번호, 화주명, 화주연락처, 화주코드, 화주대표자, 화주상호, "
                    "화주주소2, 화주계산서담당, 화주이메일 from 화물오더"))
                .value(0);
        QCOMPARE(row, (QStringList{"1234567890", "오뚜기", "0311112222", "S100", "홍길동", "오뚜기", "1층",
                                   "김담당", "a@b.kr"}));
    }

    void showsModifiesAndWalksTheList() {
        const QString first =
            InsertOrder(*store, {{QStringLiteral("상차요청일시"), QStringLiteral("2026-12-14 09:45")},
                                 {QStringLiteral("하차요청일시"), QStringLiteral("2026-12-18 13:10")},
                                 {QStringLiteral("적재구분"), QStringLiteral("3")},
                                 {QStringLiteral("운임구분"), QStringLiteral("2")},
                                 {QStringLiteral("희망차종"), QStringLiteral("롤업")},
                                 {QStringLiteral("화물중량"), QStringLiteral("3톤")},
                                 {QStringLiteral("배차시간"), QStringLiteral("2026-12-09 01:00:00")}});
        InsertOrder(*store, {{QStringLiteral("상차지"), QStringLiteral("중구 을지로")},
                             {QStringLiteral("배차시간"), QStringLiteral("2026-12-09 02:00:00")}});
        PromptScript prompts;
        auto w = OpenBoard();
        QCOMPARE(w->sp->MaxRows(), 2);
        ClickRow(w->sp, 1);
        QCOMPARE(w->상차지->Text(), QStringLiteral("강남구 역삼동"));
        QCOMPARE(w->상차권역->currentText(), QStringLiteral("서울"));
        QCOMPARE(w->상차일->date(), QDate(2026, 12, 14)); // a Monday: 월착, the stored date kept
        QVERIFY(w->상차일구분[2]->isChecked());
        QCOMPARE(w->상차시->currentText(), QStringLiteral("09:45")); // as stored, not rounded
        QCOMPARE(w->하차일->date(), QDate(2026, 12, 18));            // a Friday: no kind
        for (QRadioButton* r : w->하차일구분)
            QVERIFY(!r->isChecked());
        QCOMPARE(w->하차시->currentText(), QStringLiteral("13:10"));
        QVERIFY(w->운행구분[2]->isChecked());
        QCOMPARE(w->운임형태->currentText(), QStringLiteral("선착불"));
        QCOMPARE(w->차종->currentText(), QStringLiteral("롤업"));
        QCOMPARE(w->화물중량->Text(), QStringLiteral("3톤"));
        QCOMPARE(w->금액->Text(), QStringLiteral("300000"));
        QCOMPARE(FocusName(), QStringLiteral("sp")); // the list keeps the keys for Up and Down

        // Down shows the next order and keeps the focus in the list; Up comes back.
        w->sp->setFocus();
        QTest::keyClick(w->sp, Qt::Key_Down);
        QCOMPARE(w->상차지->Text(), QStringLiteral("중구 을지로"));
        QCOMPARE(w->sp->ActiveRow(), 2);
        QCOMPARE(FocusName(), QStringLiteral("sp"));
        QTest::keyClick(w->sp, Qt::Key_Down); // no next row: nothing changes
        QCOMPARE(w->상차지->Text(), QStringLiteral("중구 을지로"));
        QTest::keyClick(w->sp, Qt::Key_Up);
        QCOMPARE(w->상차지->Text(), QStringLiteral("강남구 역삼동"));
        QCOMPARE(w->sp->ActiveRow(), 1);

        // Modify the shown order: asked first, then the whole statement with its ID.
        w->금액->SetText(QStringLiteral("450000"));
        store->clearStatements();
        prompts.answerYes();
        QTest::mouseClick(Child<QPushButton>(w.get(), QStringLiteral("cmdArr(2)")), Qt::LeftButton);
        QCOMPARE(prompts.texts(), QStringList{QStringLiteral("오더를 수정하시겠습니까?")});
        const QStringList modifies = Sent(QStringLiteral("exec 오더수정  ") + first + QLatin1Char(','));
        QCOMPARE(modifies.size(), 1);
        QVERIFY(modifies.first().contains(QStringLiteral("'2026-12-14 09:45','서울','강남구 역삼동'")));
        QVERIFY(modifies.first().contains(QStringLiteral(",1,3,'파렛트','',2,450000,0,")));
        QCOMPARE(store->value(QStringLiteral("select 운송비 from 화물오더 where ID=") + first),
                 QStringLiteral("450000"));
        QCOMPARE(store->value(QStringLiteral("select 상차요청일시 from 화물오더 where ID=") + first),
                 QStringLiteral("2026-12-14 09:45"));
    }

    void modifyAndCancelsNeedARow_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("message");
        QTest::newRow("modify") << "cmdArr(2)"
                                << "수정할 내용을 선택하세요.";
        QTest::newRow("cancel order") << "cmdArr(3)"
                                      << "오더취소할 내용을 선택하세요.";
        QTest::newRow("cancel dispatch") << "cmdArr(4)"
                                         << "배차취소할 내용을 선택하세요.";
    }
    void modifyAndCancelsNeedARow() {
        QFETCH(QString, button);
        QFETCH(QString, message);
        PromptScript prompts;
        auto w = OpenBoard();
        store->clearStatements();
        QTest::mouseClick(Child<QPushButton>(w.get(), button), Qt::LeftButton);
        QCOMPARE(prompts.texts(), QStringList{message});
        QVERIFY(store->statements().isEmpty());
    }

    void cancels_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("procedure");
        QTest::newRow("order") << "cmdArr(3)"
                               << "exec 오더취소  ";
        QTest::newRow("dispatch") << "cmdArr(4)"
                                  << "exec 배차취소  ";
    }
    void cancels() {
        QFETCH(QString, button);
        QFETCH(QString, procedure);
        const QString id = InsertOrder(*store, {{QStringLiteral("오더상태"), QStringLiteral("배차완료")}});
        PromptScript prompts;
        auto w = OpenBoard();
        ClickRow(w->sp, 1);
        w->제품정보->SetText(QStringLiteral("typing"));
        // 아니오 sends nothing and leaves list and panel alone.
        store->clearStatements();
        prompts.answerNo();
        QTest::mouseClick(Child<QPushButton>(w.get(), button), Qt::LeftButton);
        QCOMPARE(prompts.texts(), QStringList{QStringLiteral("선택하신 오더를 취소하시겠습니까?")});
        // Only the order's status was read, to ask about it as it is now.
        QCOMPARE(store->statements(), QStringList{QStringLiteral("select * from 화물오더 where ID=") + id});
        QCOMPARE(w->제품정보->Text(), QStringLiteral("typing"));
        // 예 runs the procedure with the bare ID and lists the day again.
        prompts.clear();
        prompts.answerYes();
        store->clearStatements();
        QTest::mouseClick(Child<QPushButton>(w.get(), button), Qt::LeftButton);
        // The cancel states the status it was asked on; the store refuses it if that moved.
        QCOMPARE(store->statements().at(1), procedure + id + QStringLiteral(",'배차완료'"));
        QVERIFY(store->statements().last().startsWith(QStringLiteral("select * from 뷰_화물오더콜센터")));
        QVERIFY(w->제품정보->Text().isEmpty());
        if (procedure.contains(QStringLiteral("오더취소")))
            QCOMPARE(w->sp->RowForeColor(1).name(), QStringLiteral("#c00000"));
    }

    void storeErrorKeepsThePanel() {
        PromptScript prompts;
        auto w = OpenBoard();
        FillPanel(*w);
        store->failStatement(2, dstore::DB_E_ERRORSINCOMMAND, QStringLiteral("bad"));
        prompts.answerYes(); // saved with the unknown shipper code
        QTest::mouseClick(Child<QPushButton>(w.get(), QStringLiteral("cmdArr(1)")), Qt::LeftButton);
        QCOMPARE(prompts.texts().last(), QStringLiteral("에러번호 : -2147217900\n에러내용 : bad"));
        QCOMPARE(w->상차지->Text(), QStringLiteral("강남구 O'Neil 창고"));
    }

    void enterInTheSearchBoxRunsTheSearch() {
        InsertOrder(*store, {{QStringLiteral("날짜"), QStringLiteral("2026-12-02")},
                             {QStringLiteral("차량번호"), QStringLiteral("서울12가3456")}});
        PromptScript prompts;
        auto w = OpenBoard();
        QCOMPARE(w->sp->MaxRows(), 0);
        w->검색어->setFocus();
        QTest::keyClicks(w->검색어, QStringLiteral("12"));
        QTest::keyClick(w->검색어, Qt::Key_Return);
        // The same as pressing 조회: the period search, and the automatic refresh held.
        QCOMPARE(w->sp->MaxRows(), 1);
        QCOMPARE(w->sp->GetText(10, 1), QStringLiteral("서울12가3456"));
        QVERIFY(w->chk새로고침금지->isChecked());
        QVERIFY(prompts.asked().empty());
    }

    void suggestionHeadersNameTheParts() {
        auto w = OpenBoard();
        QCOMPARE((QStringList{w->fSP->GetText(1, 0), w->fSP->GetText(2, 0), w->fSP->GetText(3, 0)}),
                 (QStringList{QStringLiteral("시도"), QStringLiteral("시군구"), QStringLiteral("읍면동")}));
    }

    void numberBoxesTakeWhatTheyHold_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        // Letters are what Hangul-mode keys give a box with the input method off.
        QTest::newRow("금액") << "금액"
                              << "350,000rk"
                              << "350000";
        QTest::newRow("화주코드") << "화주코드"
                                  << "1001rk"
                                  << "1001";
        QTest::newRow("화물중량") << "화물중량"
                                  << "2.5t"
                                  << "2.5";
    }
    void numberBoxesTakeWhatTheyHold() {
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        auto w = OpenBoard();
        auto* target = Child<MyText>(w.get(), box);
        QVERIFY(target->imeOff());
        target->setFocus();
        QTest::keyClicks(target, typed);
        QCOMPARE(target->Text(), shown);
        // Free-text boxes keep their input method for Hangul.
        QVERIFY(!w->상차지->imeOff());
        QVERIFY(!w->제품정보->imeOff());
    }
};

DELMORA_TEST_MAIN(FrmOrderTest)
#include "tst_frmorder.moc"
