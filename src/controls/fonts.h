#pragma once
// The screens ask for the Windows Korean fonts ("굴림" above all); map them to an installed
// Korean font so Hangul is drawn with matching metrics instead of a random fallback.
#include <QString>

void InstallKoreanFontSubstitutes();
// The installed family that stands in for "굴림" ("" when no Korean font is installed).
QString KoreanFontFamily();
