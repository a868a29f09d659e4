#pragma once
/// \zclass{Vector4,math} A plain four-component float vector (x, y, z, w), the homogeneous form of a point
/// (w = 1) or a direction (w = 0) for the 4x4 matrices. multiply() treats it as a column vector
/// (v' = M v, so a translation matrix moves a point), multiply_left() as a row vector (v' = v M).
/// \code
///   Vector4 p(1, 2, 3, 1);  Matrix4 t;  t.translate(Vector3(10, 0, 0));  p.multiply(t);  // (11, 2, 3, 1)
/// \endcode
/// INVALID has every component MAX_FLOAT. A value type: copy freely.
#include <zor/Matrix4.h>
#include <zor/zor_export.h>

#include <QString>

namespace zor {

class Matrix4d;
class Vector3;

class ZOR_EXPORT Vector4 {
public:
    static const Vector4 INVALID;
    static const Vector4 POINT_OF_ORIGIN;
    static const Vector4 UNIT_X_POSITIVE;
    static const Vector4 UNIT_X_NEGATIVE;
    static const Vector4 UNIT_Y_POSITIVE;
    static const Vector4 UNIT_Y_NEGATIVE;

    constexpr Vector4() : x(0.0f), y(0.0f), z(0.0f), w(0.0f) {}
    constexpr Vector4(float x_, float y_, float z_, float w_) : x(x_), y(y_), z(z_), w(w_) {}
    Vector4(const Vector3& v, float w_);

    float getX() const { return x; }
    float getY() const { return y; }
    float getZ() const { return z; }
    float getW() const { return w; }
    void setX(float v) { x = v; }
    void setY(float v) { y = v; }
    void setZ(float v) { z = v; }
    void setW(float v) { w = v; }
    Vector4& set(float x_, float y_, float z_, float w_) {
        x = x_;
        y = y_;
        z = z_;
        w = w_;
        return *this;
    }
    Vector4& set(const Vector4& o) { return *this = o; }
    Vector3 getXYZ() const;

    /// v' = M v (column vector): v'_i = sum_j M(i, j) v_j.
    Vector4& multiply(const Matrix4& m) {
        const float* e = m.data();
#if defined(__clang__) || (defined(__GNUC__) && __GNUC__ >= 12)
        // Four row products at once, then their sums gathered by shuffles: the rows are stored
        // contiguously, so this is the four-wide form of the row dot products.
        typedef float V __attribute__((vector_size(16), aligned(4), may_alias));
        const V v = {x, y, z, w};
        const V a = *reinterpret_cast<const V*>(e) * v, b = *reinterpret_cast<const V*>(e + 4) * v;
        const V c = *reinterpret_cast<const V*>(e + 8) * v, d = *reinterpret_cast<const V*>(e + 12) * v;
        const V ab = __builtin_shufflevector(a, b, 0, 4, 1, 5) + __builtin_shufflevector(a, b, 2, 6, 3, 7);
        const V cd = __builtin_shufflevector(c, d, 0, 4, 1, 5) + __builtin_shufflevector(c, d, 2, 6, 3, 7);
        const V r = __builtin_shufflevector(ab, cd, 0, 1, 4, 5) + __builtin_shufflevector(ab, cd, 2, 3, 6, 7);
        return set(r[0], r[1], r[2], r[3]);
#else
        return set(e[0] * x + e[1] * y + e[2] * z + e[3] * w, e[4] * x + e[5] * y + e[6] * z + e[7] * w,
                   e[8] * x + e[9] * y + e[10] * z + e[11] * w, e[12] * x + e[13] * y + e[14] * z + e[15] * w);
#endif
    }
    Vector4& multiply(const Matrix4d& m);
    /// v' = v M (row vector): v'_j = sum_i v_i M(i, j).
    Vector4& multiply_left(const Matrix4& m) {
        const float* e = m.data();
        return set(x * e[0] + y * e[4] + z * e[8] + w * e[12], x * e[1] + y * e[5] + z * e[9] + w * e[13],
                   x * e[2] + y * e[6] + z * e[10] + w * e[14], x * e[3] + y * e[7] + z * e[11] + w * e[15]);
    }

    bool operator==(const Vector4& o) const;  ///< bit for bit
    bool operator!=(const Vector4& o) const { return !(*this == o); }
    bool isNearly(const Vector4& o, float tolerance) const;
    bool isValid() const { return *this != INVALID; }

    QString toString() const;  ///< "Vector4-INVALID" or "[%+.3f, %+.3f, %+.3f, %+.3f]"

    float x;
    float y;
    float z;
    float w;
};

}  // namespace zor
