#pragma once
// 환경설정: the two display options of Setting.ini [옵션], the grid row height (표높이설정) and
// the board's refresh interval (갱신주기). Opens on the values in use; saved values reach the open screens at once.
#include <QDialog>
#include <map>

class QFrame;
class QPushButton;
class MyLabel;
class MyText;

class popSetting : public QDialog {
    Q_OBJECT
public:
    explicit popSetting(QWidget* parent = nullptr);

    // Validates, asks, writes both texts as typed and closes; a refused value keeps the
    // dialog open with the focus in its box.
    void SaveSettings();

    // The limits a value must keep.
    static constexpr double MinRowHeight = 7, MaxRowHeight = 100;
    static constexpr double MinInterval = 5, MaxInterval = 3600;

protected:
    void changeEvent(QEvent* event) override;

public:
    QFrame* backPanel = nullptr;
    std::map<int, MyLabel*> MyLabel1;
    MyText* 표높이 = nullptr;
    MyText* 갱신타이머 = nullptr;
    std::map<int, QPushButton*> cmdArr;

private:
    bool m_focusPlaced = false;
};

// The menu command: the dialog, modal over the main window.
void OpenSettingsDialog();
