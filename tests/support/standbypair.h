#pragma once
// An office store on a primary with a synchronous standby (two private clusters on Unix
// sockets), and desks saving orders on it through the board's own statement and trap, each on a
// link of its own. Shared by the failover test and its benchmark.
#include "pgcluster.h"
#include "storeconnection.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <atomic>
#include <chrono>
#include <memory>
#include <vector>

struct StandbyPair {
    std::unique_ptr<PgCluster> primary, standby;
    QString database;
    // The address the desks use: both servers, the one taking writes wanted.
    QString deskAddress() const;
    // A link to the standby alone, to read what it holds after promotion.
    QString standbyAddress() const;
    // Both clusters, a freight store on the primary, the standby streaming from it and
    // acknowledged as synchronous. nullptr with the reason when PostgreSQL will not.
    static std::unique_ptr<StandbyPair> start(const QString& database, QString* whyNot);
};

using FailoverClock = std::chrono::steady_clock;

// Desks taking turns on this thread: StoreConnection is one per process, so each desk's own
// link is put in its place for the length of its save, as if each desk were its own program.
class SavingDesks {
public:
    explicit SavingDesks(int desks);
    ~SavingDesks();
    // Connects every desk to the deployment's store; false when one cannot.
    bool connect();
    // The next save of the desk, repeated as an agent would while the board says it was not
    // stored (the same entry keeps its request key); true once it was acknowledged.
    bool save(int desk);
    // Set by whoever kills the primary, right after the kill.
    void markKilled() { m_killedAt = FailoverClock::now().time_since_epoch().count(); }

    int acknowledged() const { return m_acknowledged.load(); }
    // Saves whose outcome was unknown (the link died under them) and was looked up in the store.
    int unknown() const { return m_unknown; }
    // The first acknowledgement on a link opened after the kill, in seconds after the kill; -1 when none.
    double resumeSeconds() const;
    // Against the store at `address`: acknowledged orders missing there, and orders stored more
    // than once (by request key, every desk's).
    struct Check {
        int lost = 0, doubled = 0;
        QStringList problems;
    };
    Check check(const QString& address) const;

private:
    struct Desk {
        std::unique_ptr<StoreBackend> link;
        QString name;
        int serial = 0;
    };
    std::vector<Desk> m_desks;
    std::vector<QString> m_acknowledgedKeys;
    std::atomic<int> m_acknowledged{0};
    int m_unknown = 0;
    QSet<const StoreBackend*> m_afterKill; // links opened after the kill
    std::atomic<FailoverClock::rep> m_killedAt{0};
    FailoverClock::rep m_resumedAt = 0;
};
