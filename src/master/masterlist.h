#pragma once
// The master list screen (차주관리, 화주관리, 주선사관리): a search bar over a display-only grid
// of one master table. Double-click opens the record's pop-up, the registration button an
// empty one; the list reloads only when the pop-up wrote to the store.
#include "mastermember.h"
#include "screens.h"

#include <map>

class QFrame;
class QPushButton;
class MyLabel;
class MyText;
class SpreadGrid;

class MasterList : public WorkScreen {
    Q_OBJECT
public:
    MasterList(const MasterMember& member, QWidget* parent = nullptr);
    void Form_Resize() override;

    const MasterMember& member() const { return m_member; }

    void LoadList();
    void ExportList();
    void NewRecord();
    void OpenRecord(int col, int row);
    void ApplyLayout();
    void CloseScreen();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void BuildForm();
    void FillGrid(const class SharedRecordset& rs);
    void FitColumns(SpreadGrid& grid) const;
    void ShowPopup();

    const MasterMember& m_member;

public:
    // Controls, under their system names (also their object names).
    QWidget* backPanel = nullptr;
    std::map<int, QFrame*> SSPanel4;
    std::map<int, MyLabel*> MyLabel1;
    MyText* 검색어 = nullptr;
    std::map<int, QPushButton*> cmdArr;
    SpreadGrid* sp = nullptr;
};
