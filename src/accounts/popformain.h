#pragma once
// 세금계산서: one recorded tax invoice (SelectedKey) on the paper form, to read, print or keep
// as a PDF. It writes nothing to the store.
#include <QDialog>
#include <QHash>
#include <map>

class QLabel;
class QPushButton;
class MyText;
class SpreadGrid;

class popFormain : public QDialog {
    Q_OBJECT
public:
    explicit popFormain(QWidget* parent = nullptr);

    // Reads the invoice named by SelectedKey into the form; a key no invoice has leaves the
    // form empty.
    void LoadRecord();
    // 인쇄: the print dialog, then the form on the chosen printer.
    void PrintInvoice();
    // PDF 저장: asks for the file (named after the approval number, else the issue date).
    void SaveAsPdf();
    // The file name offered for the PDF.
    QString ProposedPdfName() const;

    // Controls, under their system names (also their object names).
    QWidget* backPanel = nullptr;
    QWidget* formPanel = nullptr; // what goes on paper: the title and the grid
    SpreadGrid* tsp = nullptr;
    QLabel* 제목 = nullptr;
    QLabel* 청구 = nullptr;
    MyText* hFocus = nullptr;
    std::map<int, QPushButton*> cmdArr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void PlaceOverlays();
    QHash<QString, QString> m_invoice;
    bool m_loaded = false;
};
