#pragma once
/// \zclass{Matrix3,math} A 3x3 float matrix stored row by row: element (r, c), counted from 1, is entry
/// (r - 1) * 3 + (c - 1). Rotations are right-handed for column vectors (setRotationZ(a) turns
/// (1, 0, 0) towards (0, 1, 0) in M v); a Vector3 multiplies from the left (v *= m is v M, which
/// turns the other way). Converts to and from unit quaternions.
/// \code
///   Matrix3 r;  r.setRotation(Vector3(0, 0, 1), GMath::HALF_PI);   // same as setRotationZ(HALF_PI)
/// \endcode
/// The default is the identity. A value type: copy freely.
#include <zor/zor_export.h>

#include <QString>

namespace zor {

class Quaternion;
class Vector3;

class ZOR_EXPORT Matrix3 {
public:
    static const Matrix3 INVALID;  ///< every entry MAX_FLOAT: the inverse of a singular matrix

    Matrix3() { setIdentity(); }
    Matrix3(float e11, float e12, float e13, float e21, float e22, float e23, float e31, float e32, float e33)
        : m_e{e11, e12, e13, e21, e22, e23, e31, e32, e33} {}
    explicit Matrix3(const float rowMajor[9]);

    Matrix3& setIdentity();
    Matrix3& setZero();
    Matrix3& transpose();
    Matrix3 getTransposed() const;
    float getDeterminant() const;
    /// The inverse; a singular matrix (determinant zero or not finite) gives INVALID and a log line.
    Matrix3 getInverse() const;
    /// Orthonormal rows (M M^T within 1e-4 of the identity) and determinant within 1e-4 of 1.
    bool isRotationMatrix() const;
    bool isValid() const { return *this != INVALID; }

    Matrix3& setRotationX(float a);  ///< rows (1, 0, 0), (0, cos, -sin), (0, sin, cos)
    Matrix3& setRotationY(float a);  ///< rows (cos, 0, sin), (0, 1, 0), (-sin, 0, cos)
    Matrix3& setRotationZ(float a);  ///< rows (cos, -sin, 0), (sin, cos, 0), (0, 0, 1)
    /// The rotation by angle radians about a unit axis (a non-unit axis logs when the check is on).
    Matrix3& setRotation(const Vector3& axis, float angle);
    /// The rotation of a unit quaternion (a non-unit one logs when the check is on).
    Matrix3& setRotation(const Quaternion& q);
    /// The unit quaternion of this rotation matrix; INVALID and a log line when it is none.
    Quaternion getQuaternion() const;

    /// this = this * b
    Matrix3& multiply(const Matrix3& b);
    Matrix3& operator*=(const Matrix3& b) { return multiply(b); }
    Matrix3 operator*(const Matrix3& b) const;
    /// M v, the vector as a column.
    Vector3 operator*(const Vector3& v) const;

    float getElement11() const { return m_e[0]; }
    float getElement12() const { return m_e[1]; }
    float getElement13() const { return m_e[2]; }
    float getElement21() const { return m_e[3]; }
    float getElement22() const { return m_e[4]; }
    float getElement23() const { return m_e[5]; }
    float getElement31() const { return m_e[6]; }
    float getElement32() const { return m_e[7]; }
    float getElement33() const { return m_e[8]; }
    void setElement11(float v) { m_e[0] = v; }
    void setElement12(float v) { m_e[1] = v; }
    void setElement13(float v) { m_e[2] = v; }
    void setElement21(float v) { m_e[3] = v; }
    void setElement22(float v) { m_e[4] = v; }
    void setElement23(float v) { m_e[5] = v; }
    void setElement31(float v) { m_e[6] = v; }
    void setElement32(float v) { m_e[7] = v; }
    void setElement33(float v) { m_e[8] = v; }
    /// Rows and columns counted from 1; out of range reads 0 and writes nothing (one log line).
    float getElement(int row, int column) const;
    void setElement(int row, int column, float v);
    Vector3 getRow1() const;
    Vector3 getRow2() const;
    Vector3 getRow3() const;
    Vector3 getColumn1() const;
    Vector3 getColumn2() const;
    Vector3 getColumn3() const;

    /// The nine entries in storage order (row by row).
    float operator[](int index) const { return m_e[index]; }
    float& operator[](int index) { return m_e[index]; }
    const float* data() const { return m_e; }
    float* data() { return m_e; }

    bool operator==(const Matrix3& o) const;  ///< bit for bit
    bool operator!=(const Matrix3& o) const { return !(*this == o); }
    bool isNearly(const Matrix3& o, float tolerance) const;

    QString toString() const;  ///< "[$ $ $] [$ $ $] [$ $ $]", row by row

private:
    float m_e[9];
};

}  // namespace zor
