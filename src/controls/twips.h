#pragma once
// Geometry in the screens' rules is written in twips; 15 twips make one logical pixel.
#include <QWidget>
#include <algorithm>
#include <cmath>

constexpr int TwipsPerPixel = 15;
constexpr int TwipsToPx(double twips) {
    return int(twips >= 0 ? twips / TwipsPerPixel + 0.5 : twips / TwipsPerPixel - 0.5);
}
constexpr int PxToTwips(int px) {
    return px * TwipsPerPixel;
}

// Places a widget by a rectangle in twips; a size squeezed below nothing stays at nothing.
inline void PlaceTwips(QWidget* w, double left, double top, double width, double height) {
    w->setGeometry(TwipsToPx(left), TwipsToPx(top), std::max(0, TwipsToPx(width)),
                   std::max(0, TwipsToPx(height)));
}
