#pragma once
/// \zclass{Quaternion,math} A rotation as a unit quaternion, components w, x, y, z in that order (w the real
/// part). Built from a unit axis and an angle (w = cos(a/2), (x, y, z) = sin(a/2) axis), composed
/// by the Hamilton product, and converted to and from Matrix3 (Matrix3::setRotation,
/// Matrix3::getQuaternion): the quaternion and its matrix rotate a vector the same way.
/// \code
///   Quaternion q(Vector3(0, 0, 1), GMath::HALF_PI);   q.rotate(Vector3(1, 0, 0)) ~ (0, 1, 0)
/// \endcode
/// The default is the identity (1, 0, 0, 0); INVALID is every component MAX_FLOAT. A zero axis
/// gives the identity and a log line. A value type: copy freely.
#include <zor/zor_export.h>

#include <QString>

namespace zor {

class Vector3;

class ZOR_EXPORT Quaternion {
public:
    static const Quaternion INVALID;

    constexpr Quaternion() : w(1.0f), x(0.0f), y(0.0f), z(0.0f) {}
    constexpr Quaternion(float w_, float x_, float y_, float z_) : w(w_), x(x_), y(y_), z(z_) {}
    Quaternion(const Vector3& axis, float angle);

    Quaternion& set(float w_, float x_, float y_, float z_) {
        w = w_;
        x = x_;
        y = y_;
        z = z_;
        return *this;
    }
    /// The rotation by angle radians about a unit axis (see the class comment for a zero axis).
    Quaternion& set(const Vector3& axis, float angle);

    /// result = a * b (Hamilton product); result may alias a or b.
    static void multiplication(Quaternion& result, const Quaternion& a, const Quaternion& b);
    Quaternion& multiplyBy(const Quaternion& b);                   ///< this = this * b
    void multiplyBy(Quaternion& result, const Quaternion& b) const;  ///< result = this * b
    Quaternion& multiplyInverseBy(const Quaternion& b);            ///< this = b * this

    float operator*(const Quaternion& o) const { return w * o.w + x * o.x + y * o.y + z * o.z; }
    float getLength() const;
    float operator~() const { return getLength(); }
    Quaternion& normalize();  ///< a zero quaternion stays zero
    Quaternion& operator!() { return normalize(); }
    bool isNormalized() const;  ///< length in [0.999999, 1.000001]
    Quaternion getConjugate() const { return Quaternion(w, -x, -y, -z); }
    /// The vector rotated by this unit quaternion: q v q*.
    Vector3 rotate(const Vector3& v) const;

    bool operator==(const Quaternion& o) const;  ///< bit for bit
    bool operator!=(const Quaternion& o) const { return !(*this == o); }
    bool isNearly(const Quaternion& o, float tolerance) const;
    bool isValid() const { return *this != INVALID; }

    QString toString() const;  ///< "Quaternion-INVALID" or "[%+.3f, %+.3f, %+.3f, %+.3f]" (w, x, y, z)

    float w;
    float x;
    float y;
    float z;
};

}  // namespace zor
