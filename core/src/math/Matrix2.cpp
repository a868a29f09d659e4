#include <zor/Logger.h>
#include <zor/Matrix2.h>
#include <zor/xformat.h>

#include "math/MathDetail.h"

#include <cmath>
#include <cstring>

namespace zor {

Matrix2::Matrix2(const float rowMajor[4]) { std::memcpy(m_e, rowMajor, sizeof(m_e)); }

Matrix2& Matrix2::setIdentity() {
    m_e[0] = 1.0f;
    m_e[1] = 0.0f;
    m_e[2] = 0.0f;
    m_e[3] = 1.0f;
    return *this;
}

Matrix2& Matrix2::setZero() {
    std::memset(m_e, 0, sizeof(m_e));
    return *this;
}

Matrix2& Matrix2::transpose() {
    std::swap(m_e[1], m_e[2]);
    return *this;
}

Matrix2 Matrix2::getTransposed() const {
    Matrix2 t(*this);
    return t.transpose();
}

Matrix2& Matrix2::setRotation(float a) {
    const float c = std::cos(a), s = std::sin(a);
    *this = Matrix2(c, -s, s, c);
    return *this;
}

Matrix2 Matrix2::operator*(const Matrix2& b) const {
    return Matrix2(m_e[0] * b.m_e[0] + m_e[1] * b.m_e[2], m_e[0] * b.m_e[1] + m_e[1] * b.m_e[3],
                   m_e[2] * b.m_e[0] + m_e[3] * b.m_e[2], m_e[2] * b.m_e[1] + m_e[3] * b.m_e[3]);
}

Matrix2& Matrix2::multiply(const Matrix2& b) { return *this = *this * b; }

float Matrix2::getElement(int row, int column) const {
    if (!mathdetail::indexOk(row, column, 2)) {
        logError("Matrix2::getElement, no element ($, $)", row, column);
        return 0.0f;
    }
    return m_e[(row - 1) * 2 + column - 1];
}

void Matrix2::setElement(int row, int column, float v) {
    if (!mathdetail::indexOk(row, column, 2)) {
        logError("Matrix2::setElement, no element ($, $)", row, column);
        return;
    }
    m_e[(row - 1) * 2 + column - 1] = v;
}

bool Matrix2::operator==(const Matrix2& o) const { return mathdetail::bitsEqual(m_e, o.m_e, 4); }

bool Matrix2::isNearly(const Matrix2& o, float tolerance) const {
    return mathdetail::nearlyEqual(m_e, o.m_e, 4, tolerance);
}

QString Matrix2::toString() const { return xformat("[$ $] [$ $]", m_e[0], m_e[1], m_e[2], m_e[3]); }

}  // namespace zor
