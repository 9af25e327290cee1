// The one display formatter of stored numbers: every grouping the lists and boxes show, the
// texts it must leave alone, and the promise that the dashes are the only thing it adds.
#include "testmain.h"
#include "textformat.h"

class TestTextFormat : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void format_data();
    void format();
    void onlyDashesAreAdded_data();
    void onlyDashesAreAdded();
};

void TestTextFormat::format_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("shown");
    const int tel = int(TextType::Telephone), biz = int(TextType::BusinessNumber),
              plain = int(TextType::Plain);

    QTest::newRow("business 3-2-5") << biz << "1234567890"
                                    << "123-45-67890";
    QTest::newRow("business already dashed") << biz << "123-45-67890"
                                             << "123-45-67890";
    QTest::newRow("business wrongly dashed") << biz << "12-345-67890"
                                             << "123-45-67890";
    QTest::newRow("business 9 digits") << biz << "123456789"
                                       << "123456789";
    QTest::newRow("business 11 digits") << biz << "12345678901"
                                        << "12345678901";
    QTest::newRow("business letters") << biz << "12345abcde"
                                      << "12345abcde";

    QTest::newRow("seoul 9") << tel << "021234567"
                             << "02-123-4567";
    QTest::newRow("seoul 10") << tel << "0212345678"
                              << "02-1234-5678";
    QTest::newRow("seoul 8 too short") << tel << "02123456"
                                       << "02123456";
    QTest::newRow("seoul 11 too long") << tel << "02123456789"
                                       << "02123456789";
    QTest::newRow("gyeonggi 10") << tel << "0311234567"
                                 << "031-123-4567";
    QTest::newRow("gyeonggi 11") << tel << "03112345678"
                                 << "031-1234-5678";
    QTest::newRow("busan 10") << tel << "0511234567"
                              << "051-123-4567";
    QTest::newRow("sejong 11") << tel << "04412345678"
                               << "044-1234-5678";
    QTest::newRow("jeju 10") << tel << "0641234567"
                             << "064-123-4567";
    QTest::newRow("no such area 065") << tel << "0651234567"
                                      << "0651234567";
    QTest::newRow("mobile 010") << tel << "01012345678"
                                << "010-1234-5678";
    QTest::newRow("mobile 010 10 digits") << tel << "0101234567"
                                          << "010-123-4567";
    QTest::newRow("mobile 010 10 digits dashed") << tel << "010-1234-567"
                                                 << "010-123-4567";
    QTest::newRow("mobile 017 10") << tel << "0171234567"
                                   << "017-123-4567";
    QTest::newRow("mobile 018 10") << tel << "0181234567"
                                   << "018-123-4567";
    QTest::newRow("mobile 010 9 digits") << tel << "010123456"
                                         << "010123456";
    QTest::newRow("internet 070 10 digits") << tel << "0701234567"
                                            << "0701234567";
    QTest::newRow("mobile 011 10") << tel << "0111234567"
                                   << "011-123-4567";
    QTest::newRow("mobile 016 11") << tel << "01612345678"
                                   << "016-1234-5678";
    QTest::newRow("mobile 019 10") << tel << "0191234567"
                                   << "019-123-4567";
    QTest::newRow("internet 070") << tel << "07012345678"
                                  << "070-1234-5678";
    QTest::newRow("personal 0505 12") << tel << "050512345678"
                                      << "0505-1234-5678";
    QTest::newRow("personal 0502 11") << tel << "05021234567"
                                      << "0502-123-4567";
    QTest::newRow("0501 is no number") << tel << "050112345678"
                                       << "050112345678";
    QTest::newRow("free-phone 080 10") << tel << "0801234567"
                                       << "080-123-4567";
    QTest::newRow("free-phone 080 11") << tel << "08012345678"
                                       << "080-1234-5678";
    QTest::newRow("service 060 10") << tel << "0601234567"
                                    << "060-123-4567";
    QTest::newRow("080 too short") << tel << "080123456"
                                   << "080123456";
    QTest::newRow("representative 1588") << tel << "15881234"
                                         << "1588-1234";
    QTest::newRow("representative 1644") << tel << "16441234"
                                         << "1644-1234";
    QTest::newRow("representative 1899") << tel << "18991234"
                                         << "1899-1234";
    QTest::newRow("1388 is no number") << tel << "13881234"
                                       << "13881234";
    QTest::newRow("dashes renormalised") << tel << "010-123-45678"
                                         << "010-1234-5678";
    QTest::newRow("blanks renormalised") << tel << "02 1234 5678"
                                         << "02-1234-5678";
    QTest::newRow("empty") << tel << ""
                           << "";
    QTest::newRow("letters") << tel << "010-CALL-ME"
                             << "010-CALL-ME";
    QTest::newRow("korean text") << tel << "사무실 02-123-4567"
                                 << "사무실 02-123-4567";
    QTest::newRow("quote") << tel << "010'1234"
                           << "010'1234";
    QTest::newRow("too short") << tel << "1234"
                               << "1234";
    QTest::newRow("too long") << tel << "0101234567890"
                              << "0101234567890";
    QTest::newRow("only dashes") << tel << "---"
                                 << "---";
    QTest::newRow("fullwidth digits") << tel << "０１０１２３４５６７８"
                                      << "０１０１２３４５６７８";
    QTest::newRow("plain untouched") << plain << "01012345678"
                                     << "01012345678";
}

void TestTextFormat::format() {
    QFETCH(int, type);
    QFETCH(QString, stored);
    QFETCH(QString, shown);
    const QString result = FormatText(TextType(type), stored);
    QCOMPARE(result, shown);
    // Whatever the layout, the dashes are the only thing added: stripping them gives the digits.
    if (result != stored) {
        QString digits = stored;
        digits.remove(u'-').remove(u' ');
        QCOMPARE(QString(result).remove(u'-'), digits);
    }
    // Formatting what is shown changes nothing (boxes format again when they lose the focus).
    QCOMPARE(FormatText(TextType(type), result), result);
}

// Every prefix at every length the lists may meet, stored bare, dashed or with blanks: the
// shown text, stripped of its dashes, is the stored digits (a copied number dials the same).
void TestTextFormat::onlyDashesAreAdded_data() {
    QTest::addColumn<QString>("stored");
    const QStringList prefixes = {"02",   "031", "032", "033", "041", "042", "043",  "044",  "051",
                                  "052",  "053", "054", "055", "061", "062", "063",  "064",  "010",
                                  "011",  "016", "017", "018", "019", "070", "0502", "0505", "0508",
                                  "0501", "080", "060", "15",  "16",  "18",  "13",   "065",  "1"};
    const QString tail = QStringLiteral("98765432109876");
    for (const QString& prefix : prefixes) {
        for (int length = 7; length <= 13; ++length) {
            const QString digits = prefix + tail.left(length - prefix.size());
            QTest::addRow("%s bare %d", qPrintable(prefix), length) << digits;
            QString dashed = digits;
            dashed.insert(prefix.size(), u'-');
            QTest::addRow("%s dashed %d", qPrintable(prefix), length) << dashed;
            QString blanks = digits;
            blanks.insert(prefix.size(), u' ');
            QTest::addRow("%s blank %d", qPrintable(prefix), length) << blanks;
        }
    }
}

void TestTextFormat::onlyDashesAreAdded() {
    QFETCH(QString, stored);
    const QString shown = FormatPhone(stored);
    if (shown == stored) return; // left alone
    QString digits = stored;
    digits.remove(u'-').remove(u' ');
    QCOMPARE(QString(shown).remove(u'-'), digits);
    QVERIFY2(!shown.startsWith(u'-') && !shown.endsWith(u'-') && !shown.contains(QStringLiteral("--")),
             qPrintable(shown));
    QCOMPARE(FormatPhone(shown), shown);
}

DELMORA_TEST_MAIN(TestTextFormat)
#include "tst_textformat.moc"
