#include "math/MathDetail.h"

#include <zor/xformat.h>

namespace zor {
namespace mathdetail {

namespace {

template <typename T>
QString rowsTextT(const T* e, int n) {
    QString out;
    for (int r = 0; r < n; ++r) {
        if (r > 0) out += QLatin1Char(' ');
        out += QLatin1Char('[');
        for (int c = 0; c < n; ++c) {
            if (c > 0) out += QLatin1Char(',');
            out += xformat("$", e[r * n + c]);
        }
        out += QLatin1Char(']');
    }
    return out;
}

}  // namespace

QString rowsText(const float* e, int n) { return rowsTextT(e, n); }
QString rowsText(const double* e, int n) { return rowsTextT(e, n); }

}  // namespace mathdetail
}  // namespace zor
