#include "frmformainlist.h"

#include "accountstatements.h"
#include "amounts.h"
#include "mytext.h"
#include "popformain.h"
#include "signin.h"
#include "spreadgrid.h"
#include "storetrap.h"

#include <QLabel>
#include <QPushButton>

frmFormainList::frmFormainList(QWidget* parent)
    : AccountList({QStringLiteral("frmFormainList"),
                   QStringLiteral("계산서관리"),
                   {QStringLiteral("발행일시"), QStringLiteral("기사명"), QStringLiteral("차량번호"),
                    QStringLiteral("이메일"), QStringLiteral("품목1"), QStringLiteral("공급가액"),
                    QStringLiteral("세액"), QStringLiteral("총금액"), QStringLiteral("승인번호"),
                    QStringLiteral("문서상태"), QStringLiteral("신고상태")},
                   {10.83, 8.33, 13.0, 14.83, 13.58, 12.75, 12.75, 12.75, 25.75, 8.08, 8.08},
                   5,
                   6,
                   550},
                  parent) {
    setTabOrder(검색어, cmdArr[0]);
    connect(cmdArr[0], &QPushButton::clicked, this, &frmFormainList::LoadList);
    connect(sp, &SpreadGrid::DblClick, this, [this](int, int row) { OpenRecord(row); });
    // Enter on a row opens it too, so the list works without the mouse.
    connect(sp, &SpreadGrid::KeyDown, this, [this](int& keyCode, int) {
        if (keyCode != 13 || sp->ActiveRow() < 1) return;
        keyCode = 0;
        OpenRecord(sp->ActiveRow());
    });

    Form_Resize();
    LoadList();
}

void frmFormainList::PlaceBarControls() {
    Place(findChild<QLabel*>(QStringLiteral("라벨_검색어")), 150, 75, 660, 300);
    Place(검색어, 840, 60, 2250, 330);
    Place(cmdArr.at(0), 3240, 45, 1200, 360);
    Place(cmdArr.at(1), 4500, 45, 1200, 360);
    Place(findChild<QLabel*>(QStringLiteral("라벨_검색안내")), 5850, 75, 3900, 300);
}

void frmFormainList::LoadList() {
    const QString statement = AccountSql::InvoiceListStatement(검색어->TextVal().trimmed());
    ListFill fill(this, sp);
    RunRoutine([&] {
        StoreTrap trap;
        SharedRecordset rs = trap.open(statement);
        const dstore::ResultSet* rows = rs.rows();
        if (!rows) return;
        enum {
            발행일시,
            기사명,
            차량번호,
            이메일,
            품목명1,
            공급가액,
            세액,
            총금액,
            승인번호,
            niceStatus,
            DocStatus,
            ID,
            Count
        };
        static const char* const names[Count] = {"발행일시", "기사명",     "차량번호",  "이메일",
                                                 "품목명1",  "공급가액",   "세액",      "총금액",
                                                 "승인번호", "niceStatus", "DocStatus", "ID"};
        int col[Count];
        for (int i = 0; i < Count; ++i)
            col[i] = rows->columnIndex(QByteArrayView(names[i]));
        for (qsizetype r = 0; r < rows->rowCount(); ++r) {
            auto text = [&](int f) { return col[f] < 0 ? QString() : rows->text(r, col[f]); };
            sp->AppendRow({text(발행일시), text(기사명), text(차량번호), text(이메일), text(품목명1),
                           Amounts::Grouped(text(공급가액)), Amounts::Grouped(text(세액)),
                           Amounts::Grouped(text(총금액)), text(승인번호), text(niceStatus), text(DocStatus)},
                          text(ID).trimmed());
        }
    });
}

void frmFormainList::OpenRecord(int row) {
    if (row < 1 || row > sp->MaxRows()) return;
    SelectedKey = RowKey(row);
    popFormain view(this);
    view.exec();
}
