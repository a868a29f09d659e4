#include <zor/xformat.h>

#include <QTextStream>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace zor {
namespace detail {

namespace {

__extension__ typedef unsigned __int128 u128;

constexpr char kDigits2[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Writes v in decimal, backwards from end; returns the first digit's position.
inline char16_t* writeDecimal(char16_t* end, unsigned long long v) {
    char16_t* p = end;
    while (v >= 100) {
        const unsigned idx = static_cast<unsigned>(v % 100) * 2;
        v /= 100;
        *--p = static_cast<char16_t>(kDigits2[idx + 1]);
        *--p = static_cast<char16_t>(kDigits2[idx]);
    }
    if (v >= 10) {
        const unsigned idx = static_cast<unsigned>(v) * 2;
        *--p = static_cast<char16_t>(kDigits2[idx + 1]);
        *--p = static_cast<char16_t>(kDigits2[idx]);
    } else {
        *--p = static_cast<char16_t>('0' + v);
    }
    return p;
}

}  // namespace

void FormatBuffer::grow(std::size_t n) {
    std::size_t cap = m_cap * 2;
    if (cap < m_size + n) cap = m_size + n;
    char16_t* d = static_cast<char16_t*>(std::malloc(cap * sizeof(char16_t)));
    if (d == nullptr) std::abort();  // out of memory while building a text: nothing sane is left to do
    std::memcpy(d, m_data, m_size * sizeof(char16_t));
    if (m_data != m_local) std::free(m_data);
    m_data = d;
    m_cap = cap;
}

const char* FormatBuffer::putUntilDollar(const char* format) {
    const char* stop = ::strchrnul(format, '$');
    putLatin1(format, static_cast<std::size_t>(stop - format));
    return *stop == '$' ? stop + 1 : nullptr;
}

void FormatBuffer::putRest(const char* text) { putLatin1(text, std::strlen(text)); }

void FormatBuffer::putUtf16(const QChar* s, std::size_t n) {
    if (n == 0) return;
    char16_t* d = tail(n);
    std::memcpy(d, s, n * sizeof(char16_t));
    unsigned found = 0;
    for (std::size_t i = 0; i < n; ++i) found |= static_cast<unsigned>(static_cast<char16_t>(d[i] - 0xD800u) < 0x800u);
    if (found) m_special = true;
    m_size += n;
}

void FormatBuffer::putInt(long long v) {
    char16_t buf[24];
    char16_t* end = buf + 24;
    const unsigned long long mag = v < 0 ? 0ull - static_cast<unsigned long long>(v) : static_cast<unsigned long long>(v);
    char16_t* p = writeDecimal(end, mag);
    if (v < 0) *--p = u'-';
    const std::size_t n = static_cast<std::size_t>(end - p);
    std::memcpy(tail(n), p, n * sizeof(char16_t));
    m_size += n;
}

void FormatBuffer::putUInt(unsigned long long v) {
    char16_t buf[24];
    char16_t* end = buf + 24;
    char16_t* p = writeDecimal(end, v);
    const std::size_t n = static_cast<std::size_t>(end - p);
    std::memcpy(tail(n), p, n * sizeof(char16_t));
    m_size += n;
}

// Six decimals, rounded exactly from the binary value with ties away from zero, as the stream does.
// Values of 1e15 and more, infinities, NaN and negative zero are left to the stream itself.
void FormatBuffer::putDouble(double v) {
    const double a = std::fabs(v);
    if (!(a < 1e15) || (v == 0.0 && std::signbit(v))) {
        putStreamed(*this, v);
        return;
    }
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    std::uint64_t mant = bits & ((std::uint64_t(1) << 52) - 1);
    const int biased = static_cast<int>((bits >> 52) & 0x7ff);
    int e;
    if (biased == 0) {
        e = -1074;
    } else {
        mant |= std::uint64_t(1) << 52;
        e = biased - 1075;
    }
    u128 scaled;  // round(|v| * 10^6), below 10^21
    if (e >= 0) {
        scaled = static_cast<u128>(mant << e) * 1000000u;
    } else {
        const int s = -e;
        const u128 t = static_cast<u128>(mant) * 1000000u;  // below 2^73
        if (s >= 80) {
            scaled = 0;  // |v| * 10^6 < 2^-6: rounds to zero
        } else {
            scaled = t >> s;
            const u128 rem = t - (scaled << s);
            if (rem >= (static_cast<u128>(1) << (s - 1))) ++scaled;
        }
    }
    std::uint64_t ip;
    std::uint32_t fp;
    if (scaled <= UINT64_MAX) {
        const std::uint64_t s64 = static_cast<std::uint64_t>(scaled);
        ip = s64 / 1000000u;
        fp = static_cast<std::uint32_t>(s64 % 1000000u);
    } else {
        ip = static_cast<std::uint64_t>(scaled / 1000000u);
        fp = static_cast<std::uint32_t>(scaled % 1000000u);
    }
    char16_t buf[40];
    char16_t* end = buf + 40;
    char16_t* p = end;
    for (int i = 0; i < 3; ++i) {
        const unsigned idx = (fp % 100) * 2;
        fp /= 100;
        *--p = static_cast<char16_t>(kDigits2[idx + 1]);
        *--p = static_cast<char16_t>(kDigits2[idx]);
    }
    *--p = u'.';
    p = writeDecimal(p, ip);
    if (v < 0) *--p = u'-';
    const std::size_t n = static_cast<std::size_t>(end - p);
    std::memcpy(tail(n), p, n * sizeof(char16_t));
    m_size += n;
}

QString FormatBuffer::take() {
    if (m_size == 0) return QString();
    QString direct(reinterpret_cast<const QChar*>(m_data), static_cast<int>(m_size));
    if (!m_special && m_data[0] != 0xFEFF) return direct;
    // The stream writes UTF-8 and reads it back: lone surrogates turn into '?', a trailing high
    // surrogate and a leading byte-order mark disappear. Let the stream itself decide.
    QTextStream ts(QByteArray(), QIODevice::ReadWrite);
    ts.setCodec("UTF-8");
    ts << direct;
    ts.flush();
    ts.seek(0);
    return ts.readAll();
}

}  // namespace detail
}  // namespace zor
