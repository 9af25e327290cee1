#pragma once
// What makes one master list different from the others: its table, search, order, key, grid
// columns, width fit, registration button, pop-up and names. The list screen itself is one
// class (MasterList) driven by such a description.
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

class QDialog;
class QWidget;

enum class CellFormat { AsStored, Phone, BusinessNumber };

struct MasterColumn {
    QString header;
    QString field;
    double width = -1; // character units; -1 leaves the grid's default
    CellFormat format = CellFormat::AsStored;
};

struct MasterMember {
    QString screen;  // object name: frmCarList, frmHwajuList, frmJuseonsaList
    QString caption; // window caption, [컬럼폭] key and export stem
    QString table;
    QStringList filterColumns;
    QString orderColumn;
    QString keyField; // kept as the column-1 tag of every row
    std::vector<MasterColumn> columns;
    std::vector<int> fitColumns; // share the spare width when no widths are stored
    QString registerCaption;     // empty: no registration button
    int phoneHandOverColumn = 0; // vehicle owners: the column SelectedPhone is read from
    QString exportPrefix;
    std::function<QDialog*(QWidget* parent)> popup;
};

// The three members, vehicle owners first.
const MasterMember& CarListMember();
const MasterMember& HwajuListMember();
const MasterMember& JuseonsaListMember();
std::vector<const MasterMember*> MasterMembers();

// The list statement of a member for a search text ("" lists every row). A row is listed when
// any one of the filter columns contains the text; the text is quoted, so a typed quote is
// searched for, never ends the literal.
QString MasterListStatement(const MasterMember& member, const QString& search);
