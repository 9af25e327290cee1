#pragma once
// Statement text helpers: every text value placed in a statement goes through Quote, every
// procedure call through ExecBuilder.
#include <QString>

// 'value' with every single quote doubled, so a typed ' can never end the literal.
QString Quote(const QString& value);

// "COLUMN like '%text%'" for a phone column, compared without dashes and blanks on both sides:
// 010-5555-6666, 010 5555 6666 and 01055556666 find each other however the phone was stored.
// REPLACE reads the same on SQLite, PostgreSQL and SQL Server. A text of nothing but dashes and
// blanks is searched as typed.
QString PhoneContains(const QString& column, const QString& typed);

// "exec NAME" then " " before the first argument and "," before each further one.
class ExecBuilder {
public:
    explicit ExecBuilder(const QString& procedure) : m_text(QStringLiteral("exec ") + procedure + QLatin1Char(' ')) {}
    ExecBuilder& text(const QString& value);   // quoted
    ExecBuilder& number(qint64 value);         // bare
    ExecBuilder& bare(const QString& value);   // bare, as given (numeric texts)
    QString str() const { return m_text; }
    operator QString() const { return m_text; }
private:
    void separator();
    QString m_text;
    int m_count = 0;
};
