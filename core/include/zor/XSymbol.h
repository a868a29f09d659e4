#pragma once
/// \zclass{find::XSymbol,find} One element of a parsed content query: a text to find (with the modifiers
/// ignore case, whole word and a minimum count), an operator (AND "&", OR "|", NOT "~") or a
/// bracket.
///
/// Plain data, copyable; no locks.
#include <zor/zor_export.h>

#include <QString>
#include <cstdint>

namespace zor {
namespace find {

class ZOR_EXPORT XSymbol {
public:
    enum Type : std::uint32_t { FIND = 0, AND = 1, OR = 2, NOT = 3, BRACKET_OPEN = 4, BRACKET_CLOSE = 5 };

    XSymbol() = default;
    explicit XSymbol(std::uint32_t type_) : type(type_) {}
    explicit XSymbol(const QString& text_) : type(FIND), text(text_) {}

    bool isFind() const { return type == FIND; }
    bool isOperator() const { return type >= AND && type <= NOT; }
    bool is_op_AND() const { return type == AND; }
    bool is_op_OR() const { return type == OR; }
    bool is_op_NOT() const { return type == NOT; }
    bool isBracket() const { return type == BRACKET_OPEN || type == BRACKET_CLOSE; }
    bool isBracketOpen() const { return type == BRACKET_OPEN; }
    bool isBracketClose() const { return type == BRACKET_CLOSE; }
    /// A known type; a find symbol also needs a text.
    bool isValid() const { return type <= BRACKET_CLOSE && (type != FIND || !text.isEmpty()); }
    explicit operator bool() const { return isValid(); }

    /// The operator or bracket character; for a find symbol its text followed by "{" and the
    /// modifiers present ("w,", "i,", the minimum count).
    QString toString() const;

    std::uint32_t type = FIND;
    QString text;
    bool ignoreCase = false;
    bool wholeWord = false;
    std::uint32_t countMinimum = 0;
};

}  // namespace find
}  // namespace zor
