#include <zor/GRect.h>
#include <zor/TextHelpers.h>
#include <zor/xformat.h>

#include "math/GeoText.h"

#include <algorithm>

namespace zor {

GRect::~GRect() = default;

bool GRect::isNotDefined() const {
    return x == NOT_DEFINED || y == NOT_DEFINED || width == NOT_DEFINED || height == NOT_DEFINED;
}

void GRect::addValues(long long dx, long long dy, long long dw, long long dh) {
    x = geo::add(x, dx);
    y = geo::add(y, dy);
    width = geo::add(width, dw);
    height = geo::add(height, dh);
}

void GRect::shrink(long long n) {
    const long long twice = geo::add(n, n);
    addValues(n, n, geo::sub(0, twice), geo::sub(0, twice));
}

void GRect::setRect2Middle(GRect& inner) const {
    inner.x = geo::add(x, geo::sub(width, inner.width) / 2);
    inner.y = geo::add(y, geo::sub(height, inner.height) / 2);
}

void GRect::setRight(long long r) {
    width = geo::sub(r, x);
    if (width < 0) {
        width = geo::sub(x, r);
        x = r;
    }
}

void GRect::setBottom(long long b) {
    height = geo::sub(b, y);
    if (height < 0) {
        height = geo::sub(y, b);
        y = b;
    }
}

bool GRect::containsPoint(long long px, long long py) const {
    return px >= x && px <= right() && py >= y && py <= bottom();
}

bool GRect::containsPoint(double px, double py) const {
    return px >= static_cast<double>(x) && px <= static_cast<double>(right()) && py >= static_cast<double>(y) &&
           py <= static_cast<double>(bottom());
}

bool GRect::containsPoint(float px, float py) const {
    return containsPoint(static_cast<double>(px), static_cast<double>(py));
}

bool GRect::containsPointExclude(long long px, long long py) const {
    return px > x && px < right() && py > y && py < bottom();
}

bool GRect::containsPointExclude(double px, double py) const {
    return px > static_cast<double>(x) && px < static_cast<double>(right()) && py > static_cast<double>(y) &&
           py < static_cast<double>(bottom());
}

bool GRect::containsPointExclude(float px, float py) const {
    return containsPointExclude(static_cast<double>(px), static_cast<double>(py));
}

bool GRect::containsRect(const GRect& r) const {
    return containsPoint(r.getTopLeft()) && containsPoint(r.getBottomRight());
}

bool GRect::containsRectExclude(const GRect& r) const {
    return containsPointExclude(r.getTopLeft()) && containsPointExclude(r.getBottomRight());
}

bool GRect::intersects(const GRect& o) const {
    return containsPoint(o.getTopLeft()) || containsPoint(o.getBottomRight()) || containsPoint(o.getTopRight()) ||
           containsPoint(o.getBottomLeft());
}

bool GRect::intersectsExclude(const GRect& o) const {
    return containsPointExclude(o.getTopLeft()) || containsPointExclude(o.getBottomRight()) ||
           containsPointExclude(o.getTopRight()) || containsPointExclude(o.getBottomLeft());
}

GRect GRect::getIntersectedRect(const GRect& a, const GRect& b) {
    GRect r;
    getIntersectedRect(a, b, r);
    return r;
}

void GRect::getIntersectedRect(const GRect& a, const GRect& b, GRect& result) {
    const long long nx = std::max(a.x, b.x);
    const long long ny = std::max(a.y, b.y);
    result = GRect(nx, ny, geo::sub(std::min(a.right(), b.right()), nx), geo::sub(std::min(a.bottom(), b.bottom()), ny));
}

GRect GRect::getUnionRect(const GRect& a, const GRect& b) {
    if (a.width < 0 || a.height < 0) return b;
    if (b.width < 0 || b.height < 0) return a;
    const long long nx = std::min(a.x, b.x);
    const long long ny = std::min(a.y, b.y);
    return GRect(nx, ny, geo::sub(std::max(a.right(), b.right()), nx), geo::sub(std::max(a.bottom(), b.bottom()), ny));
}

GRect GRect::fromString(const char* text) {
    long long v[4];
    if (!geotext::readIntegers(text, v, 4, "GRect")) return getNotdefined();
    return GRect(v[0], v[1], v[2], v[3]);
}

QString GRect::toString() const {
    return xformat("($, $, $, $)", format1000(x), format1000(y), format1000(width), format1000(height));
}

}  // namespace zor
