#include "math/GeoText.h"

#include <zor/FatalChecks.h>
#include <zor/Logger.h>
#include <zor/Tokenizer.h>

namespace zor {
namespace geotext {

bool readIntegers(const char* text, long long* out, int n, const char* who) {
    if (text == nullptr) nullPointerHandling("libSrc/core/src/math/simple/simple2d", 41, QStringLiteral("pStr == NULL"));
    const Tokenizer tok(QString::fromUtf8(text), QStringLiteral(", \t"));
    if (static_cast<int>(tok.size()) != n) {
        logWarning("$::fromString, $ numbers expected, $ found in '$'", who, n, tok.size(), text);
        return false;
    }
    for (int i = 0; i < n; ++i) {
        bool ok = false;
        out[i] = tok.tokenAt(static_cast<unsigned int>(i)).toLongLong(&ok, 10);
        if (!ok) {
            logWarning("$::fromString, '$' is no whole number in '$'", who, tok.tokenAt(static_cast<unsigned int>(i)), text);
            return false;
        }
    }
    return true;
}

}  // namespace geotext
}  // namespace zor
