// How long the office stands still when its server machine dies: two desks save orders through
// the board's statement on a primary with a synchronous standby (private clusters on Unix
// sockets); the primary's postmaster is killed (SIGKILL) in the middle, the standby promoted at
// once, and the desks go on through the address naming both. Prints; never fails a build.
//
//   resume_s      from the kill to the first save acknowledged on a link to the new primary,
//                 the promotion included
//   acknowledged  saves the desks were told were stored
//   lost          of those, missing on the new primary
//   doubled       orders stored more than once (by request key)
#include "standbypair.h"
#include "storeconnection.h"
#include "teststore.h"
#include "testmain.h"

#include <QElapsedTimer>
#include <cstdio>
#include <thread>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    QApplication app(argc, argv);
    PrepareTestProcess(home);
    QString why;
    const auto pair = StandbyPair::start(QStringLiteral("bench"), &why);
    if (!pair) {
        std::printf("skipped: no primary and standby: %s\n", qPrintable(why));
        return 0;
    }
    UseDatabaseServer(pair->deskAddress());
    SetQuietReconnectTime(60000);
    SavingDesks desks(2);
    if (!desks.connect()) {
        std::printf("the desks cannot reach the primary\n");
        return 1;
    }

    constexpr int BeforeKill = 200, AfterPromotion = 200;
    std::atomic<bool> promoted{false};
    double promoteSeconds = 0;
    std::thread machineDies([&] {
        while (desks.acknowledged() < BeforeKill)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        QElapsedTimer t;
        t.start();
        pair->primary->killPostmaster();
        desks.markKilled();
        pair->standby->promote();
        promoteSeconds = double(t.nsecsElapsed()) / 1e9;
        promoted = true;
    });
    QElapsedTimer before;
    before.start();
    int savedBefore = 0, afterPromotion = 0, failed = 0;
    qint64 beforeNs = 0;
    QElapsedTimer after;
    while (afterPromotion < AfterPromotion) {
        const bool wasPromoted = promoted;
        if (!wasPromoted && desks.acknowledged() >= BeforeKill && !beforeNs) beforeNs = before.nsecsElapsed();
        if (wasPromoted && !after.isValid()) after.start();
        failed += !desks.save((savedBefore + afterPromotion) % 2);
        (wasPromoted ? afterPromotion : savedBefore)++;
    }
    machineDies.join();
    const double afterNs = double(after.nsecsElapsed());
    const SavingDesks::Check check = desks.check(pair->standbyAddress());
    for (const QString& problem : check.problems)
        std::printf("  %s\n", qPrintable(problem));
    std::printf("saves before the kill: %.2f ms each on the synchronous pair\n",
                beforeNs ? double(beforeNs) / 1e6 / BeforeKill : 0.0);
    std::printf("saves on the promoted standby: %.2f ms each\n", afterNs / 1e6 / AfterPromotion);
    std::printf("kill and pg_ctl promote -w: %.2f s; unknown outcomes looked up: %d; saves given up: %d\n",
                promoteSeconds, desks.unknown(), failed);
    std::printf("summary resume_s=%.2f acknowledged=%d lost=%d doubled=%d\n", desks.resumeSeconds(),
                desks.acknowledged(), check.lost, check.doubled);
    StoreConnection.reset();
    return 0;
}
