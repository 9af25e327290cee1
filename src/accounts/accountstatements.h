#pragma once
// Every statement the settlement and tax-invoice screens send, built in one place each. Typed
// texts go through Quote, keys are written as plain decimal numbers, so nothing a user types
// can end a literal or add statement text of its own.
#include <QList>
#include <QString>

namespace AccountSql {

// Which orders the settlement list shows by their payment (결제일).
enum class Paid { All, Unpaid, PaidOnly };
// The dispatched and delivered orders of a period (dates "yyyy-mm-dd", both inclusive). A
// search text finds an order by its driver's phone, name or vehicle number.
// With keys, only those orders of the list (those another desk just wrote).
QString SettlementListStatement(const QString& from, const QString& to, const QString& search = {},
                                Paid paid = Paid::All, const QList<qint64>& only = {});
// The same columns for the listed orders with these keys, as the store holds them now.
QString SettlementRowsStatement(const QList<qint64>& orderIds);
// Marks one order's freight as paid on that day ("yyyy-mm-dd"), or takes the mark back. Each
// states the status (and, clearing, the payment date) the desk showed, so an order cancelled,
// paid or cleared at another desk in the meantime is left as it is: the store then reports no
// changed row. Marking never replaces a payment date that is set.
QString MarkPaidStatement(qint64 orderId, const QString& day, const QString& shownStatus);
QString ClearPaidStatement(qint64 orderId, const QString& shownStatus, const QString& shownPaid);
// Every invoice, oldest first; a search text finds one by phone, driver name or vehicle number.
QString InvoiceListStatement(const QString& search = {});
// One invoice by its key, as the hand-over text carries it (not a number reads as key 0).
QString InvoiceStatement(const QString& key);

// The numeric value of a stored or handed-over key: leading blanks skipped, then the digits
// up to the first other character; 0 when there are none.
qint64 KeyValue(const QString& text);

} // namespace AccountSql
