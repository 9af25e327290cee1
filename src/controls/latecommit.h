#pragma once
// Keeps a Korean syllable in the box it was typed in when the focus moves on.
//
// When the focus leaves a box in the middle of a syllable, Qt finishes the syllable in that box
// and then resets the input method. ibus-hangul answers the reset by committing the same
// syllable once more, and that copy arrives after the focus has moved: 안녕 typed in one box
// and a click on the next left 녕 in both. fcitx5 and typing without an input method send no
// such copy. The guard remembers the syllable finished as the focus left a box, and drops the
// first input-method text that then arrives, if it is exactly that syllable with nothing
// composing, within a short time. Anything else (a new composition, other text, time running
// out) lets the remembered syllable go, so what the user types next always arrives.
//
// The guard also finishes a syllable the input method left composing when the focus leaves
// (a popup, another window): the syllable stays in its box rather than being lost.
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

class QInputMethodEvent;

class LateCommitGuard : public QObject {
    Q_OBJECT
public:
    // How long, once the program is back in its event loop, a late copy is waited for. The copy
    // travels input method -> D-Bus -> program; a busy machine can take a good part of a second.
    static constexpr qint64 WindowMs = 1500;

    // The one guard every text-taking box of the program shares: a copy finished in one box
    // may land in any other.
    static LateCommitGuard& shared();

    // Guards a box: its input-method events and its focus-out pass through the guard. Any
    // widget that takes text (a line edit, a combo box, ...) can be watched.
    void watch(QObject* box);

    // Milliseconds of a monotonic clock; tests set their own.
    void setClock(std::function<qint64()> clock);

    // The syllable a late copy of which would be dropped now; empty when none is awaited.
    QString awaited() const { return m_awaited; }
    // Forgets every composition and awaited copy.
    void clear();

    // The rule itself, for each input-method event a watched box receives: true when the event
    // is the late copy and must not reach the box.
    bool isLateCopy(const QInputMethodEvent& event);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit LateCommitGuard(QObject* parent = nullptr);
    void noteInputMethodEvent(QObject* box, const QInputMethodEvent& event);
    void focusLeaving(QObject* box);
    void await(const QString& syllable);
    void forget();
    qint64 now() const;

    std::function<qint64()> m_clock;
    // The composition now shown in m_owner, and the last syllable that a commit finished there.
    QPointer<QObject> m_owner;
    QString m_composing;
    QString m_lastComposed;
    QString m_finished;
    // The syllable whose late copy is awaited; the window starts when the event loop runs again
    // (a long save before that must not use it up).
    QString m_awaited;
    qint64 m_windowStart = -1;
    quint64 m_generation = 0;
    bool m_finishing = false; // the guard's own commit of an unfinished syllable
};
