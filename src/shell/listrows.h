#pragma once
// A list's answer handed to its grid unbuilt: a row's texts are made from the answer the first
// time the grid reads the row (drawn, reached by a key, exported), so a list of many thousand
// records costs little more than reading them from the store. The source keeps the answer;
// emptying the grid or closing the screen lets both go.
#include "spreadgrid.h"
#include "storeconnection.h"

#include <QColor>
#include <QStringList>
#include <functional>

class ListRows final : public RowSource {
public:
    // Writes row `row`'s texts (column 1 first) and may change its text colour (black unless
    // set).
    using Build = std::function<void(qsizetype row, QStringList& texts, QColor& colour)>;
    // keyColumn: the answer's column whose text becomes the row's tag (-1: none); trimmed when
    // trimKey.
    ListRows(SharedRecordset rs, int columns, int keyColumn, bool trimKey, Build build);

    qsizetype rowCount() const override;
    int columnCount() const override { return m_columns; }
    void buildRow(qsizetype row, QString& cells, std::vector<quint32>& ends, QString& tag,
                  QColor& colour) override;
    QString rowTag(qsizetype row) override;

private:
    const SharedRecordset m_rs;
    const int m_columns;
    const int m_key;
    const bool m_trimKey;
    const Build m_build;
    QStringList m_texts;
};
