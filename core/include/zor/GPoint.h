#pragma once
/// \zclass{GPoint,math} A position in whole-number 2D coordinates (signed 64-bit x, y), the point type of the
/// polygon algorithms in GeoAlgo2D.
/// \code
///   GPoint p = GPoint::fromString("10, -3");   // (10, -3); "10" alone gives the not-defined point
///   p.toString() == "(10, -3)";                 // numbers with '.' every third digit: "(1.000, 0)"
/// \endcode
/// Not defined: both coordinates -2147483648 (getNotdefined(), setInvalid()). A polymorphic value
/// type (virtual destructor); copy freely, one thread per object when writing.
#include <zor/zor_export.h>

#include <QString>

namespace zor {

/// Whole-number coordinates wrap around at the ends of the 64-bit range (two's complement) instead
/// of overflowing, so that no text read by fromString can make the arithmetic undefined.
namespace geo {
inline long long add(long long a, long long b) {
    return static_cast<long long>(static_cast<unsigned long long>(a) + static_cast<unsigned long long>(b));
}
inline long long sub(long long a, long long b) {
    return static_cast<long long>(static_cast<unsigned long long>(a) - static_cast<unsigned long long>(b));
}
}  // namespace geo

class ZOR_EXPORT GPoint {
public:
    static constexpr long long NOT_DEFINED = -2147483647LL - 1;  ///< the smallest 32-bit integer

    GPoint(long long x_ = 0, long long y_ = 0) : x(x_), y(y_) {}
    GPoint(const GPoint&) = default;
    GPoint& operator=(const GPoint&) = default;
    virtual ~GPoint();

    static GPoint getNotdefined() { return GPoint(NOT_DEFINED, NOT_DEFINED); }
    void setInvalid() { x = y = NOT_DEFINED; }
    bool isNotDefined() const { return x == NOT_DEFINED && y == NOT_DEFINED; }
    bool isValid() const { return x != NOT_DEFINED && y != NOT_DEFINED; }

    void set(long long x_, long long y_) {
        x = x_;
        y = y_;
    }
    void setXY(long long x_, long long y_) { set(x_, y_); }
    GPoint& operator+=(const GPoint& o) {
        x = geo::add(x, o.x);
        y = geo::add(y, o.y);
        return *this;
    }
    GPoint& operator-=(const GPoint& o) {
        x = geo::sub(x, o.x);
        y = geo::sub(y, o.y);
        return *this;
    }
    bool operator==(const GPoint& o) const { return x == o.x && y == o.y; }
    bool operator!=(const GPoint& o) const { return !(*this == o); }

    /// |dx| <= tolerance and |dy| <= tolerance, the differences taken in 32 bits.
    bool isInTheNearOf(const GPoint& other, int tolerance) const;

    /// Two integers separated by commas, blanks or tabs; anything else gives the not-defined point.
    /// A null text ends the program (a programming error).
    static GPoint fromString(const char* text);
    QString toString() const;  ///< "(x, y)"

    long long x;
    long long y;
};

}  // namespace zor
