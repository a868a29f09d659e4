#pragma once
/// \zclass{Pose3,math} A position (posMemory) and an orientation (orn, an orthonormal frame), the placement of
/// an object in space.
/// \code
///   Pose3 p(Vector3(10, 0, 0), frame);   p.toWorld(Vector3(1, 0, 0))   // 10 + frame's abscissa
/// \endcode
/// Defaults to the origin and the unit frame. A value type; nothing allocates.
#include <zor/CoordinateSystem3.h>
#include <zor/Vector3.h>
#include <zor/zor_export.h>

#include <QString>

namespace zor {

class ZOR_EXPORT Pose3 {
public:
    Pose3() = default;
    Pose3(const Vector3& position, const CoordinateSystem3& frame) : posMemory(position), orn(frame) {}

    void set(const Pose3& other) { *this = other; }
    /// A point given in the pose's own frame, in the coordinates of the parent frame.
    Vector3 toWorld(const Vector3& local) const { return posMemory + orn.toParent(local); }

    QString toString() const;  ///< "posMemory:$, orn:$"

    Vector3 posMemory;
    CoordinateSystem3 orn;
};

}  // namespace zor
