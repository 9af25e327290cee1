// The settable clock: a fixed moment stays put until it is released again.
#include "clock.h"
#include "testmain.h"

class TestClock : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fixedAndReleased();
};

void TestClock::fixedAndReleased() {
    const QDateTime moment(QDate(2021, 4, 15), QTime(23, 59, 58));
    Clock::set(moment);
    QCOMPARE(Clock::now(), moment);
    QCOMPARE(Clock::today(), QDate(2021, 4, 15));
    Clock::set(QDateTime());
    QVERIFY(qAbs(Clock::now().secsTo(QDateTime::currentDateTime())) <= 1);
}

DELMORA_TEST_MAIN(TestClock)
#include "tst_clock.moc"
