#include "listrows.h"
#include "spreadmodel.h"

ListRows::ListRows(SharedRecordset rs, int columns, int keyColumn, bool trimKey, Build build)
    : m_rs(std::move(rs)), m_columns(columns), m_key(keyColumn), m_trimKey(trimKey),
      m_build(std::move(build)) {}

qsizetype ListRows::rowCount() const {
    return m_rs.rows() ? m_rs.rows()->rowCount() : 0;
}

QString ListRows::rowTag(qsizetype row) {
    if (m_key < 0 || !m_rs.rows()) return {};
    const QString key = m_rs.rows()->text(row, m_key);
    return m_trimKey ? key.trimmed() : key;
}

void ListRows::buildRow(qsizetype row, QString& cells, std::vector<quint32>& ends, QString& tag,
                        QColor& colour) {
    m_texts.clear();
    colour = Qt::black;
    m_build(row, m_texts, colour);
    SpreadModel::JoinTexts(m_texts, cells, ends);
    tag = rowTag(row);
}
