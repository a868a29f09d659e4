#pragma once
/// \zclass{Line3,math} An infinite 3D line through a position along a direction (both Vector3, the direction
/// not necessarily normalised), with distances, feet of perpendiculars and the intersection of two
/// lines. Most operations are static on (position, direction) pairs; the members pass their own.
/// \code
///   Line3 x(Vector3(0, 0, 0), Vector3(1, 0, 0)), l(Vector3(1, 1, 0), Vector3(0, 1, 0));
///   Line3::getIntersection(x, l) == Vector3(1, 0, 0)
/// \endcode
/// Failures (parallel or skew lines, zero directions) give Vector3::INVALID and XERROR log lines.
/// Degenerate distances are guarded: for parallel lines the distance is that of a point of one
/// line from the other, a zero direction makes the line a point. A value type; nothing allocates.
#include <zor/Vector3.h>
#include <zor/zor_export.h>

#include <QString>

namespace zor {

class ZOR_EXPORT Line3 {
public:
    Line3() = default;
    explicit Line3(const Vector3& direction_) : position(Vector3::POINT_OF_ORIGIN), direction(direction_) {}
    Line3(const Vector3& position_, const Vector3& direction_) : position(position_), direction(direction_) {}

    void set(const Vector3& position_, const Vector3& direction_) {
        position = position_;
        direction = direction_;
    }
    Vector3 getPosition() const { return position; }
    Vector3 getDirection() const { return direction; }
    const Vector3& getDirectionAsReference() const { return direction; }

    // ---- distances
    /// Between two lines: |(pB - pA) . (dA x dB)| / |dA x dB|.
    static float getDistance(const Line3& a, const Line3& b);
    static float getDistance(const Vector3& pA, const Vector3& dA, const Vector3& pB, const Vector3& dB);
    /// Of point q from the line: |d x (q - p)| / |d|.
    static float getDistance(const Vector3& p, const Vector3& d, const Vector3& q);
    float getDistance(const Vector3& q) const { return getDistance(position, direction, q); }
    static float getDistanceByPoints(const Vector3& a, const Vector3& b, const Vector3& q);

    // ---- feet of perpendiculars
    /// p + ((q - p) . d) d, for a unit d (a non-unit one is logged at DEBUG when the check is on).
    static Vector3 getFootOfPerpendicularByLine(const Vector3& p, const Vector3& d, const Vector3& q);
    static Vector3 getFootOfPerpendicularByPoints(const Vector3& a, const Vector3& b, const Vector3& q);
    /// The point of line a nearest to line b; INVALID (one log line) for parallel lines.
    static Vector3 getFootOfPerpendicular(const Line3& a, const Line3& b);
    /// The unit vector from the foot of the perpendicular of q on the line to q.
    static Vector3 getNormal(const Vector3& p, const Vector3& d, const Vector3& q);

    /// The common point of two lines; INVALID with XERROR lines for parallel, skew or zero lines.
    static Vector3 getIntersection(const Line3& a, const Line3& b);

    /// Only the directions are compared, component by component.
    static bool is_collinear_by_tolerance(const Line3& a, const Line3& b, float tolerance);
    static bool is_collinear_equal(const Line3& a, const Line3& b);   ///< within EPSILON
    static bool is_collinear_nearly(const Line3& a, const Line3& b);  ///< within 1e-5

    QString toString() const;  ///< "position = $, direction = $"

    Vector3 position;
    Vector3 direction;
};

}  // namespace zor
