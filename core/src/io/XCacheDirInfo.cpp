#include <zor/XCacheDirInfo.h>

#include <zor/Logger.h>

#include <mutex>

namespace zor {

void XCacheDirInfo::put(const QString& path, const std::vector<QFileInfo>& files) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_map[path] = files;
}

void XCacheDirInfo::move(const QString& path, std::vector<QFileInfo>&& files) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_map[path] = std::move(files);
}

std::vector<QFileInfo> XCacheDirInfo::get(const QString& path) const {
    std::vector<QFileInfo> out;
    if (!tryGet(path, out)) logWarning("XCacheDirInfo::get, invalid map<K, T> key '$'", path);
    return out;
}

bool XCacheDirInfo::tryGet(const QString& path, std::vector<QFileInfo>& out) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto it = m_map.find(path);
    if (it == m_map.end()) return false;
    out = it->second;
    return true;
}

bool XCacheDirInfo::containsKey(const QString& path) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_map.count(path) != 0;
}

void XCacheDirInfo::deleteEntry(const QString& path) {
    if (path.isEmpty()) {
        logError("XCacheDirInfo::deleteEntry, key is empty or null !");
        return;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_map.erase(path);
}

unsigned int XCacheDirInfo::countEntries() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return static_cast<unsigned int>(m_map.size());
}

void XCacheDirInfo::clear() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_map.clear();
}

void XCacheDirInfo::show(unsigned int indent) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    logDebugSpace(indent, "XCacheDirInfo, map entries:$", m_map.size());
    for (const auto& e : m_map) logDebugSpace(indent + 4, "elements [$] - key '$'", e.second.size(), e.first);
}

}  // namespace zor
