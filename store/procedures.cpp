// The eleven procedures the client calls, as the store keeps them in its catalogue table.
// Each body refers to its arguments as ?1..?N; the caller's values are bound, never pasted.
// The argument-to-column tables below are the one place that says where each argument goes.
#include "storeinternal.h"

namespace dstore::detail {

namespace {

struct ArgColumn {
    int argument;       // position in the caller's argument list, from 1
    const char* column; // column of 화물오더; nullptr: accepted and not stored
};

const char* const kNow = "strftime('%Y-%m-%d %H:%M:%S', 'now', 'localtime')";

// A statement that refuses the whole call with `message` (an SQL text expression) when
// `condition` holds. A refused call changes nothing, and the caller reads why: a screen must
// never report a save that found nothing to save, nor leave a junk record behind.
QByteArray refuse(const char* condition, const char* message) {
    return QByteArray("select ds_fail(") + message + ") where " + condition + ";\n";
}

const char* const kOrderMissing = "not exists (select 1 from 화물오더 where ID = ?1)";
const char* const kOrderMissingMessage = "printf('ID %s인 오더가 없습니다.', ?1)";

// The refusal of a write stated against what the desk saw: `moved` is the condition (on the
// record the call names) under which the record is no longer what the desk saw.
QByteArray refuseMoved(const char* table, const char* key, const char* moved) {
    return refuse((QByteArray("exists (select 1 from ") + table + " where " + key + " and (" + moved + "))").constData(),
                  (QByteArray("'") + RecordMovedText + ". 다시 조회한 뒤 하세요.'").constData());
}

// 오더저장, 47 arguments, in the order the order board sends them.
const ArgColumn kOrderArguments[] = {
    {1, "날짜"},            // the board's day, yyyy-mm-dd
    {2, "오더상태"},        // "접수"
    {3, "작성아이디"},      // signed-in broker's 아이디
    {4, "작성회사명"},      // broker's 주선사명
    {5, "작성자명"},        // broker's 주선사명 again
    {6, "작성자연락처"},    // broker's 연락처
    {7, "화주사업자번호"},  // shipper 사업자번호
    {8, "화주명"},          // shipper 화주명
    {9, "화주연락처"},      // shipper 연락처
    {10, "상차요청일시"},   // yyyy-mm-dd hh:MM
    {11, "상차권역"},
    {12, "상차지"},
    {13, "상차지상세"},     // empty from the board
    {14, "상차방법"},       // "지게차"
    {15, "상차담당자"},     // empty from the board
    {16, "상차담당연락처"}, // empty from the board
    {17, "하차요청일시"},
    {18, "하차권역"},
    {19, "하차지"},
    {20, "하차지상세"},
    {21, "하차방법"},       // "지게차"
    {22, "하차담당자"},
    {23, "하차담당연락처"},
    {24, "희망톤수"},
    {25, "희망차종"},
    {26, "화물중량"},
    {27, "차량대수"},       // bare number
    {28, "적재구분"},       // bare: 1 독차, 2 혼적, 3 왕복
    {29, "화물정보1"},      // product information
    {30, "화물정보2"},      // empty from the board
    {31, "운임구분"},       // bare: 1 인수증, 2 선착불
    {32, "운송비"},         // bare amount in won
    {33, "수수료"},         // bare 0
    {34, "비고"},           // empty from the board
    {35, "화주코드"},
    {36, "화주대표자"},
    {37, "화주상호"},       // shipper 화주명
    {38, "화주업태"},
    {39, "화주종목"},
    {40, "화주우편번호"},
    {41, "화주주소1"},
    {42, "화주주소2"},
    {43, "예비1"},          // empty from the board
    {44, "예비2"},
    {45, "예비3"},
    {46, "화주계산서담당"},
    {47, "화주이메일"},
};

// 오더수정, the order ID and 53 arguments: the ID is ?1, so argument k of the list below is
// ?(k+1). Arguments 1-42 are those of 오더저장; 43-45 the three spare texts; 46-51 are six
// texts the board always sends empty and the store does not keep; 52 and 53 the shipper's
// invoice contact and e-mail. The status argument (2) is accepted but not applied: modifying
// an order's details must not throw a dispatched or settled order back to 접수.
QByteArray orderModifyBody() {
    QByteArray set;
    auto add = [&](int param, const char* column) {
        if (!set.isEmpty()) set += ", ";
        set += QByteArray(column) + " = ?" + QByteArray::number(param);
    };
    for (const ArgColumn& a : kOrderArguments) {
        if (a.argument == 2) continue;                // status stays as it is
        if (a.argument <= 45) add(a.argument + 1, a.column);
    }
    add(53, "화주계산서담당");
    add(54, "화주이메일");
    set += QByteArray(", 수정일시 = ") + kNow;
    return refuse(kOrderMissing, kOrderMissingMessage) +
           refuseMoved("화물오더", "ID = ?1", "?55 is not null and 버전 <> ?55") + "update 화물오더 set " + set +
           " where ID = ?1";
}

QByteArray orderSaveBody() {
    QByteArray columns, values;
    for (const ArgColumn& a : kOrderArguments) {
        columns += QByteArray(a.column) + ", ";
        values += "?" + QByteArray::number(a.argument) + ", ";
    }
    // Argument 48, when given, is the desk's own key for this save: a save repeated after the
    // link died finds its order stored and stores nothing more.
    return "insert into 화물오더 (" + columns + "결제일, 기록일시, 요청키) values (" + values + "'', " + kNow +
           ", nullif(?48, '')) on conflict (요청키) do nothing";
}

// A master record that is gone refuses a call that names it (`gone` is the condition),
// worded as a record that moved: the desk that showed it tells the user and writes nothing.
QByteArray refuseGone(const char* gone, const char* noun, bool saving) {
    return refuse(gone, "'" + masterGoneText(noun, saving) + "'");
}

const char* const kOwnerKey = "아이디 = ?1 and 휴대전화 = replace(?2, '-', '')";

// 차주수정, 23 arguments: the owner named by 아이디 (1) and 휴대전화 (2) is created or updated.
// Phones are kept as digits only, so a dashed phone still names the same owner. Argument 24,
// when given, is the version of the owner the desk showed: the desk edits that owner, so one
// withdrawn meanwhile is not made again, and one changed since is not overwritten.
//  1 아이디  2 휴대전화  3 기사명  4 차량번호  5 차종  6 톤수  7 연락처  8 회사명  9 대표자
// 10 사업자번호  11 주소1  12 주소2  13 업태  14 종목  15 우편번호  16 우편주소1  17 우편주소2
// 18 이메일  19 은행명  20 계좌번호  21 예금주  22 길이  23 길이2
QByteArray ownerSaveBody() {
    const char* const columns[] = {"아이디", "휴대전화", "기사명", "차량번호", "차종", "톤수", "연락처", "회사명",
                                   "대표자", "사업자번호", "주소1", "주소2", "업태", "종목", "우편번호", "우편주소1",
                                   "우편주소2", "이메일", "은행명", "계좌번호", "예금주", "길이", "길이2"};
    QByteArray cols, values, update;
    for (int i = 0; i < 23; ++i) {
        cols += QByteArray(columns[i]) + ", ";
        values += i == 1 ? QByteArray("replace(?2, '-', ''), ") : "?" + QByteArray::number(i + 1) + ", ";
        if (i >= 2) update += QByteArray(columns[i]) + " = excluded." + columns[i] + ", ";
    }
    return refuse("trim(?1) = '' or trim(replace(?2, '-', '')) = ''",
                  "'차주의 아이디와 휴대전화가 없어 저장할 수 없습니다.'") +
           refuseGone((QByteArray("?24 is not null and not exists (select 1 from 코드_차주 where ") + kOwnerKey + ")")
                          .constData(),
                      "차주", true) +
           refuseMoved("코드_차주", kOwnerKey, "?24 is not null and 버전 <> ?24") + "insert into 코드_차주 (" + cols + "기록일시) values (" + values + kNow +
           ") on conflict (아이디, 휴대전화) do update set " + update.chopped(2);
}

// 화주저장 and 화주수정, 16 arguments each. Argument 1 is the registering broker's 아이디
// (저장) or the shipper's 코드 (수정); 2-16 are:
//  2 화주명  3 연락처  4 회사명  5 대표자  6 사업자번호  7 주소1  8 주소2  9 업태  10 종목
// 11 우편번호  12 우편주소1  13 우편주소2  14 이메일  15 계산서담당  16 계산서담당전화
const char* const kShipperColumns[] = {"화주명", "연락처", "회사명", "대표자", "사업자번호", "주소1", "주소2", "업태",
                                       "종목", "우편번호", "우편주소1", "우편주소2", "이메일", "계산서담당",
                                       "계산서담당전화"};

// A new shipper gets the number after the highest code ever handed out: codes are typed on
// the board and kept on orders, so a deleted shipper's code is never given to another. The
// high-water mark lives in 저장소정보 and also covers codes written without the procedure.
QByteArray shipperSaveBody() {
    QByteArray cols, values;
    for (int i = 0; i < 15; ++i) {
        cols += QByteArray(kShipperColumns[i]) + ", ";
        values += "?" + QByteArray::number(i + 2) + ", ";
    }
    return "insert or replace into 저장소정보 (키, 값) values ('화주코드', cast(1 + max("
           "coalesce((select cast(값 as integer) from 저장소정보 where 키 = '화주코드'), 1000), "
           "coalesce((select max(cast(코드 as integer)) from 코드_화주 where 코드 <> '' and 코드 not glob '*[^0-9]*'), 1000)"
           ") as text));\n"
           "insert into 코드_화주 (코드, 작성아이디, " + cols + "기록일시) values ("
           "(select 값 from 저장소정보 where 키 = '화주코드'), ?1, " +
           values + kNow + ")";
}

// 화주수정's argument 17, when given, is the version of the shipper the desk showed.
QByteArray shipperModifyBody() {
    QByteArray set;
    for (int i = 0; i < 15; ++i) set += QByteArray(kShipperColumns[i]) + " = ?" + QByteArray::number(i + 2) + ", ";
    return refuseGone("?17 is not null and not exists (select 1 from 코드_화주 where 코드 = ?1)", "화주", true) +
           refuseMoved("코드_화주", "코드 = ?1", "?17 is not null and 버전 <> ?17") + refuse("not exists (select 1 from 코드_화주 where 코드 = ?1)", "printf('저장할 화주가 없습니다 (코드 ''%s'').', ?1)") +
           "update 코드_화주 set " + set.chopped(2) + " where 코드 = ?1";
}

// 주선사저장, 14 arguments:
//  1 아이디  2 (password slot; a new broker always starts without one, so the first sign-in
//  sets it)  3 주선사명  4 연락처  5 대표자  6 (always empty, not kept)  7 사업자번호  8 주소1
//  9 주소2  10 업태  11 종목  12 우편번호  13 우편주소1  14 우편주소2
// 주선사수정, 13 arguments: the same without the password slot, the broker named by 아이디
// (1), which never changes; argument 5 is the always-empty slot. Argument 14, when given, is
// the version of the broker the desk showed.
const char* const kBrokerColumns[] = {"사업자번호", "주소1", "주소2", "업태", "종목", "우편번호", "우편주소1", "우편주소2"};

QByteArray brokerSaveBody() {
    QByteArray cols = "아이디, 비밀번호, 주선사명, 연락처, 대표자, ";
    QByteArray values = "?1, '', ?3, ?4, ?5, ";
    for (int i = 0; i < 8; ++i) {
        cols += QByteArray(kBrokerColumns[i]) + ", ";
        values += "?" + QByteArray::number(i + 7) + ", ";
    }
    return refuse("trim(?1) = ''", "'주선사 아이디를 입력하세요.'") + "insert into 코드_주선사 (" + cols + "기록일시) values (" + values + kNow + ")";
}

QByteArray brokerModifyBody() {
    QByteArray set = "주선사명 = ?2, 연락처 = ?3, 대표자 = ?4";
    for (int i = 0; i < 8; ++i) set += ", " + QByteArray(kBrokerColumns[i]) + " = ?" + QByteArray::number(i + 6);
    return refuseGone("?14 is not null and not exists (select 1 from 코드_주선사 where 아이디 = ?1)", "주선사", true) +
           refuseMoved("코드_주선사", "아이디 = ?1", "?14 is not null and 버전 <> ?14") +
           refuse("not exists (select 1 from 코드_주선사 where 아이디 = ?1)", "printf('저장할 주선사가 없습니다 (아이디 ''%s'').', ?1)") +
           "update 코드_주선사 set " + set + " where 아이디 = ?1";
}

} // namespace

std::vector<ProcedureDefinition> procedureDefinitions() {
    return {
        {"오더저장", 47, orderSaveBody(), 1},
        {"오더수정", 54, orderModifyBody(), 1},
        // An invoiced, settled or paid order has money documents that name it; it stays.
        // Argument 2 of both cancels, when given, is the status the desk showed.
        {"오더취소", 1,
         refuse(kOrderMissing, kOrderMissingMessage) + refuseMoved("화물오더", "ID = ?1", "?2 is not null and 오더상태 <> ?2") +
             refuse("exists (select 1 from 화물오더 where ID = ?1 and (오더상태 in ('계산서', '정산완료') or 결제일 <> ''))",
                    "'계산서가 발행되었거나 운임이 지급된 오더는 취소할 수 없습니다.'") +
             "update 화물오더 set 오더상태 = '취소', 수정일시 = " + kNow + " where ID = ?1",
         1},
        // The order goes back to 접수 without any trace of the vehicle it had. Only a dispatch
        // still under way can be undone: past it the vehicle is what the receipt, the invoice
        // and the payment name.
        {"배차취소", 1,
         refuse(kOrderMissing, kOrderMissingMessage) + refuseMoved("화물오더", "ID = ?1", "?2 is not null and 오더상태 <> ?2") +
             refuse("exists (select 1 from 화물오더 where ID = ?1 and 오더상태 <> '배차완료')",
                    "'배차완료 상태인 오더만 배차취소할 수 있습니다.'") +
             refuse("exists (select 1 from 화물오더 where ID = ?1 and 결제일 <> '')",
                    "'운임이 지급된 배차는 취소할 수 없습니다.'") +
             "update 화물오더 set 오더상태 = '접수', 배차시간 = null, 차주아이디 = null, 차주명 = null, "
             "차주연락처 = null, 차량번호 = null, 차량정보 = null, 차량톤수 = null, 차량길이 = null, "
             "차량길이2 = null, 수정일시 = " + kNow + " where ID = ?1",
         1},
        {"차주수정", 23, ownerSaveBody(), 1},
        // A withdrawal or delete that finds nobody says so rather than report a success.
        {"차주삭제", 2,
         refuseGone((QByteArray("not exists (select 1 from 코드_차주 where ") + kOwnerKey + ")").constData(), "차주",
                    false) +
             "delete from 코드_차주 where " + kOwnerKey},
        {"화주저장", 16, shipperSaveBody()},
        {"화주수정", 16, shipperModifyBody(), 1},
        {"화주삭제", 1,
         refuseGone("not exists (select 1 from 코드_화주 where 코드 = ?1)", "화주", false) +
             "delete from 코드_화주 where 코드 = ?1"},
        {"주선사저장", 14, brokerSaveBody()},
        {"주선사수정", 13, brokerModifyBody(), 1},
    };
}

} // namespace dstore::detail

namespace dstore::detail {

std::vector<std::pair<int, const char*>> orderArgumentColumns() {
    std::vector<std::pair<int, const char*>> out;
    for (const ArgColumn& a : kOrderArguments)
        out.emplace_back(a.argument, a.column);
    return out;
}

} // namespace dstore::detail
