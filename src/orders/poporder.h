#pragma once
// The order detail 오더정보: one order as stored, read-only, in the entry panel's field layout,
// with its status and dispatch time. Opened modally by the order inquiry with the order's key in
// SelectedKey; it has no save action and sends nothing but the one read.
#include <QDialog>
#include <array>
#include <map>

class QButtonGroup;
class QDateEdit;
class QFrame;
class QLabel;
class QPushButton;
class QRadioButton;
class DropList;
class MyText;

class popOrder : public QDialog {
    Q_OBJECT
public:
    explicit popOrder(QWidget* parent = nullptr);

    // Fills the lists with their entries and first selections.
    void FillLists();
    // Shows the order SelectedKey names; a key without an order leaves the lists as filled.
    void LoadRecord();

protected:
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildForm();
    void PlaceControls();
    void ShowMoment(bool loading, const QString& stored, const QDate& orderDate);

public:
    QFrame* backPanel = nullptr;
    QDateEdit* 배차일 = nullptr;
    DropList* 상차권역 = nullptr;
    MyText* 상차지 = nullptr;
    QDateEdit* 상차일 = nullptr;
    DropList* 상차시 = nullptr;
    std::array<QRadioButton*, 3> 상차일구분{};
    DropList* 하차권역 = nullptr;
    MyText* 하차지 = nullptr;
    QDateEdit* 하차일 = nullptr;
    DropList* 하차시 = nullptr;
    std::array<QRadioButton*, 3> 하차일구분{};
    std::array<QRadioButton*, 3> 운행구분{};
    DropList* 희망톤수 = nullptr;
    DropList* 운임형태 = nullptr;
    MyText* 화물중량 = nullptr;
    DropList* 댓수 = nullptr;
    DropList* 차종 = nullptr;
    MyText* 금액 = nullptr;
    MyText* 제품정보 = nullptr;
    MyText* 차주명 = nullptr;
    MyText* 차주연락처 = nullptr;
    MyText* 차량번호 = nullptr;
    MyText* 차량정보 = nullptr;
    MyText* 화주코드 = nullptr;
    MyText* 화주명 = nullptr;
    MyText* 오더상태 = nullptr;
    MyText* 배차시간 = nullptr;
    QPushButton* 닫기 = nullptr;
    MyText* hFocus = nullptr;

private:
    std::map<QString, QLabel*> m_labels;
    std::array<QButtonGroup*, 2> m_dayKinds{};
    bool m_focusPlaced = false;
};
