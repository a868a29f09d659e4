#pragma once
/// \zclass{CoordinateSystem3,math} An orthonormal frame of three axes (abscissa x, ordinate y, applicate z).
/// Every setter repairs its input: set() and setRotation() normalise the axes and, when they are
/// far from orthogonal (|1 - |x . (y x z)|| > 0.01), rebuild them by Gram-Schmidt from the
/// abscissa; setAfterRightHandRule() builds z = x x y from x and the part of y orthogonal to x.
/// \code
///   CoordinateSystem3 f;  f.set(Vector3(2, 0, 0), Vector3(0, 3, 0), Vector3(0, 0, 4));  // unit axes
/// \endcode
/// Axes that span no space (a zero or repeated axis) give the unit frame and one log line.
/// A value type; nothing allocates.
#include <zor/Vector3.h>
#include <zor/zor_export.h>

#include <QString>

namespace zor {

class Matrix3;

class ZOR_EXPORT CoordinateSystem3 {
public:
    CoordinateSystem3() { initialize(); }

    void initialize();  ///< (1, 0, 0), (0, 1, 0), (0, 0, 1)
    CoordinateSystem3& set(const Vector3& x, const Vector3& y, const Vector3& z);
    /// Rotates each axis by m as a row vector (Vector3::rotate), then repairs the frame.
    CoordinateSystem3& setRotation(const Matrix3& m);
    CoordinateSystem3& setAfterRightHandRule(const Vector3& x, const Vector3& y);
    void _assign(const CoordinateSystem3& other) { *this = other; }

    Vector3& getAbscissa() { return abscissa; }
    Vector3& getOrdinate() { return ordinate; }
    Vector3& getApplicate() { return applicate; }
    const Vector3& getAbscissa() const { return abscissa; }
    const Vector3& getOrdinate() const { return ordinate; }
    const Vector3& getApplicate() const { return applicate; }

    /// A point given in this frame's coordinates, expressed in the parent frame.
    Vector3 toParent(const Vector3& local) const { return abscissa * local.x + ordinate * local.y + applicate * local.z; }

    QString toString() const;  ///< "abscissa:$, ordinate:$, applicate:$"

    Vector3 abscissa;
    Vector3 ordinate;
    Vector3 applicate;

private:
    void controlOrthonormality();
    void orthonormalizeAfterRightHandRule();
};

}  // namespace zor
