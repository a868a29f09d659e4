#pragma once
/// \zclass{Matrix4,math} A 4x4 float matrix stored row by row: element (r, c), counted from 1, is entry
/// (r - 1) * 4 + (c - 1), so setElement14 writes entry 3. Transformations act on column vectors
/// (Vector4::multiply is M v): translate(t) puts t into the fourth column, rotations are
/// right-handed, and multiply(b) / *= b / translate compose as this = this * b.
/// \code
///   Matrix4 m;  m.translate(Vector3(1, 2, 3));   // elements (1,4), (2,4), (3,4) are 1, 2, 3
///   Matrix4 inv = m.getInverse();                // INVALID (and a log line) when m is singular
/// \endcode
/// The default is the identity. A value type: copy freely.
#include <zor/zor_export.h>

#include <QString>

namespace zor {

class Matrix3;
class Vector3;

class ZOR_EXPORT Matrix4 {
public:
    static const Matrix4 INVALID;  ///< every entry MAX_FLOAT: the inverse of a singular matrix

    Matrix4() { setIdentity(); }
    Matrix4(float e11, float e12, float e13, float e14, float e21, float e22, float e23, float e24,
            float e31, float e32, float e33, float e34, float e41, float e42, float e43, float e44)
        : m_e{e11, e12, e13, e14, e21, e22, e23, e24, e31, e32, e33, e34, e41, e42, e43, e44} {}
    explicit Matrix4(const float rowMajor[16]);

    Matrix4& setIdentity();
    Matrix4& setZero();
    Matrix4& transpose();
    Matrix4 getTransposed() const;
    float getDeterminant() const;
    /// The general inverse; a singular matrix (determinant zero, or a result that is not finite)
    /// gives INVALID and one log line.
    Matrix4 getInverse() const;
    /// Inverts in place; a singular matrix stays unchanged and false is returned.
    bool invert();
    bool isValid() const { return *this != INVALID; }

    /// this = this * b
    Matrix4& multiply(const Matrix4& b);
    Matrix4& operator*=(const Matrix4& b) { return multiply(b); }
    Matrix4 operator*(const Matrix4& b) const;

    /// The upper 3x3 block becomes the right-handed rotation for column vectors; the rest stays.
    Matrix4& setRotationX(float a);
    Matrix4& setRotationY(float a);
    Matrix4& setRotationZ(float a);
    Matrix4& setIdentityRotation();
    Matrix4& setRotation(float e11, float e12, float e13, float e21, float e22, float e23, float e31,
                         float e32, float e33);
    Matrix4& setRotation(const Matrix3& r);
    Matrix3 getRotation() const;
    Vector3 getTranslation() const;  ///< elements (1,4), (2,4), (3,4)

    /// this = this * T, T the identity with t in the fourth column.
    Matrix4& translate(const Vector3& t);
    /// Multiplies the diagonal elements (1,1), (2,2), (3,3) by s.
    Matrix4& scale(float s);
    /// this = this * V, V the viewing matrix of a camera at eye looking at centre (right-handed,
    /// looking down -z, up projected onto the image's y axis). Eye equal to centre, or up parallel
    /// to the viewing direction, leaves the matrix unchanged, logs and returns false.
    bool lookAt(const Vector3& eye, const Vector3& centre, const Vector3& up);

    float getElement11() const { return m_e[0]; }
    float getElement12() const { return m_e[1]; }
    float getElement13() const { return m_e[2]; }
    float getElement14() const { return m_e[3]; }
    float getElement21() const { return m_e[4]; }
    float getElement22() const { return m_e[5]; }
    float getElement23() const { return m_e[6]; }
    float getElement24() const { return m_e[7]; }
    float getElement31() const { return m_e[8]; }
    float getElement32() const { return m_e[9]; }
    float getElement33() const { return m_e[10]; }
    float getElement34() const { return m_e[11]; }
    float getElement41() const { return m_e[12]; }
    float getElement42() const { return m_e[13]; }
    float getElement43() const { return m_e[14]; }
    float getElement44() const { return m_e[15]; }
    void setElement11(float v) { m_e[0] = v; }
    void setElement12(float v) { m_e[1] = v; }
    void setElement13(float v) { m_e[2] = v; }
    void setElement14(float v) { m_e[3] = v; }
    void setElement21(float v) { m_e[4] = v; }
    void setElement22(float v) { m_e[5] = v; }
    void setElement23(float v) { m_e[6] = v; }
    void setElement24(float v) { m_e[7] = v; }
    void setElement31(float v) { m_e[8] = v; }
    void setElement32(float v) { m_e[9] = v; }
    void setElement33(float v) { m_e[10] = v; }
    void setElement34(float v) { m_e[11] = v; }
    void setElement41(float v) { m_e[12] = v; }
    void setElement42(float v) { m_e[13] = v; }
    void setElement43(float v) { m_e[14] = v; }
    void setElement44(float v) { m_e[15] = v; }
    /// Rows and columns counted from 1; out of range reads 0 and writes nothing (one log line).
    float getElement(int row, int column) const;
    void setElement(int row, int column, float v);

    /// The sixteen entries in storage order (row by row).
    float operator[](int index) const { return m_e[index]; }
    float& operator[](int index) { return m_e[index]; }
    const float* data() const { return m_e; }
    float* data() { return m_e; }

    bool operator==(const Matrix4& o) const;  ///< bit for bit
    bool operator!=(const Matrix4& o) const { return !(*this == o); }
    bool isNearly(const Matrix4& o, float tolerance) const;

    /// Rows "[$,$,$,$]" separated by a blank; with precise each row is "\n\t[$ $ $ $]" with every
    /// element as " %.30lf".
    QString toString(bool precise = false) const;
    /// The element table (header, rule, four rows of "%13.2f"), each line prefixed by indent blanks.
    QString toStringTable(int indent = 0) const;
    /// Logs toStringTable line by line at INFO.
    void print(int indent = 0) const;
    /// Logs "Matrix4 - view column order" or "Matrix4 - view row order" and four lines "$, $, $, $"
    /// (columns or rows) at DEBUG, indented by indent.
    void show(int indent = 0, bool columnOrder = false) const;

private:
    struct Uninitialised {};
    explicit Matrix4(Uninitialised) {}  // for results that are written in full right away

    float m_e[16];
};

}  // namespace zor
