// The list of the board: the day's or a period's orders with their derived texts and colours.
#include "frmorder.h"

#include "droplist.h"
#include "mytext.h"
#include "orderderive.h"
#include "orderguards.h"
#include "orderstatements.h"
#include "storetrap.h"
#include "textformat.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QStringDecoder>
#include <QVarLengthArray>
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
    m_listedDay = 배차일->date();
    UpdateLock lock(this);
    m_countdown = 0;
    sp->setMaxRows(0);
    RedrawOff redraw(sp);
    ResetOrderEntry();
    RunRoutine([&] {
        StoreTrap trap;
        const SharedRecordset rs = trap.open(OrderSql::OrderListStatement(filter), ListColumns());
        FillList(rs);
    });
}

void frmOrder::RefreshOrderList() {
    OrderSql::ListFilter filter = CurrentFilter();
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

    // The agent's row stays selected by its order, not by its position, so 오더수정 and the
    // cancels never act on another order that moved into that place.
    const int activeRow = sp->ActiveRow();
    const int activeCol = qMax(1, sp->ActiveCol());
    QString activeTag;
    if (activeRow >= 1) {
        sp->setRow(activeRow);
        sp->setCol(1);
        activeTag = sp->CellTag();
    }
    UpdateLock lock(this);
    {
        RedrawOff redraw(sp);
        sp->setMaxRows(0);
        FillList(rs);
    }
    if (!activeTag.isEmpty()) {
        for (int r = 1; r <= sp->MaxRows(); ++r) {
            sp->setRow(r);
            if (sp->CellTag() == activeTag) {
                sp->SetActiveCell(activeCol, r);
                break;
            }
        }
    }
}

void frmOrder::FillList(const SharedRecordset& rs) {
    const dstore::ResultSet* rows = rs.rows();
    if (!rows) return;
    // Columns are found once per answer; a column the view lacks leaves its cells empty.
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
    int col[Count];
    for (int i = 0; i < Count; ++i)
        col[i] = rows->columnIndex(QByteArrayView(ListNames[i]));

    // Each row is written straight into one joined text: the cells shown as stored are decoded
    // from the answer's UTF-8 into it, and the fields that feed derived texts are decoded into
    // buffers of this fill and read through strings that borrow them, so a row costs its joined
    // text, its cell ends and its tag on the heap and little else.
    const qsizetype n = rows->rowCount();
    QStringDecoder utf8(QStringDecoder::Utf8);
    auto bytes = [&](qsizetype r, int field) {
        return col[field] < 0 ? QByteArrayView() : rows->bytes(r, col[field]);
    };
    // A field's text in its own buffer: valid until the same field of the next row is read.
    struct Borrowed {
        QVarLengthArray<QChar, 64> buffer;
        QString read(QStringDecoder& decoder, QByteArrayView from) {
            buffer.resize(from.size()); // UTF-16 units never outnumber UTF-8 bytes
            const QChar* end = decoder.appendToBuffer(buffer.data(), from);
            return QString::fromRawData(buffer.constData(), end - buffer.constData());
        }
    };
    Borrowed status, phone, info, tonnage, length, length2, dispatch;
    // Vehicles repeat over a list (a few kinds, tonnages and lengths): each text is made once.
    std::unordered_map<std::string, QString> vehicles;
    std::string vehicleKey;
    QVarLengthArray<QChar, 512> line;
    sp->ReserveRows(sp->MaxRows() + int(n));
    static constexpr int AsStored[] = {날짜,     오더상태,     상차권역_,   상차지_, 하차권역_,
                                       하차지_,  화물정보1,    희망톤수_,   운송비,  차주명,
                                       차량번호, 상차요청일시, 하차요청일시};
    for (qsizetype r = 0; r < n; ++r) {
        const QString statusText = status.read(utf8, bytes(r, 오더상태));
        const QString phoneText = FormatPhone(phone.read(utf8, bytes(r, 차주연락처)));
        vehicleKey.clear();
        for (int field : {차량정보, 차량톤수, 차량길이, 차량길이2})
            vehicleKey.append(bytes(r, field).data(), size_t(bytes(r, field).size())).push_back('\0');
        auto vehicle = vehicles.find(vehicleKey);
        if (vehicle == vehicles.end())
            vehicle =
                vehicles
                    .emplace(vehicleKey, OrderDerive::VehicleText(info.read(utf8, bytes(r, 차량정보)),
                                                                  tonnage.read(utf8, bytes(r, 차량톤수)),
                                                                  length.read(utf8, bytes(r, 차량길이)),
                                                                  length2.read(utf8, bytes(r, 차량길이2))))
                    .first;
        const QString& vehicleText = vehicle->second;
        const QString dispatched = OrderDerive::DispatchTimeText(dispatch.read(utf8, bytes(r, 배차시간)));

        qsizetype room = 2 + phoneText.size() + vehicleText.size() + dispatched.size();
        for (int field : AsStored)
            room += bytes(r, field).size(); // UTF-16 units never outnumber UTF-8 bytes
        line.resize(room);
        QChar* const begin = line.data();
        QChar* out = begin;
        std::vector<quint32> ends;
        ends.reserve(14);
        const auto put = [&](int field) { out = utf8.appendToBuffer(out, bytes(r, field)); };
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
        put(운송비), end();
        put(차주명), end();
        putText(phoneText), end();
        put(차량번호), end();
        putText(vehicleText), end();
        putText(dispatched), end();
        put(상차요청일시), end();
        put(하차요청일시), end();
        // The joined text is allocated once at its exact size; the grid keeps it.
        sp->AppendJoinedRow(QString(begin, out - begin), std::move(ends),
                            QString::fromUtf8(bytes(r, ID).trimmed()), OrderDerive::StatusColour(statusText));
    }
}

void frmOrder::GridKeyDown(int& keyCode, int /*shift*/) {
    const int row = sp->ActiveRow();
    if (sp->MaxRows() == 0 || row < 1) return;
    if (keyCode == 13) {
        // The order found, Enter goes to work on it.
        keyCode = 0;
        상차권역->setFocus();
    } else if (keyCode == 40 && row < sp->MaxRows()) {
        ShowOrderInEntry(sp->ActiveCol(), row + 1);
        sp->setFocus();
    } else if (keyCode == 38 && row > 1) {
        ShowOrderInEntry(sp->ActiveCol(), row - 1);
        sp->setFocus();
    }
}
