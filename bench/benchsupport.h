#pragma once
// What the benchmarks share: processor time of this thread, resident memory, medians, and a
// store's orders written as the client writes them.
#include <QDate>
#include <QFile>
#include <QTime>
#include <algorithm>
#include <ctime>
#include <sqlite3.h>
#include <unistd.h>
#include <vector>

inline long ResidentKb() {
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly)) return 0;
    const QList<QByteArray> parts = f.readAll().split(' ');
    return parts.size() > 1 ? parts[1].toLong() * (sysconf(_SC_PAGESIZE) / 1024) : 0;
}

inline qint64 CpuNs() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

template <class F> qint64 Timed(F&& f) {
    const qint64 start = CpuNs();
    f();
    return CpuNs() - start;
}

inline qint64 Median(std::vector<qint64> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

// Orders as the client writes them: every column the entry panel fills, shippers' details,
// dispatch blocks on dispatched orders, the dates of the paperwork.
inline void Fill(sqlite3* db, int orders, const QDate& first, int days, int firstDispatchSecond) {
    static const char* const statuses[] = {"접수",   "미처리",   "배차완료", "운송완료",
                                           "계산서", "정산완료", "취소"};
    static const char* const regions[] = {"서울", "경기", "인천", "충북", "충남", "부산", "대구", "광주"};
    static const char* const places[] = {"강남구 역삼동", "수원시 권선구", "남동구 고잔동", "청주시 흥덕구",
                                         "천안시 서북구", "해운대구 우동", "달서구 성당동", "광산구 하남동"};
    static const char* const shippers[] = {"(주)한빛물산", "대성산업", "우리식품(주)", "동방제지",
                                           "세진철강"};
    sqlite3_exec(db, "begin", nullptr, nullptr, nullptr);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(
        db,
        "insert into 화물오더 (날짜, 오더상태, 상차권역, 상차지, 하차권역, 하차지, 화물정보1, "
        "희망톤수, 운송비, 차주명, 차주연락처, 차량번호, 차량정보, 차량톤수, 차량길이, 차량길이2, "
        "배차시간, 상차요청일시, 하차요청일시, 화주명, 화주연락처, 화주사업자번호, 화주주소1, "
        "화주주소2, 화주이메일, 상차지상세, 하차지상세, 작성회사명, 작성자명, 작성자연락처, 기록일시, "
        "희망차종, 적재구분, 운임구분, 작성아이디, 상차방법, 하차방법, 화물중량, 차량대수, 수수료, "
        "화주코드, 화주대표자, 화주상호, 화주업태, 화주종목, 화주우편번호, 차주아이디, 결제일) values "
        "(?1,?2,?3,?4,?5,?6,?7,?8,?9,?10,?11,?12,?13,?14,?15,?16,?17,?18,?19,?20,?21,?22,?23,?24,"
        "?25,?26,?27,'대한화물주선','홍길동','02-555-1234',?28,'윙바디','1','1','demo','지게차',"
        "'지게차','5톤','1',?29,?30,'김대표',?20,'제조','철강',?31,'demo','')",
        -1, &st, nullptr);
    for (int i = 0; i < orders; ++i) {
        // Keys grow with the date: the store's rows of one day lie together.
        const QDate date = first.addDays(int(qint64(i) * days / orders));
        const QByteArray day = date.toString(QStringLiteral("yyyy-MM-dd")).toUtf8();
        const int s = i % 7;
        const bool dispatched = s >= 2 && s <= 5;
        const QByteArray dispatch = day + QByteArray(" ") +
                                    QTime(0, 0)
                                        .addSecs(firstDispatchSecond + (i * 7) % 80000)
                                        .toString(QStringLiteral("HH:mm:ss"))
                                        .toUtf8();
        const QByteArray phone = "010" + QByteArray::number(10000000 + (i * 7919) % 89999999);
        const QByteArray plate =
            "서울" + QByteArray::number(10 + i % 89) + "가" + QByteArray::number(1000 + i % 8999);
        const QByteArray amount = QByteArray::number(150000 + (i % 50) * 10000);
        const QByteArray load = day + " 09:30", unload = day + " 17:00";
        const QByteArray values[31] = {
            day,
            statuses[s],
            regions[i % 8],
            places[i % 8],
            regions[(i + 3) % 8],
            places[(i + 3) % 8],
            "파렛트 12개 적재",
            "5톤",
            amount,
            dispatched ? QByteArray("김기사") : QByteArray(),
            dispatched ? phone : QByteArray(),
            dispatched ? plate : QByteArray(),
            dispatched ? QByteArray("윙바디") : QByteArray(),
            dispatched ? QByteArray::number(1 + i % 25) + "톤" : QByteArray(),
            dispatched ? QByteArray("9.6") : QByteArray(),
            dispatched && i % 3 ? QByteArray("50") : QByteArray(),
            dispatched ? dispatch : QByteArray(),
            load,
            unload,
            shippers[i % 5],
            "031-" + QByteArray::number(200 + i % 700) + "-" + QByteArray::number(1000 + i % 8999),
            QByteArray::number(1000000000LL + i % 999999),
            "경기도 " + QByteArray(places[(i + 1) % 8]),
            QByteArray::number(100 + i % 900) + "번지 " + QByteArray::number(i % 5) + "층",
            "contact" + QByteArray::number(i % 5) + "@example.co.kr",
            QByteArray::number(1 + i % 200) + "번길 " + QByteArray::number(i % 50),
            QByteArray::number(1 + (i * 3) % 200) + "번길 " + QByteArray::number(i % 40),
            day + " 08:" + QByteArray::number(10 + i % 50) + ":00",
            QByteArray::number(s >= 2 && s <= 5 ? 10000 : 0),
            "H" + QByteArray::number(10000 + i % 5),
            "0" + QByteArray::number(10000 + i % 89999)};
        for (int c = 0; c < 31; ++c) {
            if (values[c].isNull())
                sqlite3_bind_null(st, c + 1);
            else
                sqlite3_bind_text(st, c + 1, values[c].constData(), int(values[c].size()), SQLITE_TRANSIENT);
        }
        sqlite3_step(st);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    sqlite3_exec(db, "commit", nullptr, nullptr, nullptr);
}

