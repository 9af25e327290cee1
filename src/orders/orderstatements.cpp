#include "orderstatements.h"

#include "orderderive.h"
#include "sqltext.h"

namespace OrderSql {

QString SearchCondition(const QString& search) {
    if (search.isEmpty()) return {};
    const QString like = Quote(QLatin1Char('%') + search + QLatin1Char('%'));
    return QStringLiteral(" and (차량번호 like ") + like + QStringLiteral(" or 차주명 like ") + like +
           QStringLiteral(" or 차주연락처 like ") + like + QStringLiteral(")");
}

QString StatusCondition(const std::array<bool, 7>& ticked) {
    bool any = false;
    for (bool t : ticked)
        any = any || t;
    if (!any) return {};
    QString sql = QStringLiteral(" and (");
    for (size_t i = 0; i < ticked.size(); ++i)
        if (ticked[i])
            sql += QStringLiteral(" 오더상태=") + Quote(OrderDerive::Statuses[i]) + QStringLiteral(" or");
    // The last "or" goes; the blank before it stays.
    if (sql.endsWith(QStringLiteral("or"))) sql.chop(2);
    return sql + QStringLiteral(")");
}

QString ListOrder() {
    return QStringLiteral(" order by 날짜 desc, 배차시간, 오더상태 ,ID desc");
}

QString OrderListStatement(const ListFilter& filter) {
    QString sql = QStringLiteral("select * from 뷰_화물오더콜센터 where 1=1");
    if (!filter.from.isEmpty() && !filter.to.isEmpty()) {
        sql += QStringLiteral(" and 날짜>=") + Quote(filter.from) + QStringLiteral(" and 날짜<=") +
               Quote(filter.to);
        sql += SearchCondition(filter.search);
    } else {
        sql += QStringLiteral(" and 날짜=") + Quote(filter.day);
    }
    return sql + StatusCondition(filter.ticked) + ListOrder();
}

QString InquiryListStatement(const InquiryFilter& filter) {
    return QStringLiteral("select * from 화물오더 where 1=1") + QStringLiteral(" and 날짜>=") +
           Quote(filter.from) + QStringLiteral(" and 날짜<=") + Quote(filter.to) +
           SearchCondition(filter.search) + StatusCondition(filter.ticked) + ListOrder();
}

QString ShipperLookupStatement(const QString& code) {
    return QStringLiteral("select * from 코드_화주 where 코드=") + Quote(code);
}

QString OrderByIdStatement(qint64 id) {
    return QStringLiteral("select * from 화물오더 where ID=") + QString::number(id);
}

QString AddressSearchText(const QString& typed) {
    return typed.trimmed().replace(QStringLiteral("전광주"), QStringLiteral("광주"));
}

QString AddressLookupStatement(const QString& searchText) {
    return QStringLiteral("select SIDO ,SIGUNGU , UPMYENDONG from 뷰_좌표주소 where ADDR like ") +
           Quote(QLatin1Char('%') + searchText + QLatin1Char('%')) +
           QStringLiteral(" group by SIDO, SIGUNGU, UPMYENDONG") +
           QStringLiteral(" order by SIGUNGU, UPMYENDONG, SIDO");
}

QString CancelOrderStatement(qint64 id) {
    return ExecBuilder(QStringLiteral("오더취소")).number(id);
}

QString CancelDispatchStatement(qint64 id) {
    return ExecBuilder(QStringLiteral("배차취소")).number(id);
}

namespace {
// Arguments 1 to 42 of 오더저장, which 오더수정 repeats after the order's ID.
void CommonArguments(ExecBuilder& b, const OrderEntry& e, const Broker& broker, const Shipper& s) {
    const QString none;
    const QString forklift = QStringLiteral("지게차");
    b.text(e.day)
        .text(QStringLiteral("접수"))
        .text(broker.id)
        .text(broker.name)
        .text(broker.name)
        .text(broker.phone);
    b.text(s.사업자번호).text(s.화주명).text(s.연락처);
    b.text(e.loadAt).text(e.상차권역).text(e.상차지).text(none).text(forklift).text(none).text(none);
    b.text(e.unloadAt).text(e.하차권역).text(e.하차지).text(none).text(forklift).text(none).text(none);
    b.text(e.희망톤수)
        .text(e.차종)
        .text(e.weight)
        .number(e.vehicles)
        .number(e.runKind)
        .text(e.제품정보)
        .text(none);
    b.number(e.fareKind).number(e.amount).number(0).text(none).text(e.화주코드);
    b.text(s.대표자).text(s.화주명).text(s.업태).text(s.종목).text(s.우편번호).text(s.주소1).text(s.주소2);
}
} // namespace

QString SaveOrderStatement(const OrderEntry& entry, const Broker& broker, const Shipper& shipper) {
    ExecBuilder b(QStringLiteral("오더저장"));
    CommonArguments(b, entry, broker, shipper);
    b.text({}).text({}).text({}).text(shipper.계산서담당).text(shipper.이메일);
    return b;
}

QString ModifyOrderStatement(qint64 id, const OrderEntry& entry, const Broker& broker,
                             const Shipper& shipper) {
    ExecBuilder b(QStringLiteral("오더수정"));
    b.number(id);
    CommonArguments(b, entry, broker, shipper);
    for (int i = 0; i < 9; ++i)
        b.text({});
    b.text(shipper.계산서담당).text(shipper.이메일);
    return b;
}

} // namespace OrderSql
