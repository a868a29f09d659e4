#pragma once
/// \zclass{Triangulate,math} Splits a simple polygon (no self-intersections) into triangles by ear clipping.
/// \code
///   std::vector<Vector2> square{{0, 0}, {4, 0}, {4, 3}, {0, 3}}, tris;
///   Triangulate::makeMesh(square, tris);   // true, tris holds 6 points: two triangles
/// \endcode
/// makeMesh accepts either orientation and writes every triangle counter-clockwise. A polygon that
/// is not simple (a bow-tie, a repeated vertex lying on a candidate ear) is found out by a bounded
/// loop: makeMesh gives false with one log line and leaves the result as it was. Ear clipping is
/// quadratic to cubic in the vertex count; nothing recurses. Stateless and thread-safe.
#include <zor/Vector2.h>
#include <zor/zor_export.h>

#include <vector>

namespace zor {

class ZOR_EXPORT Triangulate {
public:
    /// Signed area: positive for counter-clockwise order.
    static float getArea(const std::vector<Vector2>& contour);
    /// p is inside triangle abc or on its border (abc counter-clockwise).
    static bool isInsideTriangle(float ax, float ay, float bx, float by, float cx, float cy, float px, float py);
    /// Appends the triangles (three points each, n - 2 triangles for n vertices) to result.
    static bool makeMesh(const std::vector<Vector2>& contour, std::vector<Vector2>& result);

private:
    static bool snip(const std::vector<Vector2>& contour, int u, int v, int w, int n, const int* V);
};

}  // namespace zor
