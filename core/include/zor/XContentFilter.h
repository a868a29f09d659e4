#pragma once
/// \zclass{find::XContentFilter,find} A content query, parsed once and evaluated over many files.
///
/// Query language: find texts joined by "&" (and), "|" (or), "~" (not) and round brackets; a text
/// with blanks or delimiter characters is written in double quotes; modifiers in braces after a
/// text: "i" ignore case, "w" whole word, a number the minimum count of hits in a unit:
/// \code   error & ~(warning | "not an error"{i})      Error{i,w,3} \endcode
/// In regular-expression mode the whole query is one QRegularExpression.
///
/// A file is evaluated per file, per paragraph (the records of one file line of the line reader)
/// or per sentence; the result is a layer of marks with UTF-8 byte offsets into the file. Parsing
/// and evaluation use an explicit stack (no recursion per bracket level) and bounded work; bad
/// queries give false and one log line.
///
/// Not synchronised: evaluation moves the symbol position, so each thread uses its own copy
/// (copying is cheap). Owns its symbols; the reader given to find stays the caller's.
#include <zor/XRamLayer.h>
#include <zor/XSymbol.h>
#include <zor/zor_export.h>

#include <QRegularExpression>
#include <QString>
#include <QStringRef>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace zor {

class XLineInfo;
class XLineReaderDA;

namespace find {

class ZOR_EXPORT XContentFilter {
public:
    enum Scope : std::uint32_t { File = 0, Paragraph = 1, Sentence = 2 };
    /// "File", "Paragraph", "Sentence", "unknown".
    static QString scope_to_string(std::uint32_t scope);

    /// At most this many marks are kept per file; the rest is dropped with one log line.
    static constexpr std::size_t maxMarksPerFile = 1u << 20;

    XContentFilter() = default;
    XContentFilter(const QString& query, bool regEx, Scope scope = File);

    /// Parses query (or compiles it in regular-expression mode); false with one log line when it is
    /// malformed.
    bool createSymbols(const QString& query, bool regEx);
    /// The syntax check: no two find texts in a row, brackets balanced.
    bool checkSyntaxExt();

    /// Evaluates the filter over the indexed lines of reader; level indents trace output.
    XRamLayer find(unsigned int level, const XLineReaderDA& reader);
    /// A quick test on raw bytes: false when no unit of this content can give a result, so the
    /// file needs no index and no per-line work. True means "maybe". maxLineLength is the reader's.
    bool canMatch(const char* data, std::size_t len, std::size_t maxLineLength) const;

    /// What find would answer for these bytes (a file's, read by a reader with maxLineLength),
    /// decided on the raw bytes without an index where that is certain: Yes (find gives marks),
    /// No (it gives none), Maybe (only find can tell). Each text is looked for only until its hits
    /// decide. Certain, unless a text is caseless with letters outside ASCII, a hit lies in a line
    /// longer than maxLineLength (file scope), or the content is binary: in file scope for any
    /// query; per paragraph or sentence for texts joined by "|" alone, and otherwise for "no" when
    /// the texts that the query needs do not occur. Never Yes or No in regular-expression mode.
    enum class Presence { No, Yes, Maybe };
    Presence presence(const char* data, std::size_t len, std::size_t maxLineLength) const;

    /// With on, find stops at the first unit with a result, and the search of each text in a unit
    /// (or, in file scope, in the file) at the hits that decide it (its minimum count, else one): the
    /// layer is non-empty exactly when it would be without, but holds only the marks found so far.
    void setFirstResultOnly(bool on) { m_firstResultOnly = on; }
    bool isFirstResultOnly() const { return m_firstResultOnly; }

    Scope scope() const { return m_scope; }
    void setScope(Scope s) { m_scope = s; }
    QString scope_as_string() const { return scope_to_string(m_scope); }
    const std::vector<XSymbol>& symbols() const { return m_symbols; }
    const QString& source() const { return m_source; }
    const QRegularExpression& regEx() const { return m_regEx; }

    std::uint32_t size() const { return static_cast<std::uint32_t>(m_symbols.size()); }
    std::uint32_t rest() const { return m_position < size() ? size() - m_position : 0; }
    std::uint32_t position() const { return m_position; }
    void seekHome() { m_position = 0; }
    bool isEmpty() const { return m_regExMode ? m_source.isEmpty() : m_symbols.empty(); }
    bool hasContents() const { return !isEmpty(); }
    /// Parsed without error and not empty.
    bool isValid() const { return m_valid && hasContents(); }
    explicit operator bool() const { return isValid(); }
    bool is_reg_ex() const { return m_regExMode; }
    void clear();

    /// Logs the scope and the symbols (or the pattern) at DEBUG level, indented by level.
    void show(unsigned int level) const;
    /// "scope:<scope>, reg-ex pattern '<query>'" or "scope:<scope>, pattern '<query>'"; with
    /// symbols, the symbols' text forms are appended.
    QString toString(bool withSymbols = false) const;

protected:
    XRamLayer find_in_file(unsigned int level, const XLineReaderDA& reader);
    XRamLayer find_in_paragraph(unsigned int level, const XLineInfo& unit, const QString& text);
    XRamLayer rx_find(unsigned int level, const XLineReaderDA& reader);
    XRamLayer rx_find_in_paragraph(unsigned int level, const XLineInfo& unit, const QString& text);
    XRamLayer rx_find_in_file(unsigned int level, const XLineReaderDA& reader);
    /// Gathers the records of the paragraph that starts at lineIndex into one record; gives the
    /// index of its last record.
    static std::size_t accumulate_line_info(const XLineReaderDA& reader, std::size_t lineIndex, XLineInfo& out);
    static std::vector<XLineInfo> create_sentences_from_paragraph(const XLineInfo& paragraph, const QString& text);

    const XSymbol& current_symbol(int offset = 0) const;
    const XSymbol& next_symbol();
    bool has_more_symbols() const { return m_position < size(); }
    bool is_find(int offset = 0) const { return current_symbol(offset).isFind(); }
    bool is_operator_ext(int offset = 0) const { return current_symbol(offset).isOperator(); }
    void eat_symbols_to_close_bracket();
    void remove_Char34_from_FindString();

private:
    XRamLayer fileScope(const XLineReaderDA& reader);  // find_in_file for a reader already checked
    bool readModifiers(const std::vector<QStringRef>& tokens, std::size_t& i, XSymbol& sym);

    std::vector<XSymbol> m_symbols;
    QString m_source;
    QRegularExpression m_regEx;
    Scope m_scope = File;
    std::uint32_t m_position = 0;
    bool m_regExMode = false;
    bool m_valid = false;
    bool m_firstResultOnly = false;
};

}  // namespace find
}  // namespace zor
