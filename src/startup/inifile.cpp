#include "inifile.h"
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace {
bool isBlank(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); }

QString trimBlanks(QStringView text) {
    qsizetype b = 0, e = text.size();
    while (b < e && isBlank(text[b])) ++b;
    while (e > b && isBlank(text[e - 1])) --e;
    return text.mid(b, e - b).toString();
}

bool isBlankLine(const QString& line) {
    for (QChar c : line)
        if (!isBlank(c)) return false;
    return true;
}
} // namespace

bool IniNameEquals(QStringView a, QStringView b) {
    if (a.size() != b.size()) return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        char16_t x = a[i].unicode(), y = b[i].unicode();
        if (x >= u'A' && x <= u'Z') x = char16_t(x + 32);
        if (y >= u'A' && y <= u'Z') y = char16_t(y + 32);
        if (x != y) return false;
    }
    return true;
}

bool IniSectionName(const QString& line, QString* name) {
    qsizetype i = 0;
    while (i < line.size() && isBlank(line[i])) ++i;
    if (i >= line.size() || line[i] != QLatin1Char('[')) return false;
    const qsizetype close = line.indexOf(QLatin1Char(']'), i + 1);
    const qsizetype end = close < 0 ? line.size() : close;
    *name = trimBlanks(QStringView(line).mid(i + 1, end - i - 1));
    return true;
}

bool IniKeyValue(const QString& line, QString* key, QString* value) {
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq < 0) return false;
    *key = trimBlanks(QStringView(line).left(eq));
    *value = trimBlanks(QStringView(line).mid(eq + 1));
    return true;
}

namespace {
qint64 g_loads = 0;
}

qint64 IniFile::loads() {
    return g_loads;
}

IniFile IniFile::load(const QString& path) {
    IniFile file;
    const QFileInfo info(path);
    if (!info.exists()) return file;
    file.exists = true;
    // Opening a pipe waits for a writer, and a device may never end: neither is looked into.
    if (!info.isFile() || info.size() > LargestFile) {
        file.readable = false;
        return file;
    }
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        file.readable = false;
        return file;
    }
    ++g_loads;
    // The file may have grown since it was measured.
    QByteArray bytes = f.read(LargestFile + 1);
    if (bytes.size() > LargestFile) {
        file.readable = false;
        return file;
    }
    file.raw = bytes;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        file.bom = true;
        bytes.remove(0, 3);
    }
    const qsizetype firstBreak = bytes.indexOf('\n');
    file.crlf = firstBreak < 0 || (firstBreak > 0 && bytes[firstBreak - 1] == '\r');

    QString text;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    text = utf8.decode(bytes);
    if (utf8.hasError()) {
        QStringDecoder cp949("CP949");
        if (cp949.isValid()) {
            text = cp949.decode(bytes);
            file.lossy = cp949.hasError();
        } else {
            text = QString::fromLatin1(bytes);
        }
        file.cp949 = true;
    }
    if (text.isEmpty()) return file;
    file.lines = text.split(QLatin1Char('\n'));
    // A final line break leaves one empty piece behind; it is the break, not a line.
    if (file.lines.last().isEmpty()) file.lines.removeLast();
    for (QString& line : file.lines)
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
    return file;
}

QByteArray IniFile::encode() const {
    const char* brk = crlf ? "\r\n" : "\n";
    QByteArray out;
    if (bom) out += "\xEF\xBB\xBF";
    for (const QString& line : lines) {
        out += line.toUtf8();
        out += brk;
    }
    return out;
}

qsizetype IniFile::findSection(const QString& section) const {
    QString name;
    for (qsizetype i = 0; i < lines.size(); ++i)
        if (IniSectionName(lines[i], &name) && IniNameEquals(name, section)) return i;
    return -1;
}

qsizetype IniFile::findKey(qsizetype header, const QString& key) const {
    QString name, k, v;
    for (qsizetype i = header + 1; i < lines.size(); ++i) {
        if (IniSectionName(lines[i], &name)) break;
        if (IniKeyValue(lines[i], &k, &v) && IniNameEquals(k, key)) return i;
    }
    return -1;
}

qsizetype IniFile::sectionInsertPoint(qsizetype header) const {
    QString name;
    qsizetype last = header;
    for (qsizetype i = header + 1; i < lines.size(); ++i) {
        if (IniSectionName(lines[i], &name)) break;
        if (!isBlankLine(lines[i])) last = i;
    }
    return last + 1;
}
