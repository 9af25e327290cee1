// The two things the client's statements mean that PostgreSQL reads otherwise: `like` ignores
// the case of Latin letters on the other stores, and an ordered list puts empty (NULL) values
// first when ascending and last when descending there, where PostgreSQL does the opposite.
#include "pgdialect.h"

#include <vector>

namespace dstore {

namespace {

bool wordByte(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u >= 0x80 || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           c == '_' || c == '$';
}

bool sameWord(QByteArrayView word, const char* lower) {
    return word.compare(QByteArrayView(lower), Qt::CaseInsensitive) == 0;
}

// Where a quoted text, a quoted name or a comment starting at i ends (one past it); i when none
// starts there.
qsizetype skipQuoted(QByteArrayView s, qsizetype i) {
    const char c = s[i];
    if (c == '\'' || c == '"') {
        qsizetype j = i + 1;
        while (j < s.size()) {
            if (s[j] == c) {
                if (j + 1 < s.size() && s[j + 1] == c) {
                    j += 2;
                    continue;
                }
                return j + 1;
            }
            ++j;
        }
        return s.size();
    }
    if (c == '-' && i + 1 < s.size() && s[i + 1] == '-') {
        const qsizetype end = s.indexOf('\n', i);
        return end < 0 ? s.size() : end;
    }
    if (c == '/' && i + 1 < s.size() && s[i + 1] == '*') {
        const qsizetype end = s.indexOf(QByteArrayView("*/"), i + 2);
        return end < 0 ? s.size() : end + 2;
    }
    return i;
}

// One `order by` list being copied: its parenthesis depth and what its current key said.
struct OrderList {
    int depth = 0;
    bool descending = false;
    bool nullsNamed = false;
    bool keyStarted = false;
};

void endKey(QByteArray& out, OrderList& list) {
    if (list.keyStarted && !list.nullsNamed) {
        // The key's own text ends before the blanks that follow it.
        qsizetype at = out.size();
        while (at > 0 && (out[at - 1] == ' ' || out[at - 1] == '\t' || out[at - 1] == '\n' || out[at - 1] == '\r'))
            --at;
        out.insert(at, list.descending ? " nulls last" : " nulls first");
    }
    list = OrderList{list.depth};
}

} // namespace

QByteArray postgresStatement(QByteArrayView statement) {
    QByteArray out;
    out.reserve(statement.size() + 64);
    std::vector<OrderList> lists;
    int depth = 0;
    QByteArrayView previous; // the last word, to see "order by"
    qsizetype i = 0;
    while (i < statement.size()) {
        const qsizetype quoted = skipQuoted(statement, i);
        if (quoted > i) {
            out.append(statement.sliced(i, quoted - i));
            if (!lists.empty() && lists.back().depth == depth) lists.back().keyStarted = true;
            previous = {};
            i = quoted;
            continue;
        }
        const char c = statement[i];
        if (wordByte(c)) {
            qsizetype j = i;
            while (j < statement.size() && wordByte(statement[j]))
                ++j;
            const QByteArrayView word = statement.sliced(i, j - i);
            OrderList* list = !lists.empty() && lists.back().depth == depth ? &lists.back() : nullptr;
            if (list && (sameWord(word, "limit") || sameWord(word, "offset") || sameWord(word, "fetch") ||
                         sameWord(word, "for") || sameWord(word, "union") || sameWord(word, "except") ||
                         sameWord(word, "intersect"))) {
                endKey(out, *list);
                lists.pop_back();
                list = nullptr;
            }
            if (sameWord(word, "like")) {
                out.append("ilike");
            } else {
                out.append(word);
            }
            if (list) {
                if (sameWord(word, "desc"))
                    list->descending = true;
                else if (sameWord(word, "nulls"))
                    list->nullsNamed = true;
                else if (!sameWord(word, "asc"))
                    list->keyStarted = true;
            }
            if (sameWord(word, "by") && sameWord(previous, "order")) lists.push_back(OrderList{depth});
            previous = word;
            i = j;
            continue;
        }
        if (c == '(') {
            if (!lists.empty() && lists.back().depth == depth) lists.back().keyStarted = true;
            ++depth;
        } else if (c == ')' || c == ';') {
            while (!lists.empty() && lists.back().depth >= depth) {
                endKey(out, lists.back());
                lists.pop_back();
            }
            if (c == ')') --depth;
        } else if (c == ',' && !lists.empty() && lists.back().depth == depth) {
            endKey(out, lists.back());
        } else if (c != ' ' && c != '\t' && c != '\n' && c != '\r' && !lists.empty() &&
                   lists.back().depth == depth) {
            lists.back().keyStarted = true;
        }
        if (c != ' ' && c != '\t' && c != '\n' && c != '\r') previous = {};
        out.append(c);
        ++i;
    }
    while (!lists.empty()) {
        endKey(out, lists.back());
        lists.pop_back();
    }
    return out;
}

} // namespace dstore
