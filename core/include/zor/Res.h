#pragma once
/// \zclass{Res,text} A resolution, width by height in whole units (pixels, cells). Text form "width,height".
#include <zor/zor_export.h>

namespace zor {

struct ZOR_EXPORT Res {
    int width = 0;
    int height = 0;

    constexpr Res() = default;
    constexpr Res(int w, int h) : width(w), height(h) {}
    constexpr bool isNull() const { return width == 0 && height == 0; }
    constexpr bool operator==(const Res& o) const { return width == o.width && height == o.height; }
    constexpr bool operator!=(const Res& o) const { return !(*this == o); }
};

}  // namespace zor
