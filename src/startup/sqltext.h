#pragma once
// Statement text helpers: every text value placed in a statement goes through Quote, every
// procedure call through ExecBuilder.
#include <QString>

// 'value' with every single quote doubled, so a typed ' can never end the literal.
QString Quote(const QString& value);

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
