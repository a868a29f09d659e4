#include <zor/ClockFunctions.h>
#include <zor/FatalChecks.h>
#include <zor/Logger.h>
#include <zor/MersenneTwister.h>

#include <algorithm>
#include <cstring>
#include <new>

namespace zor {

namespace {

constexpr std::uint32_t kMatrixA = 0x9908b0dfu;
constexpr std::uint32_t kUpper = 0x80000000u;
constexpr std::uint32_t kLower = 0x7fffffffu;

std::unique_ptr<char[]> allocBuffer(std::size_t size) {
    std::unique_ptr<char[]> p(new (std::nothrow) char[size]);
    if (p) p[0] = 0;
    return p;
}

}  // namespace

MersenneTwister::MersenneTwister(bool seedFromClock, std::size_t maxRand) {
    static const unsigned long key[4] = {0x123, 0x234, 0x345, 0x456};
    init_by_array(key, 4);
    if (seedFromClock) init();
    maxRandString = std::max<std::size_t>(maxRand, 2);
    bufRandString = allocBuffer(maxRandString);
    if (!bufRandString)
        nullPointerHandling("libSrc/core/src/tools/rand/MersenneTwister", 70, QStringLiteral("bufRandString == NULL"));
}

MersenneTwister::~MersenneTwister() = default;

MersenneTwister::MersenneTwister(const MersenneTwister& o)
    : maxRandString(o.maxRandString), mti(o.mti), initKey(o.initKey), seed(o.seed), seedKind(o.seedKind),
      bufRandString(allocBuffer(o.maxRandString)) {
    std::memcpy(mt, o.mt, sizeof mt);
    if (!bufRandString)
        nullPointerHandling("libSrc/core/src/tools/rand/MersenneTwister", 70, QStringLiteral("bufRandString == NULL"));
}

MersenneTwister& MersenneTwister::operator=(const MersenneTwister& o) {
    if (this == &o) return *this;
    if (maxRandString != o.maxRandString) {
        auto p = allocBuffer(o.maxRandString);
        if (!p) nullPointerHandling("libSrc/core/src/tools/rand/MersenneTwister", 70, QStringLiteral("bufRandString == NULL"));
        bufRandString = std::move(p);
        maxRandString = o.maxRandString;
    }
    std::memcpy(mt, o.mt, sizeof mt);
    mti = o.mti;
    initKey = o.initKey;
    seed = o.seed;
    seedKind = o.seedKind;
    return *this;
}

void MersenneTwister::init() { init_genrand(static_cast<unsigned long>(getMicroseconds() & 0xffffffffull)); }

void MersenneTwister::init_genrand(unsigned long s) {
    seed = s;
    seedKind = 256;
    mt[0] = static_cast<std::uint32_t>(s & 0xffffffffUL);
    for (mti = 1; mti < N; ++mti) {
        mt[mti] = 1812433253u * (mt[mti - 1] ^ (mt[mti - 1] >> 30)) + static_cast<std::uint32_t>(mti);
    }
}

void MersenneTwister::init_by_array(const unsigned long* key, int length) {
    if (key == nullptr || length < 1) {
        logError("MersenneTwister::init_by_array, no key (length $)", length);
        init_genrand(19650218UL);
        initKey.clear();
        seedKind = 1;
        return;
    }
    initKey.assign(key, key + length);
    init_genrand(19650218UL);
    seedKind = 1;
    int i = 1, j = 0;
    for (int k = std::max(N, length); k > 0; --k) {
        mt[i] = (mt[i] ^ ((mt[i - 1] ^ (mt[i - 1] >> 30)) * 1664525u)) + static_cast<std::uint32_t>(key[j] & 0xffffffffUL) +
                static_cast<std::uint32_t>(j);
        ++i;
        ++j;
        if (i >= N) {
            mt[0] = mt[N - 1];
            i = 1;
        }
        if (j >= length) j = 0;
    }
    for (int k = N - 1; k > 0; --k) {
        mt[i] = (mt[i] ^ ((mt[i - 1] ^ (mt[i - 1] >> 30)) * 1566083941u)) - static_cast<std::uint32_t>(i);
        ++i;
        if (i >= N) {
            mt[0] = mt[N - 1];
            i = 1;
        }
    }
    mt[0] = 0x80000000u;  // a non-zero initial state is assured
}

// The next 624 words at once, as the reference does.
void MersenneTwister::generate() {
    if (mti == N + 1) init_genrand(5489UL);
    int kk = 0;
    for (; kk < N - M; ++kk) {
        const std::uint32_t y = (mt[kk] & kUpper) | (mt[kk + 1] & kLower);
        mt[kk] = mt[kk + M] ^ (y >> 1) ^ ((y & 1u) ? kMatrixA : 0u);
    }
    for (; kk < N - 1; ++kk) {
        const std::uint32_t y = (mt[kk] & kUpper) | (mt[kk + 1] & kLower);
        mt[kk] = mt[kk + (M - N)] ^ (y >> 1) ^ ((y & 1u) ? kMatrixA : 0u);
    }
    const std::uint32_t y = (mt[N - 1] & kUpper) | (mt[0] & kLower);
    mt[N - 1] = mt[M - 1] ^ (y >> 1) ^ ((y & 1u) ? kMatrixA : 0u);
    mti = 0;
}

double MersenneTwister::genrand_res53() {
    const std::uint32_t a = genrand_int32() >> 5;
    const std::uint32_t b = genrand_int32() >> 6;
    return (a * 67108864.0 + b) * (1.0 / 9007199254740992.0);
}

int MersenneTwister::nextInt(int n) {
    if (n <= 0) {
        logError("MersenneTwister::nextInt, n == $", n);
        return 0;
    }
    return nextInt() % n;
}

int MersenneTwister::nextIntRange(int lo, int hi) {
    if (hi < lo) {
        logError("MersenneTwister::nextIntRange, hi < lo, $ < $", hi, lo);
        return lo;
    }
    // The width may exceed int (lo negative, hi positive): computed wide, and a draw of 31 bits
    // covers it.
    const long long width = static_cast<long long>(hi) - lo + 1;
    return static_cast<int>(lo + static_cast<long long>(nextInt()) % width);
}

double MersenneTwister::nextDoublePlusMinus() {
    const int r = nextInt();
    const double d = genrand_int32() * (1.0 / 4294967296.0);
    return r % 11 < 6 ? -d : d;
}

char MersenneTwister::nextAsciiLetter(bool upperOnly) {
    if (upperOnly) return static_cast<char>('A' + nextInt() % 26);
    const int r = nextInt();
    if (r % 11 < 6) return static_cast<char>('a' + nextInt() % 26);
    return static_cast<char>('A' + nextInt() % 26);
}

QChar MersenneTwister::next_greek_char() { return QChar(static_cast<ushort>(913 + nextInt() % 57)); }

QChar MersenneTwister::next_chin_char(bool narrow) {
    if (narrow) return QChar(static_cast<ushort>(20224 + nextInt() % 784));
    return QChar(static_cast<ushort>(1024 + nextInt() % 39936));
}

QChar MersenneTwister::next_unicode_char(QChar from, QChar to) {
    if (to.unicode() < from.unicode()) {
        logError("MersenneTwister::next_unicode_char, to < from, $ < $", to.unicode(), from.unicode());
        return from;
    }
    return QChar(static_cast<ushort>(from.unicode() + nextInt() % (to.unicode() - from.unicode() + 1)));
}

void MersenneTwister::fillCharArray(char* buf, std::size_t size, unsigned lo, unsigned hi) {
    if (buf == nullptr || size == 0) return;
    if (hi < lo) {
        logError("MersenneTwister::fillCharArray, hi < lo, $ < $", hi, lo);
        hi = lo;
    }
    const unsigned long long width = static_cast<unsigned long long>(hi) - lo + 1;
    for (std::size_t i = 0; i + 1 < size; ++i)
        buf[i] = static_cast<char>(lo + static_cast<unsigned long long>(nextInt()) % width);
    buf[size - 1] = 0;
}

void MersenneTwister::fillQByteArray(QByteArray& a, std::size_t n, unsigned lo, unsigned hi) {
    if (hi < lo) {
        logError("MersenneTwister::fillQByteArray, hi < lo, $ < $", hi, lo);
        hi = lo;
    }
    const unsigned long long width = static_cast<unsigned long long>(hi) - lo + 1;
    a.reserve(a.size() + static_cast<int>(n));
    for (std::size_t i = 0; i < n; ++i) a.append(static_cast<char>(lo + static_cast<unsigned long long>(nextInt()) % width));
}

QByteArray MersenneTwister::randQByteArray(std::size_t n, unsigned lo, unsigned hi) {
    QByteArray a;
    fillQByteArray(a, n, lo, hi);
    return a;
}

std::size_t MersenneTwister::cutLength(std::size_t len) const {
    if (len >= maxRandString - 1) {
        logWarning("MersenneTwister::randString, len > MAX_RAND_STRING, cut to:$",
                   static_cast<unsigned long long>(maxRandString - 1));
        return maxRandString - 1;
    }
    return len;
}

const char* MersenneTwister::randString(std::size_t len) {
    len = cutLength(len);
    char* b = bufRandString.get();
    for (std::size_t i = 0; i < len; ++i) b[i] = static_cast<char>('A' + (genrand_int32() >> 1) % 26);
    b[len] = 0;
    return b;
}

const char* MersenneTwister::randLine(std::size_t len, std::size_t maxWord, bool upperOnly, char last) {
    len = cutLength(len);
    if (maxWord == 0) {
        logError("MersenneTwister::randLine, maxWord == 0, using 1");
        maxWord = 1;
    }
    char* b = bufRandString.get();
    std::size_t w = static_cast<std::size_t>(nextInt()) % maxWord + 1;
    if (len == 0) {
        b[0] = 0;
        return b;
    }
    if (len == 1) {
        b[0] = last;
        b[1] = 0;
        return b;
    }
    for (std::size_t p = 0; p + 1 < len; ++p) {
        if (p != 0 && p % w == 0) {
            b[p] = ' ';
            w = static_cast<std::size_t>(nextInt()) % maxWord + 1;
        } else {
            b[p] = nextAsciiLetter(upperOnly);
        }
    }
    b[len - 1] = last;
    b[len] = 0;
    return b;
}

bool MersenneTwister::resizeInternalStringBuffer(std::size_t size) {
    size = std::max<std::size_t>(size, 2);
    auto p = allocBuffer(size);
    if (!p) {
        logError("MersenneTwister::resizeInternalStringBuffer, cannot allocate $ bytes", static_cast<unsigned long long>(size));
        return false;
    }
    bufRandString = std::move(p);
    maxRandString = size;
    return true;
}

}  // namespace zor
