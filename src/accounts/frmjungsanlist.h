#pragma once
// 정산관리: the dispatched and delivered orders of a period with their settlement dates, and
// the freight payment mark (결제일) set or taken back for the selected rows.
#include "accountlist.h"
#include "livelist.h"
#include "paymentmark.h"

#include <QSet>
#include <array>
#include <optional>
#include <vector>

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
    // Orders written elsewhere, read again and patched into the list as its last 조회 asked.
    void PatchOrders(const QSet<qint64>& orders);

    std::array<QDateEdit*, 2> 배차일{};

protected:
    std::vector<BarItem> BarControls() const override;

private:
    void RunPayment(PaymentMark::Action action);
    QString ListStatement(const QSet<qint64>& only = {}) const;
    // The list's rows read by a statement with nobody asking; none when the store did not answer.
    std::optional<std::vector<FreshRow>> ReadRowsQuietly(const QString& statement) const;
    void ReloadQuietly();
    // What the list shows: the period and search text of its last 조회.
    QString m_from, m_to, m_search;
};
