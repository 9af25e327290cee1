#pragma once
// Printing through the print module (see printjob.h), loaded with the first print or preview.
// Looked for as modules.h says: DELMORA_PRINT_MODULE, then ../<modules' folder>/libdelmora-print.so
// beside the executable's folder, then the build tree's.
#include "printjob.h"

QStringList PrintModuleCandidates();
// The preview; false, with the loader's reason in `why`, when printing cannot be loaded.
bool ShowPrintPreview(QWidget* parent, const PrintJob& job, QString* why);
// The print dialog, then the job printed; Failed with the reason in `why` when printing cannot
// be loaded (`why` stays empty when the printer could not be drawn on).
PrintOutcome PrintThroughDialog(QWidget* parent, const PrintJob& job, QString* why);
