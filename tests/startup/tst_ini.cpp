#include "ini.h"
#include "inifile.h"
#include "testmain.h"
#include "ini.h"
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSettings>
#include <QStringEncoder>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

class IniTest : public QObject {
    Q_OBJECT

    static void put(const QByteArray& bytes) {
        QFile f(SettingsPath());
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    static QByteArray contents() {
        QFile f(SettingsPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    static ino_t inode() {
        struct stat st {};
        return ::stat(QFile::encodeName(SettingsPath()).constData(), &st) == 0 ? st.st_ino : 0;
    }
    static QByteArray cp949(const QString& text) {
        QStringEncoder e("CP949");
        return e.encode(text);
    }

private Q_SLOTS:
    void init() {
        QFile::remove(SettingsPath());
        QFile::remove(SettingsPath() + QStringLiteral(".bak"));
    }

    void read_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");
        const QByteArray basic = "[로그인]\r\n아이디=kim\r\n정보저장=예\r\n[옵션]\r\n표높이설정=12\r\n";
        QTest::newRow("plain") << basic << "옵션" << "표높이설정" << "12";
        QTest::newRow("absent key") << basic << "옵션" << "갱신주기" << "";
        QTest::newRow("absent section") << basic << "데이타" << "DB명" << "";
        QTest::newRow("key of another section") << basic << "옵션" << "아이디" << "";
        QTest::newRow("section and key in other case")
            << QByteArray("[Data]\nDbName=x\n") << "DATA" << "dbname" << "x";
        QTest::newRow("blanks around =") << QByteArray("[a]\n  key \t=  v w  \n") << "a" << "key" << "v w";
        QTest::newRow("blanks inside brackets") << QByteArray("[ 옵션 ]\n갱신주기=20\n") << "옵션" << "갱신주기" << "20";
        QTest::newRow("quotes dropped") << QByteArray("[a]\nk=\"quoted\"\n") << "a" << "k" << "quoted";
        QTest::newRow("first of two") << QByteArray("[a]\nk=1\nK=2\n[A]\nk=3\n") << "a" << "k" << "1";
        QTest::newRow("key before any section") << QByteArray("k=0\n[a]\nx=1\n") << "a" << "k" << "";
        QTest::newRow("comment is not a key") << QByteArray("[a]\n;k=1\n") << "a" << "k" << "";
        QTest::newRow("value stops at NUL") << QByteArray("[a]\nk=ab\0cd\n", 12) << "a" << "k" << "ab";
        QTest::newRow("no final line break") << QByteArray("[a]\nk=last") << "a" << "k" << "last";
        QTest::newRow("LF only") << QByteArray("[a]\nk=1\n") << "a" << "k" << "1";
        QTest::newRow("UTF-8 BOM") << QByteArray("\xEF\xBB\xBF[로그인]\n아이디=lee\n") << "로그인" << "아이디" << "lee";
        QTest::newRow("CP949 from the Windows client")
            << cp949(QStringLiteral("[데이타]\r\nDB명=화물\r\n")) << "데이타" << "DB명" << "화물";
        QTest::newRow("garbage bytes") << QByteArray("\xff\xfe\x00\x81[\x80\x80]=\xfe\n\x00\x00", 13) << "a" << "b" << "";
        QTest::newRow("ASCII cut at 1023") << "[a]\nk=" + QByteArray(5000, 'x') + "\n" << "a" << "k" << QString(1023, 'x');
        // 341 three-byte characters fill 1023 bytes exactly.
        QTest::newRow("UTF-8 cut between characters")
            << "[a]\nk=" + QString(5000, QChar(0xAC00)).toUtf8() + "\n" << "a" << "k" << QString(341, QChar(0xAC00));
        // Two bytes each in CP949: 511 characters, the 512th would need byte 1024.
        QTest::newRow("CP949 cut between characters")
            << cp949(QStringLiteral("[a]\nk=") + QString(5000, QChar(0xAC00)) + QStringLiteral("\n")) << "a" << "k"
            << QString(511, QChar(0xAC00));
    }
    void read() {
        QFETCH(QByteArray, file);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        put(file);
        QCOMPARE(ReadIni(section, key), expected);
    }

    void readMissingFile() {
        QCOMPARE(ReadIni(QStringLiteral("로그인"), QStringLiteral("아이디")), QString());
        QVERIFY(!QFile::exists(SettingsPath()));
    }

    void write_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("new file") << QByteArray() << "로그인" << "아이디" << "kim"
                                  << QByteArray("[로그인]\r\n아이디=kim\r\n");
        QTest::newRow("replace keeps comments and order")
            << QByteArray("; 설정\r\n[옵션]\r\n; 행 높이\r\n표높이설정=12\r\n갱신주기=10\r\n")
            << "옵션" << "표높이설정" << "16"
            << QByteArray("; 설정\r\n[옵션]\r\n; 행 높이\r\n표높이설정=16\r\n갱신주기=10\r\n");
        QTest::newRow("new key ends its section before the blank line")
            << QByteArray("[로그인]\r\n아이디=\r\n\r\n[옵션]\r\n표높이설정=12\r\n")
            << "로그인" << "정보저장" << "아니오"
            << QByteArray("[로그인]\r\n아이디=\r\n정보저장=아니오\r\n\r\n[옵션]\r\n표높이설정=12\r\n");
        QTest::newRow("new section at the end")
            << QByteArray("[로그인]\r\n아이디=\r\n") << "옵션" << "갱신주기" << "20"
            << QByteArray("[로그인]\r\n아이디=\r\n[옵션]\r\n갱신주기=20\r\n");
        QTest::newRow("other case keeps the file's spelling")
            << QByteArray("[Data]\nDbName=a\n") << "DATA" << "DBNAME" << "b" << QByteArray("[Data]\nDbName=b\n");
        QTest::newRow("keys before any section stay, a section is made")
            << QByteArray("k=0\n") << "a" << "k" << "1" << QByteArray("k=0\n[a]\nk=1\n");
        QTest::newRow("line break in a value cannot plant a key")
            << QByteArray() << "데이타" << "DB명" << "x\r\nDB아이디=evil"
            << QByteArray("[데이타]\r\nDB명=x DB아이디=evil\r\n");
        QTest::newRow("quote and blanks kept as typed")
            << QByteArray() << "a" << "k" << "O'Neil" << QByteArray("[a]\r\nk=O'Neil\r\n");
        QTest::newRow("BOM kept") << QByteArray("\xEF\xBB\xBF[a]\nk=1\n") << "a" << "k" << "2"
                                  << QByteArray("\xEF\xBB\xBF[a]\nk=2\n");
        QTest::newRow("CP949 file becomes UTF-8 with its lines")
            << cp949(QStringLiteral("; 메모\r\n[데이타]\r\nDB명=화물\r\n")) << "로그인" << "아이디" << "박"
            << QStringLiteral("; 메모\r\n[데이타]\r\nDB명=화물\r\n[로그인]\r\n아이디=박\r\n").toUtf8();
    }
    void write() {
        QFETCH(QByteArray, before);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QByteArray, after);
        if (!before.isNull()) put(before);
        WriteIni(section, key, value);
        QCOMPARE(contents(), after);
    }

    void writeThenReadLongPaste() {
        const QString pasted = QString(10000, QChar(0xB098)) + QStringLiteral("'\"=[]");
        WriteIni(QStringLiteral("컬럼폭"), QStringLiteral("오더등록"), pasted);
        WriteIni(QStringLiteral("컬럼폭"), QStringLiteral("오더조회"), QStringLiteral("1,2"));
        QCOMPARE(ReadIni(QStringLiteral("컬럼폭"), QStringLiteral("오더등록")), pasted.left(341));
        QCOMPARE(ReadIni(QStringLiteral("컬럼폭"), QStringLiteral("오더조회")), QStringLiteral("1,2"));
    }

    void badNamesAreNotWritten_data() {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::newRow("= in key") << "a" << "k=v";
        QTest::newRow("empty key") << "a" << " ";
        QTest::newRow("line break in key") << "a" << "k\nx";
        QTest::newRow("] in section") << "a]b" << "k";
    }
    void badNamesAreNotWritten() {
        QFETCH(QString, section);
        QFETCH(QString, key);
        put("[a]\nk=1\n");
        WriteIni(section, key, QStringLiteral("v"));
        QCOMPARE(contents(), QByteArray("[a]\nk=1\n"));
    }

    void garbageFileKeepsItsBytesBeside() {
        const QByteArray garbage("\x80\xff\x81\x00[a]\n\xfe\xfe\xfe", 11);
        put(garbage);
        WriteIni(QStringLiteral("a"), QStringLiteral("k"), QStringLiteral("v"));
        QCOMPARE(ReadIni(QStringLiteral("a"), QStringLiteral("k")), QStringLiteral("v"));
        QFile backup(SettingsPath() + QStringLiteral(".bak"));
        QVERIFY(backup.open(QIODevice::ReadOnly));
        QCOMPARE(backup.readAll(), garbage);
    }

    // The file may hold the store's login: its owner's alone, however it came to be.
    void fileIsPrivate_data() {
        QTest::addColumn<bool>("existing");
        QTest::addColumn<bool>("restart");
        QTest::newRow("new file") << false << false;
        QTest::newRow("readable by others, rewritten") << true << false;
        QTest::newRow("readable by others, program started") << true << true;
    }
    void fileIsPrivate() {
        QFETCH(bool, existing);
        QFETCH(bool, restart);
        if (existing) {
            put("[a]\nk=1\n");
            QFile::setPermissions(SettingsPath(), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                                      QFile::ReadOther);
        }
        if (restart)
            SetSettingsPath(SettingsPath());
        else
            QVERIFY(WriteIni(QStringLiteral("a"), QStringLiteral("k"), QStringLiteral("2")));
        struct stat st {};
        QCOMPARE(::stat(QFile::encodeName(SettingsPath()).constData(), &st), 0);
        QCOMPARE(st.st_mode & 0777, mode_t(0600));
    }

    // A write cut short (a full disk; here the process's file size limit) leaves the old file
    // whole, and the writer is told.
    void failedWriteKeepsTheOldFile() {
        put("[a]\nk=1\n");
        const QByteArray before = contents();
        ::signal(SIGXFSZ, SIG_IGN);
        rlimit saved{};
        ::getrlimit(RLIMIT_FSIZE, &saved);
        rlimit small = saved;
        small.rlim_cur = 16;
        ::setrlimit(RLIMIT_FSIZE, &small);
        const bool written = WriteIni(QStringLiteral("a"), QStringLiteral("long"), QString(200, QLatin1Char('x')));
        ::setrlimit(RLIMIT_FSIZE, &saved);
        QVERIFY(!written);
        QCOMPARE(contents(), before);
        QCOMPARE(ReadIni(QStringLiteral("a"), QStringLiteral("long")), QString());
        QVERIFY(QDir(QFileInfo(SettingsPath()).path()).entryList({QStringLiteral("Setting.ini.*")}, QDir::Files).isEmpty());
    }

    void readOnlyFileIsLeftAlone() {
        put("[a]\nk=1\n");
        QFile::setPermissions(SettingsPath(), QFile::ReadOwner | QFile::ReadUser);
        if (QFileInfo(SettingsPath()).isWritable()) QSKIP("running with rights that ignore file modes");
        WriteIni(QStringLiteral("a"), QStringLiteral("k"), QStringLiteral("2"));
        QCOMPARE(ReadIni(QStringLiteral("a"), QStringLiteral("k")), QStringLiteral("1"));
        QFile::setPermissions(SettingsPath(), QFile::ReadOwner | QFile::WriteOwner);
    }

    void readOnlyFolderFailsSilently() {
        QTemporaryDir dir;
        const QString saved = SettingsPath();
        SetSettingsPath(dir.path() + QStringLiteral("/Setting.ini"));
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
        const bool root = geteuid() == 0;
        WriteIni(QStringLiteral("로그인"), QStringLiteral("아이디"), QStringLiteral("kim"));
        if (!root) {
            QVERIFY(!QFile::exists(SettingsPath()));
            QCOMPARE(ReadIni(QStringLiteral("로그인"), QStringLiteral("아이디")), QString());
        }
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        SetSettingsPath(saved);
        if (root) QSKIP("running as root: folder modes are not enforced");
    }

    void missingFolderFailsSilently() {
        const QString saved = SettingsPath();
        SetSettingsPath(ProgramFolder() + QStringLiteral("/no/such/folder/Setting.ini"));
        WriteIni(QStringLiteral("a"), QStringLiteral("k"), QStringLiteral("v"));
        QCOMPARE(ReadIni(QStringLiteral("a"), QStringLiteral("k")), QString());
        SetSettingsPath(saved);
    }

    // Setting.ini is read only when it is a regular file of at most 1 MiB; anything else reads
    // as absent (the readers' defaults) and is never rewritten.
    void unusableFiles_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("expected"); // what [a] k reads
        QTest::newRow("link to /dev/zero") << "zero"
                                           << "";
        QTest::newRow("named pipe nobody writes to") << "fifo"
                                                     << "";
        QTest::newRow("a folder") << "folder"
                                  << "";
        QTest::newRow("one byte over 1 MiB") << "large"
                                             << "";
        QTest::newRow("exactly 1 MiB") << "limit"
                                       << "1";
        QTest::newRow("link to a settings file") << "link"
                                                 << "1";
    }
    void unusableFiles() {
        QFETCH(QString, kind);
        QFETCH(QString, expected);
        const QString path = SettingsPath();
        const QString target = path + QStringLiteral(".target");
        QFile::remove(target);
        QByteArray bytes;
        if (kind == QLatin1String("zero")) QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path));
        if (kind == QLatin1String("fifo")) QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        if (kind == QLatin1String("folder")) QVERIFY(QDir().mkpath(path));
        if (kind == QLatin1String("large") || kind == QLatin1String("limit")) {
            const QByteArray head = "[a]\nk=1\n;";
            bytes = head + QByteArray(IniFile::LargestFile - head.size() - 1, 'x') + "\n";
            if (kind == QLatin1String("large")) bytes += "x";
            put(bytes);
        }
        if (kind == QLatin1String("link")) {
            QFile f(target);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("[a]\nk=1\n");
            f.close();
            QVERIFY(QFile::link(target, path));
        }
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(ReadIni(QStringLiteral("a"), QStringLiteral("k")), expected);
        WriteIni(QStringLiteral("a"), QStringLiteral("other"), QStringLiteral("2"));
        QVERIFY(timer.elapsed() < 5000); // nothing waited for a writer or an end of data
        const QFileInfo after(path);
        if (kind == QLatin1String("zero")) QCOMPARE(after.symLinkTarget(), QStringLiteral("/dev/zero"));
        if (kind == QLatin1String("fifo")) QVERIFY(!after.isFile() && after.exists());
        if (kind == QLatin1String("folder")) QVERIFY(after.isDir());
        if (kind == QLatin1String("large")) QCOMPARE(contents(), bytes);
        if (kind == QLatin1String("limit")) {
            QVERIFY(contents().startsWith("[a]\nk=1\n;"));
            QVERIFY(contents().endsWith("\nother=2\n"));
        }
        if (kind == QLatin1String("link"))
            QCOMPARE(ReadIni(QStringLiteral("a"), QStringLiteral("other")), QStringLiteral("2"));
        QDir().rmdir(path);
        QFile::remove(path);
        QFile::remove(target);
    }

    // Every key is read from one parse of the file while the file stays as it was; a change,
    // even to the same size, is read at once.
    void parsedOnceWhileUnchanged() {
        put("[a]\nk=1\nj=2\n");
        QTest::qWait(400); // past the moment in which a rewrite could keep the file's times
        QCOMPARE(ReadIni(QStringLiteral("a"), QStringLiteral("k")), QStringLiteral("1"));
        const qint64 loads = IniFile::loads();
        for (int i = 0; i < 20; ++i) {
            QCOMPARE(ReadIni(QStringLiteral("a"), QStringLiteral("k")), QStringLiteral("1"));
            QCOMPARE(ReadIni(QStringLiteral("a"), QStringLiteral("j")), QStringLiteral("2"));
        }
        QCOMPARE(IniFile::loads(), loads);
        put("[a]\nk=3\nj=4\n");
        QCOMPARE(ReadIni(QStringLiteral("a"), QStringLiteral("k")), QStringLiteral("3"));
        // Written twice within the same moment: the second is seen as well.
        put("[a]\nk=5\nj=4\n");
        QCOMPARE(ReadIni(QStringLiteral("a"), QStringLiteral("k")), QStringLiteral("5"));
        // Our own write is seen.
        WriteIni(QStringLiteral("a"), QStringLiteral("k"), QStringLiteral("6"));
        QCOMPARE(ReadIni(QStringLiteral("a"), QStringLiteral("k")), QStringLiteral("6"));
    }

    // A burst of writes is read back at once and written to the file once, when it is over.
    void burstIsWrittenOnce_data() {
        QTest::addColumn<int>("entries");
        QTest::addColumn<bool>("endedByWriteIni");
        QTest::newRow("a resize's fourteen entries") << 14 << false;
        QTest::newRow("a drag of a hundred moves") << 100 << false;
        QTest::newRow("ended by a plain write") << 14 << true;
    }
    void burstIsWrittenOnce() {
        QFETCH(int, entries);
        QFETCH(bool, endedByWriteIni);
        put("[컬럼폭]\r\n오더등록=1,2\r\n");
        const ino_t before = inode();
        for (int i = 0; i < entries; ++i) {
            WriteIniLater(QStringLiteral("컬럼폭"), QStringLiteral("k%1").arg(i % 7), QString::number(i));
            QCOMPARE(ReadIni(QStringLiteral("컬럼폭"), QStringLiteral("k%1").arg(i % 7)), QString::number(i));
        }
        WriteIniLater(QStringLiteral("컬럼폭"), QStringLiteral("오더등록"), QString());
        QCOMPARE(ReadIni(QStringLiteral("컬럼폭"), QStringLiteral("오더등록")), QString());
        QCOMPARE(inode(), before);
        QCOMPARE(contents(), QByteArray("[컬럼폭]\r\n오더등록=1,2\r\n"));
        if (endedByWriteIni) {
            WriteIni(QStringLiteral("옵션"), QStringLiteral("표높이설정"), QStringLiteral("20"));
            QVERIFY(inode() != before);
        }
        QTRY_VERIFY(inode() != before);
        const ino_t written = inode();
        QTest::qWait(1000);
        QCOMPARE(inode(), written); // one rewrite for the whole burst
        const QString text = QString::fromUtf8(contents());
        QVERIFY2(text.contains(QStringLiteral("오더등록=\r\n")), qPrintable(text));
        for (int k = 0; k < 7; ++k) {
            int last = -1;
            for (int i = 0; i < entries; ++i)
                if (i % 7 == k) last = i;
            QVERIFY2(text.contains(QStringLiteral("k%1=%2\r\n").arg(k).arg(last)), qPrintable(text));
        }
        if (endedByWriteIni) QVERIFY(text.contains(QStringLiteral("표높이설정=20")));
    }

    void number_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("expected");
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("plain") << "12" << 12.0;
        QTest::newRow("trailing garbage") << "12abc" << 12.0;
        QTest::newRow("leading blank") << " 7" << 7.0;
        QTest::newRow("negative") << "-3" << -3.0;
        QTest::newRow("exponent") << "1e3" << 1000.0;
        QTest::newRow("Basic's D exponent") << "2D2" << 200.0;
        QTest::newRow("fraction") << "12.5" << 12.5;
        QTest::newRow("second point stops") << "1.2.3" << 1.2;
        QTest::newRow("blanks inside") << "1 2" << 12.0;
        QTest::newRow("garbage") << "abc" << 0.0;
        QTest::newRow("sign only") << "-" << 0.0;
        QTest::newRow("exponent without digits") << "5e" << 5.0;
        QTest::newRow("overflow") << "1e999" << 0.0;
    }
    void number() {
        QFETCH(QString, text);
        QFETCH(double, expected);
        QCOMPARE(IniNumber(text), expected);
    }

    void programFolderFollowsHome() {
        const QByteArray saved = qgetenv("DELMORA_HOME");
        qputenv("DELMORA_HOME", "/tmp/somewhere/");
        QCOMPARE(ProgramFolder(), QStringLiteral("/tmp/somewhere"));
        qunsetenv("DELMORA_HOME");
        QCOMPARE(ProgramFolder(), QCoreApplication::applicationDirPath());
        qputenv("DELMORA_HOME", saved);
    }

    void userSettingUnderProgramName() {
        QVERIFY(qEnvironmentVariable("XDG_CONFIG_HOME").startsWith(ProgramFolder()));
        QCOMPARE(UserSetting(QStringLiteral("MDIBGMode"), QStringLiteral("True")), QStringLiteral("True"));
        {
            QSettings s(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("delmora"),
                        QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName());
            s.setValue(QStringLiteral("Settings/MDIBGMode"), QStringLiteral("False"));
            s.setValue(QStringLiteral("Settings/FormPic"), QStringLiteral("/pics/바탕.bmp"));
        }
        QCOMPARE(UserSetting(QStringLiteral("MDIBGMode"), QStringLiteral("True")), QStringLiteral("False"));
        QCOMPARE(UserSetting(QStringLiteral("FormPic"), QString()), QStringLiteral("/pics/바탕.bmp"));
        QVERIFY(QFile::exists(qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/delmora")));
    }
};

DELMORA_TEST_MAIN(IniTest)
#include "tst_ini.moc"
