#include "masterlist.h"

#include "barlayout.h"
#include "clock.h"
#include "gridroutines.h"
#include "handover.h"
#include "listrows.h"
#include "mainwindow.h"
#include "mytext.h"
#include "spreadgrid.h"
#include "storetrap.h"
#include "twips.h"

#include <QDialog>
#include <QFrame>
#include <QMdiSubWindow>
#include <QPushButton>
#include <memory>

namespace {
QString Indexed(const QString& name, int index) {
    return name + QLatin1Char('(') + QString::number(index) + QLatin1Char(')');
}

constexpr double BarLeft = 90, BarTop = 90, BarHeight = 435;
constexpr double GridTop = 540;
constexpr double ButtonTop = 45, ButtonWidth = 1020, ButtonHeight = 345;
constexpr double ControlTop = 60, ControlHeight = 300;

// Holds back the screen's painting while the grid refills, however the load ends.
class PaintingLocked {
public:
    explicit PaintingLocked(QWidget* w) : m_w(w), m_was(w->updatesEnabled()) { w->setUpdatesEnabled(false); }
    ~PaintingLocked() { m_w->setUpdatesEnabled(m_was); }

private:
    QWidget* m_w;
    bool m_was;
};

// The display form of a stored phone or business number, through the main window's hidden
// formatter boxes as every list does; without a main window (a screen on its own) the one
// formatter behind those boxes serves directly.
QString Formatted(CellFormat format, const QString& stored) {
    if (format == CellFormat::AsStored) return stored;
    frmMain* main = MainWindow();
    MyText* box = nullptr;
    if (main) box = format == CellFormat::Phone ? main->전화틀() : main->사업자틀();
    if (!box)
        return FormatText(format == CellFormat::Phone ? TextType::Telephone : TextType::BusinessNumber,
                          stored);
    box->SetText(stored);
    return box->Text();
}
} // namespace

MasterList::MasterList(const MasterMember& member, QWidget* parent) : WorkScreen(parent), m_member(member) {
    setObjectName(member.screen);
    setWindowTitle(member.caption);
    setFont(QFont(QStringLiteral("굴림"), 9));
    BuildForm();

    // Opening the screen.
    Form_Resize();
    ApplyGridStyle(this);
    sp->setMaxRows(0);
    LoadList();
}

void MasterList::BuildForm() {
    backPanel = new QWidget(this);
    backPanel->setObjectName(QStringLiteral("backPanel"));

    auto* bar = new QFrame(backPanel);
    bar->setObjectName(Indexed(QStringLiteral("SSPanel4"), 4));
    bar->setFrameShape(QFrame::Panel);
    bar->setFrameShadow(QFrame::Raised);
    SSPanel4[4] = bar;

    auto* label = new MyLabel(QStringLiteral("검색어"), bar);
    label->setObjectName(Indexed(QStringLiteral("MyLabel1"), 0));
    MyLabel1[0] = label;

    검색어 = new MyText(bar);
    검색어->setObjectName(QStringLiteral("검색어"));
    // The hint names the columns a search looks in; any one of them finds the row.
    const QStringList& columns = m_member.filterColumns;
    검색어->setPlaceholderText(columns.size() < 2
                                   ? columns.join(QString())
                                   : columns.mid(0, columns.size() - 1).join(QStringLiteral(", ")) +
                                         QStringLiteral(" 또는 ") + columns.last());
    // Enter in the search box searches, as the agents expect from every search box.
    connect(검색어, &MyText::KeyDown, this, [this](int& keyCode, int) {
        if (keyCode != 13) return;
        keyCode = 0;
        LoadList();
    });

    auto button = [this, bar](int index, const QString& caption) {
        auto* b = new QPushButton(caption, bar);
        b->setObjectName(Indexed(QStringLiteral("cmdArr"), index));
        cmdArr[index] = b;
        return b;
    };
    connect(button(0, QStringLiteral("   조회")), &QPushButton::clicked, this, [this] { LoadList(); });
    connect(button(1, QStringLiteral("   엑셀로")), &QPushButton::clicked, this, [this] { ExportList(); });
    if (!m_member.registerCaption.isEmpty())
        connect(button(2, m_member.registerCaption), &QPushButton::clicked, this, [this] { NewRecord(); });
    connect(button(99, QStringLiteral("   닫 기")), &QPushButton::clicked, this, [this] { CloseScreen(); });

    sp = new SpreadGrid(backPanel);
    sp->setObjectName(QStringLiteral("sp"));
    sp->setMaxCols(int(m_member.columns.size()));
    for (size_t i = 0; i < m_member.columns.size(); ++i) {
        const MasterColumn& c = m_member.columns[i];
        sp->SetText(int(i) + 1, 0, c.header);
        if (c.width >= 0) sp->setColWidth(int(i) + 1, c.width);
    }
    connect(sp, &SpreadGrid::DblClick, this, [this](int col, int row) { OpenRecord(col, row); });
    ConnectColumnWidthSaving(*sp, m_member.caption);
}

void MasterList::LoadList() {
    PaintingLocked lock(this);
    sp->setMaxRows(0);
    sp->ReDraw(false);
    const QString statement = MasterListStatement(m_member, 검색어->TextVal());
    // Only the shown columns and the key are read out of the store.
    ColumnRequest columns;
    for (const MasterColumn& c : m_member.columns)
        columns.push_back(c.field.toUtf8());
    columns.push_back(m_member.keyField.toUtf8());
    RunRoutine([&] {
        StoreTrap trap;
        FillGrid(trap.open(statement, columns));
    });
    sp->ReDraw(true);
}

void MasterList::FillGrid(const SharedRecordset& rs) {
    const dstore::ResultSet* rows = rs.rows();
    if (!rows) return;
    // Columns are found once per answer; one the table lacks leaves its cells empty.
    std::vector<int> index;
    for (const MasterColumn& c : m_member.columns)
        index.push_back(rs.columnIndex(c.field));
    const int keyIndex = rs.columnIndex(m_member.keyField);
    std::vector<CellFormat> formats;
    for (const MasterColumn& c : m_member.columns)
        formats.push_back(c.format);
    sp->AppendSourceRows(std::make_shared<ListRows>(
        rs, sp->MaxCols(), keyIndex, false, [rows, index, formats](qsizetype r, QStringList& texts, QColor&) {
            for (size_t i = 0; i < index.size(); ++i)
                texts << Formatted(formats[i], index[i] < 0 ? QString() : rows->text(r, index[i]));
        }));
}

void MasterList::OpenRecord(int /*col*/, int row) {
    if (row < 1 || row > sp->MaxRows()) return;
    sp->setRow(row);
    sp->setCol(1);
    const QString key = sp->CellTag().trimmed();
    if (key.isEmpty()) return;
    SelectedKey = key;
    DataChanged = false;
    if (m_member.phoneHandOverColumn > 0)
        SelectedPhone = sp->GetText(m_member.phoneHandOverColumn, row).trimmed().remove(QLatin1Char('-'));
    ShowPopup();
}

void MasterList::NewRecord() {
    SelectedKey.clear();
    DataChanged = false;
    ShowPopup();
}

void MasterList::ShowPopup() {
    std::unique_ptr<QDialog> popup(m_member.popup(this));
    popup->exec();
    popup.reset();
    // A pop-up closed right after its notice was never active again: the keyboard comes back
    // to the list's window instead of to no window at all.
    window()->activateWindow();
    if (DataChanged) LoadList();
}

void MasterList::ExportList() {
    ExportGridToExcel(*sp, m_member.exportPrefix + Clock::today().toString(QStringLiteral("yyMMdd")));
}

void MasterList::Form_Resize() {
    // A work screen takes the whole client area of the main window.
    FillClientArea(this);
    ApplyLayout();
}

void MasterList::resizeEvent(QResizeEvent* event) {
    WorkScreen::resizeEvent(event);
    ApplyLayout();
}

void MasterList::ApplyLayout() {
    // A window too small for the list must not stop it: sizes only go down to zero.
    backPanel->setGeometry(0, 0, width(), height());
    const double W = PxToTwips(backPanel->width());
    const double H = PxToTwips(backPanel->height());
    BarDesign bar;
    bar.rowStep = ButtonHeight + 30;
    bar.left = {{MyLabel1.at(0), 90, ControlTop, 1300, ControlHeight},
                {검색어, 1440, ControlTop, 2550, ControlHeight, 1800},
                {cmdArr.at(0), 4050, ButtonTop, ButtonWidth, ButtonHeight},
                {cmdArr.at(1), 5130, ButtonTop, ButtonWidth, ButtonHeight}};
    if (cmdArr.count(2))
        bar.left.push_back(
            {cmdArr.at(2), 5130 + ButtonWidth + 60, ButtonTop, ButtonWidth + 240, ButtonHeight});
    bar.right = {{cmdArr.at(99), 1110, ButtonTop, ButtonWidth, ButtonHeight}};
    // A bar whose controls wrap grows by a row; the grid below moves down with it.
    const double growth = (LayOutBar(bar, W - 190) - 1) * bar.rowStep;
    PlaceTwips(SSPanel4.at(4), BarLeft, BarTop, W - 190, BarHeight + growth);
    PlaceTwips(sp, BarLeft, GridTop + growth, W - 190, H - 630 - growth);
    ApplyColumnLayout(*sp, m_member.caption, [this](SpreadGrid& grid) { FitColumns(grid); });
}

void MasterList::FitColumns(SpreadGrid& grid) const {
    // Phones and business numbers are read digit by digit: sized to their longest form.
    std::vector<std::pair<int, QString>> whole;
    for (size_t i = 0; i < m_member.columns.size(); ++i) {
        const CellFormat format = m_member.columns[i].format;
        if (format != CellFormat::AsStored)
            whole.emplace_back(int(i) + 1,
                               format == CellFormat::Phone ? WholeText::Phone : WholeText::BusinessNumber);
    }
    SizeToSamples(grid, whole);
    ShareSpareWidth(grid, m_member.fitColumns, 500);
}

void MasterList::CloseScreen() {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        sub->close();
    else
        close();
}
