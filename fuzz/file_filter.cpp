// XFileFilter patterns from arbitrary text: setPattern splits them, every pattern is matched
// against a path taken from the same input. Never a crash or a hang, and the invariants hold: "*"
// matches every non-empty path, a path without '*' matches itself as a pattern, an empty pattern
// or path never matches.
#include <zor/XFileFilter.h>

#include <QString>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The input is "patterns\npath": the patterns as typed by a user, the path as found on disk.
    const QString all = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<int>(size));
    const int nl = all.indexOf(QLatin1Char('\n'));
    const QString patterns = nl < 0 ? all : all.left(nl);
    const QString path = nl < 0 ? all : all.mid(nl + 1);

    zor::XFileFilter f;
    f.setPattern(patterns, (size & 1) != 0);
    for (const QString& p : f.patterns) zor::XFileFilter::wildcardMatch(path, p);
    for (const QString& p : f.notPatterns) zor::XFileFilter::wildcardMatch(path, p);
    zor::XFileFilter::wildcardMatch(path, patterns);
    f.toString();

    if (zor::XFileFilter::wildcardMatch(path, QString()) || zor::XFileFilter::wildcardMatch(QString(), patterns)) std::abort();
    if (!path.isEmpty() && !zor::XFileFilter::wildcardMatch(path, QStringLiteral("*"))) std::abort();
    if (!path.isEmpty() && !path.contains(QLatin1Char('*')) && !zor::XFileFilter::wildcardMatch(path, path)) std::abort();
    return 0;
}
