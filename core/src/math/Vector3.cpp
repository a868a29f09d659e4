#include <zor/GMath.h>
#include <zor/Logger.h>
#include <zor/Matrix3.h>
#include <zor/Vector3.h>

#include "math/MathDetail.h"

#include <cmath>
#include <limits>

namespace zor {

const Vector3 Vector3::INVALID(std::numeric_limits<float>::max(), std::numeric_limits<float>::max(),
                               std::numeric_limits<float>::max());
const Vector3 Vector3::POINT_OF_ORIGIN(0.0f, 0.0f, 0.0f);
const Vector3 Vector3::UNIT_X_POSITIVE(1.0f, 0.0f, 0.0f);
const Vector3 Vector3::UNIT_X_NEGATIVE(-1.0f, 0.0f, 0.0f);
const Vector3 Vector3::UNIT_Y_POSITIVE(0.0f, 1.0f, 0.0f);
const Vector3 Vector3::UNIT_Y_NEGATIVE(0.0f, -1.0f, 0.0f);
const Vector3 Vector3::UNIT_Z_POSITIVE(0.0f, 0.0f, 1.0f);
const Vector3 Vector3::UNIT_Z_NEGATIVE(0.0f, 0.0f, -1.0f);

Vector3& Vector3::setLength(float len) {
    normalize();
    return scale(len);
}

Vector3& Vector3::operator*=(const Matrix3& m) {
    return set(x * m[0] + y * m[3] + z * m[6], x * m[1] + y * m[4] + z * m[7], x * m[2] + y * m[5] + z * m[8]);
}

bool Vector3::operator==(const Vector3& o) const { return mathdetail::bitsEqual(&x, &o.x, 3); }

bool Vector3::isEqual(const Vector3& o) const {
    return GMath::isEqual(x, o.x) && GMath::isEqual(y, o.y) && GMath::isEqual(z, o.z);
}

bool Vector3::isNearly(const Vector3& o, float tolerance) const {
    return GMath::isNearly(x, o.x, tolerance) && GMath::isNearly(y, o.y, tolerance) &&
           GMath::isNearly(z, o.z, tolerance);
}

bool Vector3::isNormalized() const {
    const float len = getLength();
    return len >= GMath::MIN_ONE_ALLOWED && len <= GMath::MAX_ONE_ALLOWED;
}

float Vector3::getAngle(const Vector3& o) const {
    if (GMath::CHECK_NORMALIZING) {
        if (!isNormalized())
            logError("Vector3::getAngle: The calling vector with length $ is not normalized.", getLength());
        if (!o.isNormalized())
            logError("Vector3::getAngle: The passed vector with length $ is not normalized.", o.getLength());
    }
    return GMath::acos(*this * o);
}

QString Vector3::toString(bool precise) const {
    if (!isValid()) return QStringLiteral("Vector3-INVALID");
    const double a = x, b = y, c = z;
    if (precise) return QString::asprintf("[%.30lf, %.30lf, %.30lf]", a, b, c);
    return QString::asprintf("[%+.3f, %+.3f, %+.3f]", a, b, c);
}

}  // namespace zor
