#include <zor/Logger.h>
#include <zor/Triangulate.h>

#include <cmath>
#include <vector>

namespace zor {

namespace {

// An ear must have at least this doubled area: slivers of collinear points are never clipped.
constexpr double kMinDoubledArea = 1e-10;
// Ear clipping needs up to n^2 snip tests of n vertices each; beyond this size a caller wants a
// different algorithm, and a hostile input must not keep a thread busy for hours.
constexpr std::size_t kMaxVertices = 65536;

inline bool insideTriangle(double ax, double ay, double bx, double by, double cx, double cy, double px,
                           double py) {
    const double aCrossBp = (cx - bx) * (py - by) - (cy - by) * (px - bx);
    const double cCrossAp = (bx - ax) * (py - ay) - (by - ay) * (px - ax);
    const double bCrossCp = (ax - cx) * (py - cy) - (ay - cy) * (px - cx);
    return aCrossBp >= 0.0 && bCrossCp >= 0.0 && cCrossAp >= 0.0;
}

}  // namespace

float Triangulate::getArea(const std::vector<Vector2>& contour) {
    const std::size_t n = contour.size();
    double a = 0.0;
    for (std::size_t p = n - 1, q = 0; q < n; p = q++)
        a += static_cast<double>(contour[p].x) * contour[q].y - static_cast<double>(contour[q].x) * contour[p].y;
    return static_cast<float>(a * 0.5);
}

bool Triangulate::isInsideTriangle(float ax, float ay, float bx, float by, float cx, float cy, float px, float py) {
    return insideTriangle(ax, ay, bx, by, cx, cy, px, py);
}

bool Triangulate::snip(const std::vector<Vector2>& contour, int u, int v, int w, int n, const int* V) {
    const Vector2& a = contour[static_cast<std::size_t>(V[u])];
    const Vector2& b = contour[static_cast<std::size_t>(V[v])];
    const Vector2& c = contour[static_cast<std::size_t>(V[w])];
    const double ax = a.x, ay = a.y, bx = b.x, by = b.y, cx = c.x, cy = c.y;
    if (kMinDoubledArea > (bx - ax) * (cy - ay) - (by - ay) * (cx - ax)) return false;
    for (int p = 0; p < n; ++p) {
        if (p == u || p == v || p == w) continue;
        const Vector2& q = contour[static_cast<std::size_t>(V[p])];
        if (insideTriangle(ax, ay, bx, by, cx, cy, q.x, q.y)) return false;
    }
    return true;
}

bool Triangulate::makeMesh(const std::vector<Vector2>& contour, std::vector<Vector2>& result) {
    const std::size_t count = contour.size();
    if (count < 3) {
        logError("Triangulate::makeMesh, $ vertices, a polygon needs at least 3", count);
        return false;
    }
    if (count > kMaxVertices) {
        logError("Triangulate::makeMesh, $ vertices, at most $ are triangulated", count, kMaxVertices);
        return false;
    }
    for (const Vector2& p : contour)
        if (!std::isfinite(p.x) || !std::isfinite(p.y)) {
            logError("Triangulate::makeMesh, vertex $ is not finite", p.toString());
            return false;
        }

    const int n = static_cast<int>(count);
    // The working index list, counter-clockwise whatever the input's orientation.
    std::vector<int> V(count);
    if (getArea(contour) > 0.0f)
        for (int i = 0; i < n; ++i) V[static_cast<std::size_t>(i)] = i;
    else
        for (int i = 0; i < n; ++i) V[static_cast<std::size_t>(i)] = (n - 1) - i;

    const std::size_t before = result.size();
    result.reserve(before + 3 * (count - 2));
    int nv = n;
    int tries = 2 * nv;  // a full round without an ear means the polygon is not simple
    for (int v = nv - 1; nv > 2;) {
        if (tries-- <= 0) {
            logError("Triangulate::makeMesh, no ear left among $ of $ vertices: the polygon is not simple", nv, n);
            result.resize(before);
            return false;
        }
        int u = v;
        if (nv <= u) u = 0;
        v = u + 1;
        if (nv <= v) v = 0;
        int w = v + 1;
        if (nv <= w) w = 0;
        if (snip(contour, u, v, w, nv, V.data())) {
            result.push_back(contour[static_cast<std::size_t>(V[static_cast<std::size_t>(u)])]);
            result.push_back(contour[static_cast<std::size_t>(V[static_cast<std::size_t>(v)])]);
            result.push_back(contour[static_cast<std::size_t>(V[static_cast<std::size_t>(w)])]);
            V.erase(V.begin() + v);
            --nv;
            tries = 2 * nv;
        }
    }
    return true;
}

}  // namespace zor
