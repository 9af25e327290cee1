#pragma once
// popCar (차량정보): one vehicle owner with vehicle, company and bank details; saved through
// 차주수정 and withdrawn through 차주삭제. Owners are never registered here.
#include "masterpopup.h"

class popCar : public MasterPopup {
    Q_OBJECT
public:
    explicit popCar(QWidget* parent = nullptr);

    void LoadRecord();
    void SaveRecord();
    void WithdrawOwner();
    // The 차주수정 call of what the boxes hold now.
    QString SaveStatement() const;

    MyText *아이디, *휴대전화, *기사명, *차량번호, *길이1, *길이2, *연락처, *회사명, *대표자, *사업자번호,
        *업태, *종목, *이메일, *주소1, *주소2, *우편번호, *우편주소1, *우편주소2, *은행명, *계좌번호, *예금주;
    QComboBox *차종, *톤수;
};
