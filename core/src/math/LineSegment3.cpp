#include <zor/Line3.h>
#include <zor/LineSegment3.h>
#include <zor/xformat.h>

namespace zor {

float LineSegment3::getDistance(const Line3& line) const {
    return Line3::getDistance(point1, point2 - point1, line.position, line.direction);
}

bool LineSegment3::isFootOfPerpendicularInside(const Line3& line) const {
    const Vector3 along = point2 - point1;
    const Vector3 foot = Line3::getFootOfPerpendicular(Line3(point1, along), line);
    if (!foot.isValid()) return false;
    const Vector3 toFoot = foot - point1;
    return toFoot.getNormal().isNearly(along.getNormal(), 1e-5f) && toFoot.getLength() <= along.getLength();
}

QString LineSegment3::toString() const {
    return xformat("$-$, deltaX:$, deltaY:$, deltaZ:$", point1.toString(), point2.toString(), getDeltaX(), getDeltaY(),
                   getDeltaZ());
}

}  // namespace zor
