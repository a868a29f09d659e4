#include <zor/Matrix4.h>
#include <zor/Matrix4d.h>
#include <zor/Vector4d.h>

#include "math/MathDetail.h"

#include <limits>

namespace zor {

namespace {
constexpr double kInvalid = static_cast<double>(std::numeric_limits<float>::max());
}

const Vector4d Vector4d::INVALID(kInvalid, kInvalid, kInvalid, kInvalid);
const Vector4d Vector4d::POINT_OF_ORIGIN(0.0, 0.0, 0.0, 0.0);

Vector4d& Vector4d::multiply(const Matrix4d& m) {
    const double* e = m.data();
    return set(e[0] * x + e[1] * y + e[2] * z + e[3] * w, e[4] * x + e[5] * y + e[6] * z + e[7] * w,
               e[8] * x + e[9] * y + e[10] * z + e[11] * w, e[12] * x + e[13] * y + e[14] * z + e[15] * w);
}

Vector4d& Vector4d::multiply(const Matrix4& m) { return multiply(Matrix4d(m)); }

Vector4d& Vector4d::multiply_left(const Matrix4d& m) {
    const double* e = m.data();
    return set(x * e[0] + y * e[4] + z * e[8] + w * e[12], x * e[1] + y * e[5] + z * e[9] + w * e[13],
               x * e[2] + y * e[6] + z * e[10] + w * e[14], x * e[3] + y * e[7] + z * e[11] + w * e[15]);
}

Vector4d& Vector4d::multiply_left(const Matrix4& m) { return multiply_left(Matrix4d(m)); }

bool Vector4d::operator==(const Vector4d& o) const { return mathdetail::bitsEqual(&x, &o.x, 4); }

bool Vector4d::isNearly(const Vector4d& o, double tolerance) const {
    return mathdetail::nearlyEqual(&x, &o.x, 4, tolerance);
}

QString Vector4d::toString() const {
    if (!isValid()) return QStringLiteral("Vector4d-INVALID");
    return QString::asprintf("[%+.3f, %+.3f, %+.3f, %+.3f]", x, y, z, w);
}

}  // namespace zor
