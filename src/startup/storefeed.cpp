#include "storefeed.h"

#include "storeconnection.h"

#include <QApplication>
#include <QWidget>

namespace {
constexpr int LookMs = 250;
// A lost link is tried again every two seconds, quietly: the agent is not asked while the
// server restarts.
constexpr int RetryTicks = 8;
} // namespace

StoreFeed& StoreFeed::instance() {
    static StoreFeed* feed = new StoreFeed;
    return *feed;
}

StoreFeed::StoreFeed() {
    m_timer.setInterval(LookMs);
    connect(&m_timer, &QTimer::timeout, this, &StoreFeed::poll);
}

void StoreFeed::listen(QObject* list) {
    if (!list || m_lists.contains(list)) return;
    m_lists.insert(list);
    connect(list, &QObject::destroyed, this, [this, list] {
        m_lists.remove(list);
        if (m_lists.isEmpty()) m_timer.stop();
    });
    if (!m_timer.isActive()) {
        // The store is told to tell before the list reads its rows: a write between the read and
        // the first tick would otherwise never reach it.
        look();
        m_timer.start();
    }
}

void StoreFeed::reconnect() {
    if (++m_idleTicks < RetryTicks) return;
    m_idleTicks = 0;
    if (!ReconnectQuietly()) return;
    ShowReconnectNotice(false);
    m_lost = false;
    m_pending.clear();
    // Listening again before the lists read everything again: what is written after their
    // read is then told, what came before is in it.
    look();
    if (!m_lost) m_everything = true;
}

void StoreFeed::look() {
    if (!StoreConnection) return;
    try {
        const StoreChanges changes = StoreConnection->pollChanges();
        m_live = changes.supported;
        for (qint64 id : changes.orders)
            m_pending.insert(id);
        m_everything = m_everything || changes.everything;
    } catch (const StoreFailure& f) {
        if (f.number == E_FAIL_NUMBER) m_lost = true;
    }
}

void StoreFeed::poll() {
    if (!m_lost) {
        look();
        if (m_lost) {
            ShowReconnectNotice(true);
            m_idleTicks = RetryTicks - 1; // the first try at once
        }
    }
    if (m_lost) reconnect();
    // A list is not changed under a question the agent is answering about it.
    if (QApplication::activeModalWidget()) return;
    if (m_everything) {
        m_everything = false;
        m_pending.clear();
        Q_EMIT everythingChanged();
    } else if (!m_pending.isEmpty()) {
        const QSet<qint64> orders = std::exchange(m_pending, {});
        Q_EMIT ordersChanged(orders);
    }
}
