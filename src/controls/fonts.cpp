#include "fonts.h"

#include <QFont>
#include <QFontDatabase>
#include <QStringList>

#include <initializer_list>

namespace {

QString firstInstalled(std::initializer_list<const char*> candidates) {
    const QStringList families = QFontDatabase::families();
    for (const char* name : candidates) {
        const QString family = QString::fromUtf8(name);
        if (families.contains(family, Qt::CaseInsensitive)) return family;
    }
    return {};
}

} // namespace

QString KoreanFontFamily() {
    return firstInstalled({"NanumGothic", "나눔고딕", "Noto Sans CJK KR", "Noto Sans KR", "NanumBarunGothic",
                           "UnDotum", "Baekmuk Gulim"});
}

void InstallKoreanFontSubstitutes() {
    const QString sans = KoreanFontFamily();
    if (sans.isEmpty()) return;
    QString serif =
        firstInstalled({"NanumMyeongjo", "나눔명조", "Noto Serif CJK KR", "Noto Serif KR", "UnBatang"});
    if (serif.isEmpty()) serif = sans;
    for (const char* name : {"굴림", "Gulim", "굴림체", "GulimChe", "돋움", "Dotum", "돋움체", "DotumChe",
                             "맑은 고딕", "Malgun Gothic"})
        QFont::insertSubstitution(QString::fromUtf8(name), sans);
    for (const char* name : {"바탕", "Batang", "바탕체", "BatangChe", "궁서", "Gungsuh"})
        QFont::insertSubstitution(QString::fromUtf8(name), serif);
}
