#pragma once
/// \zclass{GThickness,math} Margins around a rectangle in whole numbers (top, left, bottom, right).
/// \code
///   GThickness(4).toString() == "(top:4, left:4, bottom:4, right:4)"
/// \endcode
/// Not defined: any field -2147483648. A polymorphic value type; copy freely.
#include <zor/zor_export.h>

#include <QString>

namespace zor {

class ZOR_EXPORT GThickness {
public:
    static constexpr long long NOT_DEFINED = -2147483647LL - 1;

    explicit GThickness(long long all = 0) { set(all); }
    GThickness(long long top_, long long left_, long long bottom_, long long right_) {
        set(top_, left_, bottom_, right_);
    }
    GThickness(const GThickness&) = default;
    GThickness& operator=(const GThickness&) = default;
    virtual ~GThickness();

    void set(long long all) { set(all, all, all, all); }
    void set(long long top_, long long left_, long long bottom_, long long right_) {
        top = top_;
        left = left_;
        bottom = bottom_;
        right = right_;
    }
    bool isZero() const { return top == 0 && left == 0 && bottom == 0 && right == 0; }

    static GThickness getNotdefined() { return GThickness(NOT_DEFINED); }
    void setInvalid() { set(NOT_DEFINED); }
    bool isNotDefined() const;
    bool isValid() const { return !isNotDefined(); }
    bool operator==(const GThickness& o) const {
        return top == o.top && left == o.left && bottom == o.bottom && right == o.right;
    }
    bool operator!=(const GThickness& o) const { return !(*this == o); }

    /// Four integers top, left, bottom, right; anything else gives the not-defined value.
    static GThickness fromString(const char* text);
    QString toString() const;  ///< "(top:$, left:$, bottom:$, right:$)"

    long long top;
    long long left;
    long long bottom;
    long long right;
};

}  // namespace zor
