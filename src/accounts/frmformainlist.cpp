#include "frmformainlist.h"

#include "accountstatements.h"
#include "amounts.h"
#include "gridroutines.h"
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
                   // The issue time and the e-mail get room for every character in the Korean
                   // face that stands in for 굴림, which runs wider than the old screen's.
                   {19.5, 8.33, 13.0, 19.0, 13.58, 12.75, 12.75, 12.75, 25.75, 8.08, 8.08},
                   // The item and the e-mail take the spare width; the amounts stay their size.
                   5,
                   4,
                   550,
                   {6, 7, 8},
                   0,
                   {{1, WholeText::DateTime},
                    {3, WholeText::VehicleNumber},
                    {6, WholeText::Amount},
                    {7, WholeText::Amount},
                    {8, WholeText::Amount}}},
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

std::vector<BarItem> frmFormainList::BarControls() const {
    // The hint repeats the search box's own; a narrow screen does without it.
    return {{findChild<QLabel*>(QStringLiteral("라벨_검색어")), 150, 75, 660, 300},
            {검색어, 840, 60, 2250, 330},
            {cmdArr.at(0), 3240, 45, 1200, 360},
            {cmdArr.at(1), 4500, 45, 1200, 360},
            {findChild<QLabel*>(QStringLiteral("라벨_검색안내")), 5850, 75, 3900, 300, -1, true}};
}

void frmFormainList::LoadList() {
    const QString statement = AccountSql::InvoiceListStatement(검색어->TextVal().trimmed());
    const ColumnRequest columns{"발행일시", "기사명",   "차량번호", "이메일",     "품목명1",  "공급가액",
                                "세액",     "총금액",   "승인번호", "niceStatus", "DocStatus"};
    FillList(statement, columns, [](const ListRecord& v) {
        return QStringList{v["발행일시"],
                           v["기사명"],
                           v["차량번호"],
                           v["이메일"],
                           v["품목명1"],
                           Amounts::Grouped(v["공급가액"]),
                           Amounts::Grouped(v["세액"]),
                           Amounts::Grouped(v["총금액"]),
                           v["승인번호"],
                           v["niceStatus"],
                           v["DocStatus"]};
    });
}

void frmFormainList::OpenRecord(int row) {
    if (row < 1 || row > sp->MaxRows()) return;
    SelectedKey = RowKey(row);
    popFormain view(this);
    view.exec();
}
