#pragma once
// Texts both stores answer with alike.
#include <QString>

namespace dstore {

// The refusal of a statement carrying a NUL character, which no store keeps in a text.
inline QString NulRefusal() {
    return QStringLiteral("입력한 내용에 쓸 수 없는 문자(NUL)가 있어 처리하지 않았습니다.");
}

} // namespace dstore
