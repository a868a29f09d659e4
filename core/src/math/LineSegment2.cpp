#include <zor/LineSegment2.h>
#include <zor/xformat.h>

namespace zor {

LineSegment2::LineSegment2(bool defined) {
    if (!defined) setNotDefined();
}

void LineSegment2::setNotDefined() {
    point1.setNotDefined();
    point2.setNotDefined();
}

QString LineSegment2::toString() const {
    if (!isDefined()) return QStringLiteral("NOT DEFINED");
    return xformat("$-$, deltaX:$, deltaY:$", point1.toString(), point2.toString(), getDeltaX(), getDeltaY());
}

}  // namespace zor
