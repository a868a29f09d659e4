// The whole-number 2D types read from text, and the polygon and line algorithms on arbitrary
// float input. Besides memory safety and undefined behaviour it checks the stated results: a text
// that reads as a rectangle reads the same from its plain numbers again, a triangulation that
// succeeds has n - 2 triangles, one that fails leaves the result as it was, and an inverse that is
// valid is finite.
#include <zor/GDimension.h>
#include <zor/GLine.h>
#include <zor/GPoint.h>
#include <zor/GRect.h>
#include <zor/GThickness.h>
#include <zor/GeoAlgo2D.h>
#include <zor/Line3.h>
#include <zor/Matrix4.h>
#include <zor/PointIteratorByArray.h>
#include <zor/Quaternion.h>
#include <zor/Triangulate.h>

#include <QByteArray>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

void texts(const QByteArray& text) {
    const char* t = text.constData();
    const zor::GRect r = zor::GRect::fromString(t);
    if (r.isValid()) {
        const QByteArray plain = QByteArray::number(r.x) + ' ' + QByteArray::number(r.y) + ' ' +
                                 QByteArray::number(r.width) + ' ' + QByteArray::number(r.height);
        if (zor::GRect::fromString(plain.constData()) != r) std::abort();
        // Edge arithmetic on any four numbers wraps instead of overflowing.
        (void)r.containsPoint(r.getMiddle());
        (void)r.intersects(zor::GRect(r.y, r.x, r.height, r.width));
        (void)zor::GRect::getUnionRect(r, zor::GRect(1, 2, 3, 4));
        (void)zor::GRect::getIntersectedRect(r, zor::GRect(r.width, r.height, r.x, r.y));
        zor::GRect s(r);
        s.shrink(r.x);
        s.setRight(r.y);
        s.setBottom(r.width);
        zor::GRect inner(r.height, r.x, r.y, r.width);
        s.setRect2Middle(inner);
        (void)r.toString();
    }
    const zor::GPoint p = zor::GPoint::fromString(t);
    if (p.isValid()) (void)p.isInTheNearOf(zor::GPoint(zor::geo::sub(0, p.y), p.x), 3);
    (void)p.toString();
    const zor::GLine l = zor::GLine::fromString(t);
    if (l.isValid()) {
        (void)zor::GeoAlgo2D::intersect(l, zor::GLine(l.p2, l.p1));
        (void)zor::GeoAlgo2D::ccw(l.p1, l.p2, zor::GPoint(l.p1.y, l.p2.x));
        (void)zor::GeoAlgo2D::theta(l.p1, l.p2);
    }
    (void)zor::GThickness::fromString(t).toString();
    (void)zor::GDimension::fromString(t).toString();
}

void polygons(const std::uint8_t* data, std::size_t size) {
    std::vector<zor::Vector2> poly;
    for (std::size_t i = 0; i + 8 <= size && poly.size() < 48; i += 8) {
        float xy[2];
        std::memcpy(xy, data + i, sizeof xy);
        poly.emplace_back(xy[0], xy[1]);
    }
    const zor::Vector2 probe = poly.empty() ? zor::Vector2() : poly.front().average(poly.back());
    (void)zor::GeoAlgo2D::contains(probe, poly);
    zor::PointIteratorByArray it(&poly);
    (void)zor::GeoAlgo2D::contains(probe, it);
    (void)zor::GeoAlgo2D::calculateBounds(poly);
    if (poly.size() >= 2) (void)zor::GeoAlgo2D::getBasePoint(probe, poly[0], poly[1], true);

    std::vector<zor::Vector2> tris{zor::Vector2(1, 2)};
    if (zor::Triangulate::makeMesh(poly, tris)) {
        if (tris.size() != 1 + 3 * (poly.size() - 2)) std::abort();
    } else if (tris.size() != 1) {
        std::abort();
    }
}

void spatial(const std::uint8_t* data, std::size_t size) {
    if (size < 64) return;
    float f[16];
    std::memcpy(f, data, sizeof f);
    const zor::Matrix4 m(f);
    const zor::Matrix4 inv = m.getInverse();
    if (inv.isValid())
        for (int i = 0; i < 16; ++i)
            if (!std::isfinite(inv[i])) std::abort();
    const zor::Line3 a(zor::Vector3(f[0], f[1], f[2]), zor::Vector3(f[3], f[4], f[5]));
    const zor::Line3 b(zor::Vector3(f[6], f[7], f[8]), zor::Vector3(f[9], f[10], f[11]));
    (void)zor::Line3::getIntersection(a, b);
    (void)zor::Line3::getDistance(a, b);
    (void)zor::Line3::getFootOfPerpendicular(a, b);
    (void)zor::Quaternion(zor::Vector3(f[12], f[13], f[14]), f[15]).toString();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    texts(QByteArray(reinterpret_cast<const char*>(data), static_cast<int>(size)));
    polygons(data, size);
    spatial(data, size);
    return 0;
}
