#pragma once
// Sample data for tests and benchmarks.
#include "orderstatements.h"

#include <QStringList>

// One board-like row of 14 texts for grid tests and the grid benchmark: Korean addresses, a
// status, a plate and a phone that vary with i, so rows are not all one shared string.
inline QStringList SampleBoardRow(int i) {
    return {QString::number(100000 + i),
            QStringLiteral("2024-05-%1").arg(i % 28 + 1, 2, 10, QLatin1Char('0')),
            QStringLiteral("배차완료"),
            QStringLiteral("경기 화성시 남양읍"),
            QStringLiteral("부산 강서구 녹산동"),
            QStringLiteral("㈜델모라물류"),
            QStringLiteral("12가%1").arg(i % 10000, 4, 10, QLatin1Char('0')),
            QStringLiteral("홍길동"),
            QStringLiteral("010-%1-5678").arg(i % 10000, 4, 10, QLatin1Char('0')),
            QString::number(250000 + (i % 50) * 10000),
            QStringLiteral("윙바디 5톤 9.6m"),
            QStringLiteral("파렛트 12개"),
            QStringLiteral("상차 09:00"),
            QStringLiteral("delmora01")};
}

// An order as the board saves it (Seoul to Busan, 5 tons on a wing body, shipper 1001), its
// 상차지 and fare given so that orders can be told apart.

inline OrderSql::OrderEntry SampleOrderEntry(const QString& 상차지, qint64 fare) {
    OrderSql::OrderEntry e;
    e.day = QStringLiteral("2026-03-18");
    e.loadAt = QStringLiteral("2026-03-18 09:30");
    e.상차권역 = QStringLiteral("서울");
    e.상차지 = 상차지;
    e.unloadAt = QStringLiteral("2026-03-19 14:00");
    e.하차권역 = QStringLiteral("부산");
    e.하차지 = QStringLiteral("해운대구 우동");
    e.희망톤수 = QStringLiteral("5톤");
    e.차종 = QStringLiteral("윙바디");
    e.weight = QStringLiteral("5톤");
    e.제품정보 = QStringLiteral("전자부품");
    e.amount = fare;
    e.화주코드 = QStringLiteral("1001");
    return e;
}
