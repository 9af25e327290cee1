#include "frmorderlist.h"

#include "barlayout.h"
#include "clock.h"
#include "gridroutines.h"
#include "listrows.h"
#include "livelist.h"
#include "mytext.h"
#include "orderderive.h"
#include "orderguards.h"
#include "orderstatements.h"
#include "poporder.h"
#include "signin.h"
#include "spreadgrid.h"
#include "spreadmodel.h"
#include "storetrap.h"
#include "textformat.h"
#include "twips.h"

#include <QCheckBox>
#include "datepicker.h"
#include <QDateEdit>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QResizeEvent>
#include <QStyle>
#include <array>

using namespace OrderBoard;

namespace {
const QString kScreenKey = QStringLiteral("오더조회");

// Status boxes, 접수 first: their distance from the status panel's right edge, and width.
constexpr double kStatusFromRight[7] = {6960, 6195, 5250, 4125, 3000, 2055, 885};
constexpr double kStatusWidth[7] = {765, 945, 1125, 1125, 945, 1170, 825};

struct Column {
    const char* header;
    double width; // character units, until the user saves widths of his own
};
constexpr Column kColumns[14] = {{"날짜", 10.75},         {"오더상태", 8.08},  {"상차지", 24.87},
                                 {"하차지", 24.87},       {"제품정보", 19.5}, {"화물중량", 9.08},
                                 {"금액", 13.58},         {"배차시간", 14.83}, {"상차요청일시", 14.83},
                                 {"하차요청일시", 14.83}, {"차주명", 8.5},     {"연락처", 16.37},
                                 {"차량번호", 12.08},     {"차량정보", 13.0}};

QString IndexedName(const char* name, int index) {
    return QString::fromUtf8(name) + QLatin1Char('(') + QString::number(index) + QLatin1Char(')');
}
} // namespace

namespace {
// The columns the inquiry reads, in the order FillList takes them; the view's others are never
// read out of the store for the list.
const char* const InquiryNames[] = {"날짜",         "오더상태",     "상차권역", "상차지",     "하차권역",
                                    "하차지",       "화물정보1",    "화물중량", "운송비",     "배차시간",
                                    "상차요청일시", "하차요청일시", "차주명",   "차주연락처", "차량번호",
                                    "차량정보",     "차량톤수",     "차량길이", "ID"};

ColumnRequest InquiryColumns() {
    return ColumnRequest(std::begin(InquiryNames), std::end(InquiryNames));
}

// The list's order, as the statement sorts: newest day first, then dispatch time, status and
// newest order.
const LiveOrder& InquiryOrder() {
    static const LiveOrder order{{{1, true}, {8, false}, {2, false}}, true};
    return order;
}

// Every row of the answer as the list shows it.
// The inquiry's rows of an answer, each made when the grid first reads it.
std::shared_ptr<ListRows> InquiryRows(const SharedRecordset& rs) {
    const dstore::ResultSet* rows = rs.rows();
    // Columns are found once per answer; one the table lacks leaves its cells empty.
    constexpr int n = int(std::size(InquiryNames));
    std::array<int, n> col;
    for (int i = 0; i < n; ++i)
        col[size_t(i)] = rs.columnIndex(QString::fromUtf8(InquiryNames[i]));
    return std::make_shared<ListRows>(
        rs, 14, col[n - 1], true, [rows, col](qsizetype r, QStringList& texts, QColor& colour) {
            QString v[n];
            for (int i = 0; i < n - 1; ++i)
                v[i] = col[size_t(i)] < 0 ? QString() : rows->text(r, col[size_t(i)]);
            texts = {v[0], v[1], v[2] + QLatin1Char(' ') + v[3], v[4] + QLatin1Char(' ') + v[5], v[6], v[7],
                     OrderDerive::AmountText(v[8]), OrderDerive::DispatchTimeText(v[9]), v[10], v[11], v[12],
                     FormatPhone(v[13]), v[14],
                     // The inquiry shows the first length only.
                     OrderDerive::VehicleText(v[15], v[16], v[17], QString())};
            colour = StatusScheme::StatusColour(v[1]);
        });
}
} // namespace

frmOrderList::frmOrderList(QWidget* parent) : WorkScreen(parent) {
    setObjectName(QStringLiteral("frmOrderList"));
    setWindowTitle(QStringLiteral("오더조회"));
    setFont(QFont(QStringLiteral("굴림"), 9));
    BuildForm();

    // Opening the screen: the current month up to today.
    Form_Resize();
    ApplyGridStyle(this);
    sp->setMaxRows(0);
    const QDate today = Clock::today();
    배차일[0]->setDate(QDate(today.year(), today.month(), 1));
    배차일[1]->setDate(today);
    // Following the store before the first read: nothing written after it is missed.
    FollowStoreFeed(this, [this](const QSet<qint64>& orders) { PatchOrders(orders); }, [this] {
        SharedRecordset rs = ReadChangedRows(OrderSql::InquiryListStatement(m_listed), InquiryColumns());
        if (rs.rows()) RefillKeepingPlace(*sp, [&] { FillList(rs); });
    });
    LoadList();

    connect(cmdArr[0], &QPushButton::clicked, this, &frmOrderList::LoadList);
    connect(cmdArr[1], &QPushButton::clicked, this, &frmOrderList::ExportList);
    connect(cmdArr[99], &QPushButton::clicked, this, &frmOrderList::CloseScreen);
    // A click on a box reloads at once, with the period and search text as they stand.
    for (QCheckBox* box : chk조회구분)
        connect(box, &QCheckBox::clicked, this, &frmOrderList::LoadList);
    connect(검색어, &MyText::returnPressed, this, &frmOrderList::LoadList);
    connect(sp, &SpreadGrid::DblClick, this, &frmOrderList::OpenRecord);
    ConnectColumnWidthSaving(*sp, kScreenKey);
}

void frmOrderList::BuildForm() {
    QStyle* st = style();
    backPanel = new QWidget(this);
    backPanel->setObjectName(QStringLiteral("backPanel"));
    for (int i : {0, 1}) {
        auto* panel = new QFrame(backPanel);
        panel->setObjectName(IndexedName("SSPanel4", i));
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Raised);
        SSPanel4[i] = panel;
    }
    QFrame* top = SSPanel4[0];
    auto label = [this, top](const QString& caption, const QString& name) {
        auto* l = new QLabel(caption, top);
        l->setObjectName(name);
        m_labels[caption] = l;
    };
    label(QStringLiteral("배차일"), QStringLiteral("라벨_배차일"));
    label(QStringLiteral("~"), QStringLiteral("라벨_물결"));
    label(QStringLiteral("검색어"), QStringLiteral("라벨_검색어"));
    for (int i : {0, 1}) {
        auto* picker = new DatePickerEdit(top);
        picker->setObjectName(IndexedName("배차일", i));
        배차일[size_t(i)] = picker;
    }
    검색어 = new MyText(top);
    검색어->setObjectName(QStringLiteral("검색어"));
    // One Tab per picker, then the search.
    setTabOrder(배차일[0], 배차일[1]);
    setTabOrder(배차일[1], 검색어);
    검색어->setPlaceholderText(QStringLiteral("☞ 차량번호,차주명,연락처로 검색"));

    const struct {
        int index;
        QStyle::StandardPixmap icon;
        const char* caption;
    } buttons[] = {{0, QStyle::SP_FileDialogContentsView, "   조회"},
                   {1, QStyle::SP_DialogSaveButton, "   엑셀로"},
                   {99, QStyle::SP_DialogCloseButton, "   닫 기"}};
    for (const auto& b : buttons) {
        auto* button = new QPushButton(st->standardIcon(b.icon), QString::fromUtf8(b.caption), top);
        button->setObjectName(IndexedName("cmdArr", b.index));
        cmdArr[b.index] = button;
    }

    QFont bold = font();
    bold.setBold(true);
    for (int i = 0; i < 7; ++i) {
        auto* box = new QCheckBox(OrderDerive::Statuses[size_t(i)], SSPanel4[1]);
        box->setObjectName(IndexedName("chk조회구분", i));
        box->setFont(bold);
        box->setChecked(true);
        StatusScheme::ShowAsLegend(box, OrderDerive::Statuses[size_t(i)]);
        chk조회구분[size_t(i)] = box;
    }

    sp = new SpreadGrid(backPanel);
    sp->setObjectName(QStringLiteral("sp"));
    sp->setMaxCols(14);
    for (int c = 1; c <= 14; ++c) {
        sp->SetText(c, 0, QString::fromUtf8(kColumns[c - 1].header));
        sp->setColWidth(c, kColumns[c - 1].width);
    }
    sp->setColumnAlignment(7, Qt::AlignRight | Qt::AlignVCenter); // 금액, as every list shows amounts
}

void frmOrderList::Form_Resize() {
    FillClientArea(this);
    ApplyLayout();
}

void frmOrderList::resizeEvent(QResizeEvent* event) {
    WorkScreen::resizeEvent(event);
    ApplyLayout();
}

void frmOrderList::ApplyLayout() {
    // A window too small for the screen must not stop it: sizes only go down to zero.
    try {
        backPanel->setGeometry(0, 0, width(), height());
        const double W = PxToTwips(backPanel->width());
        const double H = PxToTwips(backPanel->height());
        const double panelWidth = W - 190;
        BarDesign top;
        top.rowStep = 390;
        top.left = {{m_labels.at(QStringLiteral("배차일")), 90, 75, 660, 300},
                    {배차일[0], 780, 75, 1650, 300},
                    {m_labels.at(QStringLiteral("~")), 2475, 75, 180, 300},
                    {배차일[1], 2685, 75, 1650, 300},
                    {m_labels.at(QStringLiteral("검색어")), 4500, 75, 660, 300},
                    {검색어, 5190, 75, 3300, 300, 2250},
                    {cmdArr.at(0), 8640, 45, 1350, 360},
                    {cmdArr.at(1), 10080, 45, 1350, 360}};
        top.right = {{cmdArr.at(99), 1110, 45, 1050, 360}};
        BarDesign statuses;
        for (int i = 0; i < 7; ++i)
            statuses.right.push_back({chk조회구분[size_t(i)], kStatusFromRight[i], 60, kStatusWidth[i], 300});
        // A panel whose controls wrap grows by their rows; what lies below moves down with it.
        const double topGrowth = (LayOutBar(top, panelWidth) - 1) * top.rowStep;
        const double statusGrowth = (LayOutBar(statuses, panelWidth) - 1) * statuses.rowStep;
        PlaceTwips(SSPanel4.at(0), 95, 30, panelWidth, 450 + topGrowth);
        PlaceTwips(SSPanel4.at(1), 95, 510 + topGrowth, panelWidth, 420 + statusGrowth);
        const double growth = topGrowth + statusGrowth;
        PlaceTwips(sp, 95, 990 + growth, panelWidth, H - 1080 - growth);

        ApplyColumnLayout(*sp, kScreenKey, [](SpreadGrid& grid) {
            // What an agent reads to the letter is sized to it; the places and texts share the rest.
            SizeToSamples(grid, {{1, WholeText::Date},
                                 {2, WholeText::Status},
                                 {7, WholeText::Amount},
                                 {8, WholeText::DateTime},
                                 {9, WholeText::DateMinute},
                                 {10, WholeText::DateMinute},
                                 {12, WholeText::MobilePhone},
                                 {13, WholeText::VehicleNumber}});
            ShareSpareWidth(grid, {3, 4, 5, 14}, 450, 450);
        });
    } catch (...) {
    }
}

OrderSql::InquiryFilter frmOrderList::CurrentFilter() const {
    OrderSql::InquiryFilter f;
    f.from = 배차일[0]->date().toString(QStringLiteral("yyyy-MM-dd"));
    f.to = 배차일[1]->date().toString(QStringLiteral("yyyy-MM-dd"));
    f.search = 검색어->TextVal();
    for (size_t i = 0; i < chk조회구분.size(); ++i)
        f.ticked[i] = chk조회구분[i]->isChecked();
    return f;
}

void frmOrderList::LoadList() {
    m_listed = CurrentFilter();
    const QString statement = OrderSql::InquiryListStatement(m_listed);
    UpdateLock lock(this);
    sp->setMaxRows(0);
    RedrawOff redraw(sp);
    RunRoutine([&] {
        StoreTrap trap;
        SharedRecordset rs = trap.open(statement, InquiryColumns());
        FillList(rs);
    });
}

void frmOrderList::FillList(SharedRecordset& rs) {
    if (rs.rows()) sp->AppendSourceRows(InquiryRows(rs));
}

void frmOrderList::PatchOrders(const QSet<qint64>& orders) {
    OrderSql::InquiryFilter filter = m_listed;
    if (orders.isEmpty()) return;
    filter.only.assign(orders.cbegin(), orders.cend());
    std::sort(filter.only.begin(), filter.only.end());
    SharedRecordset rs = ReadChangedRows(OrderSql::InquiryListStatement(filter), InquiryColumns());
    if (!rs.rows()) return;
    PatchListRows(*sp, orders, FreshRow::AllOf(*InquiryRows(rs)), InquiryOrder());
}

void frmOrderList::OpenRecord(int /*col*/, int row) {
    if (row < 1) return;
    sp->setRow(row);
    sp->setCol(1);
    const QString key = sp->CellTag().trimmed();
    if (key.isEmpty()) return;
    SelectedKey = key;
    popOrder detail(this);
    detail.exec();
}

void frmOrderList::ExportList() {
    ExportGridToExcel(*sp, OrderDerive::ExportName(Clock::today()));
}

void frmOrderList::CloseScreen() {
    CloseWorkScreen(this);
}
