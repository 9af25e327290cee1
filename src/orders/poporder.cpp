#include "poporder.h"

#include "droplist.h"
#include "gridroutines.h"
#include "mytext.h"
#include "orderderive.h"
#include "orderhistory.h"
#include "orderstatements.h"
#include "signin.h"
#include "statusscheme.h"
#include "storetrap.h"
#include "twips.h"

#include <QButtonGroup>
#include <QDateEdit>
#include <QEvent>
#include <QPushButton>
#include <QFrame>
#include <QLabel>
#include <QRadioButton>
#include <QStyle>

namespace {
constexpr double kRow = 300;                                       // height of a field
constexpr double kTop[7] = {45, 375, 705, 1035, 1365, 1755, 2085}; // rows, the owner block last
constexpr double kPanelWidth = 13290, kPanelHeight = 2850;

template <class W> W* Make(QWidget* parent, const QString& name) {
    auto* w = new W(parent);
    w->setObjectName(name);
    return w;
}

QDateEdit* ShownDate(QWidget* parent, const QString& name) {
    auto* d = Make<QDateEdit>(parent, name);
    d->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    d->setReadOnly(true);
    d->setButtonSymbols(QAbstractSpinBox::NoButtons);
    return d;
}

// A stored date shown in a picker; a text that is no date is shown as stored (the picker's
// special text at its minimum), never as some other day.
void ShowDate(QDateEdit* picker, const QString& stored) {
    const QDate date = QDate::fromString(stored, QStringLiteral("yyyy-MM-dd"));
    if (date.isValid()) {
        picker->setSpecialValueText(QString());
        picker->setDate(date);
    } else {
        picker->setSpecialValueText(stored.isEmpty() ? QStringLiteral(" ") : stored);
        picker->setDate(picker->minimumDate());
    }
}
} // namespace

popOrder::popOrder(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("popOrder"));
    setWindowTitle(QStringLiteral("오더정보"));
    setFont(QFont(QStringLiteral("굴림"), 9));
    BuildForm();
    PlaceControls();
    // The inner area is exactly the background panel.
    setFixedSize(backPanel->size());
    FillLists();
    LoadRecord();
}

void popOrder::BuildForm() {
    backPanel = Make<QFrame>(this, QStringLiteral("backPanel"));
    backPanel->setFrameShape(QFrame::Panel);
    backPanel->setFrameShadow(QFrame::Raised);
    QWidget* p = backPanel;
    const QStringList captions = {"배차일", "오더상태", "배차시간", "상차지",   "상차일시", "하차지",   "하차일시", "운행방법",
                                  "희망톤수", "운임형태", "화물중량", "댓수",     "차종",     "금액",
                                  "제품정보", "차주명",   "연락처",   "차량번호", "차량정보", "화주정보"};
    for (const QString& caption : captions) {
        auto* l = new QLabel(caption, p);
        l->setObjectName(QStringLiteral("라벨_") + caption);
        m_labels[caption] = l;
    }
    auto options = [this, p](const char* name, const QStringList& texts, QButtonGroup* group) {
        std::array<QRadioButton*, 3> buttons{};
        for (int i = 0; i < 3; ++i) {
            buttons[size_t(i)] = new QRadioButton(texts[i], p);
            buttons[size_t(i)]->setObjectName(QString::fromUtf8(name) + QStringLiteral("(%1)").arg(i));
            group->addButton(buttons[size_t(i)], i);
        }
        return buttons;
    };
    const QStringList kinds = {QStringLiteral("당일"), QStringLiteral("익일"), QStringLiteral("월착")};
    m_dayKinds = {new QButtonGroup(this), new QButtonGroup(this)};

    배차일 = ShownDate(p, QStringLiteral("배차일"));
    상차권역 = Make<DropList>(p, QStringLiteral("상차권역"));
    상차지 = Make<MyText>(p, QStringLiteral("상차지"));
    상차일구분 = options("상차일구분", kinds, m_dayKinds[0]);
    상차일 = ShownDate(p, QStringLiteral("상차일"));
    상차시 = Make<DropList>(p, QStringLiteral("상차시"));
    하차권역 = Make<DropList>(p, QStringLiteral("하차권역"));
    하차지 = Make<MyText>(p, QStringLiteral("하차지"));
    하차일구분 = options("하차일구분", kinds, m_dayKinds[1]);
    하차일 = ShownDate(p, QStringLiteral("하차일"));
    하차시 = Make<DropList>(p, QStringLiteral("하차시"));
    운행구분 = options("운행구분", {QStringLiteral("독차"), QStringLiteral("혼적"), QStringLiteral("왕복")},
                       new QButtonGroup(this));
    희망톤수 = Make<DropList>(p, QStringLiteral("희망톤수"));
    운임형태 = Make<DropList>(p, QStringLiteral("운임형태"));
    화물중량 = Make<MyText>(p, QStringLiteral("화물중량"));
    댓수 = Make<DropList>(p, QStringLiteral("댓수"));
    차종 = Make<DropList>(p, QStringLiteral("차종"));
    금액 = Make<MyText>(p, QStringLiteral("금액"));
    제품정보 = Make<MyText>(p, QStringLiteral("제품정보"));
    차주명 = Make<MyText>(p, QStringLiteral("차주명"));
    차주연락처 = Make<MyText>(p, QStringLiteral("차주연락처"));
    차량번호 = Make<MyText>(p, QStringLiteral("차량번호"));
    차량정보 = Make<MyText>(p, QStringLiteral("차량정보"));
    화주코드 = Make<MyText>(p, QStringLiteral("화주코드"));
    화주명 = Make<MyText>(p, QStringLiteral("화주명"));
    오더상태 = Make<MyText>(p, QStringLiteral("오더상태"));
    배차시간 = Make<MyText>(p, QStringLiteral("배차시간"));
    // Takes the focus when the pop-up comes up, so no box looks selected; never reached by Tab.
    hFocus = Make<MyText>(p, QStringLiteral("hFocus"));
    hFocus->setFocusPolicy(Qt::NoFocus);

    // Nothing here takes input, and nothing looks as if it did: the boxes show their text on
    // the panel's grey (a text can still be selected and copied), the lists and options neither
    // drop down nor toggle nor take the focus.
    QPalette shown = palette();
    shown.setColor(QPalette::Base, shown.color(QPalette::Window));
    for (MyText* box : {상차지, 하차지, 화물중량, 금액, 제품정보, 차주명, 차주연락처, 차량번호, 차량정보,
                        화주코드, 화주명, 오더상태, 배차시간}) {
        box->setLocked(true);
        box->setPalette(shown);
    }
    for (QDateEdit* date : {배차일, 상차일, 하차일})
        date->setPalette(shown);
    QList<QWidget*> fixed = {상차권역, 하차권역, 상차시, 하차시, 희망톤수, 운임형태, 댓수, 차종};
    for (const auto* options : {&상차일구분, &하차일구분, &운행구분})
        for (QRadioButton* option : *options)
            fixed << option;
    for (QWidget* w : fixed) {
        w->installEventFilter(this);
        w->setFocusPolicy(Qt::NoFocus);
    }
}

bool popOrder::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
        return true; // a list or option that only shows
    default:
        return QDialog::eventFilter(watched, event);
    }
}

void popOrder::PlaceControls() {
    struct Spot {
        QWidget* w;
        double left;
        int row;
        double width;
    };
    auto label = [this](const char* caption) -> QWidget* { return m_labels.at(QString::fromUtf8(caption)); };
    const std::vector<Spot> spots = {
        {label("배차일"), 90, 0, 780},
        {배차일, 900, 0, 1650},
        {label("오더상태"), 2700, 0, 870},
        {오더상태, 3600, 0, 1200},
        {label("배차시간"), 4980, 0, 870},
        {배차시간, 5910, 0, 2400}, // a whole "2026-12-09 11:30:16"
        {label("상차지"), 90, 1, 780},
        {상차권역, 900, 1, 1080},
        {상차지, 2010, 1, 5700},
        {label("운행방법"), 7890, 1, 870},
        {운행구분[0], 8820, 1, 870},
        {운행구분[1], 9720, 1, 870},
        {운행구분[2], 10620, 1, 870},
        {label("댓수"), 11700, 1, 510},
        {댓수, 12240, 1, 810},
        {label("상차일시"), 90, 2, 780},
        {상차일구분[0], 900, 2, 780},
        {상차일구분[1], 1710, 2, 780},
        {상차일구분[2], 2520, 2, 780},
        {상차일, 3360, 2, 1650},
        {상차시, 5070, 2, 1080},
        {label("희망톤수"), 7890, 2, 870},
        {희망톤수, 8820, 2, 1350},
        {label("차종"), 10350, 2, 510},
        {차종, 10890, 2, 1350},
        {label("하차지"), 90, 3, 780},
        {하차권역, 900, 3, 1080},
        {하차지, 2010, 3, 5700},
        {label("운임형태"), 7890, 3, 870},
        {운임형태, 8820, 3, 1350},
        {label("금액"), 10350, 3, 510},
        {금액, 10890, 3, 1350},
        {label("하차일시"), 90, 4, 780},
        {하차일구분[0], 900, 4, 780},
        {하차일구분[1], 1710, 4, 780},
        {하차일구분[2], 2520, 4, 780},
        {하차일, 3360, 4, 1650},
        {하차시, 5070, 4, 1080},
        {label("화주정보"), 7890, 4, 870},
        {화주코드, 8820, 4, 1350},
        {화주명, 10350, 4, 2520},
        {label("제품정보"), 90, 5, 780},
        {제품정보, 900, 5, 6810},
        {label("화물중량"), 7890, 5, 870},
        {화물중량, 8820, 5, 1350},
        {label("차주명"), 90, 6, 780},
        {차주명, 900, 6, 1650},
        {label("연락처"), 2700, 6, 630},
        {차주연락처, 3360, 6, 1800},
        {label("차량번호"), 5340, 6, 870},
        {차량번호, 6240, 6, 1470},
        {label("차량정보"), 7890, 6, 870},
        {차량정보, 8820, 6, 4050},
    };
    for (const Spot& s : spots)
        s.w->setGeometry(TwipsToPx(s.left), TwipsToPx(kTop[s.row]), TwipsToPx(s.width), TwipsToPx(kRow));
    // The vehicle owner's block sits under a line of its own.
    auto* rule = Make<QFrame>(backPanel, QStringLiteral("차주구분선"));
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    rule->setGeometry(TwipsToPx(90), TwipsToPx(1695), TwipsToPx(kPanelWidth - 180), 2);
    hFocus->setGeometry(-200, -200, 10, 10);
    // The order's changes, as the store recorded them (Alt+H, as Ctrl+H on the board).
    auto* history = Make<QPushButton>(backPanel, QStringLiteral("cmdHistory"));
    history->setText(QStringLiteral("변경이력(&H)"));
    history->setGeometry(TwipsToPx(kPanelWidth - 3270), TwipsToPx(2430), TwipsToPx(1800), TwipsToPx(345));
    connect(history, &QPushButton::clicked, this,
            [this] { ShowOrderHistory(this, OrderDerive::TagToId(SelectedKey)); });
    닫기 = Make<QPushButton>(backPanel, QStringLiteral("cmdArr(99)"));
    닫기->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    닫기->setText(QStringLiteral("   닫 기"));
    닫기->setGeometry(TwipsToPx(kPanelWidth - 1380), TwipsToPx(2430), TwipsToPx(1290), TwipsToPx(345));
    connect(닫기, &QPushButton::clicked, this, &QDialog::reject);
    backPanel->setGeometry(0, 0, TwipsToPx(kPanelWidth), TwipsToPx(kPanelHeight));
}

void popOrder::FillLists() {
    const auto fill = [](DropList* list, const QStringList& entries, int selected) {
        list->clear();
        list->addItems(entries);
        list->setCurrentIndex(selected);
    };
    fill(상차권역, OrderDerive::RegionEntries(), 0);
    fill(하차권역, OrderDerive::RegionEntries(), 0);
    fill(상차시, OrderDerive::HalfHourEntries(), -1);
    fill(하차시, OrderDerive::HalfHourEntries(), -1);
    fill(희망톤수,
         {QString(), QStringLiteral("1톤"), QStringLiteral("1.5톤"), QStringLiteral("2톤"),
          QStringLiteral("3톤"), QStringLiteral("3.5톤"), QStringLiteral("5톤"), QStringLiteral("8톤"),
          QStringLiteral("11톤"), QStringLiteral("14톤"), QStringLiteral("15톤"), QStringLiteral("18톤"),
          QStringLiteral("25톤")},
         0);
    fill(운임형태, {QStringLiteral("인수증"), QStringLiteral("선착불")}, 0);
    QStringList counts;
    for (int i = 1; i <= 9; ++i)
        counts << QString::number(i);
    fill(댓수, counts, 0);
    fill(차종,
         {QStringLiteral("윙바디"), QStringLiteral("다마스"), QStringLiteral("롤업"), QStringLiteral("카고")},
         0);
}

void popOrder::LoadRecord() {
    RunRoutine([&] {
        StoreTrap trap;
        const SharedRecordset rs = trap.open(OrderSql::OrderByIdStatement(OrderDerive::TagToId(SelectedKey)));
        if (rs.eof()) return;
        auto f = [&](const char* name) { return trap.field(rs, QString::fromUtf8(name)); };

        const QString day = f("날짜").trimmed();
        ShowDate(배차일, day);
        const QDate orderDate = QDate::fromString(day, QStringLiteral("yyyy-MM-dd"));
        ShowMoment(true, f("상차요청일시").trimmed(), orderDate);
        ShowMoment(false, f("하차요청일시").trimmed(), orderDate);

        // The order as stored, as the board shows it: a value the lists do not offer is shown
        // as it is, never as their first entry.
        상차권역->selectText(f("상차권역").trimmed());
        하차권역->selectText(f("하차권역").trimmed());
        희망톤수->showValue(f("희망톤수"));
        차종->showValue(f("희망차종"));
        댓수->showValue(f("차량대수").trimmed());
        운행구분[size_t(OrderDerive::RunKindOption(f("적재구분")))]->setChecked(true);
        운임형태->setCurrentIndex(OrderDerive::FareKindEntry(f("운임구분")));
        const QString status = f("오더상태").trimmed();
        오더상태->SetText(status);
        QPalette ink = 오더상태->palette();
        ink.setColor(QPalette::Text, StatusScheme::StatusColour(status));
        오더상태->setPalette(ink);
        배차시간->SetText(OrderDerive::DispatchTimeText(f("배차시간")).trimmed());

        // Boxes show their column as stored; the shipper block shows the shipper the order was
        // taken for, as the order recorded it.
        const std::pair<MyText*, const char*> boxes[] = {
            {상차지, "상차지"},      {하차지, "하차지"}, {화물중량, "화물중량"},     {금액, "운송비"},
            {제품정보, "화물정보1"}, {차주명, "차주명"}, {차주연락처, "차주연락처"}, {차량번호, "차량번호"},
            {화주코드, "화주코드"},  {화주명, "화주명"}};
        for (const auto& [box, column] : boxes)
            box->SetText(f(column));
        // The detail shows the first length only, as the inquiry list does.
        차량정보->SetText(OrderDerive::VehicleText(f("차량정보"), f("차량톤수"), f("차량길이"), QString()));
    });
}

void popOrder::ShowMoment(bool loading, const QString& stored, const QDate& orderDate) {
    const QString date = stored.left(10);
    ShowDate(loading ? 상차일 : 하차일, date);
    QButtonGroup* kinds = m_dayKinds[loading ? 0 : 1];
    kinds->setExclusive(false);
    for (QAbstractButton* b : kinds->buttons())
        b->setChecked(false);
    kinds->setExclusive(true);
    const int kind =
        OrderDerive::KindOfDate(QDate::fromString(date, QStringLiteral("yyyy-MM-dd")), orderDate);
    if (kind >= 0) kinds->button(kind)->setChecked(true);
    // The stored time as it is (14:45 is not 14:30); a text that holds no time leaves the list
    // without a selection.
    const QString at = stored.size() > 10 ? stored.right(5) : QString();
    DropList* time = loading ? 상차시 : 하차시;
    if (OrderDerive::HalfHourOfText(at).isEmpty())
        time->setCurrentIndex(-1);
    else
        time->showValue(at);
}

void popOrder::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    // Placed once: a box the agent clicked to copy from keeps the focus after a switch away.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !m_focusPlaced) {
        m_focusPlaced = true;
        hFocus->setFocus(Qt::OtherFocusReason);
    }
}
