#pragma once
// Finding and loading the program's modules (the web engine's, printing): the parts a desk
// needs only with some screens, kept out of the program so it never maps them at start. A
// module is looked for, in this order:
//   the environment override (a path to the module file); when set, nothing else is tried
//   <executable's folder>/../<DELMORA_WEB_MODULE_DIR>/<file>    an installed copy (the modules'
//                                                                 folder)
//   the module as this build tree built it                       a build tree
// A module that loaded stays loaded for the life of the process; one that failed is tried again
// on the next request, so a repaired installation needs no restart.
#include <QFunctionPointer>
#include <QString>
#include <QStringList>
#include <functional>

// The places a module is looked for, in order (the override alone when it is set). `installed`
// is the installed copy's path from the executable's folder ("/../lib/.../libdelmora-web.so"),
// as plain text so the package's check finds it in the executable.
QStringList ModuleCandidates(const char* overrideVariable, const char* installed, const char* builtPath);
// The entry `entry` of the first candidate that loads and has it; nullptr, with the reason in
// `why` (the loader's own words, for the agent to pass on to support), when none did.
// `beforeLoad` runs before a candidate is loaded.
QFunctionPointer LoadModuleEntry(const QStringList& candidates, const char* entry, QString* why,
                                 const std::function<void()>& beforeLoad = {});
// Another entry of a module LoadModuleEntry loaded (found by the first entry's address).
QFunctionPointer ModuleEntry(QFunctionPointer loadedEntry, const char* entry);
