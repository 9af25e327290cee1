#pragma once
// popJuseonsa (주선사정보): registers a broker (주선사저장) or shows, modifies (주선사수정) and
// deletes one, and clears a broker's password so the next sign-in sets a new one. Its boxes
// carry the names of their columns.
#include "masterpopup.h"

class popJuseonsa : public MasterPopup {
    Q_OBJECT
public:
    explicit popJuseonsa(QWidget* parent = nullptr);

    void LoadRecord();
    void SaveRecord();
    void DeleteRecord();
    void ResetPassword();
    // 주선사저장 (registration) or 주선사수정 (modify) of what the boxes hold now.
    QString SaveStatement() const;

    MyText* 아이디 = nullptr;
    MyText* 주선사명 = nullptr;
};
