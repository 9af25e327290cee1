// Repeat orders: a listed order copied into the panel as a new one, and the shipper's usual lanes
// offered under 화주코드. Most orders repeat a lane of the same shipper; both take a few keys.
#include "frmorder.h"

#include "droplist.h"
#include "mytext.h"
#include "orderderive.h"
#include "orderguards.h"
#include "orderstatements.h"
#include "spreadgrid.h"
#include "storetrap.h"

#include <QApplication>
#include <QButtonGroup>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QEvent>
#include <QRadioButton>
#include <QTimer>

using namespace OrderBoard;

void frmOrder::CopyOrder() {
    const qint64 id = sp->ActiveRow() >= 1 ? ActiveOrderId() : m_shownId;
    if (id < 1 || !MayDiscardPanel()) return;
    FillFromOrder(id);
}

void frmOrder::FillFromOrder(qint64 id) {
    RunRoutine([&] {
        StoreTrap trap;
        const SharedRecordset rs = trap.open(OrderSql::OrderByIdStatement(id));
        if (rs.eof()) return;
        auto f = [&](const char* name) { return trap.field(rs, QString::fromUtf8(name)); };
        // A new order: the panel starts from its reset state, so what is copied counts as typed
        // (closing or reloading asks before it goes) and the save gets a key of its own.
        ResetOrderEntry();
        m_requestKey.clear();
        m_requestEntry.reset();
        {
            QuietFlag quiet(m_quietAddress);
            상차권역->selectText(f("상차권역").trimmed());
            하차권역->selectText(f("하차권역").trimmed());
            상차지->SetText(f("상차지"));
            하차지->SetText(f("하차지"));
        }
        // The times move to the board's day as the order stood to its own: the same day kind,
        // else the same number of days after it.
        const QDate orderDay = QDate::fromString(f("날짜").trimmed().left(10), QStringLiteral("yyyy-MM-dd"));
        const QDate boardDay = 배차일->date();
        const QString moments[2] = {f("상차요청일시").trimmed(), f("하차요청일시").trimmed()};
        for (int side = 0; side < 2; ++side) {
            const bool loading = side == 0;
            const QDate date = QDate::fromString(moments[side].left(10), QStringLiteral("yyyy-MM-dd"));
            const int kind = OrderDerive::KindOfDate(date, orderDay);
            if (kind >= 0) {
                SelectDateKind(loading, kind);
            } else if (date.isValid() && orderDay.isValid()) {
                QButtonGroup* group = loading ? m_loadKindGroup : m_unloadKindGroup;
                group->setExclusive(false);
                for (QAbstractButton* b : group->buttons())
                    b->setChecked(false);
                group->setExclusive(true);
                (loading ? 상차일 : 하차일)->setDate(boardDay.addDays(orderDay.daysTo(date)));
            }
            const QString time = moments[side].size() >= 5 ? moments[side].right(5) : QString();
            if (!OrderDerive::HalfHourOfText(time).isEmpty()) (loading ? 상차시 : 하차시)->showValue(time);
        }
        운행구분[size_t(OrderDerive::RunKindOption(f("적재구분")))]->setChecked(true);
        희망톤수->showValue(f("희망톤수"));
        차종->showValue(f("희망차종"));
        댓수->showValue(f("차량대수").trimmed());
        운임형태->setCurrentIndex(OrderDerive::FareKindEntry(f("운임구분")));
        금액->SetText(f("운송비"));
        제품정보->SetText(f("화물정보1"));
        화주코드->SetText(f("화주코드"));
        ShowShipperName(화주코드->TextVal(), f("화주명").trimmed());
    });
    // The agent adjusts what differs this time, starting where a new order starts.
    상차지->setFocus();
}

namespace {
// Watches the whole program's keys while an offer waits: a key typed means the agent is moving
// on, and the offer is dropped.
class KeyWatch final : public QObject {
public:
    explicit KeyWatch(QTimer* timer) : QObject(timer), m_timer(timer) {
        connect(timer, &QTimer::timeout, this, [this] { qApp->removeEventFilter(this); });
    }
    // Armed while the Enter that started the wait is being handled: the filters have seen it
    // already, so only the keys after it count.
    void arm() {
        qApp->removeEventFilter(this);
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        const auto type = event->type();
        // Keys the board sends itself (Enter moving on as Tab) are not the agent's.
        if ((type == QEvent::KeyPress || type == QEvent::InputMethod) && event->spontaneous()) {
            m_timer->stop();
            qApp->removeEventFilter(this);
        }
        return false;
    }

private:
    QTimer* m_timer;
};
} // namespace

void frmOrder::OfferLanesWhenIdle() {
    if (m_shownId != 0) return;
    m_laneCode = 화주코드->TextVal();
    if (m_laneCode.trimmed().isEmpty()) return;
    if (!m_laneTimer) {
        m_laneTimer = new QTimer(this);
        m_laneTimer->setSingleShot(true);
        connect(m_laneTimer, &QTimer::timeout, this, &frmOrder::OfferShipperLanes);
        new KeyWatch(m_laneTimer);
    }
    // At least as long as the lookup itself takes: an agent who types faster never waits on it.
    m_laneTimer->start(qBound(120, m_laneLookupMs, 1000));
    static_cast<KeyWatch*>(m_laneTimer->children().constFirst())->arm();
}

void frmOrder::OfferShipperLanes() {
    const QString code = m_laneCode;
    if (code.trimmed().isEmpty() || m_shownId != 0 || !isVisible()) return;
    QElapsedTimer took;
    took.start();
    RunRoutine([&] {
        StoreTrap trap;
        const SharedRecordset rs = trap.open(
            OrderSql::ShipperLanesStatement(code, 배차일->date().toString(QStringLiteral("yyyy-MM-dd"))));
        const dstore::ResultSet* rows = rs.rows();
        if (rs.eof() || !rows) return;
        auto cell = [rows](qsizetype r, const char* name) {
            const int c = rows->columnIndex(name);
            return c < 0 ? QString() : rows->text(r, c).trimmed();
        };
        SetSuggestionColumns({QStringLiteral("상차지 → 하차지"), QStringLiteral("톤수"), QStringLiteral("차종"),
                              QStringLiteral("최근금액"), QStringLiteral("횟수")},
                             {34, 6, 7, 9, 5});
        {
            RedrawOff redraw(fSP);
            fSP->setMaxRows(0);
            for (qsizetype r = 0; r < qMin<qsizetype>(rows->rowCount(), OrderSql::LanesOffered); ++r) {
                const QString lane = cell(r, "상차권역") + QLatin1Char(' ') + cell(r, "상차지") +
                                     QStringLiteral(" → ") + cell(r, "하차권역") + QLatin1Char(' ') +
                                     cell(r, "하차지");
                fSP->AppendRow({lane, cell(r, "희망톤수"), cell(r, "희망차종"),
                                OrderDerive::AmountText(cell(r, "운송비")), cell(r, "횟수")},
                               cell(r, "최근ID"));
            }
        }
        fSP->setColumnAlignment(4, Qt::AlignRight | Qt::AlignVCenter);
        fSP->setColumnAlignment(5, Qt::AlignRight | Qt::AlignVCenter);
        m_addressField = QStringLiteral("화주코드");
        m_beforeLanes = QApplication::focusWidget();
        ShowSuggestions(화주코드, backPanel->width(), {0});
    });
    m_laneLookupMs = int(took.elapsed());
}

void frmOrder::PickLane(int row) {
    if (row < 1 || row > fSP->MaxRows()) return;
    fSP->setRow(row);
    fSP->setCol(1);
    const qint64 id = OrderDerive::TagToId(fSP->CellTag());
    fSP->setMaxRows(0);
    fSP->hide();
    if (id >= 1) FillFromOrder(id);
}
