#include "frmjungsanlist.h"
#include "datepicker.h"

#include "accountstatements.h"
#include "amounts.h"
#include "clock.h"
#include "mytext.h"
#include "prompts.h"
#include "spreadgrid.h"
#include "storetrap.h"
#include "textformat.h"

#include <QDateEdit>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QStyle>

namespace {
constexpr int PaidColumn = 4;

ColumnRequest ListColumns() {
    return {"날짜",     "인수증날짜", "계산서날짜", "결제일",     "운송비",
            "차량번호", "차주명",     "차주연락처", "상차권역",   "상차지",
            "하차권역", "하차지",     "오더상태",   "작성아이디", "작성회사명"};
}

QStringList RowTexts(const ListRecord& v) {
    return QStringList{v["날짜"],
                       v["인수증날짜"],
                       v["계산서날짜"],
                       v["결제일"],
                       Amounts::Grouped(v["운송비"]),
                       v["차량번호"],
                       v["차주명"],
                       FormatPhone(v["차주연락처"]),
                       v["상차권역"] + QLatin1Char(' ') + v["상차지"] + QStringLiteral(" -> ") +
                           v["하차권역"] + QLatin1Char(' ') + v["하차지"],
                       v["오더상태"],
                       v["작성아이디"],
                       v["작성회사명"]};
}
} // namespace

frmJungsanList::frmJungsanList(QWidget* parent)
    : AccountList({QStringLiteral("frmJungsanList"),
                   QStringLiteral("정산관리"),
                   {QStringLiteral("배차일자"), QStringLiteral("인수증일자"), QStringLiteral("계산서일자"),
                    QStringLiteral("지급일자"), QStringLiteral("운송비"), QStringLiteral("차량번호"),
                    QStringLiteral("차주명"), QStringLiteral("차주연락처"), QStringLiteral("운송내역"),
                    QStringLiteral("오더상태"), QStringLiteral("작성아이디"), QStringLiteral("작성회사명")},
                   // The dates and the phone get room for every character in the Korean face
                   // that stands in for 굴림, which runs wider than the old screen's.
                   {11.5, 11.5, 11.5, 11.5, 11.5, 11.5, 8.75, 14.5, 44.0, 0, 10.25, 10.5},
                   9,
                   12,
                   600,
                   {5}},
                  parent) {
    AddLabel(QStringLiteral("기간"), QStringLiteral("라벨_기간"));
    AddLabel(QStringLiteral("~"), QStringLiteral("라벨_물결"));
    for (int i = 0; i < 2; ++i) {
        auto* picker = new DatePickerEdit(SSPanel1);
        picker->setObjectName(QStringLiteral("배차일(%1)").arg(i));
        picker->setCalendarPopup(true);
        picker->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        배차일[size_t(i)] = picker;
    }
    AddButton(2, QStringLiteral("   운임지급처리"), QStyle::SP_DialogApplyButton);
    AddButton(3, QStringLiteral("   지급취소처리"), QStyle::SP_DialogCancelButton);
    setTabOrder(배차일[0], 배차일[1]);
    setTabOrder(배차일[1], 검색어);
    setTabOrder(검색어, cmdArr[0]);

    connect(cmdArr[0], &QPushButton::clicked, this, &frmJungsanList::LoadList);
    connect(cmdArr[2], &QPushButton::clicked, this, &frmJungsanList::MarkPaid);
    connect(cmdArr[3], &QPushButton::clicked, this, &frmJungsanList::ClearPaid);

    // Opening the screen: this month so far.
    Form_Resize();
    const QDate today = Clock::today();
    배차일[0]->setDate(QDate(today.year(), today.month(), 1));
    배차일[1]->setDate(today);
    LoadList();
}

std::vector<BarItem> frmJungsanList::BarControls() const {
    std::vector<BarItem> items = {{findChild<QLabel*>(QStringLiteral("라벨_기간")), 150, 75, 480, 300},
                                  {배차일[0], 660, 60, 1650, 330},
                                  {findChild<QLabel*>(QStringLiteral("라벨_물결")), 2355, 75, 180, 300},
                                  {배차일[1], 2550, 60, 1650, 330},
                                  {findChild<QLabel*>(QStringLiteral("라벨_검색어")), 4350, 75, 660, 300},
                                  {검색어, 5040, 60, 2250, 330}};
    const double widths[4] = {1200, 1200, 1800, 1800};
    double left = 7440;
    for (int i = 0; i < 4; ++i) {
        items.push_back({cmdArr.at(i), left, 45, widths[i], 360});
        left += widths[i] + 60;
    }
    // The hint repeats the search box's own; a narrow screen does without it.
    items.push_back(
        {findChild<QLabel*>(QStringLiteral("라벨_검색안내")), left + 90, 75, 3900, 300, -1, true});
    return items;
}

void frmJungsanList::LoadList() {
    const QString statement = AccountSql::SettlementListStatement(
        배차일[0]->date().toString(QStringLiteral("yyyy-MM-dd")),
        배차일[1]->date().toString(QStringLiteral("yyyy-MM-dd")), 검색어->TextVal().trimmed());
    FillList(statement, ListColumns(), RowTexts);
}

QList<int> frmJungsanList::SelectedRows() const {
    QList<int> rows;
    QSet<int> seen;
    for (int i = 0; i < sp->SelectionCount(); ++i) {
        int col = 0, row = 0, col2 = 0, row2 = 0;
        if (!sp->GetSelection(i, &col, &row, &col2, &row2)) continue;
        for (int r = row; r <= row2; ++r)
            if (r >= 1 && r <= sp->MaxRows() && !seen.contains(r)) {
                seen.insert(r);
                rows << r;
            }
    }
    return rows;
}

void frmJungsanList::MarkPaid() {
    RunPayment(true);
}
void frmJungsanList::ClearPaid() {
    RunPayment(false);
}

void frmJungsanList::RunPayment(bool pay) {
    const QList<int> rows = SelectedRows();
    if (rows.isEmpty()) {
        Prompt::refusal(QStringLiteral("선택하신 내용이 없습니다."));
        return;
    }
    const QString count = QString::number(rows.size());
    const QString question = pay ? QStringLiteral("선택하신 ") + count +
                                       QStringLiteral("건의 배차내역에 운임 지급처리 하시겠습니까?")
                                 : QStringLiteral("선택하신 ") + count +
                                       QStringLiteral("건의 배차내역의 운임 지급을 취소처리 하시겠습니까?");
    if (!Prompt::confirm(question)) return;

    // Each row is written on its own as it is reached; the grid shows exactly what was written.
    const QString day = Clock::today().toString(QStringLiteral("yyyy-MM-dd"));
    int written = 0;
    const bool finished = RunRoutine([&] {
        StoreTrap trap;
        for (int row : rows) {
            const qint64 id = AccountSql::KeyValue(RowKey(row));
            // A row without a key names no order: nothing to write for it.
            if (id > 0)
                trap.execute(pay ? AccountSql::MarkPaidStatement(id, day)
                                 : AccountSql::ClearPaidStatement(id));
            sp->SetText(PaidColumn, row, pay ? day : QString());
            ++written;
        }
    });
    if (!finished) {
        Prompt::refusal(
            QStringLiteral(
                "선택하신 %1건 중 %2건을 처리한 뒤 멈췄습니다.\n나머지 %3건은 처리되지 않았습니다.")
                .arg(rows.size())
                .arg(written)
                .arg(rows.size() - written));
    }
}
