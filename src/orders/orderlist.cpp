// The list of the board: the day's or a period's orders with their derived texts and colours.
#include "frmorder.h"

#include "droplist.h"
#include "livelist.h"
#include "mytext.h"
#include "orderderive.h"
#include "orderguards.h"
#include "orderstatements.h"
#include "spreadmodel.h"
#include "storetrap.h"
#include "textformat.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QStringDecoder>
#include <QVarLengthArray>
#include <algorithm>
#include <map>
#include <string>
#include <unordered_map>

using namespace OrderBoard;

namespace {
// The columns of the board's view the list reads, in the order of FillList's field numbers; the
// view's other columns are never read out of the store for the list.
const char* const ListNames[] = {"날짜",       "오더상태",  "상차권역",     "상차지",       "하차권역",
                                 "하차지",     "화물정보1", "희망톤수",     "운송비",       "차주명",
                                 "차주연락처", "차량번호",  "차량정보",     "차량톤수",     "차량길이",
                                 "차량길이2",  "배차시간",  "상차요청일시", "하차요청일시", "ID"};

const ColumnRequest& ListColumns() {
    static const ColumnRequest columns(std::begin(ListNames), std::end(ListNames));
    return columns;
}
} // namespace

OrderSql::ListFilter frmOrder::CurrentFilter() const {
    OrderSql::ListFilter f;
    f.day = 배차일->date().toString(QStringLiteral("yyyy-MM-dd"));
    for (size_t i = 0; i < chk조회구분.size(); ++i)
        f.ticked[i] = chk조회구분[i]->isChecked();
    return f;
}

void frmOrder::LoadOrderList(const QString& from, const QString& to) {
    OrderSql::ListFilter filter = CurrentFilter();
    const bool period = !from.isEmpty() && !to.isEmpty();
    if (period) {
        filter.from = from;
        filter.to = to;
        filter.search = 검색어->TextVal();
    }
    m_listFrom = period ? from : QString();
    m_listTo = period ? to : QString();
    m_listFilter = filter;
    m_listedDay = 배차일->date();
    UpdateLock lock(this);
    m_countdown = 0;
    // The list's old answer goes just before the new one is read, which is written into its
    // pages.
    const dstore::ReuseAnswerStorage reuse;
    sp->setMaxRows(0);
    RedrawOff redraw(sp);
    ResetOrderEntry();
    m_statusCounts.fill(0);
    ShowStatusCounts();
    RunRoutine([&] {
        StoreTrap trap;
        const SharedRecordset rs = trap.open(OrderSql::OrderListStatement(filter), ListColumns());
        FillList(rs);
    });
}

void frmOrder::RefreshOrderList() {
    m_countdown = 0;
    QuietReload(CurrentFilter());
}

void frmOrder::QuietReload(const OrderSql::ListFilter& filter) {
    const QString statement = OrderSql::OrderListStatement(filter);
    m_countdown = 0;
    // The automatic refresh is quiet: it runs every few seconds with nobody asking for it, so
    // a failure must not put a box (or a reconnect question) in front of the agent. The list
    // keeps its rows; the next reload the agent starts goes through the error trap.
    if (!StoreConnection) return;
    SharedRecordset rs;
    try {
        SqlText = statement;
        rs = SharedRecordset(StoreConnection->query(statement, ListColumns()));
    } catch (const StoreFailure&) {
        return;
    } catch (const dstore::Error&) {
        return;
    }
    m_listFilter = filter;
    m_listFilter.only.clear();

    // The agent's row stays selected by its order, not by its position, so 오더수정 and the
    // cancels never act on another order that moved into that place.
    RefillKeepingPlace(*sp, [&] { FillList(rs); });
}

namespace {
// The board's rows as the grid builds them: straight from the answer, only when a row is first
// read (drawn, reached by a key, exported). A period of a hundred thousand orders is listed at
// the cost of reading it from the store; the agent's screenful is built as it is shown.
class BoardRows final : public RowSource {
public:
    explicit BoardRows(SharedRecordset rs) : m_rs(std::move(rs)), m_rows(m_rs.rows()) {
        // Columns are found once per answer; a column the view lacks leaves its cells empty.
        for (int i = 0; i < Count; ++i)
            m_col[i] = m_rows->columnIndex(QByteArrayView(ListNames[i]));
    }

    qsizetype rowCount() const override { return m_rows->rowCount(); }
    int columnCount() const override { return 14; }

    QString rowTag(qsizetype r) override { return QString::fromUtf8(bytes(r, ID).trimmed()); }

    void buildRow(qsizetype r, QString& cells, std::vector<quint32>& ends, QString& tag,
                  QColor& colour) override {
        // The cells shown as stored are decoded from the answer's UTF-8 straight into the joined
        // text; the fields that feed derived texts are decoded into buffers of this source and
        // read through strings that borrow them.
        const QString statusText = m_status.read(m_utf8, bytes(r, 오더상태));
        const QString phoneText = FormatPhone(m_phone.read(m_utf8, bytes(r, 차주연락처)));
        const QString& vehicleText = vehicle(r);
        const QString dispatched = OrderDerive::DispatchTimeText(m_dispatch.read(m_utf8, bytes(r, 배차시간)));
        const QString fare = OrderDerive::AmountText(m_fare.read(m_utf8, bytes(r, 운송비)));

        static constexpr int AsStored[] = {날짜,     오더상태,     상차권역_,   상차지_, 하차권역_,
                                           하차지_,  화물정보1,    희망톤수_,   차주명,
                                           차량번호, 상차요청일시, 하차요청일시};
        qsizetype room = 2 + phoneText.size() + vehicleText.size() + dispatched.size() + fare.size();
        for (int field : AsStored)
            room += bytes(r, field).size(); // UTF-16 units never outnumber UTF-8 bytes
        cells.resize(room);
        QChar* const begin = cells.data();
        QChar* out = begin;
        ends.clear();
        ends.reserve(14);
        const auto put = [&](int field) { out = m_utf8.appendToBuffer(out, bytes(r, field)); };
        const auto putText = [&](const QString& t) {
            std::copy(t.cbegin(), t.cend(), out);
            out += t.size();
        };
        const auto end = [&] { ends.push_back(quint32(out - begin)); };
        put(날짜), end();
        put(오더상태), end();
        put(상차권역_), *out++ = QLatin1Char(' '), put(상차지_), end();
        put(하차권역_), *out++ = QLatin1Char(' '), put(하차지_), end();
        put(화물정보1), end();
        put(희망톤수_), end();
        putText(fare), end();
        put(차주명), end();
        putText(phoneText), end();
        put(차량번호), end();
        putText(vehicleText), end();
        putText(dispatched), end();
        put(상차요청일시), end();
        put(하차요청일시), end();
        cells.truncate(out - begin);
        cells.squeeze();
        tag = rowTag(r);
        colour = StatusScheme::StatusColour(statusText);
    }

private:
    enum {
        날짜,
        오더상태,
        상차권역_,
        상차지_,
        하차권역_,
        하차지_,
        화물정보1,
        희망톤수_,
        운송비,
        차주명,
        차주연락처,
        차량번호,
        차량정보,
        차량톤수,
        차량길이,
        차량길이2,
        배차시간,
        상차요청일시,
        하차요청일시,
        ID,
        Count
    };
    static_assert(Count == std::size(ListNames));

    // A field's text in its own buffer: valid until the same field of another row is read.
    struct Borrowed {
        QVarLengthArray<QChar, 64> buffer;
        QString read(QStringDecoder& decoder, QByteArrayView from) {
            buffer.resize(from.size()); // UTF-16 units never outnumber UTF-8 bytes
            const QChar* end = decoder.appendToBuffer(buffer.data(), from);
            return QString::fromRawData(buffer.constData(), end - buffer.constData());
        }
    };

    QByteArrayView bytes(qsizetype r, int field) const {
        return m_col[field] < 0 ? QByteArrayView() : m_rows->bytes(r, m_col[field]);
    }

    // Vehicles repeat over a list (a few kinds, tonnages and lengths): each text is made once.
    const QString& vehicle(qsizetype r) {
        m_vehicleKey.clear();
        for (int field : {차량정보, 차량톤수, 차량길이, 차량길이2})
            m_vehicleKey.append(bytes(r, field).data(), size_t(bytes(r, field).size())).push_back('\0');
        auto found = m_vehicles.find(m_vehicleKey);
        if (found == m_vehicles.end())
            found = m_vehicles
                        .emplace(m_vehicleKey, OrderDerive::VehicleText(m_info.read(m_utf8, bytes(r, 차량정보)),
                                                                        m_tonnage.read(m_utf8, bytes(r, 차량톤수)),
                                                                        m_length.read(m_utf8, bytes(r, 차량길이)),
                                                                        m_length2.read(m_utf8, bytes(r, 차량길이2))))
                        .first;
        return found->second;
    }

    const SharedRecordset m_rs; // keeps the answer alive while the grid holds its rows
    const dstore::ResultSet* const m_rows;
    int m_col[Count];
    QStringDecoder m_utf8{QStringDecoder::Utf8};
    Borrowed m_status, m_phone, m_info, m_tonnage, m_length, m_length2, m_dispatch, m_fare;
    std::unordered_map<std::string, QString> m_vehicles;
    std::string m_vehicleKey;
};
} // namespace

void frmOrder::FillList(const SharedRecordset& rs) {
    CountStatuses(rs);
    if (!rs.rows()) return;
    sp->AppendSourceRows(std::make_shared<BoardRows>(rs));
}

void frmOrder::GridKeyDown(int& keyCode, int /*shift*/) {
    const int row = sp->ActiveRow();
    if (sp->MaxRows() == 0 || row < 1) return;
    if (keyCode == 13) {
        // The order found, Enter goes to work on it.
        keyCode = 0;
        상차권역->setFocus();
    }
    // Every key that moves the cursor (arrows, PageUp/PageDown, Home/End, with Ctrl too) shows
    // the order it lands on once the grid has moved: see KeyMovedRow in ConnectControls.
}

namespace {
// The list's order: newest day first, then dispatch time, status and newest order, as the
// statement sorts.
const LiveOrder& BoardOrder() {
    static const LiveOrder order{{{1, true}, {12, false}, {2, false}}, true};
    return order;
}
} // namespace

void frmOrder::PatchOrders(const QSet<qint64>& orders) {
    if (orders.isEmpty()) return;
    OrderSql::ListFilter filter = m_listFilter;
    filter.only.assign(orders.cbegin(), orders.cend());
    std::sort(filter.only.begin(), filter.only.end());
    const SharedRecordset rs = ReadChangedRows(OrderSql::OrderListStatement(filter), ListColumns());
    if (!rs.rows()) return;
    BoardRows source(rs);
    // The counts per status follow the rows that go, change and come.
    auto count = [this](const QString& status, int step) {
        for (size_t i = 0; i < OrderDerive::Statuses.size(); ++i)
            if (OrderDerive::Statuses[i] == status.trimmed()) m_statusCounts[i] += step;
    };
    for (int r = 1; r <= sp->MaxRows(); ++r) // tags are read without building rows
        if (orders.contains(OrderDerive::TagToId(sp->spreadModel()->tag(r - 1)))) count(sp->GetText(2, r), -1);
    std::vector<FreshRow> fresh = FreshRow::AllOf(source);
    for (const FreshRow& row : fresh)
        count(row.cell(2), +1);
    PatchListRows(*sp, orders, std::move(fresh), BoardOrder());
    ShowStatusCounts();
}
