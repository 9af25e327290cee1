#include "frmorder.h"
#include "livelist.h"
#include "datepicker.h"

#include "clock.h"
#include "droplist.h"
#include "gridroutines.h"
#include "ini.h"
#include "mytext.h"
#include "orderderive.h"
#include "signin.h"
#include "spreadgrid.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDateEdit>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QStyle>
#include <QTimer>
#include <cmath>

namespace {
QString Indexed(const QString& name, int index) {
    return name + QLatin1Char('(') + QString::number(index) + QLatin1Char(')');
}

QFrame* Panel(QWidget* parent, const QString& name) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(name);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Raised);
    panel->setMouseTracking(true); // the countdown restarts while the mouse moves here
    return panel;
}


QDateEdit* DatePicker(QWidget* parent, const QString& name) {
    auto* picker = new DatePickerEdit(parent);
    picker->setObjectName(name);
    picker->setDate(Clock::today());
    return picker;
}

template <class W> W* Named(W* widget, const QString& name) {
    widget->setObjectName(name);
    return widget;
}
} // namespace

frmOrder::frmOrder(QWidget* parent) : WorkScreen(parent) {
    setObjectName(QStringLiteral("frmOrder"));
    setWindowTitle(QStringLiteral("오더등록"));
    setFont(QFont(QStringLiteral("굴림"), 9));
    BuildForm();
    PlaceFixedControls();
    ConnectControls();
    ConnectEntryPanel();
    BuildKeyboard();

    // Opening the screen.
    Form_Resize();
    ApplyGridStyle(this);
    sp->setMaxRows(0);
    ApplySettings();
    Timer1->setInterval(1200);
    Timer1->start();
    // Other desks' writes reach the list as they happen; after a lost link (or a flood) the
    // list the agent looks at is read again, quietly.
    FollowStoreFeed(this, [this](const QSet<qint64>& orders) { PatchOrders(orders); },
                    [this] { QuietReload(m_listFilter); });
    m_settingDay = true;
    배차일->setDate(Clock::today());
    m_settingDay = false;
    배차기간[0]->setDate(QDate(Clock::today().year(), Clock::today().month(), 1));
    배차기간[1]->setDate(Clock::today());
    FillEntryLists();
    ResetOrderEntry();
    LoadOrderList();
}

void frmOrder::ApplySettings() {
    WorkScreen::ApplySettings();
    const double v = std::round(IniNumber(RefreshIntervalSetting));
    m_refreshPeriod = qint16(qBound(-32768.0, v, 32767.0));
    // A new period counts from its start.
    m_countdown = 0;
    ShowCountdown();
}

void frmOrder::showEvent(QShowEvent* event) {
    WorkScreen::showEvent(event);
    // The board opens ready for the first address, not on whatever Qt picks first.
    if (!m_openedOnce) {
        m_openedOnce = true;
        상차지->setFocus();
    }
}

frmOrder::~frmOrder() {
    // The children outlive this destructor (QWidget deletes them after it), and a box losing
    // the focus as it goes would still call into the half-destroyed board.
    for (QObject* child : findChildren<QObject*>())
        QObject::disconnect(child, nullptr, this, nullptr);
}

void frmOrder::BuildForm() {
    backPanel = Named(new QWidget(this), QStringLiteral("backPanel"));
    BuildEntryPanel();
    BuildBars();

    sp = Named(new SpreadGrid(backPanel), QStringLiteral("sp"));
    sp->setMaxCols(14);
    const QStringList headers = {
        QStringLiteral("날짜"),         QStringLiteral("오더상태"),    QStringLiteral("상차지"),
        QStringLiteral("하차지"),       QStringLiteral("제품정보"),    QStringLiteral("희망톤수"),
        QStringLiteral("금액"),         QStringLiteral("차주명"),      QStringLiteral("연락처"),
        QStringLiteral("차량번호"),     QStringLiteral("차량정보"),    QStringLiteral("배차시간"),
        QStringLiteral("상차요청일시"), QStringLiteral("하차요청일시")};
    const double widths[] = {10, 8, 22, 22, 15, 7, 8, 7.5, 13, 10, 13, 17, 14, 14};
    for (int c = 1; c <= 14; ++c) {
        sp->SetText(c, 0, headers[c - 1]);
        sp->setColWidth(c, widths[c - 1]);
    }
    // Amounts read as every other list shows them: grouped and flush right.
    sp->setColumnAlignment(7, Qt::AlignRight | Qt::AlignVCenter);
    sp->setMaxRows(0);
    BuildStatusStrip();

    // The suggestions float over the panel and the list, under the address box they serve.
    fSP = Named(new SpreadGrid(backPanel), QStringLiteral("fSP"));
    fSP->setMaxCols(3);
    fSP->SetText(1, 0, QStringLiteral("시도"));
    fSP->SetText(2, 0, QStringLiteral("시군구"));
    fSP->SetText(3, 0, QStringLiteral("읍면동"));
    fSP->setColWidth(1, 8);
    fSP->setColWidth(2, 16);
    fSP->setColWidth(3, 16);
    // Fitted to its columns (ShowSuggestions), it never needs to scroll sideways.
    fSP->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    fSP->hide();

    // Takes the focus when an order is shown, so no box of the panel looks selected. Only the
    // board gives it the focus: Tab never lands in a box nobody can see.
    hFocus = Named(new MyText(backPanel), QStringLiteral("hFocus"));
    hFocus->setFocusPolicy(Qt::NoFocus);

    // From the last field Tab goes on to the buttons that take the order, then the day and
    // the list's filters, the list, and 닫 기 last.
    QList<QWidget*> chain = {화주코드,  cmdArr[1],          cmdArr[2],    cmdArr[3], cmdArr[4],
                             cmdArr[5], 배차일,             chk새로고침금지, cmdArr[0], 배차기간[0],
                             배차기간[1], 검색어,            cmdArr[6],    cmdArr[7]};
    for (QCheckBox* box : chk조회구분)
        chain << box;
    chain << sp << cmdArr[99];
    for (qsizetype i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1], chain[i]);

    Timer1 = Named(new QTimer(this), QStringLiteral("Timer1"));
}

void frmOrder::BuildEntryPanel() {
    SSPanel2 = Panel(backPanel, QStringLiteral("SSPanel2"));
    auto label = [this](const QString& caption) {
        auto* l = Named(new QLabel(caption, SSPanel2), QStringLiteral("라벨_") + caption);
        m_labels[caption] = l;
        return l;
    };
    auto radios = [this](const QString& name, const QStringList& captions, QButtonGroup*& group) {
        std::array<QRadioButton*, 3> buttons{};
        group = new QButtonGroup(this);
        group->setExclusive(true);
        for (int i = 0; i < 3; ++i) {
            buttons[size_t(i)] = Named(new QRadioButton(captions[i], SSPanel2), Indexed(name, i));
            group->addButton(buttons[size_t(i)], i);
        }
        return buttons;
    };

    // Row 1
    label(QStringLiteral("상차지"));
    상차권역 = Named(new DropList(SSPanel2), QStringLiteral("상차권역"));
    상차지 = Named(new MyText(SSPanel2), QStringLiteral("상차지"));
    label(QStringLiteral("운행방법"));
    운행구분 = radios(QStringLiteral("운행구분"),
                      {QStringLiteral("독차"), QStringLiteral("혼적"), QStringLiteral("왕복")}, m_runGroup);
    운행구분[0]->setChecked(true);
    label(QStringLiteral("댓수"));
    댓수 = Named(new DropList(SSPanel2), QStringLiteral("댓수"));
    label(QStringLiteral("제품정보"));
    제품정보 = Named(new MyText(SSPanel2), QStringLiteral("제품정보"));
    // Row 2
    const QStringList kinds = {QStringLiteral("당일"), QStringLiteral("익일"), QStringLiteral("월착")};
    label(QStringLiteral("상차일시"));
    상차일구분 = radios(QStringLiteral("상차일구분"), kinds, m_loadKindGroup);
    상차일 = DatePicker(SSPanel2, QStringLiteral("상차일"));
    상차시 = Named(new DropList(SSPanel2), QStringLiteral("상차시"));
    label(QStringLiteral("희망톤수"));
    희망톤수 = Named(new DropList(SSPanel2), QStringLiteral("희망톤수"));
    label(QStringLiteral("차종"));
    차종 = Named(new DropList(SSPanel2), QStringLiteral("차종"));
    // The weight is cargo like the tonnage and kind beside it.
    화물중량라벨 = label(QStringLiteral("화물중량"));
    화물중량 = Named(new MyText(SSPanel2), QStringLiteral("화물중량"));
    화물중량->setEntryKind(EntryKind::Weight);
    // Row 3
    label(QStringLiteral("하차지"));
    하차권역 = Named(new DropList(SSPanel2), QStringLiteral("하차권역"));
    하차지 = Named(new MyText(SSPanel2), QStringLiteral("하차지"));
    label(QStringLiteral("운임형태"));
    운임형태 = Named(new DropList(SSPanel2), QStringLiteral("운임형태"));
    label(QStringLiteral("금액"));
    금액 = Named(new MyText(SSPanel2), QStringLiteral("금액"));
    금액->setEntryKind(EntryKind::Amount);
    // Row 4
    label(QStringLiteral("하차일시"));
    하차일구분 = radios(QStringLiteral("하차일구분"), kinds, m_unloadKindGroup);
    하차일 = DatePicker(SSPanel2, QStringLiteral("하차일"));
    하차시 = Named(new DropList(SSPanel2), QStringLiteral("하차시"));
    label(QStringLiteral("화주정보"));
    화주코드 = Named(new MyText(SSPanel2), QStringLiteral("화주코드"));
    화주코드->setEntryKind(EntryKind::Code);
    화주명 = Named(new MyText(SSPanel2), QStringLiteral("화주명"));

    auto* close = Named(new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton),
                                        QStringLiteral("   닫 기"), SSPanel2),
                        QStringLiteral("cmdArr(99)"));
    cmdArr[99] = close;

    // Tab order follows the screen order, so an order can be taken without the mouse.
    QList<QWidget*> chain = {상차권역,      상차지,   운행구분[0],   운행구분[1],   운행구분[2],
                             댓수,          제품정보, 상차일구분[0], 상차일구분[1], 상차일구분[2],
                             상차일,        상차시,   희망톤수,      차종,          화물중량,
                             하차권역,
                             하차지,        운임형태, 금액,          하차일구분[0], 하차일구분[1],
                             하차일구분[2], 하차일,   하차시,        화주코드,      화주명};
    for (qsizetype i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1], chain[i]);
}

void frmOrder::BuildBars() {
    auto* st = style();
    auto button = [this](QWidget* parent, int index, const QIcon& icon, const QString& caption) {
        auto* b = Named(new QPushButton(icon, caption, parent), Indexed(QStringLiteral("cmdArr"), index));
        cmdArr[index] = b;
        return b;
    };

    QFrame* bar = Panel(backPanel, QStringLiteral("SSPanel4(4)"));
    SSPanel4[4] = bar;
    m_labels[QStringLiteral("배차일")] =
        Named(new QLabel(QStringLiteral("배차일"), bar), QStringLiteral("라벨_배차일"));
    배차일 = DatePicker(bar, QStringLiteral("배차일"));
    button(bar, 1, st->standardIcon(QStyle::SP_FileDialogNewFolder), QStringLiteral("   오더추가"));
    button(bar, 8, st->standardIcon(QStyle::SP_FileLinkIcon), QStringLiteral("   오더복사"));
    button(bar, 2, st->standardIcon(QStyle::SP_DialogApplyButton), QStringLiteral("   오더수정"));
    button(bar, 3, st->standardIcon(QStyle::SP_DialogCancelButton), QStringLiteral("   오더취소"));
    button(bar, 4, st->standardIcon(QStyle::SP_DialogDiscardButton), QStringLiteral("   배차취소"));
    button(bar, 5, st->standardIcon(QStyle::SP_DialogResetButton), QStringLiteral("    입력항목 지우기"));
    chk새로고침금지 =
        Named(new QCheckBox(QStringLiteral("새로고침금지"), bar), QStringLiteral("chk새로고침금지"));
    lblCount = Named(new QLabel(bar), QStringLiteral("lblCount"));
    lblCount->setStyleSheet(QStringLiteral("color: #0000FF; font-weight: bold;"));
    lblCount->setAlignment(Qt::AlignCenter);
    button(bar, 0, st->standardIcon(QStyle::SP_BrowserReload), QStringLiteral("   새로고침"));

    QFrame* filter = Panel(backPanel, QStringLiteral("SSPanel4(0)"));
    SSPanel4[0] = filter;
    m_labels[QStringLiteral("배차기간")] =
        Named(new QLabel(QStringLiteral("배차기간"), filter), QStringLiteral("라벨_배차기간"));
    배차기간[0] = DatePicker(filter, QStringLiteral("배차기간(0)"));
    m_labels[QStringLiteral("~")] =
        Named(new QLabel(QStringLiteral("~"), filter), QStringLiteral("라벨_물결"));
    배차기간[1] = DatePicker(filter, QStringLiteral("배차기간(1)"));
    m_labels[QStringLiteral("검색어")] =
        Named(new QLabel(QStringLiteral("검색어"), filter), QStringLiteral("라벨_검색어"));
    검색어 = Named(new MyText(filter), QStringLiteral("검색어"));
    button(filter, 6, st->standardIcon(QStyle::SP_FileDialogContentsView), QStringLiteral("   조회"));
    button(filter, 7, st->standardIcon(QStyle::SP_DialogSaveButton), QStringLiteral("   엑셀로"));
    for (int i = 0; i < 7; ++i) {
        chk조회구분[size_t(i)] = Named(new QCheckBox(OrderDerive::Statuses[size_t(i)], filter),
                                       Indexed(QStringLiteral("chk조회구분"), i));
        chk조회구분[size_t(i)]->setChecked(true);
        StatusScheme::ShowAsLegend(chk조회구분[size_t(i)], OrderDerive::Statuses[size_t(i)]);
    }
}

void frmOrder::ConnectControls() {
    connect(cmdArr[0], &QPushButton::clicked, this, [this] {
        if (!MayDiscardPanel()) return;
        m_settingDay = true;
        배차일->setDate(Clock::today());
        m_settingDay = false;
        chk새로고침금지->setChecked(false);
        LoadOrderList();
    });
    connect(cmdArr[1], &QPushButton::clicked, this, &frmOrder::SaveNewOrder);
    connect(cmdArr[8], &QPushButton::clicked, this, &frmOrder::CopyOrder);
    connect(cmdArr[2], &QPushButton::clicked, this, &frmOrder::ModifyOrder);
    connect(cmdArr[3], &QPushButton::clicked, this, &frmOrder::CancelOrder);
    connect(cmdArr[4], &QPushButton::clicked, this, &frmOrder::CancelDispatch);
    connect(cmdArr[5], &QPushButton::clicked, this, &frmOrder::ResetOrderEntry);
    connect(cmdArr[6], &QPushButton::clicked, this, [this] {
        if (!MayDiscardPanel()) return;
        chk새로고침금지->setChecked(true);
        LoadOrderList(배차기간[0]->date().toString(QStringLiteral("yyyy-MM-dd")),
                      배차기간[1]->date().toString(QStringLiteral("yyyy-MM-dd")));
    });
    EnterPresses(*검색어, *cmdArr[6]);
    connect(cmdArr[7], &QPushButton::clicked, this, &frmOrder::ExportList);
    connect(cmdArr[99], &QPushButton::clicked, this, &frmOrder::CloseScreen);
    for (QCheckBox* box : chk조회구분)
        connect(box, &QCheckBox::toggled, this, [this, box](bool on) {
            if (!MayDiscardPanel()) {
                const QSignalBlocker quiet(box);
                box->setChecked(!on);
                return;
            }
            LoadOrderList();
        });
    connect(배차일, &QDateEdit::dateChanged, this, [this] {
        if (m_settingDay) return;
        // One arrow key in the picker must not throw a typed order away unasked.
        if (!MayDiscardPanel()) {
            m_settingDay = true;
            배차일->setDate(m_listedDay);
            m_settingDay = false;
            return;
        }
        // Stepping through the days with the arrow keys reloads on every step; the keys must
        // stay in the picker for the next step instead of going to the address box.
        const bool stepping = 배차일->hasFocus();
        const QDateTimeEdit::Section section = 배차일->currentSection();
        LoadOrderList();
        if (stepping) {
            배차일->setFocus();
            배차일->setCurrentSection(section);
        }
    });
    배차일->installEventFilter(this);
    connect(Timer1, &QTimer::timeout, this, &frmOrder::Timer1_Timer);
    connect(chk새로고침금지, &QCheckBox::toggled, this, &frmOrder::ShowCountdown);
    lblCount->setToolTip(QStringLiteral("목록을 다시 읽을 때까지 남은 시간"));

    connect(sp, &SpreadGrid::Click, this, &frmOrder::ShowOrderInEntry);
    connect(sp, &SpreadGrid::KeyDown, this, &frmOrder::GridKeyDown);
    // The panel follows the cursor whatever key moved it, so 오더수정 and the cancels always
    // act on the order the agent sees; the keys stay in the list for the next step.
    connect(sp, &SpreadGrid::KeyMovedRow, this, [this](int col, int row) {
        ShowOrderInEntry(col, row);
        sp->setFocus();
    });
    ConnectColumnWidthSaving(*sp, QStringLiteral("오더등록"));

    connect(fSP, &SpreadGrid::DblClick, this, [this](int, int row) {
        if (row < 1) return;
        if (m_addressField == QStringLiteral("화주코드"))
            PickLane(row);
        else
            PickAddress(row);
    });
    connect(fSP, &SpreadGrid::KeyDown, this, &frmOrder::SuggestionKeyDown);

    SSPanel2->installEventFilter(this);
    SSPanel4[0]->installEventFilter(this);
    SSPanel4[4]->installEventFilter(this);
}
