// 계산서관리 driven through its real widgets against a fresh store: the list, its search and the
// view a double-click opens.
#include "accountsfixture.h"
#include "frmformainlist.h"
#include "ini.h"
#include "layoutcheck.h"
#include "mytext.h"
#include "popformain.h"
#include "prompts.h"
#include "testmain.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTimer>

using namespace BoardFixture;
using namespace AccountsFixture;

class FrmFormainListTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TestStore> store;
    QString kim, lee, park;

private slots:
    void init() {
        Clock::set(Morning());
        SignIn();
        WriteIni(QStringLiteral("컬럼폭"), QStringLiteral("계산서관리"), QString());
        store = std::make_unique<TestStore>();
        kim = InsertInvoice(*store, {});
        lee = InsertInvoice(*store, {{QStringLiteral("기사명"), QStringLiteral("이민호")},
                                     {QStringLiteral("휴대전화"), QStringLiteral("01055556666")},
                                     {QStringLiteral("차량번호"), QStringLiteral("부산34나7890")},
                                     {QStringLiteral("공급가액"), QStringLiteral("880000")},
                                     {QStringLiteral("세액"), QStringLiteral("0")},
                                     {QStringLiteral("niceStatus"), QStringLiteral("")},
                                     {QStringLiteral("DocStatus"), QStringLiteral("E-301")}});
        park = InsertInvoice(*store, {{QStringLiteral("기사명"), QStringLiteral("박O'Brien")},
                                      {QStringLiteral("휴대전화"), QStringLiteral("01077778888")},
                                      {QStringLiteral("차량번호"), QStringLiteral("인천56다1234")}});
    }
    void cleanup() { store.reset(); }

    // The desks' screens: nothing lies on anything or leaves the screen, every column shows
    // its header whole (the grid scrolls sideways instead of squeezing them); the search hint
    // beside the buttons makes way where the box's own says the same.
    void fitsTheDeskScreens_data() { LayoutCheck::AddDeskSizeRows(); }
    void fitsTheDeskScreens() {
        QFETCH(QSize, size);
        FitsTheDesk<frmFormainList>(size);
    }

    void listsEveryInvoiceOldestFirst() {
        PromptScript prompts;
        auto w = Show<frmFormainList>();
        QCOMPARE(w->windowTitle(), QStringLiteral("계산서관리"));
        QCOMPARE(w->sp->MaxRows(), 3);
        QCOMPARE(w->RowKey(1), kim);
        QCOMPARE(w->RowKey(2), lee);
        QCOMPARE(w->RowKey(3), park);
        QCOMPARE(w->sp->RowTexts(1),
                 (QStringList{"2026-11-30 14:05:00", "김철수", "경기12가3456", "kim@example.com",
                              "운송료(서울→부산)", "1,500,000", "150,000", "1,650,000",
                              "20261130-41000123-12345678", "발행완료", "신고완료"}));
        // Status values exactly as stored, empty and codes included.
        QCOMPARE(w->sp->GetText(10, 2), QString());
        QCOMPARE(w->sp->GetText(11, 2), QStringLiteral("E-301"));
        QCOMPARE(w->sp->GetText(7, 2), QStringLiteral("0"));
        QVERIFY(prompts.asked().empty());
    }

    void searchFindsByAnyOfTheThree_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("found"); // by driver
        QTest::newRow("driver name alone") << "이민호" << QStringList{"이민호"};
        QTest::newRow("phone alone") << "5555" << QStringList{"이민호"};
        QTest::newRow("phone as shown") << "010-7777-8888" << QStringList{"박O'Brien"};
        QTest::newRow("vehicle alone") << "56다" << QStringList{"박O'Brien"};
        QTest::newRow("quote") << "O'B" << QStringList{"박O'Brien"};
        QTest::newRow("everyone") << "" << QStringList{"김철수", "이민호", "박O'Brien"};
        QTest::newRow("nobody") << "' or ''='" << QStringList{};
    }
    void searchFindsByAnyOfTheThree() {
        QFETCH(QString, typed);
        QFETCH(QStringList, found);
        PromptScript prompts;
        auto w = Show<frmFormainList>();
        w->검색어->SetText(typed);
        Click(w.get(), QStringLiteral("cmdArr(0)"));
        QStringList drivers;
        for (int r = 1; r <= w->sp->MaxRows(); ++r)
            drivers << w->sp->GetText(2, r);
        QCOMPARE(drivers, found);
        QVERIFY2(prompts.asked().empty(), qPrintable(prompts.texts().join(u'|')));
    }

    void doubleClickOpensTheInvoice_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("opens");
        QTest::newRow("second row") << 2 << true;
        QTest::newRow("header row") << 0 << false;
    }
    void doubleClickOpensTheInvoice() {
        QFETCH(int, row);
        QFETCH(bool, opens);
        PromptScript prompts;
        auto w = Show<frmFormainList>();
        SelectedKey.clear();
        QString seenTitle, seenSupplier, seenKey;
        // Looks for the modal view while it runs, then closes it as a user would.
        QTimer watch;
        watch.setInterval(10);
        connect(&watch, &QTimer::timeout, [&] {
            auto* view = qobject_cast<popFormain*>(QApplication::activeModalWidget());
            if (!view) return;
            watch.stop();
            seenTitle = view->windowTitle();
            seenKey = SelectedKey;
            seenSupplier = view->tsp->GetText(5, 4);
            QTest::keyClick(view, Qt::Key_Escape); // Esc closes the view
        });
        watch.start();
        // A double click is a click and then the second press.
        if (row > 0) {
            QTest::mouseClick(w->sp->viewport(), Qt::LeftButton, {}, CellCentre(w->sp, 2, row));
            QTest::mouseDClick(w->sp->viewport(), Qt::LeftButton, {}, CellCentre(w->sp, 2, row));
        } else {
            auto* header = w->sp->horizontalHeader();
            const QPoint at(header->sectionViewportPosition(1) + 5, header->height() / 2);
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseDClick(header->viewport(), Qt::LeftButton, {}, at);
        }
        QTest::qWait(30); // a view that should not open has had its chance
        watch.stop();
        QCOMPARE(seenTitle, opens ? QStringLiteral("세금계산서") : QString());
        QCOMPARE(seenKey, opens ? lee : QString());
        QCOMPARE(seenSupplier, opens ? QStringLiteral("한빛운수") : QString());
        QVERIFY(!QApplication::activeModalWidget());
    }

    void exportsUnderTheScreensName() {
        PromptScript prompts;
        auto w = Show<frmFormainList>();
        prompts.answerSaveAs({}); // cancelled: nothing written, nothing said
        Click(w.get(), QStringLiteral("cmdArr(1)"));
        QCOMPARE(prompts.asked().size(), size_t(1));
        QCOMPARE(prompts.asked().front().defaultValue, QStringLiteral("계산서관리_261209"));
    }
};

DELMORA_TEST_MAIN(FrmFormainListTest)
#include "tst_frmformainlist.moc"
