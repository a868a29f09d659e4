#pragma once
// Helpers shared by the vector and matrix sources: bitwise comparison, tolerant comparison, the
// printf-style text form, and the 4x4 algorithms that Matrix4 (float) and Matrix4d (double) share.
#include <QString>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace zor {
namespace mathdetail {

// == of the vector and matrix classes: bit for bit, so -0 differs from +0 and INVALID equals
// itself even where a component is not finite.
template <typename T>
inline bool bitsEqual(const T* a, const T* b, int n) {
    return std::memcmp(a, b, sizeof(T) * static_cast<std::size_t>(n)) == 0;
}

template <typename T>
inline bool nearlyEqual(const T* a, const T* b, int n, T tolerance) {
    for (int i = 0; i < n; ++i)
        if (!(std::fabs(a[i] - b[i]) <= tolerance)) return false;
    return true;
}

inline bool indexOk(int row, int column, int n) { return row >= 1 && row <= n && column >= 1 && column <= n; }

// c = a * b for row-major 4x4 arrays; c must not alias a or b.
template <typename T>
inline void mul4(T* c, const T* a, const T* b) {
    for (int r = 0; r < 4; ++r) {
        const T a0 = a[r * 4], a1 = a[r * 4 + 1], a2 = a[r * 4 + 2], a3 = a[r * 4 + 3];
        for (int col = 0; col < 4; ++col)
            c[r * 4 + col] = a0 * b[col] + a1 * b[4 + col] + a2 * b[8 + col] + a3 * b[12 + col];
    }
}

template <typename T>
inline void transpose4(T* m) {
    for (int r = 0; r < 4; ++r)
        for (int c = r + 1; c < 4; ++c) {
            T t = m[r * 4 + c];
            m[r * 4 + c] = m[c * 4 + r];
            m[c * 4 + r] = t;
        }
}

// No value is inf or NaN. Tested on the exponent bits with integer operations: a chain of float
// compares or sums would cost more than the inverse it guards.
template <typename T>
inline bool allFinite(const T* v, int n) {
    using U = typename std::conditional<sizeof(T) == 4, std::uint32_t, std::uint64_t>::type;
    const U exponent = sizeof(T) == 4 ? U(0x7f800000u) : U(0x7ff0000000000000ull);
    U bad = 0;
    for (int i = 0; i < n; ++i) {
        U bits;
        std::memcpy(&bits, &v[i], sizeof(U));
        bad |= static_cast<U>((bits & exponent) == exponent);
    }
    return bad == 0;
}

// The 2x2 minors of the lower and upper row pairs; shared by the determinant and the inverse.
template <typename T>
struct Minors4 {
    T s0, s1, s2, s3, s4, s5, c5, c4, c3, c2, c1, c0;
    explicit Minors4(const T* m) {
        s0 = m[0] * m[5] - m[4] * m[1];
        s1 = m[0] * m[6] - m[4] * m[2];
        s2 = m[0] * m[7] - m[4] * m[3];
        s3 = m[1] * m[6] - m[5] * m[2];
        s4 = m[1] * m[7] - m[5] * m[3];
        s5 = m[2] * m[7] - m[6] * m[3];
        c5 = m[10] * m[15] - m[14] * m[11];
        c4 = m[9] * m[15] - m[13] * m[11];
        c3 = m[9] * m[14] - m[13] * m[10];
        c2 = m[8] * m[15] - m[12] * m[11];
        c1 = m[8] * m[14] - m[12] * m[10];
        c0 = m[8] * m[13] - m[12] * m[9];
    }
    T det() const { return s0 * c5 - s1 * c4 + s2 * c3 + s3 * c2 - s4 * c1 + s5 * c0; }
};

template <typename T>
inline T det4(const T* m) {
    return Minors4<T>(m).det();
}

// out = inverse of m by cofactors (Laplace expansion over the 2x2 minors). Returns false, out
// untouched, when the determinant is zero or not finite, or the result is not finite.
//
// Each row of the inverse is a sum of three products of four-wide vectors, written with the
// compiler's vector extension (SSE on x86-64, plain code elsewhere): about twice as fast as the
// sixteen scalar sums.
template <typename T>
inline bool inverse4(T* out, const T* m) {
    typedef T V __attribute__((vector_size(4 * sizeof(T))));
    const Minors4<T> k(m);
    const T d = k.det();
    if (d == T(0) || !std::isfinite(d)) return false;
    const T inv = T(1) / d;
    const V sign = {1, -1, 1, -1};
    const V y0 = V{m[4], m[0], m[12], m[8]} * sign;
    const V y1 = V{m[5], m[1], m[13], m[9]} * sign;
    const V y2 = V{m[6], m[2], m[14], m[10]} * sign;
    const V y3 = V{m[7], m[3], m[15], m[11]} * sign;
    const V c0 = {k.c0, k.c0, k.s0, k.s0}, c1 = {k.c1, k.c1, k.s1, k.s1}, c2 = {k.c2, k.c2, k.s2, k.s2};
    const V c3 = {k.c3, k.c3, k.s3, k.s3}, c4 = {k.c4, k.c4, k.s4, k.s4}, c5 = {k.c5, k.c5, k.s5, k.s5};
    V rows[4];
    rows[0] = (y1 * c5 - y2 * c4 + y3 * c3) * inv;
    rows[1] = (y2 * c2 - y0 * c5 - y3 * c1) * inv;
    rows[2] = (y0 * c4 - y1 * c2 + y3 * c0) * inv;
    rows[3] = (y1 * c1 - y0 * c3 - y2 * c0) * inv;
    T r[16];
    std::memcpy(r, rows, sizeof(r));
    if (!allFinite(r, 16)) return false;
    std::memcpy(out, r, sizeof(r));
    return true;
}

// The upper 3x3 block of a row-major 4x4 array as a right-handed rotation about x, y or z.
template <typename T>
inline void setRotationBlock(T* m, int axis, T a) {
    const T c = std::cos(a), s = std::sin(a);
    T b[9];
    if (axis == 0) {
        T v[9] = {1, 0, 0, 0, c, -s, 0, s, c};
        std::memcpy(b, v, sizeof(b));
    } else if (axis == 1) {
        T v[9] = {c, 0, s, 0, 1, 0, -s, 0, c};
        std::memcpy(b, v, sizeof(b));
    } else {
        T v[9] = {c, -s, 0, s, c, 0, 0, 0, 1};
        std::memcpy(b, v, sizeof(b));
    }
    for (int r = 0; r < 3; ++r)
        for (int col = 0; col < 3; ++col) m[r * 4 + col] = b[r * 3 + col];
}

// Rows "[$,$,$,$]" separated by a blank, each element with xformat's six decimals.
QString rowsText(const float* e, int n);
QString rowsText(const double* e, int n);

}  // namespace mathdetail
}  // namespace zor
