// The tour's mathematics section: a frame turned about an axis (by a matrix and by a quaternion),
// points tested against a polygon with a notch, and that polygon triangulated.
#include "Commands.h"

#include <zor/core.h>

#include <cmath>
#include <vector>

namespace zorapp {

using namespace zor;

void tourMath() {
    logInfo("==== vectors, matrices, frames and polygons");
    // A frame turned by 90 degrees about the z axis: the matrix and the quaternion agree.
    const Vector3 axis(0, 0, 1);
    Matrix3 turn;
    turn.setRotation(axis, GMath::HALF_PI);
    const Quaternion q(axis, GMath::HALF_PI);
    logInfo("Tour::math, quaternion $ (w, x, y, z) turns x to $, the matrix turns it to $", q.toString(),
            q.rotate(Vector3::UNIT_X_POSITIVE).toString(), (turn * Vector3::UNIT_X_POSITIVE).toString());
    CoordinateSystem3 frame;
    frame.setRotation(turn.getTransposed());  // the axes rotate as row vectors: v M^T = M v
    logInfo("Tour::math, rotated frame $", frame.toString());
    const Pose3 pose(Vector3(10, 0, 0), frame);
    logInfo("Tour::math, the local point (1, 2, 0) of a pose at (10, 0, 0) is at $ in the world",
            pose.toWorld(Vector3(1, 2, 0)).toString());

    Matrix4 m;
    m.translate(Vector3(1, 2, 3));
    m.setRotationZ(GMath::HALF_PI);
    Vector4 p(1, 0, 0, 1);
    p.multiply(m);
    logInfo("Tour::math, translate (1, 2, 3) after a quarter turn moves (1, 0, 0) to $; inverse valid: $",
            p.toString(), m.getInverse().isValid());

    // A U-shaped polygon: its notch lies inside the bounding box but outside the polygon.
    const std::vector<Vector2> u{{0, 0}, {6, 0}, {6, 6}, {4, 6}, {4, 2}, {2, 2}, {2, 6}, {0, 6}};
    for (const Vector2& point : {Vector2(1, 5), Vector2(3, 5), Vector2(3, 1)})
        logInfo("Tour::math, point $ in the U: $", point.toString(), GeoAlgo2D::contains(point, u));
    std::vector<Vector2> triangles;
    const bool ok = Triangulate::makeMesh(u, triangles);
    double area = 0.0;
    for (std::size_t i = 0; i + 2 < triangles.size(); i += 3)
        area += Triangulate::getArea({triangles[i], triangles[i + 1], triangles[i + 2]});
    logInfo("Tour::math, the U triangulated: $, $ triangles, area $ (polygon $)", ok, triangles.size() / 3, area,
            Triangulate::getArea(u));
    const std::vector<Vector2> bowTie{{0, 0}, {4, 4}, {4, 0}, {0, 4}};
    logInfo("Tour::math, a bow-tie crosses itself; triangulated: $", Triangulate::makeMesh(bowTie, triangles));
}

}  // namespace zorapp
