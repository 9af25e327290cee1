#include "orderstatements.h"

#include <QDate>
#include <QLocale>
#include <QStringList>

#include "orderderive.h"
#include "sqltext.h"

namespace OrderSql {

QString SearchCondition(const QString& search) {
    if (search.isEmpty()) return {};
    const QString like = Quote(QLatin1Char('%') + search + QLatin1Char('%'));
    return QStringLiteral(" and (차량번호 like ") + like + QStringLiteral(" or 차주명 like ") + like +
           QStringLiteral(" or ") + PhoneContains(QStringLiteral("차주연락처"), search) + QStringLiteral(")");
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

QString KeysCondition(const std::vector<qint64>& keys) {
    if (keys.empty()) return {};
    QStringList texts;
    for (qint64 id : keys)
        texts << QString::number(id);
    return QStringLiteral(" and ID in (") + texts.join(QLatin1Char(',')) + QLatin1Char(')');
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
    return sql + KeysCondition(filter.only) + StatusCondition(filter.ticked) + ListOrder();
}

QString InquiryListStatement(const InquiryFilter& filter) {
    return QStringLiteral("select * from 화물오더 where 1=1") + QStringLiteral(" and 날짜>=") +
           Quote(filter.from) + QStringLiteral(" and 날짜<=") + Quote(filter.to) +
           SearchCondition(filter.search) + KeysCondition(filter.only) + StatusCondition(filter.ticked) +
           ListOrder();
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

QString CancelOrderStatement(qint64 id, const std::optional<QString>& shownStatus) {
    ExecBuilder b(QStringLiteral("오더취소"));
    b.number(id);
    if (shownStatus) b.text(*shownStatus);
    return b;
}

QString CancelDispatchStatement(qint64 id, const std::optional<QString>& shownStatus) {
    ExecBuilder b(QStringLiteral("배차취소"));
    b.number(id);
    if (shownStatus) b.text(*shownStatus);
    return b;
}

QString OrderHistoryStatement(qint64 orderId) {
    return QStringLiteral("select 일시, 누가, 항목, 이전값, 새값, 방법 from 화물오더이력 where 오더ID=") +
           QString::number(orderId) + QStringLiteral(" order by ID desc");
}

QString ShipperLanesStatement(const QString& code, const QString& boardDay) {
    const QDate day = QDate::fromString(boardDay, QStringLiteral("yyyy-MM-dd"));
    const QString from = day.addDays(-(LaneDays - 1)).toString(QStringLiteral("yyyy-MM-dd"));
    // Grouped on the shipper's own index entries; only the lanes offered are looked up in the table.
    return QStringLiteral("select o.상차권역, o.상차지, o.하차권역, o.하차지, o.희망톤수, o.희망차종, o.운송비, "
                          "g.횟수, g.최근ID from (select max(ID) as 최근ID, count(*) as 횟수 from 화물오더 "
                          "where 화주코드=") +
           Quote(code) + QStringLiteral(" and 날짜>=") + Quote(from) + QStringLiteral(" and 날짜<=") +
           Quote(boardDay) +
           QStringLiteral(" and 오더상태<>'취소' group by 상차권역, 상차지, 하차권역, 하차지, 희망톤수, 희망차종 "
                          "order by 횟수 desc, 최근ID desc limit ") +
           QString::number(LanesOffered) +
           QStringLiteral(") g join 화물오더 o on o.ID=g.최근ID order by g.횟수 desc, g.최근ID desc");
}

QString RequestKeyLookupStatement(const QString& requestKey) {
    return QStringLiteral("select ID from 화물오더 where 요청키=") + Quote(requestKey);
}

namespace {
// Arguments 1 to 42 of 오더저장, which 오더수정 repeats after the order's ID.
void CommonArguments(ExecBuilder& b, const OrderEntry& e, const Broker& broker, const Shipper& s) {
    b.text(e.day)
        .text(QStringLiteral("접수"))
        .text(broker.id)
        .text(broker.name)
        .text(broker.writer.value_or(broker.name))
        .text(broker.phone);
    b.text(s.사업자번호).text(s.화주명).text(s.연락처);
    b.text(e.loadAt).text(e.상차권역).text(e.상차지).text(e.상차지상세).text(e.상차방법);
    b.text(e.상차담당자).text(e.상차담당연락처);
    b.text(e.unloadAt).text(e.하차권역).text(e.하차지).text(e.하차지상세).text(e.하차방법);
    b.text(e.하차담당자).text(e.하차담당연락처);
    b.text(e.희망톤수)
        .text(e.차종)
        .text(e.weight)
        .number(e.vehicles)
        .number(e.runKind)
        .text(e.제품정보)
        .text(e.화물정보2);
    b.number(e.fareKind).number(e.amount).number(e.수수료).text(e.비고).text(e.화주코드);
    b.text(s.대표자).text(s.상호.value_or(s.화주명)).text(s.업태).text(s.종목).text(s.우편번호);
    b.text(s.주소1).text(s.주소2);
    b.text(e.예비1).text(e.예비2).text(e.예비3);
}
qint64 Whole(const QString& text) {
    return qint64(OrderDerive::AmountValue(text));
}
} // namespace

QString SaveOrderStatement(const OrderEntry& entry, const Broker& broker, const Shipper& shipper,
                           const QString& requestKey) {
    ExecBuilder b(QStringLiteral("오더저장"));
    CommonArguments(b, entry, broker, shipper);
    b.text(shipper.계산서담당).text(shipper.이메일);
    if (!requestKey.isEmpty()) b.text(requestKey);
    return b;
}

QString ModifyOrderStatement(qint64 id, const OrderEntry& entry, const Broker& broker, const Shipper& shipper,
                             std::optional<qint64> shownVersion) {
    ExecBuilder b(QStringLiteral("오더수정"));
    b.number(id);
    CommonArguments(b, entry, broker, shipper);
    // Six texts the store does not keep.
    for (int i = 0; i < 6; ++i)
        b.text({});
    b.text(shipper.계산서담당).text(shipper.이메일);
    if (shownVersion) b.number(*shownVersion);
    return b;
}

OrderEntry StoredEntry(const FieldReader& field) {
    auto f = [&](const char* column) { return field(QString::fromUtf8(column)); };
    OrderEntry e;
    e.day = f("날짜");
    e.loadAt = f("상차요청일시");
    e.상차권역 = f("상차권역");
    e.상차지 = f("상차지");
    e.상차지상세 = f("상차지상세");
    e.상차방법 = f("상차방법");
    e.상차담당자 = f("상차담당자");
    e.상차담당연락처 = f("상차담당연락처");
    e.unloadAt = f("하차요청일시");
    e.하차권역 = f("하차권역");
    e.하차지 = f("하차지");
    e.하차지상세 = f("하차지상세");
    e.하차방법 = f("하차방법");
    e.하차담당자 = f("하차담당자");
    e.하차담당연락처 = f("하차담당연락처");
    e.희망톤수 = f("희망톤수");
    e.차종 = f("희망차종");
    e.weight = f("화물중량");
    e.vehicles = Whole(f("차량대수"));
    e.runKind = int(Whole(f("적재구분")));
    e.제품정보 = f("화물정보1");
    e.화물정보2 = f("화물정보2");
    e.fareKind = int(Whole(f("운임구분")));
    e.amount = Whole(f("운송비"));
    e.수수료 = Whole(f("수수료"));
    e.비고 = f("비고");
    e.화주코드 = f("화주코드");
    e.예비1 = f("예비1");
    e.예비2 = f("예비2");
    e.예비3 = f("예비3");
    return e;
}

Broker StoredWriter(const FieldReader& field) {
    return {field(QStringLiteral("작성아이디")), field(QStringLiteral("작성회사명")),
            field(QStringLiteral("작성자연락처")), field(QStringLiteral("작성자명"))};
}

namespace {
// Where each shipper detail lives: in the shipper master, and as an order keeps its copy.
struct ShipperColumn {
    QString Shipper::*member;
    const char* master;
    const char* order;
};
const ShipperColumn kShipperColumns[] = {
    {&Shipper::사업자번호, "사업자번호", "화주사업자번호"},
    {&Shipper::화주명, "화주명", "화주명"},
    {&Shipper::연락처, "연락처", "화주연락처"},
    {&Shipper::대표자, "대표자", "화주대표자"},
    {&Shipper::업태, "업태", "화주업태"},
    {&Shipper::종목, "종목", "화주종목"},
    {&Shipper::우편번호, "우편번호", "화주우편번호"},
    {&Shipper::주소1, "주소1", "화주주소1"},
    {&Shipper::주소2, "주소2", "화주주소2"},
    {&Shipper::계산서담당, "계산서담당", "화주계산서담당"},
    {&Shipper::이메일, "이메일", "화주이메일"},
};
} // namespace

Shipper MasterShipper(const FieldReader& field) {
    Shipper s;
    for (const ShipperColumn& c : kShipperColumns)
        s.*c.member = field(QString::fromUtf8(c.master)).trimmed();
    return s;
}

Shipper StoredShipper(const FieldReader& field) {
    Shipper s;
    for (const ShipperColumn& c : kShipperColumns)
        s.*c.member = field(QString::fromUtf8(c.order));
    s.상호 = field(QStringLiteral("화주상호"));
    return s;
}

namespace {
// Every value the entry panel shows, with its caption: what a modify may change and what a
// conflict names. The visitor is called with the caption and a pointer to the member.
template <class F> void ForEachPanelField(F&& f) {
    f("상차일시", &OrderEntry::loadAt);
    f("상차권역", &OrderEntry::상차권역);
    f("상차지", &OrderEntry::상차지);
    f("하차일시", &OrderEntry::unloadAt);
    f("하차권역", &OrderEntry::하차권역);
    f("하차지", &OrderEntry::하차지);
    f("희망톤수", &OrderEntry::희망톤수);
    f("차종", &OrderEntry::차종);
    f("화물중량", &OrderEntry::weight);
    f("댓수", &OrderEntry::vehicles);
    f("운행방법", &OrderEntry::runKind);
    f("제품정보", &OrderEntry::제품정보);
    f("운임형태", &OrderEntry::fareKind);
    f("금액", &OrderEntry::amount);
    f("화주코드", &OrderEntry::화주코드);
}

QString ShownValue(const char* caption, const QString& v) {
    Q_UNUSED(caption);
    return v;
}
QString ShownValue(const char* caption, qint64 v) {
    const QString name = QString::fromUtf8(caption);
    if (name == QStringLiteral("운행방법")) {
        const QStringList kinds{QStringLiteral("독차"), QStringLiteral("혼적"), QStringLiteral("왕복")};
        return v >= 1 && v <= 3 ? kinds[int(v - 1)] : QString::number(v);
    }
    if (name == QStringLiteral("운임형태")) return v == 1 ? QStringLiteral("인수증") : QStringLiteral("선착불");
    if (name == QStringLiteral("금액")) return QLocale(QLocale::Korean).toString(v);
    return QString::number(v);
}
QString ShownValue(const char* caption, int v) {
    return ShownValue(caption, qint64(v));
}
} // namespace

OrderEntry KeepUnchanged(const OrderEntry& stored, const OrderEntry* shown, const OrderEntry& now) {
    // The order keeps its own date: the panel has no box for it, the board's day is not it.
    OrderEntry out = stored;
    // Without a shown state the panel holds only what the agent typed: every field counts.
    const OrderEntry& before = shown ? *shown : stored;
    ForEachPanelField([&](const char*, auto member) {
        if (!shown || now.*member != before.*member) out.*member = now.*member;
    });
    return out;
}

std::vector<FieldConflict> Conflicts(const OrderEntry& storedAsShown, const OrderEntry& storedNow,
                                     const OrderEntry& panelAsShown, const OrderEntry& panelNow) {
    std::vector<FieldConflict> out;
    ForEachPanelField([&](const char* caption, auto member) {
        if (panelNow.*member == panelAsShown.*member || storedNow.*member == storedAsShown.*member) return;
        // Both desks may have typed the same value: nothing is lost then.
        if (panelNow.*member == storedNow.*member) return;
        out.push_back({QString::fromUtf8(caption), ShownValue(caption, storedAsShown.*member),
                       ShownValue(caption, storedNow.*member), ShownValue(caption, panelNow.*member)});
    });
    return out;
}

QString ConflictQuestion(const std::vector<FieldConflict>& conflicts) {
    QString text = QStringLiteral("이 오더를 보고 있는 동안 다른 곳에서 같은 항목을 바꾸었습니다.\n");
    auto quoted = [](const QString& v) { return v.isEmpty() ? QStringLiteral("(없음)") : v; };
    for (const FieldConflict& c : conflicts)
        text += QStringLiteral("\n%1: 보일 때 %2 → 지금 저장된 값 %3 → 입력한 값 %4")
                    .arg(c.caption, quoted(c.shown), quoted(c.stored), quoted(c.typed));
    return text + QStringLiteral("\n\n입력한 값으로 바꾸시겠습니까?");
}

QString StatusMovedText(const QString& shown, const QString& now) {
    return QStringLiteral("이 오더는 화면에 보인 뒤 다른 곳에서 '%1'에서 '%2'(으)로 바뀌었습니다.")
        .arg(shown.trimmed(), now.trimmed());
}

} // namespace OrderSql
