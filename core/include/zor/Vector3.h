#pragma once
/// \zclass{Vector3,math} A plain three-component float vector (x, y, z), the workhorse of the 3D classes:
/// arithmetic, dot, cross and triple products, length, angle, tolerant comparison and the
/// row-vector product with a Matrix3.
/// \code
///   Vector3 a(1, 0, 0), b(0, 1, 0);
///   a % b == Vector3(0, 0, 1);   a * b == 0;   Vector3(0, 3, 4).getLength() == 5
/// \endcode
/// INVALID (every component MAX_FLOAT) is the result of failed computations such as the
/// intersection of skew lines; isValid() tests it bit for bit. == compares bits, isEqual/isNearly
/// compare with a tolerance. A value type: copy freely; one thread per object when writing.
#include <zor/GMath.h>
#include <zor/zor_export.h>

#include <QString>
#include <cmath>

namespace zor {

class Matrix3;

class ZOR_EXPORT Vector3 {
public:
    static const Vector3 INVALID;
    static const Vector3 POINT_OF_ORIGIN;
    static const Vector3 UNIT_X_POSITIVE;
    static const Vector3 UNIT_X_NEGATIVE;
    static const Vector3 UNIT_Y_POSITIVE;
    static const Vector3 UNIT_Y_NEGATIVE;
    static const Vector3 UNIT_Z_POSITIVE;
    static const Vector3 UNIT_Z_NEGATIVE;

    constexpr Vector3() : x(0.0f), y(0.0f), z(0.0f) {}
    constexpr Vector3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}

    float getX() const { return x; }
    float getY() const { return y; }
    float getZ() const { return z; }
    void setX(float v) { x = v; }
    void setY(float v) { y = v; }
    void setZ(float v) { z = v; }
    Vector3& set(float x_, float y_, float z_) {
        x = x_;
        y = y_;
        z = z_;
        return *this;
    }
    Vector3& set(const Vector3& o) { return *this = o; }
    Vector3& setZero() { return set(0.0f, 0.0f, 0.0f); }

    // ---- arithmetic returning a new vector
    Vector3 operator+(const Vector3& o) const { return Vector3(x + o.x, y + o.y, z + o.z); }
    Vector3 operator-(const Vector3& o) const { return Vector3(x - o.x, y - o.y, z - o.z); }
    Vector3 operator-() const { return Vector3(-x, -y, -z); }
    Vector3 operator*(float s) const { return Vector3(x * s, y * s, z * s); }
    Vector3 operator/(float s) const { return Vector3(x / s, y / s, z / s); }  ///< IEEE result for s == 0
    Vector3 getAdditiveInverse() const { return -*this; }
    Vector3 getSum(const Vector3& o) const { return *this + o; }
    Vector3 getDifference(const Vector3& o) const { return *this - o; }
    Vector3 getScaling(float s) const { return *this * s; }
    Vector3 getScalingInverse(float s) const { return *this / s; }
    Vector3 average(const Vector3& o) const {
        return Vector3((x + o.x) * 0.5f, (y + o.y) * 0.5f, (z + o.z) * 0.5f);
    }

    // ---- in place
    Vector3& operator+=(const Vector3& o) { return set(x + o.x, y + o.y, z + o.z); }
    Vector3& operator-=(const Vector3& o) { return set(x - o.x, y - o.y, z - o.z); }
    Vector3& operator*=(float s) { return set(x * s, y * s, z * s); }
    Vector3& operator/=(float s) { return set(x / s, y / s, z / s); }
    Vector3& add(const Vector3& o) { return *this += o; }
    Vector3& subtract(const Vector3& o) { return *this -= o; }
    Vector3& scale(float s) { return *this *= s; }
    Vector3& scaleInverse(float s) { return *this /= s; }
    Vector3& flip() { return set(-x, -y, -z); }
    Vector3& operator--() { return flip(); }
    /// Divides by the length when it is greater than EPSILON; a shorter vector stays as it is.
    Vector3& normalize() {
        const float len = getLength();
        if (len > GMath::EPSILON) {
            const float inv = 1.0f / len;
            set(x * inv, y * inv, z * inv);
        }
        return *this;
    }
    Vector3& operator!() { return normalize(); }
    Vector3 getNormal() const {  // a normalised copy
        Vector3 n(*this);
        return n.normalize();
    }
    Vector3& setLength(float len);  ///< a zero vector stays zero
    Vector3& cross(const Vector3& o) { return *this = *this % o; }
    Vector3& operator%=(const Vector3& o) { return cross(o); }

    // ---- products and length
    float operator*(const Vector3& o) const { return x * o.x + y * o.y + z * o.z; }
    float getScalarProduct(const Vector3& o) const { return *this * o; }
    Vector3 operator%(const Vector3& o) const {
        return Vector3(y * o.z - z * o.y, z * o.x - x * o.z, x * o.y - y * o.x);
    }
    Vector3 getCrossProduct(const Vector3& o) const { return *this % o; }
    float getScalarTripleProduct(const Vector3& b, const Vector3& c) const { return *this * (b % c); }
    float getLength() const { return std::sqrt(x * x + y * y + z * z); }
    float operator~() const { return getLength(); }

    /// The vector as a row vector times m: v'_j = sum_i v_i m(i, j).
    Vector3& operator*=(const Matrix3& m);
    Vector3& rotate(const Matrix3& m) { return *this *= m; }

    // ---- comparison
    bool operator==(const Vector3& o) const;  ///< bit for bit
    bool operator!=(const Vector3& o) const { return !(*this == o); }
    bool isEqual(const Vector3& o) const;  ///< every component within EPSILON
    bool isNearly(const Vector3& o, float tolerance) const;
    bool isZero() const { return x == 0.0f && y == 0.0f && z == 0.0f; }
    bool isNormalized() const;  ///< length in [0.999999, 1.000001]
    bool isSmaller_within_RBTree(const Vector3& o, float tolerance) const {
        return o.x > x + tolerance || o.y > y + tolerance || o.z > z + tolerance;
    }

    /// The angle in radians between two unit vectors (acos of the dot product, clamped).
    float getAngle(const Vector3& o) const;

    bool isValid() const { return *this != INVALID; }

    /// "Vector3-INVALID"; "[%+.3f, %+.3f, %+.3f]", or with precise thirty decimals per component.
    QString toString(bool precise = false) const;

    float x;
    float y;
    float z;
};

}  // namespace zor
