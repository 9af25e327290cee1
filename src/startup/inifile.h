#pragma once
// The text of one settings file as its lines, decoded the way the Windows client's file must be
// read: UTF-8 when the bytes are valid UTF-8, else CP949 (the ANSI code page it was written in).
#include <QString>
#include <QStringList>

struct IniFile {
    QStringList lines;
    bool exists = false;
    bool readable = true;
    bool cp949 = false;      // decoded from CP949 (values are cut by their CP949 length)
    bool lossy = false;      // some bytes fitted neither encoding
    bool crlf = true;        // line breaks to write (a new file gets the Windows ones)
    bool bom = false;        // a UTF-8 byte-order mark to keep
    QByteArray raw;          // the bytes as read, kept for a backup before a lossy rewrite

    // Reads only a regular file of at most LargestFile bytes: anything else (a device, a pipe,
    // a file grown far past any settings file) reads as unreadable, so readers get their
    // defaults and writers leave it alone, and no read can hang or fill the memory.
    static IniFile load(const QString& path);
    static constexpr qint64 LargestFile = 1024 * 1024;
    // How many times load() has read a file from the disk (tests watch the cache with it).
    static qint64 loads();
    QByteArray encode() const; // always UTF-8

    // Index of the first line of [section] (the header), -1 when absent.
    qsizetype findSection(const QString& section) const;
    // Index of the key's line within the section starting at header, -1 when absent.
    qsizetype findKey(qsizetype header, const QString& key) const;
    // Index just past the section's last non-blank line.
    qsizetype sectionInsertPoint(qsizetype header) const;
};

// Helpers of the line grammar (shared with tests).
bool IniSectionName(const QString& line, QString* name);
bool IniKeyValue(const QString& line, QString* key, QString* value);
bool IniNameEquals(QStringView a, QStringView b);   // ASCII case-insensitive
