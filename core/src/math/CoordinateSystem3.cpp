#include <zor/CoordinateSystem3.h>
#include <zor/GMath.h>
#include <zor/Logger.h>
#include <zor/Matrix3.h>
#include <zor/xformat.h>

#include <cmath>

namespace zor {

void CoordinateSystem3::initialize() {
    abscissa = Vector3::UNIT_X_POSITIVE;
    ordinate = Vector3::UNIT_Y_POSITIVE;
    applicate = Vector3::UNIT_Z_POSITIVE;
}

CoordinateSystem3& CoordinateSystem3::set(const Vector3& x, const Vector3& y, const Vector3& z) {
    abscissa = x;
    ordinate = y;
    applicate = z;
    controlOrthonormality();
    return *this;
}

CoordinateSystem3& CoordinateSystem3::setRotation(const Matrix3& m) {
    abscissa.rotate(m);
    ordinate.rotate(m);
    applicate.rotate(m);
    controlOrthonormality();
    return *this;
}

CoordinateSystem3& CoordinateSystem3::setAfterRightHandRule(const Vector3& x, const Vector3& y) {
    abscissa = x;
    ordinate = y;
    orthonormalizeAfterRightHandRule();
    return *this;
}

void CoordinateSystem3::controlOrthonormality() {
    if (!abscissa.isNormalized()) abscissa.normalize();
    if (!ordinate.isNormalized()) ordinate.normalize();
    if (!applicate.isNormalized()) applicate.normalize();
    const float triple = abscissa * (ordinate % applicate);
    if (std::fabs(1.0f - std::fabs(triple)) <= 0.01f) return;
    // Gram-Schmidt from the abscissa.
    const QString given = toString();
    abscissa.normalize();
    ordinate = (ordinate - abscissa * (abscissa * ordinate)).getNormal();
    applicate = (applicate - abscissa * (abscissa * applicate) - ordinate * (ordinate * applicate)).getNormal();
    if (!abscissa.isNormalized() || !ordinate.isNormalized() || !applicate.isNormalized()) {
        logError("CoordinateSystem3::controlOrthonormality, the axes span no space ($), the unit frame is used", given);
        initialize();
    }
}

void CoordinateSystem3::orthonormalizeAfterRightHandRule() {
    abscissa.normalize();
    ordinate = (ordinate - abscissa * (abscissa * ordinate)).getNormal();
    applicate = abscissa % ordinate;
    if (GMath::CHECK_NORMALIZING && !applicate.isNormalized())
        logError("CoordinateSystem3::orthonormalizeAfterRightHandRule: The calling vector with length $ is not "
                 "normalized.",
                 applicate.getLength());
}

QString CoordinateSystem3::toString() const {
    return xformat("abscissa:$, ordinate:$, applicate:$", abscissa.toString(), ordinate.toString(),
                   applicate.toString());
}

}  // namespace zor
