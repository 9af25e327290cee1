#pragma once
// Clean-up that must happen however a routine ends (error box, early return).
#include "spreadgrid.h"
#include <QWidget>

namespace OrderBoard {

// Screen updates held back while a routine rebuilds what is shown.
class UpdateLock {
public:
    explicit UpdateLock(QWidget* w) : m_w(w), m_was(w->updatesEnabled()) { m_w->setUpdatesEnabled(false); }
    ~UpdateLock() { m_w->setUpdatesEnabled(m_was); }
    UpdateLock(const UpdateLock&) = delete;
    UpdateLock& operator=(const UpdateLock&) = delete;

private:
    QWidget* m_w;
    bool m_was;
};

// The grid drawn once, when the fill is over.
class RedrawOff {
public:
    explicit RedrawOff(SpreadGrid* g) : m_g(g) { m_g->ReDraw(false); }
    ~RedrawOff() { m_g->ReDraw(true); }
    RedrawOff(const RedrawOff&) = delete;
    RedrawOff& operator=(const RedrawOff&) = delete;

private:
    SpreadGrid* m_g;
};

// Set while the board writes a value itself, so handlers meant for the user stay quiet.
class QuietFlag {
public:
    explicit QuietFlag(bool& flag) : m_flag(flag), m_was(flag) { m_flag = true; }
    ~QuietFlag() { m_flag = m_was; }
    QuietFlag(const QuietFlag&) = delete;
    QuietFlag& operator=(const QuietFlag&) = delete;

private:
    bool& m_flag;
    bool m_was;
};

} // namespace OrderBoard
