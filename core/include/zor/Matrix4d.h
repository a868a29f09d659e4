#pragma once
/// \zclass{Matrix4d,math} The double-precision 4x4 matrix, stored row by row like Matrix4 (element (r, c),
/// counted from 1, is entry (r - 1) * 4 + (c - 1)), with the same column-vector conventions:
/// multiply(b) is this = this * b, translate(t) puts t into the fourth column.
///
/// The default is the identity. A value type: copy freely.
#include <zor/zor_export.h>

#include <QString>

namespace zor {

class Matrix4;
class Vector3;

class ZOR_EXPORT Matrix4d {
public:
    static const Matrix4d INVALID;  ///< every entry the double value of MAX_FLOAT

    Matrix4d() { setIdentity(); }
    explicit Matrix4d(const double rowMajor[16]);
    explicit Matrix4d(const Matrix4& m);

    Matrix4d& setIdentity();
    Matrix4d& setZero();
    Matrix4d& transpose();
    Matrix4d getTransposed() const;
    double getDeterminant() const;
    Matrix4d getInverse() const;  ///< INVALID and one log line for a singular matrix
    bool invert();                ///< false (matrix unchanged) for a singular matrix
    bool isValid() const { return *this != INVALID; }

    Matrix4d& multiply(const Matrix4d& b);  ///< this = this * b
    Matrix4d& operator*=(const Matrix4d& b) { return multiply(b); }
    Matrix4d operator*(const Matrix4d& b) const;

    Matrix4d& setRotationX(double a);
    Matrix4d& setRotationY(double a);
    Matrix4d& setRotationZ(double a);
    Matrix4d& setIdentityRotation();
    Matrix4d& translate(double tx, double ty, double tz);  ///< this = this * T
    Matrix4d& scale(double s);
    Matrix4 toMatrix4() const;

    /// Rows and columns counted from 1; out of range reads 0 and writes nothing (one log line).
    double getElement(int row, int column) const;
    void setElement(int row, int column, double v);
    double operator[](int index) const { return m_e[index]; }
    double& operator[](int index) { return m_e[index]; }
    const double* data() const { return m_e; }
    double* data() { return m_e; }

    bool operator==(const Matrix4d& o) const;  ///< bit for bit
    bool operator!=(const Matrix4d& o) const { return !(*this == o); }
    bool isNearly(const Matrix4d& o, double tolerance) const;

    QString toString() const;  ///< rows "[$,$,$,$]" separated by a blank
    /// Logs "Matrix4d - view row order" and the four rows "$, $, $, $" at DEBUG.
    void show(int indent = 0) const;

private:
    double m_e[16];
};

}  // namespace zor
