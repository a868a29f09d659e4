#pragma once
/// \zclass{XUTF8_Detector,text} Counts the complete UTF-8 sequences of each width (1 to 4 bytes) and the line
/// feeds in a block and names the dominant encoding. The block is read as a C string: a zero byte
/// ends the analysis. Overlong forms, surrogates and stray continuation bytes are not counted, but
/// the count is a tally, not a validation: an ASCII byte inside a sequence is counted and the
/// sequence still completes after it, and an F4 lead takes any continuation byte (code points above
/// U+10FFFF). Whether a block is well-formed UTF-8 is validUtf8Prefix's answer.
///
/// A plain value, one thread at a time. analyze() reads at most len bytes.
#include <zor/zor_export.h>

#include <QString>
#include <cstddef>
#include <cstdint>

namespace zor {
/// The encodings that XUTF8_Detector names as the dominant one of a block. \ingroup text
class ZOR_EXPORT UTF_TYPE {
public:
    enum Utf { UTF_NOT_DETECTED = 0, ASCII_ENCODED = 1, BYTE2_ENCODED = 2, BYTE3_ENCODED = 3, BYTE4_ENCODED = 4 };
};

class ZOR_EXPORT XUTF8_Detector {
public:
    std::uint32_t countAscii_ = 0;
    std::uint32_t count2Byte = 0;
    std::uint32_t count3Byte = 0;
    std::uint32_t count4Byte = 0;
    std::uint32_t countLF = 0;
    std::uint64_t countBytes_ = 0;  ///< the length the caller asked for
    bool hasBOM = false;            ///< the block starts with EF BB BF

    XUTF8_Detector() = default;
    XUTF8_Detector(const char* p, std::size_t len) { analyze(p, len); }

    /// len 0: the zero-terminated string at p. A null p is a fatal check.
    void analyze(const char* p, std::size_t len);
    void analyze(const unsigned char* p, std::size_t len) { analyze(reinterpret_cast<const char*>(p), len); }

    std::uint32_t countAscii() const { return countAscii_; }
    std::uint32_t count2ByteEncodings() const { return count2Byte; }
    std::uint32_t count3ByteEncodings() const { return count3Byte; }
    std::uint32_t count4ByteEncodings() const { return count4Byte; }
    std::uint32_t countLineFeeds() const { return countLF; }
    std::uint64_t countBytes() const { return countBytes_; }
    std::uint64_t count_detected_characters() const {
        return std::uint64_t(countAscii_) + count2Byte + count3Byte + count4Byte;
    }
    /// May be negative after analyze(p, 0), where countBytes is 0 and the string was measured.
    long long count_un_detected_bytes() const {
        return static_cast<long long>(countBytes_) - static_cast<long long>(count_detected_characters());
    }
    bool isAsciiType() const { return countAscii_ > 0; }
    bool is2BytesType() const { return count2Byte > 0; }
    bool isBOM() const { return hasBOM; }

    /// The widest encoding that outnumbers every narrower one; ties go to the narrower.
    UTF_TYPE::Utf getTheMostSignifcantType() const;
    int get_factor_for_gui() const;  ///< the type's number, 1 in place of 0

    static bool matchFirstByteOfSequences(unsigned char b);  ///< a valid UTF-8 lead byte (or ASCII)
    /// The length of the longest prefix of the len bytes at p that is well-formed UTF-8: no overlong
    /// form, no surrogate, nothing above U+10FFFF, no sequence cut short by another byte or by the
    /// end. len when the whole block is; a zero byte is U+0000 and valid; 0 for a null p.
    static std::size_t validUtf8Prefix(const char* p, std::size_t len);
    static bool isValidUtf8(const char* p, std::size_t len) { return validUtf8Prefix(p, len) == len; }
    static QString utfTypeToString(int type);
    QString toString() const;
};

}  // namespace zor
