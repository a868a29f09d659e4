#include <zor/GeoAlgo2D.h>
#include <zor/Logger.h>

#include <algorithm>
#include <climits>
#include <cmath>

namespace zor {

namespace {

__extension__ typedef __int128 Wide;  // products of two 64-bit differences cannot overflow it

// Float vertex coordinates become whole numbers by truncation towards zero, saturated to the int
// range (NaN counts as 0) so that no input makes the conversion undefined.
inline int truncToInt(double v) {
    if (!(v == v)) return 0;
    if (v <= static_cast<double>(INT_MIN)) return INT_MIN;
    if (v >= static_cast<double>(INT_MAX)) return INT_MAX;
    return static_cast<int>(v);
}

// The even-odd crossing count over n vertices given by vertex(i) -> (int x, int y), edges from
// vertex n-1 to 0, then 0 to 1 and so on. Half-open in y: an edge counts for ylow <= y < yhigh.
//
// Points outside the bounding box never come out inside (a horizontal line crosses a closed
// polygon an even number of times, and the vertices are whole numbers), so the bounding-box
// early-out is left to the crossing count itself: one pass over the vertices instead of two.
template <typename VertexAt>
bool crossingTest(double x, double y, int n, VertexAt vertex) {
    if (n < 3) return false;
    bool inside = false;
    int px, py;
    vertex(n - 1, px, py);
    for (int i = 0; i < n; ++i) {
        int cx, cy;
        vertex(i, cx, cy);
        const double x1 = px, y1 = py, x2 = cx, y2 = cy;
        px = cx;
        py = cy;
        if (y1 == y2) continue;  // horizontal edges never cross a horizontal ray
        const double ylo = std::min(y1, y2), yhi = std::max(y1, y2);
        if (y < ylo || y >= yhi) continue;
        if (x >= std::max(x1, x2)) continue;
        if (x < std::min(x1, x2)) {
            inside = !inside;
            continue;
        }
        const double xlow = y1 < y2 ? x1 : x2;
        if ((y - ylo) / (y1 - y2) * (x1 - x2) > x - xlow) inside = !inside;
    }
    return inside;
}

template <typename VertexAt>
GRect boundsOf(int n, VertexAt vertex) {
    long long minX = 2147483648LL, minY = 2147483648LL, maxX = -2147483648LL, maxY = -2147483648LL;
    for (int i = 0; i < n; ++i) {
        int x, y;
        vertex(i, x, y);
        minX = std::min<long long>(minX, x);
        minY = std::min<long long>(minY, y);
        maxX = std::max<long long>(maxX, x);
        maxY = std::max<long long>(maxY, y);
    }
    return GRect(minX, minY, maxX - minX, maxY - minY);
}

int clampedSize(std::size_t n) { return n > static_cast<std::size_t>(INT_MAX) ? INT_MAX : static_cast<int>(n); }

}  // namespace

namespace {

template <typename T>
int ccwSign(T dx1, T dy1, T dx2, T dy2) {
    const T a = dx1 * dy2, b = dy1 * dx2;
    if (a > b) return 1;
    if (a < b) return -1;
    if (dx1 * dx2 < 0 || dy1 * dy2 < 0) return -1;  // collinear, p0 between p1 and p2
    if (dx1 * dx1 + dy1 * dy1 < dx2 * dx2 + dy2 * dy2) return 1;
    return 0;
}

}  // namespace

int GeoAlgo2D::ccw(const GPoint& p0, const GPoint& p1, const GPoint& p2) {
    const Wide dx1 = static_cast<Wide>(p1.x) - p0.x, dy1 = static_cast<Wide>(p1.y) - p0.y;
    const Wide dx2 = static_cast<Wide>(p2.x) - p0.x, dy2 = static_cast<Wide>(p2.y) - p0.y;
    // Exact while the differences stay below 2^62 (their squares and sums fit in 127 bits);
    // beyond that, coordinates near the ends of the 64-bit range, long double gives the sign.
    auto small = [](Wide v) {
        const Wide limit = static_cast<Wide>(1) << 62;
        return v < limit && v > -limit;
    };
    if (small(dx1) && small(dy1) && small(dx2) && small(dy2)) return ccwSign(dx1, dy1, dx2, dy2);
    return ccwSign(static_cast<long double>(dx1), static_cast<long double>(dy1), static_cast<long double>(dx2),
                   static_cast<long double>(dy2));
}

bool GeoAlgo2D::intersect(const GLine& l1, const GLine& l2) {
    return ccw(l1.p1, l1.p2, l2.p1) * ccw(l1.p1, l1.p2, l2.p2) <= 0 &&
           ccw(l2.p1, l2.p2, l1.p1) * ccw(l2.p1, l2.p2, l1.p2) <= 0;
}

float GeoAlgo2D::theta(const GPoint& p1, const GPoint& p2) {
    const double dx = static_cast<double>(p2.x) - static_cast<double>(p1.x);
    const double dy = static_cast<double>(p2.y) - static_cast<double>(p1.y);
    const double sum = std::fabs(dx) + std::fabs(dy);
    double t = sum == 0.0 ? 0.0 : dy / sum;
    if (dx < 0) t = 2.0 - t;
    else if (dy < 0) t = 4.0 + t;
    return static_cast<float>(t * 90.0);
}

int GeoAlgo2D::inside(const GPoint& p, const std::vector<GPoint>& polygon) {
    const bool in = crossingTest(static_cast<double>(static_cast<int>(p.x)), static_cast<double>(static_cast<int>(p.y)),
                                 clampedSize(polygon.size()), [&](int i, int& x, int& y) {
                                     x = static_cast<int>(polygon[static_cast<std::size_t>(i)].x);
                                     y = static_cast<int>(polygon[static_cast<std::size_t>(i)].y);
                                 });
    return in ? 1 : 0;
}

bool GeoAlgo2D::contains(double x, double y, const int* xs, const int* ys, int n) {
    if (n < 3) return false;
    if (xs == nullptr || ys == nullptr) {
        logError("GeoAlgo2D::contains, no vertex arrays for $ vertices", n);
        return false;
    }
    return crossingTest(x, y, n, [xs, ys](int i, int& vx, int& vy) {
        vx = xs[i];
        vy = ys[i];
    });
}

bool GeoAlgo2D::contains(const Vector2& p, const std::vector<Vector2>& polygon) {
    const Vector2* v = polygon.data();
    return crossingTest(p.x, p.y, clampedSize(polygon.size()), [v](int i, int& x, int& y) {
        x = truncToInt(v[i].x);
        y = truncToInt(v[i].y);
    });
}

bool GeoAlgo2D::contains(const Vector2& p, PointIterator2& polygon) {
    const int n = polygon.size();
    if (n < 3) return false;
    // The iterator walks forwards only: the previous vertex of vertex 0 is the last one.
    const Vector2 last = polygon.lastPoint();
    polygon.reset();
    bool first = true;
    return crossingTest(p.x, p.y, n, [&](int, int& x, int& y) {
        const Vector2 v = first ? last : polygon.nextPoint();
        first = false;
        x = truncToInt(v.x);
        y = truncToInt(v.y);
    });
}

GRect GeoAlgo2D::calculateBounds(const std::vector<Vector2>& polygon) {
    const Vector2* v = polygon.data();
    return boundsOf(clampedSize(polygon.size()), [v](int i, int& x, int& y) {
        x = truncToInt(v[i].x);
        y = truncToInt(v[i].y);
    });
}

GRect GeoAlgo2D::calculateBounds(const int* xs, const int* ys, int n) {
    if (n > 0 && (xs == nullptr || ys == nullptr)) {
        logError("GeoAlgo2D::calculateBounds, no vertex arrays for $ vertices", n);
        n = 0;
    }
    return boundsOf(n, [xs, ys](int i, int& x, int& y) {
        x = xs[i];
        y = ys[i];
    });
}

GRect GeoAlgo2D::calculateBounds(PointIterator2& polygon) {
    polygon.reset();
    return boundsOf(polygon.size(), [&](int, int& x, int& y) {
        const Vector2 v = polygon.nextPoint();
        x = truncToInt(v.x);
        y = truncToInt(v.y);
    });
}

Vector2 GeoAlgo2D::getBasePoint(const Vector2& p, const Vector2& a, const Vector2& b, bool onSegment) {
    const double dx = static_cast<double>(b.x) - a.x, dy = static_cast<double>(b.y) - a.y;
    const double dd = dx * dx + dy * dy;
    if (dd == 0.0 || !std::isfinite(dd)) {
        logError("GeoAlgo2D::getBasePoint, no line through $ and $", a.toString(), b.toString());
        return Vector2::NOT_DEFINED;
    }
    const double t = ((p.x - static_cast<double>(a.x)) * dx + (p.y - static_cast<double>(a.y)) * dy) / dd;
    const Vector2 foot(static_cast<float>(a.x + t * dx), static_cast<float>(a.y + t * dy));
    if (onSegment) {
        const int fx = truncToInt(foot.x), fy = truncToInt(foot.y);
        const int ax = truncToInt(a.x), ay = truncToInt(a.y), bx = truncToInt(b.x), by = truncToInt(b.y);
        if (fx < std::min(ax, bx) || fx > std::max(ax, bx) || fy < std::min(ay, by) || fy > std::max(ay, by))
            return Vector2::NOT_DEFINED;
    }
    return foot;
}

}  // namespace zor
