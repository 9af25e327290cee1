#pragma once
// The one display formatter of stored numbers, shared by the text box and every list.
#include <QString>

enum class TextType { Plain = 0, BusinessNumber = 1, Telephone = 9 };

// Business numbers: 10 digits as 3-2-5. Telephone numbers: Korean groups (02 Seoul numbers of
// 9 and 10 digits, three-digit area codes, 010 and the older mobile prefixes with ten or eleven
// digits, 070, 050x, 080 and 060, 8-digit 15xx/16xx/18xx). Input that does not fit is returned
// as given. Dashes already present are ignored on input; removing every "-" from the result
// gives back the stored digits.
QString FormatText(TextType type, const QString& stored);
QString FormatPhone(const QString& stored);
QString FormatBusinessNumber(const QString& stored);
