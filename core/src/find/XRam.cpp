#include <zor/XRam.h>
#include <zor/xformat.h>

namespace zor {
namespace find {

QString XRam::toString() const {
    if (!isValid()) return xformat("{ id:$, status NOT VALID }", category);
    return xformat("{  id:$, start:$, end:$, len:$ }", category, start, end, len());
}

QString XRam::asShortForm() const {
    if (!isValid()) return QStringLiteral("{}");
    if (is_search_result()) return xformat("{ $/$=$ }", start, end, len());
    return xformat("{ NOT - $/$=$ }", start, end, len());
}

}  // namespace find
}  // namespace zor
