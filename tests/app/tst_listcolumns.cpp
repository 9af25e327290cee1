// Every list at a 1366-pixel desk: the columns an agent reads to the letter (codes, phones,
// business numbers, dates, amounts, statuses) show their texts whole, amounts and numbers in
// one form, and a fitted list keeps its widths through a reload.
#include "clock.h"
#include "frmjungsanlist.h"
#include "frmorder.h"
#include "frmorderlist.h"
#include "ini.h"
#include "layoutcheck.h"
#include "masterlist.h"
#include "mastermember.h"
#include "signin.h"
#include "spreadgrid.h"
#include "spreadmodel.h"
#include "testmain.h"
#include "teststore.h"

#include <QHeaderView>
#include <QPushButton>

namespace {
std::unique_ptr<WorkScreen> Build(const QString& caption) {
    if (caption == QStringLiteral("오더등록")) {
        auto board = std::make_unique<frmOrder>();
        board->Timer1->stop();
        return board;
    }
    if (caption == QStringLiteral("오더조회")) return std::make_unique<frmOrderList>();
    if (caption == QStringLiteral("정산관리")) return std::make_unique<frmJungsanList>();
    for (const MasterMember* m : MasterMembers())
        if (m->caption == caption) return std::make_unique<MasterList>(*m);
    qFatal("no screen %s", qPrintable(caption));
}

// What the view's own delegate needs for the column's shown rows.
struct ViewPeek : QTableView {
    static int Needed(const QTableView& view, int col) {
        int (QTableView::*hint)(int) const = &ViewPeek::sizeHintForColumn;
        return (view.*hint)(col);
    }
};

int ColumnOf(const SpreadGrid& grid, const QString& header) {
    for (int c = 0; c < grid.model()->columnCount(); ++c)
        if (grid.model()->headerData(c, Qt::Horizontal).toString() == header) return c;
    return -1;
}
} // namespace

class ListColumnsTest : public QObject {
    Q_OBJECT
    std::unique_ptr<TestStore> store;

private slots:
    void init() {
        Clock::set(QDateTime(QDate(2026, 12, 9), QTime(9, 40)));
        LoginId = QStringLiteral("demo");
        RowHeightSetting = QStringLiteral("18");
        for (const QString key : {"오더등록", "오더조회", "정산관리", "차주관리", "화주관리", "주선사관리"})
            WriteIni(QStringLiteral("컬럼폭"), key, QString());
        store = std::make_unique<TestStore>();
        store->insert(QStringLiteral("화물오더"), {{"날짜", "2026-12-09"},
                                                   {"오더상태", "배차완료"},
                                                   {"상차권역", "경기"},
                                                   {"상차지", "화성시 남양읍"},
                                                   {"하차권역", "부산"},
                                                   {"하차지", "해운대구 우동"},
                                                   {"운송비", "1250000"},
                                                   {"차주명", "김기사"},
                                                   {"차주연락처", "01012345678"},
                                                   {"차량번호", "경기12가3456"},
                                                   {"희망톤수", "25톤"},
                                                   {"화물정보1", "파렛트"},
                                                   {"배차시간", "2026-12-09 08:01:02"},
                                                   {"상차요청일시", "2026-12-09 10:00"},
                                                   {"하차요청일시", "2026-12-10 15:30"},
                                                   {"적재구분", "1"},
                                                   {"운임구분", "1"},
                                                   {"차량대수", "1"},
                                                   {"수수료", "0"}});
        const QMap<QString, QString> company = {{"사업자번호", "1234567890"},
                                                {"업태", "운수업"},
                                                {"종목", "화물"},
                                                {"주소1", "경기 화성시 남양읍"}};
        auto with = [&](QMap<QString, QString> v) {
            v.insert(company);
            return v;
        };
        store->insert(QStringLiteral("코드_차주"), with({{"아이디", "demo"},
                                                         {"휴대전화", "01012345678"},
                                                         {"기사명", "김기사"},
                                                         {"차량번호", "경기12가3456"}}));
        store->insert(QStringLiteral("코드_화주"),
                      with({{"코드", "2001"}, {"화주명", "한빛물산"}, {"연락처", "0212345678"}}));
        store->insert(QStringLiteral("코드_주선사"),
                      with({{"아이디", "hanbit"}, {"주선사명", "한빛주선"}, {"연락처", "0312345678"}}));
    }
    void cleanup() { store.reset(); }

    void keyColumnsWhole_data() {
        QTest::addColumn<QString>("screen");
        QTest::addColumn<QString>("header");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("right"); // flush right
        QTest::newRow("board date") << "오더등록"
                                    << "날짜"
                                    << "2026-12-09" << false;
        QTest::newRow("board status") << "오더등록"
                                      << "오더상태"
                                      << "배차완료" << false;
        QTest::newRow("board amount") << "오더등록"
                                      << "금액"
                                      << "1,250,000" << true;
        QTest::newRow("board phone") << "오더등록"
                                     << "연락처"
                                     << "010-1234-5678" << false;
        QTest::newRow("board vehicle") << "오더등록"
                                       << "차량번호"
                                       << "경기12가3456" << false;
        QTest::newRow("board tonnage") << "오더등록"
                                       << "희망톤수"
                                       << "25톤" << false;
        // The places take what the columns above leave: a usual address shows whole.
        QTest::newRow("board loading place") << "오더등록"
                                             << "상차지"
                                             << "경기 화성시 남양읍" << false;
        QTest::newRow("board unloading place") << "오더등록"
                                               << "하차지"
                                               << "부산 해운대구 우동" << false;
        QTest::newRow("board loading time") << "오더등록"
                                            << "상차요청일시"
                                            << "2026-12-09 10:00" << false;
        QTest::newRow("board unloading time") << "오더등록"
                                              << "하차요청일시"
                                              << "2026-12-10 15:30" << false;
        QTest::newRow("board dispatch time") << "오더등록"
                                             << "배차시간"
                                             << "2026-12-09 08:01:02" << false;
        QTest::newRow("inquiry status") << "오더조회"
                                        << "오더상태"
                                        << "배차완료" << false;
        QTest::newRow("inquiry amount") << "오더조회"
                                        << "금액"
                                        << "1,250,000" << true;
        QTest::newRow("inquiry phone") << "오더조회"
                                       << "연락처"
                                       << "010-1234-5678" << false;
        QTest::newRow("inquiry vehicle") << "오더조회"
                                         << "차량번호"
                                         << "경기12가3456" << false;
        QTest::newRow("inquiry loading time") << "오더조회"
                                              << "상차요청일시"
                                              << "2026-12-09 10:00" << false;
        QTest::newRow("settlement amount") << "정산관리"
                                           << "운송비"
                                           << "1,250,000" << true;
        QTest::newRow("settlement phone") << "정산관리"
                                          << "차주연락처"
                                          << "010-1234-5678" << false;
        QTest::newRow("settlement status") << "정산관리"
                                           << "오더상태"
                                           << "배차완료" << false;
        QTest::newRow("owner phone") << "차주관리"
                                     << "연락처"
                                     << "010-1234-5678" << false;
        QTest::newRow("owner business no.") << "차주관리"
                                            << "사업자번호"
                                            << "123-45-67890" << false;
        QTest::newRow("shipper phone") << "화주관리"
                                       << "연락처"
                                       << "02-1234-5678" << false;
        QTest::newRow("shipper business no.") << "화주관리"
                                              << "사업자번호"
                                              << "123-45-67890" << false;
        QTest::newRow("broker business no.") << "주선사관리"
                                             << "사업자번호"
                                             << "123-45-67890" << false;
    }
    void keyColumnsWhole() {
        QFETCH(QString, screen);
        QFETCH(QString, header);
        QFETCH(QString, shown);
        QFETCH(bool, right);
        auto w = Build(screen);
        w->resize(QSize(1366, 650));
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        auto* grid = w->findChild<SpreadGrid*>(QStringLiteral("sp"));
        const int c = ColumnOf(*grid, header);
        QVERIFY(c >= 0);
        QCOMPARE(grid->model()->rowCount(), 1);
        const QModelIndex cell = grid->model()->index(0, c);
        QCOMPARE(cell.data().toString(), shown);
        QCOMPARE(bool(Qt::Alignment(cell.data(Qt::TextAlignmentRole).toInt()) & Qt::AlignRight), right);
        const int needed = std::max(ViewPeek::Needed(*grid, c), grid->horizontalHeader()->sectionSizeHint(c));
        QVERIFY2(grid->columnWidth(c) >= needed,
                 qPrintable(QStringLiteral("%1 px for %2 px").arg(grid->columnWidth(c)).arg(needed)));
        // A reload and a new layout leave the widths where they were.
        QList<int> before;
        for (int i = 0; i < grid->model()->columnCount(); ++i)
            before << grid->columnWidth(i);
        QMetaObject::invokeMethod(w.get(), "Form_Resize");
        w->resize(QSize(1366, 651));
        w->resize(QSize(1366, 650));
        for (int i = 0; i < grid->model()->columnCount(); ++i)
            QCOMPARE(grid->columnWidth(i), before[i]);
    }

    // A long list builds the rows the agent sees, not all of them; a row read later (a key, an
    // export) is made from its own record.
    void listsBuildShownRows_data() {
        QTest::addColumn<QString>("screen");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("key"); // the column kept as the row's tag
        QTest::addColumn<QString>("copied");
        const QString order =
            QStringLiteral("날짜,오더상태,상차권역,상차지,하차권역,하차지,운송비,차주명,차주연락처,"
                           "희망톤수,화물정보1,배차시간,상차요청일시,하차요청일시,적재구분,운임구분,"
                           "차량대수,수수료");
        QTest::newRow("inquiry") << "오더조회"
                                 << "화물오더"
                                 << "ID" << order;
        QTest::newRow("settlement") << "정산관리"
                                    << "화물오더"
                                    << "ID" << order;
        QTest::newRow("owners") << "차주관리"
                                << "코드_차주"
                                << "아이디"
                                << "휴대전화,기사명,사업자번호,업태,종목,주소1";
    }
    void listsBuildShownRows() {
        QFETCH(QString, screen);
        QFETCH(QString, table);
        QFETCH(QString, key);
        QFETCH(QString, copied);
        // 512 records, each with its own vehicle number (and an owner with his own ID).
        const bool owners = key == QStringLiteral("아이디");
        for (int i = 0; i < 9; ++i) {
            const QString made = (owners ? QStringLiteral("아이디 || '-%1-' || rowid, ") : QString()) +
                                 QStringLiteral("'경기%1가' || rowid");
            store->exec(
                QStringLiteral("insert into %1 (%2, %3차량번호) select %2, %4 from %1")
                    .arg(table, copied, owners ? QStringLiteral("아이디, ") : QString(), made.arg(i)));
        }
        auto w = Build(screen);
        w->resize(QSize(1366, 650));
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        auto* grid = w->findChild<SpreadGrid*>(QStringLiteral("sp"));
        QCOMPARE(grid->MaxRows(), 512);
        QVERIFY2(grid->spreadModel()->builtRows() < 100,
                 qPrintable(QString::number(grid->spreadModel()->builtRows())));
        const int vehicle = ColumnOf(*grid, QStringLiteral("차량번호")) + 1;
        for (int row : {512, 300, 1}) {
            grid->setRow(row);
            grid->setCol(1);
            const QString tag = grid->CellTag();
            QCOMPARE(
                grid->GetText(vehicle, row),
                store->value(QStringLiteral("select 차량번호 from %1 where %2='%3'").arg(table, key, tag)));
        }
    }
};

DELMORA_TEST_MAIN(ListColumnsTest)
#include "tst_listcolumns.moc"
