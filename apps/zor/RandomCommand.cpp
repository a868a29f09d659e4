// zor random: numbers or lines of words from the library's Mersenne Twister.
//
//   zor random [--seed N] [--count K] [--words true] [--len L]
//
// With --seed the output is the same in every run (--seed 5489 starts with 3499211612, the MT19937
// reference); without it the generator is seeded from the clock. Numbers are the 32-bit outputs,
// one a line; --words true prints K lines of L characters (default 60) of random words. Bad
// numbers end with 6.
#include "Commands.h"

#include <zor/core.h>

#include <cstdio>
#include <string>

namespace zorapp {

using namespace zor;

namespace {

bool parseNumber(const CommandLine& cmd, const char* key, unsigned long long lo, unsigned long long hi,
                 unsigned long long& value) {
    bool ok = false;
    value = cmd.getString(QLatin1String(key)).toULongLong(&ok);
    if (!ok || value < lo || value > hi) {
        logError("random, --$ must be a number from $ to $, not '$'", key, lo, hi, cmd.getString(QLatin1String(key)));
        return false;
    }
    return true;
}

}  // namespace

int runRandom(const CommandLine& cmd) {
    startLogger(cmd);
    unsigned long long count = 10, len = 60, seed = 0;
    if (cmd.hasKey(QStringLiteral("count")) && !parseNumber(cmd, "count", 0, 1000000000ull, count))
        return finish(EXIT_ZOR_ARGUMENT);
    if (cmd.hasKey(QStringLiteral("len")) && !parseNumber(cmd, "len", 1, 65535, len)) return finish(EXIT_ZOR_ARGUMENT);
    const bool seeded = cmd.hasKey(QStringLiteral("seed"));
    if (seeded && !parseNumber(cmd, "seed", 0, 0xFFFFFFFFull, seed)) return finish(EXIT_ZOR_ARGUMENT);
    const bool words = cmd.isBool(QStringLiteral("words"), false);

    MersenneTwister mt(!seeded);
    if (seeded) mt.init_genrand(static_cast<unsigned long>(seed));
    Logger::quit();  // nothing more to log: the output is the numbers themselves

    std::string buf;
    buf.reserve(1 << 16);
    for (unsigned long long i = 0; i < count; ++i) {
        if (words) {
            buf += mt.randLine(static_cast<std::size_t>(len), 8, false, '.');
        } else {
            char num[16];
            const int n = std::snprintf(num, sizeof num, "%u", static_cast<unsigned>(mt.genrand_int32()));
            buf.append(num, static_cast<std::size_t>(n));
        }
        buf += '\n';
        if (buf.size() >= (1u << 16) - 100) {
            if (std::fwrite(buf.data(), 1, buf.size(), stdout) != buf.size()) return EXIT_ZOR_IO;  // a closed pipe
            buf.clear();
        }
    }
    if (!buf.empty() && std::fwrite(buf.data(), 1, buf.size(), stdout) != buf.size()) return EXIT_ZOR_IO;
    return std::fflush(stdout) == 0 ? EXIT_ZOR_OK : EXIT_ZOR_IO;
}

}  // namespace zorapp
