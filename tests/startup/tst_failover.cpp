// The office's server machine dies under two desks saving orders: its standby is promoted, and
// the desks go on through the address that names both servers, without a question, each order
// they were told was saved on the new primary exactly once.
#include "prompts.h"
#include "standbypair.h"
#include "storeconnection.h"
#include "testmain.h"
#include "teststore.h"

#include <thread>

class FailoverTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void primaryLostUnderSaves() {
        QString why;
        const auto pair = StandbyPair::start(QStringLiteral("office"), &why);
        if (!pair) QSKIP(qPrintable(QStringLiteral("no primary and standby: ") + why));
        UseDatabaseServer(pair->deskAddress());
        SetQuietReconnectTime(30000);
        QStringList notices;
        SetReconnectNotice([&](const QString& text) { notices << text; });
        PromptScript prompts;
        SavingDesks desks(2);
        QVERIFY(desks.connect());

        std::atomic<bool> promoted{false}, killed{false};
        std::thread machineDies([&] {
            while (desks.acknowledged() < 40)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            killed = pair->primary->killPostmaster();
            desks.markKilled();
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            promoted = pair->standby->promote();
        });
        int afterPromotion = 0;
        for (int save = 0; afterPromotion < 40 && save < 1000; ++save) {
            const bool wasPromoted = promoted;
            QVERIFY2(desks.save(save % 2), qPrintable(prompts.texts().join(QLatin1Char('\n'))));
            afterPromotion += wasPromoted;
        }
        machineDies.join();
        SetReconnectNotice({});
        SetQuietReconnectTime(0);
        QVERIFY(killed);
        QVERIFY(promoted);
        QVERIFY2(prompts.texts().isEmpty(), qPrintable(prompts.texts().join(QLatin1Char('\n'))));
        // The agent was told the desk was reaching for the store, and the notice went again.
        QVERIFY(notices.contains(ReconnectingText));
        QCOMPARE(notices.last(), QString());

        const SavingDesks::Check check = desks.check(pair->standbyAddress());
        QVERIFY2(check.problems.isEmpty(), qPrintable(check.problems.join(QLatin1Char('\n'))));
        QVERIFY(desks.resumeSeconds() > 0);
        qInfo("%d saves acknowledged, %d outcomes unknown and looked up; resumed %.2f s after the kill",
              desks.acknowledged(), desks.unknown(), desks.resumeSeconds());
        StoreConnection.reset();
        UseDatabaseServer({});
    }
};

DELMORA_TEST_MAIN(FailoverTest)
#include "tst_failover.moc"
