// The order detail pop-up: what each stored value shows as, against a fresh store, and that it
// never writes.
#include "boardfixture.h"
#include "droplist.h"
#include "mytext.h"
#include "poporder.h"
#include "prompts.h"
#include "testmain.h"

#include <QDateEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QWheelEvent>

using namespace BoardFixture;

namespace {
// What a control shows, as one text: a list its entry ("<none>" without one), an option row
// the index of its selected option (-1 for none), a box or picker its text.
QString Shown(popOrder& d, const QString& control) {
    const auto checked = [](const std::array<QRadioButton*, 3>& options) {
        for (int i = 0; i < 3; ++i)
            if (options[size_t(i)]->isChecked()) return QString::number(i);
        return QStringLiteral("-1");
    };
    if (control == QStringLiteral("상차일구분")) return checked(d.상차일구분);
    if (control == QStringLiteral("하차일구분")) return checked(d.하차일구분);
    if (control == QStringLiteral("운행구분")) return checked(d.운행구분);
    QWidget* w = d.findChild<QWidget*>(control);
    if (!w) return QStringLiteral("<no control>");
    if (auto* list = qobject_cast<DropList*>(w))
        return list->currentIndex() < 0 ? QStringLiteral("<none>") : list->currentText();
    if (auto* box = qobject_cast<MyText*>(w)) return box->Text();
    if (auto* picker = qobject_cast<QDateEdit*>(w)) return picker->text();
    return QStringLiteral("<unknown kind>");
}
} // namespace

class PopOrderTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TestStore> store;

private slots:
    void init() {
        Clock::set(Morning());
        SignIn();
        store = std::make_unique<TestStore>();
    }
    void cleanup() { store.reset(); }

    void shows_data() {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("expected");
        // The order's date is Wednesday 2026-12-09 unless a row changes it.
        QTest::newRow("loading on the order's day: 당일") << "상차요청일시"
                                                          << "2026-12-09 10:00"
                                                          << "상차일구분"
                                                          << "0";
        QTest::newRow("the next day: 익일") << "상차요청일시"
                                            << "2026-12-10 10:00"
                                            << "상차일구분"
                                            << "1";
        QTest::newRow("a later Monday: 월착") << "하차요청일시"
                                              << "2026-12-14 10:00"
                                              << "하차일구분"
                                              << "2";
        QTest::newRow("two days on, no Monday: none") << "하차요청일시"
                                                      << "2026-12-11 10:00"
                                                      << "하차일구분"
                                                      << "-1";
        QTest::newRow("the date itself") << "하차요청일시"
                                         << " 2026-12-11 10:00 "
                                         << "하차일"
                                         << "2026-12-11";
        QTest::newRow("no date: shown as stored") << "상차요청일시"
                                                  << "추후협의"
                                                  << "상차일"
                                                  << "추후협의";
        QTest::newRow("no date: no kind") << "상차요청일시"
                                          << "추후협의"
                                          << "상차일구분"
                                          << "-1";
        QTest::newRow("09:45 as stored") << "상차요청일시"
                                         << "2026-12-09 09:45"
                                         << "상차시"
                                         << "09:45";
        QTest::newRow("09:30 stays") << "상차요청일시"
                                     << "2026-12-09 09:30"
                                     << "상차시"
                                     << "09:30";
        QTest::newRow("09:10 as stored") << "하차요청일시"
                                         << "2026-12-10 09:10"
                                         << "하차시"
                                         << "09:10";
        QTest::newRow("no time: no entry") << "하차요청일시"
                                           << "2026-12-10"
                                           << "하차시"
                                           << "<none>";
        QTest::newRow("region with blanks") << "상차권역"
                                            << "  경북 "
                                            << "상차권역"
                                            << "경북";
        QTest::newRow("region off the list") << "하차권역"
                                             << "제주"
                                             << "하차권역"
                                             << "";
        QTest::newRow("tonnage on the list") << "희망톤수"
                                             << "1.5톤"
                                             << "희망톤수"
                                             << "1.5톤";
        QTest::newRow("tonnage off the list") << "희망톤수"
                                              << "4.5톤"
                                              << "희망톤수"
                                              << "4.5톤";
        QTest::newRow("kind off the list") << "희망차종"
                                           << "탑차"
                                           << "차종"
                                           << "탑차";
        QTest::newRow("kind on the list") << "희망차종"
                                          << "카고"
                                          << "차종"
                                          << "카고";
        QTest::newRow("run 2: 혼적") << "적재구분"
                                     << "2"
                                     << "운행구분"
                                     << "1";
        QTest::newRow("run 3: 왕복") << "적재구분"
                                     << "3"
                                     << "운행구분"
                                     << "2";
        QTest::newRow("run empty: 독차") << "적재구분"
                                         << ""
                                         << "운행구분"
                                         << "0";
        QTest::newRow("fare 1: 인수증") << "운임구분"
                                        << "1"
                                        << "운임형태"
                                        << "인수증";
        QTest::newRow("fare 2: 선착불") << "운임구분"
                                        << "2"
                                        << "운임형태"
                                        << "선착불";
        QTest::newRow("fare empty: 선착불") << "운임구분"
                                            << ""
                                            << "운임형태"
                                            << "선착불";
        QTest::newRow("댓수 as stored") << "차량대수"
                                        << "3"
                                        << "댓수"
                                        << "3";
        QTest::newRow("status") << "오더상태"
                                << "배차완료"
                                << "오더상태"
                                << "배차완료";
        QTest::newRow("dispatch time, as the lists show it") << "배차시간"
                                                             << "2026-12-09 11:20"
                                                             << "배차시간"
                                                             << "2026-12-09 11:20:00";
        QTest::newRow("dispatch time to the second") << "배차시간"
                                                     << "2026-12-09T11:30:16.500"
                                                     << "배차시간"
                                                     << "2026-12-09 11:30:16";
        QTest::newRow("amount as stored") << "운송비"
                                          << "350000"
                                          << "금액"
                                          << "350000";
        QTest::newRow("phone as stored") << "차주연락처"
                                         << "01012345678"
                                         << "차주연락처"
                                         << "01012345678";
        QTest::newRow("shipper code") << "화주코드"
                                      << "S'01"
                                      << "화주코드"
                                      << "S'01";
        QTest::newRow("shipper name") << "화주명"
                                      << "㈜한빛물류"
                                      << "화주명"
                                      << "㈜한빛물류";
    }
    void shows() {
        QFETCH(QString, column);
        QFETCH(QString, value);
        QFETCH(QString, control);
        QFETCH(QString, expected);
        SelectedKey = InsertOrder(*store, {{column, value}});
        PromptScript prompts;
        popOrder d;
        QCOMPARE(Shown(d, control), expected);
        if (auto* box = d.findChild<MyText*>(control)) // shown whole, frame and margins aside
            QVERIFY(box->width() - 8 >= box->fontMetrics().horizontalAdvance(expected));
        QVERIFY(prompts.asked().empty());
    }

    // A loading date equal to the order's date is 당일 even on a Monday.
    void mondayOrderSameDay() {
        SelectedKey =
            InsertOrder(*store, {{QStringLiteral("날짜"), QStringLiteral("2026-12-14")},
                                 {QStringLiteral("상차요청일시"), QStringLiteral("2026-12-14 08:00")}});
        popOrder d;
        QVERIFY(d.상차일구분[0]->isChecked());
        QCOMPARE(d.배차일->text(), QStringLiteral("2026-12-14"));
    }

    void vehicleOwnerBlock() {
        SelectedKey = InsertOrder(*store, {{QStringLiteral("차주명"), QStringLiteral("김기사")},
                                           {QStringLiteral("차량번호"), QStringLiteral("경기12가3456")},
                                           {QStringLiteral("차량정보"), QStringLiteral(" 윙바디")},
                                           {QStringLiteral("차량톤수"), QStringLiteral("5톤")},
                                           {QStringLiteral("차량길이"), QStringLiteral("6.2")},
                                           {QStringLiteral("차량길이2"), QStringLiteral("30")}});
        popOrder d;
        QCOMPARE(d.차주명->Text(), QStringLiteral("김기사"));
        QCOMPARE(d.차량번호->Text(), QStringLiteral("경기12가3456"));
        QCOMPARE(d.차량정보->Text(), QStringLiteral("윙바디 5톤 6.2m"));
    }

    // A key that names no order leaves every control as the lists were filled, without a word.
    void missingKey_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("statement");
        QTest::newRow("no such order") << "999"
                                       << "select * from 화물오더 where ID=999";
        QTest::newRow("not a number") << "1 or 1=1"
                                      << "select * from 화물오더 where ID=1";
        QTest::newRow("text") << "abc"
                              << "select * from 화물오더 where ID=0";
        QTest::newRow("empty") << ""
                               << "select * from 화물오더 where ID=0";
    }
    void missingKey() {
        QFETCH(QString, key);
        QFETCH(QString, statement);
        if (key != QStringLiteral("1 or 1=1")) InsertOrder(*store, {});
        SelectedKey = key;
        PromptScript prompts;
        store->clearStatements();
        popOrder d;
        QCOMPARE(store->statements(), QStringList{statement});
        if (key == QStringLiteral("1 or 1=1")) return; // no order 1 in this store either
        QCOMPARE(d.상차권역->currentIndex(), 0);
        QCOMPARE(d.상차시->currentIndex(), -1);
        QCOMPARE(d.희망톤수->currentIndex(), 0);
        QCOMPARE(d.운임형태->currentText(), QStringLiteral("인수증"));
        QCOMPARE(d.차종->currentText(), QStringLiteral("윙바디"));
        QVERIFY(d.상차지->Text().isEmpty());
        QVERIFY(prompts.asked().empty());
    }

    void listsAsTheEntryPanelHasThem() {
        SelectedKey.clear();
        popOrder d;
        QCOMPARE(d.windowTitle(), QStringLiteral("오더정보"));
        QCOMPARE(d.상차권역->count(), 17);
        QCOMPARE(d.하차시->count(), 48);
        QCOMPARE(d.하차시->itemText(47), QStringLiteral("23:30"));
        QCOMPARE(d.희망톤수->count(), 13);
        QCOMPARE(d.희망톤수->itemText(12), QStringLiteral("25톤"));
        QCOMPARE(d.댓수->count(), 9);
        QCOMPARE(d.차종->count(), 4);
    }

    // Nothing can be typed, nothing is sent but the one read, Esc closes, the focus starts in
    // the hidden box.
    void readOnly() {
        SelectedKey = InsertOrder(*store, {});
        PromptScript prompts;
        store->clearStatements();
        popOrder d;
        d.show();
        QApplication::setActiveWindow(&d);
        QVERIFY(QTest::qWaitForWindowActive(&d));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(d.hFocus));
        const QString before = d.상차지->Text();
        d.상차지->setFocus();
        QTest::keyClicks(d.상차지, QStringLiteral("xyz"));
        QCOMPARE(d.상차지->Text(), before);
        // Options and lists only show: a click toggles nothing, a wheel turns nothing, Tab passes
        // them by.
        for (QRadioButton* option : d.운행구분) {
            QTest::mouseClick(option, Qt::LeftButton);
            QCOMPARE(option->focusPolicy(), Qt::NoFocus);
        }
        QVERIFY(d.운행구분[0]->isChecked());
        QWheelEvent wheel(QPointF(5, 5), d.희망톤수->mapToGlobal(QPointF(5, 5)), {}, QPoint(0, -120),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(d.희망톤수, &wheel);
        QCOMPARE(d.희망톤수->currentText(), QStringLiteral("5톤"));
        QCOMPARE(d.희망톤수->focusPolicy(), Qt::NoFocus);
        QCOMPARE(store->statements().size(), 1);
        QTest::keyClick(&d, Qt::Key_Escape);
        QVERIFY(!d.isVisible());
        d.show();
        QTest::mouseClick(d.닫기, Qt::LeftButton);
        QVERIFY(!d.isVisible());
        QVERIFY(prompts.asked().empty());
    }
};

DELMORA_TEST_MAIN(PopOrderTest)
#include "tst_poporder.moc"
