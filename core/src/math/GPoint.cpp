#include <zor/GPoint.h>
#include <zor/TextHelpers.h>

#include "math/GeoText.h"

#include <cstdint>

namespace zor {

GPoint::~GPoint() = default;

bool GPoint::isInTheNearOf(const GPoint& other, int tolerance) const {
    // The differences wrap like 32-bit integers would; widened before abs so INT_MIN is no trap.
    const auto dx = static_cast<std::int32_t>(static_cast<std::uint32_t>(geo::sub(x, other.x)));
    const auto dy = static_cast<std::int32_t>(static_cast<std::uint32_t>(geo::sub(y, other.y)));
    const long long adx = dx < 0 ? -static_cast<long long>(dx) : dx;
    const long long ady = dy < 0 ? -static_cast<long long>(dy) : dy;
    return adx <= tolerance && ady <= tolerance;
}

GPoint GPoint::fromString(const char* text) {
    long long v[2];
    if (!geotext::readIntegers(text, v, 2, "GPoint")) return getNotdefined();
    return GPoint(v[0], v[1]);
}

QString GPoint::toString() const {
    return QString::asprintf("(%s, %s)", qPrintable(format1000(x)), qPrintable(format1000(y)));
}

}  // namespace zor
