#pragma once
// The program speaks Korean whatever the machine's LANG says: Qt's own texts (the OK of every
// notice, the Save-As dialog, the text boxes' context menu) come from Qt's Korean translation,
// and dates and numbers follow a Korean QLocale (the calendar pop-up's month and day names).

// Makes Korean the default QLocale and installs Qt's Korean translation (qtbase_ko.qm, from the
// program folder's "translations" or Qt's own translations folder) on the running application.
// Answers whether the translation was found; without it Qt's texts stay English and the
// program works on. Call once, after the QApplication exists; calling again changes nothing.
bool InstallKoreanLanguage();
