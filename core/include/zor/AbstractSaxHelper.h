#pragma once
/// \zclass{AbstractSaxHelper,xml} The library's own XML scanner. It walks a UTF-16 document in place, by
/// pointer, and reports four kinds of event through virtual callbacks: a definition ("<?...?>"), a
/// comment, the first run of text of an element, and an element start with its attributes. It is
/// not a general XML parser: by default it accepts a small, fixed subset (see parse and parseTag
/// below). No entity or character reference is decoded, no CDATA is recognised, end-tag names are
/// not compared with start-tag names, and attribute values end at the next quote of either kind.
/// Standard mode (setStandard) reads what real files use beyond that: CDATA, references, quotes
/// inside values, a DOCTYPE.
///
/// Nesting costs no machine stack: elements are tracked with a depth counter, so a document nested
/// a hundred thousand levels deep scans like a flat one. Every scanning loop advances or ends at the
/// end of the text. Progress is reported, and cancellation noticed, once per
/// XNode_Parse_Control::BYTES_BETWEEN_TIME_CALLS characters (and at every character between
/// top-level elements).
///
/// A scanner object scans one text once, on one thread. The callbacks receive references to
/// buffers the scanner reuses for the next event: copy what you keep. The control passed to parse
/// must outlive the scan.
#include <zor/XNode_Parse_Control.h>
#include <zor/zor_export.h>

#include <QChar>
#include <QString>
#include <cstddef>
#include <map>
#include <vector>

namespace zor {

class ZOR_EXPORT AbstractSaxHelper {
public:
    /// What reading returns at the end of the text, or after a cancellation.
    static const QChar XCHAR;

    /// 1-based line and column (in UTF-16 units) of a place in the document.
    struct TextPosition {
        int line = 1;
        int column = 1;
    };

    AbstractSaxHelper();
    virtual ~AbstractSaxHelper();
    AbstractSaxHelper(const AbstractSaxHelper&) = delete;
    AbstractSaxHelper& operator=(const AbstractSaxHelper&) = delete;

    /// The events. `depth` is 1 for a top-level element, 2 for its children and so on; comments
    /// between top-level elements come with depth 0. Attributes arrive ordered by key.
    virtual void inspectDefinition(const QString& text) = 0;
    virtual void inspectCommend(const QString& text, int depth) = 0;
    virtual void inspectText(const QString& text, int depth) = 0;
    /// False makes the element, and with it the whole scan, fail.
    virtual bool inspectTypeAttribs(const QString& tag, const std::map<QString, QString>& attributes, int depth) = 0;

    /// Standard mode (off by default, where the scanner reads the subset described above): CDATA
    /// sections are text; the five predefined entities and decimal and hex character references
    /// are decoded in texts and values (any other reference, or one naming no XML character, stays
    /// as written, with one warning per scan); a value ends only at its own quote kind, and a '>'
    /// inside it does not end the tag; a DOCTYPE is skipped whole, internal subset included, and
    /// nothing it declares is used (no file is read, no entity expanded). An element's text is its
    /// character data before its first child, CDATA and references decoded, comments and
    /// processing instructions left out, trimmed.
    void setStandard(bool on) { m_standard = on; }
    bool standard() const { return m_standard; }

    /// Where the scanner stands (the next character to read), for messages after a failed scan.
    /// Counted from the start of the text on each call; costs nothing while scanning.
    TextPosition textPosition() const;
    /// "line 3, column 14"
    QString textPositionString() const;

protected:
    /// A start tag's attribute as ranges of the document text: key and value, not owned.
    struct AttributeRange {
        const QChar* key;
        const QChar* keyEnd;
        const QChar* value;
        const QChar* valueEnd;
    };
    /// The start tag as ranges of the text, valid during the call only: its name and its attributes
    /// sorted by key (UTF-16 code units, QString's order), one per key (the last pair of a key in the
    /// tag wins). The default makes the tag name and the attribute map and calls
    /// inspectTypeAttribs; a subclass that builds its own structures straight from the text
    /// overrides it (and then inspectTypeAttribs is not called). False fails the scan.
    virtual bool inspectStartTag(const QChar* name, const QChar* nameEnd, const AttributeRange* attributes,
                                 std::size_t count, int depth);
    /// The first run of text of an element, trimmed and not empty, as a range of the text valid
    /// during the call. The default makes a string of it and calls inspectText.
    virtual void inspectTextRange(const QChar* text, const QChar* textEnd, int depth);

    /// Installs the text (shared, not copied) and skips a byte-order mark read byte by byte
    /// (U+00EF U+00BB U+00BF), printing "abstractSax::BOM_check - found BOM". A U+FFFF in the
    /// text reads as XCHAR, so the scan takes it as the end of the text.
    void setBuffer(const QString& text);
    /// Reads the file as UTF-8 and installs it; false (and a debug line) when the text is empty.
    bool readFile(const QString& path);

    /// Scans the whole document. Top level: "<" plus a letter or digit starts an element
    /// (parseTag(1)); "<?" a definition up to "?>"; "!--" after any character a comment up to "-->";
    /// everything else is skipped. False when no text is installed or an element fails; true at the
    /// end of the text or when `cancel` is seen. Sets bytesTotal, and percent to 100 on success.
    bool parse(XNode_Parse_Control& ctl);
    /// Scans one element whose '<' has been consumed, with its children, up to and including its end
    /// tag. Fails at the end of input inside the element or when a callback refuses an element.
    bool parseTag(int depth, XNode_Parse_Control& ctl);
    /// The next character, consumed; XCHAR at the end or after a cancellation.
    QChar nextChar(XNode_Parse_Control& ctl);
    /// The character after the next one, not consumed; XCHAR past the end.
    QChar peekNextChar();
    int remainChars();

    QString m_text;                      ///< the document (shared with the caller's string)
    const QChar* parseBuffer = nullptr;  ///< start of the scanned characters (after a mark)
    int parseBufferLength = 0;
    long long consumed = 0;        ///< characters consumed so far (up to the last report)
    const QChar* m_pos = nullptr;  ///< the next character to read
    const QChar* m_end = nullptr;  ///< one past the last character
    int mode = 0;                  ///< 0 start, 2 after a definition, 3 in a start tag, 4 after an end or empty tag

private:
    // Progress: m_limit is the next report point or the end, whichever comes first; the hot loops
    // run up to it and call reachLimit there. After a cancellation m_end is pulled back to m_pos.
    bool reachLimit(XNode_Parse_Control& ctl);
    bool more(XNode_Parse_Control& ctl) { return m_pos < m_limit || reachLimit(ctl); }
    // Moves to the next c (true) or to the end of the text (false), reporting on the way.
    bool skipTo(char16_t c, XNode_Parse_Control& ctl);
    // Consumes k characters, reporting on the way; false at the end.
    bool advance(int k, XNode_Parse_Control& ctl);
    // The character k places ahead, not consumed; XCHAR past the end.
    QChar at(int k) const;
    void setLimit();
    void emitText(const QChar* b, const QChar* e, int depth);
    bool parseStartTag(int depth, bool& empty, XNode_Parse_Control& ctl);
    bool parseEndTag(XNode_Parse_Control& ctl);
    void parseComment(int depth, XNode_Parse_Control& ctl);
    void parseDefinition(XNode_Parse_Control& ctl);
    void splitAttributes(const QChar* b, const QChar* e);
    // Standard mode: the tag's end outside quotes, values closed by their own quote and decoded,
    // the text before the first child, and the markup the subset does not know.
    bool findTagEnd(XNode_Parse_Control& ctl);
    void splitAttributesStandard(const QChar* b, const QChar* e);
    bool readTextStandard(int depth, XNode_Parse_Control& ctl);
    // Skips "<![CDATA[...]]>", "<!DOCTYPE ...>" (with its internal subset) or "<?...?>" when the
    // text at m_pos (a '<') starts one; appends CDATA contents to `cdata` when it is given.
    bool skipSpecial(XNode_Parse_Control& ctl, std::vector<QChar>* cdata);
    // Moves past the next `end`; where it began (the end of the text when there is none).
    const QChar* skipPast(const char* end, XNode_Parse_Control& ctl);
    bool startsWith(const char* ascii) const;
    void decodeReferences(const QChar* b, const QChar* e, std::vector<QChar>& out);
    void sortAttributes();
    void mergeAttributes(const AttributeRange* attributes, std::size_t count);

    const QChar* m_limit = nullptr;
    bool m_standard = false;
    bool m_warnedReference = false;
    std::vector<QChar> m_decoded;      // standard mode: decoded values of the current tag
    std::vector<QChar> m_decodedText;  // standard mode: the decoded text of the current element
    // Reused between events so that an element costs no allocation once the buffers have grown.
    QString m_tag;
    QString m_textBuf;
    std::map<QString, QString> m_attributes;
    std::vector<std::map<QString, QString>::node_type> m_spareNodes;
    // The pairs of the current start tag, sorted by key before they are handed on.
    std::vector<AttributeRange> m_pairs;
};

}  // namespace zor
