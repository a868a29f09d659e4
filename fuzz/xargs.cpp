// XArgs::fromString on arbitrary text. Besides memory safety it checks that the text form of
// what was parsed reads back to the same map.
#include <zor/XArgs.h>

#include <QString>
#include <cstdint>
#include <cstdlib>

namespace {

// toString writes keys as they are and quotes values with one kind of quote: a key with a blank,
// tab or quote, or a value with both kinds of quote, cannot come back.
bool representable(const zor::XArgs& args) {
    for (const auto& kv : args.getMap()) {
        const QString& k = kv.first;
        if (k.contains(QLatin1Char(' ')) || k.contains(QLatin1Char('\t')) || k.contains(QLatin1Char('"')) ||
            k.contains(QLatin1Char('\'')))
            return false;
        if (kv.second.contains(QLatin1Char('"')) && kv.second.contains(QLatin1Char('\''))) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<int>(size));
    zor::XArgs args;
    if (!args.fromString(text)) {
        if (args) std::abort();  // a failed parse adds nothing
        return 0;
    }
    if (!representable(args)) return 0;
    zor::XArgs back;
    if (!back.fromString(args.toString())) std::abort();
    if (back.getMap() != args.getMap()) std::abort();
    return 0;
}
