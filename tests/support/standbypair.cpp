#include "standbypair.h"

#include "ordersaveoutcome.h"
#include "orderstatements.h"
#include "pgstore.h"
#include "samplerows.h"
#include "storetrap.h"

#include <QThread>
#include <QUuid>
#include <libpq-fe.h>

namespace {

QString socketAddress(const PgCluster& c, const QString& database) {
    return QStringLiteral("postgresql://postgres@/%1?host=%2&port=%3").arg(database, c.socketDirectory()).arg(c.port());
}

// The last statement answers one row (each runs on its own: ALTER SYSTEM must).
bool answersRow(const QString& address, const std::vector<const char*>& statements) {
    PGconn* conn = PQconnectdb(address.toUtf8().constData());
    bool row = false;
    for (const char* sql : statements) {
        PGresult* res = PQexec(conn, sql);
        const ExecStatusType status = PQresultStatus(res);
        row = status == PGRES_TUPLES_OK && PQntuples(res) == 1;
        PQclear(res);
        if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK) break;
    }
    PQfinish(conn);
    return row;
}

// Every commit on the primary waits for the standby from now on (the primary's own setting: the
// standby, once promoted, waits for nobody). It counts once the primary says the standby is
// synchronous; until then a commit would not wait for it and the run would prove nothing.
bool makeStandbySynchronous(const QString& primary) {
    if (!answersRow(primary, {"alter system set synchronous_standby_names = 'standby'", "select pg_reload_conf()"}))
        return false;
    for (int tries = 0; tries < 200; ++tries) {
        if (answersRow(primary, {"select 1 from pg_stat_replication where sync_state = 'sync'"})) return true;
        QThread::msleep(50);
    }
    return false;
}

OrderSql::OrderEntry entryOf(const QString& desk, int serial) {
    return SampleOrderEntry(desk + QStringLiteral(" 창고 ") + QString::number(serial), 100000 + serial);
}

} // namespace

QString StandbyPair::deskAddress() const {
    return QStringLiteral("postgresql://postgres@/%1?host=%2,%3&port=%4,%5&target_session_attrs=read-write")
        .arg(database, primary->socketDirectory(), standby->socketDirectory())
        .arg(primary->port())
        .arg(standby->port());
}

QString StandbyPair::standbyAddress() const {
    return socketAddress(*standby, database);
}

std::unique_ptr<StandbyPair> StandbyPair::start(const QString& database, QString* whyNot) {
    auto pair = std::make_unique<StandbyPair>();
    pair->database = database;
    pair->primary = PgCluster::create(QStringLiteral("-c synchronous_commit=on"), whyNot);
    if (!pair->primary) return nullptr;
    if (!pair->primary->createDatabase(database, {}, whyNot)) return nullptr;
    try {
        dstore::PgStore::open(socketAddress(*pair->primary, database))->createSchema();
    } catch (const dstore::Error& e) {
        *whyNot = e.message;
        return nullptr;
    }
    pair->standby = pair->primary->makeStandby(QStringLiteral("standby"), QString(), whyNot);
    if (!pair->standby) return nullptr;
    if (!makeStandbySynchronous(socketAddress(*pair->primary, QStringLiteral("postgres")))) {
        *whyNot = QStringLiteral("the standby never became synchronous");
        return nullptr;
    }
    return pair;
}

SavingDesks::SavingDesks(int desks) : m_desks(size_t(desks)) {
    for (int d = 0; d < desks; ++d)
        m_desks[size_t(d)].name = QStringLiteral("desk%1").arg(d + 1);
    // Links opened after the kill can only be on the promoted standby: the old postmaster is gone.
    SetBackendFactory([this](const ConnectionSettings& s) {
        auto backend = OpenBackend(s);
        if (m_killedAt.load()) m_afterKill.insert(backend.get());
        return backend;
    });
}

SavingDesks::~SavingDesks() {
    SetBackendFactory({});
}

bool SavingDesks::connect() {
    for (Desk& desk : m_desks) {
        int attempts = 0;
        StoreConnection.reset();
        StoreReady = false;
        if (!ConnectStore(attempts)) return false;
        desk.link = std::move(StoreConnection);
    }
    StoreReady = true;
    return true;
}

bool SavingDesks::save(int index) {
    Desk& desk = m_desks[size_t(index)];
    const int serial = ++desk.serial;
    const OrderSql::OrderEntry entry = entryOf(desk.name, serial);
    const OrderSql::Broker broker{desk.name, QStringLiteral("델모라콜센터"), QStringLiteral("0212345678"), std::nullopt};
    const QString key = QUuid::createUuid().toString(QUuid::WithoutBraces);
    const QString statement = OrderSql::SaveOrderStatement(entry, broker, OrderSql::Shipper{}, key);
    std::swap(StoreConnection, desk.link);
    StoreReady = true;
    bool acknowledged = false;
    for (int tries = 0; tries < 5 && !acknowledged; ++tries) {
        StoreTrap trap;
        OrderSave::Outcome outcome;
        const bool ran = RunRoutine([&] { outcome = OrderSave::Send(trap, statement, entry, desk.name, key); });
        acknowledged = ran && (outcome.result == OrderSave::Result::Saved || outcome.result == OrderSave::Result::Found);
        m_unknown += outcome.result == OrderSave::Result::Found || outcome.result == OrderSave::Result::NotStored;
        if (acknowledged) {
            m_acknowledgedKeys.push_back(key);
            if (!m_resumedAt && m_afterKill.contains(StoreConnection.get()))
                m_resumedAt = FailoverClock::now().time_since_epoch().count();
            ++m_acknowledged;
        }
    }
    std::swap(StoreConnection, desk.link);
    return acknowledged;
}

double SavingDesks::resumeSeconds() const {
    if (!m_resumedAt || !m_killedAt.load()) return -1;
    return std::chrono::duration<double>(FailoverClock::duration(m_resumedAt - m_killedAt.load())).count();
}

SavingDesks::Check SavingDesks::check(const QString& address) const {
    Check result;
    const auto rows = dstore::PgStore::open(address)->query(
        "select 요청키, count(*) from 화물오더 where 요청키 is not null group by 요청키");
    QHash<QString, int> stored;
    for (qsizetype r = 0; r < rows->rowCount(); ++r) {
        const int count = rows->text(r, 1).toInt();
        stored.insert(rows->text(r, 0), count);
        if (count > 1) {
            ++result.doubled;
            result.problems << QStringLiteral("stored %1 times: %2").arg(count).arg(rows->text(r, 0));
        }
    }
    for (const QString& key : m_acknowledgedKeys)
        if (!stored.contains(key)) {
            ++result.lost;
            result.problems << QStringLiteral("acknowledged but not stored: ") + key;
        }
    return result;
}
