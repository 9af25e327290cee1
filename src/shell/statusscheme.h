#pragma once
// The one colour scheme of order statuses: every list that shows orders (board, inquiry,
// settlement) draws a status in the same ink, and the status boxes carry that ink as their legend.
#include <QColor>
#include <QString>
#include <array>

class QAbstractButton;

namespace StatusScheme {

// Order statuses in the order every filter lists them.
inline const std::array<QString, 7> Statuses = {QStringLiteral("접수"),     QStringLiteral("미처리"),
                                                QStringLiteral("배차완료"), QStringLiteral("운송완료"),
                                                QStringLiteral("계산서"),   QStringLiteral("정산완료"),
                                                QStringLiteral("취소")};

// Row text colour of a status (trimmed); anything else is black. Each ink reads at 4.5:1 or
// better on the list's white rows and on the grey of a window.
QColor StatusColour(const QString& status);

// A status box written in its status's ink, so the boxes double as the lists' legend.
void ShowAsLegend(QAbstractButton* box, const QString& status);

} // namespace StatusScheme
