#pragma once
// The figures under the settlement list: how many orders and how much freight (운송비) the list
// shows, the selection covers and is still unpaid, and how a paid row looks.
#include <QByteArrayView>
#include <QColor>
#include <QString>
#include <QStringList>

namespace SettlementSums {

// What one listed order adds to the sums.
struct Figures {
    qint64 won = 0;
    bool paid = false;
};
// From a row's texts as the list makes them (운송비 as stored or grouped, 결제일 "" when unpaid).
Figures Of(const QString& freight, const QString& paidOn);
// The same from the stored bytes: a whole amount is read without making texts of it.
Figures Of(QByteArrayView freight, QByteArrayView paidOn);

struct Sum {
    int count = 0;
    qint64 won = 0;
    void add(const Figures& f) {
        ++count;
        won += f.won;
    }
};
// "12건 · 3,450,000원"
QString Text(const Sum& sum);

// The background of a paid row: pale enough that every status ink stays readable on it.
QColor PaidTint();

} // namespace SettlementSums
