// Where everything of the board sits. Positions are twips, as the board was drawn; the rules
// that follow the window's size are those of the resize routine.
#include "frmorder.h"

#include "barlayout.h"
#include "droplist.h"
#include "gridroutines.h"
#include "mytext.h"
#include "spreadgrid.h"
#include "twips.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <algorithm>

namespace {
// Rows of the entry panel and the heights of the bars.
constexpr double RowTop[4] = {45, 375, 705, 1035};
constexpr double RowHeight = 300;
constexpr double PanelLeft = 95;
constexpr double EntryTop = 30, EntryHeight = 1380;
constexpr double ButtonBarTop = 1440, FilterBarTop = 1890, BarHeight = 420;
constexpr double ListTop = 2340, StripHeight = 300;
constexpr double BarRowStep = 360; // a bar's second row of controls
// The entry panel's long boxes and the column right of the addresses.
constexpr double AddressWidth = 5700, AddressLeast = 3000, ProductLeast = 1500;
constexpr double MiddleLeft = 7890, TimeRight = 5070 + 1080, ColumnGap = 180;
// Status boxes from the filter bar's right edge, 접수 first.
constexpr double StatusFromRight[7] = {6960, 6195, 5250, 4125, 3000, 2055, 885};
constexpr double StatusWidth[7] = {765, 945, 1125, 1125, 945, 1170, 825};
} // namespace

void frmOrder::PlaceFixedControls() {
    auto label = [this](const QString& caption, double left, double top, double width) {
        PlaceTwips(m_labels.at(caption), left, top, width, RowHeight);
    };
    // Row 1 and row 3 start with region and address; their middle and right parts follow the
    // panel's width (PlaceEntryPanel).
    label(QStringLiteral("상차지"), 90, RowTop[0], 780);
    PlaceTwips(상차권역, 900, RowTop[0], 1080, RowHeight);
    label(QStringLiteral("하차지"), 90, RowTop[2], 780);
    PlaceTwips(하차권역, 900, RowTop[2], 1080, RowHeight);
    // Row 2 and row 4: date kind, date, time
    const QString dayLabels[2] = {QStringLiteral("상차일시"), QStringLiteral("하차일시")};
    for (int side = 0; side < 2; ++side) {
        const double top = RowTop[side == 0 ? 1 : 3];
        // The captions with their Alt letters need a little more than the others: the day
        // kinds give it up, so 하차일시(Y) is not drawn smaller than 상차일시(T).
        label(dayLabels[side], 90, top, 840);
        auto& kinds = side == 0 ? 상차일구분 : 하차일구분;
        for (int i = 0; i < 3; ++i)
            PlaceTwips(kinds[size_t(i)], 960 + i * 810, top, 750, RowHeight);
        PlaceTwips(side == 0 ? 상차일 : 하차일, 3360, top, 1650, RowHeight);
        PlaceTwips(side == 0 ? 상차시 : 하차시, 5070, top, 1080, RowHeight);
    }

    // The rest of the panel as for the board's present width: the captions are fitted to
    // their places before the first layout.
    PlaceEntryPanel(PxToTwips(width()) - 190);

    // Off screen, yet able to take the focus.
    PlaceTwips(hFocus, -3000, -3000, 150, 150);
}

void frmOrder::PlaceEntryPanel(double panelWidth) {
    // Drawn for a wide screen, 제품정보 takes what the panel has beyond its design. On a narrower
    // one the long boxes give up width before anything moves under another control: 제품정보
    // down to a few words, then 상차지 and 하차지, the columns right of them moving left with
    // them. The date rows' middle column moves along as far as their time lists leave room, so
    // the columns stay in line for as long as they can.
    const double lack = std::max(0.0, ProductLeast - (panelWidth - 15870));
    const double addressRows = std::min(lack, AddressWidth - AddressLeast);
    const double dateRows = std::min(lack, MiddleLeft - ColumnGap - TimeRight);
    auto label = [this](const QString& caption, double left, double top, double width) {
        PlaceTwips(m_labels.at(caption), left, top, width, RowHeight);
    };
    // Row 1
    double x = -addressRows;
    PlaceTwips(상차지, 2010, RowTop[0], AddressWidth + x, RowHeight);
    label(QStringLiteral("운행방법"), MiddleLeft + x, RowTop[0], 870);
    for (int i = 0; i < 3; ++i)
        PlaceTwips(운행구분[size_t(i)], 8820 + x + i * 900, RowTop[0], 870, RowHeight);
    label(QStringLiteral("댓수"), 11700 + x, RowTop[0], 510);
    PlaceTwips(댓수, 12240 + x, RowTop[0], 810, RowHeight);
    if (lack <= addressRows) {
        label(QStringLiteral("제품정보"), 13230 + x, RowTop[0], 900);
        PlaceTwips(제품정보, 14160 + x, RowTop[0], panelWidth - 15870 - x, RowHeight);
    } else {
        // Narrower still (a restored window on a small screen): 제품정보 leaves row 1 for the
        // end of row 3, below 닫 기.
        label(QStringLiteral("제품정보"), 12420 + x, RowTop[2], 900);
        PlaceTwips(제품정보, 13350 + x, RowTop[2], panelWidth - 150 - (13350 + x), RowHeight);
    }
    // Row 3
    PlaceTwips(하차지, 2010, RowTop[2], AddressWidth + x, RowHeight);
    label(QStringLiteral("운임형태"), MiddleLeft + x, RowTop[2], 870);
    PlaceTwips(운임형태, 8820 + x, RowTop[2], 1350, RowHeight);
    label(QStringLiteral("금액"), 10350 + x, RowTop[2], 510);
    PlaceTwips(금액, 10890 + x, RowTop[2], 1350, RowHeight);
    // Row 2 and row 4
    x = -dateRows;
    label(QStringLiteral("희망톤수"), MiddleLeft + x, RowTop[1], 870);
    PlaceTwips(희망톤수, 8820 + x, RowTop[1], 1350, RowHeight);
    label(QStringLiteral("차종"), 10350 + x, RowTop[1], 510);
    PlaceTwips(차종, 10890 + x, RowTop[1], 1350, RowHeight);
    label(QStringLiteral("화주정보"), MiddleLeft + x, RowTop[3], 870);
    PlaceTwips(화주코드, 8820 + x, RowTop[3], 1350, RowHeight);
    // The weight beside the kind, while it clears 닫 기; on a narrower panel at the end of row 4,
    // the shipper's name giving up width for it.
    const double closeLeft = panelWidth - 1155;
    if (13320 + x + 1350 + ColumnGap <= closeLeft) {
        PlaceTwips(화주명, 10350 + x, RowTop[3], 2520, RowHeight);
        label(QStringLiteral("화물중량"), 12420 + x, RowTop[1], 870);
        PlaceTwips(화물중량, 13320 + x, RowTop[1], 1350, RowHeight);
    } else {
        const double name = std::clamp(panelWidth - 150 - (10350 + x) - 90 - 900 - 1350, 1200.0, 2520.0);
        PlaceTwips(화주명, 10350 + x, RowTop[3], name, RowHeight);
        const double at = 10350 + x + name + 90;
        label(QStringLiteral("화물중량"), at, RowTop[3], 870);
        PlaceTwips(화물중량, at + 900, RowTop[3], std::clamp(panelWidth - 150 - (at + 900), 600.0, 1350.0),
                   RowHeight);
    }

    PlaceTwips(cmdArr.at(99), panelWidth - 1155, 60, 1050, 630);
    FitEntryCaptions();
}

int frmOrder::PlaceButtonBar(double panelWidth) {
    BarDesign bar;
    bar.rowStep = BarRowStep;
    bar.left = {{m_labels.at(QStringLiteral("배차일")), 90, 60, 660, RowHeight},
                {배차일, 780, 60, 1650, RowHeight}};
    // 오더복사 stands beside 오더추가; the rest follow in their order.
    const int buttons[] = {1, 8, 2, 3, 4, 5};
    for (int n = 0; n < 6; ++n)
        bar.left.push_back({cmdArr.at(buttons[n]), 2580.0 + n * 1530, 45, buttons[n] == 5 ? 1950.0 : 1500.0, 330});
    bar.right = {{chk새로고침금지, 3965, 60, 1620, RowHeight},
                 {lblCount, 2295, 60, 735, RowHeight},
                 {cmdArr.at(0), 1515, 45, 1425, 330}};
    return LayOutBar(bar, panelWidth);
}

int frmOrder::PlaceFilterBar(double panelWidth) {
    BarDesign bar;
    bar.rowStep = BarRowStep;
    bar.left = {{m_labels.at(QStringLiteral("배차기간")), 90, 60, 870, RowHeight},
                {배차기간[0], 990, 60, 1650, RowHeight},
                {m_labels.at(QStringLiteral("~")), 2685, 60, 180, RowHeight},
                {배차기간[1], 2895, 60, 1650, RowHeight},
                {m_labels.at(QStringLiteral("검색어")), 4680, 60, 660, RowHeight},
                {검색어, 5370, 60, 2250, RowHeight},
                {cmdArr.at(6), 7770, 45, 1350, 330},
                {cmdArr.at(7), 9210, 45, 1350, 330}};
    for (int i = 0; i < 7; ++i)
        bar.right.push_back({chk조회구분[size_t(i)], StatusFromRight[i], 60, StatusWidth[i], RowHeight});
    return LayOutBar(bar, panelWidth);
}

void frmOrder::Form_Resize() {
    // A work screen takes the whole client area of the main window.
    FillClientArea(this);
    LayOut();
}

void frmOrder::resizeEvent(QResizeEvent* event) {
    WorkScreen::resizeEvent(event);
    LayOut();
}

void frmOrder::LayOut() {
    // A window too small for the board must not stop it: sizes only go down to zero.
    try {
        backPanel->setGeometry(0, 0, width(), height());
        const double W = PxToTwips(backPanel->width());
        const double H = PxToTwips(backPanel->height());
        const double panelWidth = W - 190;

        PlaceTwips(SSPanel2, PanelLeft, EntryTop, panelWidth, EntryHeight);
        PlaceEntryPanel(panelWidth);
        // A bar whose controls wrap grows by a row; what lies below moves down with it.
        const double buttonGrowth = (PlaceButtonBar(panelWidth) - 1) * BarRowStep;
        const double filterGrowth = (PlaceFilterBar(panelWidth) - 1) * BarRowStep;
        PlaceTwips(SSPanel4.at(4), PanelLeft, ButtonBarTop, panelWidth, BarHeight + buttonGrowth);
        PlaceTwips(SSPanel4.at(0), PanelLeft, FilterBarTop + buttonGrowth, panelWidth,
                   BarHeight + filterGrowth);
        const double growth = buttonGrowth + filterGrowth;
        // The counts per status take a row of the list's height.
        PlaceStatusStrip(ListTop + growth, panelWidth);
        PlaceTwips(sp, PanelLeft, ListTop + growth + StripHeight, panelWidth, H - ListTop - 90 - growth - StripHeight);

        ApplyColumnLayout(*sp, QStringLiteral("오더등록"), [this](SpreadGrid& grid) { FitColumns(grid); });
    } catch (...) {
    }
}

void frmOrder::FitColumns(SpreadGrid& grid) const {
    // What an agent reads to the letter is sized to it; the places and texts share the rest.
    SizeToSamples(grid, {{1, WholeText::Date},
                         {2, WholeText::Status},
                         {6, WholeText::Tonnage},
                         {7, WholeText::Amount},
                         {9, WholeText::MobilePhone},
                         {10, WholeText::VehicleNumber},
                         {12, WholeText::DateTime},
                         {13, WholeText::DateMinute},
                         {14, WholeText::DateMinute}});
    // The places start widest: on a narrow desk the four texts give up the same width, the
    // product and vehicle texts stop at their captions and the places keep the rest. The margin
    // is the scroll bar and frame and room for one more digit of row numbers.
    ShareSpareWidth(grid, {3, 4, 5, 11}, 390, 450);
}
