#include <zor/FatalChecks.h>
#include <zor/Logger.h>
#include <zor/XUTF8_Detector.h>
#include <zor/xformat.h>

#include <cstdint>
#include <cstring>

namespace zor {

namespace {

// The scanner's states: which bytes a sequence still waits for.
enum State : unsigned char {
    START,
    NEED1_OF2,
    E0_SECOND,    // E0: the second byte must be A0..BF (no overlong forms)
    S3_SECOND,    // E1..EC, EE..EF
    ED_SECOND,    // ED: the second byte must be 80..9F (no surrogates)
    NEED1_OF3,
    F0_SECOND,    // F0: the second byte must be 90..BF (no overlong forms)
    S4_SECOND,    // F1..F3, and F4 (whose upper bound is left open, as the lead table decides)
    NEED2_OF4,
    NEED1_OF4
};

inline bool cont(unsigned char b) { return b >= 0x80 && b <= 0xBF; }

}  // namespace

void XUTF8_Detector::analyze(const char* p, std::size_t len) {
    if (p == nullptr) nullPointerHandling("libSrc/core/src/tools/text/UTF8_Detector", 40, QStringLiteral("pBuf == NULL"));
    countAscii_ = count2Byte = count3Byte = count4Byte = countLF = 0;
    countBytes_ = len;
    hasBOM = len >= 3 && static_cast<unsigned char>(p[0]) == 0xEF && static_cast<unsigned char>(p[1]) == 0xBB &&
             static_cast<unsigned char>(p[2]) == 0xBF;
    std::size_t n;
    if (len == 0) {
        n = std::strlen(p);
    } else {
        const void* zero = std::memchr(p, 0, len);
        n = zero != nullptr ? static_cast<std::size_t>(static_cast<const char*>(zero) - p) : len;
        if (n < len) {
            logDebug("UTF8_Detector::analyze, len > lenTmp, $ > $, set len to $", static_cast<unsigned long long>(len),
                     static_cast<unsigned long long>(n), static_cast<unsigned long long>(n));
        }
    }
    if (n == 0) {
        logDebug("UTF8_Detector::analyze, empty string");
        return;
    }

    const auto* b = reinterpret_cast<const unsigned char*>(p);
    State st = START;
    std::uint32_t ascii = 0, lf = 0, c2 = 0, c3 = 0, c4 = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char c = b[i];
        if (c < 0x80) {
            ++ascii;
            if (c == 0x0A) ++lf;
            continue;
        }
        switch (st) {
        case START:
            if (c >= 0xC2 && c <= 0xDF) st = NEED1_OF2;
            else if (c == 0xE0) st = E0_SECOND;
            else if ((c >= 0xE1 && c <= 0xEC) || c == 0xEE || c == 0xEF) st = S3_SECOND;
            else if (c == 0xED) st = ED_SECOND;
            else if (c == 0xF0) st = F0_SECOND;
            else if (c >= 0xF1 && c <= 0xF4) st = S4_SECOND;
            break;  // 80..C1, F5..FF: nothing counted
        case NEED1_OF2:
            if (cont(c)) ++c2;
            st = START;
            break;
        case E0_SECOND: st = (c >= 0xA0 && c <= 0xBF) ? NEED1_OF3 : START; break;
        case S3_SECOND: st = cont(c) ? NEED1_OF3 : START; break;
        case ED_SECOND: st = (c >= 0x80 && c <= 0x9F) ? NEED1_OF3 : START; break;
        case NEED1_OF3:
            if (cont(c)) ++c3;
            st = START;
            break;
        case F0_SECOND: st = (c >= 0x90 && c <= 0xBF) ? NEED2_OF4 : START; break;
        case S4_SECOND: st = cont(c) ? NEED2_OF4 : START; break;
        case NEED2_OF4: st = cont(c) ? NEED1_OF4 : START; break;
        case NEED1_OF4:
            if (cont(c)) ++c4;
            st = START;
            break;
        }
    }
    countAscii_ = ascii;
    countLF = lf;
    count2Byte = c2;
    count3Byte = c3;
    count4Byte = c4;
}

UTF_TYPE::Utf XUTF8_Detector::getTheMostSignifcantType() const {
    if (count4Byte > count3Byte && count4Byte > count2Byte && count4Byte > countAscii_) return UTF_TYPE::BYTE4_ENCODED;
    if (count3Byte > count2Byte && count3Byte > countAscii_) return UTF_TYPE::BYTE3_ENCODED;
    if (count2Byte > countAscii_) return UTF_TYPE::BYTE2_ENCODED;
    if (countAscii_ > 0) return UTF_TYPE::ASCII_ENCODED;
    return UTF_TYPE::UTF_NOT_DETECTED;
}

int XUTF8_Detector::get_factor_for_gui() const {
    const int t = static_cast<int>(getTheMostSignifcantType());
    return t == 0 ? 1 : t;
}

bool XUTF8_Detector::matchFirstByteOfSequences(unsigned char b) {
    return b <= 0x7F || (b >= 0xC2 && b <= 0xDF) || (b >= 0xE0 && b <= 0xEF) || (b >= 0xF0 && b <= 0xF4);
}

std::size_t XUTF8_Detector::validUtf8Prefix(const char* p, std::size_t len) {
    if (p == nullptr) return 0;
    const auto* b = reinterpret_cast<const unsigned char*>(p);
    std::size_t i = 0;
    while (i < len) {
        // Text is mostly ASCII: eight bytes at a time until a byte with its high bit set.
        while (len - i >= 8) {
            std::uint64_t w;
            std::memcpy(&w, b + i, 8);
            if ((w & 0x8080808080808080ull) != 0) break;
            i += 8;
        }
        if (i == len) break;
        const unsigned char c = b[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        // The lead byte gives the count of continuation bytes and the range of the first one.
        std::size_t need = 0;
        unsigned char lo = 0x80, hi = 0xBF;
        if (c >= 0xC2 && c <= 0xDF) {
            need = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            // E0 would be overlong below A0 (below U+0800), ED a surrogate above 9F.
            need = 2;
            lo = c == 0xE0 ? 0xA0 : 0x80;
            hi = c == 0xED ? 0x9F : 0xBF;
        } else if (c >= 0xF0 && c <= 0xF4) {
            // F0 would be overlong below 90 (below U+10000), F4 above U+10FFFF past 8F.
            need = 3;
            lo = c == 0xF0 ? 0x90 : 0x80;
            hi = c == 0xF4 ? 0x8F : 0xBF;
        } else {
            return i;  // a continuation byte, C0, C1 or F5..FF
        }
        if (len - i <= need || b[i + 1] < lo || b[i + 1] > hi) return i;
        for (std::size_t k = 2; k <= need; ++k)
            if (b[i + k] < 0x80 || b[i + k] > 0xBF) return i;
        i += need + 1;
    }
    return len;
}

QString XUTF8_Detector::utfTypeToString(int type) {
    switch (type) {
    case UTF_TYPE::UTF_NOT_DETECTED: return QStringLiteral("UTF_NOT_DETECTED");
    case UTF_TYPE::ASCII_ENCODED: return QStringLiteral("ASCII_ENCODED");
    case UTF_TYPE::BYTE2_ENCODED: return QStringLiteral("BYTE2_ENCODED");
    case UTF_TYPE::BYTE3_ENCODED: return QStringLiteral("BYTE3_ENCODED");
    case UTF_TYPE::BYTE4_ENCODED: return QStringLiteral("BYTE4_ENCODED");
    default: return QStringLiteral("UTF_MYSTERIOUS");
    }
}

QString XUTF8_Detector::toString() const {
    QString s = xformat("$ Characters, LF:$, Type is:$, { ", static_cast<unsigned long long>(count_detected_characters()),
                        countLF, utfTypeToString(getTheMostSignifcantType()));
    if (countAscii_ > 0) s += QStringLiteral("1 ");
    if (count2Byte > 0) s += QStringLiteral("2 ");
    if (count3Byte > 0) s += QStringLiteral("3 ");
    if (count4Byte > 0) s += QStringLiteral("4 ");
    s += QStringLiteral("}, {");
    s += xformat("1-byte-enc:$, ", countAscii_);
    s += xformat("2-bytes-enc:$, ", count2Byte);
    s += xformat("3-bytes-enc:$, ", count3Byte);
    s += xformat("4-bytes-enc:$", count4Byte);
    s += QStringLiteral(" }");
    return s;
}

}  // namespace zor
