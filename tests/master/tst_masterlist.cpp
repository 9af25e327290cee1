// The three master lists, driven through their real widgets against a fresh store: statements,
// search results, the rows they show, the hand-over to the pop-ups, export names and widths.
#include "clock.h"
#include "ini.h"
#include "layoutcheck.h"
#include "mainwindow.h"
#include "masterfixture.h"
#include "masterlist.h"
#include "mytext.h"
#include "prompts.h"
#include "screens.h"
#include "spreadgrid.h"
#include "testmain.h"
#include "twips.h"
#include "workscreens.h"

#include <QAction>
#include <QPushButton>
#include <memory>

using namespace MasterFixture;

using Fields = QMap<QString, QString>;

namespace {
const MasterMember* Member(const QString& caption) {
    for (const MasterMember* m : MasterMembers())
        if (m->caption == caption) return m;
    qFatal("no member %s", qPrintable(caption));
}

std::unique_ptr<MasterList> OpenList(const MasterMember& member, QSize size = QSize(1400, 800)) {
    auto list = std::make_unique<MasterList>(member);
    list->resize(size);
    list->show();
    return list;
}

QStringList Tags(const MasterList& list) {
    QStringList tags;
    for (int r = 1; r <= list.sp->MaxRows(); ++r) {
        list.sp->setRow(r);
        list.sp->setCol(1);
        tags << list.sp->CellTag();
    }
    return tags;
}

// One row per member whose filter columns all hold `texts` (the rest of the row is filler).
QString InsertFiltered(TestStore& store, const MasterMember& m, const QStringList& texts, int n) {
    QMap<QString, QString> v;
    if (m.table == QStringLiteral("코드_차주")) v = {{QStringLiteral("아이디"), QStringLiteral("demo")}};
    if (m.table == QStringLiteral("코드_화주")) v = {{QStringLiteral("코드"), QString::number(2000 + n)}};
    for (int i = 0; i < m.filterColumns.size(); ++i)
        v[m.filterColumns[i]] = texts[i];
    const QString id = Insert(store, m.table, v);
    return m.keyField == QStringLiteral("아이디") ? v[QStringLiteral("아이디")] : id;
}
} // namespace

class tst_MasterList : public QObject {
    Q_OBJECT
    std::unique_ptr<TestStore> store;

private slots:
    void init() {
        Clock::set(QDateTime(QDate(2026, 3, 12), QTime(9, 0)));
        SignIn();
        for (const MasterMember* m : MasterMembers())
            WriteIni(QStringLiteral("컬럼폭"), m->caption, QString());
        store = std::make_unique<TestStore>();
    }
    void cleanup() { store.reset(); }

    void statements_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("search");
        QTest::addColumn<QString>("expected");
        QTest::newRow("owners, all") << "차주관리"
                                     << ""
                                     << "select * from 코드_차주 where 1=1 order by 휴대전화,ID";
        QTest::newRow("owners, text") << "차주관리"
                                      << "12가"
                                      << "select * from 코드_차주 where 1=1 and (replace(replace(휴대전화,'-',''),' ','') like '%12가%' or "
                                         "기사명 like '%12가%' or 차량번호 "
                                         "like '%12가%') order by 휴대전화,ID";
        QTest::newRow("shippers, quote") << "화주관리"
                                         << "O'Neil"
                                         << "select * from 코드_화주 where 1=1 and (화주명 like '%O''Neil%' "
                                            "or replace(replace(연락처,'-',''),' ','') like '%O''Neil%' or 회사명 "
                                            "like '%O''Neil%') order by 화주명,ID";
        QTest::newRow("shippers, a phone as the list shows it") << "화주관리"
                                                                << "02-555 6666"
                                                                << "select * from 코드_화주 where 1=1 and (화주명 like "
                                                                   "'%02-555 6666%' or replace(replace(연락처,'-',''),' ','') "
                                                                   "like '%025556666%' or 회사명 like '%02-555 6666%') "
                                                                   "order by 화주명,ID";
        QTest::newRow("brokers, all") << "주선사관리"
                                      << ""
                                      << "select * from 코드_주선사 where 1=1 order by 아이디,ID";
        QTest::newRow("brokers, statement-like text")
            << "주선사관리"
            << "x') or 1=1 --"
            << "select * from 코드_주선사 where 1=1 and (아이디 like '%x'') or 1=1 --%' or 주선사명 like "
               "'%x'') or 1=1 "
               "--%' or replace(replace(연락처,'-',''),' ','') like '%x'')or1=1%') order by 아이디,ID";
    }
    void statements() {
        QFETCH(QString, caption);
        QFETCH(QString, search);
        QFETCH(QString, expected);
        PromptScript prompts;
        auto list = OpenList(*Member(caption));
        list->검색어->SetText(search);
        store->clearStatements();
        QTest::mouseClick(list->cmdArr.at(0), Qt::LeftButton);
        QCOMPARE(store->statements(), QStringList{expected});
        // Enter in the search box searches too.
        store->clearStatements();
        QTest::keyClick(list->검색어, Qt::Key_Return);
        QCOMPARE(store->statements(), QStringList{expected});
        QVERIFY(prompts.asked().empty());
    }

    // A row matching the search in any one filter column is listed, whichever column it is.
    void searchFindsAnyOneColumn_data() {
        QTest::addColumn<QString>("caption");
        QTest::newRow("owners") << "차주관리";
        QTest::newRow("shippers") << "화주관리";
        QTest::newRow("brokers") << "주선사관리";
    }
    void searchFindsAnyOneColumn() {
        QFETCH(QString, caption);
        const MasterMember& m = *Member(caption);
        // Owners are keyed by broker id, so give each its own id through the first insert's map.
        QStringList expected;
        const QStringList filler = {QStringLiteral("01099990001"), QStringLiteral("무관"),
                                    QStringLiteral("무관")};
        for (int hit = 0; hit < 3; ++hit) {
            QStringList texts;
            for (int c = 0; c < 3; ++c)
                texts << (c == hit ? QStringLiteral("x찾을말'") + QString::number(hit)
                                   : QStringLiteral("다른%1_%2").arg(hit).arg(c));
            const QString key = InsertFiltered(*store, m, texts, hit);
            expected << key;
        }
        InsertFiltered(*store, m, {QStringLiteral("없음1"), QStringLiteral("없음2"), QStringLiteral("없음3")},
                       9);
        PromptScript prompts;
        auto list = OpenList(m);
        QCOMPARE(list->sp->MaxRows(), 4);
        list->검색어->SetText(QStringLiteral("찾을말'"));
        QTest::mouseClick(list->cmdArr.at(0), Qt::LeftButton);
        QCOMPARE(list->sp->MaxRows(), 3);
        if (m.keyField != QStringLiteral("아이디")) {
            QStringList tags = Tags(*list);
            tags.sort();
            expected.sort();
            QCOMPARE(tags, expected);
        }
        QVERIFY(prompts.asked().empty());
    }

    // A phone typed as the lists show it finds the record stored without dashes, and the other
    // way round.
    void dashedPhoneFindsTheRecord_data() { searchFindsAnyOneColumn_data(); }
    void dashedPhoneFindsTheRecord() {
        QFETCH(QString, caption);
        const MasterMember& m = *Member(caption);
        qsizetype phone = -1;
        for (const MasterColumn& c : m.columns)
            if (c.format == CellFormat::Phone) phone = m.filterColumns.indexOf(c.field);
        QVERIFY(phone >= 0);
        const QStringList stored = {QStringLiteral("01055556666"), QStringLiteral("010-5555-7777"),
                                    QStringLiteral("01099998888")};
        for (int n = 0; n < 3; ++n) {
            QStringList texts = {QStringLiteral("가%1").arg(n), QStringLiteral("나%1").arg(n),
                                 QStringLiteral("다%1").arg(n)};
            texts[phone] = stored[n];
            InsertFiltered(*store, m, texts, n);
        }
        PromptScript prompts;
        auto list = OpenList(m);
        for (const QString& typed : {QStringLiteral("010-5555-6666"), QStringLiteral("010 5555 7777")}) {
            list->검색어->SetText(typed);
            QTest::mouseClick(list->cmdArr.at(0), Qt::LeftButton);
            QCOMPARE(list->sp->MaxRows(), 1);
        }
        QVERIFY(prompts.asked().empty());
    }

    void rowsShowFormattedNumbersAndKeepTheKey_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<Fields>("row");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QString>("tagField"); // "" = the row's ID
        QTest::newRow("owner") << "차주관리" << FullOwner()
                               << QStringList{"경기12바3456", "김기사",      "010-1234-5678",
                                              "카고",         "O'Neil 운수", "123-45-67890",
                                              "운수",         "화물",        "car@naver.com"}
                               << "아이디";
        const Fields company = {{"사업자번호", "2208112345"},
                                {"주소1", "서울 강남구"},
                                {"주소2", "1-1"},
                                {"업태", "제조"},
                                {"종목", "전자"},
                                {"우편번호", "06000"},
                                {"우편주소1", "서울"},
                                {"우편주소2", "역삼"},
                                {"대표자", "이대표"},
                                {"연락처", "0212345678"}};
        Fields shipper = company;
        shipper["코드"] = "1001";
        shipper["화주명"] = "한빛'상사";
        shipper["회사명"] = "(주)한빛";
        QTest::newRow("shipper") << "화주관리" << shipper
                                 << QStringList{"한빛'상사",    "02-1234-5678", "(주)한빛", "이대표",
                                                "220-81-12345", "서울 강남구",  "1-1",      "제조",
                                                "전자",         "06000",        "서울",     "역삼"}
                                 << "";
        Fields broker = company;
        broker["아이디"] = "busan01";
        broker["주선사명"] = "부산주선";
        QTest::newRow("broker") << "주선사관리" << broker
                                << QStringList{"busan01",      "부산주선",    "02-1234-5678", "이대표",
                                               "220-81-12345", "서울 강남구", "1-1",          "제조",
                                               "전자",         "06000",       "서울",         "역삼"}
                                << "";
    }
    void rowsShowFormattedNumbersAndKeepTheKey() {
        QFETCH(QString, caption);
        QFETCH(Fields, row);
        QFETCH(QStringList, shown);
        QFETCH(QString, tagField);
        const MasterMember& m = *Member(caption);
        const QString id = Insert(*store, m.table, row);
        PromptScript prompts;
        auto list = OpenList(m);
        QCOMPARE(list->windowTitle(), caption);
        QCOMPARE(list->objectName(), m.screen);
        QCOMPARE(list->sp->MaxRows(), 1);
        QCOMPARE(list->sp->RowTexts(1), shown);
        QCOMPARE(Tags(*list), QStringList{tagField.isEmpty() ? id : row[tagField]});
        QStringList headers;
        for (const MasterColumn& c : m.columns)
            headers << c.header;
        QStringList gridHeaders;
        for (int c = 1; c <= list->sp->MaxCols(); ++c)
            gridHeaders << list->sp->GetText(c, 0);
        QCOMPARE(gridHeaders, headers);
        QCOMPARE(list->cmdArr.count(2) == 1, !m.registerCaption.isEmpty());
    }

    // What a double-click hands to the pop-up, and whether the list reloads afterwards.
    void openRecord_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("writes");
        QTest::addColumn<QString>("popup"); // "" = none opens
        QTest::addColumn<bool>("reloads");
        QTest::newRow("header row") << "차주관리" << 0 << false << "" << false;
        QTest::newRow("blank key") << "차주관리" << 2 << false << "" << false;
        QTest::newRow("owner, closed unchanged") << "차주관리" << 1 << false << "popCar" << false;
        QTest::newRow("owner, written") << "차주관리" << 1 << true << "popCar" << true;
        QTest::newRow("shipper, written") << "화주관리" << 1 << true << "popHwaju" << true;
        QTest::newRow("broker, closed unchanged") << "주선사관리" << 1 << false << "popJuseonsa" << false;
    }
    void openRecord() {
        QFETCH(QString, caption);
        QFETCH(int, row);
        QFETCH(bool, writes);
        QFETCH(QString, popup);
        QFETCH(bool, reloads);
        const MasterMember& m = *Member(caption);
        QString key;
        if (caption == QStringLiteral("차주관리")) {
            Insert(*store, m.table, FullOwner());
            // Sorted after the first by phone, with a blank broker id.
            Insert(*store, m.table, {{"아이디", "  "}, {"휴대전화", "01099998888"}});
            key = QStringLiteral("demo");
        } else if (caption == QStringLiteral("화주관리")) {
            key = Insert(*store, m.table, {{"코드", "1001"}, {"화주명", "가"}});
        } else {
            key = Insert(*store, m.table, {{"아이디", "aa"}});
        }
        PromptScript prompts;
        auto list = OpenList(m);
        SelectedKey = QStringLiteral("before");
        SelectedPhone = QStringLiteral("before");
        DataChanged = true;
        store->clearStatements();
        QString keySeen, phoneSeen;
        bool changedSeen = true;
        {
            ModalHook hook([&](QDialog*) {
                keySeen = SelectedKey;
                phoneSeen = SelectedPhone;
                changedSeen = DataChanged;
                if (writes) DataChanged = true;
            });
            list->OpenRecord(2, row);
            QCoreApplication::processEvents();
            QCOMPARE(hook.shown, popup);
        }
        if (popup.isEmpty()) {
            QCOMPARE(SelectedKey, QStringLiteral("before"));
            QVERIFY(store->statements().isEmpty());
            return;
        }
        QCOMPARE(keySeen, key);
        QVERIFY(!changedSeen);
        if (caption == QStringLiteral("차주관리")) QCOMPARE(phoneSeen, QStringLiteral("01012345678"));
        const QString listStatement = MasterListStatement(m, {});
        QCOMPARE(store->statements().contains(listStatement), reloads);
    }

    void registrationOpensAnEmptyPopup_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("popup");
        QTest::newRow("shipper") << "화주관리"
                                 << "    화주등록"
                                 << "popHwaju";
        QTest::newRow("broker") << "주선사관리"
                                << "    주선사등록"
                                << "popJuseonsa";
    }
    void registrationOpensAnEmptyPopup() {
        QFETCH(QString, caption);
        QFETCH(QString, button);
        QFETCH(QString, popup);
        PromptScript prompts;
        auto list = OpenList(*Member(caption));
        QCOMPARE(list->cmdArr.at(2)->text(), button);
        SelectedKey = QStringLiteral("7");
        QString keySeen = QStringLiteral("unset");
        ModalHook hook([&](QDialog*) { keySeen = SelectedKey; });
        QTest::mouseClick(list->cmdArr.at(2), Qt::LeftButton);
        QCOMPARE(hook.shown, popup);
        QCOMPARE(keySeen, QString());
    }

    void exportProposesPrefixAndDay_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("name");
        QTest::newRow("owners") << "차주관리"
                                << "차주관리_260312";
        QTest::newRow("shippers") << "화주관리"
                                  << "화주관리_260312";
        QTest::newRow("brokers") << "주선사관리"
                                 << "주선사관리_260312";
    }
    void exportProposesPrefixAndDay() {
        QFETCH(QString, caption);
        QFETCH(QString, name);
        PromptScript prompts;
        prompts.answerSaveAs(QString()); // cancelled: nothing written
        auto list = OpenList(*Member(caption));
        QTest::mouseClick(list->cmdArr.at(1), Qt::LeftButton);
        QCOMPARE(prompts.asked().size(), size_t(1));
        QCOMPARE(prompts.asked()[0].defaultValue, name);
    }

    // Nothing stored: the fit columns share the spare width, the others keep their design
    // width; a drag stores all widths, and they come back at the next layout.
    void widthsFittedSavedRestored_data() {
        QTest::addColumn<QString>("caption");
        QTest::newRow("owners") << "차주관리";
        QTest::newRow("shippers") << "화주관리";
        QTest::newRow("brokers") << "주선사관리";
    }
    void widthsFittedSavedRestored() {
        QFETCH(QString, caption);
        const MasterMember& m = *Member(caption);
        auto list = OpenList(m, QSize(1500, 700));
        SpreadGrid& g = *list->sp;
        g.setUnitType(WidthUnit::Twips);
        double sum = 0;
        for (int c = 0; c <= g.MaxCols(); ++c)
            sum += g.ColWidth(c);
        g.setUnitType(WidthUnit::Normal);
        // Pixel rounding of each column: within one pixel per column.
        QVERIFY2(qAbs(PxToTwips(g.width()) - 500 - sum) <= 15 * (g.MaxCols() + 1),
                 qPrintable(QStringLiteral("grid %1 columns %2").arg(PxToTwips(g.width())).arg(sum)));
        for (size_t i = 0; i < m.columns.size(); ++i) {
            const int c = int(i) + 1;
            const bool fit = std::find(m.fitColumns.begin(), m.fitColumns.end(), c) != m.fitColumns.end();
            // Widths are whole pixels: within one of the design width. Phones and business
            // numbers are sized to their longest form instead.
            if (!fit && m.columns[i].width >= 0 && m.columns[i].format == CellFormat::AsStored) QVERIFY(qAbs(g.ColWidth(c) - m.columns[i].width) <= 0.125);
            if (fit) QVERIFY(g.ColWidth(c) > m.columns[i].width);
        }
        QCOMPARE(g.RowHeight(0), 18.0);

        // A drag: every width is stored, and restored at the next layout whatever the window.
        g.setColWidth(1, 20);
        Q_EMIT g.ColWidthChange(1, 1);
        const QString stored = ReadIni(QStringLiteral("컬럼폭"), m.caption);
        QCOMPARE(stored.split(u',').size(), g.MaxCols());
        QCOMPARE(stored.split(u',').first(), QStringLiteral("20"));
        QList<double> before;
        for (int c = 1; c <= g.MaxCols(); ++c)
            before << g.ColWidth(c);
        list->resize(900, 600);
        list->ApplyLayout();
        QList<double> after;
        for (int c = 1; c <= g.MaxCols(); ++c)
            after << g.ColWidth(c);
        QCOMPARE(after, before);
    }

    // A narrow window narrows the fit columns but never makes one vanish.
    void narrowWindowKeepsColumnsVisible() {
        auto list = OpenList(CarListMember(), QSize(300, 300));
        for (int c : CarListMember().fitColumns)
            QVERIFY(list->sp->ColWidth(c) > 0);
    }

    // The desks' screens: nothing lies on anything or leaves the screen, every column shows
    // its header whole (the grid scrolls sideways instead of squeezing them).
    void fitsTheDeskScreens_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QSize>("size");
        for (const MasterMember* m : MasterMembers())
            for (const QSize& size : LayoutCheck::DeskSizes)
                QTest::addRow("%s %dx%d", qPrintable(m->caption), size.width(), size.height()) << m->caption << size;
    }
    void fitsTheDeskScreens() {
        QFETCH(QString, caption);
        QFETCH(QSize, size);
        auto list = OpenList(*Member(caption), size);
        const QStringList faults = LayoutCheck::Faults(list.get());
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
    }

    // Registered screens: menu items and buttons enabled, each opens by its caption.
    void registeredWithTheMainWindow() {
        PromptScript prompts;
        RegisterWorkScreens();
        auto main = std::make_unique<frmMain>();
        main->setEnabled(true);
        main->resize(1400, 900);
        main->show();
        for (const MasterMember* m : MasterMembers()) {
            auto* item = main->findChild<QAction*>(QStringLiteral("메뉴_") + m->caption);
            QVERIFY(item);
            QVERIFY(item->isEnabled());
            QWidget* screen = OpenScreen(m->caption);
            QVERIFY(screen);
            QCOMPARE(screen->objectName(), m->screen);
        }
        QCOMPARE(OpenScreen(QStringLiteral("차주관리")), OpenedScreen(QStringLiteral("차주관리")));
    }
};

DELMORA_TEST_MAIN(tst_MasterList)
#include "tst_masterlist.moc"
