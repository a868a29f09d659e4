#include <zor/ClockFunctions.h>
#include <zor/FatalChecks.h>
#include <zor/XLineInfo.h>
#include <zor/xformat.h>

namespace zor {

QString XLineInfo::toString() const {
    const QString indices = pieceIndex >= 0 ? xformat("$/$", lineIndex, pieceIndex) : xformat("$", lineIndex);
    return xformat("{ [$] $/$ => LEN:$,($), $, LF:$ }", indices, static_cast<unsigned long long>(posMemory),
                   static_cast<unsigned long long>(posEnd()), format1000(lenBytes), format1000(lenTotal),
                   pieceIndex >= 0 ? "FULL-LINE" : "WRAPPED-LINE", endsWithLineFeed);
}

unsigned XLineInfo::countBytes(QChar c) {
    const ushort u = c.unicode();
    if (u < 0x80) return 1;
    if (u < 0x800) return 2;
    if (u >= 0xD800 && u < 0xE000) return 2;  // half of a four-byte sequence
    return 3;
}

std::uint64_t XLineInfo::countBytes(const QString& s) {
    std::uint64_t n = 0;
    for (const QChar c : s) n += countBytes(c);
    return n;
}

QByteArray XLineInfo::get_UTF8_Bytes(const QString& s) { return s.toUtf8(); }
QByteArray XLineInfo::get_UTF8_Bytes(QChar c) { return QString(c).toUtf8(); }

unsigned XLineInfo::get_UTF8_Chars_CountFromBytes(const char* p, unsigned nBytes) {
    if (p == nullptr) nullPointerHandling("libSrc/core/src/tools/text/XLineInfo", 61, QStringLiteral("pMem == NULL"));
    // Valid UTF-8 decodes to one UTF-16 unit per lead byte, two for a four-byte lead; anything
    // else goes through the decoder so that the count matches what fromUtf8 makes of the bytes.
    unsigned count = 0;
    const auto* b = reinterpret_cast<const unsigned char*>(p);
    unsigned i = 0;
    while (i < nBytes) {
        const unsigned char c = b[i];
        unsigned need;
        if (c < 0x80) need = 1;
        else if (c >= 0xC2 && c <= 0xDF) need = 2;
        else if (c >= 0xE0 && c <= 0xEF) need = 3;
        else if (c >= 0xF0 && c <= 0xF4) need = 4;
        else return static_cast<unsigned>(QString::fromUtf8(p, static_cast<int>(nBytes)).size());
        if (need > nBytes - i) return static_cast<unsigned>(QString::fromUtf8(p, static_cast<int>(nBytes)).size());
        for (unsigned k = 1; k < need; ++k) {
            if ((b[i + k] & 0xC0) != 0x80) return static_cast<unsigned>(QString::fromUtf8(p, static_cast<int>(nBytes)).size());
        }
        count += need == 4 ? 2 : 1;
        i += need;
    }
    return count;
}

unsigned XLineInfo::get_UTF8_Chars_CountFromBytes(const QString& s, unsigned nBytes) {
    return get_UTF8_Chars_CountFromBytes(QStringRef(&s), nBytes);
}

unsigned XLineInfo::get_UTF8_Chars_CountFromBytes(const QStringRef& s, unsigned nBytes) {
    std::uint64_t bytes = 0;
    const int n = s.size();
    int i = 0;
    while (i < n) {
        const QChar c = s.at(i);
        const bool pair = c.isHighSurrogate() && i + 1 < n && s.at(i + 1).isLowSurrogate();
        const unsigned w = pair ? 4u : countBytes(c);
        if (bytes + w > nBytes) break;
        bytes += w;
        i += pair ? 2 : 1;
    }
    return static_cast<unsigned>(i);
}

std::uint64_t XLineInfo::get_UTF8_Bytes_CountFromString(const QString& s, int start, int count) {
    return countBytes(s.mid(start, count));
}

QString XLineInfo::elidedText(const QString& s, int maxLen) {
    if (maxLen < 0) maxLen = 0;
    if (s.size() <= maxLen) return s;
    if (maxLen <= 3) return s.left(maxLen);
    return s.left(maxLen - 3) + QStringLiteral("...");
}

}  // namespace zor
