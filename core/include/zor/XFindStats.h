#pragma once
/// \zclass{XFindStats,io} What a file selection or a content search saw, as five counters that worker threads
/// add to while a viewer reads them (each counter is atomic on its own; a snapshot of all five is
/// not). Copying takes a snapshot.
#include <zor/XAtomic.h>
#include <zor/zor_export.h>

#include <QString>

namespace zor {

class ZOR_EXPORT XFindStats {
public:
    XFindStats() = default;
    XFindStats(const XFindStats& other) { *this = other; }
    XFindStats& operator=(const XFindStats& other);

    void reset();
    /// "files total:1,200, files :3, lines :10, bytes :1.50 KB, hits :2"
    QString toString() const;

    XAtomic<unsigned long long> filesTotal{0};  ///< files looked at
    XAtomic<unsigned long long> lines{0};
    XAtomic<unsigned long long> bytes{0};
    XAtomic<unsigned long long> hits{0};
    XAtomic<unsigned long long> files{0};       ///< files selected, or files with hits
};

}  // namespace zor
