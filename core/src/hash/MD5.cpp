#include <zor/MD5.h>

#include <zor/FatalChecks.h>
#include <zor/Logger.h>

#include <cstdio>
#include <cstring>

namespace zor {

namespace {

constexpr const char* kSource = "libSrc/core/src/tools/hash/MD5";

inline std::uint32_t rotl(std::uint32_t v, int s) { return (v << s) | (v >> (32 - s)); }

// Input words are little-endian. On little-endian machines a 4-byte memcpy is one load.
inline std::uint32_t loadLE(const unsigned char* p) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
#else
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
#endif
}

inline void storeLE(unsigned char* p, std::uint32_t v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
    p[2] = static_cast<unsigned char>(v >> 16);
    p[3] = static_cast<unsigned char>(v >> 24);
}

const char kHexUpper[] = "0123456789ABCDEF";
const char kHexLower[] = "0123456789abcdef";

}  // namespace

// The four round functions, each written so that the part that does not depend on b (the result
// of the step before) can be computed early: the dependency chain per step stays short.
#define ZOR_MD5_F(a, b, c, d, x, t, s) \
    a += (x) + (t);                    \
    a += (d) ^ ((b) & ((c) ^ (d)));    \
    a = rotl(a, s) + (b);
#define ZOR_MD5_G(a, b, c, d, x, t, s) \
    a += (x) + (t);                    \
    a += ~(d) & (c);                   \
    a += (d) & (b);                    \
    a = rotl(a, s) + (b);
#define ZOR_MD5_H(a, b, c, d, x, t, s) \
    a += (x) + (t);                    \
    a += ((c) ^ (d)) ^ (b);            \
    a = rotl(a, s) + (b);
#define ZOR_MD5_I(a, b, c, d, x, t, s) \
    a += (x) + (t);                    \
    a += (c) ^ ((b) | ~(d));           \
    a = rotl(a, s) + (b);

void MD5::transform(const unsigned char* p, std::size_t count) {
    std::uint32_t a = m_state[0], b = m_state[1], c = m_state[2], d = m_state[3];
    for (; count > 0; --count, p += BLOCK_SIZE) {
        const std::uint32_t x0 = loadLE(p), x1 = loadLE(p + 4), x2 = loadLE(p + 8), x3 = loadLE(p + 12);
        const std::uint32_t x4 = loadLE(p + 16), x5 = loadLE(p + 20), x6 = loadLE(p + 24), x7 = loadLE(p + 28);
        const std::uint32_t x8 = loadLE(p + 32), x9 = loadLE(p + 36), x10 = loadLE(p + 40), x11 = loadLE(p + 44);
        const std::uint32_t x12 = loadLE(p + 48), x13 = loadLE(p + 52), x14 = loadLE(p + 56), x15 = loadLE(p + 60);
        const std::uint32_t aa = a, bb = b, cc = c, dd = d;

        ZOR_MD5_F(a, b, c, d, x0, 0xd76aa478u, 7)
        ZOR_MD5_F(d, a, b, c, x1, 0xe8c7b756u, 12)
        ZOR_MD5_F(c, d, a, b, x2, 0x242070dbu, 17)
        ZOR_MD5_F(b, c, d, a, x3, 0xc1bdceeeu, 22)
        ZOR_MD5_F(a, b, c, d, x4, 0xf57c0fafu, 7)
        ZOR_MD5_F(d, a, b, c, x5, 0x4787c62au, 12)
        ZOR_MD5_F(c, d, a, b, x6, 0xa8304613u, 17)
        ZOR_MD5_F(b, c, d, a, x7, 0xfd469501u, 22)
        ZOR_MD5_F(a, b, c, d, x8, 0x698098d8u, 7)
        ZOR_MD5_F(d, a, b, c, x9, 0x8b44f7afu, 12)
        ZOR_MD5_F(c, d, a, b, x10, 0xffff5bb1u, 17)
        ZOR_MD5_F(b, c, d, a, x11, 0x895cd7beu, 22)
        ZOR_MD5_F(a, b, c, d, x12, 0x6b901122u, 7)
        ZOR_MD5_F(d, a, b, c, x13, 0xfd987193u, 12)
        ZOR_MD5_F(c, d, a, b, x14, 0xa679438eu, 17)
        ZOR_MD5_F(b, c, d, a, x15, 0x49b40821u, 22)

        ZOR_MD5_G(a, b, c, d, x1, 0xf61e2562u, 5)
        ZOR_MD5_G(d, a, b, c, x6, 0xc040b340u, 9)
        ZOR_MD5_G(c, d, a, b, x11, 0x265e5a51u, 14)
        ZOR_MD5_G(b, c, d, a, x0, 0xe9b6c7aau, 20)
        ZOR_MD5_G(a, b, c, d, x5, 0xd62f105du, 5)
        ZOR_MD5_G(d, a, b, c, x10, 0x02441453u, 9)
        ZOR_MD5_G(c, d, a, b, x15, 0xd8a1e681u, 14)
        ZOR_MD5_G(b, c, d, a, x4, 0xe7d3fbc8u, 20)
        ZOR_MD5_G(a, b, c, d, x9, 0x21e1cde6u, 5)
        ZOR_MD5_G(d, a, b, c, x14, 0xc33707d6u, 9)
        ZOR_MD5_G(c, d, a, b, x3, 0xf4d50d87u, 14)
        ZOR_MD5_G(b, c, d, a, x8, 0x455a14edu, 20)
        ZOR_MD5_G(a, b, c, d, x13, 0xa9e3e905u, 5)
        ZOR_MD5_G(d, a, b, c, x2, 0xfcefa3f8u, 9)
        ZOR_MD5_G(c, d, a, b, x7, 0x676f02d9u, 14)
        ZOR_MD5_G(b, c, d, a, x12, 0x8d2a4c8au, 20)

        ZOR_MD5_H(a, b, c, d, x5, 0xfffa3942u, 4)
        ZOR_MD5_H(d, a, b, c, x8, 0x8771f681u, 11)
        ZOR_MD5_H(c, d, a, b, x11, 0x6d9d6122u, 16)
        ZOR_MD5_H(b, c, d, a, x14, 0xfde5380cu, 23)
        ZOR_MD5_H(a, b, c, d, x1, 0xa4beea44u, 4)
        ZOR_MD5_H(d, a, b, c, x4, 0x4bdecfa9u, 11)
        ZOR_MD5_H(c, d, a, b, x7, 0xf6bb4b60u, 16)
        ZOR_MD5_H(b, c, d, a, x10, 0xbebfbc70u, 23)
        ZOR_MD5_H(a, b, c, d, x13, 0x289b7ec6u, 4)
        ZOR_MD5_H(d, a, b, c, x0, 0xeaa127fau, 11)
        ZOR_MD5_H(c, d, a, b, x3, 0xd4ef3085u, 16)
        ZOR_MD5_H(b, c, d, a, x6, 0x04881d05u, 23)
        ZOR_MD5_H(a, b, c, d, x9, 0xd9d4d039u, 4)
        ZOR_MD5_H(d, a, b, c, x12, 0xe6db99e5u, 11)
        ZOR_MD5_H(c, d, a, b, x15, 0x1fa27cf8u, 16)
        ZOR_MD5_H(b, c, d, a, x2, 0xc4ac5665u, 23)

        ZOR_MD5_I(a, b, c, d, x0, 0xf4292244u, 6)
        ZOR_MD5_I(d, a, b, c, x7, 0x432aff97u, 10)
        ZOR_MD5_I(c, d, a, b, x14, 0xab9423a7u, 15)
        ZOR_MD5_I(b, c, d, a, x5, 0xfc93a039u, 21)
        ZOR_MD5_I(a, b, c, d, x12, 0x655b59c3u, 6)
        ZOR_MD5_I(d, a, b, c, x3, 0x8f0ccc92u, 10)
        ZOR_MD5_I(c, d, a, b, x10, 0xffeff47du, 15)
        ZOR_MD5_I(b, c, d, a, x1, 0x85845dd1u, 21)
        ZOR_MD5_I(a, b, c, d, x8, 0x6fa87e4fu, 6)
        ZOR_MD5_I(d, a, b, c, x15, 0xfe2ce6e0u, 10)
        ZOR_MD5_I(c, d, a, b, x6, 0xa3014314u, 15)
        ZOR_MD5_I(b, c, d, a, x13, 0x4e0811a1u, 21)
        ZOR_MD5_I(a, b, c, d, x4, 0xf7537e82u, 6)
        ZOR_MD5_I(d, a, b, c, x11, 0xbd3af235u, 10)
        ZOR_MD5_I(c, d, a, b, x2, 0x2ad7d2bbu, 15)
        ZOR_MD5_I(b, c, d, a, x9, 0xeb86d391u, 21)

        a += aa;
        b += bb;
        c += cc;
        d += dd;
    }
    m_state[0] = a;
    m_state[1] = b;
    m_state[2] = c;
    m_state[3] = d;
}

#undef ZOR_MD5_F
#undef ZOR_MD5_G
#undef ZOR_MD5_H
#undef ZOR_MD5_I

MD5::MD5() {
    std::memset(m_buffer, 0, sizeof m_buffer);
    std::memset(m_digest, 0, sizeof m_digest);
    m_count[0] = m_count[1] = 0;
    m_state[0] = 0x67452301u;
    m_state[1] = 0xefcdab89u;
    m_state[2] = 0x98badcfeu;
    m_state[3] = 0x10325476u;
}

MD5::MD5(const void* data, unsigned int len) : MD5() {
    if (data == nullptr) nullPointerHandling(kSource, 60, QStringLiteral("pBuffer == NULL"));
    updateLarge(data, len);
    finalize();
}

MD5::MD5(const unsigned char* data, unsigned int len) : MD5(static_cast<const void*>(data), len) {}

MD5::MD5(const unsigned char* digest16) : MD5() {
    if (digest16 == nullptr) nullPointerHandling(kSource, 72, QStringLiteral("digest == NULL"));
    std::memcpy(m_digest, digest16, sizeof m_digest);
    m_finalized = true;
}

MD5::MD5(const QString& text) : MD5() {
    updateString(text);
    finalize();
}

void MD5::updateLarge(const void* data, std::size_t len) {
    if (len == 0) return;
    if (data == nullptr) nullPointerHandling(kSource, 90, QStringLiteral("pBuffer == NULL"));
    const unsigned char* in = static_cast<const unsigned char*>(data);

    std::size_t index = (m_count[0] >> 3) & 0x3F;  // bytes already in the buffer
    const unsigned long long bits = (static_cast<unsigned long long>(m_count[1]) << 32 | m_count[0]) +
                                    (static_cast<unsigned long long>(len) << 3);
    m_count[0] = static_cast<std::uint32_t>(bits);
    m_count[1] = static_cast<std::uint32_t>(bits >> 32);

    if (index != 0) {
        const std::size_t fill = BLOCK_SIZE - index;
        if (len < fill) {
            std::memcpy(m_buffer + index, in, len);
            return;
        }
        std::memcpy(m_buffer + index, in, fill);
        transform(m_buffer, 1);
        in += fill;
        len -= fill;
    }
    // Whole blocks straight from the caller's memory, no copy.
    const std::size_t blocks = len / BLOCK_SIZE;
    if (blocks > 0) {
        transform(in, blocks);
        in += blocks * BLOCK_SIZE;
        len -= blocks * BLOCK_SIZE;
    }
    if (len > 0) std::memcpy(m_buffer, in, len);
}

void MD5::update(const unsigned char* data, unsigned int len) {
    if (data == nullptr) nullPointerHandling(kSource, 120, QStringLiteral("pBuffer == NULL"));
    updateLarge(data, len);
}

void MD5::update(const char* data, unsigned int len) {
    if (data == nullptr) nullPointerHandling(kSource, 125, QStringLiteral("pBuffer == NULL"));
    updateLarge(data, len);
}

void MD5::update(char c) { updateLarge(&c, 1); }

void MD5::updateString(const char* text) {
    if (text == nullptr) nullPointerHandling(kSource, 132, QStringLiteral("pBuffer == NULL"));
    updateLarge(text, std::strlen(text));
}

void MD5::updateString(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    updateLarge(utf8.constData(), static_cast<std::size_t>(utf8.size()));
}

bool MD5::updateFile(const char* path) {
    if (path == nullptr) nullPointerHandling(kSource, 142, QStringLiteral("pFile == NULL"));
    std::FILE* fp = std::fopen(path, "rb");
    if (fp == nullptr) {
        logError("MD5::updateFile, cannot open '$'", path);
        return false;
    }
    static constexpr std::size_t kChunk = 65536;
    QByteArray chunk(static_cast<int>(kChunk), Qt::Uninitialized);
    bool ok = true;
    for (;;) {
        const std::size_t n = std::fread(chunk.data(), 1, kChunk, fp);
        if (n > 0) updateLarge(chunk.constData(), n);
        if (n < kChunk) {
            if (std::ferror(fp)) {
                logError("MD5::updateFile, read error in '$'", path);
                ok = false;
            }
            break;
        }
    }
    std::fclose(fp);
    return ok;
}

bool MD5::addMD5FromFile(const char* path, MD5& md5) { return md5.updateFile(path); }

MD5& MD5::finalize() {
    if (m_finalized) return *this;
    unsigned char bits[8];
    storeLE(bits, m_count[0]);
    storeLE(bits + 4, m_count[1]);

    // Pad with 0x80 and zeros to 56 bytes mod 64, then the 64-bit bit count.
    static const unsigned char padding[BLOCK_SIZE] = {0x80};
    const std::size_t index = (m_count[0] >> 3) & 0x3F;
    const std::size_t padLen = index < 56 ? 56 - index : 120 - index;
    updateLarge(padding, padLen);
    updateLarge(bits, 8);

    for (int i = 0; i < 4; ++i) storeLE(m_digest + 4 * i, m_state[i]);
    // The buffer held message bytes: do not leave them behind in the object.
    std::memset(m_buffer, 0, sizeof m_buffer);
    m_finalized = true;
    return *this;
}

void MD5::setInvalid() {
    std::memset(m_digest, 0, sizeof m_digest);
    m_finalized = true;
}

bool MD5::isZero() const {
    for (unsigned char b : m_digest)
        if (b != 0) return false;
    return true;
}

bool MD5::operator==(const MD5& other) const {
    return m_finalized && std::memcmp(m_digest, other.m_digest, sizeof m_digest) == 0;
}

QByteArray MD5::hexDigest(bool upper) const {
    if (!m_finalized) return QByteArrayLiteral("MD5-NOT-FINALIZED");
    const char* hex = upper ? kHexUpper : kHexLower;
    char out[32];
    for (int i = 0; i < 16; ++i) {
        out[2 * i] = hex[m_digest[i] >> 4];
        out[2 * i + 1] = hex[m_digest[i] & 0xF];
    }
    return QByteArray(out, 32);
}

QString MD5::hexdigest(bool upper, bool spaced) const {
    if (!m_finalized) return QStringLiteral("MD5-NOT-FINALIZED");
    if (!spaced) return QString::fromLatin1(hexDigest(upper));
    const char* hex = upper ? kHexUpper : kHexLower;
    QByteArray out;
    out.reserve(47);
    for (int i = 0; i < 16; ++i) {
        if (i > 0) out.append(' ');
        out.append(hex[m_digest[i] >> 4]);
        out.append(hex[m_digest[i] & 0xF]);
    }
    return QString::fromLatin1(out);
}

QString MD5::toString() const { return hexdigest(true, false); }

QString MD5::md5FromBuffer(const unsigned char* buffer, unsigned int len) {
    if (buffer == nullptr) nullPointerHandling(kSource, 232, QStringLiteral("pBuffer == NULL"));
    return MD5(buffer, len).toString();
}

QString MD5::md5FromString(const QString& text) { return MD5(text).toString(); }

QString MD5::md5FromFile(const char* path) {
    if (path == nullptr) nullPointerHandling(kSource, 240, QStringLiteral("pFile == NULL"));
    MD5 md5;
    if (!md5.updateFile(path)) return md5.toString();  // still open: "MD5-NOT-FINALIZED"
    return md5.finalize().toString();
}

MD5 MD5::md5_from_Buffer(const void* buffer, unsigned int len) {
    if (buffer == nullptr) nullPointerHandling(kSource, 248, QStringLiteral("pBuffer == NULL"));
    return MD5(buffer, len);
}

QByteArray MD5::md5_16(const QByteArray& data) {
    MD5 md5;
    md5.updateLarge(data.constData(), static_cast<std::size_t>(data.size()));
    md5.finalize();
    return QByteArray(reinterpret_cast<const char*>(md5.m_digest), 16);
}

namespace {
QByteArray frameText(const unsigned char* digest, const char* hex) {
    char out[32];
    char* o = out;
    for (int i = 0; i < 10; ++i) {
        *o++ = hex[digest[i] >> 4];
        *o++ = hex[digest[i] & 0xF];
        *o++ = ' ';
    }
    *o++ = hex[digest[15] >> 4];
    *o = hex[digest[15] & 0xF];
    return QByteArray(out, 32);
}
}  // namespace

QByteArray MD5::frameDigestText(const void* data, std::size_t len) {
    MD5 md5;
    md5.updateLarge(data, len);
    md5.finalize();
    return frameText(md5.m_digest, kHexUpper);
}

QString MD5::md5FromQByteArray(const QByteArray& data, bool upper) {
    MD5 md5;
    md5.updateLarge(data.constData(), static_cast<std::size_t>(data.size()));
    md5.finalize();
    return QString::fromLatin1(frameText(md5.m_digest, upper ? kHexUpper : kHexLower));
}

QString MD5::bytes16AsHex(const char* digest16) {
    if (digest16 == nullptr) nullPointerHandling(kSource, 290, QStringLiteral("digest == NULL"));
    char out[32];
    for (int i = 0; i < 16; ++i) {
        const unsigned char b = static_cast<unsigned char>(digest16[i]);
        out[2 * i] = kHexLower[b >> 4];
        out[2 * i + 1] = kHexLower[b & 0xF];
    }
    return QString::fromLatin1(out, 32);
}

}  // namespace zor
