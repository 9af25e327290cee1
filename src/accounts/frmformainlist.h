#pragma once
// 계산서관리: the electronic tax invoices in the store, found by phone, driver or vehicle, each
// opened in the paper-form view with a double-click.
#include "accountlist.h"

class frmFormainList : public AccountList {
    Q_OBJECT
public:
    explicit frmFormainList(QWidget* parent = nullptr);

    void LoadList();
    // Opens the invoice of a grid row in the view (modal); the header row does nothing.
    void OpenRecord(int row);

protected:
    std::vector<BarItem> BarControls() const override;
};
