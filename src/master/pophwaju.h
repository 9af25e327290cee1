#pragma once
// popHwaju (화주정보): registers a shipper (화주저장) or shows, modifies (화주수정) and deletes
// (화주삭제) one. Its boxes carry the names of their columns (담당전화 shows 계산서담당전화).
#include "masterpopup.h"

class popHwaju : public MasterPopup {
    Q_OBJECT
public:
    explicit popHwaju(QWidget* parent = nullptr);

    void LoadRecord();
    void SaveRecord();
    void DeleteRecord();
    // 화주저장 (registration) or 화주수정 (modify) of what the boxes hold now.
    QString SaveStatement() const;

    MyText* 코드 = nullptr;
    MyText* 화주명 = nullptr;
};
