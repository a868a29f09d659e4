#pragma once
/// \zclass{LineSegment2,math} The 2D segment from point1 to point2 (Vector2). A segment can be "not defined"
/// (both points Vector2's not-defined value), the state of an unset segment.
/// \code
///   LineSegment2 s(Vector2(0, 0), Vector2(3, 4));   s.getDeltaY() == 4
/// \endcode
/// A value type; copy freely.
#include <zor/Vector2.h>
#include <zor/zor_export.h>

#include <QString>

namespace zor {

class ZOR_EXPORT LineSegment2 {
public:
    /// Both points zero when defined, otherwise both not defined.
    explicit LineSegment2(bool defined = true);
    LineSegment2(const Vector2& p1, const Vector2& p2) : point1(p1), point2(p2) {}

    void set(const Vector2& p1, const Vector2& p2) {
        point1 = p1;
        point2 = p2;
    }
    void setNotDefined();
    bool isDefined() const { return point1.isDefined() && point2.isDefined(); }
    float getDeltaX() const { return point2.x - point1.x; }
    float getDeltaY() const { return point2.y - point1.y; }
    Vector2& getPoint1() { return point1; }
    Vector2& getPoint2() { return point2; }
    const Vector2& getPoint1() const { return point1; }
    const Vector2& getPoint2() const { return point2; }
    Vector2 getPoint1Copy() const { return point1; }
    Vector2 getPoint2Copy() const { return point2; }

    QString toString() const;  ///< "NOT DEFINED" or "p1-p2, deltaX:$, deltaY:$"

    Vector2 point1;
    Vector2 point2;
};

}  // namespace zor
