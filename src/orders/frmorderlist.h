#pragma once
// The order inquiry 오더조회: the orders of a period, narrowed by status and a search over the
// vehicle owner's data, for looking up only. A double-click shows an order in popOrder.
#include "screens.h"

#include "orderstatements.h"

#include <QSet>
#include <QString>
#include <array>
#include <map>

class QCheckBox;
class QDateEdit;
class QFrame;
class QLabel;
class QPushButton;
class MyText;
class SpreadGrid;
class SharedRecordset;

class frmOrderList : public WorkScreen {
    Q_OBJECT
public:
    explicit frmOrderList(QWidget* parent = nullptr);
    void Form_Resize() override;

    // Rebuilds the list from the store with the period, search and statuses as they stand.
    void LoadList();
    // A row's order in the detail pop-up (modal); the header row and rows without a key do
    // nothing.
    void OpenRecord(int col, int row);
    void ExportList();
    void CloseScreen();
    OrderSql::InquiryFilter CurrentFilter() const;
    // Orders written elsewhere, read again and patched into the list as its last 조회 asked.
    void PatchOrders(const QSet<qint64>& orders);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void BuildForm();
    void ApplyLayout();
    void FillList(SharedRecordset& rs);

public:
    QWidget* backPanel = nullptr;
    std::map<int, QFrame*> SSPanel4; // 0 the top panel, 1 the status panel
    std::array<QDateEdit*, 2> 배차일{};
    std::array<QCheckBox*, 7> chk조회구분{};
    MyText* 검색어 = nullptr;
    std::map<int, QPushButton*> cmdArr;
    SpreadGrid* sp = nullptr;

private:
    std::map<QString, QLabel*> m_labels;
    OrderSql::InquiryFilter m_listed; // what the list shows
};
