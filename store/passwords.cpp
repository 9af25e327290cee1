// Brokers' passwords on the embedded store. A password is kept only as an Argon2id hash
// (libsodium's crypto_pwhash_str) in 주선사암호, a table no client statement may read or write;
// 코드_주선사.비밀번호 keeps just whether one is set ('' none yet, '#' set). Sign-in and the first
// password are the procedures 로그인확인 and 비밀번호설정, which answer yes or no and the broker's
// name and phone, never a password or a hash.
#include "storeinternal.h"

#include <sodium.h>

#include <algorithm>
#include <chrono>
#include <thread>

namespace dstore::detail {

namespace {

thread_local int ownWork = 0;
// Set while a sign-in procedure runs whose wait was served before its transaction began.
thread_local bool waitServed = false;

// The store's own statements run from inside a client statement (a sign-in called as a function)
// may touch the password table the guard keeps from the client.
struct OwnWork {
    OwnWork() { ++ownWork; }
    ~OwnWork() { --ownWork; }
};

QByteArray argumentText(sqlite3_value* v) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(v));
    return text ? QByteArray(text, sqlite3_value_bytes(v)) : QByteArray();
}

QByteArray hashed(const QByteArray& password) {
    char out[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(out, password.constData(), quint64(password.size()),
                          crypto_pwhash_OPSLIMIT_INTERACTIVE, crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0)
        throw Error{DB_E_STOREREFUSED, QStringLiteral("비밀번호를 암호화할 메모리가 모자랍니다.")};
    return QByteArray(out);
}

void bindText(sqlite3_stmt* s, int i, const QByteArray& v) {
    sqlite3_bind_text(s, i, v.constData(), int(v.size()), SQLITE_TRANSIENT);
}

void step(sqlite3* db, Statement& s) {
    const int rc = sqlite3_step(s.get());
    if (rc != SQLITE_DONE && rc != SQLITE_ROW) fail(db, rc);
}

// ds_password_hash(password): what the write trigger keeps instead of a typed password.
void hashFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    try {
        const QByteArray h = hashed(argumentText(argv[0]));
        sqlite3_result_text(ctx, h.constData(), int(h.size()), SQLITE_TRANSIENT);
    } catch (const Error& e) {
        sqlite3_result_error(ctx, e.message.toUtf8().constData(), -1);
    }
}

void delayFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    sqlite3_result_int(ctx, signInDelaySeconds(sqlite3_value_int(argv[0])));
}

// ds_sign_in(아이디, 비밀번호) → '확인', '틀림', '설정' (no password yet) or '없음' (no such broker).
// A password still in plain text (a store written before hashing) is accepted once and kept
// hashed from then on.
void signInFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    sqlite3* db = sqlite3_context_db_handle(ctx);
    const OwnWork own;
    try {
        const QByteArray id = argumentText(argv[0]), password = argumentText(argv[1]);
        Statement lookup(
            db, "select b.ID, coalesce(b.비밀번호, ''), h.해시, coalesce(h.틀린횟수, 0) from 코드_주선사 b "
                "left join 주선사암호 h on h.주선사ID = b.ID where b.아이디 = ?1");
        bindText(lookup.get(), 1, id);
        if (sqlite3_step(lookup.get()) != SQLITE_ROW)
            return sqlite3_result_text(ctx, "없음", -1, SQLITE_STATIC);
        const qint64 key = sqlite3_column_int64(lookup.get(), 0);
        const QByteArray stored(reinterpret_cast<const char*>(sqlite3_column_text(lookup.get(), 1)));
        const auto* hashText = reinterpret_cast<const char*>(sqlite3_column_text(lookup.get(), 2));
        const QByteArray hash = hashText ? QByteArray(hashText) : QByteArray();
        const int wrongTries = sqlite3_column_int(lookup.get(), 3);
        lookup = Statement();
        if (stored.isEmpty()) return sqlite3_result_text(ctx, "설정", -1, SQLITE_STATIC);

        if (!waitServed) std::this_thread::sleep_for(std::chrono::seconds(signInDelaySeconds(wrongTries)));
        const bool right = hash.isEmpty() ? stored == password && stored != "#"
                                          : crypto_pwhash_str_verify(hash.constData(), password.constData(),
                                                                     quint64(password.size())) == 0;
        if (right) {
            // The write trigger hashes a typed password; the plain one goes with it.
            Statement keep(db, hash.isEmpty() ? "update 코드_주선사 set 비밀번호 = ?2 where ID = ?1"
                                              : "update 주선사암호 set 틀린횟수 = 0 where 주선사ID = ?1");
            sqlite3_bind_int64(keep.get(), 1, key);
            if (hash.isEmpty()) bindText(keep.get(), 2, password);
            step(db, keep);
            return sqlite3_result_text(ctx, "확인", -1, SQLITE_STATIC);
        }
        Statement count(db, "insert into 주선사암호 (주선사ID, 틀린횟수) values (?1, 1) "
                            "on conflict (주선사ID) do update set 틀린횟수 = 틀린횟수 + 1");
        sqlite3_bind_int64(count.get(), 1, key);
        step(db, count);
        sqlite3_result_text(ctx, "틀림", -1, SQLITE_STATIC);
    } catch (const Error& e) {
        sqlite3_result_error(ctx, e.message.toUtf8().constData(), -1);
    }
}

// ds_first_password(아이디, 새 비밀번호) → '확인' when the broker had none yet and the new one is
// long enough; '거절' otherwise (a set password is never replaced this way).
void firstPasswordFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    sqlite3* db = sqlite3_context_db_handle(ctx);
    const OwnWork own;
    try {
        const QByteArray password = argumentText(argv[1]);
        if (QString::fromUtf8(password).toUcs4().size() < MinimumPasswordLength)
            return sqlite3_result_text(ctx, "거절", -1, SQLITE_STATIC);
        Statement set(
            db, "update 코드_주선사 set 비밀번호 = ?2 where 아이디 = ?1 and coalesce(비밀번호, '') = ''");
        bindText(set.get(), 1, argumentText(argv[0]));
        bindText(set.get(), 2, password);
        step(db, set);
        sqlite3_result_text(ctx, sqlite3_changes(db) > 0 ? "확인" : "거절", -1, SQLITE_STATIC);
    } catch (const Error& e) {
        sqlite3_result_error(ctx, e.message.toUtf8().constData(), -1);
    }
}

} // namespace

SignInWait::SignInWait(sqlite3* db, const ExecCall& call) {
    if (call.procedure != "로그인확인" || call.arguments.empty() || !sqlite3_get_autocommit(db)) return;
    // The wait is served here, before the procedure's transaction takes the store's write lock:
    // a try being slowed down must not hold up every other desk's saves.
    int wrongTries = 0;
    {
        const OwnWork own;
        Statement lookup(db, "select coalesce(h.틀린횟수, 0) from 코드_주선사 b "
                             "join 주선사암호 h on h.주선사ID = b.ID where b.아이디 = ?1");
        const QByteArray& id = call.arguments.front().text;
        sqlite3_bind_text(lookup.get(), 1, id.constData(), int(id.size()), SQLITE_STATIC);
        if (sqlite3_step(lookup.get()) == SQLITE_ROW) wrongTries = sqlite3_column_int(lookup.get(), 0);
    }
    std::this_thread::sleep_for(std::chrono::seconds(signInDelaySeconds(wrongTries)));
    waitServed = true;
    m_active = true;
}

SignInWait::~SignInWait() {
    if (m_active) waitServed = false;
}

int signInDelaySeconds(int wrongTries) {
    if (wrongTries < 3) return 0;
    return std::min(1 << std::min(wrongTries - 3, 5), 30);
}

bool storesOwnWork() {
    return ownWork > 0;
}

void registerPasswordFunctions(sqlite3* db) {
    static const bool ready = sodium_init() >= 0;
    if (!ready) return;
    sqlite3_create_function(db, "ds_password_hash", 1, SQLITE_UTF8, nullptr, hashFunction, nullptr, nullptr);
    sqlite3_create_function(db, "ds_sign_in_delay", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                            delayFunction, nullptr, nullptr);
    sqlite3_create_function(db, "ds_sign_in", 2, SQLITE_UTF8, nullptr, signInFunction, nullptr, nullptr);
    sqlite3_create_function(db, "ds_first_password", 2, SQLITE_UTF8, nullptr, firstPasswordFunction, nullptr,
                            nullptr);
}

// The hash table and the triggers that keep a typed password out of 코드_주선사: whatever writes
// one (a new broker, an older client's first password, an older store's rows) leaves the mark
// '#' there and the hash here. An empty password (the broker screen's reset) asks for a new one.
QByteArray passwordSchema() {
    return "create table if not exists 주선사암호 (\n"
           "    주선사ID integer primary key, 해시 text, 틀린횟수 integer not null default 0);\n"
           "create trigger if not exists 코드_주선사_비밀번호_추가 after insert on 코드_주선사\n"
           "    when coalesce(new.비밀번호, '') not in ('', '#') begin\n"
           "    insert into 주선사암호 (주선사ID, 해시) values (new.ID, ds_password_hash(new.비밀번호))\n"
           "        on conflict (주선사ID) do update set 해시 = excluded.해시, 틀린횟수 = 0;\n"
           "    update 코드_주선사 set 비밀번호 = '#' where ID = new.ID;\n"
           "end;\n"
           "create trigger if not exists 코드_주선사_비밀번호_수정 after update of 비밀번호 on 코드_주선사\n"
           "    when coalesce(new.비밀번호, '') not in ('', '#') begin\n"
           "    insert into 주선사암호 (주선사ID, 해시) values (new.ID, ds_password_hash(new.비밀번호))\n"
           "        on conflict (주선사ID) do update set 해시 = excluded.해시, 틀린횟수 = 0;\n"
           "    update 코드_주선사 set 비밀번호 = '#' where ID = new.ID;\n"
           "end;\n"
           "create trigger if not exists 코드_주선사_비밀번호_삭제 after delete on 코드_주선사 begin\n"
           "    delete from 주선사암호 where 주선사ID = old.ID;\n"
           "end;\n"
           // A store written before hashing: its typed passwords go the same way now.
           "update 코드_주선사 set 비밀번호 = 비밀번호 where coalesce(비밀번호, '') not in ('', '#');\n";
}

std::vector<ProcedureDefinition> signInProcedures() {
    // The verdict is reached once (the sign-in counts wrong tries); the broker's fields follow it.
    return {
        {"로그인확인", 2,
         "with r as materialized (select ds_sign_in(?1, ?2) as 결과)\n"
         "select r.결과 as 결과, b.주선사명 as 주선사명, b.연락처 as 연락처, coalesce(h.틀린횟수, 0) as "
         "틀린횟수,\n"
         "    ds_sign_in_delay(coalesce(h.틀린횟수, 0)) as 대기초\n"
         "from r left join 코드_주선사 b on b.아이디 = ?1\n"
         "left join 주선사암호 h on h.주선사ID = b.ID and r.결과 = '틀림'"},
        {"비밀번호설정", 2, "select ds_first_password(?1, ?2) as 결과"},
    };
}

} // namespace dstore::detail
