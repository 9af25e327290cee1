#pragma once
// Geometry in the screens' rules is written in twips; 15 twips make one logical pixel.
#include <cmath>

constexpr int TwipsPerPixel = 15;
constexpr int TwipsToPx(double twips) { return int(twips >= 0 ? twips / TwipsPerPixel + 0.5 : twips / TwipsPerPixel - 0.5); }
constexpr int PxToTwips(int px) { return px * TwipsPerPixel; }
