#include "testmain.h"
#include "ini.h"
#include "storeconnection.h"

void PrepareTestProcess(QTemporaryDir& home) {
    QVERIFY2(home.isValid(), "no temporary folder");
    qputenv("DELMORA_HOME", home.path().toUtf8());
    // Per-user settings go under the temporary folder, never into the real home.
    qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/config")).toUtf8());
    SetSettingsPath(ProgramFolder() + QStringLiteral("/Setting.ini"));
    // A test never ends the process from inside the code under test.
    SetProgramEnd([] { throw ProgramEnded(); });
    // A list reading a column it did not ask the store for stops its test, in every build type.
    dstore::setUnrequestedColumnHandler(dstore::stopOnUnrequestedColumn);
    // A lost store is asked about at once unless a test wants the desk's quiet retries.
    SetQuietReconnectTime(0);
}
