#pragma once
// The demo of a new user: `delmora-callcenter --demo` creates the demo store in the program
// folder when there is none and no database server is configured, then starts on it. Without
// the flag the client never creates a store.
#include <QString>

enum class DemoStoreResult {
    NotAsked,         // no --demo
    ServerConfigured, // a database server is configured: nothing to create
    Present,          // the store file is there already
    Created,
    Failed, // the message says why
};

void SetDemoStoreRequested(bool requested);
bool DemoStoreRequested();

// Called by start-up before the store connection. Creates the embedded store for the catalog
// of Setting.ini with demo data when asked and missing; `message` receives the failure text.
DemoStoreResult PrepareDemoStore(QString* message = nullptr);
