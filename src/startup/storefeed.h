#pragma once
// The change feed: what other desks write, told to the open lists within a fraction of a second.
// One object looks at the store (PostgreSQL's notifications, the embedded store's data version
// and row versions) while any list listens, and hands the changed orders to every list, which
// reads just those. A store that cannot tell (SQL Server) is not live: its lists count down.
#include <QObject>
#include <QSet>
#include <QTimer>

class StoreFeed : public QObject {
    Q_OBJECT
public:
    static StoreFeed& instance();

    // A list that keeps itself up to date listens while it lives.
    void listen(QObject* list);
    // The store tells its changes (known after the first look; until then, assumed so).
    bool live() const { return m_live; }
    // One look now (the timer does this every quarter second while a list listens).
    void poll();

signals:
    // Orders written elsewhere; a list reads those of them it shows or should show.
    void ordersChanged(const QSet<qint64>& orders);
    // More changed than is worth patching, or the link was made again after it was lost
    // (whatever happened meanwhile is unknown): lists read everything again, quietly.
    void everythingChanged();

private:
    StoreFeed();
    void reconnect();
    // Asks the store what changed since the last look (and to tell from now on).
    void look();
    QTimer m_timer;
    QSet<QObject*> m_lists;
    QSet<qint64> m_pending;
    bool m_everything = false;
    bool m_live = true;
    bool m_lost = false;
    int m_idleTicks = 0; // while the link is lost: ticks since the last try
};
