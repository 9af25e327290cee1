#include "statusscheme.h"

#include <QAbstractButton>
#include <QPalette>

namespace StatusScheme {

QColor StatusColour(const QString& status) {
    // Dark inks of distinct hues: a pale ink (the old light green of 계산서) vanished on white,
    // and two statuses sharing one blue could not be told apart at a glance. Each keeps the hue
    // family agents know it by, except 계산서, which moves from green to teal so that 정산완료
    // alone is green.
    static const std::array<QRgb, 7> inks = {
        0x000000, // 접수: black, the plain new order
        0x6B6B6B, // 미처리: grey, set aside
        0x0033CC, // 배차완료: blue
        0x8A4B00, // 운송완료: dark amber
        0x00788A, // 계산서: teal
        0x1F7A1F, // 정산완료: green
        0xC00000, // 취소: red
    };
    const QString s = status.trimmed();
    for (size_t i = 0; i < Statuses.size(); ++i)
        if (s == Statuses[i]) return QColor(inks[i]);
    return QColor(0x00, 0x00, 0x00);
}

void ShowAsLegend(QAbstractButton* box, const QString& status) {
    QPalette palette = box->palette();
    palette.setColor(QPalette::WindowText, StatusColour(status));
    palette.setColor(QPalette::ButtonText, StatusColour(status));
    box->setPalette(palette);
}

} // namespace StatusScheme
