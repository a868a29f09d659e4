#include <zor/GMath.h>
#include <zor/Logger.h>
#include <zor/Matrix2.h>
#include <zor/Vector2.h>
#include <zor/Vector3.h>
#include <zor/xformat.h>

#include "math/MathDetail.h"

#include <cmath>
#include <limits>

namespace zor {

// Written out rather than read from GMath so that they do not depend on the order in which the
// library's files are initialised.
const Vector2 Vector2::INVALID(std::numeric_limits<float>::max(), std::numeric_limits<float>::max());
const Vector2 Vector2::NOT_DEFINED(std::numeric_limits<float>::min(), std::numeric_limits<float>::min());
const Vector2 Vector2::POINT_OF_ORIGIN(0.0f, 0.0f);
const Vector2 Vector2::UNIT_X_POSITIVE(1.0f, 0.0f);
const Vector2 Vector2::UNIT_X_NEGATIVE(-1.0f, 0.0f);
const Vector2 Vector2::UNIT_Y_POSITIVE(0.0f, 1.0f);
const Vector2 Vector2::UNIT_Y_NEGATIVE(0.0f, -1.0f);

Vector2& Vector2::setLength(float len) {
    normalize();
    return scale(len);
}

Vector3 Vector2::operator%(const Vector2& o) const { return Vector3(0.0f, 0.0f, x * o.y - y * o.x); }
Vector3 Vector2::getCrossProduct(const Vector2& o) const { return *this % o; }

Vector2& Vector2::operator*=(const Matrix2& m) {
    return set(x * m[0] + y * m[2], x * m[1] + y * m[3]);
}

bool Vector2::operator==(const Vector2& o) const { return mathdetail::bitsEqual(&x, &o.x, 2); }

bool Vector2::isEqual(const Vector2& o) const { return GMath::isEqual(x, o.x) && GMath::isEqual(y, o.y); }

bool Vector2::isNearly(const Vector2& o, float tolerance) const {
    return GMath::isNearly(x, o.x, tolerance) && GMath::isNearly(y, o.y, tolerance);
}

bool Vector2::isNormalized() const {
    const float len = getLength();
    return len >= GMath::MIN_ONE_ALLOWED && len <= GMath::MAX_ONE_ALLOWED;
}

bool Vector2::isInTheNearOf(const Vector2& o, float distance) const { return (*this - o).getLength() < distance; }

float Vector2::getAngle(const Vector2& o) const {
    if (GMath::CHECK_NORMALIZING) {
        if (!isNormalized())
            logError("Vector2::getAngle: The calling vector with length $ is not normalized.", getLength());
        if (!o.isNormalized())
            logError("$", QString::asprintf("Vector2::getAngle: The passed vector with length %26.24f is not normalized.",
                                            static_cast<double>(o.getLength())));
    }
    return GMath::acos(*this * o);
}

void Vector2::setNotDefined() { *this = NOT_DEFINED; }
bool Vector2::isNotDefined() const { return *this == NOT_DEFINED; }

QString Vector2::toString() const {
    if (!isValid()) return QStringLiteral("Vector2-INVALID");
    return xformat("[$, $]", x, y);
}

}  // namespace zor
