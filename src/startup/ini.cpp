#include "ini.h"
#include "inifile.h"
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QSaveFile>
#include <QSettings>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

namespace {
QString& settingsPathStore() {
    static QString path;
    return path;
}

// The read buffer of the profile functions holds 1023 bytes and a NUL; a longer value is cut
// there, never in the middle of a character.
QString cutToReadBuffer(const QString& value, bool cp949) {
    constexpr qsizetype limit = 1023;
    qsizetype bytes = 0;
    for (qsizetype i = 0; i < value.size();) {
        const char32_t code = value.at(i).isHighSurrogate() && i + 1 < value.size()
                                  ? QChar::surrogateToUcs4(value.at(i), value.at(i + 1))
                                  : value.at(i).unicode();
        const qsizetype units = code > 0xFFFF ? 2 : 1;
        qsizetype size;
        if (cp949)
            size = code < 0x80 ? 1 : 2;
        else
            size = code < 0x80 ? 1 : code < 0x800 ? 2 : code < 0x10000 ? 3 : 4;
        if (bytes + size > limit) return value.left(i);
        bytes += size;
        i += units;
    }
    return value;
}

// Windows drops one pair of matching quotes around a value.
QString unquote(const QString& value) {
    if (value.size() >= 2) {
        const QChar first = value.front();
        if ((first == QLatin1Char('"') || first == QLatin1Char('\'')) && value.back() == first)
            return value.mid(1, value.size() - 2);
    }
    return value;
}

bool hasLineBreak(const QString& text) {
    return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
}
} // namespace

QString DecideProgramFolder(const QString& home, const QString& executableFolder, const QString& xdgDataHome,
                            const QString& userHome) {
    auto trimmed = [](QString folder) {
        while (folder.size() > 1 && (folder.endsWith(QLatin1Char('/')) || folder.endsWith(QLatin1Char('\\'))))
            folder.chop(1);
        return folder;
    };
    if (!home.isEmpty()) return trimmed(home);
    // A build tree or a copied folder keeps everything beside the program. An installed copy
    // lives under /usr, which is no place for a user's settings and store even when it is
    // writable (as it is for root).
    const QString exe = trimmed(executableFolder);
    if (!exe.isEmpty() && QFileInfo(exe).isDir() && !IsInstalledCopy(exe)) return exe;
    const QString data = !xdgDataHome.isEmpty() && QDir::isAbsolutePath(xdgDataHome)
                             ? xdgDataHome
                             : (userHome.isEmpty() ? QDir::homePath() : userHome) + QStringLiteral("/.local/share");
    return trimmed(data) + QStringLiteral("/delmora");
}

QString ProgramFolder() {
    const QString folder =
        DecideProgramFolder(qEnvironmentVariable("DELMORA_HOME"), QCoreApplication::applicationDirPath(),
                            qEnvironmentVariable("XDG_DATA_HOME"), qEnvironmentVariable("HOME"));
    // The per-user folder of an installed copy is made on first use.
    static QString made;
    if (made != folder && !QFileInfo::exists(folder)) QDir().mkpath(folder);
    made = folder;
    return folder.isEmpty() ? QDir::currentPath() : folder;
}

bool IsInstalledCopy(const QString& executableFolder) {
    QString exe = executableFolder;
    while (exe.size() > 1 && exe.endsWith(QLatin1Char('/')))
        exe.chop(1);
    if (exe == QLatin1String("/usr") || exe.startsWith(QLatin1String("/usr/"))) return true;
    return !QFileInfo(exe).isWritable();
}

bool IsInstalledCopy() { return IsInstalledCopy(QCoreApplication::applicationDirPath()); }

QString SettingsPath() {
    const QString& path = settingsPathStore();
    return path.isEmpty() ? ProgramFolder() + QStringLiteral("/Setting.ini") : path;
}

void SetSettingsPath(const QString& path) {
    settingsPathStore() = path;
    if (QFileInfo(path).isFile()) QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

namespace {

// What tells one state of the settings file from another without reading it.
struct FileStamp {
    bool exists = false;
    qint64 size = -1;
    qint64 modified = 0; // ms since the epoch
    qint64 changed = 0;  // status change: moves on with every write, and cannot be set back
    bool operator==(const FileStamp&) const = default;
};

FileStamp stampOf(const QString& path) {
    const QFileInfo info(path); // a fresh one: nothing remembered from an earlier look
    if (!info.exists()) return {};
    return {true, info.size(), info.lastModified().toMSecsSinceEpoch(),
            info.metadataChangeTime().toMSecsSinceEpoch()};
}

// File times advance in clock ticks, so a file written again within a tick of the last write
// keeps its stamp; only a file that has been still for longer than that is trusted by stamp.
constexpr qint64 kSettledMs = 200;

// Every screen reads its keys one by one; the file is parsed once while it stays as it was.
struct ParsedFile {
    bool valid = false;
    QString path;
    FileStamp stamp;
    IniFile file;
};
ParsedFile& parsed() {
    static ParsedFile cache;
    return cache;
}

IniFile loadSettings(const QString& path) {
    ParsedFile& cache = parsed();
    const FileStamp before = stampOf(path);
    if (cache.valid && cache.path == path && cache.stamp == before) return cache.file;
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    IniFile file = IniFile::load(path);
    const FileStamp after = stampOf(path);
    cache.valid =
        before == after && (!after.exists || now - std::max(after.modified, after.changed) > kSettledMs);
    cache.path = path;
    cache.stamp = after;
    cache.file = file;
    return file;
}

// One entry waiting to be written.
struct Entry {
    QString section, key, value;
};
QList<Entry>& waiting() {
    static QList<Entry> entries;
    return entries;
}

// A burst is over when nothing more has come for this long.
constexpr int kQuietMs = 400;

// The entry as it can be written, or false when it cannot be written as one line under its
// section (the reader then sees its default, as after any failed write).
bool writable(const QString& section, const QString& key, const QString& value, Entry* entry) {
    // A key that would read back as another key is not written at all either.
    if (hasLineBreak(section) || hasLineBreak(key) || key.contains(QLatin1Char('=')) ||
        key.trimmed().isEmpty() || section.contains(QLatin1Char(']')))
        return false;
    // A pasted line break would start a line of its own and could plant another key.
    QString single = value;
    single.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    single.replace(QLatin1Char('\r'), QLatin1Char(' '));
    single.replace(QLatin1Char('\n'), QLatin1Char(' '));
    *entry = {section, key, single};
    return true;
}

void queue(const Entry& entry) {
    QList<Entry>& list = waiting();
    list.removeIf([&](const Entry& e) {
        return IniNameEquals(e.section, entry.section) && IniNameEquals(e.key, entry.key);
    });
    list.append(entry);
}

void apply(IniFile& file, const Entry& e) {
    const QString line = e.key + QLatin1Char('=') + e.value;
    const qsizetype header = file.findSection(e.section);
    if (header < 0) {
        file.lines.append(QLatin1Char('[') + e.section + QLatin1Char(']'));
        file.lines.append(line);
        return;
    }
    const qsizetype at = file.findKey(header, e.key);
    if (at >= 0) {
        // Keep the key as the file spells it; only the value changes.
        const QString& old = file.lines[at];
        file.lines[at] = old.left(old.indexOf(QLatin1Char('='))).trimmed() + QLatin1Char('=') + e.value;
    } else {
        file.lines.insert(file.sectionInsertPoint(header), line);
    }
}

// All waiting entries in one rewrite of the file.
bool writeWaiting() {
    const QList<Entry> entries = std::exchange(waiting(), {});
    if (entries.isEmpty()) return true;
    const QString path = SettingsPath();
    IniFile file = loadSettings(path);
    if (file.exists && (!file.readable || !QFileInfo(path).isWritable())) return false;
    for (const Entry& e : entries)
        apply(file, e);

    // Bytes that fitted neither encoding are not ours to drop: keep the file as it was beside it.
    if (file.lossy) {
        const QString backup = path + QStringLiteral(".bak");
        if (!QFile::exists(backup)) {
            QFile b(backup);
            if (b.open(QIODevice::WriteOnly)) b.write(file.raw);
        }
    }
    parsed().valid = false;
    // Written beside the file and put in its place only when every byte was written: a full
    // disk or a cut write leaves the old file whole.
    // Unbuffered, so a short write (the disk filled up) is seen here: a buffered one comes out only
    // at commit, which would put the cut file in place.
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return false;
    // It can hold the store's login: nobody but its owner reads it.
    if (!out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)) return false;
    const QByteArray bytes = file.encode();
    if (out.write(bytes) != bytes.size() || out.error() != QFileDevice::NoError) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}

// The timer that ends a burst; none without an event loop to run it.
QTimer* quietTimer() {
    static QPointer<QTimer> timer;
    if (!timer && QCoreApplication::instance()) {
        timer = new QTimer(QCoreApplication::instance());
        timer->setSingleShot(true);
        timer->setInterval(kQuietMs);
        QObject::connect(timer, &QTimer::timeout, timer, [] { FlushIni(); });
        QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, timer,
                         [] { FlushIni(); });
        // The program may also end at once (std::exit) with entries still waiting.
        static const bool atExit = [] { return std::atexit([] { FlushIni(); }) == 0; }();
        Q_UNUSED(atExit);
    }
    return timer;
}

} // namespace

QString ReadIni(const QString& section, const QString& key) {
    const IniFile file = loadSettings(SettingsPath());
    // A file that is no settings file reads as absent, whatever was meant for it.
    if (file.exists && !file.readable) return {};
    // An entry waiting to be written reads as it will once written: UTF-8, unquoted.
    QString value;
    bool waits = false;
    for (const Entry& e : waiting()) {
        if (IniNameEquals(e.section, section) && IniNameEquals(e.key, key)) {
            value = e.value;
            waits = true;
        }
    }
    if (!waits) {
        const qsizetype header = file.findSection(section);
        if (header < 0) return {};
        const qsizetype line = file.findKey(header, key);
        if (line < 0) return {};
        QString k;
        IniKeyValue(file.lines[line], &k, &value);
    }
    value = cutToReadBuffer(unquote(value), file.cp949 && !waits);
    const qsizetype nul = value.indexOf(QChar(0));
    if (nul >= 0) value.truncate(nul);
    return value;
}

bool WriteIni(const QString& section, const QString& key, const QString& value) {
    Entry entry;
    if (!writable(section, key, value, &entry)) return false;
    queue(entry);
    return FlushIni();
}

void WriteIniLater(const QString& section, const QString& key, const QString& value) {
    Entry entry;
    if (!writable(section, key, value, &entry)) return;
    queue(entry);
    if (QTimer* timer = quietTimer())
        timer->start(); // again from the start: the burst goes on
    else
        FlushIni();
}

bool FlushIni() {
    if (QTimer* timer = quietTimer()) timer->stop();
    return writeWaiting();
}

double IniNumber(const QString& value) {
    // As the Basic runtime's Val: blanks anywhere are skipped, the longest leading number is
    // taken (sign, digits, point, exponent with E or D), anything else reads as 0.
    QByteArray digits;
    qsizetype i = 0;
    const qsizetype n = value.size();
    auto skip = [&] {
        while (i < n && (value[i] == QLatin1Char(' ') || value[i] == QLatin1Char('\t') || value[i] == QLatin1Char('\n') ||
                         value[i] == QLatin1Char('\r')))
            ++i;
    };
    auto isDigit = [&](qsizetype k) { return k < n && value[k] >= QLatin1Char('0') && value[k] <= QLatin1Char('9'); };
    skip();
    if (i < n && (value[i] == QLatin1Char('-') || value[i] == QLatin1Char('+'))) {
        digits += char(value[i].unicode());
        ++i;
        skip();
    }
    bool any = false;
    bool point = false;
    for (; i < n; ++i, skip()) {
        if (isDigit(i)) {
            digits += char(value[i].unicode());
            any = true;
        } else if (value[i] == QLatin1Char('.') && !point) {
            digits += '.';
            point = true;
        } else {
            break;
        }
    }
    if (!any) return 0;
    if (i < n && QStringLiteral("eEdD").contains(value[i])) {
        qsizetype k = i + 1;
        QByteArray exponent = "e";
        while (k < n && value[k] == QLatin1Char(' ')) ++k;
        if (k < n && (value[k] == QLatin1Char('-') || value[k] == QLatin1Char('+'))) exponent += char(value[k++].unicode());
        bool expDigits = false;
        while (isDigit(k)) {
            exponent += char(value[k++].unicode());
            expDigits = true;
        }
        if (expDigits) digits += exponent;
    }
    bool ok = false;
    const double number = digits.toDouble(&ok);
    return ok && std::isfinite(number) ? number : 0;
}

namespace {
// The runtime's per-user store is kept under the program's name.
QString userSettingsApplication() {
    QString application = QStringLiteral("delmora");
    if (QCoreApplication::instance()) {
        const QString name = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
        if (!name.isEmpty()) application = name;
    }
    return application;
}
} // namespace

QString UserSetting(const QString& key, const QString& defaultValue) {
    QSettings store(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("delmora"),
                    userSettingsApplication());
    store.beginGroup(QStringLiteral("Settings"));
    const QVariant stored = store.value(key);
    return stored.isValid() ? stored.toString() : defaultValue;
}

void WriteUserSetting(const QString& key, const QString& value) {
    QSettings store(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("delmora"),
                    userSettingsApplication());
    store.beginGroup(QStringLiteral("Settings"));
    store.setValue(key, value);
}
