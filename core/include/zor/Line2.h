#pragma once
/// \zclass{Line2,math} An infinite 2D line through a location along a direction (both Vector2), with the foot of
/// the perpendicular from a point. The direction of the static forms must be a unit vector; with
/// GMath::CHECK_NORMALIZING on, one that is not is logged (the computation goes on).
/// \code
///   Line2::getFootOfPerpendicularByPoints(Vector2(0, 0), Vector2(4, 0), Vector2(1, 3)) == (1, 0)
/// \endcode
/// A value type; nothing allocates. Copy freely.
#include <zor/Vector2.h>
#include <zor/zor_export.h>

#include <QString>

namespace zor {

class ZOR_EXPORT Line2 {
public:
    Line2() = default;
    Line2(const Vector2& location_, const Vector2& direction_) : location(location_), direction(direction_) {}

    /// p + ((q - p) . d) d for a unit direction d.
    static Vector2 getFootOfPerpendicularByLine(const Vector2& p, const Vector2& d, const Vector2& q);
    /// The same for the line through a and b; a == b gives Vector2::INVALID and a log line.
    static Vector2 getFootOfPerpendicularByPoints(const Vector2& a, const Vector2& b, const Vector2& q);
    Vector2 getFootOfPerpendicular(const Vector2& q) const {
        return getFootOfPerpendicularByLine(location, direction, q);
    }

    Vector2 getLocation() const { return location; }
    Vector2 getDirection() const { return direction; }
    QString toString() const;  ///< "location - direction"

    Vector2 location;
    Vector2 direction;
};

}  // namespace zor
