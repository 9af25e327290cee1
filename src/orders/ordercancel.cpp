// Cancelling the selected order, or only its dispatch.
#include "frmorder.h"

#include "orderstatements.h"
#include "prompts.h"
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
    if (!Prompt::confirm(QStringLiteral("선택하신 오더를 취소하시겠습니까?"))) return;
    const QString statement =
        dispatch ? OrderSql::CancelDispatchStatement(id) : OrderSql::CancelOrderStatement(id);
    const bool done = RunRoutine([&] {
        StoreTrap trap;
        trap.execute(statement);
    });
    if (done) ReloadAfterWrite();
}
