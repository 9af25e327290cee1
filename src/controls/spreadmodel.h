#pragma once
// The table model behind SpreadGrid. Each row keeps its cell texts joined in one string with the
// end offset of every cell (a 14-column board row stays well under a kilobyte), the column-1 tag
// and the row's text colour. Rows and columns count from 0 here; the grid adds the 1.
//
// Rows added from a RowSource stay unbuilt until something reads them; every reader below
// builds a row first, so callers never see the difference.
//
// Buffering: between beginBuffering() and endBuffering() every change goes in without signals
// inside one model reset, so a fill of many rows costs one reset.
#include "spreadgrid.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QHash>
#include <QStringList>
#include <vector>

class SpreadModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit SpreadModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Zero rows gives the row array back to the heap.
    void setRowTotal(int rows);
    // Room for this many rows in all, made once before a fill of a known size.
    void reserveRows(int rows);
    void setColumnTotal(int cols);
    int rowTotal() const { return int(m_rows.size()); }
    int columnTotal() const { return m_cols; }

    // The stored text of a cell (row, col from 0); "" outside the grid.
    QString cellText(int row, int col) const;
    void setCellText(int row, int col, const QString& value);
    QStringList rowTexts(int row) const;
    void appendRow(const QStringList& texts, const QString& tag, const QColor& colour);
    // Texts as one joined row (see appendJoinedRow).
    static void JoinTexts(const QStringList& texts, QString& cells, std::vector<quint32>& ends);
    // The same from a row already joined: cells back to back in one text, ends[i] the end of
    // cell i. Lists that fill many rows build it without one string per cell.
    void appendJoinedRow(QString cells, std::vector<quint32> ends, const QString& tag, const QColor& colour);

    // Every row of the source after the existing rows, built when first read.
    void appendSourceRows(std::shared_ptr<RowSource> source);
    // A list kept up to date in place (another desk's change): a joined row put in at `row`,
    // written over the row there, or taken out; views keep their current cell and selection on
    // the rows they were on. Lists only: cell looks stay where they were.
    void insertJoinedRow(int row, QString cells, std::vector<quint32> ends, const QString& tag, const QColor& colour);
    void replaceJoinedRow(int row, QString cells, std::vector<quint32> ends, const QString& tag, const QColor& colour);
    void removeRowAt(int row);
    // A background for the row of this tag (a row just changed elsewhere); invalid: none.
    void setTagBackground(const QString& tag, const QColor& colour);
    bool hasTagBackgrounds() const { return !m_tagBacks.isEmpty(); }
    // Rows built so far (all rows of a grid filled row by row).
    int builtRows() const;

    QString header(int col) const { return m_headers.value(col); }
    void setHeader(int col, const QString& text);

    QString tag(int row) const;
    void setTag(int row, const QString& tag);
    // An invalid colour is the grid's default text colour.
    QColor rowColour(int row) const;
    void setRowColour(int firstRow, int lastRow, const QColor& colour);

    CellKind cellKind(int col) const;
    void setCellKind(int col, CellKind kind);
    QString checkText(int col) const { return m_checkTexts.value(col); }
    void setCheckText(int col, const QString& text);
    bool checked(int row, int col) const;
    void setChecked(int row, int col, bool on);

    // Looks of single cells (a form drawn on the grid); cells without one use the grid's own.
    CellLook cellLook(int row, int col) const { return m_looks.value(lookKey(row, col)); }
    void setCellLook(int row, int col, const CellLook& look);
    // Alignment of a whole column (amounts flush right); a cell's own look comes first.
    Qt::Alignment columnAlignment(int col) const;
    void setColumnAlignment(int col, Qt::Alignment align);

    void removeColumnsAt(int col, int count);
    void copyFrom(const SpreadModel& other);

    void beginBuffering();
    void endBuffering();
    bool buffering() const { return m_buffering; }

    // Heap bytes held for one row (texts, offsets, tag, check marks), for the benchmark.
    qsizetype rowBytes(int row) const;

private:
    // A built row: its texts and marks.
    struct RowData {
        QString cells;             // every cell's text, one after the other
        std::vector<quint32> ends; // end offset of each stored cell; missing cells read ""
        QString tag;
        QRgb colour = 0;          // 0: default colour
        std::vector<bool> checks; // check marks, only once a cell of the row is checked
    };
    // One slot of 16 bytes a row. A row from a source keeps only where the source has it until
    // it is first read, so a long list costs its slots and the rows in view, not a built row
    // for every row; an empty row holds nothing either.
    struct Row {
        RowData* data = nullptr;       // in m_pool; null: empty, or not built yet
        qint32 block = -1;             // a pending row's source (index into m_sources) ...
        qint32 sourceRow = 0;          // ... and its row there
        bool pending() const { return !data && block >= 0; }
    };
    // The row array of a long list lives in a mapping of its own, so emptying the grid hands
    // it back to the system whole instead of leaving it in the heap as free space.
    template <class T>
    struct RowArrayAllocator {
        using value_type = T;
        RowArrayAllocator() = default;
        template <class U>
        RowArrayAllocator(const RowArrayAllocator<U>&) {}
        T* allocate(size_t n);
        void deallocate(T* p, size_t n);
        friend bool operator==(const RowArrayAllocator&, const RowArrayAllocator&) { return true; }
    };
    // Built rows live in blocks of growing size that the model owns: a list filled row by row
    // costs no heap block a row, and rows let go are handed out again.
    class RowPool {
    public:
        RowData* make(); // an empty row
        void drop(RowData* row);
        void clear(); // every row gone, the blocks given back
    private:
        // Reserved whole when made and never grown past that, so rows never move.
        std::vector<std::vector<RowData, RowArrayAllocator<RowData>>> m_blocks;
        std::vector<RowData*> m_free;
    };
    // Rows first..first+count-1 come from this source (its rows from 0).
    struct SourceBlock {
        int first;
        std::shared_ptr<RowSource> source;
    };

    // The row to write to, built first if it is still pending (an empty row gets its data).
    // Building is not a change anyone sees, so readers that are const may do it.
    RowData& built(int row) const;
    // The row to read: built if pending; an empty row reads as a shared empty one.
    const RowData& view(int row) const;
    void buildAll();
    // Rows from `from` on are about to go: their built data back to the pool.
    void dropRowsFrom(size_t from);

    void placeJoinedRow(int at, QString cells, std::vector<quint32> ends, const QString& tag, const QColor& colour);
    void dropLooksBeyond(int rows, int cols);
    static quint64 lookKey(int row, int col) { return (quint64(quint32(row)) << 32) | quint32(col); }
    bool validRow(int row) const { return row >= 0 && row < int(m_rows.size()); }
    void cellChanged(int row, int firstCol, int lastCol, const QList<int>& roles = {});
    static void writeCell(RowData& row, int col, QStringView value);

    mutable std::vector<Row, RowArrayAllocator<Row>> m_rows;
    mutable RowPool m_pool;
    std::vector<SourceBlock> m_sources;
    bool m_rowsMoved = false; // rows were put in or taken out between a source's rows
    QHash<QString, QRgb> m_tagBacks;
    int m_cols = 0;
    QStringList m_headers;
    std::vector<CellKind> m_kinds;
    QStringList m_checkTexts;
    QHash<quint64, CellLook> m_looks;
    std::vector<Qt::Alignment> m_colAligns;
    bool m_buffering = false;
};
