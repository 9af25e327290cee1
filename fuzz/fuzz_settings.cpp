// libFuzzer entry: any bytes as Setting.ini (UTF-8, CP949 from the Windows client, or neither)
// are read without a crash, and a value written into the file reads back as written.
#include "ini.h"
#include "inifile.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Setting.ini"));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
        f.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    const IniFile file = IniFile::load(path);
    const qsizetype header = file.findSection(QStringLiteral("데이타"));
    if (header >= 0) {
        file.findKey(header, QStringLiteral("DB명"));
        file.sectionInsertPoint(header);
    }
    (void)file.encode();

    SetSettingsPath(path);
    (void)ReadIni(QStringLiteral("데이타"), QStringLiteral("DB명"));
    (void)ReadIni(QStringLiteral("SETTING"), QStringLiteral("RowHeight"));
    (void)IniNumber(ReadIni(QStringLiteral("SETTING"), QStringLiteral("RefreshInterval")));
    const QString value = QStringLiteral("검사 값 '1'");
    WriteIni(QStringLiteral("퍼즈"), QStringLiteral("키"), value);
    if (ReadIni(QStringLiteral("퍼즈"), QStringLiteral("키")) != value) {
        std::fprintf(stderr, "a written value did not read back\n");
        std::abort();
    }
    return 0;
}
