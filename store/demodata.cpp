// Deterministic demo data: the same seed and the same today always give the same store. The
// generator is our own (splitmix64) so the data does not change with the C++ library.
#include "demonames.h"
#include "demotarget.h"
#include "storeinternal.h"

#include <QHash>
#include <QSet>
#include <algorithm>

namespace dstore {

using namespace detail;
using namespace demo;

namespace {

class Random {
public:
    explicit Random(quint64 seed) : m_state(seed * 0x9E3779B97F4A7C15ull + 0x2545F4914F6CDD1Dull) {}
    quint64 next() {
        quint64 z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int below(int n) { return n <= 0 ? 0 : int(next() % quint64(n)); }
    int between(int lo, int hi) { return lo + below(hi - lo + 1); }
    bool chance(int percent) { return below(100) < percent; }
    template <typename T> const T& pick(const T* items, std::size_t count) { return items[below(int(count))]; }
    QByteArray digits(int count) {
        QByteArray s;
        for (int i = 0; i < count; ++i) s += char('0' + below(10));
        return s;
    }

private:
    quint64 m_state;
};

const char* const kStatuses[] = {"접수", "미처리", "배차완료", "운송완료", "계산서", "정산완료", "취소"};

struct Broker {
    const char* id;
    const char* password;
    const char* name;
    const char* owner;
    int town;
};
// demo signs in for the first time with an empty password, so the first sign-in sets one.
const Broker kBrokers[] = {
    {"demo", "", "델모라콜센터", "김영수", 0},      {"hanul", "hanul1234", "한울물류", "이성호", 40},
    {"daesung", "ds2024", "대성로지스", "박동현", 120}, {"serim", "serim77", "세림운수", "최재훈", 230},
    {"dongjin", "dj5678", "동진화물", "정광수", 300},  {"woori", "woori0101", "우리주선", "한미영", 10},
};

QByteArray areaCode(const char* sido) {
    static const struct { const char* sido; const char* code; } codes[] = {
        {"서울", "02"},  {"경기", "031"}, {"인천", "032"}, {"충북", "043"}, {"충남", "041"}, {"전북", "063"},
        {"전남", "061"}, {"광주", "062"}, {"경북", "054"}, {"경남", "055"}, {"강원", "033"}, {"대전", "042"},
        {"세종", "044"}, {"대구", "053"}, {"울산", "052"}, {"부산", "051"}, {"제주", "064"}};
    for (const auto& c : codes)
        if (qstrcmp(c.sido, sido) == 0) return c.code;
    return "02";
}

QByteArray townText(const Town& t) { return QByteArray(t.sido) + ' ' + t.sigungu + ' ' + t.upmyendong; }

// Tonnages and body kinds are those the screens offer in their lists (the vehicle owner
// pop-up, the board's entry panel), so that opening a demo record and saving it again keeps
// every value; a kind only goes with the tonnages it is built in (no 25톤 다마스).
struct Tonnage {
    const char* tons;
    const char* lengths[3];
    int baseFare;            // won, before distance
    const char* kinds[5];    // weighted; nullptr ends the list
};
const Tonnage kTonnages[] = {
    {"1톤", {"2.8", "2.8", "3.1"}, 80000, {"카고", "카고", "롤업", "다마스"}},
    {"3.5톤", {"4.6", "5.0", "5.2"}, 150000, {"윙바디", "윙바디", "카고", "롤업"}},
    {"5톤", {"6.2", "7.5", "8.5"}, 250000, {"윙바디", "윙바디", "윙바디", "카고", "롤업"}},
    {"11톤", {"9.1", "9.6", "10.1"}, 400000, {"윙바디", "윙바디", "윙바디", "카고"}},
    {"25톤", {"10.1", "10.2", "10.2"}, 650000, {"윙바디", "윙바디", "카고"}},
};

struct Owner {
    QByteArray broker, phone, name, plate, kind, tons, length, length2, email, firm, business, address1, address2;
    int tonnage;
};

// A broker's row as written, for the orders and invoices that name it.
struct BrokerRow {
    QByteArray phone, business, address1, address2;
};

struct Shipper {
    QByteArray code, name, phone, firm, ceo, business, kindOfBusiness, item, postcode, address1, address2, contact, email;
};

// The embedded store's side of the demo target: one prepared insert per table.
class SqliteDemoTable final : public DemoTable {
public:
    SqliteDemoTable(sqlite3* db, const char* table, const std::vector<const char*>& columns)
        : m_db(db), m_count(int(columns.size())) {
        QByteArray sql = QByteArray("insert into ") + table + " (";
        QByteArray marks;
        for (size_t i = 0; i < columns.size(); ++i) {
            sql += (i ? ", " : "") + QByteArray(columns[i]);
            marks += (i ? ", ?" : "?");
        }
        m_stmt = Statement(db, sql + ") values (" + marks + ")");
    }
    qint64 insert(const std::vector<QByteArray>& values) override {
        Q_ASSERT(int(values.size()) == m_count);
        for (int i = 0; i < m_count; ++i) {
            const QByteArray& v = values[size_t(i)];
            if (v.isNull())
                sqlite3_bind_null(m_stmt.get(), i + 1);
            else
                sqlite3_bind_text(m_stmt.get(), i + 1, v.constData(), int(v.size()), SQLITE_TRANSIENT);
        }
        const int rc = sqlite3_step(m_stmt.get());
        sqlite3_reset(m_stmt.get());
        if (rc != SQLITE_DONE) fail(m_db, rc, QStringLiteral("demo data"));
        return sqlite3_last_insert_rowid(m_db);
    }

private:
    sqlite3* m_db;
    int m_count;
    Statement m_stmt;
};

class SqliteDemoTarget final : public DemoTarget {
public:
    explicit SqliteDemoTarget(sqlite3* db) : m_db(db) {}
    std::unique_ptr<DemoTable> table(const char* name, const std::vector<const char*>& columns) override {
        return std::make_unique<SqliteDemoTable>(m_db, name, columns);
    }
    void begin() override { run(m_db, "begin immediate"); }
    void commit() override { run(m_db, "commit"); }
    void rollback() noexcept override { sqlite3_exec(m_db, "rollback", nullptr, nullptr, nullptr); }

private:
    sqlite3* m_db;
};

// A table being filled, one row per call; the column list and the values are kept side by side.
class Inserter {
public:
    Inserter(DemoTarget& target, const char* table, const std::vector<const char*>& columns)
        : m_table(target.table(table, columns)) {}
    // A null QByteArray is stored as NULL. Answers the row's key.
    qint64 insert(const std::vector<QByteArray>& values) { return m_table->insert(values); }

private:
    std::unique_ptr<DemoTable> m_table;
};

QByteArray date(const QDate& d) { return d.toString(QStringLiteral("yyyy-MM-dd")).toUtf8(); }
QByteArray clock(int hour, int minute) { return QByteArray::number(hour).rightJustified(2, '0') + ':' + QByteArray::number(minute).rightJustified(2, '0'); }

class Filler {
public:
    Filler(DemoTarget& target, const DemoOptions& o) : m_target(target), m_options(o), m_random(o.seed) {
        for (std::size_t i = 0; i < kTownCount; ++i)
            for (std::size_t r = 0; r < kRegionCount; ++r)
                if (qstrcmp(kTowns[i].sido, kRegions[r]) == 0) m_townsOfRegion[r].push_back(int(i));
    }

    void run() {
        brokers();
        shippers(300);
        owners(3000);
        if (m_options.orders > 0) orders();
    }

private:
    QByteArray name() { return QByteArray(m_random.pick(kSurnames, kSurnameCount)) + m_random.pick(kGivenNames, kGivenNameCount); }
    QByteArray mobile() { return "010" + QByteArray::number(m_random.between(2, 9)) + m_random.digits(7); }
    QByteArray business() { return QByteArray::number(m_random.between(101, 899)) + m_random.digits(7); }
    QByteArray landline(const char* sido) {
        const QByteArray code = areaCode(sido);
        return code + QByteArray::number(m_random.between(2, 9)) + m_random.digits(code.size() == 2 ? 7 : 6);
    }
    QByteArray postcode() { return QByteArray::number(m_random.between(10000, 63999)); }
    QByteArray street() { return QByteArray::number(m_random.between(1, 980)) + '-' + QByteArray::number(m_random.between(1, 40)); }
    const Town& anyTown() { return kTowns[size_t(m_random.below(int(kTownCount)))]; }
    int region() {
        // Most freight leaves the capital area.
        static const int weighted[] = {0, 0, 1, 1, 1, 1, 2, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
        return weighted[m_random.below(int(countOf(weighted)))];
    }
    QByteArray plate() {
        static const char* const syllables[] = {"바", "사", "아", "자", "배"};
        return QByteArray(m_random.pick(kRegions, kRegionCount)) + QByteArray::number(m_random.between(10, 99)) +
               m_random.pick(syllables, countOf(syllables)) + QByteArray::number(m_random.between(1000, 9999));
    }

    void brokers() {
        Inserter in(m_target, "코드_주선사", {"아이디", "비밀번호", "주선사명", "연락처", "대표자", "사업자번호", "업태", "종목",
                                           "우편번호", "우편주소1", "우편주소2", "주소1", "주소2", "기록일시"});
        for (const Broker& b : kBrokers) {
            const Town& t = kTowns[size_t(b.town) % kTownCount];
            BrokerRow row{landline(t.sido), business(), townText(t), street()};
            in.insert({b.id, b.password, b.name, row.phone, b.owner, row.business, "서비스", "화물주선", postcode(),
                       row.address1, row.address2, row.address1, row.address2,
                       date(m_options.today.addDays(-400)) + " 09:00:00"});
            m_brokers.push_back(std::move(row));
        }
    }

    void shippers(int count) {
        Inserter in(m_target, "코드_화주", {"코드", "화주명", "연락처", "회사명", "대표자", "사업자번호", "업태", "종목", "우편번호",
                                         "우편주소1", "우편주소2", "주소1", "주소2", "이메일", "계산서담당", "계산서담당전화",
                                         "작성아이디", "기록일시"});
        for (int i = 0; i < count; ++i) {
            Shipper s;
            const Town& t = anyTown();
            s.code = QByteArray::number(1001 + i);
            const char* kind = m_random.pick(kFirmKinds, kFirmKindCount);
            s.name = QByteArray(m_random.pick(kFirmStems, kFirmStemCount)) + kind;
            s.phone = landline(t.sido);
            s.firm = m_random.chance(60) ? "(주)" + s.name : s.name;
            s.ceo = name();
            s.business = business();
            s.kindOfBusiness = m_random.chance(70) ? "제조" : "도소매";
            s.item = kind;
            s.postcode = postcode();
            s.address1 = townText(t);
            s.address2 = street();
            s.contact = name();
            s.email = "tax" + s.code + (m_random.chance(50) ? "@naver.com" : "@daum.net");
            in.insert({s.code, s.name, s.phone, s.firm, s.ceo, s.business, s.kindOfBusiness, s.item, s.postcode,
                       s.address1, s.address2, s.address1, s.address2, s.email, s.contact, mobile(),
                       kBrokers[m_random.below(int(countOf(kBrokers)))].id,
                       date(m_options.today.addDays(-m_random.between(60, 700))) + " 10:00:00"});
            m_shippers.push_back(std::move(s));
        }
    }

    void owners(int count) {
        // Most members drive 5톤 and 11톤 wing bodies.
        static const int tonnages[] = {0, 1, 1, 2, 2, 2, 2, 3, 3, 3, 4, 4};
        static const char* const extraLengths[] = {"", "", "", "30", "50", "50", "80"};
        static const char* const firmKinds[] = {"운수", "운수", "물류", "화물", "특송"};
        Inserter in(m_target, "코드_차주", {"아이디", "휴대전화", "기사명", "차량번호", "차종", "톤수", "길이", "길이2", "연락처",
                                         "회사명", "대표자", "사업자번호", "업태", "종목", "이메일", "우편번호", "우편주소1",
                                         "우편주소2", "주소1", "주소2", "은행명", "계좌번호", "예금주", "기록일시"});
        QSet<QByteArray> phones;
        while (int(m_owners.size()) < count) {
            Owner o;
            o.phone = mobile();
            if (phones.contains(o.phone)) continue;
            phones.insert(o.phone);
            o.broker = kBrokers[m_random.below(int(countOf(kBrokers)))].id;
            o.name = name();
            o.plate = plate();
            o.tonnage = m_random.pick(tonnages, countOf(tonnages));
            const Tonnage& tonnage = kTonnages[o.tonnage];
            o.kind = kindOf(tonnage);
            o.tons = tonnage.tons;
            o.length = tonnage.lengths[m_random.below(3)];
            o.length2 = m_random.pick(extraLengths, countOf(extraLengths));
            o.email = "car" + o.phone.right(6) + "@naver.com";
            const Town& t = anyTown();
            o.firm = QByteArray(m_random.pick(kFirmStems, kFirmStemCount)) + m_random.pick(firmKinds, countOf(firmKinds));
            o.business = business();
            o.address1 = townText(t);
            o.address2 = street();
            const QByteArray account = m_random.digits(3) + '-' + m_random.digits(3) + '-' + m_random.digits(6);
            in.insert({o.broker, o.phone, o.name, o.plate, o.kind, o.tons, o.length, o.length2, o.phone, o.firm, o.name,
                       o.business, "운수업", "화물운송", o.email, postcode(), o.address1, o.address2, o.address1,
                       o.address2, m_random.pick(kBanks, kBankCount), account, o.name,
                       date(m_options.today.addDays(-m_random.between(30, 900))) + " 11:00:00"});
            m_ownersOf[o.tons + '|' + o.kind].push_back(int(m_owners.size()));
            m_ownersOf[o.tons].push_back(int(m_owners.size()));
            m_owners.push_back(std::move(o));
        }
    }

    // Older orders are further along; today's are mostly waiting or under way.
    int statusFor(int daysAgo) {
        const int p = m_random.below(100);
        if (daysAgo == 0) return p < 35 ? 0 : p < 45 ? 1 : p < 75 ? 2 : p < 90 ? 3 : 6;
        if (daysAgo <= 3) return p < 5 ? 0 : p < 10 ? 1 : p < 30 ? 2 : p < 80 ? 3 : p < 90 ? 4 : 6;
        return p < 25 ? 3 : p < 50 ? 4 : p < 90 ? 5 : 6;
    }

    const char* kindOf(const Tonnage& t) {
        int n = 0;
        while (n < int(countOf(t.kinds)) && t.kinds[n]) ++n;
        return t.kinds[m_random.below(n)];
    }

    // A member whose vehicle is what the order asked for; failing that, one of the tonnage.
    const Owner& ownerFor(const QByteArray& tons, const QByteArray& kind) {
        auto it = m_ownersOf.constFind(tons + '|' + kind);
        if (it == m_ownersOf.cend()) it = m_ownersOf.constFind(tons);
        if (it == m_ownersOf.cend()) return m_owners[size_t(m_random.below(int(m_owners.size())))];
        return m_owners[size_t(it->at(size_t(m_random.below(int(it->size())))))];
    }

    QByteArray placeIn(int region) {
        const auto& towns = m_townsOfRegion[size_t(region)];
        const Town& t = kTowns[size_t(towns[size_t(m_random.below(int(towns.size())))])];
        return QByteArray(t.sigungu) + ' ' + t.upmyendong;
    }

    QDate capped(const QDate& d) const { return std::min(d, m_options.today); }

    void orders() {
        std::vector<int> days;
        days.reserve(size_t(m_options.orders) + 30);
        int today = 0;
        for (int i = 0; i < m_options.orders; ++i) {
            days.push_back(m_random.below(60));
            if (days.back() == 0) ++today;
        }
        for (; today < 30; ++today) days.push_back(0);
        std::sort(days.begin(), days.end(), std::greater<int>());   // keys grow with the date

        static const char* const orderColumns[] = {
            "날짜", "오더상태", "작성아이디", "작성회사명", "작성자명", "작성자연락처", "화주사업자번호", "화주명", "화주연락처",
            "상차요청일시", "상차권역", "상차지", "상차지상세", "상차방법", "상차담당자", "상차담당연락처", "하차요청일시",
            "하차권역", "하차지", "하차지상세", "하차방법", "하차담당자", "하차담당연락처", "희망톤수", "희망차종", "화물중량",
            "차량대수", "적재구분", "화물정보1", "화물정보2", "운임구분", "운송비", "수수료", "비고", "화주코드", "화주대표자",
            "화주상호", "화주업태", "화주종목", "화주우편번호", "화주주소1", "화주주소2", "예비1", "예비2", "예비3",
            "화주계산서담당", "화주이메일", "배차시간", "차주아이디", "차주명", "차주연락처", "차량번호", "차량정보",
            "차량톤수", "차량길이", "차량길이2", "인수증날짜", "계산서날짜", "결제일", "기록일시"};
        Inserter orders(m_target, "화물오더", std::vector<const char*>(std::begin(orderColumns), std::end(orderColumns)));
        Inserter invoices(m_target, "세금계산서",
                          {"오더ID", "작성일자", "발행일시", "공급가액", "세액", "공급자사업자번호", "공급자상호", "공급자대표자",
                           "공급자주소", "공급자업태", "공급자종목", "받는자사업자번호", "받는자상호", "받는자대표자",
                           "받는자주소", "받는자업태", "받는자종목", "받는자담당", "받는자이메일", "품목일자1", "품목명1",
                           "공급가액1", "세액1", "기사명", "휴대전화", "차량번호", "이메일", "승인번호", "niceStatus",
                           "DocStatus"});
        // The board offers 3.5톤, 5톤, 11톤 and 25톤.
        static const int wantedTonnages[] = {1, 2, 2, 2, 3, 3, 4};
        int todaySeen = 0;
        for (const int daysAgo : days) {
            const QDate day = m_options.today.addDays(-daysAgo);
            // Every status appears on today's board, whatever the volume.
            const int status = (daysAgo == 0 && todaySeen < 7) ? todaySeen++ : statusFor(daysAgo);
            const int brokerIndex = m_random.below(int(countOf(kBrokers)));
            const Broker& broker = kBrokers[brokerIndex];
            const BrokerRow& brokerRow = m_brokers[size_t(brokerIndex)];
            const bool hasShipper = m_random.chance(90);
            static const Shipper none;
            const Shipper& s = hasShipper ? m_shippers[size_t(m_random.below(int(m_shippers.size())))] : none;

            // Taken in the morning, loaded at least two hours later, dispatched in between.
            const int recordHour = m_random.between(6, 10), recordMinute = m_random.below(60);
            const int from = region();
            int to = region();
            if (to == from) to = (to + 1 + m_random.below(int(kRegionCount) - 1)) % int(kRegionCount);
            const QDate loadDay = m_random.chance(80) ? day : day.addDays(1);
            const int loadHour = loadDay == day ? m_random.between(recordHour + 2, 18) : m_random.between(6, 17);
            const int loadMinute = m_random.chance(50) ? 0 : 30;
            const QDate unloadDay = m_random.chance(50) ? loadDay : loadDay.addDays(1);
            const int unloadHour = unloadDay == loadDay ? std::min(23, loadHour + m_random.between(2, 5)) : m_random.between(6, 14);

            const Tonnage& wanted = kTonnages[m_random.pick(wantedTonnages, countOf(wantedTonnages))];
            const QByteArray tons = wanted.tons;
            const QByteArray kind = kindOf(wanted);
            const int fare = (wanted.baseFare * (100 + std::abs(from - to) * 8 + m_random.below(40)) / 100) / 10000 * 10000;
            const QByteArray weight =
                m_random.chance(60) ? tons.chopped(QByteArray("톤").size()).split('.').first() + "톤" : QByteArray("");

            std::vector<QByteArray> v = {
                date(day), kStatuses[status], broker.id, broker.name, broker.name, brokerRow.phone, s.business, s.name, s.phone,
                date(loadDay) + ' ' + clock(loadHour, loadMinute), kRegions[from], placeIn(from), "", "지게차", "", "",
                date(unloadDay) + ' ' + clock(unloadHour, m_random.chance(50) ? 0 : 30), kRegions[to], placeIn(to), "",
                "지게차", "", "", tons, kind, weight,
                QByteArray::number(1), QByteArray::number(m_random.chance(70) ? 1 : m_random.between(2, 3)),
                m_random.pick(kGoods, kGoodsCount), "", QByteArray::number(m_random.chance(75) ? 1 : 2),
                QByteArray::number(fare), QByteArray::number(status >= 2 && status <= 5 ? fare / 20 / 1000 * 1000 : 0), "",
                s.code, s.ceo, s.name, s.kindOfBusiness, s.item, s.postcode, s.address1, s.address2, "", "", "",
                s.contact, s.email};
            for (QByteArray& x : v)
                if (x.isNull()) x = "";   // shipper fields of an order without a shipper are empty texts

            const bool dispatched = status >= 2 && status <= 5;
            const Owner* o = dispatched ? &ownerFor(tons, kind) : nullptr;
            const int taken = recordHour * 60 + recordMinute;
            const int latest = loadDay == day ? loadHour * 60 + loadMinute - 20 : 20 * 60;
            const int dispatchAt = m_random.between(taken + 10, std::max(taken + 10, latest));
            const QByteArray dispatchTime = date(day) + ' ' + clock(dispatchAt / 60, dispatchAt % 60) + ':' +
                                            QByteArray::number(m_random.below(60)).rightJustified(2, '0');
            // Owners' records hold "5톤" and "9.6"; older orders kept bare numbers or "m".
            const QByteArray carTons = o ? (m_random.chance(30) ? o->tons.chopped(QByteArray("톤").size()) : o->tons) : QByteArray();
            const QByteArray carLength = o ? (m_random.chance(10) ? o->length + "m" : o->length) : QByteArray();
            v.push_back(o ? dispatchTime : QByteArray());
            v.push_back(o ? o->broker : QByteArray());
            v.push_back(o ? o->name : QByteArray());
            v.push_back(o ? o->phone : QByteArray());
            v.push_back(o ? o->plate : QByteArray());
            v.push_back(o ? o->kind : QByteArray());
            v.push_back(carTons);
            v.push_back(carLength);
            v.push_back(o ? o->length2 : QByteArray());

            const QDate receipt = capped(unloadDay.addDays(m_random.between(0, 3)));
            const QDate invoiceDay = capped(receipt.addDays(m_random.between(0, 5)));
            const QDate paid = capped(invoiceDay.addDays(m_random.between(5, 20)));
            v.push_back(status >= 3 && status <= 5 ? date(receipt) : QByteArray());
            v.push_back(status == 4 || status == 5 ? date(invoiceDay) : QByteArray());
            v.push_back((status == 5 && m_random.chance(85)) || (status == 3 && m_random.chance(10)) ? date(paid) : QByteArray(""));
            v.push_back(date(day) + ' ' + clock(recordHour, recordMinute) + ":00");
            const qint64 orderId = orders.insert(v);

            // The member who carried the load invoices the broker who arranged it, both named
            // as their records read.
            if (o && (status == 4 || status == 5) && m_random.chance(80)) {
                const int tax = fare / 10;
                const QByteArray item = "운송료(" + QByteArray(kRegions[from]) + "→" + kRegions[to] + ")";
                const QByteArray approval = date(invoiceDay).replace('-', "") + "-41000" + m_random.digits(3) + "-" + m_random.digits(8);
                static const char* const nice[] = {"발행완료", "전송완료", "수신확인"};
                static const char* const doc[] = {"신고완료", "신고완료", "신고대기"};
                invoices.insert({QByteArray::number(orderId), date(invoiceDay),
                                 date(invoiceDay) + ' ' + clock(m_random.between(9, 18), m_random.below(60)) + ":00",
                                 QByteArray::number(fare), QByteArray::number(tax), o->business, o->firm, o->name,
                                 o->address1 + ' ' + o->address2, "운수업", "화물운송", brokerRow.business, broker.name,
                                 broker.owner, brokerRow.address1 + ' ' + brokerRow.address2, "서비스", "화물주선", name(),
                                 QByteArray(broker.id) + "@delmora.co.kr", date(invoiceDay).mid(5), item,
                                 QByteArray::number(fare), QByteArray::number(tax), o->name, o->phone, o->plate, o->email,
                                 approval, m_random.pick(nice, countOf(nice)), m_random.pick(doc, countOf(doc))});
            }
        }
    }

    DemoTarget& m_target;
    DemoOptions m_options;
    Random m_random;
    std::vector<int> m_townsOfRegion[kRegionCount];
    std::vector<Shipper> m_shippers;
    std::vector<Owner> m_owners;
    QHash<QByteArray, std::vector<int>> m_ownersOf;   // by "5톤|윙바디" and by "5톤"
    std::vector<BrokerRow> m_brokers;
};

} // namespace

void fillDemoData(DemoTarget& target, const DemoOptions& options) {
    target.begin();
    try {
        Filler(target, options).run();
        target.commit();
    } catch (...) {
        target.rollback();
        throw;
    }
}

void fillDemoData(FreightStore& store, const DemoOptions& options) {
    SqliteDemoTarget target(store.handle());
    fillDemoData(target, options);
    // The demo rows go into the store file itself and the log is emptied: otherwise every desk
    // that opens the store after one left it without closing replays megabytes of log first.
    sqlite3_wal_checkpoint_v2(store.handle(), nullptr, SQLITE_CHECKPOINT_TRUNCATE, nullptr, nullptr);
}

void fillAddressDirectory(DemoTarget& target) {
    Inserter insert(target, "좌표주소", {"SIDO", "SIGUNGU", "UPMYENDONG", "ADDR"});
    for (std::size_t i = 0; i < kTownCount; ++i) {
        const Town& t = kTowns[i];
        insert.insert({t.sido, t.sigungu, t.upmyendong, townText(t)});
    }
}

namespace detail {

// The administrative address directory every store carries, demo or not.
void fillAddressDirectory(sqlite3* db) {
    SqliteDemoTarget target(db);
    dstore::fillAddressDirectory(target);
}

} // namespace detail

} // namespace dstore
