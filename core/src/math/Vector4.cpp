#include <zor/Matrix4.h>
#include <zor/Matrix4d.h>
#include <zor/Vector3.h>
#include <zor/Vector4.h>

#include "math/MathDetail.h"

#include <limits>

namespace zor {

const Vector4 Vector4::INVALID(std::numeric_limits<float>::max(), std::numeric_limits<float>::max(),
                               std::numeric_limits<float>::max(), std::numeric_limits<float>::max());
const Vector4 Vector4::POINT_OF_ORIGIN(0.0f, 0.0f, 0.0f, 0.0f);
const Vector4 Vector4::UNIT_X_POSITIVE(1.0f, 0.0f, 0.0f, 0.0f);
const Vector4 Vector4::UNIT_X_NEGATIVE(-1.0f, 0.0f, 0.0f, 0.0f);
const Vector4 Vector4::UNIT_Y_POSITIVE(0.0f, 1.0f, 0.0f, 0.0f);
const Vector4 Vector4::UNIT_Y_NEGATIVE(0.0f, -1.0f, 0.0f, 0.0f);

Vector4::Vector4(const Vector3& v, float w_) : x(v.x), y(v.y), z(v.z), w(w_) {}

Vector3 Vector4::getXYZ() const { return Vector3(x, y, z); }

Vector4& Vector4::multiply(const Matrix4d& m) {
    const double* e = m.data();
    const double a = x, b = y, c = z, d = w;
    return set(static_cast<float>(e[0] * a + e[1] * b + e[2] * c + e[3] * d),
               static_cast<float>(e[4] * a + e[5] * b + e[6] * c + e[7] * d),
               static_cast<float>(e[8] * a + e[9] * b + e[10] * c + e[11] * d),
               static_cast<float>(e[12] * a + e[13] * b + e[14] * c + e[15] * d));
}

bool Vector4::operator==(const Vector4& o) const { return mathdetail::bitsEqual(&x, &o.x, 4); }

bool Vector4::isNearly(const Vector4& o, float tolerance) const {
    return mathdetail::nearlyEqual(&x, &o.x, 4, tolerance);
}

QString Vector4::toString() const {
    if (!isValid()) return QStringLiteral("Vector4-INVALID");
    return QString::asprintf("[%+.3f, %+.3f, %+.3f, %+.3f]", static_cast<double>(x), static_cast<double>(y),
                             static_cast<double>(z), static_cast<double>(w));
}

}  // namespace zor
