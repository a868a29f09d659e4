#pragma once
/// \zclass{GDimension,math} A whole-number size (signed 64-bit width, height).
/// \code
///   GDimension::fromString("640 480").toString() == "(640, 480)"
/// \endcode
/// Not defined: both fields -2147483648. A polymorphic value type; copy freely.
#include <zor/zor_export.h>

#include <QString>

namespace zor {

class ZOR_EXPORT GDimension {
public:
    static constexpr long long NOT_DEFINED = -2147483647LL - 1;

    GDimension(long long width_ = 0, long long height_ = 0) : width(width_), height(height_) {}
    GDimension(const GDimension&) = default;
    GDimension& operator=(const GDimension&) = default;
    virtual ~GDimension();

    static GDimension getNotdefined() { return GDimension(NOT_DEFINED, NOT_DEFINED); }
    void setInvalid() { width = height = NOT_DEFINED; }
    bool isNotDefined() const { return width == NOT_DEFINED || height == NOT_DEFINED; }
    bool isValid() const { return !isNotDefined(); }

    bool equals(const GDimension& o) const { return width == o.width && height == o.height; }
    bool operator==(const GDimension& o) const { return equals(o); }
    bool operator!=(const GDimension& o) const { return !equals(o); }

    /// Two integers separated by commas, blanks or tabs; anything else gives the not-defined value.
    static GDimension fromString(const char* text);
    QString toString() const;  ///< "(width, height)"

    long long width;
    long long height;
};

}  // namespace zor
