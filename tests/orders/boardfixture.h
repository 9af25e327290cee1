#pragma once
// Shared pieces of the order board's screen tests: known orders in a fresh store, a signed-in
// broker and a board shown like the real one.
#include "clock.h"
#include "ini.h"
#include "frmorder.h"
#include "signin.h"
#include "spreadgrid.h"
#include "teststore.h"
#include <sqlite3.h>

#include <QApplication>
#include <QMap>
#include <QTimer>
#include <QtTest>
#include <memory>

namespace BoardFixture {

// Wednesday 2026-12-09, 09:40.
inline QDateTime Morning() {
    return QDateTime(QDate(2026, 12, 9), QTime(9, 40));
}

inline void SignIn() {
    LoginId = QStringLiteral("demo");
    BrokerName = QStringLiteral("델모라주선");
    BrokerPhone = QStringLiteral("0212345678");
    RowHeightSetting = QStringLiteral("18");
    RefreshIntervalSetting = QStringLiteral("10");
}

// Every board test starts here: the morning clock, a signed-in broker, no saved column
// widths and a fresh store.
inline std::unique_ptr<TestStore> FreshStart() {
    Clock::set(Morning());
    SignIn();
    WriteIni(QStringLiteral("컬럼폭"), QStringLiteral("오더등록"), QString());
    return std::make_unique<TestStore>();
}

// Inserts an order straight into the store; returns its ID.
inline QString InsertOrder(TestStore& store, const QMap<QString, QString>& values) {
    QMap<QString, QString> v = {{QStringLiteral("날짜"), QStringLiteral("2026-12-09")},
                                {QStringLiteral("오더상태"), QStringLiteral("접수")},
                                {QStringLiteral("상차권역"), QStringLiteral("서울")},
                                {QStringLiteral("상차지"), QStringLiteral("강남구 역삼동")},
                                {QStringLiteral("하차권역"), QStringLiteral("부산")},
                                {QStringLiteral("하차지"), QStringLiteral("해운대구 우동")},
                                {QStringLiteral("상차요청일시"), QStringLiteral("2026-12-09 10:00")},
                                {QStringLiteral("하차요청일시"), QStringLiteral("2026-12-10 15:30")},
                                {QStringLiteral("희망톤수"), QStringLiteral("5톤")},
                                {QStringLiteral("희망차종"), QStringLiteral("윙바디")},
                                {QStringLiteral("적재구분"), QStringLiteral("1")},
                                {QStringLiteral("차량대수"), QStringLiteral("1")},
                                {QStringLiteral("수수료"), QStringLiteral("0")},
                                {QStringLiteral("운임구분"), QStringLiteral("1")},
                                {QStringLiteral("운송비"), QStringLiteral("300000")},
                                {QStringLiteral("화물정보1"), QStringLiteral("파렛트")}};
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        v[it.key()] = it.value();
    return store.insert(QStringLiteral("화물오더"), v);
}

// The board as the main window shows it, with its timer stopped so tests drive the steps.
inline std::unique_ptr<frmOrder> OpenBoard(QSize size = QSize(1600, 1000)) {
    auto board = std::make_unique<frmOrder>();
    board->Timer1->stop();
    board->resize(size);
    board->show();
    QApplication::setActiveWindow(board.get());
    if (!QTest::qWaitForWindowActive(board.get())) qWarning("board window not active");
    return board;
}

template <class W> W* Child(QWidget* board, const QString& name) {
    W* w = board->findChild<W*>(name);
    if (!w) qFatal("no control %s", qPrintable(name));
    return w;
}

inline QPoint CellCentre(SpreadGrid* grid, int col, int row) {
    return grid->visualRect(grid->model()->index(row - 1, col - 1)).center();
}

inline void ClickRow(SpreadGrid* grid, int row, int col = 2) {
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, CellCentre(grid, col, row));
}

// Types text as key presses carrying it (Korean included, one key per syllable), as an input
// method commits it.
inline void Type(QWidget* box, const QString& text) {
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

// One order row as stored, every column by name.
inline QMap<QString, QString> StoredRow(TestStore& store, const QString& id) {
    // The statement channel refuses the catalogue, so the column names come from SQLite itself.
    QStringList columns;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(store.path().toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, "select name from pragma_table_info('화물오더')", -1, &stmt, nullptr) == SQLITE_OK)
            while (sqlite3_step(stmt) == SQLITE_ROW)
                columns << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
    const QStringList values =
        store.rows(QStringLiteral("select %1 from 화물오더 where ID=%2").arg(columns.join(u','), id))
            .value(0);
    QMap<QString, QString> row;
    for (qsizetype i = 0; i < columns.size(); ++i)
        row[columns[i]] = values.value(i);
    return row;
}

inline QString FocusName() {
    QWidget* w = QApplication::focusWidget();
    return w ? w->objectName() : QString();
}

} // namespace BoardFixture
