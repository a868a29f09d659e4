#pragma once
/// \zclass{Matrix2,math} A 2x2 float matrix stored row by row: element (r, c), counted from 1, is entry
/// (r - 1) * 2 + (c - 1). A Vector2 multiplies it from the left (v *= m is v m).
/// \code
///   Matrix2 m(1, 2, 3, 4);  m.getElement12() == 2;  m.toString() == "[1.000000 2.000000] [3.000000 4.000000]"
/// \endcode
/// The default is the identity. A value type: copy freely.
#include <zor/zor_export.h>

#include <QString>

namespace zor {

class ZOR_EXPORT Matrix2 {
public:
    Matrix2() { setIdentity(); }
    Matrix2(float e11, float e12, float e21, float e22) : m_e{e11, e12, e21, e22} {}
    explicit Matrix2(const float rowMajor[4]);

    Matrix2& setIdentity();
    Matrix2& setZero();
    Matrix2& transpose();
    Matrix2 getTransposed() const;
    float getDeterminant() const { return m_e[0] * m_e[3] - m_e[1] * m_e[2]; }
    /// The rotation by a radians for column vectors: rows (cos, -sin), (sin, cos).
    Matrix2& setRotation(float a);

    /// this = this * b
    Matrix2& multiply(const Matrix2& b);
    Matrix2& operator*=(const Matrix2& b) { return multiply(b); }
    Matrix2 operator*(const Matrix2& b) const;

    float getElement11() const { return m_e[0]; }
    float getElement12() const { return m_e[1]; }
    float getElement21() const { return m_e[2]; }
    float getElement22() const { return m_e[3]; }
    void setElement11(float v) { m_e[0] = v; }
    void setElement12(float v) { m_e[1] = v; }
    void setElement21(float v) { m_e[2] = v; }
    void setElement22(float v) { m_e[3] = v; }
    /// Rows and columns counted from 1; out of range reads 0 and writes nothing (one log line).
    float getElement(int row, int column) const;
    void setElement(int row, int column, float v);

    /// The four entries in storage order (row by row).
    float operator[](int index) const { return m_e[index]; }
    float& operator[](int index) { return m_e[index]; }
    const float* data() const { return m_e; }
    float* data() { return m_e; }

    bool operator==(const Matrix2& o) const;  ///< bit for bit
    bool operator!=(const Matrix2& o) const { return !(*this == o); }
    bool isNearly(const Matrix2& o, float tolerance) const;

    QString toString() const;  ///< "[$ $] [$ $]", row by row

private:
    float m_e[4];
};

}  // namespace zor
