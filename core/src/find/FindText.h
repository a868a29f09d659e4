#pragma once
// Byte-level helpers of the content search: the UTF-8 decoding that gives every unit its text, the
// mapping of text positions back to byte offsets, word boundaries and sentence ends on raw bytes,
// and the searches of one find text in one unit.
//
// The decoder turns each valid (shortest-form) UTF-8 sequence into its character and each byte that
// does not start one into U+FFFD. Because a valid sequence starting at a lead byte is always decoded
// as a whole, a byte match of a find text's UTF-8 form is exactly a match in the decoded text: a
// case-sensitive search needs no decoding at all.
#include <zor/XRamLayer.h>
#include <zor/XSymbol.h>

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zor {
namespace find {
namespace detail {

// The length of the sequence at p[i] (i < n): 1..4 bytes for a valid sequence, 1 for a byte that
// is decoded as U+FFFD. *qchars is 2 for a four-byte sequence, else 1.
int sequenceLength(const unsigned char* p, std::size_t n, std::size_t i, int* qchars);
// p[0..n) decoded as above.
QString decodeUtf8(const char* p, std::size_t n);
// The binary view: every byte below 32 or above 127 becomes '.'.
QByteArray dottedCopy(const char* p, std::size_t n);

// Walks a unit's bytes and its decoded text side by side; positions must be asked in rising order.
class ByteCursor {
public:
    ByteCursor(const char* p, std::size_t n) : m_p(reinterpret_cast<const unsigned char*>(p)), m_n(n) {}
    // The byte offset of text position charPos (the start of the sequence holding it).
    std::size_t byteOffset(int charPos);

private:
    const unsigned char* m_p;
    std::size_t m_n;
    std::size_t m_byte = 0;
    int m_char = 0;
};

// The word test of XDelimiter::isWord with sDelimAll, on bytes: is the character before byte
// offset off (or after it) a delimiter, or the unit's edge.
bool delimiterBefore(const char* p, std::size_t off);
bool delimiterAfter(const char* p, std::size_t n, std::size_t off);
bool isAsciiDelimiter(unsigned char c);
// A sentence delimiter (".!?" or one of the full-width marks) of `len` bytes starts at p[i].
bool sentenceDelimiterAt(const unsigned char* p, std::size_t n, std::size_t i, int* len);

// The byte ranges [begin, end) of the sentences of one unit: each ends after a sentence delimiter;
// the text after the last one forms a last sentence.
std::vector<std::pair<std::size_t, std::size_t>> sentenceRanges(const char* p, std::size_t n);

// The first occurrence of pat[0..len) in p[0..n), or null.
const char* findBytes(const char* p, std::size_t n, const char* pat, std::size_t len);

// A text prepared for byte searches. The two bytes of the text that are rarest in common text
// (by a fixed table of byte frequencies) are compared first, sixteen or thirty-two positions at a
// time; only where both match is the whole text compared. With fold, ASCII letters match in
// either case (the bytes compared with bit 5 set where the text has a letter).
class BytePattern {
public:
    BytePattern() = default;
    BytePattern(const QByteArray& text, bool fold);

    // The first occurrence in p[0..n), or null.
    const char* find(const char* p, std::size_t n) const;
    std::size_t size() const { return m_text.size(); }
    bool isEmpty() const { return m_text.empty(); }

private:
    bool equalAt(const unsigned char* at) const;
    const char* findAvx2(const unsigned char* s, std::size_t last, std::size_t* next) const;

    std::string m_text;     // with fold: lower case
    std::size_t m_at1 = 0;  // the offsets of the two rare bytes, m_at1 < m_at2 (equal for one byte)
    std::size_t m_at2 = 0;
    unsigned char m_b1 = 0, m_b2 = 0;    // their values (lower case with fold)
    unsigned char m_or1 = 0, m_or2 = 0;  // 0x20 where fold applies to them, else 0
    bool m_fold = false;
};

// The line reader's binary test: a control byte other than backspace, tab, line feed and carriage
// return among the first 1024 bytes.
bool looksBinary(const char* p, std::size_t n);

// True when p[0..n) holds nothing but blanks, tabs and carriage returns.
bool isBlank(const char* p, std::size_t n);

// One find symbol prepared for searching.
struct Needle {
    explicit Needle(const XSymbol& s);

    const XSymbol* symbol;
    QByteArray utf8;     // the text's UTF-8 form
    BytePattern exact;   // utf8, byte for byte
    BytePattern folded;  // utf8 with ASCII case folding (caseless ASCII texts only)
    bool bytewise;       // case-sensitive and a text whose byte match equals a text match
    bool neverWord;      // a whole-word search whose text begins or ends with a delimiter
    bool asciiOnly;      // the text is ASCII
    // Caseless and ASCII: searched on bytes with ASCII case folding, unless the unit holds one of
    // the two characters that fold to ASCII letters (the Kelvin sign, the long s) and the text
    // has such a letter.
    bool caselessAscii;
    bool hasFoldTargets;    // the text contains k or s in either case
};

// The hits of needle in the unit p[0..n) that starts at file offset unitStart, appended to out as
// marks of category 10, in rising order, overlapping occurrences included. Stops after `limit`
// hits (0: no limit). Returns the number of hits found. text is the unit's decoded text, built on
// first need (callers share it between the terms of one unit).
std::size_t searchUnit(const Needle& needle, const char* p, std::size_t n, std::int64_t unitStart,
                       std::size_t limit, QString& text, bool& decoded, std::vector<XRam>* out);

}  // namespace detail
}  // namespace find
}  // namespace zor
