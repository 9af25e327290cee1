#include "latecommit.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QTimer>
#include <chrono>

LateCommitGuard& LateCommitGuard::shared() {
    static LateCommitGuard guard;
    return guard;
}

LateCommitGuard::LateCommitGuard(QObject* parent) : QObject(parent) {}

void LateCommitGuard::watch(QObject* box) {
    if (box) box->installEventFilter(this);
}

void LateCommitGuard::setClock(std::function<qint64()> clock) {
    m_clock = std::move(clock);
}

qint64 LateCommitGuard::now() const {
    if (m_clock) return m_clock();
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

bool LateCommitGuard::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::InputMethod && !m_finishing) {
        auto* im = static_cast<QInputMethodEvent*>(event);
        if (isLateCopy(*im)) {
            im->accept();
            return true;
        }
        noteInputMethodEvent(watched, *im);
    } else if (event->type() == QEvent::FocusOut) {
        focusLeaving(watched);
    }
    return QObject::eventFilter(watched, event);
}

bool LateCommitGuard::isLateCopy(const QInputMethodEvent& event) {
    if (m_awaited.isEmpty()) return false;
    // Input methods clear their preedit before and after a commit: such an event says nothing.
    if (event.commitString().isEmpty() && event.preeditString().isEmpty() && event.replacementLength() == 0)
        return false;
    const bool inTime = m_windowStart < 0 || now() - m_windowStart <= WindowMs;
    const bool copy = inTime && event.preeditString().isEmpty() && event.replacementLength() == 0 &&
                      event.commitString() == m_awaited;
    // Only ever the first text after the focus change: a syllable the user types next comes
    // composed first, and is never taken for the copy.
    forget();
    return copy;
}

void LateCommitGuard::noteInputMethodEvent(QObject* box, const QInputMethodEvent& event) {
    if (box != m_owner) {
        m_owner = box;
        m_composing.clear();
        m_lastComposed.clear();
        m_finished.clear();
    }
    if (!event.commitString().isEmpty()) {
        // IBus clears the preedit in an event of its own just before the commit, so the last
        // composition seen, not the current one, tells a finished syllable.
        m_finished = event.commitString() == m_lastComposed ? event.commitString() : QString();
        m_lastComposed.clear();
    }
    if (!event.preeditString().isEmpty()) {
        m_finished.clear();
        m_lastComposed = event.preeditString();
    }
    m_composing = event.preeditString();
}

void LateCommitGuard::focusLeaving(QObject* box) {
    if (box != m_owner || !m_owner) return;
    QString syllable = m_finished;
    if (!m_composing.isEmpty()) {
        // The input method did not finish the syllable before the focus left (a popup, another
        // window): finish it here, and have the input method drop its own copy.
        syllable = m_composing;
        QInputMethodEvent commit;
        commit.setCommitString(syllable);
        m_finishing = true;
        QCoreApplication::sendEvent(box, &commit);
        m_finishing = false;
        if (QInputMethod* im = QGuiApplication::inputMethod()) im->reset();
    }
    clear();
    if (!syllable.isEmpty()) await(syllable);
}

void LateCommitGuard::await(const QString& syllable) {
    forget();
    m_awaited = syllable;
    const quint64 generation = m_generation;
    // The copy can only arrive through the event loop; whatever runs before it returns there
    // (a save, a reload of the board) does not count against the window.
    QTimer::singleShot(0, this, [this, generation] {
        if (generation == m_generation && !m_awaited.isEmpty()) m_windowStart = now();
    });
}

void LateCommitGuard::clear() {
    m_owner = nullptr;
    m_composing.clear();
    m_lastComposed.clear();
    m_finished.clear();
    forget();
}

void LateCommitGuard::forget() {
    m_awaited.clear();
    m_windowStart = -1;
    ++m_generation;
}
