#include "frmjungsanlist.h"
#include "datepicker.h"

#include "accountstatements.h"
#include "amounts.h"
#include "clock.h"
#include "gridroutines.h"
#include "livelist.h"
#include "mytext.h"
#include "paymentmark.h"
#include "prompts.h"
#include "spreadgrid.h"
#include "statusscheme.h"
#include "storetrap.h"
#include "textformat.h"

#include <QButtonGroup>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QSet>
#include <QStyle>
#include <QStyledItemDelegate>
#include <map>
#include <optional>

namespace {
constexpr int PaidColumn = 4;
constexpr int FreightColumn = 5;
constexpr int StatusColumn = 10;
// Keys per look-up: a long selection is read in pieces no store refuses as too long a statement.
constexpr qsizetype KeysPerRead = 500;

ColumnRequest ListColumns() {
    return {"날짜",     "인수증날짜", "계산서날짜", "결제일",     "운송비",
            "차량번호", "차주명",     "차주연락처", "상차권역",   "상차지",
            "하차권역", "하차지",     "오더상태",   "작성아이디", "작성회사명"};
}

QStringList RowTexts(const ListRecord& v) {
    return QStringList{v["날짜"],
                       v["인수증날짜"],
                       v["계산서날짜"],
                       v["결제일"],
                       Amounts::Grouped(v["운송비"]),
                       v["차량번호"],
                       v["차주명"],
                       FormatPhone(v["차주연락처"]),
                       v["상차권역"] + QLatin1Char(' ') + v["상차지"] + QStringLiteral(" -> ") +
                           v["하차권역"] + QLatin1Char(' ') + v["하차지"],
                       v["오더상태"],
                       v["작성아이디"],
                       v["작성회사명"]};
}

// A selected row and what it showed of the order's status and payment.
struct Listed {
    int row;
    qint64 id;
    PaymentMark::State state;
};

// A payment write the store's count did not confirm.
struct Unsure {
    Listed row;
    enum Kind {
        NoMatch,  // nothing matched: the row moved after the question
        Untold,   // the store could not tell how many rows changed
        LinkLost, // the link died after sending
    } kind;
};

QList<qint64> Keys(const QList<Listed>& rows) {
    QList<qint64> keys;
    for (const Listed& l : rows)
        keys << l.id;
    return keys;
}

SettlementSums::Figures FiguresOf(const QStringList& texts) {
    return SettlementSums::Of(texts.value(FreightColumn - 1), texts.value(PaidColumn - 1));
}

// Paid rows carry a pale tint under their status ink, read from the row's own payment date, so a
// row marked or cleared shows it at once.
class PaidRowTint : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        if (option->backgroundBrush.style() != Qt::NoBrush) return; // a fading change comes first
        if (!index.siblingAtColumn(PaidColumn - 1).data().toString().trimmed().isEmpty())
            option->backgroundBrush = SettlementSums::PaidTint();
    }
};

PaymentMark::State StateOf(const QStringList& texts) {
    return {texts.value(StatusColumn - 1), texts.value(PaidColumn - 1)};
}

// The listed columns of these orders as the store holds them now, by key; an order the store no
// longer has is missing.
std::map<qint64, QStringList> ReadRows(StoreTrap& trap, const QList<qint64>& ids) {
    ColumnRequest columns = ListColumns();
    columns.emplace_back("ID");
    std::map<qint64, QStringList> found;
    for (qsizetype i = 0; i < ids.size(); i += KeysPerRead) {
        const SharedRecordset rs =
            trap.open(AccountSql::SettlementRowsStatement(ids.mid(i, KeysPerRead)), columns);
        const dstore::ResultSet* rows = rs.rows();
        if (!rows) continue;
        QHash<QByteArray, int> names;
        ListRecord record(*rows, names);
        for (qsizetype r = 0; r < rows->rowCount(); ++r) {
            record.setRow(r);
            found[AccountSql::KeyValue(record["ID"])] = RowTexts(record);
        }
    }
    return found;
}

void ShowRow(SpreadGrid& grid, int row, const QStringList& texts) {
    for (int c = 1; c <= texts.size() && c <= grid.MaxCols(); ++c)
        grid.SetText(c, row, texts[c - 1]);
    // A status that moved since the list was read changes the row's ink with it.
    grid.setRow(row);
    grid.setForeColor(StatusScheme::StatusColour(texts.value(StatusColumn - 1)));
}

// Looks again at the rows whose write the store's count did not confirm: the grid shows what the
// store holds for them, and each is counted as written, left alone, or unknown.
void Recheck(SpreadGrid& grid, PaymentMark::Action action, const QString& mark, const QList<Unsure>& unsure,
             PaymentMark::Outcome& outcome) {
    using namespace PaymentMark;
    QList<Listed> rows;
    for (const Unsure& u : unsure)
        rows << u.row;
    std::map<qint64, QStringList> now;
    // Without a connection (it could not be made again) there is nothing to ask.
    outcome.reread = StoreConnection && RunRoutine([&] {
                         StoreTrap trap;
                         now = ReadRows(trap, Keys(rows));
                     });
    for (const Unsure& u : unsure) {
        const auto it = now.find(u.row.id);
        std::optional<State> state;
        if (it != now.end()) {
            state = StateOf(it->second);
            ShowRow(grid, u.row.row, it->second);
        }
        if (u.kind == Unsure::LinkLost) continue; // counted as unknown whatever the store shows
        if (!outcome.reread) {
            // Nothing matched: certainly not written. Not told: it may have been.
            if (u.kind == Unsure::NoMatch)
                outcome.left.add(Reason::Moved);
            else
                ++outcome.unknown;
            continue;
        }
        if (u.kind == Unsure::Untold && state && *state == State{u.row.state.status, mark}) {
            ++outcome.written;
            continue;
        }
        // Moved between the question and the write: named for what it is now.
        const Reason reason = Judge(action, u.row.state, state);
        outcome.left.add(reason == Reason::None ? Reason::Moved : reason);
    }
}
} // namespace

frmJungsanList::frmJungsanList(QWidget* parent)
    : AccountList({QStringLiteral("frmJungsanList"),
                   QStringLiteral("정산관리"),
                   {QStringLiteral("배차일자"), QStringLiteral("인수증일자"), QStringLiteral("계산서일자"),
                    QStringLiteral("지급일자"), QStringLiteral("운송비"), QStringLiteral("차량번호"),
                    QStringLiteral("차주명"), QStringLiteral("차주연락처"), QStringLiteral("운송내역"),
                    QStringLiteral("오더상태"), QStringLiteral("작성아이디"), QStringLiteral("작성회사명")},
                   // The dates and the phone get room for every character in the Korean face
                   // that stands in for 굴림, which runs wider than the old screen's.
                   {11.5, 11.5, 11.5, 11.5, 11.5, 11.5, 8.75, 14.5, 44.0, 0, 10.25, 10.5},
                   9,
                   12,
                   600,
                   {5},
                   StatusColumn,
                   {{1, WholeText::Date},
                    {2, WholeText::Date},
                    {3, WholeText::Date},
                    {4, WholeText::Date},
                    {5, WholeText::Amount},
                    {6, WholeText::VehicleNumber},
                    {8, WholeText::Phone},
                    {StatusColumn, WholeText::Status}}},
                  parent) {
    AddLabel(QStringLiteral("기간"), QStringLiteral("라벨_기간"));
    AddLabel(QStringLiteral("~"), QStringLiteral("라벨_물결"));
    for (int i = 0; i < 2; ++i) {
        auto* picker = new DatePickerEdit(SSPanel1);
        picker->setObjectName(QStringLiteral("배차일(%1)").arg(i));
        배차일[size_t(i)] = picker;
    }
    AddButton(2, QStringLiteral("   운임지급처리"), QStyle::SP_DialogApplyButton);
    AddButton(3, QStringLiteral("   지급취소처리"), QStyle::SP_DialogCancelButton);
    setTabOrder(배차일[0], 배차일[1]);
    setTabOrder(배차일[1], 검색어);
    setTabOrder(검색어, cmdArr[0]);

    // Under the list: the payment choice, then the sums.
    footer = new QWidget(backPanel);
    footer->setObjectName(QStringLiteral("합계줄"));
    auto* line = new QHBoxLayout(footer);
    line->setContentsMargins(0, 0, 0, 0);
    auto* choice = new QButtonGroup(this);
    const QString choices[3] = {QStringLiteral("전체"), QStringLiteral("미지급"), QStringLiteral("지급")};
    for (int i = 0; i < 3; ++i) {
        auto* b = new QRadioButton(choices[i], footer);
        b->setObjectName(QStringLiteral("지급구분(%1)").arg(i));
        choice->addButton(b, i);
        line->addWidget(b);
        지급구분[size_t(i)] = b;
    }
    지급구분[0]->setChecked(true);
    line->addStretch(1);
    auto sumLabel = [&](const QString& name) {
        auto* l = new QLabel(footer);
        l->setObjectName(name);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        line->addSpacing(24);
        line->addWidget(l);
        return l;
    };
    합계_조회 = sumLabel(QStringLiteral("합계_조회"));
    합계_선택 = sumLabel(QStringLiteral("합계_선택"));
    합계_미지급 = sumLabel(QStringLiteral("합계_미지급"));
    sp->setItemDelegate(new PaidRowTint(sp));

    connect(choice, &QButtonGroup::idClicked, this, [this] { LoadList(); });
    connect(sp->selectionModel(), &QItemSelectionModel::selectionChanged, this, &frmJungsanList::ShowSums);
    connect(cmdArr[0], &QPushButton::clicked, this, &frmJungsanList::LoadList);
    connect(cmdArr[2], &QPushButton::clicked, this, &frmJungsanList::MarkPaid);
    connect(cmdArr[3], &QPushButton::clicked, this, &frmJungsanList::ClearPaid);

    // Opening the screen: this month so far.
    Form_Resize();
    const QDate today = Clock::today();
    배차일[0]->setDate(QDate(today.year(), today.month(), 1));
    배차일[1]->setDate(today);
    // Following the store before the first read: nothing written after it is missed.
    FollowStoreFeed(this, [this](const QSet<qint64>& orders) { PatchOrders(orders); }, [this] { ReloadQuietly(); });
    LoadList();
}

std::vector<BarItem> frmJungsanList::BarControls() const {
    std::vector<BarItem> items = {{findChild<QLabel*>(QStringLiteral("라벨_기간")), 150, 75, 480, 300},
                                  {배차일[0], 660, 60, 1650, 330},
                                  {findChild<QLabel*>(QStringLiteral("라벨_물결")), 2355, 75, 180, 300},
                                  {배차일[1], 2550, 60, 1650, 330},
                                  {findChild<QLabel*>(QStringLiteral("라벨_검색어")), 4350, 75, 660, 300},
                                  {검색어, 5040, 60, 2250, 330}};
    const double widths[4] = {1200, 1200, 1800, 1800};
    double left = 7440;
    for (int i = 0; i < 4; ++i) {
        items.push_back({cmdArr.at(i), left, 45, widths[i], 360});
        left += widths[i] + 60;
    }
    // The hint repeats the search box's own; a narrow screen does without it.
    items.push_back(
        {findChild<QLabel*>(QStringLiteral("라벨_검색안내")), left + 90, 75, 3900, 300, -1, true});
    return items;
}

void frmJungsanList::LoadList() {
    m_from = 배차일[0]->date().toString(QStringLiteral("yyyy-MM-dd"));
    m_to = 배차일[1]->date().toString(QStringLiteral("yyyy-MM-dd"));
    m_search = 검색어->TextVal().trimmed();
    m_paid = 지급구분[1]->isChecked()   ? AccountSql::Paid::Unpaid
             : 지급구분[2]->isChecked() ? AccountSql::Paid::PaidOnly
                                        : AccountSql::Paid::All;
    m_figures.clear();
    // The sums cover every listed order, drawn or not: they are read from the answer itself.
    FillList(ListStatement(), ListColumns(), RowTexts, [this](const ListRecord& record) {
        m_figures.insert(AccountSql::KeyValue(record["ID"]),
                         SettlementSums::Of(record.bytes("운송비"), record.bytes("결제일")));
    });
    ShowSums();
}

QString frmJungsanList::ListStatement(const QSet<qint64>& only) const {
    QList<qint64> keys(only.cbegin(), only.cend());
    std::sort(keys.begin(), keys.end());
    return AccountSql::SettlementListStatement(m_from, m_to, m_search, m_paid, keys);
}

std::optional<std::vector<FreshRow>> frmJungsanList::ReadRowsQuietly(const QString& statement,
                                                                      QHash<qint64, SettlementSums::Figures>* figures) const {
    ColumnRequest columns = ListColumns();
    columns.emplace_back("ID");
    const SharedRecordset rs = ReadChangedRows(statement, columns);
    if (!rs.rows()) return std::nullopt; // not answered: the list stays as it is
    std::vector<FreshRow> fresh;
    QHash<QByteArray, int> names;
    ListRecord record(*rs.rows(), names);
    for (qsizetype r = 0; r < rs.rows()->rowCount(); ++r) {
        record.setRow(r);
        const QStringList texts = RowTexts(record);
        figures->insert(AccountSql::KeyValue(record["ID"]), FiguresOf(texts));
        fresh.push_back(FreshRow::FromTexts(texts, record["ID"].trimmed(), RowInk(texts)));
    }
    return fresh;
}

void frmJungsanList::PatchOrders(const QSet<qint64>& orders) {
    if (orders.isEmpty()) return;
    // The list's order, as the statement sorts: oldest day first, then the order's key.
    static const LiveOrder order{{{1, false}}, false};
    QHash<qint64, SettlementSums::Figures> figures;
    auto fresh = ReadRowsQuietly(ListStatement(orders), &figures);
    if (!fresh) return;
    PatchListRows(*sp, orders, std::move(*fresh), order);
    // The sums follow: an order that left the list adds nothing, one read again adds its texts.
    for (qint64 id : orders)
        m_figures.remove(id);
    m_figures.insert(figures);
    ShowSums();
}

void frmJungsanList::ReloadQuietly() {
    QHash<qint64, SettlementSums::Figures> figures;
    auto fresh = ReadRowsQuietly(ListStatement(), &figures);
    if (!fresh) return;
    RefillKeepingPlace(*sp, [&] {
        for (FreshRow& row : *fresh)
            sp->AppendJoinedRow(std::move(row.cells), std::move(row.ends), row.tag, row.colour);
    });
    m_figures = std::move(figures);
    ShowSums();
}

frmJungsanList::Sums frmJungsanList::CurrentSums() const {
    Sums sums;
    for (const SettlementSums::Figures& f : m_figures) {
        sums.listed.add(f);
        if (!f.paid) sums.unpaid.add(f);
    }
    for (int row : SelectedRows()) {
        const auto it = m_figures.constFind(AccountSql::KeyValue(RowKey(row)));
        if (it != m_figures.cend()) sums.selected.add(*it);
    }
    return sums;
}

void frmJungsanList::ShowSums() {
    const Sums sums = CurrentSums();
    합계_조회->setText(QStringLiteral("조회 ") + SettlementSums::Text(sums.listed));
    합계_선택->setText(QStringLiteral("선택 ") + SettlementSums::Text(sums.selected));
    합계_미지급->setText(QStringLiteral("미지급 ") + SettlementSums::Text(sums.unpaid));
}

QList<int> frmJungsanList::SelectedRows() const {
    QList<int> rows;
    QSet<int> seen;
    for (int i = 0; i < sp->SelectionCount(); ++i) {
        int col = 0, row = 0, col2 = 0, row2 = 0;
        if (!sp->GetSelection(i, &col, &row, &col2, &row2)) continue;
        for (int r = row; r <= row2; ++r)
            if (r >= 1 && r <= sp->MaxRows() && !seen.contains(r)) {
                seen.insert(r);
                rows << r;
            }
    }
    return rows;
}

void frmJungsanList::MarkPaid() {
    RunPayment(PaymentMark::Action::Mark);
}
void frmJungsanList::ClearPaid() {
    RunPayment(PaymentMark::Action::Clear);
}

void frmJungsanList::RunPayment(PaymentMark::Action action) {
    using namespace PaymentMark;
    // What each selected row showed, taken before anything below redraws it: the writes state
    // exactly that, so a row that moved at another desk is not written over.
    QList<Listed> listed;
    for (int row : SelectedRows()) {
        const qint64 id = AccountSql::KeyValue(RowKey(row));
        // A row without a key names no order.
        if (id > 0)
            listed.push_back({row, id, {sp->GetText(StatusColumn, row), sp->GetText(PaidColumn, row)}});
    }
    if (listed.isEmpty()) {
        Prompt::refusal(QStringLiteral("선택하신 내용이 없습니다."));
        return;
    }
    // However the run ends, the sums count the selected rows as the grid now shows them: read
    // again, marked or cleared.
    const auto recount = qScopeGuard([&] {
        for (const Listed& l : listed)
            if (m_figures.contains(l.id)) m_figures[l.id] = FiguresOf(sp->RowTexts(l.row));
        ShowSums();
    });

    // The list may be hours old. The question counts the rows as the store holds them now, and
    // the grid shows them so while it is asked, so a row cancelled at another desk reads 취소.
    std::map<qint64, QStringList> stored;
    if (!RunRoutine([&] {
            StoreTrap trap;
            stored = ReadRows(trap, Keys(listed));
        }))
        return;
    QList<Listed> toWrite;
    Tally left;
    for (const Listed& l : listed) {
        const auto it = stored.find(l.id);
        std::optional<State> now;
        if (it != stored.end()) {
            now = StateOf(it->second);
            ShowRow(*sp, l.row, it->second);
        }
        const Reason reason = Judge(action, l.state, now);
        if (reason == Reason::None)
            toWrite << l;
        else
            left.add(reason);
    }
    if (toWrite.isEmpty()) {
        Prompt::refusal(NothingToWrite(action, int(listed.size()), left));
        return;
    }
    const QString question = Question(action, int(listed.size()), int(toWrite.size()), left);
    if (!(action == PaymentMark::Action::Clear ? Prompt::confirmRisky(question) : Prompt::confirm(question)))
        return;

    // Each row is written on its own as it is reached; the store's count of changed rows says
    // whether the row was still as shown when the write arrived.
    const QString mark =
        action == Action::Mark ? Clock::today().toString(QStringLiteral("yyyy-MM-dd")) : QString();
    Outcome outcome;
    outcome.selected = int(listed.size());
    outcome.left = left;
    QList<Unsure> unsure; // rows to look up again
    int answered = 0;
    const bool finished = RunRoutine([&] {
        StoreTrap trap;
        for (const Listed& l : toWrite) {
            const QString statement =
                action == Action::Mark ? AccountSql::MarkPaidStatement(l.id, mark, l.state.status)
                                       : AccountSql::ClearPaidStatement(l.id, l.state.status, l.state.paid);
            qint64 changed = -1;
            try {
                changed = trap.executeOrReport(statement);
            } catch (const WriteOutcomeUnknown&) {
                // Never sent again blindly, nor called unprocessed: it may be written.
                ++outcome.unknown;
                unsure.push_back({l, Unsure::LinkLost});
                throw LeaveRoutine{};
            }
            ++answered;
            if (changed > 0) {
                ++outcome.written;
                sp->SetText(PaidColumn, l.row, mark);
            } else {
                unsure.push_back({l, changed == 0 ? Unsure::NoMatch : Unsure::Untold});
            }
        }
    });
    outcome.stopped = !finished;
    outcome.unsent = int(toWrite.size()) - answered - outcome.unknown;
    if (!unsure.isEmpty()) Recheck(*sp, action, mark, unsure, outcome);

    if (outcome.written == int(toWrite.size())) return;
    const QString result = Result(action, outcome);
    if (outcome.stopped || outcome.unknown)
        Prompt::refusal(result);
    else
        Prompt::notice(result);
}
