// Address suggestions under the address boxes, and the wiring of the entry panel's keys.
#include "frmorder.h"

#include "droplist.h"
#include "gridroutines.h"
#include "mytext.h"
#include "orderderive.h"
#include "orderguards.h"
#include "orderstatements.h"
#include "spreadgrid.h"
#include "storetrap.h"
#include "twips.h"

#include <QButtonGroup>
#include <QDateEdit>
#include <QFrame>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>

using namespace OrderBoard;

namespace {
constexpr int SuggestionRowsShown = 8;
}

void frmOrder::ConnectEntryPanel() {
    for (bool loading : {true, false}) {
        DropList* region = loading ? 상차권역 : 하차권역;
        MyText* box = loading ? 상차지 : 하차지;
        connect(region, &DropList::DropDown, this, [this] { m_regionDropped = true; });
        connect(region, &DropList::LostFocus, this, [this] { m_regionDropped = false; });
        connect(region, &QComboBox::activated, this, [this, loading](int index) {
            if (m_regionDropped && index > 0) RegionChosen(loading, false);
        });
        connect(region, &DropList::KeyDown, this, [this, loading, region](int& code, int) {
            if (code == 13 && region->currentIndex() > 0) {
                code = 0;
                RegionChosen(loading, true);
            }
        });
        connect(box, &MyText::Change, this, [this, loading] { AddressChanged(loading); });
        connect(box, &MyText::KeyDown, this, [this, loading, box](int& code, int) {
            if (code != 13) return;
            code = 0;
            if (!box->TextVal().isEmpty())
                LookupAddress(loading ? QStringLiteral("상차지") : QStringLiteral("하차지"));
        });
    }
    for (DropList* list : {댓수, 상차시, 하차시, 운임형태, 차종, 희망톤수})
        connect(list, &DropList::KeyDown, this, [](int& code, int) { EnterToTab(code); });
    connect(m_loadKindGroup, &QButtonGroup::idClicked, this, [this](int id) { SelectDateKind(true, id); });
    connect(m_unloadKindGroup, &QButtonGroup::idClicked, this, [this](int id) { SelectDateKind(false, id); });
    connect(화물중량, &MyText::LostFocus, this, [this] {
        const QString weight = OrderDerive::WeightOnLeave(화물중량->Text());
        if (weight != 화물중량->Text()) 화물중량->SetText(weight);
    });
}

bool frmOrder::eventFilter(QObject* watched, QEvent* event) {
    if (watched == fSP && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab && key->modifiers() == Qt::NoModifier) {
            int code = 13;
            SuggestionKeyDown(code, 0);
            return true;
        }
    }
    if (watched == 배차일 && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            int code = 13;
            EnterToTab(code);
            return true;
        }
    }
    if (watched == SSPanel2 || watched == SSPanel4[0] || watched == SSPanel4[4]) {
        if (event->type() == QEvent::MouseMove)
            m_countdown = 0;
        else if (event->type() == QEvent::MouseButtonPress && watched == SSPanel2)
            fSP->hide();
    }
    return WorkScreen::eventFilter(watched, event);
}

void frmOrder::AddressChanged(bool loading) {
    if (m_quietAddress) return;
    MyText* box = loading ? 상차지 : 하차지;
    if (!box->Text().isEmpty()) return;
    (loading ? 상차권역 : 하차권역)->setCurrentIndex(0);
    fSP->hide();
}

void frmOrder::RegionChosen(bool loading, bool /*byEnter*/) {
    MyText* box = loading ? 상차지 : 하차지;
    {
        // The region was just chosen: emptying its box must not take the choice back.
        QuietFlag quiet(m_quietAddress);
        box->SetText(QString());
    }
    box->setFocus();
}

void frmOrder::LookupAddress(const QString& field) {
    MyText* box = field == QStringLiteral("하차지") ? 하차지 : 상차지;
    if (box->TextVal().isEmpty()) return;
    const QString search = OrderSql::AddressSearchText(box->TextVal());
    // Blanks alone would match every town of the country.
    if (search.isEmpty()) return;
    m_addressField = field;
    RunRoutine([&] {
        StoreTrap trap;
        const SharedRecordset rs = trap.open(OrderSql::AddressLookupStatement(search));
        const dstore::ResultSet* rows = rs.rows();
        if (rs.eof() || !rows) return;
        const int c1 = rows->columnIndex("SIDO"), c2 = rows->columnIndex("SIGUNGU"),
                  c3 = rows->columnIndex("UPMYENDONG");
        auto cell = [rows](qsizetype r, int c) { return c < 0 ? QString() : rows->text(r, c); };
        SetSuggestionColumns({QStringLiteral("시도"), QStringLiteral("시군구"), QStringLiteral("읍면동")},
                             {8, 16, 16});
        {
            RedrawOff redraw(fSP);
            fSP->setMaxRows(0);
            for (qsizetype r = 0; r < rows->rowCount(); ++r)
                fSP->AppendRow({cell(r, c1), cell(r, c2), cell(r, c3)});
        }
        // Never over the captions right of the address box: the town and district give up room.
        ShowSuggestions(box, box->width() + TwipsToPx(90), {1, 2});
    });
}

void frmOrder::SetSuggestionColumns(const QStringList& headers, const QList<double>& widths) {
    fSP->setMaxCols(int(headers.size()));
    for (int c = 1; c <= headers.size(); ++c) {
        fSP->SetText(c, 0, headers[c - 1]);
        fSP->setColWidth(c, widths.value(c - 1, 10));
        fSP->setColumnAlignment(c, Qt::AlignLeft | Qt::AlignVCenter);
    }
}

void frmOrder::ShowSuggestions(QWidget* under, int room, std::initializer_list<int> givers) {
    const QPoint at = under->mapTo(backPanel, QPoint(0, under->height()));
    const int rowHeight = fSP->verticalHeader()->defaultSectionSize();
    const int headerHeight = qMax(fSP->horizontalHeader()->sizeHint().height(), rowHeight);
    // As tall as its rows, up to eight: a short list must not hide the fields below it.
    const int shown = qMin(fSP->MaxRows(), SuggestionRowsShown);
    const int height = headerHeight + shown * rowHeight + 2 * fSP->frameWidth() + 2;
    // As wide as its columns need and no wider than its room: what the columns need beyond that
    // the givers give up, in equal parts.
    QTableView* view = fSP;
    view->resizeColumnsToContents();
    // A scroll bar only when rows are left out, whatever the first, rough height would need.
    const bool scrolls = fSP->MaxRows() > shown;
    fSP->setVerticalScrollBarPolicy(scrolls ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    const int scrollBar = scrolls ? fSP->verticalScrollBar()->sizeHint().width() : 0;
    // (Asked while the box is still hidden: isHidden, not isVisible, tells the row numbers.)
    const int chrome = 2 * fSP->frameWidth() + scrollBar +
                       (fSP->verticalHeader()->isHidden() ? 0 : fSP->verticalHeader()->width());
    const int columns = fSP->model()->columnCount();
    auto needed = [&] {
        int total = chrome;
        for (int c = 0; c < columns; ++c)
            total += view->columnWidth(c);
        return total;
    };
    room = qMin(room, backPanel->width());
    if (needed() > room && givers.size() > 0) {
        const int give = (needed() - room + int(givers.size()) - 1) / int(givers.size());
        for (int c : givers)
            view->setColumnWidth(c, qMax(view->columnWidth(c) - give, fSP->horizontalHeader()->sectionSizeHint(c)));
    }
    const int width = needed();
    // Kept inside the board: a list under a box near the right edge opens to the left.
    const int x = qMax(0, qMin(at.x(), backPanel->width() - width));
    fSP->setGeometry(x, at.y(), width, height);
    fSP->show();
    // Shown, the header and rows have their real heights: the shown rows get exactly the room,
    // the last of them never half hidden behind a scroll bar it did not need.
    int rows = 0;
    for (int r = 0; r < shown; ++r)
        rows += fSP->rowHeight(r);
    const int lack = rows - fSP->viewport()->height();
    if (lack != 0) fSP->resize(fSP->width(), fSP->height() + lack);
    // The row numbers and the scroll bar have their real widths too: the columns get exactly
    // the room left.
    const int off = fSP->horizontalHeader()->length() - fSP->viewport()->width();
    if (off != 0) fSP->resize(fSP->width() + off, fSP->height());
    fSP->raise();
    fSP->SetActiveCell(1, 1);
    fSP->setFocus();
}

void frmOrder::PickAddress(int row) {
    if (row < 1 || row > fSP->MaxRows()) return;
    const QString province = fSP->GetText(1, row).trimmed();
    const QString rest =
        (fSP->GetText(2, row).trimmed() + QLatin1Char(' ') + fSP->GetText(3, row).trimmed()).trimmed();
    const bool loading = m_addressField != QStringLiteral("하차지");
    DropList* region = loading ? 상차권역 : 하차권역;
    MyText* box = loading ? 상차지 : 하차지;
    region->selectText(province);
    {
        QuietFlag quiet(m_quietAddress);
        if (region->currentText() == province)
            box->SetText(rest);
        else
            box->SetText((province + QLatin1Char(' ') + rest).trimmed());
    }
    (loading ? 상차시 : 하차시)->setFocus();
    fSP->setMaxRows(0);
    fSP->hide();
}

void frmOrder::SuggestionKeyDown(int& keyCode, int /*shift*/) {
    const bool lanes = m_addressField == QStringLiteral("화주코드");
    if (keyCode == 13) {
        const int row = fSP->ActiveRow();
        keyCode = 0;
        if (row < 1) return;
        if (lanes)
            PickLane(row);
        else
            PickAddress(row);
    } else if (keyCode == 27) {
        keyCode = 0;
        fSP->hide();
        // Closed unpicked, the panel stays as it was, the focus back where it was.
        if (lanes)
            (m_beforeLanes && m_beforeLanes->isVisible() ? m_beforeLanes : 화주코드)->setFocus();
        else
            (m_addressField == QStringLiteral("하차지") ? 하차지 : 상차지)->setFocus();
    }
}
