#pragma once
/// \zclass{Vector2,math} A plain two-component float vector (x, y) for 2D geometry: arithmetic, dot and cross
/// products, length and angle, tolerant comparison, and the row-vector product with a Matrix2.
/// \code
///   Vector2 v(3, 4);  v.normalize();            // (0.6, 0.8)
///   Vector2(1, 0) % Vector2(0, 1) == Vector3(0, 0, 1)
/// \endcode
/// Two special values: INVALID (both components MAX_FLOAT, the result of failed computations;
/// isValid() tests it bit for bit) and "not defined" (both components MIN_FLOAT, an unset point;
/// setNotDefined(), isNotDefined()). == compares bits, isEqual/isNearly compare with a tolerance.
/// A value type without invariants: copy freely, no thread-safety beyond that of a float pair.
#include <zor/GMath.h>
#include <zor/zor_export.h>

#include <QString>
#include <cmath>

namespace zor {

class Matrix2;
class Vector3;

class ZOR_EXPORT Vector2 {
public:
    static const Vector2 INVALID;
    static const Vector2 NOT_DEFINED;
    static const Vector2 POINT_OF_ORIGIN;
    static const Vector2 UNIT_X_POSITIVE;
    static const Vector2 UNIT_X_NEGATIVE;
    static const Vector2 UNIT_Y_POSITIVE;
    static const Vector2 UNIT_Y_NEGATIVE;

    constexpr Vector2() : x(0.0f), y(0.0f) {}
    constexpr Vector2(float x_, float y_) : x(x_), y(y_) {}

    float getX() const { return x; }
    float getY() const { return y; }
    void setX(float v) { x = v; }
    void setY(float v) { y = v; }
    Vector2& set(float x_, float y_) {
        x = x_;
        y = y_;
        return *this;
    }
    Vector2& set(const Vector2& o) { return *this = o; }
    Vector2& setZero() { return set(0.0f, 0.0f); }

    // ---- arithmetic returning a new vector
    Vector2 operator+(const Vector2& o) const { return Vector2(x + o.x, y + o.y); }
    Vector2 operator-(const Vector2& o) const { return Vector2(x - o.x, y - o.y); }
    Vector2 operator-() const { return Vector2(-x, -y); }
    Vector2 operator*(float s) const { return Vector2(x * s, y * s); }
    Vector2 operator/(float s) const { return Vector2(x / s, y / s); }  ///< IEEE result for s == 0
    Vector2 getAdditiveInverse() const { return -*this; }
    Vector2 getSum(const Vector2& o) const { return *this + o; }
    Vector2 getDifference(const Vector2& o) const { return *this - o; }
    Vector2 getScaling(float s) const { return *this * s; }
    Vector2 getScalingInverse(float s) const { return *this / s; }
    Vector2 average(const Vector2& o) const { return Vector2((x + o.x) * 0.5f, (y + o.y) * 0.5f); }

    // ---- in place
    Vector2& operator+=(const Vector2& o) { return set(x + o.x, y + o.y); }
    Vector2& operator-=(const Vector2& o) { return set(x - o.x, y - o.y); }
    Vector2& operator*=(float s) { return set(x * s, y * s); }
    Vector2& operator/=(float s) { return set(x / s, y / s); }
    Vector2& add(const Vector2& o) { return *this += o; }
    Vector2& subtract(const Vector2& o) { return *this -= o; }
    Vector2& scale(float s) { return *this *= s; }
    Vector2& scaleInverse(float s) { return *this /= s; }
    Vector2& flip() { return set(-x, -y); }
    Vector2& operator--() { return flip(); }
    /// Divides by the length when it is greater than EPSILON; a shorter vector stays as it is.
    Vector2& normalize() {
        const float len = getLength();
        if (len > GMath::EPSILON) set(x / len, y / len);
        return *this;
    }
    Vector2& operator!() { return normalize(); }
    /// Scales to the given length (a zero vector stays zero).
    Vector2& setLength(float len);

    // ---- products and length
    float operator*(const Vector2& o) const { return x * o.x + y * o.y; }
    float getScalarProduct(const Vector2& o) const { return *this * o; }
    Vector3 operator%(const Vector2& o) const;  ///< (0, 0, x1 y2 - y1 x2)
    Vector3 getCrossProduct(const Vector2& o) const;
    float getLength() const { return std::sqrt(x * x + y * y); }
    float operator~() const { return getLength(); }

    /// The vector as a row vector times m: v'_j = sum_i v_i m(i, j).
    Vector2& operator*=(const Matrix2& m);
    Vector2& rotate(const Matrix2& m) { return *this *= m; }

    // ---- comparison
    bool operator==(const Vector2& o) const;  ///< bit for bit
    bool operator!=(const Vector2& o) const { return !(*this == o); }
    bool isEqual(const Vector2& o) const;  ///< every component within EPSILON
    bool isNearly(const Vector2& o, float tolerance) const;
    bool isZero() const { return x == 0.0f && y == 0.0f; }
    bool isNormalized() const;  ///< length in [0.999999, 1.000001]
    bool isInTheNearOf(const Vector2& o, float distance) const;  ///< Euclidean distance < distance
    /// Ordering key with a tolerance for ordered containers.
    bool isSmaller_within_RBTree(const Vector2& o, float tolerance) const {
        return o.x > x + tolerance || o.y > y + tolerance;
    }

    /// The angle in radians between two unit vectors (acos of the dot product, clamped).
    float getAngle(const Vector2& o) const;

    // ---- special values
    bool isValid() const { return *this != INVALID; }
    void setNotDefined();
    bool isNotDefined() const;
    bool isDefined() const { return !isNotDefined(); }

    QString toString() const;  ///< "[x, y]" with six decimals, or "Vector2-INVALID"

    float x;
    float y;
};

}  // namespace zor
