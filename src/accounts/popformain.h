#pragma once
// 세금계산서: one recorded tax invoice (SelectedKey) on the paper form, to read, print or keep
// as a PDF. It writes nothing to the store.
#include <QDialog>
#include <QHash>
#include <map>

class QLabel;
struct PrintJob;
class QPushButton;
class QScrollArea;
class MyText;
class SpreadGrid;

class popFormain : public QDialog {
    Q_OBJECT
public:
    explicit popFormain(QWidget* parent = nullptr);

    // Reads the invoice named by SelectedKey into the form; a key no invoice has leaves the
    // form empty.
    void LoadRecord();
    // 미리보기: the page exactly as 인쇄 puts it on paper.
    void PreviewInvoice();
    // 인쇄: the print dialog, then the form on the chosen printer.
    void PrintInvoice();
    // PDF 저장: asks for the file (named after the approval number, else the issue date).
    void SaveAsPdf();
    // The file name offered for the PDF.
    QString ProposedPdfName() const;
    // "세금계산서 " and the approval number (else the issue date): the PDF's title and the print
    // job's name.
    QString DocumentTitle() const;
    // Sizes the window to the whole form when that fits into the available area of a screen,
    // else to that area (the form then scrolls), and centres it there.
    void FitToScreen(const QRect& available);

    // Controls, under their system names (also their object names).
    QWidget* backPanel = nullptr;
    QScrollArea* formScroll = nullptr;
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
    QSize WholeFormSize() const;
    // The form as a print job: its title and page, and its drawing.
    PrintJob MakePrintJob(const QString& title) const;
    QHash<QString, QString> m_invoice;
    bool m_loaded = false;
    bool m_fitted = false;
};
