#include <zor/GDimension.h>
#include <zor/TextHelpers.h>
#include <zor/xformat.h>

#include "math/GeoText.h"

namespace zor {

GDimension::~GDimension() = default;

GDimension GDimension::fromString(const char* text) {
    long long v[2];
    if (!geotext::readIntegers(text, v, 2, "GDimension")) return getNotdefined();
    return GDimension(v[0], v[1]);
}

QString GDimension::toString() const { return xformat("($, $)", format1000(width), format1000(height)); }

}  // namespace zor
