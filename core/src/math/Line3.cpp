#include <zor/GMath.h>
#include <zor/Line3.h>
#include <zor/Logger.h>
#include <zor/Plane.h>
#include <zor/xformat.h>

#include <cmath>

namespace zor {

namespace {

inline float component(const Vector3& v, int i) { return i == 0 ? v.x : (i == 1 ? v.y : v.z); }

// The lines are parallel (or one direction is zero) when the cross product of the directions is
// negligible against the product of their lengths.
inline bool parallel(const Vector3& dA, const Vector3& dB, const Vector3& cross) {
    return cross.getLength() <= GMath::EPSILON * dA.getLength() * dB.getLength();
}

}  // namespace

float Line3::getDistance(const Line3& a, const Line3& b) {
    return getDistance(a.position, a.direction, b.position, b.direction);
}

float Line3::getDistance(const Vector3& pA, const Vector3& dA, const Vector3& pB, const Vector3& dB) {
    const Vector3 cross = dA % dB;
    if (parallel(dA, dB, cross)) {
        // Parallel lines keep one distance everywhere: that of pB from line a (or of pA from line
        // b when a has no direction).
        return dA.isZero() ? getDistance(pB, dB, pA) : getDistance(pA, dA, pB);
    }
    return std::fabs((pB - pA) * cross) / cross.getLength();
}

float Line3::getDistance(const Vector3& p, const Vector3& d, const Vector3& q) {
    const float len = d.getLength();
    if (len == 0.0f) return (q - p).getLength();  // a line without direction is the point p
    return (d % (q - p)).getLength() / len;
}

float Line3::getDistanceByPoints(const Vector3& a, const Vector3& b, const Vector3& q) {
    return getDistance(a, b - a, q);
}

Vector3 Line3::getFootOfPerpendicularByLine(const Vector3& p, const Vector3& d, const Vector3& q) {
    if (GMath::CHECK_NORMALIZING && !d.isNormalized())
        Logger::debug("Line3::getFootOfPerpendicularByLine: The line direction vector with length %26.24f is not "
                      "normalized.",
                      static_cast<double>(d.getLength()));
    return p + d * ((q - p) * d);
}

Vector3 Line3::getFootOfPerpendicularByPoints(const Vector3& a, const Vector3& b, const Vector3& q) {
    const Vector3 d = b - a;
    if (d.getLength() <= GMath::EPSILON) {
        logError("Line3::getFootOfPerpendicularByPoints, no line through $ and $", a.toString(), b.toString());
        return Vector3::INVALID;
    }
    return getFootOfPerpendicularByLine(a, d.getNormal(), q);
}

Vector3 Line3::getFootOfPerpendicular(const Line3& a, const Line3& b) {
    const Vector3 cross = a.direction % b.direction;
    if (parallel(a.direction, b.direction, cross)) {
        logError("Line3::getFootOfPerpendicular, parallel lines or a zero direction: $ and $", a.toString(),
                 b.toString());
        return Vector3::INVALID;
    }
    // The plane through line b that contains the common perpendicular's direction: line a meets
    // it in the point nearest to b.
    const Vector3 n = (cross % b.direction).getNormal();
    return Plane::getIntersection(b.position, n, a.position, a.direction);
}

Vector3 Line3::getNormal(const Vector3& p, const Vector3& d, const Vector3& q) {
    const Vector3 u = d.getNormal();
    const Vector3 foot = p + u * ((q - p) * u);
    return (q - foot).getNormal();
}

Vector3 Line3::getIntersection(const Line3& a, const Line3& b) {
    const Vector3& pA = a.position;
    const Vector3& dA = a.direction;
    const Vector3& pB = b.position;
    const Vector3& dB = b.direction;
    // Two coordinates i, j in which the system is solvable, tried in a fixed order.
    static const int kPairs[6][2] = {{0, 1}, {0, 2}, {1, 2}, {1, 0}, {2, 0}, {2, 1}};
    int i = -1, j = -1;
    float det = 0.0f;
    for (const auto& pair : kPairs) {
        if (component(dA, pair[0]) == 0.0f) continue;
        const float d = component(dB, pair[0]) * component(dA, pair[1]) - component(dB, pair[1]) * component(dA, pair[0]);
        if (d != 0.0f) {
            i = pair[0];
            j = pair[1];
            det = d;
            break;
        }
    }
    if (i < 0) {
        logError("Line3::getIntersection, main conditions failed.");
        return Vector3::INVALID;
    }
    const int k = 3 - i - j;
    const float dAi = component(dA, i), dAj = component(dA, j);
    const float pAi = component(pA, i), pAj = component(pA, j);
    const float pBi = component(pB, i), pBj = component(pB, j);
    const float t = (dAi * pBj - dAi * pAj - pBi * dAj + pAi * dAj) / det;
    const float s = (t * component(dB, i) + pBi - pAi) / dAi;
    const float left = s * component(dA, k) + component(pA, k);
    const float right = t * component(dB, k) + component(pB, k);
    if (std::fabs(left - right) <= 2e-6f) return pA + dA * s;
    logError("Line3::_getIntersectionInternally, no intersection possible - lines are skewed, distance lines=$",
             getDistance(a, b));
    logError("Line3::_getIntersectionInternally,   result equation left  = $", left);
    logError("Line3::_getIntersectionInternally,   result equation right = $", right);
    return Vector3::INVALID;
}

bool Line3::is_collinear_by_tolerance(const Line3& a, const Line3& b, float tolerance) {
    return a.direction.isNearly(b.direction, tolerance);
}

bool Line3::is_collinear_equal(const Line3& a, const Line3& b) {
    return is_collinear_by_tolerance(a, b, GMath::EPSILON);
}

bool Line3::is_collinear_nearly(const Line3& a, const Line3& b) { return is_collinear_by_tolerance(a, b, 1e-5f); }

QString Line3::toString() const {
    return xformat("position = $, direction = $", position.toString(), direction.toString());
}

}  // namespace zor
