#pragma once
/// \zclass{GLine,math} A line segment between two whole-number points p1 and p2, the input of
/// GeoAlgo2D::intersect.
/// \code
///   GLine l = GLine::fromString("0,0 10,10");   // p1 (0, 0), p2 (10, 10)
/// \endcode
/// Not defined: any coordinate -2147483648. A polymorphic value type; copy freely.
#include <zor/GPoint.h>
#include <zor/zor_export.h>

#include <QString>

namespace zor {

class ZOR_EXPORT GLine {
public:
    GLine() = default;
    GLine(const GPoint& a, const GPoint& b) : p1(a), p2(b) {}
    GLine(long long x1, long long y1, long long x2, long long y2) : p1(x1, y1), p2(x2, y2) {}
    GLine(const GLine&) = default;
    GLine& operator=(const GLine&) = default;
    virtual ~GLine();

    static GLine getNotdefined() { return GLine(GPoint::getNotdefined(), GPoint::getNotdefined()); }
    void setInvalid() { p1.setInvalid(), p2.setInvalid(); }
    bool isNotDefined() const;  ///< any coordinate not defined
    bool isValid() const;       ///< no coordinate not defined
    bool operator==(const GLine& o) const { return p1 == o.p1 && p2 == o.p2; }
    bool operator!=(const GLine& o) const { return !(*this == o); }

    /// Four integers x1, y1, x2, y2; anything else gives the not-defined line.
    static GLine fromString(const char* text);
    QString toString() const;  ///< "(x1, y1)-(x2, y2)"

    GPoint p1;
    GPoint p2;
};

}  // namespace zor
