#pragma once
/// \zclass{LineSegment3,math} The 3D segment from point1 to point2 (Vector3), measured against infinite lines.
/// \code
///   LineSegment3 s(Vector3(0, 0, 0), Vector3(4, 0, 0));
///   s.isFootOfPerpendicularInside(Line3(Vector3(2, 5, 1), Vector3(0, 0, 1))) == true
/// \endcode
/// A value type; nothing allocates.
#include <zor/Vector3.h>
#include <zor/zor_export.h>

#include <QString>

namespace zor {

class Line3;

class ZOR_EXPORT LineSegment3 {
public:
    LineSegment3() = default;
    LineSegment3(const Vector3& p1, const Vector3& p2) : point1(p1), point2(p2) {}

    void set(const Vector3& p1, const Vector3& p2) {
        point1 = p1;
        point2 = p2;
    }
    float getDeltaX() const { return point2.x - point1.x; }
    float getDeltaY() const { return point2.y - point1.y; }
    float getDeltaZ() const { return point2.z - point1.z; }
    Vector3& getPoint1() { return point1; }
    Vector3& getPoint2() { return point2; }
    const Vector3& getPoint1() const { return point1; }
    const Vector3& getPoint2() const { return point2; }
    Vector3 getPoint1Copy() const { return point1; }
    Vector3 getPoint2Copy() const { return point2; }

    /// The distance between the segment's carrier line and line.
    float getDistance(const Line3& line) const;
    /// The point of the carrier line nearest to line lies on the segment.
    bool isFootOfPerpendicularInside(const Line3& line) const;

    QString toString() const;  ///< "p1-p2, deltaX:$, deltaY:$, deltaZ:$"

    Vector3 point1;
    Vector3 point2;
};

}  // namespace zor
