#include "teststore.h"
#include "clock.h"
#include "deployment.h"
#include "ini.h"
#include "prompts.h"
#include <QFile>
#include <QtTest>
#include <map>
#include <sqlite3.h>

// One TestStore lives at a time; its wrappers and the test share this state.
namespace {
struct Fault {
    qint64 number;
    QString description;
    bool reached;
    bool applied;
};

struct Shared {
    QStringList statements;
    qint64 sent = 0;                 // statements handed to any wrapper so far
    std::map<qint64, Fault> faults;  // by the running number of the statement they hit
    bool serverStore = false;        // answers as a SQL Server store would (see actAsServerStore)
};

Shared* shared = nullptr;
std::unique_ptr<dstore::FreightStore> direct;
Deployment savedDeployment;

// Wraps the real backend the client would open: records each statement and fails the one a
// test chose. An injected lost connection leaves this link dead, as a real one would be, so
// only a reconnect brings statements through again.
class FaultingBackend final : public StoreBackend {
public:
    explicit FaultingBackend(std::unique_ptr<StoreBackend> inner) : m_inner(std::move(inner)) {}

    std::shared_ptr<const dstore::ResultSet> query(const QString& statement) override {
        std::shared_ptr<const dstore::ResultSet> rows;
        run(statement, [&] { rows = m_inner->query(statement); });
        return rows;
    }
    std::shared_ptr<const dstore::ResultSet> query(const QString& statement,
                                                   const ColumnRequest& columns) override {
        std::shared_ptr<const dstore::ResultSet> rows;
        run(statement, [&] { rows = m_inner->query(statement, columns); });
        return rows;
    }
    void execute(const QString& statement) override {
        run(statement, [&] { m_inner->execute(statement); });
    }
    qint64 changedRows() const override { return m_inner->changedRows(); }
    bool checksVersions() override { return !shared->serverStore && m_inner->checksVersions(); }
    void setSessionUser(const QString& who) override { m_inner->setSessionUser(who); }
    // Asked past the recording: the feed's looks are not statements a screen sent.
    StoreChanges pollChanges() override {
        if (m_dead) throw StoreFailure{E_FAIL_NUMBER, QStringLiteral("연결이 끊어졌습니다."), false};
        return m_inner->pollChanges();
    }

private:
    template <class F> void run(const QString& statement, F&& send) {
        if (m_dead) throw StoreFailure{E_FAIL_NUMBER, QStringLiteral("연결이 끊어졌습니다."), false};
        shared->statements.append(statement);
        const qint64 number = ++shared->sent;
        const auto fault = shared->faults.find(number);
        if (fault == shared->faults.end()) {
            send();
            return;
        }
        const Fault f = fault->second;
        shared->faults.erase(fault);
        if (f.applied) send();
        if (f.number == E_FAIL_NUMBER) m_dead = true;
        throw StoreFailure{f.number, f.description, f.reached};
    }

    std::unique_ptr<StoreBackend> m_inner;
    bool m_dead = false;
};

void removeStoreFiles(const QString& path) {
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) QFile::remove(path + QLatin1String(suffix));
}
} // namespace

TestStore::TestStore(int demoOrders) {
    if (shared) qFatal("one TestStore at a time");
    shared = new Shared;
    savedDeployment = CurrentDeployment();
    Deployment embedded = savedDeployment;
    embedded.databaseServer.clear();
    SetDeployment(embedded);

    const QString file = path();
    StoreConnection.reset();
    removeStoreFiles(file);
    try {
        auto created = dstore::FreightStore::create(file);
        if (demoOrders > 0) {
            dstore::DemoOptions options;
            options.orders = demoOrders;
            options.today = Clock::today();
            dstore::fillDemoData(*created, options);
        }
        created.reset();
        direct = dstore::FreightStore::open(file);
    } catch (const dstore::Error& e) {
        qFatal("cannot create the test store: %s", qPrintable(e.message));
    }

    SetBackendFactory([](const ConnectionSettings& settings) -> std::unique_ptr<StoreBackend> {
        return std::make_unique<FaultingBackend>(OpenBackend(settings));
    });
    int attempts = 0;
    if (!ConnectStore(attempts)) qFatal("cannot connect to the test store");
}

TestStore::~TestStore() {
    SetBackendFactory({});
    StoreConnection.reset();
    StoreReady = false;
    direct.reset();
    SetDeployment(savedDeployment);
    delete shared;
    shared = nullptr;
}

void TestStore::exec(const QString& statement) {
    try {
        direct->execute(statement.toUtf8());
    } catch (const dstore::Error& e) {
        QTest::qFail(qPrintable(QStringLiteral("test store: %1 (%2)").arg(e.message, statement)), __FILE__, __LINE__);
    }
}

void TestStore::reshape(const QString& sql) {
    char* message = nullptr;
    if (sqlite3_exec(direct->handle(), sql.toUtf8().constData(), nullptr, nullptr, &message) != SQLITE_OK)
        QTest::qFail(qPrintable(QStringLiteral("test store: %1 (%2)").arg(QString::fromUtf8(message), sql)),
                     __FILE__, __LINE__);
    sqlite3_free(message);
}

void TestStore::actAsServerStore() {
    shared->serverStore = true;
    for (const char* trigger : {"코드_주선사_비밀번호_추가", "코드_주선사_비밀번호_수정"})
        reshape(QStringLiteral("drop trigger %1").arg(QString::fromUtf8(trigger)));
}

QList<QStringList> TestStore::rows(const QString& statement) {
    QList<QStringList> out;
    try {
        const auto result = direct->query(statement.toUtf8());
        for (qsizetype r = 0; r < result->rowCount(); ++r) {
            QStringList row;
            for (int c = 0; c < result->columnCount(); ++c) row.append(result->text(r, c));
            out.append(row);
        }
    } catch (const dstore::Error& e) {
        QTest::qFail(qPrintable(QStringLiteral("test store: %1 (%2)").arg(e.message, statement)), __FILE__, __LINE__);
    }
    return out;
}

QString TestStore::value(const QString& statement) {
    const QList<QStringList> all = rows(statement);
    return all.isEmpty() || all.first().isEmpty() ? QString() : all.first().first();
}

QString TestStore::insert(const QString& table, const QMap<QString, QString>& values) {
    QStringList cols, vals;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        cols << it.key();
        vals << QLatin1Char('\'') + QString(it.value()).replace(QLatin1Char('\''), QStringLiteral("''")) +
                    QLatin1Char('\'');
    }
    exec(QStringLiteral("insert into %1 (%2) values (%3)").arg(table, cols.join(u','), vals.join(u',')));
    return value(QStringLiteral("select max(ID) from ") + table);
}

QStringList TestStore::statements() const { return shared->statements; }

void TestStore::clearStatements() { shared->statements.clear(); }

void TestStore::failStatement(int nth, qint64 number, const QString& description, bool reached) {
    shared->faults[shared->sent + nth] = Fault{number, description, reached, reached};
}

void TestStore::failAfterSending(int nth, bool applied) {
    shared->faults[shared->sent + nth] =
        Fault{E_FAIL_NUMBER, QStringLiteral("link gone after sending"), true, applied};
}

QString TestStore::path() const { return ProgramFolder() + QStringLiteral("/national_corvanta.sqlite"); }

void UseDatabaseServer(const QString& server) {
    Deployment d = CurrentDeployment();
    d.databaseServer = server;
    SetDeployment(d);
}
