// The freight store's tables and views. Every business column is TEXT: the client reads every
// value as text and passes dates as "yyyy-mm-dd" texts, so text keeps comparisons and sorting
// exactly as the client writes them. Keys are integers.
#include "storeinternal.h"

namespace dstore::detail {

namespace {

// The board and the inquiry list a day or a period newest date first, then by dispatch time,
// status and newest key: in this order the engine walks the index from the period's last day
// and hands rows out as it finds them, with no sort of the whole period before the first row.
constexpr const char* kPeriodOrderIndex =
    "create index if not exists 화물오더_기간순 on 화물오더 (날짜 desc, 배차시간, 오더상태, ID desc)";

const char* const kSchema[] = {
    // Brokers: the users who sign in. 아이디 matches without regard to ASCII case, as sign-in
    // names do on the SQL Server store; a new broker has an empty password until the first
    // sign-in sets one.
    R"(create table 코드_주선사 (
        ID integer primary key autoincrement,
        아이디 text not null collate nocase unique,
        비밀번호 text not null default '',
        주선사명 text, 연락처 text, 대표자 text, 사업자번호 text, 업태 text, 종목 text,
        우편번호 text, 우편주소1 text, 우편주소2 text, 주소1 text, 주소2 text,
        기록일시 text,
        버전 integer not null default 0))",

    // Sign-in writes its first password here; the trigger carries it into 코드_주선사, the
    // one place sign-in reads it from.
    R"(create view 로그인 as select ID, 아이디, 비밀번호 from 코드_주선사)",
    R"(create trigger 로그인_비밀번호 instead of update on 로그인 begin
        update 코드_주선사 set 비밀번호 = coalesce(new.비밀번호, '') where ID = old.ID;
    end)",

    // Shippers. 코드 is what the board types; 화주저장 hands out the next free number.
    R"(create table 코드_화주 (
        ID integer primary key autoincrement,
        코드 text not null unique,
        화주명 text, 연락처 text, 회사명 text, 대표자 text, 사업자번호 text, 업태 text, 종목 text,
        우편번호 text, 우편주소1 text, 우편주소2 text, 주소1 text, 주소2 text,
        이메일 text, 계산서담당 text, 계산서담당전화 text,
        작성아이디 text, 기록일시 text,
        버전 integer not null default 0))",

    // Vehicle owners, identified by their broker's 아이디 and their mobile phone (digits).
    R"(create table 코드_차주 (
        ID integer primary key autoincrement,
        아이디 text not null, 휴대전화 text not null,
        기사명 text, 차량번호 text, 차종 text, 톤수 text, 길이 text, 길이2 text,
        연락처 text, 회사명 text, 대표자 text, 사업자번호 text, 업태 text, 종목 text, 이메일 text,
        우편번호 text, 우편주소1 text, 우편주소2 text, 주소1 text, 주소2 text,
        은행명 text, 계좌번호 text, 예금주 text,
        기록일시 text,
        버전 integer not null default 0,
        unique (아이디, 휴대전화)))",
    R"(create index 코드_차주_휴대전화 on 코드_차주 (휴대전화))",
    R"(create index 코드_화주_화주명 on 코드_화주 (화주명))",

    // Orders. The columns follow the arguments of 오더저장 (see procedures.cpp for which
    // argument fills which column), then the dispatch block written when a vehicle is
    // assigned (차량길이2 is kept here, copied from the owner's 길이2 at dispatch, so the
    // board's view needs no join), then the settlement dates.
    R"(create table 화물오더 (
        ID integer primary key autoincrement,
        날짜 text not null, 오더상태 text not null default '접수',
        작성아이디 text, 작성회사명 text, 작성자명 text, 작성자연락처 text,
        화주사업자번호 text, 화주명 text, 화주연락처 text,
        상차요청일시 text, 상차권역 text, 상차지 text, 상차지상세 text, 상차방법 text,
        상차담당자 text, 상차담당연락처 text,
        하차요청일시 text, 하차권역 text, 하차지 text, 하차지상세 text, 하차방법 text,
        하차담당자 text, 하차담당연락처 text,
        희망톤수 text, 희망차종 text, 화물중량 text, 차량대수 text, 적재구분 text,
        화물정보1 text, 화물정보2 text, 운임구분 text, 운송비 text, 수수료 text, 비고 text,
        화주코드 text, 화주대표자 text, 화주상호 text, 화주업태 text, 화주종목 text,
        화주우편번호 text, 화주주소1 text, 화주주소2 text, 예비1 text, 예비2 text, 예비3 text,
        화주계산서담당 text, 화주이메일 text,
        배차시간 text, 차주아이디 text, 차주명 text, 차주연락처 text, 차량번호 text,
        차량정보 text, 차량톤수 text, 차량길이 text, 차량길이2 text,
        인수증날짜 text, 계산서날짜 text, 결제일 text not null default '',
        기록일시 text, 수정일시 text,
        버전 integer not null default 0, 요청키 text))",
    // The board and the inquiry read one day or a period, the settlement screen a period of
    // two statuses; all of them start from the date.
    R"(create index 화물오더_날짜 on 화물오더 (날짜, 오더상태))",
    kPeriodOrderIndex,

    // The board's view: every order column (차량길이2 included).
    R"(create view 뷰_화물오더콜센터 as select * from 화물오더)",
    // The settlement view adds the serial number: order date digits and the key.
    R"(create view 뷰_화물오더 as
        select 화물오더.*, replace(날짜, '-', '') || '-' || printf('%06d', ID) as 일련번호 from 화물오더)",

    // Address directory of the address lookup.
    R"(create table 좌표주소 (
        ID integer primary key autoincrement,
        SIDO text not null, SIGUNGU text not null, UPMYENDONG text not null, ADDR text not null))",
    R"(create view 뷰_좌표주소 as select ID, SIDO, SIGUNGU, UPMYENDONG, ADDR from 좌표주소)",

    // Electronic tax invoices, written by the issuing side; the client only reads them. The
    // issuing vehicle owner's name, phone and plate are kept with the invoice as issued.
    R"(create table 세금계산서 (
        ID integer primary key autoincrement,
        오더ID integer, 작성일자 text, 발행일시 text,
        공급가액 text, 세액 text,
        공급자사업자번호 text, 공급자상호 text, 공급자대표자 text, 공급자주소 text,
        공급자업태 text, 공급자종목 text,
        받는자사업자번호 text, 받는자상호 text, 받는자대표자 text, 받는자주소 text,
        받는자업태 text, 받는자종목 text, 받는자담당 text, 받는자이메일 text,
        품목일자1 text, 품목명1 text, 공급가액1 text, 세액1 text,
        기사명 text, 휴대전화 text, 차량번호 text, 이메일 text,
        승인번호 text, niceStatus text, DocStatus text))",
    R"(create view 뷰_세금계산서 as
        select ID, 오더ID, 작성일자, 발행일시, 기사명, 휴대전화, 차량번호, 이메일, 품목명1, 공급가액, 세액,
               cast(coalesce(cast(공급가액 as integer), 0) + coalesce(cast(세액 as integer), 0) as text) as 총금액,
               승인번호, niceStatus, DocStatus
        from 세금계산서)",

    // The procedure catalogue: the store, not the client, owns what each procedure does.
    R"(create table 저장프로시저 (
        이름 text primary key collate nocase,
        인수개수 integer not null,
        본문 text not null,
        선택인수 integer not null default 0))",
    R"(create table 저장소정보 (키 text primary key, 값 text))",
};

// The tables whose rows carry a version. Every insert and update, however it comes (a
// procedure, a statement, another program), gives the row the next number of its table's
// sequence, so a desk that showed a record can tell it moved since, and a reader
// can ask for "every row above the last version I saw".
const char* const kVersionedTables[] = {"화물오더", "코드_주선사", "코드_화주", "코드_차주"};

// Each table's last version handed out lives in 저장소버전, so a number is never handed out twice
// (a highest row deleted does not bring its number back).
QByteArray versionTriggers(const char* table) {
    const QByteArray t(table);
    // No "or ignore" inside the trigger: an upsert (insert ... on conflict do update) imposes
    // its own conflict handling on the statements of the triggers it fires, so the ignore would
    // turn into a failed save of every existing vehicle owner.
    const QByteArray step = "    insert into 저장소버전 (표, 값) select '" + t + "', 0 where not exists "
                            "(select 1 from 저장소버전 where 표 = '" + t + "');\n"
                            "    update 저장소버전 set 값 = 값 + 1 where 표 = '" + t + "';\n"
                            "    update " + t + " set 버전 = (select 값 from 저장소버전 where 표 = '" + t +
                            "') where ID = new.ID;\n";
    return "create table if not exists 저장소버전 (표 text primary key, 값 integer not null);\n"
           "create index if not exists " + t + "_버전 on " + t + " (버전);\n"
           "insert or ignore into 저장소버전 (표, 값) select '" + t + "', coalesce(max(버전), 0) from " + t + ";\n"
           // Made afresh each time, so a store opened by an older build gets the current bodies.
           "drop trigger if exists " + t + "_버전_추가;\n"
           "drop trigger if exists " + t + "_버전_수정;\n"
           "create trigger " + t + "_버전_추가 after insert on " + t + " begin\n" + step + "end;\n"
           "create trigger " + t + "_버전_수정 after update on " + t +
           " when new.버전 is old.버전 begin\n" + step + "end;\n";
}

// The record of every change of an order, written by the store itself so no path escapes it:
// when (the store's clock), who, which field, its old and new value, and how (the procedure, or
// a plain statement). Bookkeeping columns (the key, the version, the record times) are left out.
QByteArray historyScript(sqlite3* db) {
    QByteArray fields;
    Statement columns(db, "select name from pragma_table_info('화물오더') where name not in "
                          "('ID', '버전', '수정일시', '기록일시') order by cid");
    while (sqlite3_step(columns.get()) == SQLITE_ROW) {
        const QByteArray c(reinterpret_cast<const char*>(sqlite3_column_text(columns.get(), 0)));
        if (!fields.isEmpty()) fields += "        union all ";
        else fields += "        ";
        fields += "select '" + c + "' as 항목, old." + c + " as 이전값, new." + c + " as 새값 where old." + c +
                  " is not new." + c + "\n";
    }
    const QByteArray now = "strftime('%Y-%m-%d %H:%M:%S', 'now', 'localtime')";
    return "create table if not exists 화물오더이력 (\n"
           "    ID integer primary key autoincrement, 오더ID integer not null, 일시 text not null,\n"
           "    누가 text, 항목 text not null, 이전값 text, 새값 text, 방법 text);\n"
           "create index if not exists 화물오더이력_오더 on 화물오더이력 (오더ID, ID);\n"
           "drop trigger if exists 화물오더_이력_추가;\n"
           "drop trigger if exists 화물오더_이력_수정;\n"
           "create trigger 화물오더_이력_추가 after insert on 화물오더 begin\n"
           "    insert into 화물오더이력 (오더ID, 일시, 누가, 항목, 이전값, 새값, 방법)\n"
           "    values (new.ID, " + now + ", ds_who(), '오더등록', null, new.오더상태, ds_how());\nend;\n"
           "create trigger 화물오더_이력_수정 after update on 화물오더 begin\n"
           "    insert into 화물오더이력 (오더ID, 일시, 누가, 항목, 이전값, 새값, 방법)\n"
           "    select new.ID, " + now + ", ds_who(), 항목, 이전값, 새값, ds_how() from (\n" + fields +
           "    );\nend;\n";
}

// A repeated save of one request (the link died after the first) finds the order it stored.
// A shipper's usual lanes are grouped from this index alone, in its order: no sort of the
// shipper's orders, and the table is read only for the few lanes offered.
constexpr const char* kShipperLaneIndex =
    "create index if not exists 화물오더_화주노선 on 화물오더 (화주코드, 상차권역, 상차지, 하차권역, "
    "하차지, 희망톤수, 희망차종, 날짜, 오더상태)";

constexpr const char* kRequestKeyIndex = "create unique index if not exists 화물오더_요청키 on 화물오더 (요청키)";

void runScript(sqlite3* db, const QByteArray& script) {
    char* message = nullptr;
    const int rc = sqlite3_exec(db, script.constData(), nullptr, nullptr, &message);
    if (rc != SQLITE_OK) {
        const QString text = QString::fromUtf8(message ? message : "");
        sqlite3_free(message);
        throw Error{DB_E_ERRORSINCOMMAND, text};
    }
}

void writeProcedureCatalogue(sqlite3* db) {
    run(db, "delete from 저장프로시저");
    Statement insert(db, "insert into 저장프로시저 (이름, 인수개수, 본문, 선택인수) values (?1, ?2, ?3, ?4)");
    std::vector<ProcedureDefinition> all = procedureDefinitions();
    for (ProcedureDefinition& p : signInProcedures()) all.push_back(std::move(p));
    for (const ProcedureDefinition& p : all) {
        sqlite3_bind_text(insert.get(), 1, p.name.constData(), int(p.name.size()), SQLITE_STATIC);
        sqlite3_bind_int(insert.get(), 2, p.argumentCount);
        sqlite3_bind_text(insert.get(), 3, p.body.constData(), int(p.body.size()), SQLITE_STATIC);
        sqlite3_bind_int(insert.get(), 4, p.optionalArguments);
        const int rc = sqlite3_step(insert.get());
        if (rc != SQLITE_DONE) fail(db, rc);
        sqlite3_reset(insert.get());
    }
}

void markSchemaVersion(sqlite3* db) {
    run(db, ("insert or replace into 저장소정보 (키, 값) values ('schema', '" + QByteArray::number(kSchemaVersion) + "')").constData());
}

bool hasColumn(sqlite3* db, const char* table, const char* column) {
    Statement probe(db, QByteArray("select 1 from pragma_table_info('") + table + "') where name = '" + column + "'");
    return sqlite3_step(probe.get()) == SQLITE_ROW;
}

// What every store of this build holds beside its tables, written the same way whether the
// store is new or brought up to date: triggers, indexes, the password keeping, the procedures.
void writeStoreMachinery(sqlite3* db) {
    for (const char* table : kVersionedTables) runScript(db, versionTriggers(table));
    runScript(db, historyScript(db));
    run(db, kRequestKeyIndex);
    run(db, kShipperLaneIndex);
    runScript(db, passwordSchema());
    writeProcedureCatalogue(db);
    markSchemaVersion(db);
}

} // namespace

void upgradeSchema(sqlite3* db) {
    // Stores made before the period index get it when first opened; rows stay as they are.
    run(db, kPeriodOrderIndex);
    // Stores made before row versions: the columns (existing rows start at version 0), the
    // triggers, the request key and the procedures that check them.
    for (const char* table : kVersionedTables)
        if (!hasColumn(db, table, "버전"))
            run(db, (QByteArray("alter table ") + table + " add column 버전 integer not null default 0").constData());
    if (!hasColumn(db, "화물오더", "요청키")) run(db, "alter table 화물오더 add column 요청키 text");
    if (!hasColumn(db, kProcedureTable, "선택인수"))
        run(db, "alter table 저장프로시저 add column 선택인수 integer not null default 0");
    writeStoreMachinery(db);
}

void createSchema(sqlite3* db) {
    for (const char* sql : kSchema) run(db, sql);
    writeStoreMachinery(db);
    fillAddressDirectory(db);
}

} // namespace dstore::detail
