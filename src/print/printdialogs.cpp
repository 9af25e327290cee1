// The print module's two entries (see src/shell/printjob.h): the preview and the print dialog,
// both on a high-resolution printer set up from the job.
#include "printjob.h"

#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScreen>

namespace {
void SetUp(QPrinter& printer, const PrintJob& job) {
    printer.setDocName(job.docName);
    printer.setCreator(job.creator);
    printer.setPageLayout(job.layout);
}
} // namespace

extern "C" Q_DECL_EXPORT void delmora_print_preview_v1(QWidget* parent, const PrintJob& job) {
    QPrinter printer(QPrinter::HighResolution);
    SetUp(printer, job);
    QPrintPreviewDialog preview(&printer, parent);
    preview.setObjectName(QStringLiteral("미리보기"));
    preview.setWindowTitle(job.title);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview, [&job](QPrinter* p) { job.paint(*p); });
    // As large as the screen allows, so the page reads without zooming.
    if (QScreen* on = parent ? parent->screen() : preview.screen()) preview.resize(on->availableGeometry().size() * 0.9);
    preview.exec();
}

extern "C" Q_DECL_EXPORT PrintOutcome delmora_print_dialog_v1(QWidget* parent, const PrintJob& job) {
    QPrinter printer(QPrinter::HighResolution);
    SetUp(printer, job);
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(job.title);
    if (dialog.exec() != QDialog::Accepted) return PrintOutcome::Cancelled;
    return job.paint(printer) ? PrintOutcome::Printed : PrintOutcome::Failed;
}
