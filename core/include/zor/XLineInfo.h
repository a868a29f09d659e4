#pragma once
/// \zclass{XLineInfo,text} Where one line (or one piece of an over-long line) lies in a block of memory, as
/// built by XLineReaderDA's index: offset, text length, occupied length, file-line and piece
/// numbers, and whether it ends at a line feed. Also the UTF-8 counting helpers that turn byte
/// offsets inside such a line into character positions and back.
///
/// A plain copyable record; the static helpers are re-entrant.
#include <zor/zor_export.h>

#include <QByteArray>
#include <QChar>
#include <QString>
#include <QStringRef>
#include <cstdint>

namespace zor {

class ZOR_EXPORT XLineInfo {
public:
    std::uint64_t posMemory = 0;    ///< offset of the first byte in the memory
    std::uint32_t lenBytes = 0;     ///< text bytes, without line feed and carriage return
    std::uint32_t lenTotal = 0;     ///< bytes occupied with the terminator (a wrapped piece: lenBytes)
    std::uint32_t lineIndex = 0;    ///< the file line this record belongs to, from 0
    std::int32_t pieceIndex = -1;   ///< -1 when not set; else the piece number within the file line
    std::uint32_t endsWithLineFeed = 0;  ///< 1 when the record ends at a line feed

    XLineInfo() = default;
    XLineInfo(std::uint64_t pos, std::uint32_t bytes, std::uint32_t total, std::uint32_t line, std::int32_t piece,
              bool lineFeed)
        : posMemory(pos), lenBytes(bytes), lenTotal(total), lineIndex(line), pieceIndex(piece),
          endsWithLineFeed(lineFeed ? 1u : 0u) {}

    explicit operator bool() const { return lenTotal > 0; }
    bool isValid() const { return lenTotal > 0; }
    std::uint64_t posEnd() const { return posMemory + lenBytes; }
    /// posMemory <= pos <= posEnd(): the end is inclusive, so a caret after the last character is
    /// still inside the line.
    bool isInRange(std::uint64_t pos) const { return pos >= posMemory && pos <= posEnd(); }
    bool containsRange(std::uint64_t a, std::uint64_t b) const { return isInRange(a) && isInRange(b); }
    long long getRelPos(std::uint64_t pos) const {
        return isInRange(pos) ? static_cast<long long>(pos - posMemory) : -1;
    }
    /// total 0 means "the same as bytes".
    void setLengths(std::uint32_t bytes, std::uint32_t total) {
        lenBytes = bytes;
        lenTotal = total == 0 ? bytes : total;
    }

    /// "{ [line] pos/end => LEN:bytes,(total), FULL-LINE|WRAPPED-LINE, LF:flag }" where "line" is
    /// "lineIndex" or "lineIndex/pieceIndex" when a piece number is set.
    QString toString() const;

    bool operator==(const XLineInfo& o) const {
        return posMemory == o.posMemory && lenBytes == o.lenBytes && lenTotal == o.lenTotal &&
               lineIndex == o.lineIndex && pieceIndex == o.pieceIndex && endsWithLineFeed == o.endsWithLineFeed;
    }
    bool operator!=(const XLineInfo& o) const { return !(*this == o); }

    /// UTF-8 byte counts (a lone surrogate half counts as the half of a four-byte sequence: 2).
    static std::uint64_t countBytes(const QString& s);
    static unsigned countBytes(QChar c);
    static QByteArray get_UTF8_Bytes(const QString& s);
    static QByteArray get_UTF8_Bytes(QChar c);
    /// The number of UTF-16 characters (QString positions) that the first nBytes UTF-8 bytes decode
    /// to; a null p is a fatal check. The QString forms count the characters of s whose UTF-8 form
    /// lies wholly within the first nBytes.
    static unsigned get_UTF8_Chars_CountFromBytes(const char* p, unsigned nBytes);
    static unsigned get_UTF8_Chars_CountFromBytes(const QString& s, unsigned nBytes);
    static unsigned get_UTF8_Chars_CountFromBytes(const QStringRef& s, unsigned nBytes);
    /// UTF-8 bytes of s.mid(start, count) (count < 0: to the end).
    static std::uint64_t get_UTF8_Bytes_CountFromString(const QString& s, int start, int count);
    /// s itself when it has at most maxLen characters, else its start and "..." in maxLen characters.
    static QString elidedText(const QString& s, int maxLen);
};

}  // namespace zor
