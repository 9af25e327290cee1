#include "testmain.h"
#include "ini.h"
#include "storeconnection.h"

void PrepareTestProcess(QTemporaryDir& home) {
    QVERIFY2(home.isValid(), "no temporary folder");
    qputenv("DELMORA_HOME", home.path().toUtf8());
    SetSettingsPath(ProgramFolder() + QStringLiteral("/Setting.ini"));
    // A test never ends the process from inside the code under test.
    SetProgramEnd([] { throw ProgramEnded(); });
}
