#include <zor/GThickness.h>
#include <zor/TextHelpers.h>
#include <zor/xformat.h>

#include "math/GeoText.h"

namespace zor {

GThickness::~GThickness() = default;

bool GThickness::isNotDefined() const {
    return top == NOT_DEFINED || left == NOT_DEFINED || bottom == NOT_DEFINED || right == NOT_DEFINED;
}

GThickness GThickness::fromString(const char* text) {
    long long v[4];
    if (!geotext::readIntegers(text, v, 4, "GThickness")) return getNotdefined();
    return GThickness(v[0], v[1], v[2], v[3]);
}

QString GThickness::toString() const {
    return xformat("(top:$, left:$, bottom:$, right:$)", format1000(top), format1000(left), format1000(bottom),
                   format1000(right));
}

}  // namespace zor
