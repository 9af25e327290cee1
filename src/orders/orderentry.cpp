// The entry panel: its lists and defaults, the date kinds, saving, modifying and showing an order.
#include "frmorder.h"

#include "clock.h"
#include "droplist.h"
#include "mytext.h"
#include "orderderive.h"
#include "orderguards.h"
#include "ordersaveoutcome.h"
#include "orderstatements.h"
#include "prompts.h"
#include "signin.h"
#include "spreadgrid.h"
#include "storetrap.h"

#include <QButtonGroup>
#include <QDateEdit>
#include <QRadioButton>
#include <QUuid>
#include <optional>

using namespace OrderBoard;
using OrderDerive::DateKind;

namespace {
// The row's version; none on a store whose rows carry no version.
std::optional<qint64> StoredVersion(const SharedRecordset& rs) {
    if (rs.eof() || rs.columnIndex(QStringLiteral("버전")) < 0) return std::nullopt;
    bool ok = false;
    const qint64 v = rs.field(QStringLiteral("버전")).trimmed().toLongLong(&ok);
    return ok ? std::optional<qint64>(v) : std::nullopt;
}
} // namespace

void frmOrder::FillEntryLists() {
    const QStringList regions = OrderDerive::RegionEntries();
    const QStringList times = OrderDerive::HalfHourEntries();
    for (DropList* list : {상차권역, 하차권역}) {
        list->clear();
        list->addItems(regions);
        list->setCurrentIndex(0);
    }
    for (DropList* list : {상차시, 하차시}) {
        list->clear();
        list->addItems(times);
        list->setCurrentIndex(-1);
    }
    희망톤수->clear();
    희망톤수->addItems({QString(), QStringLiteral("3.5톤"), QStringLiteral("5톤"), QStringLiteral("11톤"),
                        QStringLiteral("25톤")});
    희망톤수->setCurrentIndex(0);
    운임형태->clear();
    운임형태->addItems({QStringLiteral("인수증"), QStringLiteral("선착불")});
    운임형태->setCurrentIndex(0);
    댓수->clear();
    for (int i = 1; i <= 9; ++i)
        댓수->addItem(QString::number(i));
    댓수->setCurrentIndex(0);
    차종->clear();
    차종->addItems(
        {QStringLiteral("윙바디"), QStringLiteral("다마스"), QStringLiteral("롤업"), QStringLiteral("카고")});
    차종->setCurrentIndex(0);
}

void frmOrder::ResetOrderEntry() {
    const QString half = OrderDerive::HalfHour(Clock::now().time());
    {
        QuietFlag quiet(m_quietAddress);
        상차권역->setCurrentIndex(0);
        상차지->SetText(QString());
        하차권역->setCurrentIndex(0);
        하차지->SetText(QString());
    }
    fSP->hide();
    for (DropList* list : {상차시, 하차시, 희망톤수, 댓수, 차종})
        list->dropForeign();
    운행구분[0]->setChecked(true);
    상차일->setDate(Clock::now().date());
    상차시->selectText(half);
    SelectDateKind(true, int(DateKind::SameDay));
    하차일->setDate(Clock::today().addDays(1));
    하차시->selectText(half);
    SelectDateKind(false, int(DateKind::NextDay));
    for (DropList* list : {희망톤수, 운임형태, 댓수, 차종})
        list->setCurrentIndex(0);
    화물중량->SetText(QString());
    금액->SetText(QString());
    제품정보->SetText(QString());
    희망톤수->setCurrentIndex(2);
    if (상차지->isVisible()) 상차지->setFocus();
    MarkPanelBaseline(0);
}

void frmOrder::MarkPanelBaseline(qint64 shownId) {
    m_baseline = ReadEntry();
    m_shownId = shownId;
    if (shownId == 0) {
        m_shownStored.reset();
        m_shownStatus.clear();
        m_shownVersion.reset();
    }
}

QString frmOrder::UnsavedInput() const {
    return PanelHasInput() ? QStringLiteral("오더등록 화면에 입력 중인 오더") : QString();
}

bool frmOrder::PanelHasInput() const {
    if (!m_baseline) return false;
    OrderSql::OrderEntry now = ReadEntry();
    now.day = m_baseline->day; // the board's day is no input of the order
    // A reset keeps the shipper for the next order, so a typed code alone is never lost.
    if (m_shownId == 0) now.화주코드 = m_baseline->화주코드;
    return !(now == *m_baseline);
}

bool frmOrder::MayDiscardPanel() {
    return !PanelHasInput() || Prompt::confirmRisky(QStringLiteral("입력 중인 오더가 있습니다. 지우시겠습니까?"));
}

void frmOrder::SelectDateKind(bool loading, int kind) {
    auto& options = loading ? 상차일구분 : 하차일구분;
    if (kind < 0 || kind > 2) return;
    options[size_t(kind)]->setChecked(true);
    // The rule applies even when the option was selected already: the date may have been
    // moved by hand or the board's day changed since.
    (loading ? 상차일 : 하차일)->setDate(OrderDerive::DateOfKind(DateKind(kind), 배차일->date()));
}

void frmOrder::ClearDateKinds() {
    for (QButtonGroup* group : {m_loadKindGroup, m_unloadKindGroup}) {
        group->setExclusive(false);
        for (QAbstractButton* b : group->buttons())
            b->setChecked(false);
        group->setExclusive(true);
    }
}

bool frmOrder::ValidateEntry() {
    struct Check {
        bool ok;
        const char* message;
        QWidget* focus;
    };
    const qint64 amount = OrderDerive::AmountValue(금액->TextVal());
    const Check checks[] = {
        {상차권역->currentIndex() > 0 && !상차권역->currentText().isEmpty(), "상차권역을 선택하세요",
         상차권역},
        {!상차지->TextVal().isEmpty(), "상차지를 입력해주세요.", 상차지},
        {하차권역->currentIndex() > 0 && !하차권역->currentText().isEmpty(), "하차권역을 선택하세요.",
         하차권역},
        {!하차지->TextVal().isEmpty(), "하차지를 입력하세요.", 하차지},
        {!희망톤수->currentText().isEmpty(), "희망톤수를 선택하세요.", 희망톤수},
        {!차종->currentText().isEmpty(), "차종을 선택하세요.", 차종},
        {amount != 0, "금액을 입력하세요.", 금액},
        // A number the store's charge column cannot hold would fail inside the store or be cut.
        {amount <= OrderDerive::MaxAmount && amount >= -OrderDerive::MaxAmount, "금액이 너무 큽니다.", 금액},
    };
    for (const Check& c : checks) {
        if (!c.ok) {
            Prompt::refusal(QString::fromUtf8(c.message));
            c.focus->setFocus();
            return false;
        }
    }
    return true;
}

OrderSql::OrderEntry frmOrder::ReadEntry() const {
    OrderSql::OrderEntry e;
    const QString dateFormat = QStringLiteral("yyyy-MM-dd");
    e.day = 배차일->date().toString(dateFormat);
    e.loadAt = 상차일->date().toString(dateFormat) + QLatin1Char(' ') + 상차시->currentText().trimmed();
    e.상차권역 = 상차권역->currentText();
    e.상차지 = 상차지->TextVal();
    e.unloadAt = 하차일->date().toString(dateFormat) + QLatin1Char(' ') + 하차시->currentText().trimmed();
    e.하차권역 = 하차권역->currentText();
    e.하차지 = 하차지->TextVal();
    e.희망톤수 = 희망톤수->currentText();
    e.차종 = 차종->currentText();
    e.weight = OrderDerive::WeightText(화물중량->TextVal());
    e.vehicles = qint64(OrderDerive::LeadingNumber(댓수->currentText()));
    e.runKind = 운행구분[1]->isChecked() ? 2 : 운행구분[2]->isChecked() ? 3 : 1;
    e.제품정보 = 제품정보->TextVal();
    e.fareKind = 운임형태->currentIndex() + 1;
    e.amount = OrderDerive::AmountValue(금액->TextVal());
    e.화주코드 = 화주코드->TextVal();
    return e;
}

OrderSql::Shipper frmOrder::LookupShipper(StoreTrap& trap, bool* found) const {
    const SharedRecordset rs = trap.open(OrderSql::ShipperLookupStatement(화주코드->TextVal()));
    *found = !rs.eof();
    if (rs.eof()) return {};
    return OrderSql::MasterShipper([&](const QString& name) { return trap.field(rs, name); });
}

std::optional<OrderSql::Shipper> frmOrder::ResolveShipper(StoreTrap& trap) {
    const QString code = 화주코드->TextVal();
    bool found = false;
    const OrderSql::Shipper s = LookupShipper(trap, &found);
    ShowShipperName(code, s.화주명);
    // A mistyped code would save the order without any shipper details: asked, not silent.
    if (found || code.trimmed().isEmpty()) return s;
    if (Prompt::confirm(QStringLiteral("등록되지 않은 화주코드입니다. 그대로 저장하시겠습니까?"))) return s;
    화주코드->setFocus();
    return std::nullopt;
}

void frmOrder::ShowShipperName(const QString& code, const QString& name) {
    m_lookedUpCode = code;
    화주명->SetText(name);
}

void frmOrder::ShipperCodeEntered() {
    const QString code = 화주코드->TextVal();
    if (code == m_lookedUpCode) return;
    if (code.trimmed().isEmpty()) {
        ShowShipperName(code, QString());
        return;
    }
    RunRoutine([&] {
        StoreTrap trap;
        const SharedRecordset rs = trap.open(OrderSql::ShipperLookupStatement(code));
        ShowShipperName(code, rs.eof() ? QString() : trap.field(rs, QStringLiteral("화주명")).trimmed());
    });
}

void frmOrder::SaveNewOrder() {
    if (!ValidateEntry()) return;
    const OrderSql::OrderEntry entry = ReadEntry();
    bool declined = false;
    OrderSave::Outcome outcome;
    const bool done = RunRoutine([&] {
        StoreTrap trap;
        const std::optional<OrderSql::Shipper> shipper = ResolveShipper(trap);
        if (!shipper) {
            declined = true;
            return;
        }
        // One key per typed order: saving the same order again after an unknown outcome sends
        // the same key, and the store keeps the order once. Anything changed is another order.
        if (StoreChecksVersions()) {
            if (m_requestKey.isEmpty() || !m_requestEntry || !(*m_requestEntry == entry)) {
                m_requestKey = QUuid::createUuid().toString(QUuid::WithoutBraces);
                m_requestEntry = entry;
            }
        } else {
            m_requestKey.clear();
        }
        outcome = OrderSave::Send(trap,
                                  OrderSql::SaveOrderStatement(entry, {LoginId, BrokerName, BrokerPhone, std::nullopt},
                                                               *shipper, m_requestKey),
                                  entry, LoginId, m_requestKey);
    });
    // A stored order is done with its key; an open outcome keeps it for the next try.
    if (done && !declined &&
        (outcome.result == OrderSave::Result::Saved || outcome.result == OrderSave::Result::Found)) {
        m_requestKey.clear();
        m_requestEntry.reset();
    }
    // After an error the panel keeps what was typed, so the agent can correct it and retry.
    if (done && !declined) OrderSave::Finish(*this, outcome, [this] { ReloadAfterWrite(); });
}

void frmOrder::ReloadAfterWrite() {
    // The list the agent was looking at: a period stays a period (its refresh is stopped, so
    // the day's list would never come back by itself).
    LoadOrderList(m_listFrom, m_listTo);
}

qint64 frmOrder::ActiveOrderId() {
    const int row = sp->ActiveRow();
    if (row < 1) return 0;
    sp->setRow(row);
    sp->setCol(1);
    return OrderDerive::TagToId(sp->CellTag());
}

struct frmOrder::StoredOrder {
    OrderSql::OrderEntry entry;
    OrderSql::Broker writer;
    OrderSql::Shipper shipper;
    QString status;
    std::optional<qint64> version;
};

bool frmOrder::ReadStoredOrder(StoreTrap& trap, qint64 id, StoredOrder& out) {
    const SharedRecordset rs = trap.open(OrderSql::OrderByIdStatement(id));
    if (rs.eof()) return false;
    const OrderSql::FieldReader field = [&](const QString& name) { return trap.field(rs, name); };
    out.entry = OrderSql::StoredEntry(field);
    out.writer = OrderSql::StoredWriter(field);
    out.shipper = OrderSql::StoredShipper(field);
    out.status = field(QStringLiteral("오더상태")).trimmed();
    out.version = StoredVersion(rs);
    return true;
}

bool frmOrder::AgreeToMoves(const StoredOrder& now, const OrderSql::OrderEntry& typed) {
    if (!m_shownStored) return true;
    // The same version is the same record: nothing moved.
    if (m_shownVersion && now.version && *m_shownVersion == *now.version) return true;
    const bool statusMoved = now.status != m_shownStatus;
    const std::vector<OrderSql::FieldConflict> conflicts =
        OrderSql::Conflicts(*m_shownStored, now.entry, *m_baseline, typed);
    if (statusMoved &&
        !Prompt::confirm(OrderSql::StatusMovedText(m_shownStatus, now.status) +
                         QStringLiteral("\n그래도 수정하시겠습니까?")))
        return false;
    return conflicts.empty() || Prompt::confirm(OrderSql::ConflictQuestion(conflicts));
}

void frmOrder::ModifyOrder() {
    // The order the panel shows is the one modified, wherever the list's cursor stands now: a
    // modify never writes one order's panel onto another.
    const qint64 id = m_shownId;
    if (id < 1) {
        Prompt::refusal(QStringLiteral("수정할 내용을 선택하세요."));
        return;
    }
    if (!ValidateEntry()) return;
    if (!Prompt::confirm(QStringLiteral("오더를 수정하시겠습니까?"))) return;
    const OrderSql::OrderEntry now = ReadEntry();
    const OrderSql::OrderEntry* shown = m_baseline ? &*m_baseline : nullptr;
    bool declined = false;
    const bool done = RunRoutine([&] {
        StoreTrap trap;
        // The order as stored now: whatever the agent did not change goes back as it is, the
        // writer included (the settlement lists orders by who took them).
        StoredOrder stored;
        if (!ReadStoredOrder(trap, id, stored)) {
            Prompt::refusal(QStringLiteral("이 오더는 다른 곳에서 삭제되어 수정할 수 없습니다."));
            declined = true;
            return;
        }
        if (!AgreeToMoves(stored, now)) {
            declined = true;
            return;
        }
        const OrderSql::OrderEntry entry = OrderSql::KeepUnchanged(stored.entry, shown, now);
        std::optional<OrderSql::Shipper> shipper;
        if (entry.화주코드 == stored.entry.화주코드) shipper = stored.shipper;
        if (!shipper) shipper = ResolveShipper(trap);
        if (!shipper) {
            declined = true;
            return;
        }
        // The version the agent agreed on: the store refuses the write when another desk's
        // slipped in since this read.
        trap.execute(OrderSql::ModifyOrderStatement(id, entry, stored.writer, *shipper,
                                                    StoreChecksVersions() ? stored.version : std::nullopt));
    });
    if (done && !declined) ReloadAfterWrite();
}

void frmOrder::ShowOrderInEntry(int /*col*/, int row) {
    if (row <= 0) return;
    sp->setRow(row);
    sp->setCol(1);
    {
        UpdateLock lock(this);
        const qint64 id = OrderDerive::TagToId(sp->CellTag());
        if (id < 1) return;
        RunRoutine([&] {
            StoreTrap trap;
            const SharedRecordset rs = trap.open(OrderSql::OrderByIdStatement(id));
            if (rs.eof()) return;
            auto f = [&](const char* name) { return trap.field(rs, QString::fromUtf8(name)); };
            QuietFlag quiet(m_quietAddress);
            fSP->hide();
            상차권역->selectText(f("상차권역").trimmed());
            하차권역->selectText(f("하차권역").trimmed());
            상차지->SetText(f("상차지"));
            하차지->SetText(f("하차지"));

            const QDate boardDay = 배차일->date();
            ClearDateKinds();
            const QString moments[2] = {f("상차요청일시").trimmed(), f("하차요청일시").trimmed()};
            for (int side = 0; side < 2; ++side) {
                const bool loading = side == 0;
                const QDate date = QDate::fromString(moments[side].left(10), QStringLiteral("yyyy-MM-dd"));
                QDateEdit* picker = loading ? 상차일 : 하차일;
                if (date.isValid()) picker->setDate(date);
                const int kind = OrderDerive::KindOfDate(date, boardDay);
                // The stored date is shown as stored: for 월착 the option only names its kind,
                // so showing and re-saving an order never moves its date to another Monday.
                if (kind >= 0) (loading ? 상차일구분 : 하차일구분)[size_t(kind)]->setChecked(true);
                // The stored time as it is (14:45 is not rounded to 14:30); one that is not a
                // time leaves the list without a selection rather than stopping half-way.
                const QString stored = moments[side].size() >= 5 ? moments[side].right(5) : QString();
                DropList* time = loading ? 상차시 : 하차시;
                if (OrderDerive::HalfHourOfText(stored).isEmpty())
                    time->setCurrentIndex(-1);
                else
                    time->showValue(stored);
            }

            운행구분[size_t(OrderDerive::RunKindOption(f("적재구분")))]->setChecked(true);
            희망톤수->showValue(f("희망톤수"));
            운임형태->setCurrentIndex(OrderDerive::FareKindEntry(f("운임구분")));
            화물중량->SetText(f("화물중량"));
            댓수->showValue(f("차량대수").trimmed());
            차종->showValue(f("희망차종"));
            금액->SetText(f("운송비"));
            제품정보->SetText(f("화물정보1"));
            // The order's own shipper, so a modify keeps it.
            화주코드->SetText(f("화주코드"));
            ShowShipperName(화주코드->TextVal(), f("화주명").trimmed());
            MarkPanelBaseline(id);
            m_shownStored = OrderSql::StoredEntry([&](const QString& name) { return trap.field(rs, name); });
            m_shownStatus = f("오더상태").trimmed();
            m_shownVersion = StoredVersion(rs);
        });
    }
}
