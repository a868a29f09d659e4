#include <zor/GMath.h>
#include <zor/Logger.h>
#include <zor/Quaternion.h>
#include <zor/Vector3.h>

#include "math/MathDetail.h"

#include <cmath>
#include <limits>

namespace zor {

namespace {
constexpr float kMax = std::numeric_limits<float>::max();
}

const Quaternion Quaternion::INVALID(kMax, kMax, kMax, kMax);

Quaternion::Quaternion(const Vector3& axis, float angle) : Quaternion() { set(axis, angle); }

Quaternion& Quaternion::set(const Vector3& axis, float angle) {
    if (axis.isZero()) {
        logError("Quaternion::set: The given axis vector is a zero vector.");
        return set(1.0f, 0.0f, 0.0f, 0.0f);
    }
    if (GMath::CHECK_NORMALIZING && !axis.isNormalized())
        logError("Quaternion::set: The given axis vector with length $ is not normalized.", axis.getLength());
    const float s = std::sin(angle * 0.5f);
    return set(std::cos(angle * 0.5f), s * axis.x, s * axis.y, s * axis.z);
}

void Quaternion::multiplication(Quaternion& result, const Quaternion& a, const Quaternion& b) {
    // Computed into locals first so that result may be a or b.
    const float w = a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z;
    const float x = a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y;
    const float y = a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x;
    const float z = a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w;
    result.set(w, x, y, z);
}

Quaternion& Quaternion::multiplyBy(const Quaternion& b) {
    multiplication(*this, *this, b);
    return *this;
}

void Quaternion::multiplyBy(Quaternion& result, const Quaternion& b) const { multiplication(result, *this, b); }

Quaternion& Quaternion::multiplyInverseBy(const Quaternion& b) {
    multiplication(*this, b, *this);
    return *this;
}

float Quaternion::getLength() const { return std::sqrt(w * w + x * x + y * y + z * z); }

Quaternion& Quaternion::normalize() {
    const float len = getLength();
    if (len > GMath::EPSILON) {
        const float inv = 1.0f / len;
        set(w * inv, x * inv, y * inv, z * inv);
    }
    return *this;
}

bool Quaternion::isNormalized() const {
    const float len = getLength();
    return len >= GMath::MIN_ONE_ALLOWED && len <= GMath::MAX_ONE_ALLOWED;
}

Vector3 Quaternion::rotate(const Vector3& v) const {
    Quaternion r;
    multiplication(r, *this, Quaternion(0.0f, v.x, v.y, v.z));
    multiplication(r, r, getConjugate());
    return Vector3(r.x, r.y, r.z);
}

bool Quaternion::operator==(const Quaternion& o) const { return mathdetail::bitsEqual(&w, &o.w, 4); }

bool Quaternion::isNearly(const Quaternion& o, float tolerance) const {
    return mathdetail::nearlyEqual(&w, &o.w, 4, tolerance);
}

QString Quaternion::toString() const {
    if (!isValid()) return QStringLiteral("Quaternion-INVALID");
    return QString::asprintf("[%+.3f, %+.3f, %+.3f, %+.3f]", static_cast<double>(w), static_cast<double>(x),
                             static_cast<double>(y), static_cast<double>(z));
}

}  // namespace zor
