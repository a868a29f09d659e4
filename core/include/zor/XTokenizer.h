#pragma once
/// \zclass{XTokenizer,text} Splits a QString into QStringRef tokens that point into the caller's string,
/// optionally keeping double-quoted strings whole, and classifies tokens (string, number, real
/// number, bracket, operator).
///
/// The string given to buildToken must outlive the tokens. Splitting: a character found in the
/// delimiters ends the pending token (with returnDelims the delimiter is a one-character token);
/// with keepStrings a double quote starts a string token that runs to the next double quote, quotes
/// included. A pending token before such a quote is ended first; a quote that is never closed gives
/// a string token from the quote to the end of the text.
///
/// Out-of-range access gives a reference to a process-wide empty QStringRef; the index never moves
/// past the end. A plain value (copyable, movable), used by one thread at a time; the index is
/// changed also by const operations.
#include <zor/zor_export.h>

#include <QString>
#include <QStringRef>
#include <set>
#include <vector>

namespace zor {

class ZOR_EXPORT XTokenizer {
public:
    using const_iterator = std::vector<QStringRef>::const_iterator;

    XTokenizer() = default;
    XTokenizer(const QString& text, const QString& delimiters, bool returnDelims, bool keepStrings);

    /// Replaces the tokens (the index is left as it is); returns the token count.
    unsigned int buildToken(const QString& text, const QString& delimiters, bool returnDelims, bool keepStrings);

    void reset() const { m_index = 0; }
    void putBack() const {
        if (m_index > 0) --m_index;
    }
    unsigned int rest() const { return m_index < size() ? size() - m_index : 0; }
    unsigned int size() const { return static_cast<unsigned int>(m_tokens.size()); }
    unsigned int index() const { return m_index; }
    explicit operator bool() const { return m_index < size(); }
    const_iterator begin() const { return m_tokens.begin(); }
    const_iterator end() const { return m_tokens.end(); }

    const QStringRef& tokenAt(unsigned int i) const;
    const QStringRef& operator[](unsigned int i) const { return tokenAt(i); }
    QString stringAt(unsigned int i) const { return tokenAt(i).toString(); }
    const QStringRef& currentToken(int offset = 0) const { return relative(offset); }
    const QStringRef& firstToken() const { return tokenAt(0); }
    const QStringRef& lastToken() const;
    const QStringRef& nextToken() const;  ///< token at the index, then the index + 1 (not past the end)

    /// Tests on token index + offset.
    bool is_Operator(int offset, const QString& chars) const { return is_Operator(relative(offset), chars); }
    bool is_Number(int offset) const { return is_Number(relative(offset)); }
    bool is_RealNumber(int offset) const { return is_RealNumber(relative(offset)); }
    bool is_String(int offset) const { return is_String(relative(offset)); }
    bool is_WhiteSpace(unsigned int i) const { return is_WhiteSpace(tokenAt(i)); }  ///< counted from the start
    bool is_Next_Token(const QString& s) const { return tokenAt(m_index) == s; }

    /// One character that occurs in chars.
    static bool is_One_of_these_Chars(const QStringRef& tok, const QString& chars);
    static bool is_Operator(const QStringRef& tok, const QString& chars) { return is_One_of_these_Chars(tok, chars); }
    static bool is_Number(const QStringRef& tok);      ///< converts with toInt in base 10
    static bool is_RealNumber(const QStringRef& tok);  ///< converts with toDouble
    static bool is_String(const QStringRef& tok);      ///< at least two characters, quote first and last
    static bool is_WhiteSpace(const QStringRef& tok);  ///< empty, or only spaces and tabs
    /// The text between the quotes of a string token, else the token itself.
    static QString get_String(const QStringRef& tok);

    /// Consume a token and convert it; 0 and an error line when it is not a number.
    int nextInt() const;
    double nextDouble() const;

    /// Sets the index to 0 and drops every white-space token, keeping the order of the rest.
    void remove_White_Space_Token();
    /// text without its spaces, tabs, line feeds and carriage returns.
    static QString removeWhitespace(const QString& text);
    void fill(std::set<QString>& set) const;

    /// Logs "Token:$" and one line per token at DEBUG level, with its type when withType is set.
    void show(unsigned int space = 0, bool withType = false) const;

    const std::vector<QStringRef>& tokens() const { return m_tokens; }

private:
    const QStringRef& relative(int offset) const;

    std::vector<QStringRef> m_tokens;
    mutable unsigned int m_index = 0;
};

}  // namespace zor
