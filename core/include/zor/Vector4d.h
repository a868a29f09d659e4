#pragma once
/// \zclass{Vector4d,math} The double-precision homogeneous vector (x, y, z, w) for the double matrix Matrix4d,
/// used where float positions lose too much (large world coordinates). Same conventions as Vector4:
/// multiply() is M v (column vector), multiply_left() is v M (row vector).
///
/// INVALID has every component equal to the double value of MAX_FLOAT. A value type: copy freely.
#include <zor/zor_export.h>

#include <QString>

namespace zor {

class Matrix4;
class Matrix4d;

class ZOR_EXPORT Vector4d {
public:
    static const Vector4d INVALID;
    static const Vector4d POINT_OF_ORIGIN;

    constexpr Vector4d() : x(0.0), y(0.0), z(0.0), w(0.0) {}
    constexpr Vector4d(double x_, double y_, double z_, double w_) : x(x_), y(y_), z(z_), w(w_) {}

    Vector4d& set(double x_, double y_, double z_, double w_) {
        x = x_;
        y = y_;
        z = z_;
        w = w_;
        return *this;
    }
    Vector4d& set(const Vector4d& o) { return *this = o; }

    Vector4d& multiply(const Matrix4d& m);  ///< v' = M v
    Vector4d& multiply(const Matrix4& m);   ///< v' = M v, the float matrix widened
    Vector4d& multiply_left(const Matrix4d& m);  ///< v' = v M
    Vector4d& multiply_left(const Matrix4& m);   ///< v' = v M, the float matrix widened

    bool operator==(const Vector4d& o) const;  ///< bit for bit
    bool operator!=(const Vector4d& o) const { return !(*this == o); }
    bool isNearly(const Vector4d& o, double tolerance) const;
    bool isValid() const { return *this != INVALID; }

    QString toString() const;  ///< "Vector4d-INVALID" or "[%+.3f, %+.3f, %+.3f, %+.3f]"

    double x;
    double y;
    double z;
    double w;
};

}  // namespace zor
