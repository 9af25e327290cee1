#include "accountstatements.h"
#include "sqltext.h"
#include <QStringList>
#include <limits>

namespace AccountSql {
namespace {
// "%text%" as a quoted literal.
QString Containing(const QString& text) {
    return Quote(QLatin1Char('%') + text + QLatin1Char('%'));
}

// Keys as the store reads them: "1,2,3".
QString KeyList(const QList<qint64>& keys) {
    QStringList texts;
    texts.reserve(keys.size());
    for (const qint64 id : keys)
        texts << QString::number(id);
    return texts.join(u',');
}

// An unpaid order is one whose 결제일 is empty, or NULL on a store this program did not create.
const QString Unpaid = QStringLiteral("isnull(결제일,'')=''");
const QString PaidOn = QStringLiteral("isnull(결제일,'')<>''");
const QString SettlementColumns = QStringLiteral(
    "select "
    "ID,일련번호,날짜,오더상태,작성아이디,작성회사명,차주아이디,차량번호,차주명,차주연락처,상차권역 , "
    "상차지, 하차권역, 하차지, 운송비, 수수료, 인수증날짜, 계산서날짜, 결제일,기록일시");
} // namespace

QString SettlementListStatement(const QString& from, const QString& to, const QString& search, Paid paid,
                                const QList<qint64>& only) {
    QString s = SettlementColumns;
    s += QStringLiteral(" From 뷰_화물오더 where 1=1");
    s += QStringLiteral(" and 날짜>=") + Quote(from);
    s += QStringLiteral(" and 날짜<=") + Quote(to);
    if (!search.isEmpty()) {
        s += QStringLiteral(" and (") + PhoneContains(QStringLiteral("차주연락처"), search) +
             QStringLiteral(" or 차주명 like ") + Containing(search) + QStringLiteral(" or 차량번호 like ") +
             Containing(search) + QLatin1Char(')');
    }
    if (!only.isEmpty()) s += QStringLiteral(" and ID in (") + KeyList(only) + QLatin1Char(')');
    s += QStringLiteral(" and (오더상태 = '배차완료' or 오더상태='운송완료')");
    if (paid != Paid::All) s += QStringLiteral(" and ") + (paid == Paid::Unpaid ? Unpaid : PaidOn);
    s += QStringLiteral(" order by 날짜,ID");
    return s;
}

QString SettlementRowsStatement(const QList<qint64>& orderIds) {
    return SettlementColumns + QStringLiteral(" From 뷰_화물오더 where ID in (") + KeyList(orderIds) +
           QLatin1Char(')');
}

QString MarkPaidStatement(qint64 orderId, const QString& day, const QString& shownStatus) {
    return QStringLiteral("update 화물오더 set 결제일=") + Quote(day) + QStringLiteral(" where ID=") +
           QString::number(orderId) + QStringLiteral(" and 오더상태=") + Quote(shownStatus) +
           QStringLiteral(" and ") + Unpaid;
}

QString ClearPaidStatement(qint64 orderId, const QString& shownStatus, const QString& shownPaid) {
    return QStringLiteral("update 화물오더 set 결제일='' where ID=") + QString::number(orderId) +
           QStringLiteral(" and 오더상태=") + Quote(shownStatus) + QStringLiteral(" and 결제일=") +
           Quote(shownPaid);
}

QString InvoiceListStatement(const QString& search) {
    QString s = QStringLiteral("select * from 뷰_세금계산서 where 1=1");
    // Any one of the three columns finds the invoice, as the search hint promises.
    if (!search.isEmpty()) {
        s += QStringLiteral(" and (") + PhoneContains(QStringLiteral("휴대전화"), search) +
             QStringLiteral(" or 기사명 like ") + Containing(search) + QStringLiteral(" or 차량번호 like ") +
             Containing(search) + QLatin1Char(')');
    }
    s += QStringLiteral(" order by ID ");
    return s;
}

QString InvoiceStatement(const QString& key) {
    return QStringLiteral("select * from 세금계산서 where ID=") + QString::number(KeyValue(key));
}

qint64 KeyValue(const QString& text) {
    const QString t = text.trimmed();
    qint64 value = 0;
    for (const QChar c : t) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) break;
        // A key too long for a number names no record.
        if (value > (std::numeric_limits<qint64>::max() - 9) / 10) return 0;
        value = value * 10 + (c.unicode() - '0');
    }
    return value;
}

} // namespace AccountSql
