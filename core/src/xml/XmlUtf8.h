#pragma once
// UTF-8 bytes to a QString exactly as QString::fromUtf8 decodes them (every byte, a zero byte
// included), faster on the ASCII that XML files are mostly made of: ASCII is widened sixteen bytes
// at a time, and each run of other bytes goes through Qt's own decoder. A run starts and ends at
// ASCII bytes, which no UTF-8 sequence contains, so Qt reads every sequence as it would in the
// whole text; only its skipping of a byte-order mark at the start of what it is given differs,
// so a mark inside the text is decoded here. Internal to the xml folder.
#include <zor/XMemFile.h>

#include <QFile>
#include <QString>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zor {
namespace xml_detail {

inline QString decodeUtf8(const char* s, int n) {
    if (s == nullptr || n <= 0) return QString::fromUtf8("", 0);
    QString out;
    out.resize(n);  // UTF-8 never gives more UTF-16 units than it has bytes
    QChar* w = out.data();
    int len = 0;
    int i = 0;
    while (i < n) {
#if defined(__SSE2__)
        while (n - i >= 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
            if (_mm_movemask_epi8(v) != 0) break;
            _mm_storeu_si128(reinterpret_cast<__m128i*>(w + len), _mm_unpacklo_epi8(v, _mm_setzero_si128()));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(w + len + 8), _mm_unpackhi_epi8(v, _mm_setzero_si128()));
            i += 16;
            len += 16;
        }
#endif
        if (i >= n) break;
        if (static_cast<signed char>(s[i]) >= 0) {
            // Up to the other byte that stopped the block (or the end).
            while (i < n && static_cast<signed char>(s[i]) >= 0) w[len++] = QChar(static_cast<char16_t>(s[i++]));
            continue;
        }
        // Two- and three-byte sequences of ordinary characters directly; anything else (four
        // bytes, broken or overlong sequences, surrogates, non-characters, a mark at the start)
        // through Qt.
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c >= 0xC2 && c <= 0xDF && n - i >= 2 && (static_cast<unsigned char>(s[i + 1]) & 0xC0) == 0x80) {
            w[len++] = QChar(static_cast<char16_t>(((c & 0x1F) << 6) | (s[i + 1] & 0x3F)));
            i += 2;
            continue;
        }
        if (c >= 0xE0 && c <= 0xEF && n - i >= 3 && i > 0) {
            const unsigned char c1 = static_cast<unsigned char>(s[i + 1]);
            const unsigned char c2 = static_cast<unsigned char>(s[i + 2]);
            const char16_t u = static_cast<char16_t>(((c & 0x0F) << 12) | ((c1 & 0x3F) << 6) | (c2 & 0x3F));
            if ((c1 & 0xC0) == 0x80 && (c2 & 0xC0) == 0x80 && u >= 0x800 && (u < 0xD800 || u > 0xDFFF) &&
                (u < 0xFDD0 || u > 0xFDEF) && u < 0xFFFE) {
                w[len++] = QChar(u);
                i += 3;
                continue;
            }
        }
        int j = i;
        while (j < n && static_cast<signed char>(s[j]) < 0) ++j;
        while (i > 0 && j - i >= 3 && static_cast<unsigned char>(s[i]) == 0xEF &&
               static_cast<unsigned char>(s[i + 1]) == 0xBB && static_cast<unsigned char>(s[i + 2]) == 0xBF) {
            w[len++] = QChar(static_cast<char16_t>(0xFEFF));
            i += 3;
        }
        if (j > i) {
            const QString part = QString::fromUtf8(s + i, j - i);
            std::memcpy(static_cast<void*>(w + len), part.constData(),
                        static_cast<std::size_t>(part.size()) * sizeof(QChar));
            len += part.size();
        }
        i = j;
    }
    out.resize(len);
    return out;
}

// A file's text as XMemFile::fromFile reads it (UTF-8 up to the first zero byte; empty, with that
// function's error line, when the file cannot be opened), through decodeUtf8.
inline QString fileText(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return XMemFile::fromFile(path);
    const QByteArray bytes = f.readAll();
    const void* zero = std::memchr(bytes.constData(), 0, static_cast<std::size_t>(bytes.size()));
    const int n = zero != nullptr ? static_cast<int>(static_cast<const char*>(zero) - bytes.constData()) : bytes.size();
    return decodeUtf8(bytes.constData(), n);
}

}  // namespace xml_detail
}  // namespace zor
