#include <zor/GMath.h>
#include <zor/Logger.h>
#include <zor/Matrix3.h>
#include <zor/Matrix4.h>
#include <zor/Vector3.h>
#include <zor/xformat.h>

#include "math/MathDetail.h"

#include <QStringList>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

namespace zor {

namespace {
constexpr float kMax = std::numeric_limits<float>::max();
}

const Matrix4 Matrix4::INVALID(kMax, kMax, kMax, kMax, kMax, kMax, kMax, kMax, kMax, kMax, kMax, kMax, kMax, kMax,
                               kMax, kMax);

Matrix4::Matrix4(const float rowMajor[16]) { std::memcpy(m_e, rowMajor, sizeof(m_e)); }

Matrix4& Matrix4::setIdentity() {
    std::memset(m_e, 0, sizeof(m_e));
    m_e[0] = m_e[5] = m_e[10] = m_e[15] = 1.0f;
    return *this;
}

Matrix4& Matrix4::setZero() {
    std::memset(m_e, 0, sizeof(m_e));
    return *this;
}

Matrix4& Matrix4::transpose() {
    mathdetail::transpose4(m_e);
    return *this;
}

Matrix4 Matrix4::getTransposed() const {
    Matrix4 t(*this);
    return t.transpose();
}

float Matrix4::getDeterminant() const { return mathdetail::det4(m_e); }

Matrix4 Matrix4::getInverse() const {
    Matrix4 r{Uninitialised{}};
    if (!mathdetail::inverse4(r.m_e, m_e)) {
        logError("Matrix4::getInverse, singular matrix, determinant $", getDeterminant());
        return INVALID;
    }
    return r;
}

bool Matrix4::invert() {
    const Matrix4 r = getInverse();
    if (!r.isValid()) return false;
    *this = r;
    return true;
}

Matrix4 Matrix4::operator*(const Matrix4& b) const {
    Matrix4 c{Uninitialised{}};
    mathdetail::mul4(c.m_e, m_e, b.m_e);
    return c;
}

Matrix4& Matrix4::multiply(const Matrix4& b) {
    float c[16];
    mathdetail::mul4(c, m_e, b.m_e);
    std::memcpy(m_e, c, sizeof(c));
    return *this;
}

Matrix4& Matrix4::setRotationX(float a) {
    mathdetail::setRotationBlock(m_e, 0, a);
    return *this;
}

Matrix4& Matrix4::setRotationY(float a) {
    mathdetail::setRotationBlock(m_e, 1, a);
    return *this;
}

Matrix4& Matrix4::setRotationZ(float a) {
    mathdetail::setRotationBlock(m_e, 2, a);
    return *this;
}

Matrix4& Matrix4::setIdentityRotation() { return setRotation(1, 0, 0, 0, 1, 0, 0, 0, 1); }

Matrix4& Matrix4::setRotation(float e11, float e12, float e13, float e21, float e22, float e23, float e31, float e32,
                              float e33) {
    m_e[0] = e11;
    m_e[1] = e12;
    m_e[2] = e13;
    m_e[4] = e21;
    m_e[5] = e22;
    m_e[6] = e23;
    m_e[8] = e31;
    m_e[9] = e32;
    m_e[10] = e33;
    return *this;
}

Matrix4& Matrix4::setRotation(const Matrix3& r) {
    return setRotation(r[0], r[1], r[2], r[3], r[4], r[5], r[6], r[7], r[8]);
}

Matrix3 Matrix4::getRotation() const {
    return Matrix3(m_e[0], m_e[1], m_e[2], m_e[4], m_e[5], m_e[6], m_e[8], m_e[9], m_e[10]);
}

Vector3 Matrix4::getTranslation() const { return Vector3(m_e[3], m_e[7], m_e[11]); }

Matrix4& Matrix4::translate(const Vector3& t) {
    // this * T only changes the fourth column: column 4 += columns 1..3 weighted by t.
    for (int r = 0; r < 4; ++r) m_e[r * 4 + 3] += m_e[r * 4] * t.x + m_e[r * 4 + 1] * t.y + m_e[r * 4 + 2] * t.z;
    return *this;
}

Matrix4& Matrix4::scale(float s) {
    m_e[0] *= s;
    m_e[5] *= s;
    m_e[10] *= s;
    return *this;
}

bool Matrix4::lookAt(const Vector3& eye, const Vector3& centre, const Vector3& up) {
    Vector3 f = centre - eye;
    if (f.getLength() <= GMath::EPSILON) {
        logError("Matrix4::lookAt, eye and centre are the same point $", eye.toString());
        return false;
    }
    f.normalize();
    Vector3 s = f % up;
    if (s.getLength() <= GMath::EPSILON) {
        logError("Matrix4::lookAt, up vector $ is zero or parallel to the viewing direction", up.toString());
        return false;
    }
    s.normalize();
    const Vector3 u = s % f;
    const Matrix4 v(s.x, s.y, s.z, -(s * eye), u.x, u.y, u.z, -(u * eye), -f.x, -f.y, -f.z, f * eye, 0, 0, 0, 1);
    multiply(v);
    return true;
}

float Matrix4::getElement(int row, int column) const {
    if (!mathdetail::indexOk(row, column, 4)) {
        logError("Matrix4::getElement, no element ($, $)", row, column);
        return 0.0f;
    }
    return m_e[(row - 1) * 4 + column - 1];
}

void Matrix4::setElement(int row, int column, float v) {
    if (!mathdetail::indexOk(row, column, 4)) {
        logError("Matrix4::setElement, no element ($, $)", row, column);
        return;
    }
    m_e[(row - 1) * 4 + column - 1] = v;
}

bool Matrix4::operator==(const Matrix4& o) const { return mathdetail::bitsEqual(m_e, o.m_e, 16); }

bool Matrix4::isNearly(const Matrix4& o, float tolerance) const {
    return mathdetail::nearlyEqual(m_e, o.m_e, 16, tolerance);
}

QString Matrix4::toString(bool precise) const {
    if (!precise) return mathdetail::rowsText(m_e, 4);
    QString out;
    for (int r = 0; r < 4; ++r) {
        QString el[4];
        for (int c = 0; c < 4; ++c) el[c] = QString::asprintf(" %.30lf", static_cast<double>(m_e[r * 4 + c]));
        out += xformat("\n\t[$ $ $ $]", el[0], el[1], el[2], el[3]);
    }
    return out;
}

QString Matrix4::toStringTable(int indent) const {
    const QString pad(indent > 0 ? indent : 0, QLatin1Char(' '));
    QStringList lines;
    lines << pad + QStringLiteral("  |       1       |       2       |       3       |       4       |");
    lines << pad + QStringLiteral("--+---------------+---------------+---------------+---------------+");
    for (int r = 0; r < 4; ++r) {
        char el[4][64];
        for (int c = 0; c < 4; ++c) std::snprintf(el[c], sizeof(el[c]), "%13.2f", static_cast<double>(m_e[r * 4 + c]));
        lines << pad + QString::asprintf("%d | %s | %s | %s | %s |", r + 1, el[0], el[1], el[2], el[3]);
    }
    return lines.join(QLatin1Char('\n'));
}

void Matrix4::print(int indent) const {
    const QStringList lines = toStringTable(indent).split(QLatin1Char('\n'));
    for (const QString& line : lines) logInfo("$", line);
}

void Matrix4::show(int indent, bool columnOrder) const {
    const unsigned int space = indent > 0 ? static_cast<unsigned int>(indent) : 0u;
    logDebugSpace(space, columnOrder ? "Matrix4 - view column order" : "Matrix4 - view row order");
    for (int i = 0; i < 4; ++i) {
        if (columnOrder) logDebugSpace(space, "$, $, $, $", m_e[i], m_e[4 + i], m_e[8 + i], m_e[12 + i]);
        else logDebugSpace(space, "$, $, $, $", m_e[i * 4], m_e[i * 4 + 1], m_e[i * 4 + 2], m_e[i * 4 + 3]);
    }
}

}  // namespace zor
