#pragma once
// A fresh embedded store for one test: created in the test's program folder, connected as
// StoreConnection through ConnectStore, every client statement recorded, faults injectable.
#include "storeconnection.h"
#include <QMap>
#include <QStringList>

class TestStore {
public:
    // Creates ProgramFolder()/national_corvanta.sqlite afresh (removing an old one) with the
    // schema only (no demo rows unless demoOrders > 0), then ConnectStore.
    explicit TestStore(int demoOrders = 0);
    ~TestStore();
    TestStore(const TestStore&) = delete;
    TestStore& operator=(const TestStore&) = delete;

    // Straight to the store, bypassing the client connection and the recording.
    void exec(const QString& statement);
    // Changes the store's shape straight through SQLite, as only the store's own set-up may
    // (the statement channel refuses it): for tests that need another table or view.
    void reshape(const QString& sql);
    // From now on the client takes the store for a SQL Server store (not one of ours), and the
    // store keeps passwords as written, as such a store does.
    void actAsServerStore();
    QList<QStringList> rows(const QString& statement);   // all rows, cells as text
    QString value(const QString& statement);             // first cell of the first row, "" if none
    // Inserts one row of texts (column -> value) into a table; returns the new row's ID.
    QString insert(const QString& table, const QMap<QString, QString>& values);

    // Statements the client sent through StoreConnection, in order.
    QStringList statements() const;
    void clearStatements();

    // Fault injection: the nth statement from now (1 = the next) fails with this number. For
    // E_FAIL, reached says whether the statement was applied to the store before the link died.
    void failStatement(int nth, qint64 number, const QString& description = QStringLiteral("injected"),
                       bool reached = false);
    // The nth statement from now is sent and then the link dies: applied or not, the client
    // cannot tell which.
    void failAfterSending(int nth, bool applied);
    QString path() const;
};

// Names the deployment's database server for the rest of the test ("" = the embedded store).
void UseDatabaseServer(const QString& server);
