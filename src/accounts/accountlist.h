#pragma once
// What the settlement list and the tax-invoice list share: a background panel, a top panel
// with the search box, the buttons and 닫 기, the grid below it, the column convention, the
// export and closing the screen.
#include "barlayout.h"
#include "screens.h"

#include <QColor>
#include <QHash>
#include <functional>

#include <QString>
#include <QStringList>
#include <map>
#include <vector>

#include "storeconnection.h"

namespace dstore {
class ResultSet;
}
class QFrame;
class QLabel;
class QPushButton;
class MyText;
class SpreadGrid;

// One record of a list answer, read by column name; a column the answer lacks reads "".
class ListRecord {
public:
    ListRecord(const dstore::ResultSet& rows, QHash<QByteArray, int>& columns)
        : m_rows(rows), m_columns(columns) {}
    QString operator[](const char* name) const;
    // The column's stored bytes (UTF-8), for what reads every record of a long answer.
    QByteArrayView bytes(const char* name) const;
    void setRow(qsizetype row) { m_row = row; }

private:
    int column(const char* name) const;
    const dstore::ResultSet& m_rows;
    QHash<QByteArray, int>& m_columns; // looked up once per answer
    qsizetype m_row = 0;
};

class AccountList : public WorkScreen {
    Q_OBJECT
public:
    void Form_Resize() override;
    void ExportList();
    void CloseScreen();
    // The record key kept with a grid row (its column-1 tag).
    QString RowKey(int row) const;

    // Controls, under their system names (also their object names).
    QWidget* backPanel = nullptr;
    QFrame* SSPanel1 = nullptr;
    MyText* 검색어 = nullptr;
    std::map<int, QPushButton*> cmdArr;
    SpreadGrid* sp = nullptr;

protected:
    // A line of the screen's own under the grid (sums, choices); the grid gives up its height.
    QWidget* footer = nullptr;

    struct Design {
        QString name;    // object name of the screen
        QString caption; // window caption, [컬럼폭] key and export prefix
        QStringList headers;
        std::vector<double> widths; // character units; 0 keeps the grid's default
        int fitA, fitB;             // the two columns that take the spare width, in halves
        double reserve;             // twips kept free right of the columns
        std::vector<int> amounts;   // columns shown flush right
        int statusColumn = 0;       // the order status that inks the row; 0 for none
        std::vector<std::pair<int, QString>> whole; // columns sized to a sample text, never cut
    };
    AccountList(const Design& design, QWidget* parent);

    // Runs a list statement and shows one row per record: row() gives the record's texts (made
    // when the grid first reads the row), the record's ID becomes the row's key, its status's
    // ink the row's colour when the list shows a status. The grid is emptied first and drawn
    // once at the end.
    // Lists the answer's rows through row(); columns names what row() reads (the key, ID, is
    // added): the store reads nothing else, and a name missing from it stops the tests.
    // everyRecord, when given, sees each record of the answer at once, for what the screen
    // counts over the whole list.
    void FillList(const QString& statement, ColumnRequest columns,
                  const std::function<QStringList(const ListRecord&)>& row,
                  const std::function<void(const ListRecord&)>& everyRecord = {});
    // The text colour of a row with these texts: its status's ink when the list shows a status.
    QColor RowInk(const QStringList& texts) const;
    QPushButton* AddButton(int index, const QString& caption, int icon);
    QLabel* AddLabel(const QString& caption, const QString& name);
    // The screen's own controls of the top panel, left of 닫 기 (twips, as the screens were
    // drawn for a wide window).
    virtual std::vector<BarItem> BarControls() const = 0;
    void resizeEvent(QResizeEvent* event) override;

private:
    void LayOut();
    void FitColumns(SpreadGrid& grid) const;
    Design m_design;
};

// Held while a list fills: the screen's drawing suspended and the grid's redraw off, both
// given back however the fill ends.
class ListFill {
public:
    ListFill(QWidget* screen, SpreadGrid* grid);
    ~ListFill();
    ListFill(const ListFill&) = delete;
    ListFill& operator=(const ListFill&) = delete;

private:
    QWidget* m_screen;
    SpreadGrid* m_grid;
    bool m_updates;
};
