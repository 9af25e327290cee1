// The list of the board: the day's or a period's orders with their derived texts and colours.
#include "frmorder.h"

#include "mytext.h"
#include "orderderive.h"
#include "orderguards.h"
#include "orderstatements.h"
#include "storetrap.h"
#include "textformat.h"

#include <QCheckBox>
#include <QDateEdit>

using namespace OrderBoard;

OrderSql::ListFilter frmOrder::CurrentFilter() const {
    OrderSql::ListFilter f;
    f.day = 배차일->date().toString(QStringLiteral("yyyy-MM-dd"));
    for (size_t i = 0; i < chk조회구분.size(); ++i)
        f.ticked[i] = chk조회구분[i]->isChecked();
    return f;
}

void frmOrder::LoadOrderList(const QString& from, const QString& to) {
    OrderSql::ListFilter filter = CurrentFilter();
    if (!from.isEmpty() && !to.isEmpty()) {
        filter.from = from;
        filter.to = to;
        filter.search = 검색어->TextVal();
    }
    UpdateLock lock(this);
    m_countdown = 0;
    sp->setMaxRows(0);
    RedrawOff redraw(sp);
    ResetOrderEntry();
    RunRoutine([&] {
        StoreTrap trap;
        const SharedRecordset rs = trap.open(OrderSql::OrderListStatement(filter));
        FillList(rs);
    });
}

void frmOrder::RefreshOrderList() {
    OrderSql::ListFilter filter = CurrentFilter();
    const QString statement = OrderSql::OrderListStatement(filter);
    m_countdown = 0;
    // The automatic refresh is quiet: it runs every few seconds with nobody asking for it, so
    // a failure must not put a box (or a reconnect question) in front of the agent. The list
    // keeps its rows; the next reload the agent starts goes through the error trap.
    if (!StoreConnection) return;
    SharedRecordset rs;
    try {
        SqlText = statement;
        rs = SharedRecordset(StoreConnection->query(statement));
    } catch (const StoreFailure&) {
        return;
    } catch (const dstore::Error&) {
        return;
    }

    // The agent's row stays selected by its order, not by its position, so 오더수정 and the
    // cancels never act on another order that moved into that place.
    const int activeRow = sp->ActiveRow();
    const int activeCol = qMax(1, sp->ActiveCol());
    QString activeTag;
    if (activeRow >= 1) {
        sp->setRow(activeRow);
        sp->setCol(1);
        activeTag = sp->CellTag();
    }
    UpdateLock lock(this);
    {
        RedrawOff redraw(sp);
        sp->setMaxRows(0);
        FillList(rs);
    }
    if (!activeTag.isEmpty()) {
        for (int r = 1; r <= sp->MaxRows(); ++r) {
            sp->setRow(r);
            if (sp->CellTag() == activeTag) {
                sp->SetActiveCell(activeCol, r);
                break;
            }
        }
    }
}

void frmOrder::FillList(const SharedRecordset& rs) {
    const dstore::ResultSet* rows = rs.rows();
    if (!rows) return;
    // Columns are found once per answer; a column the view lacks leaves its cells empty.
    enum {
        날짜,
        오더상태,
        상차권역_,
        상차지_,
        하차권역_,
        하차지_,
        화물정보1,
        희망톤수_,
        운송비,
        차주명,
        차주연락처,
        차량번호,
        차량정보,
        차량톤수,
        차량길이,
        차량길이2,
        배차시간,
        상차요청일시,
        하차요청일시,
        ID,
        Count
    };
    static const char* const names[Count] = {
        "날짜",     "오더상태",  "상차권역", "상차지",       "하차권역",     "하차지",   "화물정보1",
        "희망톤수", "운송비",    "차주명",   "차주연락처",   "차량번호",     "차량정보", "차량톤수",
        "차량길이", "차량길이2", "배차시간", "상차요청일시", "하차요청일시", "ID"};
    int col[Count];
    for (int i = 0; i < Count; ++i)
        col[i] = rows->columnIndex(QByteArrayView(names[i]));

    const qsizetype n = rows->rowCount();
    QString cells[Count];
    const QString blank(QLatin1Char(' '));
    for (qsizetype r = 0; r < n; ++r) {
        for (int i = 0; i < Count; ++i)
            cells[i] = col[i] < 0 ? QString() : rows->text(r, col[i]);
        QStringList texts;
        texts.reserve(14);
        texts << cells[날짜] << cells[오더상태] << cells[상차권역_] + blank + cells[상차지_]
              << cells[하차권역_] + blank + cells[하차지_] << cells[화물정보1] << cells[희망톤수_]
              << cells[운송비] << cells[차주명] << FormatPhone(cells[차주연락처]) << cells[차량번호]
              << OrderDerive::VehicleText(cells[차량정보], cells[차량톤수], cells[차량길이], cells[차량길이2])
              << OrderDerive::DispatchTimeText(cells[배차시간]) << cells[상차요청일시] << cells[하차요청일시];
        sp->AppendRow(texts, cells[ID].trimmed(), OrderDerive::StatusColour(cells[오더상태]));
    }
}

void frmOrder::GridKeyDown(int& keyCode, int /*shift*/) {
    const int row = sp->ActiveRow();
    if (sp->MaxRows() == 0 || row < 1) return;
    if (keyCode == 40 && row < sp->MaxRows()) {
        ShowOrderInEntry(sp->ActiveCol(), row + 1);
        sp->setFocus();
    } else if (keyCode == 38 && row > 1) {
        ShowOrderInEntry(sp->ActiveCol(), row - 1);
        sp->setFocus();
    }
}
