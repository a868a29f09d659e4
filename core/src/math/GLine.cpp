#include <zor/GLine.h>
#include <zor/xformat.h>

#include "math/GeoText.h"

namespace zor {

GLine::~GLine() = default;

bool GLine::isNotDefined() const {
    return p1.x == GPoint::NOT_DEFINED || p1.y == GPoint::NOT_DEFINED || p2.x == GPoint::NOT_DEFINED ||
           p2.y == GPoint::NOT_DEFINED;
}

bool GLine::isValid() const { return !isNotDefined(); }

GLine GLine::fromString(const char* text) {
    long long v[4];
    if (!geotext::readIntegers(text, v, 4, "GLine")) return getNotdefined();
    return GLine(v[0], v[1], v[2], v[3]);
}

QString GLine::toString() const { return xformat("$-$", p1.toString(), p2.toString()); }

}  // namespace zor
