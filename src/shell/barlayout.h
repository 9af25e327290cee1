#pragma once
// The bars of the list screens (search boxes, buttons, status check boxes over a grid) are drawn
// for a wide window: some controls from the bar's left edge, a group held at fixed distances
// from its right edge. On a narrower screen the two would meet; LayOutBar keeps them apart.
#include <vector>

class QWidget;

struct BarItem {
    QWidget* widget = nullptr;
    // Twips. For the left-hand controls `left` is the distance from the bar's left edge; for
    // the right-hand group it is how far the control's left edge lies from the bar's right edge.
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
    // A long box may give up width down to this many twips; below zero it keeps its width.
    double leastWidth = -1;
    // Shown only where it fits whole: a hint that repeats what a box already says.
    bool optional = false;
};

struct BarDesign {
    std::vector<BarItem> left;  // in their order from the left
    std::vector<BarItem> right; // held to the right edge
    double gap = 120;           // twips kept free between the two groups
    double margin = 90;         // twips kept free at the bar's edges
    double rowStep = 360;       // twips from one row of controls to the next
};

// Places the controls for a bar widthTwips wide and returns the rows it takes (1 when the bar
// fits as drawn). When the width runs out: optional controls that would meet the right-hand
// group are hidden, then the long boxes give up width (the controls after them move left with
// them); if that is not enough the right-hand group moves to a row of its own below, still held
// to the right edge, and the left-hand controls take their full width again. A group wider than
// the whole bar flows onto as many rows as it needs, from the left edge, in its order.
int LayOutBar(const BarDesign& bar, double widthTwips);
