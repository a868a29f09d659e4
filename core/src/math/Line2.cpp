#include <zor/GMath.h>
#include <zor/Line2.h>
#include <zor/Logger.h>
#include <zor/xformat.h>

namespace zor {

Vector2 Line2::getFootOfPerpendicularByLine(const Vector2& p, const Vector2& d, const Vector2& q) {
    if (GMath::CHECK_NORMALIZING && !d.isNormalized())
        logError("Line2::getFootOfPerpendicularByLine: The line direction vector with length $ is not normalized.",
                 d.getLength());
    return p + d * ((q - p) * d);
}

Vector2 Line2::getFootOfPerpendicularByPoints(const Vector2& a, const Vector2& b, const Vector2& q) {
    Vector2 d = b - a;
    if (d.getLength() <= GMath::EPSILON) {
        logError("Line2::getFootOfPerpendicularByPoints, no line through $ and $", a.toString(), b.toString());
        return Vector2::INVALID;
    }
    return getFootOfPerpendicularByLine(a, d.normalize(), q);
}

QString Line2::toString() const { return xformat("$ - $", location.toString(), direction.toString()); }

}  // namespace zor
