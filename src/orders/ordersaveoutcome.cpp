#include "ordersaveoutcome.h"

#include "clock.h"
#include "frmorder.h"
#include "orderderive.h"
#include "prompts.h"
#include "spreadgrid.h"
#include "sqltext.h"
#include "storetrap.h"

#include <QDateTime>

namespace OrderSave {

namespace {

// How far back an order counts as the one just sent: the reconnect may have taken the agent
// through several questions.
constexpr int LookBackMinutes = 10;
const QString TimeFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");

// The store's clock, not this machine's: the order's 기록일시 was written by the store.
QString LookBackStart(StoreTrap& trap) {
    const SharedRecordset rs = trap.open(QStringLiteral("select getdate() as 지금"));
    QDateTime now = rs.eof()
                        ? QDateTime()
                        : QDateTime::fromString(trap.field(rs, QStringLiteral("지금")).left(19), TimeFormat);
    if (!now.isValid()) now = Clock::now();
    return now.addSecs(-60 * LookBackMinutes).toString(TimeFormat);
}

qint64 FindRecentSave(StoreTrap& trap, const OrderSql::OrderEntry& entry, const QString& writer,
                      const QString& requestKey) {
    const SharedRecordset rs =
        trap.open(requestKey.isEmpty() ? RecentSaveStatement(entry, writer, LookBackStart(trap))
                                       : OrderSql::RequestKeyLookupStatement(requestKey));
    return rs.eof() ? 0 : OrderDerive::TagToId(trap.field(rs, QStringLiteral("ID")));
}

void SelectOrder(SpreadGrid& grid, qint64 id) {
    for (int r = 1; r <= grid.MaxRows(); ++r) {
        grid.setRow(r);
        grid.setCol(1);
        if (OrderDerive::TagToId(grid.CellTag()) == id) {
            grid.SetActiveCell(1, r);
            return;
        }
    }
}

} // namespace

QString RecentSaveStatement(const OrderSql::OrderEntry& entry, const QString& writer, const QString& since) {
    return QStringLiteral("select ID from 뷰_화물오더 where 1=1 and 작성아이디=") + Quote(writer) +
           QStringLiteral(" and 날짜=") + Quote(entry.day) + QStringLiteral(" and 상차권역=") +
           Quote(entry.상차권역) + QStringLiteral(" and 상차지=") + Quote(entry.상차지) +
           QStringLiteral(" and 하차권역=") + Quote(entry.하차권역) + QStringLiteral(" and 하차지=") +
           Quote(entry.하차지) + QStringLiteral(" and 운송비=") + QString::number(entry.amount) +
           QStringLiteral(" and 기록일시>=") + Quote(since) + QStringLiteral(" order by ID desc");
}

Outcome Send(StoreTrap& trap, const QString& saveStatement, const OrderSql::OrderEntry& entry,
             const QString& writer, const QString& requestKey) {
    try {
        trap.executeOrReport(saveStatement);
        return {};
    } catch (const WriteOutcomeUnknown& unknown) {
        if (!unknown.reconnected) return {Result::Unreachable, 0};
    }
    try {
        const qint64 id = FindRecentSave(trap, entry, writer, requestKey);
        return {id > 0 ? Result::Found : Result::NotStored, id};
    } catch (const LeaveRoutine&) {
        return {Result::Unreachable, 0}; // the look-up itself could not be answered
    }
}

void Finish(frmOrder& board, const Outcome& outcome, const std::function<void()>& reload) {
    switch (outcome.result) {
    case Result::Saved:
        reload();
        return;
    case Result::Found:
        reload();
        SelectOrder(*board.sp, outcome.id);
        ShowInfo(QStringLiteral("저장되었습니다"));
        return;
    case Result::NotStored:
        Prompt::refusal(QStringLiteral("저장되지 않았습니다. 다시 저장하세요."));
        return;
    case Result::Unreachable:
        Prompt::refusal(
            QStringLiteral("서버와의 연결이 끊어져 오더가 저장되었는지 확인할 수 없습니다. 저장되었을 수 "
                           "있으니 다시 입력하기 전에 목록에서 확인하세요."));
        return;
    }
}

} // namespace OrderSave
