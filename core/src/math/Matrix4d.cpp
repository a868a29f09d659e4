#include <zor/Logger.h>
#include <zor/Matrix4.h>
#include <zor/Matrix4d.h>
#include <zor/xformat.h>

#include "math/MathDetail.h"

#include <cstring>
#include <limits>

namespace zor {

namespace {

Matrix4d invalidMatrix() {
    double e[16];
    for (double& v : e) v = static_cast<double>(std::numeric_limits<float>::max());
    return Matrix4d(e);
}

}  // namespace

const Matrix4d Matrix4d::INVALID = invalidMatrix();

Matrix4d::Matrix4d(const double rowMajor[16]) { std::memcpy(m_e, rowMajor, sizeof(m_e)); }

Matrix4d::Matrix4d(const Matrix4& m) {
    for (int i = 0; i < 16; ++i) m_e[i] = m[i];
}

Matrix4d& Matrix4d::setIdentity() {
    std::memset(m_e, 0, sizeof(m_e));
    m_e[0] = m_e[5] = m_e[10] = m_e[15] = 1.0;
    return *this;
}

Matrix4d& Matrix4d::setZero() {
    std::memset(m_e, 0, sizeof(m_e));
    return *this;
}

Matrix4d& Matrix4d::transpose() {
    mathdetail::transpose4(m_e);
    return *this;
}

Matrix4d Matrix4d::getTransposed() const {
    Matrix4d t(*this);
    return t.transpose();
}

double Matrix4d::getDeterminant() const { return mathdetail::det4(m_e); }

Matrix4d Matrix4d::getInverse() const {
    Matrix4d r;
    if (!mathdetail::inverse4(r.m_e, m_e)) {
        logError("Matrix4d::getInverse, singular matrix, determinant $", getDeterminant());
        return INVALID;
    }
    return r;
}

bool Matrix4d::invert() {
    const Matrix4d r = getInverse();
    if (!r.isValid()) return false;
    *this = r;
    return true;
}

Matrix4d Matrix4d::operator*(const Matrix4d& b) const {
    Matrix4d c;
    mathdetail::mul4(c.m_e, m_e, b.m_e);
    return c;
}

Matrix4d& Matrix4d::multiply(const Matrix4d& b) {
    double c[16];
    mathdetail::mul4(c, m_e, b.m_e);
    std::memcpy(m_e, c, sizeof(c));
    return *this;
}

Matrix4d& Matrix4d::setRotationX(double a) {
    mathdetail::setRotationBlock(m_e, 0, a);
    return *this;
}

Matrix4d& Matrix4d::setRotationY(double a) {
    mathdetail::setRotationBlock(m_e, 1, a);
    return *this;
}

Matrix4d& Matrix4d::setRotationZ(double a) {
    mathdetail::setRotationBlock(m_e, 2, a);
    return *this;
}

Matrix4d& Matrix4d::setIdentityRotation() {
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) m_e[r * 4 + c] = r == c ? 1.0 : 0.0;
    return *this;
}

Matrix4d& Matrix4d::translate(double tx, double ty, double tz) {
    for (int r = 0; r < 4; ++r) m_e[r * 4 + 3] += m_e[r * 4] * tx + m_e[r * 4 + 1] * ty + m_e[r * 4 + 2] * tz;
    return *this;
}

Matrix4d& Matrix4d::scale(double s) {
    m_e[0] *= s;
    m_e[5] *= s;
    m_e[10] *= s;
    return *this;
}

Matrix4 Matrix4d::toMatrix4() const {
    float e[16];
    for (int i = 0; i < 16; ++i) e[i] = static_cast<float>(m_e[i]);
    return Matrix4(e);
}

double Matrix4d::getElement(int row, int column) const {
    if (!mathdetail::indexOk(row, column, 4)) {
        logError("Matrix4d::getElement, no element ($, $)", row, column);
        return 0.0;
    }
    return m_e[(row - 1) * 4 + column - 1];
}

void Matrix4d::setElement(int row, int column, double v) {
    if (!mathdetail::indexOk(row, column, 4)) {
        logError("Matrix4d::setElement, no element ($, $)", row, column);
        return;
    }
    m_e[(row - 1) * 4 + column - 1] = v;
}

bool Matrix4d::operator==(const Matrix4d& o) const { return mathdetail::bitsEqual(m_e, o.m_e, 16); }

bool Matrix4d::isNearly(const Matrix4d& o, double tolerance) const {
    return mathdetail::nearlyEqual(m_e, o.m_e, 16, tolerance);
}

QString Matrix4d::toString() const { return mathdetail::rowsText(m_e, 4); }

void Matrix4d::show(int indent) const {
    const unsigned int space = indent > 0 ? static_cast<unsigned int>(indent) : 0u;
    logDebugSpace(space, "Matrix4d - view row order");
    for (int i = 0; i < 4; ++i) logDebugSpace(space, "$, $, $, $", m_e[i * 4], m_e[i * 4 + 1], m_e[i * 4 + 2], m_e[i * 4 + 3]);
}

}  // namespace zor
