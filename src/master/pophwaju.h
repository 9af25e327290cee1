#pragma once
// popHwaju (화주정보): registers a shipper (화주저장) or shows, modifies (화주수정) and deletes
// (화주삭제) one.
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

    MyText *코드, *화주명, *연락처, *회사명, *대표자, *사업자번호, *주소1, *주소2, *업태, *종목, *우편번호,
        *우편주소1, *우편주소2, *이메일, *계산서담당, *담당전화;
};
