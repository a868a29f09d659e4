#pragma once
/// \zclass{ArrayTools,mem} Static operations on QByteArray.
///
/// Framing: a frame is 0x00, the payload encoded with Consistent Overhead Byte Stuffing (so that it
/// holds no 0x00), 0x00. The encoding cuts the payload at each zero byte into blocks, each written as
/// a code byte (1 + the number of data bytes that follow) and its data; a code 0xFF carries 254 data
/// bytes and no implied zero, every other code implies a zero after its data except after the last
/// block. An empty payload encodes as 0x01. An MD5 frame carries the data followed by its 32-character
/// frame digest text (MD5::md5FromQByteArray).
///
/// Decoding never reads past its input and never writes more than its input length: damaged frames
/// give short or failed results, not over-reads.
///
/// Also: a checksum byte, removal of ranges, text renderings for log lines, patterned and random
/// test arrays. The random helpers share one generator and must not be called from several
/// threads at once; everything else is re-entrant.
#include <zor/zor_export.h>

#include <QByteArray>
#include <QString>
#include <cstddef>

namespace zor {

class ZOR_EXPORT ArrayTools {
public:
    /// View bits of show().
    enum SHOW_FLAGS : unsigned int {
        SHOW_HEX = 2,   ///< "HEX{$} ", "%02X"
        SHOW_ASC = 4,   ///< "ASC{$} ", "." below 32
        SHOW_DEC = 8,   ///< "DEC{$} ", "%03d"
        SHOW_BIN = 16,  ///< "BIN{$} ", "*" set / "." clear, bit 0 first, bytes separated by "|"
        SHOW_MD5 = 32,  ///< "MD5{$} "
    };

    static QByteArray frameQByteArray(const QByteArray& data);
    /// Drops every 0x00 and decodes the rest; empty input: a warning and an empty result.
    static QByteArray unFrameQByteArray(const QByteArray& framed);
    static QByteArray frameQByteArray_MD5(const QByteArray& data);
    /// Appends the data to out and returns true when the frame's digest text matches it.
    static bool unFrameQByteArray_MD5(const QByteArray& framed, QByteArray& out);

    /// Encoding between raw buffers; dst must hold stuffedSize(len) bytes. Returns the bytes written.
    static std::size_t stuffData(const unsigned char* src, std::size_t len, unsigned char* dst);
    /// Decoding; dst must hold len bytes. Stops at a code byte 0x00 and at the end of the input
    /// (a block cut short keeps the bytes that are there). Returns the bytes written.
    static std::size_t unStuffData(const unsigned char* src, std::size_t len, unsigned char* dst);
    static std::size_t stuffedSize(std::size_t len) { return len + len / 254 + 1; }
    /// The same into a QByteArray (dst is replaced); the result is dst's new size.
    static int stuffToQByteArray(const QByteArray& src, QByteArray& dst);
    static int unStuffQData(const QByteArray& src, QByteArray& dst);

    /// Appends the byte that brings the sum of all bytes, modulo 256, to 0.
    static void addChecksumByte(QByteArray& ar);

    /// Removes bytes pos .. pos + len - 1 and returns them. A range running past the end is cut
    /// to the end (with a warning).
    static QByteArray arRemove(QByteArray& ar, int pos, int len);
    static bool canRemove(const QByteArray& ar, int pos, int len);
    static QByteArray arRemoveFromBegin(QByteArray& ar, int len) { return arRemove(ar, 0, len); }
    static bool canRemoveFromBegin(const QByteArray& ar, int len) { return canRemove(ar, 0, len); }
    static QByteArray arRemoveAll(QByteArray& ar);  ///< the whole array; ar is left empty

    static int countCharsOf(const QByteArray& ar, char c);
    static QByteArray createQByteArrayABC(int n);  ///< "ABC...ZAB..."
    /// n random bytes between min and max (inclusive, swapped when min > max).
    static QByteArray randQByteArray(int n, unsigned int min, unsigned int max);
    static void randomfillQByteArray(QByteArray& ar, int n, unsigned int min, unsigned int max);  ///< appends

    /// "[n] = {chars} HEX{hex} MD5{digest} ": n is the size cut to maxLen (0: no cut); when n exceeds
    /// nBegin + nEnd only the first nBegin and the last nEnd bytes are shown, " .. " between them.
    /// In the hex view the groupSeparator follows every groupSize-th byte (groupSize > 1), a space
    /// every other byte.
    static QString qByteArrayToString(const QByteArray& ar, std::size_t nBegin, std::size_t nEnd, bool asc, bool hex,
                                      bool md5, std::size_t maxLen = 0, unsigned int groupSize = 0,
                                      const QString& groupSeparator = QStringLiteral(","));
    /// The same over raw memory (p may be null only when len is 0).
    static QString memToString(const char* p, std::size_t len, std::size_t nBegin, std::size_t nEnd, bool asc,
                               bool hex, bool md5, std::size_t maxLen = 0, unsigned int groupSize = 0,
                               const QString& groupSeparator = QStringLiteral(","));
    /// The hexadecimal view of qByteArrayToString alone.
    static QString qByteArray_to_hex_string(const QByteArray& ar, std::size_t nBegin, std::size_t nEnd,
                                            std::size_t maxLen = 0, unsigned int groupSize = 0,
                                            const QString& groupSeparator = QStringLiteral(","));

    /// The text show() logs: "[n] = " and the views selected by flags, in the order ASC, HEX, DEC,
    /// BIN, MD5, each cut like qByteArrayToString.
    static QString showText(const char* p, std::size_t len, unsigned int flags, std::size_t nBegin, std::size_t nEnd);
    static void show(unsigned int level, unsigned int space, const QByteArray& ar, unsigned int flags,
                     std::size_t nBegin, std::size_t nEnd);
    /// qByteArrayToString(ar, nBegin, nEnd, true, true, false) at the level.
    static void showQByteArray(unsigned int level, unsigned int space, const QByteArray& ar, std::size_t nBegin,
                               std::size_t nEnd);
    static void showArray(unsigned int level, unsigned int space, const void* p, std::size_t len, unsigned int flags,
                          std::size_t nBegin, std::size_t nEnd);
    static void show_array(unsigned int space, const void* p, std::size_t len);  ///< DEBUG, ASC and HEX, 16 + 16
};

}  // namespace zor
