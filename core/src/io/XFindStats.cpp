#include <zor/XFindStats.h>

#include <zor/ClockFunctions.h>
#include <zor/TextHelpers.h>

namespace zor {

XFindStats& XFindStats::operator=(const XFindStats& other) {
    if (this == &other) return *this;
    filesTotal = other.filesTotal.load();
    lines = other.lines.load();
    bytes = other.bytes.load();
    hits = other.hits.load();
    files = other.files.load();
    return *this;
}

void XFindStats::reset() {
    filesTotal = 0;
    lines = 0;
    bytes = 0;
    hits = 0;
    files = 0;
}

QString XFindStats::toString() const {
    return QStringLiteral("files total:") + format1000(static_cast<long long>(filesTotal.load())) + QStringLiteral(", files :") +
           format1000(static_cast<long long>(files.load())) + QStringLiteral(", lines :") +
           format1000(static_cast<long long>(lines.load())) + QStringLiteral(", bytes :") +
           formatBytes(static_cast<double>(bytes.load())) + QStringLiteral(", hits :") + format1000(static_cast<long long>(hits.load()));
}

}  // namespace zor
