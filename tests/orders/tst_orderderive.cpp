// Rules the board applies to stored and typed values.
#include "orderderive.h"
#include "testmain.h"

using namespace OrderDerive;

class OrderDeriveTest : public QObject {
    Q_OBJECT
private slots:
    void vehicleText_data() {
        QTest::addColumn<QString>("info");
        QTest::addColumn<QString>("tonnage");
        QTest::addColumn<QString>("length");
        QTest::addColumn<QString>("length2");
        QTest::addColumn<QString>("expected");
        QTest::newRow("all parts") << "윙바디"
                                   << "5"
                                   << "9.6"
                                   << "50"
                                   << "윙바디 5톤 9.6m 50cm";
        QTest::newRow("tonnage with unit") << "윙바디"
                                           << "5톤"
                                           << "9.6"
                                           << ""
                                           << "윙바디 5톤 9.6m";
        QTest::newRow("length with unit") << "카고"
                                          << "11"
                                          << "10.1m"
                                          << ""
                                          << "카고 11톤 10.1m";
        QTest::newRow("no first length drops the second") << "윙바디"
                                                          << "5"
                                                          << ""
                                                          << "50"
                                                          << "윙바디 5톤";
        QTest::newRow("blank padded") << " 윙바디 "
                                      << "5"
                                      << " 9.6 "
                                      << " 50 "
                                      << "윙바디 5톤 9.6m 50cm";
        QTest::newRow("nothing") << ""
                                 << ""
                                 << ""
                                 << ""
                                 << "";
    }
    void vehicleText() {
        QFETCH(QString, info);
        QFETCH(QString, tonnage);
        QFETCH(QString, length);
        QFETCH(QString, length2);
        QFETCH(QString, expected);
        QCOMPARE(VehicleText(info, tonnage, length, length2), expected);
    }

    void statusColour_data() {
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("colour");
        QTest::newRow("접수") << "접수"
                              << "#000000";
        QTest::newRow("미처리") << "미처리"
                                << "#6b6b6b";
        QTest::newRow("배차완료") << "배차완료"
                                  << "#0033cc";
        QTest::newRow("운송완료") << "운송완료"
                                  << "#8a4b00";
        QTest::newRow("계산서") << "계산서"
                                << "#00788a";
        QTest::newRow("정산완료") << "정산완료"
                                  << "#1f7a1f";
        QTest::newRow("취소 with blanks") << " 취소 "
                                          << "#c00000";
        QTest::newRow("unknown") << "보류"
                                 << "#000000";
    }
    void statusColour() {
        QFETCH(QString, status);
        QFETCH(QString, colour);
        QCOMPARE(StatusScheme::StatusColour(status).name(), colour);
    }

    void halfHour_data() {
        QTest::addColumn<QString>("time");
        QTest::addColumn<QString>("expected");
        QTest::newRow("09:00") << "09:00"
                               << "09:00";
        QTest::newRow("09:29") << "09:29"
                               << "09:00";
        QTest::newRow("09:30") << "09:30"
                               << "09:30";
        QTest::newRow("09:45") << "09:45"
                               << "09:30";
        QTest::newRow("23:59") << "23:59"
                               << "23:30";
        QTest::newRow("garbage") << "9시"
                                 << "";
        QTest::newRow("empty") << ""
                               << "";
    }
    void halfHour() {
        QFETCH(QString, time);
        QFETCH(QString, expected);
        QCOMPARE(HalfHourOfText(time), expected);
        if (!expected.isEmpty())
            QCOMPARE(HalfHour(QTime::fromString(time, QStringLiteral("HH:mm"))), expected);
    }

    void dateKinds_data() {
        QTest::addColumn<QDate>("boardDay");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QDate>("expected");
        QTest::addColumn<int>("readsAs");
        const QDate wednesday(2026, 12, 9), monday(2026, 12, 7), sunday(2026, 12, 13);
        QTest::newRow("당일 Wednesday") << wednesday << 0 << wednesday << 0;
        QTest::newRow("익일 Wednesday") << wednesday << 1 << QDate(2026, 12, 10) << 1;
        QTest::newRow("월착 Wednesday") << wednesday << 2 << QDate(2026, 12, 14) << 2;
        QTest::newRow("월착 Monday") << monday << 2 << QDate(2026, 12, 14) << 2;
        QTest::newRow("월착 Tuesday") << QDate(2026, 12, 8) << 2 << QDate(2026, 12, 14) << 2;
        QTest::newRow("월착 Thursday") << QDate(2026, 12, 10) << 2 << QDate(2026, 12, 14) << 2;
        QTest::newRow("월착 Friday") << QDate(2026, 12, 11) << 2 << QDate(2026, 12, 14) << 2;
        QTest::newRow("월착 Saturday") << QDate(2026, 12, 12) << 2 << QDate(2026, 12, 14) << 2;
        QTest::newRow("월착 over the year's end") << QDate(2026, 12, 30) << 2 << QDate(2027, 1, 4) << 2;
        // The next day comes first when an order is shown again.
        QTest::newRow("월착 Sunday") << sunday << 2 << QDate(2026, 12, 14) << 1;
        QTest::newRow("익일 at the year's end") << QDate(2026, 12, 31) << 1 << QDate(2027, 1, 1) << 1;
    }
    void dateKinds() {
        QFETCH(QDate, boardDay);
        QFETCH(int, kind);
        QFETCH(QDate, expected);
        QFETCH(int, readsAs);
        QCOMPARE(DateOfKind(DateKind(kind), boardDay), expected);
        QCOMPARE(KindOfDate(expected, boardDay), readsAs);
    }

    void kindOfOtherDates() {
        const QDate wednesday(2026, 12, 9);
        QCOMPARE(KindOfDate(QDate(2026, 12, 11), wednesday), -1); // a Friday
        QCOMPARE(KindOfDate(QDate(2026, 11, 30), wednesday), 2);  // an earlier Monday still reads 월착
        QCOMPARE(KindOfDate(QDate(), wednesday), -1);
    }

    void weight_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("saved");
        QTest::addColumn<QString>("onLeave");
        QTest::newRow("empty") << ""
                               << ""
                               << "";
        QTest::newRow("5") << "5"
                           << "5톤"
                           << "5톤";
        QTest::newRow("5톤") << "5톤"
                             << "5톤"
                             << "5톤";
        QTest::newRow("2.5") << "2.5"
                             << "2.5톤"
                             << "2.5톤";
        QTest::newRow("words stay on leave") << "약간"
                                             << "약간톤"
                                             << "약간";
        QTest::newRow("blanks") << " 7 "
                                << "7톤"
                                << " 7 톤";
    }
    void weight() {
        QFETCH(QString, typed);
        QFETCH(QString, saved);
        QFETCH(QString, onLeave);
        QCOMPARE(WeightText(typed), saved);
        QCOMPARE(WeightOnLeave(typed), onLeave);
    }

    void amount_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<qint64>("value");
        QTest::newRow("plain") << "350000" << qint64(350000);
        QTest::newRow("thousands separators") << "350,000" << qint64(350000);
        QTest::newRow("with unit") << "12000원" << qint64(12000);
        QTest::newRow("rounded") << "1000.6" << qint64(1001);
        QTest::newRow("leading blanks") << "  25" << qint64(25);
        QTest::newRow("none") << "abc" << qint64(0);
        QTest::newRow("empty") << "" << qint64(0);
        QTest::newRow("zero") << "0" << qint64(0);
        QTest::newRow("huge stays huge")
            << QString(400, QLatin1Char('9')) << std::numeric_limits<qint64>::max();
    }
    void amount() {
        QFETCH(QString, typed);
        QFETCH(qint64, value);
        QCOMPARE(AmountValue(typed), value);
    }

    void tags_data() {
        QTest::addColumn<QString>("tag");
        QTest::addColumn<qint64>("id");
        QTest::newRow("id") << "42" << qint64(42);
        QTest::newRow("empty") << "" << qint64(0);
        QTest::newRow("text") << "abc" << qint64(0);
        QTest::newRow("zero") << "0" << qint64(0);
        QTest::newRow("negative") << "-3" << qint64(0);
    }
    void tags() {
        QFETCH(QString, tag);
        QFETCH(qint64, id);
        QCOMPARE(TagToId(tag), id);
    }

    void dispatchTime_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("shown");
        QTest::newRow("plain") << "2026-12-08 14:05:09"
                               << "2026-12-08 14:05:09";
        QTest::newRow("milliseconds") << "2026-12-08 14:05:09.123"
                                      << "2026-12-08 14:05:09";
        QTest::newRow("T") << "2026-12-08T14:05:09"
                           << "2026-12-08 14:05:09";
        QTest::newRow("minutes only") << "2026-12-08 14:05"
                                      << "2026-12-08 14:05:00";
        QTest::newRow("not a time") << "배차대기"
                                    << "배차대기";
        QTest::newRow("empty") << ""
                               << "";
    }
    void dispatchTime() {
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        QCOMPARE(DispatchTimeText(stored), shown);
    }

    void lists() {
        const QStringList times = HalfHourEntries();
        QCOMPARE(times.size(), 48);
        QCOMPARE(times.first(), QStringLiteral("00:00"));
        QCOMPARE(times.at(19), QStringLiteral("09:30"));
        QCOMPARE(times.last(), QStringLiteral("23:30"));
        const QStringList regions = RegionEntries();
        QCOMPARE(regions.size(), 17);
        QVERIFY(regions.first().isEmpty());
        QCOMPARE(regions.last(), QStringLiteral("부산"));
    }
};

DELMORA_TEST_MAIN(OrderDeriveTest)
#include "tst_orderderive.moc"
