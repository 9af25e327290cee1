#pragma once
// Main of every test executable: offscreen, a fresh temporary program folder (DELMORA_HOME),
// Setting.ini there, the clock and prompts untouched until a test scripts them.
#include <QApplication>
#include <QTemporaryDir>
#include <QtTest>

// What EndProgram throws inside tests.
struct ProgramEnded {};

void PrepareTestProcess(QTemporaryDir& home);  // sets DELMORA_HOME, SettingsPath, fonts, program end

#define DELMORA_TEST_MAIN(TestObject)                                                                        \
    int main(int argc, char** argv) {                                                                        \
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");        \
        QTemporaryDir home;                                                                                  \
        QApplication app(argc, argv);                                                                        \
        PrepareTestProcess(home);                                                                            \
        TestObject tc;                                                                                       \
        QTEST_SET_MAIN_SOURCE_PATH                                                                           \
        return QTest::qExec(&tc, argc, argv);                                                                \
    }
