#pragma once
/// \zclass{GeoAlgo2D,math} The polygon algorithms on whole-number points: orientation of three points, segment
/// intersection, a pseudo-angle, point in polygon (even-odd rule) and bounding rectangles.
/// \code
///   std::vector<GPoint> square{{0, 0}, {4, 0}, {4, 4}, {0, 4}};
///   GeoAlgo2D::inside(GPoint(1, 1), square) == 1
/// \endcode
/// Point in polygon: a point on an edge at the polygon's smaller y counts as inside, on an edge at
/// the larger y as outside (half-open rule, so neighbouring polygons never both claim a point).
/// The Vector2 forms truncate the vertex coordinates to integers first. Fewer than three vertices
/// are never "inside". Stateless and thread-safe; nothing allocates.
#include <zor/GLine.h>
#include <zor/GPoint.h>
#include <zor/GRect.h>
#include <zor/PointIterator2.h>
#include <zor/Vector2.h>
#include <zor/zor_export.h>

#include <vector>

namespace zor {

class ZOR_EXPORT GeoAlgo2D {
public:
    /// 1 counter-clockwise, -1 clockwise; collinear: -1 when p0 lies between p1 and p2, 1 when p1
    /// lies between p0 and p2, else 0.
    static int ccw(const GPoint& p0, const GPoint& p1, const GPoint& p2);
    /// The two segments touch or cross.
    static bool intersect(const GLine& l1, const GLine& l2);
    /// A pseudo-angle in degrees [0, 360) from p1 to p2, monotone in the true angle: 90 straight
    /// up (dy > 0), 180 straight left.
    static float theta(const GPoint& p1, const GPoint& p2);

    static int inside(const GPoint& p, const std::vector<GPoint>& polygon);  ///< 1 inside, 0 outside
    static bool contains(double x, double y, const int* xs, const int* ys, int n);
    static bool contains(const Vector2& p, const std::vector<Vector2>& polygon);
    static bool contains(const Vector2& p, PointIterator2& polygon);

    /// (min x, min y, max x - min x, max y - min y); empty input gives a negative width and height.
    static GRect calculateBounds(const std::vector<Vector2>& polygon);
    static GRect calculateBounds(const int* xs, const int* ys, int n);
    static GRect calculateBounds(PointIterator2& polygon);

    /// The foot of the perpendicular from p onto the line through a and b. With onSegment, a foot
    /// outside the bounding box of a and b (in whole numbers) gives the not-defined Vector2; a == b
    /// gives it too, with a log line.
    static Vector2 getBasePoint(const Vector2& p, const Vector2& a, const Vector2& b, bool onSegment);
};

}  // namespace zor
