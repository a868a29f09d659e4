#pragma once
/// \zclass{XCacheDirInfo,io} The process-wide store of finished directory scans (XDirInfo::cacheDir), from a
/// directory path to the files found below it. Every operation takes the one mutex, so any thread
/// may use it; get() hands out a copy, never a reference into the map.
///
/// get() of a path that is not stored returns an empty vector and logs one warning (callers test
/// containsKey first when an empty scan and a missing one must be told apart).
#include <zor/zor_export.h>

#include <QFileInfo>
#include <mutex>
#include <QString>
#include <map>
#include <vector>

namespace zor {

class ZOR_EXPORT XCacheDirInfo {
public:
    XCacheDirInfo() = default;
    XCacheDirInfo(const XCacheDirInfo&) = delete;
    XCacheDirInfo& operator=(const XCacheDirInfo&) = delete;

    void put(const QString& path, const std::vector<QFileInfo>& files);  ///< copies
    void move(const QString& path, std::vector<QFileInfo>&& files);
    std::vector<QFileInfo> get(const QString& path) const;
    /// get() without the warning: false (and out untouched) when path is not stored.
    bool tryGet(const QString& path, std::vector<QFileInfo>& out) const;
    bool containsKey(const QString& path) const;
    void deleteEntry(const QString& path);  ///< an empty path is refused with an error line
    unsigned int countEntries() const;
    void clear();
    void show(unsigned int indent) const;  ///< the entries with their sizes, at debug level

private:
    mutable std::mutex m_mutex;  // guards m_map
    std::map<QString, std::vector<QFileInfo>> m_map;
};

}  // namespace zor
