#pragma once
// One board-like row of 14 texts for grid tests and the grid benchmark: Korean addresses, a
// status, a plate and a phone that vary with i, so rows are not all one shared string.
#include <QStringList>

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
