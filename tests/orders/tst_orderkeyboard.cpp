// The board by keyboard alone: the typical order registered with key events only (every key
// goes to the focused widget, as a user's does), and the keys that make that short.
#include "boardfixture.h"
#include "droplist.h"
#include "ini.h"
#include "mytext.h"
#include "prompts.h"
#include "testmain.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

using namespace BoardFixture;
using Columns = QMap<QString, QString>;

class OrderKeyboardTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TestStore> store;
    int keys = 0;

    // The address directory comes with the store; the shipper is the office's.
    void AddShipper() {
        store->exec(
            QStringLiteral("insert into 코드_화주 (코드, 화주명, 대표자, 사업자번호, 연락처, 업태, 종목, "
                           "우편번호, 주소1, 주소2, 이메일, 계산서담당) values ('1001', '오뚜기', "
                           "'홍길동', '1234567890', '0311112222', '제조', '식품', '06236', "
                           "'서울 강남구', '1층', 'a@b.kr', '김담당')"));
    }
    // One key (a chord counts once) to whatever has the focus.
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* focus = QApplication::focusWidget();
        QVERIFY(focus);
        QTest::keyClick(focus, key, modifiers);
        ++keys;
    }
    // Digits and Latin letters as their keys; Hangul one committed syllable per key.
    void Write(const QString& text) {
        for (const QChar c : text) {
            QWidget* focus = QApplication::focusWidget();
            QVERIFY(focus);
            if (c.unicode() < 128)
                QTest::keyClick(focus, char(c.unicode()));
            else
                QTest::sendKeyEvent(QTest::Click, focus, Qt::Key_unknown, QString(c), Qt::NoModifier);
            ++keys;
        }
    }

private slots:
    void init() {
        store = FreshStart();
        keys = 0;
    }
    void cleanup() { store.reset(); }

    void typicalOrderByKeyboard() {
        AddShipper();
        PromptScript prompts;
        auto w = OpenBoard();
        QCOMPARE(FocusName(), QStringLiteral("상차지"));

        Write(QStringLiteral("역삼"));
        Key(Qt::Key_Return); // suggestions
        Key(Qt::Key_Return); // picked; on to the loading time
        QCOMPARE(FocusName(), QStringLiteral("상차시"));
        Write(QStringLiteral("14"));
        Key(Qt::Key_Return);
        QCOMPARE(FocusName(), QStringLiteral("희망톤수"));
        Write(QStringLiteral("1"));
        Key(Qt::Key_Return);
        Write(QStringLiteral("카"));
        Key(Qt::Key_H, Qt::AltModifier);
        Write(QStringLiteral("해운대"));
        Key(Qt::Key_Return);
        Key(Qt::Key_Tab); // Tab picks the suggestion as Enter does
        QCOMPARE(FocusName(), QStringLiteral("하차시"));
        Write(QStringLiteral("18"));
        Key(Qt::Key_P, Qt::AltModifier);
        Write(QStringLiteral("파렛트"));
        Key(Qt::Key_G, Qt::AltModifier);
        Write(QStringLiteral("350000"));
        Key(Qt::Key_C, Qt::AltModifier);
        Write(QStringLiteral("1001"));
        Key(Qt::Key_S, Qt::ControlModifier);
        qInfo("keystrokes %d", keys);
        QVERIFY2(prompts.asked().empty(), qPrintable(prompts.texts().join(u'|')));
        QVERIFY(keys <= 36);

        const QString id = store->value(QStringLiteral("select max(ID) from 화물오더"));
        QVERIFY(!id.isEmpty());
        QMap<QString, QString> row = StoredRow(*store, id);
        QVERIFY(!row.take(QStringLiteral("기록일시")).isEmpty());
        row.remove(QStringLiteral("ID"));
        const QMap<QString, QString> filled = {{"날짜", "2026-12-09"},
                                               {"오더상태", "접수"},
                                               {"작성아이디", "demo"},
                                               {"작성회사명", "델모라주선"},
                                               {"작성자명", "델모라주선"},
                                               {"작성자연락처", "0212345678"},
                                               {"화주사업자번호", "1234567890"},
                                               {"화주명", "오뚜기"},
                                               {"화주연락처", "0311112222"},
                                               {"상차요청일시", "2026-12-09 14:00"},
                                               {"상차권역", "서울"},
                                               {"상차지", "강남구 역삼동"},
                                               {"상차방법", "지게차"},
                                               {"하차요청일시", "2026-12-10 18:00"},
                                               {"하차권역", "부산"},
                                               {"하차지", "해운대구 반여동"},
                                               {"하차방법", "지게차"},
                                               {"희망톤수", "11톤"},
                                               {"희망차종", "카고"},
                                               {"차량대수", "1"},
                                               {"적재구분", "1"},
                                               {"화물정보1", "파렛트"},
                                               {"운임구분", "1"},
                                               {"운송비", "350000"},
                                               {"수수료", "0"},
                                               {"화주코드", "1001"},
                                               {"화주대표자", "홍길동"},
                                               {"화주상호", "오뚜기"},
                                               {"화주업태", "제조"},
                                               {"화주종목", "식품"},
                                               {"화주우편번호", "06236"},
                                               {"화주주소1", "서울 강남구"},
                                               {"화주주소2", "1층"},
                                               {"화주계산서담당", "김담당"},
                                               {"화주이메일", "a@b.kr"}};
        // The store's own bookkeeping: the row's version and the save's request key.
        row.remove(QStringLiteral("버전"));
        QVERIFY(!row.take(QStringLiteral("요청키")).isEmpty());
        for (auto it = row.cbegin(); it != row.cend(); ++it)
            QVERIFY2(it.value() == filled.value(it.key()),
                     qPrintable(it.key() + QStringLiteral(" = ") + it.value()));
        // The board is ready for the next call.
        QCOMPARE(FocusName(), QStringLiteral("상차지"));
        QCOMPARE(w->sp->MaxRows(), 1);
    }

    // A repeat order: a listed order copied (from the list: arrow, Ctrl+D, Ctrl+S), or the
    // shipper's most frequent lane picked under the code (Alt+C, code, Enter, Enter, Ctrl+S).
    // Copied: lanes, load, fare and shipper, the times on the board's day with their day kinds;
    // never status, vehicle, owner or payment.
    void repeatOrderByKeyboard_data() {
        QTest::addColumn<QString>("flow");
        QTest::addColumn<int>("most");
        QTest::addColumn<Columns>("expected");
        QTest::newRow("copy") << "copy" << 5
                              << Columns{{"상차권역", "경기"}, {"상차지", "수원시 권선구"},
                                         {"상차요청일시", "2026-12-09 10:00"}, {"하차요청일시", "2026-12-10 15:30"},
                                         {"희망톤수", "11톤"}, {"희망차종", "카고"}, {"차량대수", "2"}, {"적재구분", "2"},
                                         {"운임구분", "2"}, {"운송비", "420000"}, {"화물정보1", "철판"}};
        // The latest order of the lane taken three times; its Saturday's 월착 is next Monday's.
        QTest::newRow("lane") << "lane" << 10
                              << Columns{{"상차권역", "충남"}, {"상차지", "천안시 서북구"},
                                         {"상차요청일시", "2026-12-09 08:30"}, {"하차요청일시", "2026-12-14 09:00"},
                                         {"희망톤수", "5톤"}, {"희망차종", "윙바디"}, {"차량대수", "1"}, {"적재구분", "3"},
                                         {"운임구분", "1"}, {"운송비", "450000"}, {"화물정보1", "롤 제품"}};
    }
    void repeatOrderByKeyboard() {
        QFETCH(QString, flow);
        QFETCH(int, most);
        QFETCH(Columns, expected);
        AddShipper();
        const QMap<QString, QString> dispatched = {{"오더상태", "배차완료"}, {"차주명", "김기사"},
                                                   {"차량번호", "서울12가3456"}, {"배차시간", "2026-12-09 09:00:00"},
                                                   {"결제일", "2026-12-20"}, {"화주코드", "1001"},
                                                   {"화물중량", "3톤"}};
        auto order = [&](QMap<QString, QString> values) {
            for (auto it = dispatched.cbegin(); it != dispatched.cend(); ++it)
                if (!values.contains(it.key())) values[it.key()] = it.value();
            return InsertOrder(*store, values);
        };
        QString source;
        if (flow == QStringLiteral("copy")) {
            InsertOrder(*store, {{"화주코드", "1001"}}); // listed first: no vehicle yet
            source = order({{"상차권역", "경기"}, {"상차지", "수원시 권선구"}, {"희망톤수", "11톤"},
                            {"희망차종", "카고"}, {"차량대수", "2"}, {"적재구분", "2"}, {"운임구분", "2"},
                            {"운송비", "420000"}, {"화물정보1", "철판"}});
        } else {
            const QMap<QString, QString> lane = {{"상차권역", "충남"}, {"상차지", "천안시 서북구"},
                                                 {"하차권역", "부산"}, {"하차지", "해운대구 우동"},
                                                 {"희망차종", "윙바디"}, {"희망톤수", "5톤"}};
            auto on = [&](const char* day, QMap<QString, QString> values) {
                values.insert(lane);
                values["날짜"] = QString::fromLatin1(day);
                return order(values);
            };
            on("2026-12-01", {{"운송비", "400000"}});
            on("2026-12-02", {{"운송비", "410000"}});
            source = on("2026-12-05", {{"운송비", "450000"}, {"적재구분", "3"}, {"화물정보1", "롤 제품"},
                                       {"상차요청일시", "2026-12-05 08:30"}, {"하차요청일시", "2026-12-07 09:00"}});
            // Other lanes: once; cancelled; and older than the lanes look back.
            order({{"날짜", "2026-12-03"}, {"하차권역", "경기"}});
            for (int i = 0; i < 4; ++i) {
                order({{"날짜", "2026-12-04"}, {"하차권역", "대구"}, {"오더상태", "취소"}});
                order({{"날짜", "2026-08-01"}, {"하차권역", "광주"}});
            }
            expected.insert({{"하차권역", "부산"}, {"하차지", "해운대구 우동"}});
        }
        PromptScript prompts;
        auto w = OpenBoard();
        if (flow == QStringLiteral("copy")) {
            // The agent is at the list's first order.
            w->sp->setFocus();
            w->sp->SetActiveCell(1, 1);
            QCOMPARE(w->sp->MaxRows(), 2);
            Key(Qt::Key_Down);
            Key(Qt::Key_D, Qt::ControlModifier);
            QCOMPARE(FocusName(), QStringLiteral("상차지"));
        } else {
            Key(Qt::Key_C, Qt::AltModifier);
            Write(QStringLiteral("1001"));
            Key(Qt::Key_Return);
            QTRY_VERIFY(w->fSP->isVisible() && w->fSP->hasFocus());
            // The shipper's lanes, the most frequent first; cancelled and old ones are not offered.
            QCOMPARE(w->fSP->MaxRows(), 2);
            QCOMPARE(w->fSP->GetText(1, 1), QStringLiteral("충남 천안시 서북구 → 부산 해운대구 우동"));
            QCOMPARE(w->fSP->GetText(4, 1), QStringLiteral("450,000"));
            QCOMPARE(w->fSP->GetText(5, 1), QStringLiteral("3"));
            Key(Qt::Key_Return);
            QVERIFY(!w->fSP->isVisible());
        }
        // The copy is typed input, not a shown order: leaving asks.
        QVERIFY(!w->UnsavedInput().isEmpty());
        Key(Qt::Key_S, Qt::ControlModifier);
        qInfo("keystrokes %s %d", qPrintable(flow), keys);
        QVERIFY2(prompts.asked().empty(), qPrintable(prompts.texts().join(u'|')));
        QVERIFY(keys <= most);
        // The count of 접수 follows the reload after the save.
        QCOMPARE(w->상태건수버튼[0]->text(), QString::fromUtf8(flow == QStringLiteral("copy") ? "접수 2" : "접수 1"));

        const QString id = store->value(QStringLiteral("select max(ID) from 화물오더"));
        QVERIFY(id.toLongLong() > source.toLongLong());
        QMap<QString, QString> row = StoredRow(*store, id);
        for (const char* bookkeeping : {"ID", "기록일시", "버전", "요청키"})
            row.remove(QString::fromUtf8(bookkeeping));
        QMap<QString, QString> filled = {{"날짜", "2026-12-09"}, {"오더상태", "접수"}, {"작성아이디", "demo"},
                                         {"작성회사명", "델모라주선"}, {"작성자명", "델모라주선"},
                                         {"작성자연락처", "0212345678"}, {"하차권역", "부산"},
                                         {"하차지", "해운대구 우동"}, {"상차방법", "지게차"},
                                         {"하차방법", "지게차"}, {"수수료", "0"}, {"화주코드", "1001"},
                                         {"화주사업자번호", "1234567890"}, {"화주명", "오뚜기"},
                                         {"화주연락처", "0311112222"}, {"화주대표자", "홍길동"},
                                         {"화주상호", "오뚜기"}, {"화주업태", "제조"}, {"화주종목", "식품"},
                                         {"화주우편번호", "06236"}, {"화주주소1", "서울 강남구"},
                                         {"화주주소2", "1층"}, {"화주계산서담당", "김담당"},
                                         {"화주이메일", "a@b.kr"}};
        filled.insert(expected);
        for (auto it = row.cbegin(); it != row.cend(); ++it)
            QVERIFY2(it.value() == filled.value(it.key()), qPrintable(it.key() + QStringLiteral(" = ") + it.value()));
    }

    // Alt and a status's number list only that status, as its box alone would; again: all.
    void statusCountsNarrowTheList() {
        InsertOrder(*store, {});
        InsertOrder(*store, {{"오더상태", "배차완료"}});
        auto w = OpenBoard();
        QCOMPARE(w->상태건수버튼[2]->text(), QStringLiteral("배차완료 1"));
        Key(Qt::Key_3, Qt::AltModifier);
        QCOMPARE(w->sp->MaxRows(), 1);
        QCOMPARE(w->상태건수버튼[0]->text(), QStringLiteral("접수 -"));
        QVERIFY(w->chk조회구분[2]->isChecked() && !w->chk조회구분[0]->isChecked());
        Key(Qt::Key_3, Qt::AltModifier);
        QCOMPARE(w->sp->MaxRows(), 2);
    }

    // Esc closes the lanes and leaves the panel as it was; a code typed on at once asks nothing.
    void lanesCloseAndNeverWaitOnTyping() {
        AddShipper();
        InsertOrder(*store, {{"날짜", "2026-12-08"}, {"화주코드", "1001"}});
        auto w = OpenBoard();
        Write(QStringLiteral("역삼"));
        Key(Qt::Key_C, Qt::AltModifier);
        Write(QStringLiteral("1001"));
        Key(Qt::Key_Return);
        QTRY_VERIFY(w->fSP->isVisible());
        Key(Qt::Key_Escape);
        QVERIFY(!w->fSP->isVisible());
        QCOMPARE(w->상차지->Text(), QStringLiteral("역삼"));
        QVERIFY(!w->fSP->hasFocus());
        // Typing on right after Enter: no lanes come up over the next field.
        Key(Qt::Key_C, Qt::AltModifier);
        Key(Qt::Key_Return);
        QWidget* next = QApplication::focusWidget();
        Write(QStringLiteral("5"));
        QTest::qWait(400);
        QVERIFY(!w->fSP->isVisible());
        QCOMPARE(QApplication::focusWidget(), next);
    }

    // Alt and a label's letter reach its field from anywhere on the board.
    void labelLettersReachTheirFields_data() {
        QTest::addColumn<char>("letter");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("label");
        QTest::newRow("상차지") << 'S' << "상차지"
                                << "라벨_상차지";
        QTest::newRow("운행방법") << 'R' << "운행구분(0)"
                                  << "라벨_운행방법";
        QTest::newRow("댓수") << 'N' << "댓수"
                              << "라벨_댓수";
        QTest::newRow("제품정보") << 'P' << "제품정보"
                                  << "라벨_제품정보";
        QTest::newRow("상차일시") << 'T' << "상차시"
                                  << "라벨_상차일시";
        QTest::newRow("희망톤수") << 'O' << "희망톤수"
                                  << "라벨_희망톤수";
        QTest::newRow("차종") << 'K' << "차종"
                              << "라벨_차종";
        QTest::newRow("하차지") << 'H' << "하차지"
                                << "라벨_하차지";
        QTest::newRow("운임형태") << 'F' << "운임형태"
                                  << "라벨_운임형태";
        QTest::newRow("금액") << 'G' << "금액"
                              << "라벨_금액";
        QTest::newRow("하차일시") << 'Y' << "하차시"
                                  << "라벨_하차일시";
        QTest::newRow("화주정보") << 'C' << "화주코드"
                                  << "라벨_화주정보";
        QTest::newRow("화물중량") << 'W' << "화물중량"
                                  << "라벨_화물중량";
    }
    void labelLettersReachTheirFields() {
        QFETCH(char, letter);
        QFETCH(QString, field);
        QFETCH(QString, label);
        auto w = OpenBoard();
        QVERIFY(Child<QLabel>(w.get(), label)
                    ->text()
                    .endsWith(QStringLiteral("(&") + QLatin1Char(letter) + u')'));
        w->sp->setFocus();
        Key(Qt::Key(Qt::Key_A + (letter - 'A')), Qt::AltModifier);
        QCOMPARE(FocusName(), field);
    }

    void runKindLetterLandsOnTheSelectedKind() {
        auto w = OpenBoard();
        w->운행구분[2]->click();
        Key(Qt::Key_R, Qt::AltModifier);
        QCOMPARE(FocusName(), QStringLiteral("운행구분(2)"));
    }

    // Typed in one go, a time lands on the entry it spells, or on its half hour.
    void timeListsTakeTypedTimes_data() {
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("lands");
        QTest::newRow("hour") << "09:30"
                              << "14"
                              << "14:00";
        QTest::newRow("the current entry's hour stays") << "14:00"
                                                        << "14"
                                                        << "14:00";
        QTest::newRow("hour from the half hour") << "14:30"
                                                 << "14"
                                                 << "14:00";
        QTest::newRow("four digits") << "09:30"
                                     << "1430"
                                     << "14:30";
        QTest::newRow("with a colon") << "09:30"
                                      << "14:30"
                                      << "14:30";
        QTest::newRow("one digit") << "14:00"
                                   << "9"
                                   << "09:00";
        QTest::newRow("three digits") << "00:00"
                                      << "930"
                                      << "09:30";
        QTest::newRow("leading zero") << "00:00"
                                      << "0730"
                                      << "07:30";
        QTest::newRow("off the list: its half hour") << "00:00"
                                                     << "1445"
                                                     << "14:30";
        QTest::newRow("an early hour") << "11:00"
                                       << "2"
                                       << "02:00";
    }
    void timeListsTakeTypedTimes() {
        QFETCH(QString, current);
        QFETCH(QString, typed);
        QFETCH(QString, lands);
        auto w = OpenBoard();
        for (DropList* list : {w->상차시, w->하차시}) {
            list->setCurrentText(current);
            list->setFocus();
            Write(typed);
            QCOMPARE(list->currentText(), lands);
        }
    }

    // Other lists find an entry by its first syllable or character.
    void listsFindByFirstSyllable_data() {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("lands");
        QTest::newRow("region") << "하차권역"
                                << "부"
                                << "부산";
        QTest::newRow("kind") << "차종"
                              << "카"
                              << "카고";
        QTest::newRow("tonnage") << "희망톤수"
                                 << "2"
                                 << "25톤";
        QTest::newRow("fare") << "운임형태"
                              << "선"
                              << "선착불";
        QTest::newRow("vehicles") << "댓수"
                                  << "3"
                                  << "3";
    }
    void listsFindByFirstSyllable() {
        QFETCH(QString, list);
        QFETCH(QString, typed);
        QFETCH(QString, lands);
        auto w = OpenBoard();
        auto* box = Child<DropList>(w.get(), list);
        box->setFocus();
        Write(typed);
        QCOMPARE(box->currentText(), lands);
    }

    // Save and modify from any field; the buttons say so.
    void shortcutsSaveAndModify_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("procedure");
        QTest::newRow("Ctrl+S") << int(Qt::Key_S) << int(Qt::ControlModifier) << "exec 오더저장";
        QTest::newRow("F2") << int(Qt::Key_F2) << 0 << "exec 오더저장";
        QTest::newRow("Ctrl+M") << int(Qt::Key_M) << int(Qt::ControlModifier) << "exec 오더수정";
        QTest::newRow("F3") << int(Qt::Key_F3) << 0 << "exec 오더수정";
    }
    void shortcutsSaveAndModify() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, procedure);
        InsertOrder(*store, {});
        PromptScript prompts;
        auto w = OpenBoard();
        QVERIFY(w->cmdArr[1]->toolTip().contains(QStringLiteral("Ctrl+S")));
        QVERIFY(w->cmdArr[1]->toolTip().contains(QStringLiteral("F2")));
        QVERIFY(w->cmdArr[2]->toolTip().contains(QStringLiteral("Ctrl+M")));
        QVERIFY(w->cmdArr[2]->toolTip().contains(QStringLiteral("F3")));
        ClickRow(w->sp, 1);
        w->제품정보->setFocus();
        if (procedure.contains(QStringLiteral("수정"))) prompts.answerYes();
        store->clearStatements();
        Key(Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        bool sent = false;
        for (const QString& s : store->statements())
            sent = sent || s.startsWith(procedure);
        QVERIFY2(sent, qPrintable(store->statements().join(u'\n')));
    }

    void enterPressesTheFocusedButton() {
        auto w = OpenBoard();
        w->제품정보->SetText(QStringLiteral("파렛트"));
        PromptScript prompts;
        prompts.answerYes();
        w->cmdArr[5]->setFocus();
        Key(Qt::Key_Return);
        QVERIFY(w->제품정보->Text().isEmpty());
    }

    // A clicked row keeps the keys: Up and Down walk the orders, Enter goes to work on one.
    void listKeepsTheFocusAndEnterEntersThePanel() {
        InsertOrder(*store, {});
        InsertOrder(*store, {{"상차지", "중구 을지로"}});
        PromptScript prompts;
        auto w = OpenBoard();
        ClickRow(w->sp, 1);
        QCOMPARE(FocusName(), QStringLiteral("sp"));
        const QString first = w->상차지->Text();
        Key(Qt::Key_Down);
        QCOMPARE(FocusName(), QStringLiteral("sp"));
        QVERIFY(w->상차지->Text() != first);
        Key(Qt::Key_Return);
        QCOMPARE(FocusName(), QStringLiteral("상차권역"));
        QCOMPARE(w->sp->ActiveRow(), 2);
    }

    // The suggestions are as tall as their rows, up to eight.
    void suggestionsFitTheirRows_data() {
        QTest::addColumn<int>("matches");
        QTest::addColumn<int>("rowsTall");
        QTest::newRow("one") << 1 << 1;
        QTest::newRow("three") << 3 << 3;
        QTest::newRow("twelve") << 12 << 8;
    }
    void suggestionsFitTheirRows() {
        QFETCH(int, matches);
        QFETCH(int, rowsTall);
        for (int i = 0; i < matches; ++i)
            store->exec(QStringLiteral("insert into 좌표주소 (SIDO, SIGUNGU, UPMYENDONG, ADDR) values "
                                       "('경기','시험시','%1동','경기 시험시 %1동')")
                            .arg(i));
        auto w = OpenBoard();
        Write(QStringLiteral("시험"));
        Key(Qt::Key_Return);
        QCOMPARE(w->fSP->MaxRows(), matches);
        const int row = w->fSP->verticalHeader()->defaultSectionSize();
        const int rest = w->fSP->height() - rowsTall * row;
        QVERIFY2(rest > 0 && rest < row + 12, qPrintable(QString::number(rest)));
        QCOMPARE(w->fSP->viewport()->height(), rowsTall * row); // the last row whole
        // As wide as its columns, every text whole, clear of the captions right of the address.
        QCOMPARE(w->fSP->horizontalHeader()->length(), w->fSP->viewport()->width());
        const QFontMetrics metrics(w->fSP->font());
        for (int c = 1; c <= 3; ++c)
            for (int r = 1; r <= w->fSP->MaxRows(); ++r)
                QVERIFY(w->fSP->columnWidth(c - 1) > metrics.horizontalAdvance(w->fSP->GetText(c, r)));
        const auto* caption = Child<QLabel>(w.get(), QStringLiteral("라벨_희망톤수"));
        QVERIFY(w->fSP->mapTo(w.get(), QPoint(w->fSP->width(), 0)).x() <
                caption->mapTo(w.get(), QPoint(0, 0)).x());
    }

    // Entered by Tab or click, a date picker stands on the day.
    void datePickersOpenOnTheDay_data() {
        QTest::addColumn<QString>("picker");
        QTest::newRow("상차일") << "상차일";
        QTest::newRow("하차일") << "하차일";
        QTest::newRow("배차일") << "배차일";
        QTest::newRow("배차기간(0)") << "배차기간(0)";
    }
    void datePickersOpenOnTheDay() {
        QFETCH(QString, picker);
        PromptScript prompts;
        auto w = OpenBoard();
        auto* date = Child<QDateEdit>(w.get(), picker);
        date->setFocus(Qt::TabFocusReason);
        QCOMPARE(date->currentSection(), QDateTimeEdit::DaySection);
        const QDate before = date->date();
        Key(Qt::Key_Up);
        QCOMPARE(date->date(), before.addDays(1));
    }
};

DELMORA_TEST_MAIN(OrderKeyboardTest)
#include "tst_orderkeyboard.moc"
