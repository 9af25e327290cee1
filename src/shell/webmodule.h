#pragma once
// Finding and loading the web engine's module (see webview.h). It is looked for, in this order:
//   DELMORA_WEB_MODULE    a path to the module file; when set, nothing else is tried
//   <executable's folder>/../<DELMORA_WEB_MODULE_DIR>/libdelmora-web.so    an installed copy
//   the module as this build tree built it                                  a build tree
// A module that loaded stays loaded for the life of the process (the engine cannot be unloaded);
// one that failed is tried again on the next request, so a repaired installation needs no restart.
#include <QString>
#include <QStringList>

class QWidget;
class WebView;

// The places a module is looked for, in order (the environment override alone when it is set).
QStringList WebModuleCandidates();
// Loads the module when it is not loaded yet. False, with the reason in `why` (the loader's own
// words, for the agent to pass on to support), when no candidate could be loaded.
bool LoadWebModule(QString* why = nullptr);
// Whether the module is loaded in this process.
bool WebModuleLoaded();
// A view as a child of `parent`, loading the module first; nullptr when it cannot be loaded.
WebView* CreateWebView(QWidget* parent, QString* why = nullptr);
