#include "simulate.h"
#include "pgstore.h"
#include <QDateTime>
#include <QThread>
#include <sqlite3.h>

namespace dstore {

namespace {

QByteArray quoted(QByteArrayView text) {
    QByteArray out = "'";
    for (const char c : text) {
        out += c;
        if (c == '\'') out += '\'';
    }
    return out + '\'';
}

QByteArray nowText() {
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toUtf8();
}
QByteArray todayText() {
    return QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")).toUtf8();
}

// The place as the board shows it: the first two words of the address.
QString shortPlace(QByteArrayView place) {
    const QStringList words = QString::fromUtf8(place).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    return words.mid(0, 2).join(QLatin1Char(' '));
}

QString lineFor(const char* what, qint64 id, const ResultSet& rows, qsizetype r, const QString& tail = {}) {
    const QString when = QDateTime::currentDateTime().toString(QStringLiteral("HH:mm:ss"));
    QString line = QStringLiteral("%1  %2  #%3  %4 → %5")
                       .arg(when, QString::fromUtf8(what))
                       .arg(id)
                       .arg(shortPlace(rows.bytes(r, rows.columnIndex("상차지"))),
                            shortPlace(rows.bytes(r, rows.columnIndex("하차지"))));
    if (!tail.isEmpty()) line += QStringLiteral("  ") + tail;
    return line;
}

// The 47 columns 오더저장 fills, in its argument order; bare arguments are numbers.
const char* const kOrderSaveColumns[] = {
    "날짜",           "오더상태",   "작성아이디", "작성회사명",     "작성자명",       "작성자연락처",
    "화주사업자번호", "화주명",     "화주연락처", "상차요청일시",   "상차권역",       "상차지",
    "상차지상세",     "상차방법",   "상차담당자", "상차담당연락처", "하차요청일시",   "하차권역",
    "하차지",         "하차지상세", "하차방법",   "하차담당자",     "하차담당연락처", "희망톤수",
    "희망차종",       "화물중량",   "차량대수",   "적재구분",       "화물정보1",      "화물정보2",
    "운임구분",       "운송비",     "수수료",     "비고",           "화주코드",       "화주대표자",
    "화주상호",       "화주업태",   "화주종목",   "화주우편번호",   "화주주소1",      "화주주소2",
    "예비1",          "예비2",      "예비3",      "화주계산서담당", "화주이메일"};
bool isBareArgument(int index) {
    return index == 26 || index == 27 || index == 30 || index == 31 || index == 32;
}

} // namespace

namespace {
class FileLink final : public OfficeLink {
public:
    explicit FileLink(FreightStore& store) : m_store(store) {}
    std::shared_ptr<const ResultSet> query(const QByteArray& sql) override { return m_store.query(sql); }
    int execute(const QByteArray& sql) override {
        m_store.execute(sql);
        return sqlite3_changes(m_store.handle());
    }
    qint64 lastOrderId() override { return sqlite3_last_insert_rowid(m_store.handle()); }

private:
    FreightStore& m_store;
};

class ServerLink final : public OfficeLink {
public:
    explicit ServerLink(PgStore& store) : m_store(store) {}
    std::shared_ptr<const ResultSet> query(const QByteArray& sql) override { return m_store.query(sql); }
    int execute(const QByteArray& sql) override {
        m_store.execute(sql);
        return m_store.changedRows();
    }
    // The order table's key sequence as this session last advanced it.
    qint64 lastOrderId() override {
        const auto rows = m_store.query("select currval(pg_get_serial_sequence('화물오더', 'id'))");
        return rows->rowCount() ? rows->bytes(0, 0).toByteArray().toLongLong() : 0;
    }

private:
    PgStore& m_store;
};
} // namespace

OfficeSimulator::OfficeSimulator(FreightStore& store, quint32 seed)
    : m_link(std::make_unique<FileLink>(store)), m_state(0x9E3779B97F4A7C15ull ^ seed) {}

OfficeSimulator::OfficeSimulator(PgStore& store, quint32 seed)
    : m_link(std::make_unique<ServerLink>(store)), m_state(0x9E3779B97F4A7C15ull ^ seed) {}

quint32 OfficeSimulator::next() {
    // xorshift64*: deterministic per seed, enough for choosing events and rows.
    m_state ^= m_state >> 12;
    m_state ^= m_state << 25;
    m_state ^= m_state >> 27;
    return quint32((m_state * 2685821657736338717ull) >> 32);
}

std::shared_ptr<const ResultSet> OfficeSimulator::query(const QByteArray& sql) {
    for (int attempt = 0;; ++attempt) {
        try {
            return m_link->query(sql);
        } catch (const Error& e) {
            if (e.number != DB_E_TIMEOUT || attempt >= 4) throw;
            QThread::msleep(50);
        }
    }
}

int OfficeSimulator::execute(const QByteArray& sql) {
    for (int attempt = 0;; ++attempt) {
        try {
            return m_link->execute(sql);
        } catch (const Error& e) {
            if (e.number != DB_E_TIMEOUT || attempt >= 4) throw;
            QThread::msleep(50);
        }
    }
}

std::optional<OfficeEvent> OfficeSimulator::step() {
    // Weighted like a working day: most events are dispatches and deliveries.
    static const OfficeEventKind order[] = {OfficeEventKind::Dispatch, OfficeEventKind::Delivery,
                                            OfficeEventKind::Invoice, OfficeEventKind::Settlement,
                                            OfficeEventKind::NewOrder};
    static const int weights[] = {35, 25, 15, 10, 15};
    int pick = below(100), first = 0;
    while (pick >= weights[first])
        pick -= weights[first++];
    OfficeEvent event{};
    for (int i = 0; i < 5; ++i)
        if (tryEvent(order[(first + i) % 5], event)) return event;
    return std::nullopt;
}

bool OfficeSimulator::tryEvent(OfficeEventKind kind, OfficeEvent& out) {
    out.kind = kind;
    switch (kind) {
    case OfficeEventKind::Dispatch:
        return dispatch(out);
    case OfficeEventKind::Delivery:
        return deliver(out);
    case OfficeEventKind::Invoice:
        return invoice(out);
    case OfficeEventKind::Settlement:
        return settle(out);
    case OfficeEventKind::NewOrder:
        return newOrder(out);
    }
    return false;
}

// A member whose vehicle is what the order asked for takes a 접수 order.
bool OfficeSimulator::dispatch(OfficeEvent& out) {
    const auto orders =
        query("select ID, 희망톤수, 희망차종, 상차지, 하차지 from 화물오더 where 오더상태 = '접수' "
              "order by 날짜 desc, ID desc limit 40");
    const qsizetype n = orders->rowCount();
    const qsizetype start = below(int(n));
    for (qsizetype k = 0; k < n; ++k) {
        const qsizetype r = (start + k) % n;
        const QByteArray id = orders->bytes(r, 0).toByteArray();
        const auto owners = query("select 아이디, 기사명, 휴대전화, 차량번호, 차종, 톤수, 길이, 길이2 from "
                                  "코드_차주 where 톤수 = " +
                                  quoted(orders->bytes(r, 1)) + " and 차종 = " + quoted(orders->bytes(r, 2)) +
                                  " order by ID limit 50");
        if (owners->rowCount() == 0) continue;
        const qsizetype o = below(int(owners->rowCount()));
        auto cell = [&](int c) { return quoted(owners->bytes(o, c)); };
        const int changed =
            execute("update 화물오더 set 오더상태 = '배차완료', 배차시간 = " + quoted(nowText()) +
                    ", 차주아이디 = " + cell(0) + ", 차주명 = " + cell(1) + ", 차주연락처 = " + cell(2) +
                    ", 차량번호 = " + cell(3) + ", 차량정보 = " + cell(4) + ", 차량톤수 = " + cell(5) +
                    ", 차량길이 = " + cell(6) + ", 차량길이2 = " + cell(7) +
                    ", 수정일시 = " + quoted(nowText()) + " where ID = " + id + " and 오더상태 = '접수'");
        if (changed != 1) continue; // an agent cancelled or changed it meanwhile
        out.orderId = id.toLongLong();
        out.line =
            lineFor("배차완료", out.orderId, *orders, r,
                    QStringLiteral("%1 %2 (%3 %4)")
                        .arg(owners->text(o, 1), owners->text(o, 3), owners->text(o, 5), owners->text(o, 4)));
        return true;
    }
    return false;
}

bool OfficeSimulator::deliver(OfficeEvent& out) {
    // Delivered once it was due to be loaded; the receipt is dated today.
    const auto rows =
        query("select ID, 상차지, 하차지 from 화물오더 where 오더상태 = '배차완료' and 상차요청일시 <= " +
              quoted(nowText()) + " order by 상차요청일시, ID limit 20");
    for (qsizetype r = 0; r < rows->rowCount(); ++r) {
        const QByteArray id = rows->bytes(r, 0).toByteArray();
        if (execute("update 화물오더 set 오더상태 = '운송완료', 인수증날짜 = " + quoted(todayText()) +
                    ", 수정일시 = " + quoted(nowText()) + " where ID = " + id +
                    " and 오더상태 = '배차완료'") != 1)
            continue;
        out.orderId = id.toLongLong();
        out.line = lineFor("운송완료", out.orderId, *rows, r);
        return true;
    }
    return false;
}

// The member who carried the load issues the tax invoice for its fare.
bool OfficeSimulator::invoice(OfficeEvent& out) {
    const auto rows = query("select o.ID, o.상차지, o.하차지, o.상차권역, o.하차권역, o.운송비, o.차주명, "
                            "o.차주연락처, o.차량번호, "
                            "c.사업자번호, c.회사명, c.대표자, c.주소1, c.주소2, c.이메일, b.사업자번호, "
                            "b.주선사명, b.대표자, b.주소1, b.주소2, "
                            "b.아이디 from 화물오더 o left join 코드_차주 c on c.아이디 = o.차주아이디 and "
                            "c.휴대전화 = o.차주연락처 "
                            "left join 코드_주선사 b on b.아이디 = o.작성아이디 where o.오더상태 = "
                            "'운송완료' order by o.인수증날짜, o.ID limit 20");
    for (qsizetype r = 0; r < rows->rowCount(); ++r) {
        const QByteArray id = rows->bytes(r, 0).toByteArray();
        if (execute("update 화물오더 set 오더상태 = '계산서', 계산서날짜 = " + quoted(todayText()) +
                    ", 수정일시 = " + quoted(nowText()) + " where ID = " + id +
                    " and 오더상태 = '운송완료'") != 1)
            continue;
        auto cell = [&](int c) { return quoted(rows->bytes(r, c)); };
        const qint64 fare = rows->bytes(r, 5).toByteArray().toLongLong();
        const QByteArray tax = QByteArray::number(fare / 10);
        const QByteArray today = todayText();
        const QByteArray approval = QByteArray(today).replace('-', "") + "-41000" +
                                    QByteArray::number(100 + below(900)) + "-" +
                                    QByteArray::number(10000000 + below(90000000));
        const QByteArray item =
            "운송료(" + rows->bytes(r, 3).toByteArray() + "→" + rows->bytes(r, 4).toByteArray() + ")";
        execute("insert into 세금계산서 (오더ID, 작성일자, 발행일시, 공급가액, 세액, 공급자사업자번호, "
                "공급자상호, 공급자대표자, "
                "공급자주소, 공급자업태, 공급자종목, 받는자사업자번호, 받는자상호, 받는자대표자, 받는자주소, "
                "받는자업태, "
                "받는자종목, 받는자이메일, 품목일자1, 품목명1, 공급가액1, 세액1, 기사명, 휴대전화, 차량번호, "
                "이메일, 승인번호, "
                "niceStatus, DocStatus) values (" +
                id + ", " + quoted(today) + ", " + quoted(nowText()) + ", " +
                quoted(QByteArray::number(fare)) + ", " + quoted(tax) + ", " + cell(9) + ", " + cell(10) +
                ", " + cell(11) + ", " +
                quoted(rows->bytes(r, 12).toByteArray() + ' ' + rows->bytes(r, 13).toByteArray()) +
                ", '운수업', '화물운송', " + cell(15) + ", " + cell(16) + ", " + cell(17) + ", " +
                quoted(rows->bytes(r, 18).toByteArray() + ' ' + rows->bytes(r, 19).toByteArray()) +
                ", '서비스', '화물주선', " + quoted(rows->bytes(r, 20).toByteArray() + "@delmora.co.kr") +
                ", " + quoted(today.mid(5)) + ", " + quoted(item) + ", " + quoted(QByteArray::number(fare)) +
                ", " + quoted(tax) + ", " + cell(6) + ", " + cell(7) + ", " + cell(8) + ", " + cell(14) +
                ", " + quoted(approval) + ", '발행완료', '신고대기')");
        out.orderId = id.toLongLong();
        out.line = lineFor("계산서", out.orderId, *rows, r, QStringLiteral("%1원").arg(fare + fare / 10));
        return true;
    }
    return false;
}

// The back office closes an invoiced order.
bool OfficeSimulator::settle(OfficeEvent& out) {
    const auto rows = query(
        "select ID, 상차지, 하차지 from 화물오더 where 오더상태 = '계산서' order by 계산서날짜, ID limit 20");
    for (qsizetype r = 0; r < rows->rowCount(); ++r) {
        const QByteArray id = rows->bytes(r, 0).toByteArray();
        if (execute("update 화물오더 set 오더상태 = '정산완료', 수정일시 = " + quoted(nowText()) +
                    " where ID = " + id + " and 오더상태 = '계산서'") != 1)
            continue;
        out.orderId = id.toLongLong();
        out.line = lineFor("정산완료", out.orderId, *rows, r);
        return true;
    }
    return false;
}

// Another broker takes a call: an order like one of the recent ones, for today, through the
// same procedure the board uses.
bool OfficeSimulator::newOrder(OfficeEvent& out) {
    QByteArray columns;
    for (const char* c : kOrderSaveColumns)
        columns += QByteArray(columns.isEmpty() ? "" : ", ") + c;
    const auto templates = query("select " + columns + " from 화물오더 order by ID desc limit 200");
    const auto brokers = query("select 아이디, 주선사명, 연락처 from 코드_주선사 order by ID");
    if (templates->rowCount() == 0 || brokers->rowCount() == 0) return false;
    const qsizetype t = below(int(templates->rowCount()));
    const qsizetype b = below(int(brokers->rowCount()));

    const QDateTime now = QDateTime::currentDateTime();
    const QDateTime load = now.addSecs(3600 * (2 + below(5)));
    const QDateTime unload = load.addSecs(3600 * (2 + below(4)));
    auto halfHour = [](const QDateTime& d) {
        return d.toString(QStringLiteral("yyyy-MM-dd HH:")).toUtf8() + (d.time().minute() < 30 ? "00" : "30");
    };
    QByteArray statement = "exec 오더저장 ";
    for (int i = 0; i < int(std::size(kOrderSaveColumns)); ++i) {
        QByteArray value = templates->bytes(t, i).toByteArray();
        switch (i) {
        case 0:
            value = todayText();
            break;
        case 1:
            value = "접수";
            break;
        case 2:
            value = brokers->bytes(b, 0).toByteArray();
            break;
        case 3:
        case 4:
            value = brokers->bytes(b, 1).toByteArray();
            break;
        case 5:
            value = brokers->bytes(b, 2).toByteArray();
            break;
        case 9:
            value = halfHour(load);
            break;
        case 16:
            value = halfHour(unload);
            break;
        case 32:
            value = "0";
            break;
        default:
            break;
        }
        if (i) statement += ',';
        if (isBareArgument(i)) {
            bool number = false;
            value.toLongLong(&number);
            statement += number ? value : QByteArray("0");
        } else {
            statement += quoted(value);
        }
    }
    execute(statement);
    // This connection's own insert, whoever else is registering orders at the same moment.
    const qint64 addedId = m_link->lastOrderId();
    const auto added =
        query("select ID, 상차지, 하차지 from 화물오더 where ID = " + QByteArray::number(addedId));
    if (added->rowCount() == 0) return false;
    out.orderId = added->bytes(0, 0).toByteArray().toLongLong();
    out.line = lineFor("신규접수", out.orderId, *added, 0, brokers->text(b, 1));
    return true;
}

} // namespace dstore
