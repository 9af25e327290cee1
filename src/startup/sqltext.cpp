#include "sqltext.h"

QString Quote(const QString& value) {
    QString text = value;
    text.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + text + QLatin1Char('\'');
}

QString PhoneContains(const QString& column, const QString& typed) {
    QString digits = typed;
    digits.remove(QLatin1Char('-')).remove(QLatin1Char(' '));
    if (digits.isEmpty())
        return column + QStringLiteral(" like ") + Quote(QLatin1Char('%') + typed + QLatin1Char('%'));
    return QStringLiteral("replace(replace(") + column + QStringLiteral(",'-',''),' ','') like ") +
           Quote(QLatin1Char('%') + digits + QLatin1Char('%'));
}

void ExecBuilder::separator() {
    // The procedure name already carries one blank; the first argument brings its own, which is
    // why calls read "exec NAME  'a','b'" with two blanks, as the store's callers always wrote them.
    m_text += m_count == 0 ? QLatin1Char(' ') : QLatin1Char(',');
    ++m_count;
}

ExecBuilder& ExecBuilder::text(const QString& value) {
    separator();
    m_text += Quote(value);
    return *this;
}

ExecBuilder& ExecBuilder::number(qint64 value) {
    separator();
    m_text += QString::number(value);
    return *this;
}

namespace {
// A bare argument is written without quotes, so it must be a plain decimal number: anything
// else (a key box a user typed into, an empty text) would become statement text of its own.
bool isPlainNumber(const QString& value) {
    qsizetype i = 0;
    if (i < value.size() && (value[i] == QLatin1Char('-') || value[i] == QLatin1Char('+'))) ++i;
    qsizetype digits = 0;
    bool point = false;
    for (; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            ++digits;
        } else if (c == QLatin1Char('.') && !point) {
            point = true;
        } else {
            return false;
        }
    }
    return digits > 0;
}
} // namespace

ExecBuilder& ExecBuilder::bare(const QString& value) {
    separator();
    // Not a number: quoted, so the store answers with a conversion error instead of running
    // whatever the text says.
    m_text += isPlainNumber(value) ? value : Quote(value);
    return *this;
}
