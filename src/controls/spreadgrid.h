#pragma once
// The spreadsheet grid (FarPoint Spread's role): a QTableView over one table model that keeps
// each row's texts, its column-1 tag and its text colour. Rows and columns count from 1; row 0
// is the column-header row and column 0 the row-header column. Cells are read-only.
//
// Fill pattern of every list screen:
//     grid.ReDraw(false); grid.setMaxRows(0);
//     for (...) grid.AppendRow(texts, tag, colour);   // or SetText per cell
//     grid.ReDraw(true);                              // one model reset
#include <QAbstractTableModel>
#include <QColor>
#include <QFont>
#include <QTableView>
#include <memory>
#include <QHash>
#include <optional>
#include <vector>

class SpreadModel;
class QTimer;

// Rows a list hands the grid without building them: a row's texts, tag and colour are made the
// first time anything reads that row (drawing it, a key on it, an export), so a list of a
// hundred thousand orders costs the grid little more than the rows the agent looks at. The
// source keeps alive whatever it reads from; the grid drops it when its rows go.
class RowSource {
public:
    virtual ~RowSource() = default;
    virtual qsizetype rowCount() const = 0;
    // The number of columns its rows fill (the grid widens to it when the rows are added).
    virtual int columnCount() const = 0;
    // Row `row` (from 0) as a joined row (see SpreadModel::appendJoinedRow), its column-1 tag
    // and text colour (invalid: the grid's default).
    virtual void buildRow(qsizetype row, QString& cells, std::vector<quint32>& ends, QString& tag,
                          QColor& colour) = 0;
    // The tag alone, for look-ups by tag that should not build every row on the way.
    virtual QString rowTag(qsizetype row) = 0;
};

enum class CellKind { Edit = 1, CheckBox = 10 };
enum class WidthUnit { Normal, Twips };

// How one cell looks when it differs from the grid: an invalid colour, an empty alignment or
// no font keeps the grid's own.
struct CellLook {
    QColor back;
    QColor fore;
    Qt::Alignment align;
    std::optional<QFont> font;
};

class SpreadGrid : public QTableView {
    Q_OBJECT
public:
    explicit SpreadGrid(QWidget* parent = nullptr);
    ~SpreadGrid() override;

    SpreadModel* spreadModel() const { return m_model; }

    int MaxRows() const;
    void setMaxRows(int rows);       // 0 empties; count + 1 appends one empty row
    // Room for this many rows in all, made once before a fill whose size is known (an emptied
    // grid holds no row array).
    void ReserveRows(int rows);
    int MaxCols() const;
    void setMaxCols(int cols);

    // Row 0 sets a column header. Cells outside MaxCols x MaxRows are not written: grow the
    // grid first (setMaxRows(MaxRows() + 1)) or use AppendRow.
    void SetText(int col, int row, const QString& value);
    QString GetText(int col, int row) const;

    // Current cell, as Spread's Row/Col properties.
    void setRow(int row) { m_row = row; }
    void setCol(int col) { m_col = col; }
    int Row() const { return m_row; }
    int Col() const { return m_col; }
    QString Text() const { return GetText(m_col, m_row); }
    void setText(const QString& value) { SetText(m_col, m_row, value); }
    // Tag of the current cell (only column 1 keeps tags; other columns read "").
    QString CellTag() const;
    void setCellTag(const QString& tag);

    // Block mode: with it on, setForeColor colours the block (Col, Row)-(Col2, Row2) (whole
    // rows: the model keeps one colour per row); off, the current cell's row.
    void setRow2(int row) { m_row2 = row; }
    void setCol2(int col) { m_col2 = col; }
    void setBlockMode(bool on) { m_blockMode = on; }
    bool BlockMode() const { return m_blockMode; }
    void setForeColor(const QColor& colour);
    QColor RowForeColor(int row) const;

    // Fast append for fills: one row of texts (column 1 first), its tag and text colour. More
    // texts than columns widen the grid.
    void AppendRow(const QStringList& texts, const QString& tag = {}, const QColor& colour = Qt::black);
    // The same for a row already joined (see SpreadModel::appendJoinedRow).
    void AppendJoinedRow(QString cells, std::vector<quint32> ends, const QString& tag, const QColor& colour);
    // Every row of a source after the rows there are, built when first read (see RowSource).
    void AppendSourceRows(std::shared_ptr<RowSource> source);
    // A list kept up to date in place (rows from 1): the current cell, the selection and the rows
    // in view stay on the orders they were on, whatever comes in or goes above them.
    void InsertJoinedRow(int row, QString cells, std::vector<quint32> ends, const QString& tag, const QColor& colour);
    void ReplaceJoinedRow(int row, QString cells, std::vector<quint32> ends, const QString& tag, const QColor& colour);
    void RemoveRow(int row);
    // The row of this tag shows a pale tint that fades within about two seconds: it just
    // changed elsewhere.
    void FlashRow(const QString& tag);
    // The texts of one row, columns 1..MaxCols (check-box cells give their check text).
    QStringList RowTexts(int row) const;

    int ActiveRow() const;   // 0 when there is no active cell
    int ActiveCol() const;
    void SetActiveCell(int col, int row);

    // Column widths in the current unit: Normal = character units, Twips = twips. One character
    // unit is a fixed 8 pixels (120 twips) whatever the font, so stored widths mean the same
    // on every machine.
    void setUnitType(WidthUnit unit) { m_unit = unit; }
    WidthUnit UnitType() const { return m_unit; }
    double ColWidth(int col) const;            // col 0 is the row-header column
    void setColWidth(int col, double width);   // 0 hides the column
    // Row height in points (as RowHeightSetting): row -1 = all data rows, 0 = header row.
    void setRowHeight(int row, double points);
    double RowHeight(int row) const;

    // Off: drawing stops and the model opens one reset; on: the reset closes, so views see the
    // whole fill at once (selection and current cell start afresh; SetActiveCell during the
    // fill is applied when redraw comes back on).
    void ReDraw(bool on);
    bool isReDraw() const { return m_redraw; }

    int SelectionCount() const;
    // Corners of selected block index (0-based): whole rows report col = 1, col2 = MaxCols.
    bool GetSelection(int index, int* col, int* row, int* col2, int* row2) const;

    void setCellType(int col, CellKind kind);             // a whole column
    CellKind CellType(int col, int row) const;
    void setTypeCheckText(int col, const QString& text);  // caption shown beside check boxes
    QString TypeCheckText(int col) const;
    void setChecked(int col, int row, bool on);
    bool isChecked(int col, int row) const;

    // Cell looks and merged cells, for grids that carry a form rather than a list. A span joins
    // numCols x numRows cells into one box shown with the text of its first cell.
    void SetCellLook(int col, int row, const CellLook& look);
    CellLook CellLookAt(int col, int row) const;
    void AddCellSpan(int col, int row, int numCols, int numRows);
    // Alignment of every cell of a column (amounts flush right), unless a cell has its own.
    void setColumnAlignment(int col, Qt::Alignment align);

    void DeleteCols(int col, int count);
    // Writes rows 1..MaxRows, every column hidden or not, as tab-separated lines (UTF-8 with a
    // byte-order mark so spreadsheet programs read Korean; every line ends in CR LF; no header
    // row: the export puts its own headers into row 1). Written whole or not at all. Cell texts
    // holding tabs or line breaks have them turned into blanks so the file's rows stay whole.
    // Returns false when the file cannot be written.
    bool SaveTabFile(const QString& path) const;
    // Copies texts, headers, widths, tags, colours and cell kinds of another grid.
    void CopyFrom(const SpreadGrid& other);

    static constexpr int PixelsPerCharUnit = 8;

signals:
    void Click(int col, int row);
    void DblClick(int col, int row);
    void ColWidthChange(int col1, int col2);   // only for widths the user dragged
    void KeyDown(int& keyCode, int shift);     // Windows key codes; set keyCode 0 to drop the key
    // A key moved the active cell to another row (arrows, PageUp/PageDown, Home/End, ...).
    void KeyMovedRow(int col, int row);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int toPx(double width) const;
    double fromPx(int px) const;
    void applyColumnWidths();
    void columnResized(int logical, int newSize);
    std::vector<int> m_widthPx;        // per column: -1 default, 0 hidden, else pixels
    int m_rowHeightPx = -1;            // data rows, -1 default
    int m_headerHeightPx = -1;
    int m_rowHeaderPx = -1;            // column 0, -1 sized by Qt
    bool m_userResizing = false;       // a mouse button is down on the column header
    int m_pendingActiveCol = 0, m_pendingActiveRow = 0;
    // Rows fading after a change elsewhere: tag -> steps left.
    QHash<QString, int> m_flashes;
    QTimer* m_flashTimer = nullptr;
    void stepFlashes();
    SpreadModel* m_model = nullptr;
    int m_row = 0, m_col = 0, m_row2 = 0, m_col2 = 0;
    bool m_blockMode = false;
    bool m_redraw = true;
    bool m_programmaticResize = false;
    WidthUnit m_unit = WidthUnit::Normal;
};
