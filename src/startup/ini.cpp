#include "ini.h"
#include "inifile.h"
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>
#include <cmath>

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

QString ProgramFolder() {
    QString folder = qEnvironmentVariable("DELMORA_HOME");
    if (folder.isEmpty()) folder = QCoreApplication::applicationDirPath();
    if (folder.isEmpty()) folder = QDir::currentPath();
    while (folder.size() > 1 && (folder.endsWith(QLatin1Char('/')) || folder.endsWith(QLatin1Char('\\'))))
        folder.chop(1);
    return folder;
}

QString SettingsPath() {
    const QString& path = settingsPathStore();
    return path.isEmpty() ? ProgramFolder() + QStringLiteral("/Setting.ini") : path;
}

void SetSettingsPath(const QString& path) { settingsPathStore() = path; }

QString ReadIni(const QString& section, const QString& key) {
    const IniFile file = IniFile::load(SettingsPath());
    const qsizetype header = file.findSection(section);
    if (header < 0) return {};
    const qsizetype line = file.findKey(header, key);
    if (line < 0) return {};
    QString k, value;
    IniKeyValue(file.lines[line], &k, &value);
    value = cutToReadBuffer(unquote(value), file.cp949);
    const qsizetype nul = value.indexOf(QChar(0));
    if (nul >= 0) value.truncate(nul);
    return value;
}

void WriteIni(const QString& section, const QString& key, const QString& value) {
    // A name that cannot be written as one line, or a key that would read back as another key,
    // is not written at all: the reader then sees its default, as after any failed write.
    const QString trimmedKey = key.trimmed();
    if (hasLineBreak(section) || hasLineBreak(key) || key.contains(QLatin1Char('=')) || trimmedKey.isEmpty() ||
        section.contains(QLatin1Char(']')))
        return;
    // A pasted line break would start a line of its own and could plant another key.
    QString single = value;
    single.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    single.replace(QLatin1Char('\r'), QLatin1Char(' '));
    single.replace(QLatin1Char('\n'), QLatin1Char(' '));

    const QString path = SettingsPath();
    IniFile file = IniFile::load(path);
    if (file.exists && (!file.readable || !QFileInfo(path).isWritable())) return;

    const QString entry = key + QLatin1Char('=') + single;
    const qsizetype header = file.findSection(section);
    if (header < 0) {
        file.lines.append(QLatin1Char('[') + section + QLatin1Char(']'));
        file.lines.append(entry);
    } else {
        const qsizetype line = file.findKey(header, key);
        if (line >= 0) {
            // Keep the key as the file spells it; only the value changes.
            const QString& old = file.lines[line];
            file.lines[line] = old.left(old.indexOf(QLatin1Char('='))).trimmed() + QLatin1Char('=') + single;
        } else {
            file.lines.insert(file.sectionInsertPoint(header), entry);
        }
    }

    // Bytes that fitted neither encoding are not ours to drop: keep the file as it was beside it.
    if (file.lossy) {
        const QString backup = path + QStringLiteral(".bak");
        if (!QFile::exists(backup)) {
            QFile b(backup);
            if (b.open(QIODevice::WriteOnly)) b.write(file.raw);
        }
    }
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly)) return;
    out.write(file.encode());
    out.commit();
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
