#include <zor/GMath.h>
#include <zor/Logger.h>
#include <zor/Matrix3.h>
#include <zor/Quaternion.h>
#include <zor/Vector3.h>
#include <zor/xformat.h>

#include "math/MathDetail.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace zor {

namespace {
constexpr float kMax = std::numeric_limits<float>::max();
constexpr float kRotationTolerance = 1e-4f;
}  // namespace

const Matrix3 Matrix3::INVALID(kMax, kMax, kMax, kMax, kMax, kMax, kMax, kMax, kMax);

Matrix3::Matrix3(const float rowMajor[9]) { std::memcpy(m_e, rowMajor, sizeof(m_e)); }

Matrix3& Matrix3::setIdentity() {
    *this = Matrix3(1, 0, 0, 0, 1, 0, 0, 0, 1);
    return *this;
}

Matrix3& Matrix3::setZero() {
    std::memset(m_e, 0, sizeof(m_e));
    return *this;
}

Matrix3& Matrix3::transpose() {
    std::swap(m_e[1], m_e[3]);
    std::swap(m_e[2], m_e[6]);
    std::swap(m_e[5], m_e[7]);
    return *this;
}

Matrix3 Matrix3::getTransposed() const {
    Matrix3 t(*this);
    return t.transpose();
}

float Matrix3::getDeterminant() const {
    const float* m = m_e;
    return m[0] * (m[4] * m[8] - m[5] * m[7]) - m[1] * (m[3] * m[8] - m[5] * m[6]) +
           m[2] * (m[3] * m[7] - m[4] * m[6]);
}

Matrix3 Matrix3::getInverse() const {
    const float* m = m_e;
    const float d = getDeterminant();
    if (d == 0.0f || !std::isfinite(d)) {
        logError("Matrix3::getInverse, singular matrix, determinant $", d);
        return INVALID;
    }
    const float i = 1.0f / d;
    Matrix3 r((m[4] * m[8] - m[5] * m[7]) * i, (m[2] * m[7] - m[1] * m[8]) * i, (m[1] * m[5] - m[2] * m[4]) * i,
              (m[5] * m[6] - m[3] * m[8]) * i, (m[0] * m[8] - m[2] * m[6]) * i, (m[2] * m[3] - m[0] * m[5]) * i,
              (m[3] * m[7] - m[4] * m[6]) * i, (m[1] * m[6] - m[0] * m[7]) * i, (m[0] * m[4] - m[1] * m[3]) * i);
    for (float v : r.m_e)
        if (!std::isfinite(v)) {
            logError("Matrix3::getInverse, singular matrix, determinant $", d);
            return INVALID;
        }
    return r;
}

bool Matrix3::isRotationMatrix() const {
    const Matrix3 p = *this * getTransposed();
    return p.isNearly(Matrix3(), kRotationTolerance) && std::fabs(getDeterminant() - 1.0f) <= kRotationTolerance;
}

Matrix3& Matrix3::setRotationX(float a) {
    const float c = std::cos(a), s = std::sin(a);
    *this = Matrix3(1, 0, 0, 0, c, -s, 0, s, c);
    return *this;
}

Matrix3& Matrix3::setRotationY(float a) {
    const float c = std::cos(a), s = std::sin(a);
    *this = Matrix3(c, 0, s, 0, 1, 0, -s, 0, c);
    return *this;
}

Matrix3& Matrix3::setRotationZ(float a) {
    const float c = std::cos(a), s = std::sin(a);
    *this = Matrix3(c, -s, 0, s, c, 0, 0, 0, 1);
    return *this;
}

Matrix3& Matrix3::setRotation(const Vector3& axis, float angle) {
    if (GMath::CHECK_NORMALIZING && !axis.isNormalized())
        logError("Matrix3::setRotation: The axis vector with length $ is not normalized", axis.getLength());
    // Rodrigues: c I + s [a]x + (1 - c) a a^T, right-handed for column vectors.
    const float c = std::cos(angle), s = std::sin(angle), t = 1.0f - c;
    const float x = axis.x, y = axis.y, z = axis.z;
    *this = Matrix3(c + x * x * t, x * y * t - z * s, x * z * t + y * s,  //
                    y * x * t + z * s, c + y * y * t, y * z * t - x * s,  //
                    z * x * t - y * s, z * y * t + x * s, c + z * z * t);
    return *this;
}

Matrix3& Matrix3::setRotation(const Quaternion& q) {
    if (GMath::CHECK_NORMALIZING && !q.isNormalized())
        logError("$", QString::asprintf("Matrix3::setRotation: The quaternion with length %26.24f is not normalized",
                                        static_cast<double>(q.getLength())));
    const float w = q.w, x = q.x, y = q.y, z = q.z;
    *this = Matrix3(1 - 2 * (y * y + z * z), 2 * (x * y - w * z), 2 * (x * z + w * y),  //
                    2 * (x * y + w * z), 1 - 2 * (x * x + z * z), 2 * (y * z - w * x),  //
                    2 * (x * z - w * y), 2 * (y * z + w * x), 1 - 2 * (x * x + y * y));
    return *this;
}

Quaternion Matrix3::getQuaternion() const {
    if (!isRotationMatrix()) {
        logError("Matrix3::getQuaternion, not a rotation matrix: $", toString());
        return Quaternion::INVALID;
    }
    // Shepperd's method: divide by the largest of the four candidates to stay accurate.
    const float* m = m_e;
    const float trace = m[0] + m[4] + m[8];
    Quaternion q;
    if (trace > 0.0f) {
        const float s = std::sqrt(trace + 1.0f) * 2.0f;
        q.set(0.25f * s, (m[7] - m[5]) / s, (m[2] - m[6]) / s, (m[3] - m[1]) / s);
    } else if (m[0] > m[4] && m[0] > m[8]) {
        const float s = std::sqrt(1.0f + m[0] - m[4] - m[8]) * 2.0f;
        q.set((m[7] - m[5]) / s, 0.25f * s, (m[1] + m[3]) / s, (m[2] + m[6]) / s);
    } else if (m[4] > m[8]) {
        const float s = std::sqrt(1.0f + m[4] - m[0] - m[8]) * 2.0f;
        q.set((m[2] - m[6]) / s, (m[1] + m[3]) / s, 0.25f * s, (m[5] + m[7]) / s);
    } else {
        const float s = std::sqrt(1.0f + m[8] - m[0] - m[4]) * 2.0f;
        q.set((m[3] - m[1]) / s, (m[2] + m[6]) / s, (m[5] + m[7]) / s, 0.25f * s);
    }
    return q.normalize();
}

Matrix3 Matrix3::operator*(const Matrix3& b) const {
    Matrix3 c;
    for (int r = 0; r < 3; ++r)
        for (int col = 0; col < 3; ++col)
            c.m_e[r * 3 + col] =
                m_e[r * 3] * b.m_e[col] + m_e[r * 3 + 1] * b.m_e[3 + col] + m_e[r * 3 + 2] * b.m_e[6 + col];
    return c;
}

Vector3 Matrix3::operator*(const Vector3& v) const {
    return Vector3(m_e[0] * v.x + m_e[1] * v.y + m_e[2] * v.z, m_e[3] * v.x + m_e[4] * v.y + m_e[5] * v.z,
                   m_e[6] * v.x + m_e[7] * v.y + m_e[8] * v.z);
}

Matrix3& Matrix3::multiply(const Matrix3& b) { return *this = *this * b; }

float Matrix3::getElement(int row, int column) const {
    if (!mathdetail::indexOk(row, column, 3)) {
        logError("Matrix3::getElement, no element ($, $)", row, column);
        return 0.0f;
    }
    return m_e[(row - 1) * 3 + column - 1];
}

void Matrix3::setElement(int row, int column, float v) {
    if (!mathdetail::indexOk(row, column, 3)) {
        logError("Matrix3::setElement, no element ($, $)", row, column);
        return;
    }
    m_e[(row - 1) * 3 + column - 1] = v;
}

Vector3 Matrix3::getRow1() const { return Vector3(m_e[0], m_e[1], m_e[2]); }
Vector3 Matrix3::getRow2() const { return Vector3(m_e[3], m_e[4], m_e[5]); }
Vector3 Matrix3::getRow3() const { return Vector3(m_e[6], m_e[7], m_e[8]); }
Vector3 Matrix3::getColumn1() const { return Vector3(m_e[0], m_e[3], m_e[6]); }
Vector3 Matrix3::getColumn2() const { return Vector3(m_e[1], m_e[4], m_e[7]); }
Vector3 Matrix3::getColumn3() const { return Vector3(m_e[2], m_e[5], m_e[8]); }

bool Matrix3::operator==(const Matrix3& o) const { return mathdetail::bitsEqual(m_e, o.m_e, 9); }

bool Matrix3::isNearly(const Matrix3& o, float tolerance) const {
    return mathdetail::nearlyEqual(m_e, o.m_e, 9, tolerance);
}

QString Matrix3::toString() const {
    return xformat("[$ $ $] [$ $ $] [$ $ $]", m_e[0], m_e[1], m_e[2], m_e[3], m_e[4], m_e[5], m_e[6], m_e[7], m_e[8]);
}

}  // namespace zor
