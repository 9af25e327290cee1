#include "printmodule.h"
#include "modules.h"

namespace {
QFunctionPointer g_preview = nullptr, g_print = nullptr;

bool Load(QString* why) {
    if (g_preview && g_print) return true;
    QFunctionPointer first = LoadModuleEntry(PrintModuleCandidates(), DELMORA_PRINT_PREVIEW_ENTRY, why);
    if (!first) return false;
    QFunctionPointer second = ModuleEntry(first, DELMORA_PRINT_DIALOG_ENTRY);
    if (!second) {
        if (why) *why = QStringLiteral("no %1").arg(QLatin1String(DELMORA_PRINT_DIALOG_ENTRY));
        return false;
    }
    g_preview = first, g_print = second;
    return true;
}
} // namespace

QStringList PrintModuleCandidates() {
    // Plain text, not QStringLiteral: the package's check finds this path in the executable.
    return ModuleCandidates("DELMORA_PRINT_MODULE", "/../" DELMORA_WEB_MODULE_DIR "/" DELMORA_PRINT_MODULE_FILE,
                            DELMORA_PRINT_MODULE_BUILT);
}

bool ShowPrintPreview(QWidget* parent, const PrintJob& job, QString* why) {
    if (!Load(why)) return false;
    reinterpret_cast<PrintPreviewEntry>(g_preview)(parent, job);
    return true;
}

PrintOutcome PrintThroughDialog(QWidget* parent, const PrintJob& job, QString* why) {
    if (!Load(why)) return PrintOutcome::Failed;
    if (why) why->clear();
    return reinterpret_cast<PrintDialogEntry>(g_print)(parent, job);
}
