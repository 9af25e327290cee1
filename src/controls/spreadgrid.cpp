#include "spreadgrid.h"

#include "mytext.h"
#include "spreadmodel.h"
#include "twips.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QSaveFile>
#include <QScrollBar>
#include <QTimer>
#include <QScopedValueRollback>

#include <algorithm>
#include <cmath>

SpreadGrid::SpreadGrid(QWidget* parent) : QTableView(parent), m_model(new SpreadModel(this)) {
    setModel(m_model);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSortingEnabled(false);
    setWordWrap(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    // Nine character units, near the old component's default column.
    horizontalHeader()->setDefaultSectionSize(9 * PixelsPerCharUnit);
    // Saved widths may be narrow; the header's style minimum would widen them on restore.
    horizontalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setHighlightSections(true);
    horizontalHeader()->setSectionsClickable(true);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setSectionsClickable(true);
    verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    horizontalHeader()->viewport()->installEventFilter(this);

    connect(horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int logical, int, int newSize) { columnResized(logical, newSize); });
    connect(this, &QAbstractItemView::clicked, this,
            [this](const QModelIndex& i) { Q_EMIT Click(i.column() + 1, i.row() + 1); });
    connect(this, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& i) { Q_EMIT DblClick(i.column() + 1, i.row() + 1); });
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int c) { Q_EMIT Click(c + 1, 0); });
    connect(horizontalHeader(), &QHeaderView::sectionDoubleClicked, this,
            [this](int c) { Q_EMIT DblClick(c + 1, 0); });
    connect(verticalHeader(), &QHeaderView::sectionClicked, this, [this](int r) { Q_EMIT Click(0, r + 1); });
    connect(verticalHeader(), &QHeaderView::sectionDoubleClicked, this,
            [this](int r) { Q_EMIT DblClick(0, r + 1); });
    // A reset or new columns may give the header fresh sections: put the widths back.
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] { applyColumnWidths(); });
    connect(m_model, &QAbstractItemModel::columnsInserted, this, [this] { applyColumnWidths(); });
}

SpreadGrid::~SpreadGrid() = default;

int SpreadGrid::MaxRows() const {
    return m_model->rowTotal();
}

void SpreadGrid::setMaxRows(int rows) {
    m_model->setRowTotal(rows);
}

void SpreadGrid::ReserveRows(int rows) {
    m_model->reserveRows(rows);
}

int SpreadGrid::MaxCols() const {
    return m_model->columnTotal();
}

void SpreadGrid::setMaxCols(int cols) {
    cols = std::max(cols, 0);
    m_widthPx.resize(size_t(cols), -1);
    m_model->setColumnTotal(cols);
}

void SpreadGrid::SetText(int col, int row, const QString& value) {
    if (row == 0)
        m_model->setHeader(col - 1, value);
    else
        m_model->setCellText(row - 1, col - 1, value);
}

QString SpreadGrid::GetText(int col, int row) const {
    if (row == 0) return m_model->header(col - 1);
    if (m_model->cellKind(col - 1) == CellKind::CheckBox) return m_model->checkText(col - 1);
    return m_model->cellText(row - 1, col - 1);
}

QStringList SpreadGrid::RowTexts(int row) const {
    QStringList out;
    for (int c = 1; c <= MaxCols(); ++c)
        out << GetText(c, row);
    return out;
}

QString SpreadGrid::CellTag() const {
    return m_col == 1 ? m_model->tag(m_row - 1) : QString();
}

void SpreadGrid::setCellTag(const QString& tag) {
    if (m_col == 1) m_model->setTag(m_row - 1, tag);
}

void SpreadGrid::setForeColor(const QColor& colour) {
    int first = m_row, last = m_blockMode ? m_row2 : m_row;
    // Row -1 stands for every data row, as in the component this grid replaces.
    if (first == -1 || last == -1) {
        first = 1;
        last = MaxRows();
    }
    m_model->setRowColour(std::max(first, 1) - 1, std::max(last, 1) - 1, colour);
}

QColor SpreadGrid::RowForeColor(int row) const {
    return m_model->rowColour(row - 1);
}

void SpreadGrid::AppendRow(const QStringList& texts, const QString& tag, const QColor& colour) {
    if (texts.size() > MaxCols()) m_widthPx.resize(size_t(texts.size()), -1);
    m_model->appendRow(texts, tag, colour);
}

void SpreadGrid::AppendJoinedRow(QString cells, std::vector<quint32> ends, const QString& tag,
                                 const QColor& colour) {
    if (qsizetype(ends.size()) > MaxCols()) m_widthPx.resize(ends.size(), -1);
    m_model->appendJoinedRow(std::move(cells), std::move(ends), tag, colour);
}

void SpreadGrid::InsertJoinedRow(int row, QString cells, std::vector<quint32> ends, const QString& tag,
                                 const QColor& colour) {
    if (qsizetype(ends.size()) > MaxCols()) m_widthPx.resize(ends.size(), -1);
    const int at = std::clamp(row - 1, 0, MaxRows());
    const bool above = rowAt(0) >= 0 && at <= rowAt(0) && verticalScrollBar()->value() > 0;
    m_model->insertJoinedRow(at, std::move(cells), std::move(ends), tag, colour);
    if (above) verticalScrollBar()->setValue(verticalScrollBar()->value() + 1);
}

void SpreadGrid::ReplaceJoinedRow(int row, QString cells, std::vector<quint32> ends, const QString& tag,
                                  const QColor& colour) {
    m_model->replaceJoinedRow(row - 1, std::move(cells), std::move(ends), tag, colour);
}

void SpreadGrid::RemoveRow(int row) {
    if (row < 1 || row > MaxRows()) return;
    const bool above = rowAt(0) >= 0 && row - 1 < rowAt(0);
    m_model->removeRowAt(row - 1);
    if (above) verticalScrollBar()->setValue(verticalScrollBar()->value() - 1);
}

void SpreadGrid::FlashRow(const QString& tag) {
    if (tag.isEmpty()) return;
    if (!m_flashTimer) {
        m_flashTimer = new QTimer(this);
        m_flashTimer->setInterval(250);
        connect(m_flashTimer, &QTimer::timeout, this, &SpreadGrid::stepFlashes);
    }
    m_flashes.insert(tag, 8);
    m_model->setTagBackground(tag, QColor(255, 236, 140));
    viewport()->update();
    if (!m_flashTimer->isActive()) m_flashTimer->start();
}

void SpreadGrid::stepFlashes() {
    // A pale yellow that thins to white over eight steps of a quarter second.
    for (auto it = m_flashes.begin(); it != m_flashes.end();) {
        const int left = --it.value();
        if (left <= 0) {
            m_model->setTagBackground(it.key(), QColor());
            it = m_flashes.erase(it);
            continue;
        }
        const int fade = 255 - (255 - 140) * left / 8;
        m_model->setTagBackground(it.key(), QColor(255, 236 + (255 - 236) * (8 - left) / 8, fade));
        ++it;
    }
    if (m_flashes.isEmpty()) m_flashTimer->stop();
    viewport()->update();
}

void SpreadGrid::AppendSourceRows(std::shared_ptr<RowSource> source) {
    if (!source) return;
    if (source->columnCount() > MaxCols()) m_widthPx.resize(size_t(source->columnCount()), -1);
    m_model->appendSourceRows(std::move(source));
}

int SpreadGrid::ActiveRow() const {
    const QModelIndex i = currentIndex();
    return i.isValid() ? i.row() + 1 : 0;
}

int SpreadGrid::ActiveCol() const {
    const QModelIndex i = currentIndex();
    return i.isValid() ? i.column() + 1 : 0;
}

void SpreadGrid::SetActiveCell(int col, int row) {
    if (m_model->buffering()) {
        // The reset at ReDraw(true) would forget it; apply it then.
        m_pendingActiveCol = col;
        m_pendingActiveRow = row;
        return;
    }
    const QModelIndex i = m_model->index(row - 1, std::max(col, 1) - 1);
    if (!i.isValid()) return;
    selectionModel()->setCurrentIndex(i, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(i);
}

int SpreadGrid::toPx(double width) const {
    if (m_unit == WidthUnit::Twips) return TwipsToPx(width);
    return int(std::lround(width * PixelsPerCharUnit));
}

double SpreadGrid::fromPx(int px) const {
    if (m_unit == WidthUnit::Twips) return PxToTwips(px);
    return double(px) / PixelsPerCharUnit;
}

double SpreadGrid::ColWidth(int col) const {
    if (col == 0) {
        if (verticalHeader()->isHidden()) return 0;
        if (m_rowHeaderPx >= 0) return fromPx(m_rowHeaderPx);
        const int px = std::clamp(verticalHeader()->sizeHint().width(), verticalHeader()->minimumWidth(),
                                  verticalHeader()->maximumWidth());
        return fromPx(px);
    }
    if (col < 1 || col > MaxCols()) return 0;
    if (isColumnHidden(col - 1)) return 0;
    return fromPx(columnWidth(col - 1));
}

void SpreadGrid::setColWidth(int col, double width) {
    const int px = width <= 0 ? 0 : std::max(toPx(width), 1);
    if (col == 0) {
        m_rowHeaderPx = px;
        verticalHeader()->setVisible(px > 0);
        if (px > 0) verticalHeader()->setFixedWidth(px);
        return;
    }
    if (col < 1 || col > MaxCols()) return;
    m_widthPx[size_t(col) - 1] = px;
    QScopedValueRollback guard(m_programmaticResize, true);
    setColumnHidden(col - 1, px == 0);
    if (px > 0) setColumnWidth(col - 1, px);
}

void SpreadGrid::applyColumnWidths() {
    QScopedValueRollback guard(m_programmaticResize, true);
    const int cols = std::min<int>(MaxCols(), int(m_widthPx.size()));
    for (int c = 0; c < cols; ++c) {
        const int px = m_widthPx[size_t(c)];
        if (px < 0) continue;
        setColumnHidden(c, px == 0);
        if (px > 0 && columnWidth(c) != px) setColumnWidth(c, px);
    }
    if (m_rowHeightPx > 0) verticalHeader()->setDefaultSectionSize(m_rowHeightPx);
}

void SpreadGrid::columnResized(int logical, int newSize) {
    if (m_programmaticResize) return;
    if (logical >= 0 && size_t(logical) < m_widthPx.size() && newSize > 0)
        m_widthPx[size_t(logical)] = newSize;
    if (m_userResizing) Q_EMIT ColWidthChange(logical + 1, logical + 1);
}

bool SpreadGrid::eventFilter(QObject* watched, QEvent* event) {
    if (watched == horizontalHeader()->viewport()) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            m_userResizing = true;
            break;
        // Drags resize on mouse moves, so the release can end the user's part at once.
        case QEvent::MouseButtonRelease:
            m_userResizing = false;
            break;
        default:
            break;
        }
    }
    return QTableView::eventFilter(watched, event);
}

void SpreadGrid::setRowHeight(int row, double points) {
    // Beyond any screen a height means nothing; converting it unchecked would overflow.
    constexpr double tallest = 10000.0;
    const double bounded = std::isfinite(points) ? std::clamp(points, 0.0, tallest) : 0.0;
    const int px = std::max(int(std::lround(bounded * 4.0 / 3.0)), 1);
    if (row == 0) {
        m_headerHeightPx = px;
        horizontalHeader()->setFixedHeight(px);
    } else if (row == -1) {
        m_rowHeightPx = px;
        verticalHeader()->setMinimumSectionSize(std::min(px, verticalHeader()->minimumSectionSize()));
        verticalHeader()->setDefaultSectionSize(px);
        // Rows given their own height earlier follow the new one too.
        for (int r = 0; r < MaxRows() && r < 10000; ++r)
            if (verticalHeader()->sectionSize(r) != px) QTableView::setRowHeight(r, px);
    } else if (row >= 1 && row <= MaxRows()) {
        QTableView::setRowHeight(row - 1, px);
    }
}

double SpreadGrid::RowHeight(int row) const {
    int px = 0;
    if (row == 0)
        px = m_headerHeightPx >= 0 ? m_headerHeightPx : horizontalHeader()->sizeHint().height();
    else if (row == -1 || MaxRows() == 0)
        px = verticalHeader()->defaultSectionSize();
    else
        px = rowHeight(row - 1);
    return px * 3.0 / 4.0;
}

void SpreadGrid::ReDraw(bool on) {
    if (on == m_redraw) return;
    m_redraw = on;
    if (!on) {
        setUpdatesEnabled(false);
        m_model->beginBuffering();
        return;
    }
    m_model->endBuffering();
    setUpdatesEnabled(true);
    if (m_pendingActiveRow > 0) {
        const int col = m_pendingActiveCol, row = m_pendingActiveRow;
        m_pendingActiveCol = m_pendingActiveRow = 0;
        SetActiveCell(col, row);
    }
}

int SpreadGrid::SelectionCount() const {
    return int(selectionModel()->selection().size());
}

bool SpreadGrid::GetSelection(int index, int* col, int* row, int* col2, int* row2) const {
    const QItemSelection selection = selectionModel()->selection();
    if (index < 0 || index >= selection.size()) return false;
    const QItemSelectionRange& range = selection.at(index);
    if (col) *col = range.left() + 1;
    if (row) *row = range.top() + 1;
    if (col2) *col2 = range.right() + 1;
    if (row2) *row2 = range.bottom() + 1;
    return true;
}

void SpreadGrid::setCellType(int col, CellKind kind) {
    m_model->setCellKind(col - 1, kind);
}

CellKind SpreadGrid::CellType(int col, int) const {
    return m_model->cellKind(col - 1);
}

void SpreadGrid::setTypeCheckText(int col, const QString& text) {
    m_model->setCheckText(col - 1, text);
}

QString SpreadGrid::TypeCheckText(int col) const {
    return m_model->checkText(col - 1);
}

void SpreadGrid::setChecked(int col, int row, bool on) {
    m_model->setChecked(row - 1, col - 1, on);
}

bool SpreadGrid::isChecked(int col, int row) const {
    return m_model->checked(row - 1, col - 1);
}

void SpreadGrid::SetCellLook(int col, int row, const CellLook& look) {
    m_model->setCellLook(row - 1, col - 1, look);
}

CellLook SpreadGrid::CellLookAt(int col, int row) const {
    return m_model->cellLook(row - 1, col - 1);
}

void SpreadGrid::AddCellSpan(int col, int row, int numCols, int numRows) {
    if (col < 1 || row < 1 || numCols < 1 || numRows < 1) return;
    setSpan(row - 1, col - 1, numRows, numCols);
}

void SpreadGrid::setColumnAlignment(int col, Qt::Alignment align) {
    m_model->setColumnAlignment(col - 1, align);
}

void SpreadGrid::DeleteCols(int col, int count) {
    if (col < 1 || col > MaxCols() || count <= 0) return;
    count = std::min(count, MaxCols() - col + 1);
    m_model->removeColumnsAt(col - 1, count);
    if (size_t(col - 1) < m_widthPx.size())
        m_widthPx.erase(m_widthPx.begin() + (col - 1),
                        m_widthPx.begin() +
                            std::min<qsizetype>(col - 1 + count, qsizetype(m_widthPx.size())));
    applyColumnWidths();
}

bool SpreadGrid::SaveTabFile(const QString& path) const {
    // UTF-8 with a byte-order mark: Excel then reads the Korean texts as UTF-8 instead of the
    // system code page, and LibreOffice accepts it as well.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    QByteArray out("\xEF\xBB\xBF");
    const int cols = MaxCols();
    for (int r = 1; r <= MaxRows(); ++r) {
        QString line;
        for (int c = 1; c <= cols; ++c) {
            if (c > 1) line += u'\t';
            QString cell = GetText(c, r);
            for (QChar& ch : cell)
                if (ch == u'\t' || ch == u'\r' || ch == u'\n') ch = u' ';
            line += cell;
        }
        line += QLatin1String("\r\n");
        out += line.toUtf8();
        if (out.size() > (1 << 20)) {
            if (file.write(out) != out.size()) return false;
            out.clear();
        }
    }
    if (file.write(out) != out.size()) return false;
    return file.commit();
}

void SpreadGrid::CopyFrom(const SpreadGrid& other) {
    if (&other == this) return;
    m_model->copyFrom(*other.m_model);
    m_widthPx = other.m_widthPx;
    m_widthPx.resize(size_t(MaxCols()), -1);
    m_unit = other.m_unit;
    m_rowHeightPx = other.m_rowHeightPx;
    if (m_rowHeightPx > 0) verticalHeader()->setDefaultSectionSize(m_rowHeightPx);
    if (other.m_headerHeightPx > 0) {
        m_headerHeightPx = other.m_headerHeightPx;
        horizontalHeader()->setFixedHeight(m_headerHeightPx);
    }
    if (other.m_rowHeaderPx >= 0) {
        m_rowHeaderPx = other.m_rowHeaderPx;
        verticalHeader()->setVisible(m_rowHeaderPx > 0);
        if (m_rowHeaderPx > 0) verticalHeader()->setFixedWidth(m_rowHeaderPx);
    }
    setFont(other.font());
    // Columns the other grid sized by default keep their actual width here too.
    for (int c = 0; c < MaxCols(); ++c)
        if (m_widthPx[size_t(c)] < 0 && c < other.MaxCols())
            m_widthPx[size_t(c)] = other.isColumnHidden(c) ? 0 : other.columnWidth(c);
    applyColumnWidths();
}

void SpreadGrid::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    int code = VirtualKeyCode(event->key());
    if (code != 0 || enter) {
        Q_EMIT KeyDown(code, ShiftMask(event->modifiers()));
        if (code == 0) {
            event->accept();
            return;
        }
    }
    const int rowBefore = ActiveRow();
    QTableView::keyPressEvent(event);
    // Whatever key moved the cursor, a screen that shows the active row's record hears of it,
    // so the record shown and the row under the cursor never part.
    const int rowAfter = ActiveRow();
    if (rowAfter != rowBefore && rowAfter >= 1) Q_EMIT KeyMovedRow(ActiveCol(), rowAfter);
}
