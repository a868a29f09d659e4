#pragma once
/// \zclass{MersenneTwister,util} The MT19937 generator (Matsumoto and Nishimura, 32-bit) with its published
/// seeding (init_genrand, init_by_array) and real conversions, so that its sequence for a seed is
/// the published one; plus helpers that draw integers in ranges, letters, Greek and CJK
/// characters, strings and lines of words.
///
/// Unseeded construction seeds with init_by_array({0x123, 0x234, 0x345, 0x456}); with
/// seedFromClock it re-seeds from the microsecond clock. genrand_int32 is inline and produces the
/// state in blocks of 624 words. Ranges of no width (n <= 0, hi < lo) give the lower bound and an
/// error line instead of a division by zero.
///
/// Not thread-safe: one generator per thread. The texts returned by randString and randLine live
/// in the generator's own buffer (maxRandString bytes) and are overwritten by the next call.
#include <zor/zor_export.h>

#include <QByteArray>
#include <QChar>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace zor {

class ZOR_EXPORT MersenneTwister {
public:
    static constexpr int N = 624;
    static constexpr int M = 397;
    static constexpr std::size_t DEFAULT_MAX_RAND_STRING = 65536;

    explicit MersenneTwister(bool seedFromClock = false, std::size_t maxRandString = DEFAULT_MAX_RAND_STRING);
    ~MersenneTwister();
    MersenneTwister(const MersenneTwister& other);
    MersenneTwister& operator=(const MersenneTwister& other);

    void init();  ///< init_genrand with the low 32 bits of the microsecond clock
    void init_genrand(unsigned long s);
    void init_by_array(const unsigned long* key, int length);  ///< a null key or length < 1: seed 19650218 alone

    std::uint32_t genrand_int32() {
        if (mti >= N) generate();
        std::uint32_t y = mt[mti++];
        y ^= (y >> 11);
        y ^= (y << 7) & 0x9d2c5680u;
        y ^= (y << 15) & 0xefc60000u;
        y ^= (y >> 18);
        return y;
    }
    std::int32_t genrand_int31() { return static_cast<std::int32_t>(genrand_int32() >> 1); }
    double genrand_real1() { return genrand_int32() * (1.0 / 4294967295.0); }        ///< [0, 1]
    double genrand_real2() { return genrand_int32() * (1.0 / 4294967296.0); }        ///< [0, 1)
    double genrand_real3() { return (double(genrand_int32()) + 0.5) * (1.0 / 4294967296.0); }  ///< (0, 1)
    double genrand_res53();                                                          ///< [0, 1), 53 bits

    int nextInt() { return static_cast<int>(genrand_int32() >> 1); }  ///< 0 .. 2^31 - 1
    int nextInt(int n);                                               ///< nextInt() % n
    int nextIntRange(int lo, int hi);                                 ///< lo .. hi
    double nextDouble() { return genrand_int32() * (1.0 / 4294967296.0); }
    double nextDoubleRange(double lo, double hi) { return lo + genrand_int32() * (1.0 / 4294967296.0) * (hi - lo); }
    double nextDoublePlusMinus();  ///< -1 < d < 1
    bool nextBool() { return nextInt() % 11 > 5; }
    char nextAsciiLetter(bool upperOnly);
    QChar next_greek_char();                        ///< U+0391 .. U+03C9
    QChar next_chin_char(bool narrow);              ///< narrow: U+4F00 .. U+520F, else U+0400 .. U+9FFF
    QChar next_unicode_char(QChar from, QChar to);  ///< from .. to

    /// size - 1 characters lo .. hi and a terminating zero (size 0 writes nothing).
    void fillCharArray(char* buf, std::size_t size, unsigned lo, unsigned hi);
    void fillQByteArray(QByteArray& a, std::size_t n, unsigned lo, unsigned hi);  ///< appends n bytes
    QByteArray randQByteArray(std::size_t n, unsigned lo, unsigned hi);

    /// len upper-case letters (cut to maxRandString - 1), zero-terminated, in the own buffer.
    const char* randString(std::size_t len);
    /// A line of len characters: words of 1..maxWord letters separated by blanks, `last` at the end.
    const char* randLine(std::size_t len, std::size_t maxWord, bool upperOnly, char last);
    bool resizeInternalStringBuffer(std::size_t size);  ///< false (buffer unchanged) when out of memory
    std::size_t getMaxRandString() const { return maxRandString; }

    const std::vector<unsigned long>& getInitKey() const { return initKey; }
    unsigned long getSeed() const { return seed; }

private:
    void generate();
    std::size_t cutLength(std::size_t len) const;

    std::size_t maxRandString = DEFAULT_MAX_RAND_STRING;
    std::uint32_t mt[N];
    int mti = N + 1;  // N + 1: not initialised
    std::vector<unsigned long> initKey;
    unsigned long seed = 0;
    unsigned seedKind = 0;  // 256 after init_genrand, 1 after init_by_array
    std::unique_ptr<char[]> bufRandString;
};

}  // namespace zor
