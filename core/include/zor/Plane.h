#pragma once
/// \zclass{Plane,math} A plane through a position with a normal (both Vector3; the normal need not be unit
/// length). Signed distances are positive on the side the normal points to.
/// \code
///   Plane::getDistanceDirected(Vector3(0, 0, 0), Vector3(0, 0, 1), Vector3(5, 5, -2)) == -2
/// \endcode
/// A line parallel to the plane, or a zero normal, gives Vector3::INVALID (and one XERROR line)
/// from getIntersection. A value type; nothing allocates.
#include <zor/Vector3.h>
#include <zor/zor_export.h>

#include <QString>

namespace zor {

class Line3;

class ZOR_EXPORT Plane {
public:
    Plane() = default;
    Plane(const Vector3& position_, const Vector3& normal_) : position(position_), normal(normal_) {}

    Vector3 getPosition() const { return position; }
    Vector3 getNormal() const { return normal; }

    /// ((q - p0) . n) / |n|; a zero normal gives 0 and a log line.
    static float getDistanceDirected(const Vector3& p0, const Vector3& n, const Vector3& q);
    static float getDistance(const Vector3& p0, const Vector3& n, const Vector3& q);
    /// l0 + t d with t = ((p0 - l0) . n) / (d . n).
    static Vector3 getIntersection(const Vector3& p0, const Vector3& n, const Vector3& l0, const Vector3& d);
    Vector3 getIntersection(const Line3& line) const;
    static Vector3 getNormal(const Vector3& a, const Vector3& b);  ///< normalised a x b
    /// (n x v) x n: v's part in the plane, times |n|^2.
    static Vector3 getProjectedVector(const Vector3& n, const Vector3& v) { return (n % v) % n; }

    QString toString() const;  ///< "position, normal"

    Vector3 position;
    Vector3 normal;
};

}  // namespace zor
