#pragma once
// Small helpers shared by the store's tests: a fresh store in a temporary folder, one-cell
// reads, a whole-store dump for "nothing changed" checks, and catching the store's errors.
#include "freightstore.h"
#include "pgstore.h"

#include <QTemporaryDir>
#include <QtTest>
#include <functional>
#include <optional>
#include <sqlite3.h>

namespace storetest {

inline QString cell(dstore::FreightStore& store, const QByteArray& sql) {
    const auto rows = store.query(sql);
    return rows->rowCount() > 0 && rows->columnCount() > 0 ? rows->text(0, 0) : QString();
}

// The embedded store or the same store on a PostgreSQL server: the contract holds for both.
struct AnyStore {
    std::unique_ptr<dstore::FreightStore> embedded;
    std::unique_ptr<dstore::PgStore> server;
    std::shared_ptr<const dstore::ResultSet> query(const QByteArray& sql) {
        if (embedded) return embedded->query(sql);
        return server->query(sql);
    }
    void execute(const QByteArray& sql) { (void)query(sql); }
    explicit operator bool() const { return embedded || server; }
};

inline QString cell(AnyStore& store, const QByteArray& sql) {
    const auto rows = store.query(sql);
    return rows->rowCount() > 0 && rows->columnCount() > 0 ? rows->text(0, 0) : QString();
}

inline qsizetype rowCount(dstore::FreightStore& store, const QByteArray& sql) { return store.query(sql)->rowCount(); }
inline qsizetype rowCount(AnyStore& store, const QByteArray& sql) { return store.query(sql)->rowCount(); }

// One table's rows for a dump, NULL told apart from the empty text.
inline void appendRows(QString& out, const QByteArray& table, const dstore::ResultSet& rows) {
    out += QString::fromUtf8(table) + QLatin1Char('\n');
    for (qsizetype r = 0; r < rows.rowCount(); ++r) {
        for (int c = 0; c < rows.columnCount(); ++c)
            out += rows.isNull(r, c) ? QStringLiteral("<null>|") : rows.text(r, c) + QLatin1Char('|');
        out += QLatin1Char('\n');
    }
}

// Every table's rows in key order, NULL told apart from the empty text.
inline QString dump(dstore::FreightStore& store) {
    QString out;
    const auto tables = store.query("select name from sqlite_master where type = 'table' and name not like 'sqlite%' order by name");
    for (qsizetype t = 0; t < tables->rowCount(); ++t) {
        const QByteArray table = tables->bytes(t, 0).toByteArray();
        // Straight through the engine: the statement channel keeps the password hashes back.
        dstore::ResultSet rows;
        sqlite3_stmt* s = nullptr;
        // A hash is salted afresh each time; whether one is kept is what stays the same.
        // The history's times are the store's clock at each write: what it records is the rest.
        const QByteArray columns = table == "주선사암호"   ? "주선사ID, 해시 is not null, 틀린횟수"
                                   : table == "화물오더이력" ? "ID, 오더ID, 누가, 항목, 이전값, 새값, 방법"
                                                           : "*";
        sqlite3_prepare_v2(store.handle(), "select " + columns + " from \"" + table + "\" order by rowid", -1, &s,
                           nullptr);
        std::vector<QByteArray> names;
        for (int c = 0; c < sqlite3_column_count(s); ++c) names.emplace_back(sqlite3_column_name(s, c));
        rows.setColumns(names);
        while (sqlite3_step(s) == SQLITE_ROW)
            for (int c = 0; c < sqlite3_column_count(s); ++c)
                if (sqlite3_column_type(s, c) == SQLITE_NULL)
                    rows.appendNull();
                else
                    rows.appendCell(QByteArrayView(reinterpret_cast<const char*>(sqlite3_column_text(s, c)),
                                                   sqlite3_column_bytes(s, c)));
        sqlite3_finalize(s);
        appendRows(out, table, rows);
    }
    return out;
}

// The same for either store: every table's rows in key order.
inline QString dump(AnyStore& store) {
    if (store.embedded) return dump(*store.embedded);
    QString out;
    const auto tables = store.query("select table_name from information_schema.tables where table_schema = 'public' "
                                    "and table_type = 'BASE TABLE' order by table_name");
    for (qsizetype t = 0; t < tables->rowCount(); ++t) {
        const QByteArray table = tables->bytes(t, 0).toByteArray();
        const QByteArray columns = table == "화물오더이력" ? "ID, 오더ID, 누가, 항목, 이전값, 새값, 방법" : "*";
        const auto rows = store.query("select " + columns + " from \"" + table + "\" order by 1");
        appendRows(out, table, *rows);
    }
    return out;
}

// 오더저장's bare (unquoted) arguments: vehicle count, run kind, fare kind, amount, commission.
inline bool bareOrderArgument(int position) {
    return position == 27 || position == 28 || position == 31 || position == 32 || position == 33;
}

// An order registration as the board writes it; value(k) gives argument k's text.
inline QByteArray orderSave(const std::function<QByteArray(int)>& value) {
    QByteArray s = "exec 오더저장 ";
    for (int k = 1; k <= 47; ++k) {
        s += k == 1 ? " " : ",";
        s += bareOrderArgument(k) ? value(k) : "'" + QByteArray(value(k)).replace("'", "''") + "'";
    }
    return s;
}

// Runs SQL straight through SQLite, past the statement channel's guard (transactions, plans).
inline QStringList raw(dstore::FreightStore& store, const QByteArray& sql) {
    QStringList firstCells;
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(store.handle(), sql.constData(), int(sql.size()), &stmt, nullptr) != SQLITE_OK) {
        QTest::qFail(sqlite3_errmsg(store.handle()), __FILE__, __LINE__);
        return firstCells;
    }
    const int last = sqlite3_column_count(stmt) - 1;
    while (sqlite3_step(stmt) == SQLITE_ROW)
        firstCells << QString::fromUtf8(
            reinterpret_cast<const char*>(sqlite3_column_text(stmt, last < 0 ? 0 : last)));
    sqlite3_finalize(stmt);
    return firstCells;
}

// The error a call throws, or nothing when it succeeds.
inline std::optional<dstore::Error> errorOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const dstore::Error& e) {
        return e;
    }
    return std::nullopt;
}

// "exec NAME 'p1','p2',...": count quoted arguments, each "<prefix><position>".
inline QByteArray execWith(const QByteArray& name, int count, const QByteArray& prefix = "p") {
    QByteArray s = "exec " + name + " ";
    for (int i = 1; i <= count; ++i) s += (i > 1 ? ",'" : " '") + prefix + QByteArray::number(i) + "'";
    return s;
}

} // namespace storetest
