#pragma once
/// \zclass{GRect,math} A whole-number rectangle (x, y, width, height). The right and bottom edges are one past
/// the last covered coordinate: right() = x + width, bottom() = y + height. The containment tests
/// come in two flavours: edges included (containsPoint, containsRect, intersects) and edges
/// excluded (the ...Exclude forms).
/// \code
///   GRect(0, 0, 10, 10).containsPoint(10, 10) == true;  containsPointExclude(10, 10) == false
///   GRect::getIntersectedRect(GRect(0, 0, 10, 10), GRect(5, 5, 10, 10)) == GRect(5, 5, 5, 5)
/// \endcode
/// intersects() looks only for corners of the other rectangle inside this one, so two rectangles
/// that cross like a plus sign do not count. Not defined: any field -2147483648. A polymorphic
/// value type; copy freely, one thread per object when writing.
#include <zor/GDimension.h>
#include <zor/GPoint.h>
#include <zor/zor_export.h>

#include <QString>

namespace zor {

class ZOR_EXPORT GRect {
public:
    static constexpr long long NOT_DEFINED = -2147483647LL - 1;

    GRect() : GRect(0, 0, 0, 0) {}
    GRect(long long x_, long long y_, long long width_, long long height_)
        : x(x_), y(y_), width(width_), height(height_) {}
    GRect(long long width_, long long height_) : GRect(0, 0, width_, height_) {}
    explicit GRect(const GDimension& d) : GRect(0, 0, d.width, d.height) {}
    GRect(const GRect&) = default;
    GRect& operator=(const GRect&) = default;
    virtual ~GRect();

    bool operator==(const GRect& o) const {
        return x == o.x && y == o.y && width == o.width && height == o.height;
    }
    bool operator!=(const GRect& o) const { return !(*this == o); }

    static GRect getNotdefined() { return GRect(NOT_DEFINED, NOT_DEFINED, NOT_DEFINED, NOT_DEFINED); }
    void setInvalid() { *this = getNotdefined(); }
    bool isNotDefined() const;  ///< any field not defined
    bool isValid() const { return !isNotDefined(); }
    bool isNormal() const { return x >= 0 && y >= 0 && width >= 1 && height >= 1; }

    // ---- accessors
    long long getX() const { return x; }
    long long getY() const { return y; }
    long long left() const { return x; }
    long long top() const { return y; }
    long long right() const { return geo::add(x, width); }
    long long bottom() const { return geo::add(y, height); }
    long long getWidth() const { return width; }
    long long getHeight() const { return height; }
    GDimension getSize() const { return GDimension(width, height); }
    GPoint getTopLeft() const { return GPoint(x, y); }
    GPoint getTopRight() const { return GPoint(right(), y); }
    GPoint getBottomLeft() const { return GPoint(x, bottom()); }
    GPoint getBottomRight() const { return GPoint(right(), bottom()); }
    GPoint getMiddle() const { return GPoint(geo::add(x, width / 2), geo::add(y, height / 2)); }

    // ---- setters
    void setX(long long v) { x = v; }
    void setY(long long v) { y = v; }
    void setWidth(long long v) { width = v; }
    void setHeight(long long v) { height = v; }
    void setPosition(const GPoint& p) { x = p.x, y = p.y; }
    void setSize(const GDimension& d) { width = d.width, height = d.height; }
    void setSize(long long w, long long h) { width = w, height = h; }
    void setValues(const GRect& r) { *this = r; }
    void addValues(long long dx, long long dy, long long dw, long long dh);
    /// x and y grow by n, width and height shrink by 2n.
    void shrink(long long n);
    /// Moves inner so that it is centred in this rectangle (integer division).
    void setRect2Middle(GRect& inner) const;
    /// width = r - x; a right edge left of x swaps: x = r, width = old x - r.
    void setRight(long long r);
    void setBottom(long long b);

    // ---- tests, edges included: x <= px <= right and y <= py <= bottom
    bool containsPoint(const GPoint& p) const { return containsPoint(p.x, p.y); }
    bool containsPoint(int px, int py) const { return containsPoint(static_cast<long long>(px), static_cast<long long>(py)); }
    bool containsPoint(long long px, long long py) const;
    bool containsPoint(float px, float py) const;
    bool containsPoint(double px, double py) const;
    /// Edges excluded: x < px < right and y < py < bottom.
    bool containsPointExclude(const GPoint& p) const { return containsPointExclude(p.x, p.y); }
    bool containsPointExclude(int px, int py) const {
        return containsPointExclude(static_cast<long long>(px), static_cast<long long>(py));
    }
    bool containsPointExclude(long long px, long long py) const;
    bool containsPointExclude(float px, float py) const;
    bool containsPointExclude(double px, double py) const;
    bool containsRect(const GRect& r) const;         ///< both corners of r inside, edges included
    bool containsRectExclude(const GRect& r) const;  ///< edges excluded
    bool containsLineHorz(long long ly) const { return ly >= y && ly <= bottom(); }
    /// A corner of other (top-left, bottom-right, top-right, bottom-left) lies in this rectangle.
    bool intersects(const GRect& other) const;
    bool intersectsExclude(const GRect& other) const;

    /// The overlap; a negative width or height means the rectangles do not overlap.
    static GRect getIntersectedRect(const GRect& a, const GRect& b);
    static void getIntersectedRect(const GRect& a, const GRect& b, GRect& result);
    /// The smallest rectangle covering both; an operand with a negative width or height is ignored.
    static GRect getUnionRect(const GRect& a, const GRect& b);

    /// Four integers x, y, width, height; anything else gives the not-defined rectangle.
    static GRect fromString(const char* text);
    QString toString() const;  ///< "(x, y, width, height)"

    long long x;
    long long y;
    long long width;
    long long height;
};

}  // namespace zor
