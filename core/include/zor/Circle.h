#pragma once
/// \zclass{Circle,math} A 2D circle (centre, radius) with the measures of a spherical cap drawn on it (capRadius,
/// capHeight) and the cached ratio piDiameterRatio = PI / (2 radius), kept in step by setRadius.
/// \code
///   Circle c;  c.setRadius(2);   c.getPiDiameterRatio() == GMath::PI / 4
/// \endcode
/// A radius that is not positive and finite is refused (one log line, the circle unchanged).
/// A value type; copy freely.
#include <zor/Vector2.h>
#include <zor/zor_export.h>

#include <QString>

namespace zor {

class ZOR_EXPORT Circle {
public:
    Circle();

    Vector2 getCenter() const { return center; }
    void setCenter(const Vector2& c) { center = c; }
    float getRadius() const { return radius; }
    float setRadius(float r);  ///< returns r
    float getCapRadius() const { return capRadius; }
    void setCapRadius(float r) { capRadius = r; }
    float getCapHeight() const { return capHeight; }
    void setCapHeight(float h) { capHeight = h; }
    float getPiDiameterRatio() const { return piDiameterRatio; }
    void computePiDiameterRatio();

    QString toString() const;  ///< "vCenter:$, radius:$, capRadius:$, capHeight:$, piDiameterRatio:$"

    Vector2 center;
    float radius;
    float capRadius;
    float capHeight;
    float piDiameterRatio;
};

}  // namespace zor
