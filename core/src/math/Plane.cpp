#include <zor/Line3.h>
#include <zor/Logger.h>
#include <zor/Plane.h>
#include <zor/xformat.h>

#include <cmath>

namespace zor {

float Plane::getDistanceDirected(const Vector3& p0, const Vector3& n, const Vector3& q) {
    const float len = n.getLength();
    if (len == 0.0f) {
        logError("Plane::getDistanceDirected, the normal is a zero vector");
        return 0.0f;
    }
    return ((q - p0) * n) / len;
}

float Plane::getDistance(const Vector3& p0, const Vector3& n, const Vector3& q) {
    return std::fabs(getDistanceDirected(p0, n, q));
}

Vector3 Plane::getIntersection(const Vector3& p0, const Vector3& n, const Vector3& l0, const Vector3& d) {
    const float denom = d * n;
    const float t = ((p0 - l0) * n) / denom;
    if (denom == 0.0f || !std::isfinite(t)) {
        logError("Plane::getIntersection, line direction $ parallel to the plane with normal $", d.toString(),
                 n.toString());
        return Vector3::INVALID;
    }
    return l0 + d * t;
}

Vector3 Plane::getIntersection(const Line3& line) const {
    return getIntersection(position, normal, line.position, line.direction);
}

Vector3 Plane::getNormal(const Vector3& a, const Vector3& b) { return (a % b).getNormal(); }

QString Plane::toString() const { return xformat("$, $", position.toString(), normal.toString()); }

}  // namespace zor
