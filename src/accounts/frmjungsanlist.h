#pragma once
// 정산관리: the dispatched and delivered orders of a period with their settlement dates, and
// the freight payment mark (결제일) set or taken back for the selected rows.
#include "accountlist.h"
#include "accountstatements.h"
#include "livelist.h"
#include "paymentmark.h"
#include "settlementsums.h"

#include <QSet>
#include <QHash>
#include <array>
#include <optional>
#include <vector>

class QDateEdit;
class QRadioButton;

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

    // Count and 운송비 of the listed rows, of the selected ones and of the unpaid ones.
    struct Sums {
        SettlementSums::Sum listed, selected, unpaid;
    };
    Sums CurrentSums() const;

    std::array<QDateEdit*, 2> 배차일{};
    // 전체, 미지급, 지급: which orders the list shows by their payment.
    std::array<QRadioButton*, 3> 지급구분{};
    QLabel* 합계_조회 = nullptr;
    QLabel* 합계_선택 = nullptr;
    QLabel* 합계_미지급 = nullptr;

protected:
    std::vector<BarItem> BarControls() const override;

private:
    void RunPayment(PaymentMark::Action action);
    QString ListStatement(const QSet<qint64>& only = {}) const;
    // The list's rows read by a statement with nobody asking; none when the store did not answer.
    // Each row's part of the sums goes into figures by the order's key.
    std::optional<std::vector<FreshRow>> ReadRowsQuietly(const QString& statement,
                                                         QHash<qint64, SettlementSums::Figures>* figures) const;
    void ReloadQuietly();
    // What the list shows: the period and search text of its last 조회.
    QString m_from, m_to, m_search;
    AccountSql::Paid m_paid = AccountSql::Paid::All;
    void ShowSums();
    // What each listed order adds to the sums, by its ID: taken from the row's texts when the
    // row is made or read again, so the sums never depend on which rows were drawn.
    QHash<qint64, SettlementSums::Figures> m_figures;
};
