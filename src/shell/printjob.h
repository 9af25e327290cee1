#pragma once
// Printing as the program asks for it. Qt's printing (Qt PrintSupport, and through its plug-in
// the print system) lives in a module of its own (src/print) that is loaded with the first print
// or preview, so a desk that never prints never maps it. This header is all the two sides
// share: Qt value types and a drawing call, nothing of our static libraries.
#include <QPageLayout>
#include <QString>
#include <functional>

class QPagedPaintDevice;
class QWidget;

struct PrintJob {
    QString title;   // the dialog's window title
    QString docName; // the print job's name
    QString creator;
    QPageLayout layout;
    // Draws the document on the printer (or the preview); false when it cannot be drawn on.
    std::function<bool(QPagedPaintDevice&)> paint;
};

enum class PrintOutcome { Printed, Cancelled, Failed };

// The module's entry points, `extern "C"` so they are found by name; a module of another
// interface generation exports other names and is refused instead of being called wrongly.
// The preview (the pages exactly as printing puts them on paper), modal, as large as the
// parent's screen allows; printing through the print dialog.
using PrintPreviewEntry = void (*)(QWidget* parent, const PrintJob& job);
using PrintDialogEntry = PrintOutcome (*)(QWidget* parent, const PrintJob& job);
#define DELMORA_PRINT_PREVIEW_ENTRY "delmora_print_preview_v1"
#define DELMORA_PRINT_DIALOG_ENTRY "delmora_print_dialog_v1"
