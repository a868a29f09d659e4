#include <zor/Circle.h>
#include <zor/GMath.h>
#include <zor/Logger.h>
#include <zor/xformat.h>

#include <cmath>

namespace zor {

Circle::Circle() : center(0.0f, 0.0f), radius(1.0f), capRadius(1.0f), capHeight(1.0f), piDiameterRatio(0.0f) {
    computePiDiameterRatio();
}

float Circle::setRadius(float r) {
    if (!(r > 0.0f) || !std::isfinite(r)) {
        logError("Circle::setRadius, radius $ refused, it must be positive and finite", r);
        return r;
    }
    radius = r;
    computePiDiameterRatio();
    return r;
}

void Circle::computePiDiameterRatio() { piDiameterRatio = GMath::PI / (2.0f * radius); }

QString Circle::toString() const {
    return xformat("vCenter:$, radius:$, capRadius:$, capHeight:$, piDiameterRatio:$", center.toString(), radius,
                   capRadius, capHeight, piDiameterRatio);
}

}  // namespace zor
