#pragma once
/// \zclass{Tokenizer,text} Splits a QString into owned QString tokens by a set of delimiter characters and hands
/// them out one by one, with typed accessors.
///
/// Splitting works on the UTF-8 bytes of the text; every byte of the delimiter set is a delimiter.
/// Runs of delimiters yield no empty tokens; with returnDelims every delimiter also becomes a
/// one-character token ("a,,b" by "," gives a b, or a , , b). Accessors never fail: out of range
/// they give an empty string or the caller's default.
///
/// A plain value (copyable, movable), used by one thread at a time.
#include <zor/zor_export.h>

#include <QString>
#include <queue>
#include <vector>

namespace zor {

/// One piece of Tokenizer::get_token_strings: the text and whether it stood between double quotes. \ingroup text
struct ZOR_EXPORT TokenString {
    QString text;
    bool quoted = false;
};

class ZOR_EXPORT Tokenizer {
public:
    Tokenizer() = default;
    Tokenizer(const QString& text, const QString& delimiters, bool returnDelims = false);

    /// Sets the index to 0 and appends the tokens of text (earlier tokens are kept).
    void scan(const QString& text, const QString& delimiters, bool returnDelims = false);

    QString nextToken();  ///< empty, index unchanged, when none is left
    QString peekNextToken() const;
    bool isPeekNextToken(const QString& s) const;
    bool hasMoreToken() const { return m_index < size(); }
    bool isLastToken() const { return m_index == size(); }  ///< true once every token was handed out
    unsigned int remain() const { return size() - m_index; }
    unsigned int size() const { return static_cast<unsigned int>(m_tokens.size()); }
    void reset() { m_index = 0; }
    unsigned int index() const { return m_index; }

    /// Token i, or an empty string when i is out of range; the index is not moved.
    const QString& tokenAt(unsigned int i) const;
    const QString& operator[](unsigned int i) const { return tokenAt(i); }

    /// Consume the next token and convert it in base 10; def when it does not convert. With no token
    /// left: def, nothing consumed.
    int nextInt(int def);
    unsigned int nextUInt(unsigned int def);
    long long nextLong(long long def);
    unsigned long long nextULong(unsigned long long def);
    float nextFloat(float def);

    /// def when i is out of range or token i is empty; otherwise the base-10 conversion without a
    /// validity check (a token that is not a number gives 0).
    int intAt(unsigned int i, int def) const;
    unsigned int uintAt(unsigned int i, unsigned int def) const;
    long long LONG_at(unsigned int i, long long def) const;
    unsigned long long ULONG_at(unsigned int i, unsigned long long def) const;

    /// A token is left, it is not empty, it does not begin with a letter and converts as a double.
    bool isNextToken_a_Number() const;

    std::queue<QString> getQueue() const;
    const std::vector<QString>& tokens() const { return m_tokens; }

    /// Splits with returnDelims and joins the pieces between double-quote tokens: with the double
    /// quote as the only delimiter, `run "a b" c` gives run, a b (quoted), c. Pieces outside quotes
    /// are trimmed; an empty quoted pair gives an empty quoted piece; the text after a quote that
    /// is never closed is given as one quoted piece.
    static std::vector<TokenString> get_token_strings(const QString& text, const QString& delimiters);

    /// Logs "Tokenizer, size:$" and "[$] = '$'" per token at TEST level, indented by space.
    void show(unsigned int space = 0) const;

private:
    unsigned int m_index = 0;
    std::vector<QString> m_tokens;
};

}  // namespace zor
