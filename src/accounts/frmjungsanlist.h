#pragma once
// 정산관리: the dispatched and delivered orders of a period with their settlement dates, and
// the freight payment mark (결제일) set or taken back for the selected rows.
#include "accountlist.h"
#include "paymentmark.h"

#include <array>

class QDateEdit;

class frmJungsanList : public AccountList {
    Q_OBJECT
public:
    explicit frmJungsanList(QWidget* parent = nullptr);

    void LoadList();
    // 운임지급처리 and 지급취소처리 over every row of every selected block that is still as
    // the list showed it.
    void MarkPaid();
    void ClearPaid();
    // The grid rows the selection covers, each once, block by block, top to bottom.
    QList<int> SelectedRows() const;

    std::array<QDateEdit*, 2> 배차일{};

protected:
    std::vector<BarItem> BarControls() const override;

private:
    void RunPayment(PaymentMark::Action action);
};
