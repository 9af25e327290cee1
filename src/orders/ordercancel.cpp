// Cancelling the selected order, or only its dispatch.
#include "frmorder.h"

#include "orderstatements.h"
#include "prompts.h"
#include "spreadgrid.h"
#include "storetrap.h"

void frmOrder::CancelOrder() {
    RunCancel(false);
}

void frmOrder::CancelDispatch() {
    RunCancel(true);
}

void frmOrder::RunCancel(bool dispatch) {
    const qint64 id = ActiveOrderId();
    if (id <= 0) {
        Prompt::refusal(dispatch ? QStringLiteral("배차취소할 내용을 선택하세요.")
                                 : QStringLiteral("오더취소할 내용을 선택하세요."));
        return;
    }
    // What the list showed of the order: the question and the store's check are on it.
    const int row = sp->ActiveRow();
    const QString shownStatus = sp->GetText(2, row).trimmed();
    bool declined = false;
    const bool done = RunRoutine([&] {
        StoreTrap trap;
        const SharedRecordset rs = trap.open(OrderSql::OrderByIdStatement(id));
        if (rs.eof()) {
            Prompt::refusal(QStringLiteral("이 오더는 다른 곳에서 삭제되어 취소할 수 없습니다."));
            declined = true;
            return;
        }
        // A cancel decided on a status the order no longer has (dispatched a second ago, an
        // invoice issued) is asked about again, naming the move.
        const QString status = trap.field(rs, QStringLiteral("오더상태")).trimmed();
        const QString question = QStringLiteral("선택하신 오더를 취소하시겠습니까?");
        if (!Prompt::confirmRisky(status == shownStatus ? question
                                                   : OrderSql::StatusMovedText(shownStatus, status) +
                                                         QLatin1Char('\n') + question)) {
            declined = true;
            return;
        }
        // On our stores the cancel states the status agreed on, and the store refuses it when
        // another desk moved the order in between.
        const std::optional<QString> agreed = StoreChecksVersions() ? std::optional<QString>(status) : std::nullopt;
        trap.execute(dispatch ? OrderSql::CancelDispatchStatement(id, agreed) : OrderSql::CancelOrderStatement(id, agreed));
    });
    if (done && !declined) ReloadAfterWrite();
}
