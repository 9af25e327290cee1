#pragma once
// What a screen must keep at any client size its users have: every named control inside the
// screen and inside its panel, none lying on another, and every shown grid column at least as
// wide as its header's text, a grid whose columns do not fit scrolling sideways.
#include <QSize>
#include <QStringList>

class QWidget;

namespace LayoutCheck {
// The client sizes of the desks: 1024x768, 1366x768 and 1280x1024 screens less the main
// window's menu, toolbar and frame; and the main window restored on a 1024x768 screen (four
// fifths of it).
inline const QList<QSize> DeskSizes = {QSize(1024, 650), QSize(1280, 900), QSize(1366, 650), QSize(819, 510)};

// One data row per desk size, in the column "size".
void AddDeskSizeRows();

// What is wrong with the screen's layout as it stands, one readable line each; empty when it
// holds. `parked` names controls the screen keeps off screen on purpose.
QStringList Faults(QWidget* screen, const QStringList& parked = {});
} // namespace LayoutCheck
