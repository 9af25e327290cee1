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

using namespace OrderBoard;
using OrderDerive::DateKind;

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

OrderSql::Shipper frmOrder::LookupShipper(StoreTrap& trap) const {
    OrderSql::Shipper s;
    const SharedRecordset rs = trap.open(OrderSql::ShipperLookupStatement(화주코드->TextVal()));
    if (rs.eof()) return s;
    auto f = [&](const char* name) { return trap.field(rs, QString::fromUtf8(name)).trimmed(); };
    s.대표자 = f("대표자");
    s.화주명 = f("화주명");
    s.업태 = f("업태");
    s.종목 = f("종목");
    s.우편번호 = f("우편번호");
    s.주소1 = f("주소1");
    s.주소2 = f("주소2");
    s.계산서담당 = f("계산서담당");
    s.이메일 = f("이메일");
    s.사업자번호 = f("사업자번호");
    s.연락처 = f("연락처");
    return s;
}

void frmOrder::SaveNewOrder() {
    if (!ValidateEntry()) return;
    const OrderSql::OrderEntry entry = ReadEntry();
    OrderSave::Outcome outcome;
    const bool done = RunRoutine([&] {
        StoreTrap trap;
        const OrderSql::Shipper shipper = LookupShipper(trap);
        outcome = OrderSave::Send(
            trap, OrderSql::SaveOrderStatement(entry, {LoginId, BrokerName, BrokerPhone}, shipper), entry,
            LoginId);
    });
    // After an error the panel keeps what was typed, so the agent can correct it and retry.
    if (done) OrderSave::Finish(*this, outcome, [this] { LoadOrderList(); });
}

qint64 frmOrder::ActiveOrderId() {
    const int row = sp->ActiveRow();
    if (row < 1) return 0;
    sp->setRow(row);
    sp->setCol(1);
    return OrderDerive::TagToId(sp->CellTag());
}

void frmOrder::ModifyOrder() {
    const qint64 id = ActiveOrderId();
    if (id < 1) {
        Prompt::refusal(QStringLiteral("수정할 내용을 선택하세요."));
        return;
    }
    if (!ValidateEntry()) return;
    if (!Prompt::confirm(QStringLiteral("오더를 수정하시겠습니까?"))) return;
    const OrderSql::OrderEntry entry = ReadEntry();
    const bool done = RunRoutine([&] {
        StoreTrap trap;
        const OrderSql::Shipper shipper = LookupShipper(trap);
        trap.execute(OrderSql::ModifyOrderStatement(id, entry, {LoginId, BrokerName, BrokerPhone}, shipper));
    });
    if (done) LoadOrderList();
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
                // A stored time that is not a time leaves the list without a selection
                // rather than stopping half-way through the order.
                const QString half = moments[side].size() >= 5
                                         ? OrderDerive::HalfHourOfText(moments[side].right(5))
                                         : QString();
                DropList* time = loading ? 상차시 : 하차시;
                if (half.isEmpty())
                    time->setCurrentIndex(-1);
                else
                    time->selectText(half);
            }

            const qint64 run = qint64(OrderDerive::LeadingNumber(f("적재구분")));
            운행구분[run == 2 ? 1 : run == 3 ? 2 : 0]->setChecked(true);
            희망톤수->selectText(f("희망톤수"));
            운임형태->setCurrentIndex(qint64(OrderDerive::LeadingNumber(f("운임구분"))) == 1 ? 0 : 1);
            화물중량->SetText(f("화물중량"));
            댓수->setCurrentIndex(0);
            차종->selectText(f("희망차종"));
            금액->SetText(f("운송비"));
            제품정보->SetText(f("화물정보1"));
        });
    }
    hFocus->setFocus();
}
