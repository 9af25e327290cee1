#pragma once
// Every statement the order board sends, built in one place each. Typed and stored texts go
// through Quote, procedure calls through ExecBuilder, so a quote typed anywhere stays inside
// its literal.
#include <QString>
#include <array>
#include <functional>
#include <optional>
#include <vector>

namespace OrderSql {

// What the list shows: a period with its search text, or one day; the ticked statuses in
// the filter order (접수, 미처리, 배차완료, 운송완료, 계산서, 정산완료, 취소).
struct ListFilter {
    QString from; // "yyyy-mm-dd" or "" (then the day is listed)
    QString to;
    QString search; // used only with a period
    QString day;    // the board's day, "yyyy-mm-dd"
    std::array<bool, 7> ticked{};
    // Only these orders of the list (those another desk just wrote); empty: the whole list.
    std::vector<qint64> only;
};
QString OrderListStatement(const ListFilter& filter);

// The inquiry's list: always a period, the search text applied when there is one.
struct InquiryFilter {
    QString from; // "yyyy-mm-dd"
    QString to;
    QString search;
    std::array<bool, 7> ticked{};
    // Only these orders of the list (those another desk just wrote); empty: the whole list.
    std::vector<qint64> only;
};
QString InquiryListStatement(const InquiryFilter& filter);

// Pieces every order list shares. The search: " and (차량번호 like '%text%' or 차주명 ... or
// 차주연락처 ...)", "" for an empty text. The statuses: " and ( 오더상태='접수' or ... )" for the
// ticked ones in filter order, "" when none is ticked (every status listed). The order clause.
QString SearchCondition(const QString& search);
QString StatusCondition(const std::array<bool, 7>& ticked);
QString ListOrder();
// " and ID in (1,2,...)" for the orders named, "" for none.
QString KeysCondition(const std::vector<qint64>& keys);

QString ShipperLookupStatement(const QString& code);
QString OrderByIdStatement(qint64 id);
// The address search text: trimmed, the old name 전광주 read as 광주.
QString AddressSearchText(const QString& typed);
QString AddressLookupStatement(const QString& searchText);
// The cancels; shownStatus, on our stores, is the status the desk showed: the store refuses the
// cancel when the order has moved from it since.
QString CancelOrderStatement(qint64 id, const std::optional<QString>& shownStatus = std::nullopt);
QString CancelDispatchStatement(qint64 id, const std::optional<QString>& shownStatus = std::nullopt);
// An order's recorded changes, newest first.
QString OrderHistoryStatement(qint64 orderId);
// A shipper's lanes of the last days up to the board's day (cancelled orders aside): each
// distinct 상차지 -> 하차지 with tonnage and kind, how many times, its latest order (최근ID) and
// that order's amount; the most frequent first, the latest first among equals.
inline constexpr int LaneDays = 90;
inline constexpr int LanesOffered = 8;
QString ShipperLanesStatement(const QString& code, const QString& boardDay);
// The order a save with this request key stored, if any.
QString RequestKeyLookupStatement(const QString& requestKey);

// The order's writer: the signed-in broker for a new order (the company name stands for the
// writer's name too), an order's own writer when it is modified.
struct Broker {
    QString id, name, phone;
    std::optional<QString> writer; // 작성자명, when it is not the company name
};
// Shipper details looked up by code; all empty when the code is unknown.
struct Shipper {
    QString 사업자번호, 화주명, 연락처, 대표자, 업태, 종목, 우편번호, 주소1, 주소2, 계산서담당, 이메일;
    std::optional<QString> 상호; // an order's stored 화주상호, when it is not 화주명
};
// The entry panel as it is saved.
struct OrderEntry {
    QString day;    // the board's day, the order date
    QString loadAt; // "yyyy-mm-dd hh:MM"
    QString 상차권역, 상차지;
    QString unloadAt;
    QString 하차권역, 하차지;
    QString 희망톤수, 차종;
    QString weight; // already with "톤"
    qint64 vehicles = 1;
    int runKind = 1; // 1 독차, 2 혼적, 3 왕복
    QString 제품정보;
    int fareKind = 1; // 1 인수증, 2 선착불
    qint64 amount = 0;
    QString 화주코드;
    // Details the panel does not show: a new order sends these, a modified one its own.
    QString 상차지상세, 상차방법 = QStringLiteral("지게차"), 상차담당자, 상차담당연락처;
    QString 하차지상세, 하차방법 = QStringLiteral("지게차"), 하차담당자, 하차담당연락처;
    QString 화물정보2, 비고, 예비1, 예비2, 예비3;
    qint64 수수료 = 0;

    bool operator==(const OrderEntry&) const = default;
};
// requestKey, on our stores: the desk's own key for this save; the store keeps one order per key.
QString SaveOrderStatement(const OrderEntry& entry, const Broker& broker, const Shipper& shipper,
                           const QString& requestKey = {});
// shownVersion, on our stores: the version the modify was decided on; the store refuses the
// modify when the order has moved from it since.
QString ModifyOrderStatement(qint64 id, const OrderEntry& entry, const Broker& broker, const Shipper& shipper,
                             std::optional<qint64> shownVersion = std::nullopt);

// A stored order read back through a field reader (column name -> text): as the modify sends
// it when nothing was changed, its writer and its shipper block.
using FieldReader = std::function<QString(const QString& column)>;
OrderEntry StoredEntry(const FieldReader& field);
Broker StoredWriter(const FieldReader& field);
Shipper StoredShipper(const FieldReader& field);
// A shipper master record (코드_화주), each detail trimmed.
Shipper MasterShipper(const FieldReader& field);
// What a modify sends: each value the agent changed since the order was shown (now differs
// from shown), else the stored one, so a modify never rewrites what nobody touched. Without
// a shown state (null) every panel value counts as typed; the order's date, its details and the fields the
// panel lacks are still the stored ones.
OrderEntry KeepUnchanged(const OrderEntry& stored, const OrderEntry* shown, const OrderEntry& now);

// A field the agent changed that another desk changed too since the order was shown: the value
// as shown, as stored now, as typed.
struct FieldConflict {
    QString caption, shown, stored, typed;
};
// The conflicts between the agent's changes (panelAsShown -> panelNow) and the store's
// (storedAsShown -> storedNow); a field both changed to the same value is none.
std::vector<FieldConflict> Conflicts(const OrderEntry& storedAsShown, const OrderEntry& storedNow,
                                     const OrderEntry& panelAsShown, const OrderEntry& panelNow);
// The question naming each conflict, asked before the agent's values are written.
QString ConflictQuestion(const std::vector<FieldConflict>& conflicts);
// "The order moved from status shown to now since it was shown", the first words of any
// question about a write on it.
QString StatusMovedText(const QString& shown, const QString& now);

} // namespace OrderSql
