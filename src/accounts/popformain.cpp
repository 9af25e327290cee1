#include "popformain.h"

#include "accountstatements.h"
#include "exporttable.h"
#include "invoiceform.h"
#include "invoiceprint.h"
#include "mytext.h"
#include "printmodule.h"
#include "prompts.h"
#include "signin.h"
#include "spreadgrid.h"
#include "storetrap.h"

#include <QFileInfo>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>

namespace {
constexpr int Margin = 12;
const QString PdfFilter = QStringLiteral("PDF 파일 (*.pdf)");
// The receiver's copy of the paper form is ruled in red.
const QColor FormLines(0xD8, 0x5A, 0x5A);

// Characters no file name may carry on the systems our users save to.
QString FileNameSafe(QString name) {
    for (QChar& c : name)
        if (QStringLiteral("\\/:*?\"<>|").contains(c) || c.unicode() < 32) c = QLatin1Char('_');
    return name.trimmed();
}
} // namespace

popFormain::popFormain(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("popFormain"));
    setWindowTitle(QStringLiteral("세금계산서"));
    setModal(true);
    setFont(QFont(QStringLiteral("굴림"), 9));

    backPanel = new QWidget(this);
    backPanel->setObjectName(QStringLiteral("backPanel"));
    formPanel = new QWidget(backPanel);
    formPanel->setObjectName(QStringLiteral("formPanel"));
    formPanel->setAutoFillBackground(true);
    QPalette white = formPanel->palette();
    white.setColor(QPalette::Window, Qt::white);
    formPanel->setPalette(white);

    tsp = new SpreadGrid(formPanel);
    tsp->setObjectName(QStringLiteral("tsp"));
    InvoiceForm::Build(*tsp);
    tsp->setColWidth(0, 0);
    tsp->horizontalHeader()->hide();
    tsp->setSelectionMode(QAbstractItemView::NoSelection);
    tsp->setFocusPolicy(Qt::NoFocus);
    tsp->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    tsp->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    tsp->setFrameShape(QFrame::Box);
    tsp->setLineWidth(2);
    tsp->setStyleSheet(
        QStringLiteral("QTableView { gridline-color: #d85a5a; color: #000000; border: 2px solid #c82828; "
                       "background: #ffffff; }"));
    int formWidth = 0, formHeight = 0;
    for (int c = 0; c < InvoiceForm::Columns; ++c)
        formWidth += tsp->columnWidth(c);
    for (int r = 0; r < InvoiceForm::Rows; ++r)
        formHeight += tsp->rowHeight(r);
    tsp->setFixedSize(formWidth + 2 * tsp->frameWidth() + 1, formHeight + 2 * tsp->frameWidth() + 1);
    tsp->move(Margin, Margin);
    formPanel->setFixedSize(tsp->width() + 2 * Margin, tsp->height() + 2 * Margin);

    // The title and the word 청구 lie over the grid's cells, as printed on the paper form.
    auto overlay = [this](const QString& text, const QString& name, int points, const QString& ink) {
        auto* label = new QLabel(text, tsp->viewport());
        label->setObjectName(name);
        label->setAlignment(Qt::AlignCenter);
        QFont font(QStringLiteral("굴림"), points);
        font.setBold(true);
        label->setFont(font);
        label->setStyleSheet(QStringLiteral("color: %1; background: transparent;").arg(ink));
        return label;
    };
    제목 =
        overlay(QStringLiteral("세  금  계  산  서"), QStringLiteral("제목"), 20, QStringLiteral("#c82828"));
    청구 = overlay(QStringLiteral("청구"), QStringLiteral("청구"), 9, QStringLiteral("#000000"));
    PlaceOverlays();

    // Takes the focus when the view opens, so no button looks pressed.
    hFocus = new MyText(backPanel);
    hFocus->setObjectName(QStringLiteral("hFocus"));
    hFocus->setGeometry(-3000, -3000, 10, 10);

    auto button = [this](int index, const QString& caption, QStyle::StandardPixmap icon) {
        auto* b = new QPushButton(style()->standardIcon(icon), caption, backPanel);
        b->setObjectName(QStringLiteral("cmdArr(%1)").arg(index));
        b->setAutoDefault(false);
        b->setMinimumWidth(110);
        cmdArr[index] = b;
        return b;
    };
    button(3, QStringLiteral("   미리보기"), QStyle::SP_FileDialogContentsView);
    button(1, QStringLiteral("   인 쇄"), QStyle::SP_FileDialogDetailedView);
    button(2, QStringLiteral("   PDF 저장"), QStyle::SP_DialogSaveButton);
    button(99, QStringLiteral("   닫 기"), QStyle::SP_DialogCloseButton);
    connect(cmdArr[3], &QPushButton::clicked, this, &popFormain::PreviewInvoice);
    connect(cmdArr[1], &QPushButton::clicked, this, &popFormain::PrintInvoice);
    connect(cmdArr[2], &QPushButton::clicked, this, &popFormain::SaveAsPdf);
    connect(cmdArr[99], &QPushButton::clicked, this, &QDialog::reject);

    // The form scrolls inside the window when the screen is too small for it (a laptop, a large
    // display scale); the buttons stay below it, always in view.
    formScroll = new QScrollArea(backPanel);
    formScroll->setObjectName(QStringLiteral("formScroll"));
    formScroll->setWidget(formPanel);
    formScroll->setWidgetResizable(false);
    formScroll->setAlignment(Qt::AlignCenter);
    formScroll->setFrameShape(QFrame::NoFrame);
    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(Margin, 6, Margin, Margin);
    buttons->addStretch(1);
    for (int index : {3, 1, 2, 99})
        buttons->addWidget(cmdArr[index]);
    auto* column = new QVBoxLayout(backPanel);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(formScroll, 1);
    column->addLayout(buttons);
    auto* whole = new QVBoxLayout(this);
    whole->setContentsMargins(0, 0, 0, 0);
    whole->addWidget(backPanel);
    setSizeGripEnabled(true);
}

QSize popFormain::WholeFormSize() const {
    const QSize buttons = backPanel->layout()->itemAt(1)->sizeHint();
    return {std::max(formPanel->width(), buttons.width()), formPanel->height() + buttons.height()};
}

void popFormain::FitToScreen(const QRect& available) {
    // The frame and caption the window manager adds are not known before the window is shown;
    // this much is left for them.
    const QSize frame(16, 40);
    const QSize room = available.size() - frame;
    QSize size = WholeFormSize();
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    // A scrolled side needs room for the other side's scroll bar.
    const bool narrow = size.width() > room.width(), low = size.height() > room.height();
    if (narrow) size.rheight() += bar;
    if (low) size.rwidth() += bar;
    size = size.boundedTo(room);
    setMinimumSize(WholeFormSize().boundedTo(QSize(480, 300)).boundedTo(room));
    resize(size);
    move(available.left() + (available.width() - size.width() - frame.width()) / 2,
         available.top() + (available.height() - size.height() - frame.height()) / 2);
}

void popFormain::PlaceOverlays() {
    auto boxRect = [this](const QRect& box) {
        const QRect first = tsp->visualRect(tsp->model()->index(box.y() - 1, box.x() - 1));
        QRect r = first;
        for (int c = box.x(); c < box.x() + box.width(); ++c)
            r = r.united(tsp->visualRect(tsp->model()->index(box.y() - 1, c - 1)));
        return r;
    };
    제목->setGeometry(boxRect(InvoiceForm::TitleBox));
    // 청구 goes into the gap of "이 금액을 ... 함", which the cell centres in its box.
    const QRect claim = boxRect(InvoiceForm::ClaimBox);
    const QString sentence = tsp->GetText(InvoiceForm::ClaimBox.x(), InvoiceForm::ClaimBox.y());
    const qsizetype gapStart = sentence.indexOf(QStringLiteral("  "));
    const qsizetype gapEnd = sentence.lastIndexOf(QStringLiteral("  ")) + 2;
    const CellLook look = tsp->CellLookAt(InvoiceForm::ClaimBox.x(), InvoiceForm::ClaimBox.y());
    const QFontMetrics metrics(look.font ? *look.font : tsp->font());
    const int left = claim.center().x() - metrics.horizontalAdvance(sentence) / 2;
    const int gapCentre = left + (metrics.horizontalAdvance(sentence.left(gapStart)) +
                                  metrics.horizontalAdvance(sentence.left(gapEnd))) /
                                     2;
    const int width = 청구->sizeHint().width() + 4;
    청구->setGeometry(gapCentre - width / 2, claim.top(), width, claim.height());
}

void popFormain::showEvent(QShowEvent* event) {
    // Sized once, for the screen it opens on (the one its list is on).
    if (!m_fitted) {
        m_fitted = true;
        QScreen* on = parentWidget() ? parentWidget()->screen() : screen();
        if (on) FitToScreen(on->availableGeometry());
    }
    QDialog::showEvent(event);
    PlaceOverlays();
    hFocus->setFocus();
    // Read once per opening: an error box over the view would otherwise bring it back to the
    // front and read (and complain) again.
    if (!m_loaded) {
        m_loaded = true;
        LoadRecord();
    }
}

void popFormain::LoadRecord() {
    m_invoice.clear();
    const QString statement = AccountSql::InvoiceStatement(SelectedKey);
    QString problem;
    RunRoutine([&] {
        StoreTrap trap;
        SharedRecordset rs = trap.open(statement);
        const dstore::ResultSet* rows = rs.rows();
        if (!rows || rows->rowCount() == 0) return;
        for (int c = 0; c < rows->columnCount(); ++c)
            m_invoice.insert(QString::fromUtf8(rows->columnName(c)), rows->text(0, c));
        problem = InvoiceForm::Fill(*tsp, m_invoice);
    });
    if (!problem.isEmpty()) Prompt::refusal(problem);
}

QString popFormain::DocumentTitle() const {
    QString name = m_invoice.value(QStringLiteral("승인번호")).trimmed();
    if (name.isEmpty()) name = m_invoice.value(QStringLiteral("작성일자")).trimmed();
    return (QStringLiteral("세금계산서 ") + name).trimmed();
}

QString popFormain::ProposedPdfName() const {
    QString name = m_invoice.value(QStringLiteral("승인번호")).trimmed();
    if (name.isEmpty()) name = m_invoice.value(QStringLiteral("작성일자")).trimmed();
    if (name.isEmpty()) name = SelectedKey.trimmed();
    return FileNameSafe(QStringLiteral("세금계산서_") + name) + QStringLiteral(".pdf");
}

PrintJob popFormain::MakePrintJob(const QString& title) const {
    PrintJob job;
    job.title = title;
    job.docName = DocumentTitle();
    job.creator = InvoicePrint::CreatorName();
    job.layout = InvoicePrint::PageFor(formPanel->size());
    job.paint = [this](QPagedPaintDevice& device) { return InvoicePrint::Render(*formPanel, *tsp, FormLines, device); };
    return job;
}

namespace {
void RefusePrinting(const QString& why) {
    Prompt::refusal(QStringLiteral("인쇄 기능을 불러오지 못했습니다. 프로그램을 다시 설치해 주십시오.\n") + why);
}
} // namespace

void popFormain::PreviewInvoice() {
    QString why;
    if (!ShowPrintPreview(this, MakePrintJob(QStringLiteral("미리보기 - ") + DocumentTitle()), &why)) RefusePrinting(why);
}

void popFormain::PrintInvoice() {
    QString why;
    if (PrintThroughDialog(this, MakePrintJob(QStringLiteral("인쇄")), &why) != PrintOutcome::Failed) return;
    if (!why.isEmpty())
        RefusePrinting(why);
    else
        Prompt::refusal(
            QStringLiteral("인쇄하지 못했습니다. 프린터가 켜져 있고 연결되어 있는지 확인해 주십시오."));
}

void popFormain::SaveAsPdf() {
    QString path = Prompt::saveAs(ProposedPdfName(), {PdfFilter});
    if (path.isEmpty()) return;
    if (!path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) path += QStringLiteral(".pdf");
    if (QFileInfo::exists(path)) {
        // Asking whether to overwrite a file that cannot be overwritten would only mislead.
        if (IsReadOnlyFile(path)) {
            Prompt::refusal(path + QStringLiteral(" 파일을 저장하지 못했습니다.\n읽기 전용 파일입니다."));
            return;
        }
        if (!Prompt::confirm(QStringLiteral("이미 존재하는 파일입니다. 덮어쓸까요?"))) return;
    }
    QString reason;
    if (!InvoicePrint::SavePdf(*formPanel, *tsp, FormLines, path, DocumentTitle(), &reason)) {
        Prompt::refusal(path + QStringLiteral(" 파일을 저장하지 못했습니다.\n") + reason);
        return;
    }
    Prompt::notice(path + QStringLiteral(" PDF 파일이 생성되었습니다."));
}
