#pragma once
// 변경이력: every change of one order as the store recorded it, newest first: when, who, which
// field, the value before and after, and how (the procedure or a statement). Read-only; the
// client never changes a history row.
#include <QDialog>

class SpreadGrid;

class frmOrderHistory : public QDialog {
    Q_OBJECT
public:
    frmOrderHistory(qint64 orderId, QWidget* parent = nullptr);
    // Reads the order's history; false (after saying why) when there is none to show.
    bool Load();

    SpreadGrid* sp = nullptr;

private:
    qint64 m_orderId;
};

// Opens the history of an order (none selected: says so).
void ShowOrderHistory(QWidget* parent, qint64 orderId);
