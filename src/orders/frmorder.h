#pragma once
// The order board 오더등록: the entry panel on top, the button and filter bars, the day's (or
// a period's) orders below, address suggestions under the address boxes and the refresh
// countdown. The form lives in frmorder.cpp/orderlayout.cpp; the routines in orderlist.cpp,
// orderentry.cpp, addresslookup.cpp, ordercancel.cpp and boardlifecycle.cpp.
#include "orderstatements.h"
#include "screens.h"

#include <QDate>
#include <QPointer>
#include <QSet>
#include <QString>
#include <array>
#include <initializer_list>
#include <map>
#include <optional>

class QButtonGroup;
class QCheckBox;
class QDateEdit;
class QFrame;
class QLabel;
class QPushButton;
class QRadioButton;
class QTimer;
class DropList;
class MyText;
class SpreadGrid;
class SharedRecordset;
class StoreTrap;

class frmOrder : public WorkScreen {
    Q_OBJECT
public:
    explicit frmOrder(QWidget* parent = nullptr);
    ~frmOrder() override;
    void Form_Resize() override;

    // List (both end any reload with the countdown at 0).
    void LoadOrderList(const QString& from = {}, const QString& to = {});
    void RefreshOrderList();
    // Another desk's writes: the listed orders among them read again and patched into the
    // list in place (in, out or changed, in the list's order); selection, scroll position and
    // the entry panel stay as they are. Changed rows show a fading tint.
    void PatchOrders(const QSet<qint64>& orders);
    // The countdown reloads only where the store cannot tell its changes (SQL Server); the
    // board follows the store's feed otherwise.
    void SetLiveFeed(bool live) { m_liveFeed = live; }
    // Entry panel.
    void FillEntryLists();
    void ResetOrderEntry();
    void SaveNewOrder();
    void ModifyOrder();
    void ShowOrderInEntry(int col, int row);
    // Address suggestions; field is "상차지" or "하차지".
    void LookupAddress(const QString& field);
    void PickAddress(int row);
    // The selected row's order copied into the panel as a new order on the board's day.
    void CopyOrder();
    // The shipper's usual lanes offered under 화주코드; Enter on one fills the panel from it.
    void OfferShipperLanes();
    void PickLane(int row);
    // Only that status listed, as if only its box were ticked (its count clicked, Alt+number).
    void ShowOnlyStatus(int status);
    // Cancels of the selected row's order.
    void CancelOrder();
    void CancelDispatch();
    // One Timer1 step.
    void Timer1_Timer();
    void ExportList();
    void CloseScreen();

    QString UnsavedInput() const override;
    // A new refresh interval counts from its start at once.
    void ApplySettings() override;

    qint16 refreshPeriod() const { return m_refreshPeriod; }
    qint16 refreshCountdown() const { return m_countdown; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Form building (frmorder.cpp) and layout (orderlayout.cpp).
    void BuildForm();
    void BuildEntryPanel();
    void BuildBars();
    void ConnectControls();
    void ConnectEntryPanel();
    void PlaceFixedControls();
    void PlaceEntryPanel(double panelWidth);
    // The bars for a panel width; each returns the rows of controls it takes.
    int PlaceButtonBar(double panelWidth);
    int PlaceFilterBar(double panelWidth);
    void LayOut();
    void FitColumns(SpreadGrid& grid) const;

    // Routines' helpers.
    OrderSql::ListFilter CurrentFilter() const;
    void FillList(const SharedRecordset& rs);
    // The list as it is shown, read again without a word on failure (the list keeps its rows).
    void QuietReload(const OrderSql::ListFilter& filter);
    bool ValidateEntry();
    OrderSql::OrderEntry ReadEntry() const;
    OrderSql::Shipper LookupShipper(StoreTrap& trap, bool* found) const;
    // The shipper of the typed code; an unknown code is saved only when the agent says so
    // (nullopt: not to be saved).
    std::optional<OrderSql::Shipper> ResolveShipper(StoreTrap& trap);
    void ShowShipperName(const QString& code, const QString& name);
    void ShipperCodeEntered();
    // The list the agent looks at, reloaded after a write.
    void ReloadAfterWrite();
    // The panel as reset or shown, to tell what the agent has typed since.
    void MarkPanelBaseline(qint64 shownId);
    bool PanelHasInput() const;
    // Asks before typed input is thrown away; false: keep it.
    bool MayDiscardPanel();
    void BuildKeyboard();
    // The entry panel's captions with their Alt letters, fitted to where they now stand.
    void FitEntryCaptions();
    void SelectDateKind(bool loading, int kind);
    void ClearDateKinds();
    void AddressChanged(bool loading);
    void RegionChosen(bool loading, bool byEnter);
    void GridKeyDown(int& keyCode, int shift);
    // Fills the panel from a stored order as a new order: its lanes, load and fare, shipper;
    // the times on the board's day. Status, vehicle, owner and payment stay out.
    void FillFromOrder(qint64 id);
    // The suggestion list under a box, as tall as its rows (up to eight) and as wide as its
    // columns within room (the givers narrowed to fit), with the focus.
    void ShowSuggestions(QWidget* under, int room, std::initializer_list<int> givers = {});
    void SetSuggestionColumns(const QStringList& headers, const QList<double>& widths);
    // Starts the wait after which the entered code's lanes are offered; any key before then
    // (the agent typing on) drops the offer, so the lookup never stands in the way of typing.
    void OfferLanesWhenIdle();
    void BuildStatusStrip();
    void PlaceStatusStrip(double top, double width);
    // The counts follow the list: counted once from a fresh answer, adjusted as rows are patched.
    void CountStatuses(const SharedRecordset& rs);
    void ShowStatusCounts();
    void SuggestionKeyDown(int& keyCode, int shift);
    void RunCancel(bool dispatch);
    // The order as stored now, read inside a modify: false when it is gone.
    struct StoredOrder;
    bool ReadStoredOrder(StoreTrap& trap, qint64 id, StoredOrder& out);
    // Asks about what moved in the store since the order was shown (its status, the fields
    // the agent changed too); false: the agent keeps the panel and nothing is written.
    bool AgreeToMoves(const StoredOrder& now, const OrderSql::OrderEntry& typed);
    qint64 ActiveOrderId();
    void ResetCountdown() { m_countdown = 0; }
    // The countdown's label as the box 새로고침금지 and the count stand now.
    void ShowCountdown();

public:
    // Controls, under their system names (also their object names).
    QWidget* backPanel = nullptr;
    QFrame* SSPanel2 = nullptr;
    std::map<int, QFrame*> SSPanel4;
    std::map<int, QPushButton*> cmdArr;
    QDateEdit* 배차일 = nullptr;
    std::array<QDateEdit*, 2> 배차기간{};
    MyText* 검색어 = nullptr;
    std::array<QCheckBox*, 7> chk조회구분{};
    QCheckBox* chk새로고침금지 = nullptr;
    QLabel* lblCount = nullptr;
    SpreadGrid* sp = nullptr;
    QFrame* 상태건수 = nullptr;              // the strip of counts per status above the list
    std::array<QPushButton*, 7> 상태건수버튼{};

    DropList* 상차권역 = nullptr;
    MyText* 상차지 = nullptr;
    std::array<QRadioButton*, 3> 운행구분{};
    DropList* 댓수 = nullptr;
    MyText* 제품정보 = nullptr;
    std::array<QRadioButton*, 3> 상차일구분{};
    QDateEdit* 상차일 = nullptr;
    DropList* 상차시 = nullptr;
    DropList* 희망톤수 = nullptr;
    DropList* 차종 = nullptr;
    DropList* 하차권역 = nullptr;
    MyText* 하차지 = nullptr;
    DropList* 운임형태 = nullptr;
    MyText* 금액 = nullptr;
    std::array<QRadioButton*, 3> 하차일구분{};
    QDateEdit* 하차일 = nullptr;
    DropList* 하차시 = nullptr;
    MyText* 화주코드 = nullptr;
    MyText* 화주명 = nullptr;
    SpreadGrid* fSP = nullptr;
    MyText* hFocus = nullptr;
    MyText* 화물중량 = nullptr;
    QLabel* 화물중량라벨 = nullptr;
    QTimer* Timer1 = nullptr;

private:
    QButtonGroup* m_runGroup = nullptr;
    QButtonGroup* m_loadKindGroup = nullptr;
    QButtonGroup* m_unloadKindGroup = nullptr;
    std::map<QString, QLabel*> m_labels; // captions of the panels, by caption

    qint16 m_refreshPeriod = 10;
    qint16 m_countdown = 0;
    QString m_addressField;       // which address box the suggestions serve
    bool m_regionDropped = false; // a region list has been dropped down
    bool m_quietAddress = false;  // the board itself is writing an address box
    bool m_settingDay = false;    // the board itself is setting 배차일
    QDate m_listedDay;            // the day the list and the panel's date kinds were built on
    QString m_listFrom, m_listTo; // the period listed, or empty for the day
    OrderSql::ListFilter m_listFilter; // what the list shows now
    bool m_liveFeed = true;
    std::optional<OrderSql::OrderEntry> m_baseline;
    bool m_openedOnce = false;
    qint64 m_shownId = 0;   // the order shown in the panel, 0 after a reset
    // The shown order as it was stored when shown: its values, status and version (none on a
    // store without versions). A modify compares the store with it.
    std::optional<OrderSql::OrderEntry> m_shownStored;
    QString m_shownStatus;
    std::optional<qint64> m_shownVersion;
    // The request key of the order being saved: one per typed order, kept while a save's
    // outcome is open, so saving the same order again never stores it twice.
    QString m_requestKey;
    std::optional<OrderSql::OrderEntry> m_requestEntry;
    QString m_lookedUpCode; // the shipper code whose name 화주명 shows
    std::array<int, 7> m_statusCounts{};
    QTimer* m_laneTimer = nullptr; // the lanes are asked only once the agent stops typing
    QString m_laneCode;            // the shipper code whose lanes are to be offered
    int m_laneLookupMs = 0;        // how long the last lanes lookup took
    QPointer<QWidget> m_beforeLanes; // where the focus was when the lanes were offered
};
