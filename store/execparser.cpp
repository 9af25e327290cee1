// "exec NAME arg,arg,..." as the client writes it for SQL Server. The parser only splits the
// text; the arguments are later bound as parameters, so nothing typed inside a quoted
// argument can ever become SQL.
#include "freightstore.h"
#include "storetexts.h"

namespace dstore {

namespace {

constexpr qsizetype kMaxNameLength = 128;   // SQL Server's identifier limit
constexpr qsizetype kQuoteExcerpt = 40;

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool keywordAt(QByteArrayView text, qsizetype pos, QByteArrayView word) {
    if (text.size() - pos < word.size()) return false;
    for (qsizetype i = 0; i < word.size(); ++i) {
        char c = text[pos + i];
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
        if (c != word[i]) return false;
    }
    const qsizetype end = pos + word.size();
    return end == text.size() || isBlank(text[end]) || text[end] == '[';
}

qsizetype skipBlanks(QByteArrayView text, qsizetype pos) {
    while (pos < text.size() && isBlank(text[pos])) ++pos;
    return pos;
}

// Length of "exec" or "execute" at pos, 0 when neither keyword stands there.
qsizetype execKeywordLength(QByteArrayView text, qsizetype pos) {
    if (keywordAt(text, pos, "execute")) return 7;
    if (keywordAt(text, pos, "exec")) return 4;
    return 0;
}

// A short, printable piece of the statement for an error message; a 1 MB paste must not
// become a 1 MB message box.
QString excerpt(QByteArrayView text, qsizetype pos) {
    QByteArray piece = text.sliced(pos, std::min(kQuoteExcerpt, text.size() - pos)).toByteArray();
    piece.replace('\0', ' ');
    QString s = QString::fromUtf8(piece);
    if (text.size() - pos > kQuoteExcerpt) s += QStringLiteral("...");
    return s;
}

[[noreturn]] void syntaxError(const QString& message) { throw Error{DB_E_ERRORSINCOMMAND, message}; }

[[noreturn]] void incorrectSyntaxNear(QByteArrayView text, qsizetype pos) {
    if (pos >= text.size()) syntaxError(QStringLiteral("Incorrect syntax near the end of the statement."));
    syntaxError(QStringLiteral("Incorrect syntax near '%1'.").arg(excerpt(text, pos)));
}

// A bare number: optional sign, digits, optional fraction.
qsizetype numberEnd(QByteArrayView text, qsizetype pos) {
    qsizetype p = pos;
    if (p < text.size() && (text[p] == '-' || text[p] == '+')) ++p;
    const qsizetype digitsFrom = p;
    while (p < text.size() && isDigit(text[p])) ++p;
    qsizetype digits = p - digitsFrom;
    if (p < text.size() && text[p] == '.') {
        ++p;
        const qsizetype fractionFrom = p;
        while (p < text.size() && isDigit(text[p])) ++p;
        digits += p - fractionFrom;
    }
    if (digits == 0) return pos;
    // "12abc" is not a number followed by something: it is one bad token.
    if (p < text.size() && (isAsciiLetter(text[p]) || isDigit(text[p]) || text[p] == '_' || uchar(text[p]) >= 0x80))
        return pos;
    return p;
}

} // namespace

bool isExecStatement(QByteArrayView statement) {
    return execKeywordLength(statement, skipBlanks(statement, 0)) > 0;
}

ExecCall parseExec(QByteArrayView text) {
    if (text.contains('\0')) syntaxError(NulRefusal());
    qsizetype pos = skipBlanks(text, 0);
    const qsizetype keyword = execKeywordLength(text, pos);
    if (keyword == 0) incorrectSyntaxNear(text, pos);
    pos = skipBlanks(text, pos + keyword);

    ExecCall call;
    // Procedure name: [bracketed] or a run of non-blank, non-separator bytes; an owner
    // prefix "dbo." is accepted and dropped, as every procedure lives in one schema.
    auto readName = [&]() -> QByteArray {
        if (pos < text.size() && text[pos] == '[') {
            const qsizetype close = text.indexOf(']', pos + 1);
            if (close < 0) syntaxError(QStringLiteral("Unclosed bracket in the procedure name."));
            QByteArray name = text.sliced(pos + 1, close - pos - 1).toByteArray();
            pos = close + 1;
            return name;
        }
        const qsizetype from = pos;
        while (pos < text.size() && !isBlank(text[pos]) && text[pos] != '\'' && text[pos] != ',' &&
               text[pos] != ';' && text[pos] != '.' && text[pos] != '[')
            ++pos;
        return text.sliced(from, pos - from).toByteArray();
    };
    call.procedure = readName();
    if (pos < text.size() && text[pos] == '.') {
        if (call.procedure.compare("dbo", Qt::CaseInsensitive) != 0) incorrectSyntaxNear(text, pos);
        ++pos;
        call.procedure = readName();
    }
    if (call.procedure.isEmpty()) {
        if (pos >= text.size()) syntaxError(QStringLiteral("Incorrect syntax: exec names no procedure."));
        incorrectSyntaxNear(text, pos);
    }
    if (call.procedure.size() > kMaxNameLength)
        syntaxError(QStringLiteral("The identifier that starts with '%1' is too long. Maximum length is %2.")
                        .arg(excerpt(call.procedure, 0))
                        .arg(kMaxNameLength));

    pos = skipBlanks(text, pos);
    auto atEnd = [&] {
        qsizetype p = pos;
        while (p < text.size() && (isBlank(text[p]) || text[p] == ';')) ++p;
        return p == text.size();
    };
    if (atEnd()) return call;

    for (;;) {
        ExecArgument arg;
        if (pos < text.size() && (text[pos] == 'N' || text[pos] == 'n') && pos + 1 < text.size() && text[pos + 1] == '\'')
            ++pos; // N'...' is SQL Server's Unicode literal; every text here is Unicode already
        if (pos < text.size() && text[pos] == '\'') {
            arg.quoted = true;
            qsizetype p = pos + 1;
            for (;;) {
                const qsizetype q = text.indexOf('\'', p);
                if (q < 0)
                    syntaxError(QStringLiteral("Unclosed quotation mark after the character string '%1'.")
                                    .arg(excerpt(text, pos + 1)));
                arg.text.append(text.sliced(p, q - p));
                if (q + 1 < text.size() && text[q + 1] == '\'') {
                    arg.text.append('\'');
                    p = q + 2;
                    continue;
                }
                pos = q + 1;
                break;
            }
        } else {
            const qsizetype end = numberEnd(text, pos);
            if (end == pos) incorrectSyntaxNear(text, pos);
            arg.text = text.sliced(pos, end - pos).toByteArray();
            pos = end;
        }
        call.arguments.push_back(std::move(arg));

        pos = skipBlanks(text, pos);
        if (atEnd()) return call;
        if (text[pos] != ',') incorrectSyntaxNear(text, pos);
        pos = skipBlanks(text, pos + 1);
    }
}

} // namespace dstore
