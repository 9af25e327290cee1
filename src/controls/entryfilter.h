#pragma once
// What no one-line box takes, whatever its kind, and the same filter for a dialog's own box.
#include <QChar>

class QLineEdit;

// True for a character no one-line box takes: C0 controls (NUL and tab included), DEL, and the
// marks that reorder or hide the text around them (bidirectional embeddings, overrides and
// isolates, the left-to-right and right-to-left marks), with which "1234-5678" can be shown
// reversed. FilterEntry drops them in every box.
bool DisguisingCharacter(QChar c);
// Gives a line edit that is not a MyText (a dialog's own box) the free-text filter of MyText,
// with the same notice beside the box.
void FilterPlainEntry(QLineEdit* box);
