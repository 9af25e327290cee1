#include "accountlist.h"
#include <cstring>

#include "clock.h"
#include "gridroutines.h"
#include "listrows.h"
#include "mytext.h"
#include "spreadgrid.h"
#include "statusscheme.h"
#include "storetrap.h"
#include "twips.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <algorithm>

namespace {
constexpr double PanelLeft = 95, PanelTop = 30, PanelHeight = 450;
constexpr double GridTop = 540;

QColor Ink(const QStringList& texts, int statusColumn) {
    return StatusScheme::StatusColour(statusColumn > 0 ? texts.value(statusColumn - 1) : QString());
}
} // namespace

AccountList::AccountList(const Design& design, QWidget* parent) : WorkScreen(parent), m_design(design) {
    setObjectName(design.name);
    setWindowTitle(design.caption);
    setFont(QFont(QStringLiteral("굴림"), 9));

    backPanel = new QWidget(this);
    backPanel->setObjectName(QStringLiteral("backPanel"));
    SSPanel1 = new QFrame(backPanel);
    SSPanel1->setObjectName(QStringLiteral("SSPanel1"));
    SSPanel1->setFrameShape(QFrame::Panel);
    SSPanel1->setFrameShadow(QFrame::Raised);

    AddLabel(QStringLiteral("검색어"), QStringLiteral("라벨_검색어"));
    검색어 = new MyText(SSPanel1);
    검색어->setObjectName(QStringLiteral("검색어"));
    // Said beside the box: inside it too, the narrow box showed it cut.
    QLabel* hintLabel =
        AddLabel(QStringLiteral("☞ 휴대전화,기사명,차량번호로 검색"), QStringLiteral("라벨_검색안내"));
    hintLabel->setStyleSheet(QStringLiteral("color: #0000C0;"));

    AddButton(0, QStringLiteral("   조회"), QStyle::SP_FileDialogContentsView);
    AddButton(1, QStringLiteral("   엑셀로"), QStyle::SP_DialogSaveButton);
    AddButton(99, QStringLiteral("   닫 기"), QStyle::SP_DialogCloseButton);
    connect(cmdArr[1], &QPushButton::clicked, this, &AccountList::ExportList);
    connect(cmdArr[99], &QPushButton::clicked, this, &AccountList::CloseScreen);
    // Enter in the search box searches, as 조회 does.
    connect(검색어, &MyText::KeyDown, this, [this](int& keyCode, int) {
        if (keyCode != 13) return;
        keyCode = 0;
        cmdArr[0]->click();
    });

    sp = new SpreadGrid(backPanel);
    sp->setObjectName(QStringLiteral("sp"));
    sp->setMaxCols(int(design.headers.size()));
    for (int c = 1; c <= sp->MaxCols(); ++c) {
        sp->SetText(c, 0, design.headers[c - 1]);
        if (size_t(c) <= design.widths.size() && design.widths[size_t(c) - 1] > 0)
            sp->setColWidth(c, design.widths[size_t(c) - 1]);
    }
    for (int c : design.amounts)
        sp->setColumnAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
    sp->setMaxRows(0);
    ConnectColumnWidthSaving(*sp, design.caption);
    ApplyGridStyle(this);
}

QPushButton* AccountList::AddButton(int index, const QString& caption, int icon) {
    auto* b = new QPushButton(style()->standardIcon(QStyle::StandardPixmap(icon)), caption, SSPanel1);
    b->setObjectName(QStringLiteral("cmdArr(%1)").arg(index));
    cmdArr[index] = b;
    return b;
}

QLabel* AccountList::AddLabel(const QString& caption, const QString& name) {
    auto* l = new QLabel(caption, SSPanel1);
    l->setObjectName(name);
    return l;
}

int ListRecord::column(const char* name) const {
    // Looked up by the name's own bytes (no copy for every record); kept as a copy once.
    const auto it = m_columns.constFind(QByteArray::fromRawData(name, qsizetype(std::strlen(name))));
    if (it != m_columns.cend()) return *it;
    return *m_columns.insert(QByteArray(name), m_rows.columnIndex(QByteArrayView(name)));
}

QString ListRecord::operator[](const char* name) const {
    const int c = column(name);
    return c < 0 ? QString() : m_rows.text(m_row, c);
}

QByteArrayView ListRecord::bytes(const char* name) const {
    const int c = column(name);
    return c < 0 ? QByteArrayView() : m_rows.bytes(m_row, c);
}

void AccountList::FillList(const QString& statement, ColumnRequest columns,
                           const std::function<QStringList(const ListRecord&)>& row,
                           const std::function<void(const ListRecord&)>& everyRecord) {
    ListFill fill(this, sp);
    if (std::find(columns.begin(), columns.end(), QByteArray("ID")) == columns.end())
        columns.emplace_back("ID");
    RunRoutine([&] {
        StoreTrap trap;
        const SharedRecordset rs = trap.open(statement, columns);
        const dstore::ResultSet* rows = rs.rows();
        if (!rows) return;
        // Names are looked up once per answer; the record and its names live with the rows.
        auto names = std::make_shared<QHash<QByteArray, int>>();
        auto record = std::make_shared<ListRecord>(*rows, *names);
        if (everyRecord) {
            QHash<QByteArray, int> looked;
            ListRecord each(*rows, looked);
            for (qsizetype r = 0; r < rows->rowCount(); ++r) {
                each.setRow(r);
                everyRecord(each);
            }
        }
        const int statusColumn = m_design.statusColumn;
        sp->AppendSourceRows(std::make_shared<ListRows>(
            rs, sp->MaxCols(), rows->columnIndex("ID"), true,
            [row, names, record, statusColumn](qsizetype r, QStringList& texts, QColor& colour) {
                record->setRow(r);
                texts = row(*record);
                colour = Ink(texts, statusColumn);
            }));
    });
}

QColor AccountList::RowInk(const QStringList& texts) const {
    return Ink(texts, m_design.statusColumn);
}

QString AccountList::RowKey(int row) const {
    sp->setRow(row);
    sp->setCol(1);
    return sp->CellTag().trimmed();
}

void AccountList::Form_Resize() {
    FillClientArea(this);
    LayOut();
}

void AccountList::resizeEvent(QResizeEvent* event) {
    WorkScreen::resizeEvent(event);
    LayOut();
}

void AccountList::LayOut() {
    // A window too small for the list must not stop it: sizes only go down to zero.
    try {
        backPanel->setGeometry(0, 0, width(), height());
        const double W = PxToTwips(backPanel->width());
        const double H = PxToTwips(backPanel->height());
        const double panelWidth = W - 190;
        BarDesign bar;
        bar.rowStep = 390;
        bar.left = BarControls();
        bar.right = {{cmdArr.at(99), 1110, 45, 1050, 360}};
        // A panel whose controls wrap grows by a row; the grid below moves down with it.
        const double growth = (LayOutBar(bar, panelWidth) - 1) * bar.rowStep;
        PlaceTwips(SSPanel1, PanelLeft, PanelTop, panelWidth, PanelHeight + growth);
        const double footerHeight = footer ? PxToTwips(footer->sizeHint().height()) + 60 : 0;
        const double gridHeight = std::max(0.0, H - 630 - growth - footerHeight);
        PlaceTwips(sp, PanelLeft, GridTop + growth, panelWidth, gridHeight);
        if (footer)
            PlaceTwips(footer, PanelLeft, GridTop + growth + gridHeight + 30, panelWidth, footerHeight - 60);
        ApplyColumnLayout(*sp, m_design.caption, [this](SpreadGrid& grid) { FitColumns(grid); });
    } catch (...) {
    }
}

void AccountList::FitColumns(SpreadGrid& grid) const {
    SizeToSamples(grid, m_design.whole);
    ShareSpareWidth(grid, {m_design.fitA, m_design.fitB}, m_design.reserve, 450);
}

void AccountList::ExportList() {
    ExportGridToExcel(*sp, m_design.caption + QLatin1Char('_') +
                               Clock::today().toString(QStringLiteral("yyMMdd")));
}

void AccountList::CloseScreen() {
    CloseWorkScreen(this);
}

ListFill::ListFill(QWidget* screen, SpreadGrid* grid)
    : m_screen(screen), m_grid(grid), m_updates(screen->updatesEnabled()) {
    m_screen->setUpdatesEnabled(false);
    m_grid->setMaxRows(0);
    m_grid->ReDraw(false);
}

ListFill::~ListFill() {
    m_grid->ReDraw(true);
    m_screen->setUpdatesEnabled(m_updates);
}
