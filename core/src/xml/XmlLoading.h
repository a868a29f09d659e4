#pragma once
// The files an XML load on this thread is reading right now, outermost first, so that an INCLUDE
// leading back to one of them (directly or through other files) is refused instead of followed
// for ever. Internal to the xml folder.
#include <QFileInfo>
#include <QString>
#include <algorithm>
#include <vector>

namespace zor {
namespace xml_detail {

inline std::vector<QString>& loadingFiles() {
    thread_local std::vector<QString> files;
    return files;
}

// The name a file is known by in the list: its canonical path (links resolved), else the path.
inline QString loadingKey(const QString& path) {
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? path : canonical;
}

inline bool isBeingLoaded(const QString& path) {
    const auto& files = loadingFiles();
    return std::find(files.begin(), files.end(), loadingKey(path)) != files.end();
}

// Marks a file as being loaded for its own lifetime.
class LoadingGuard {
public:
    explicit LoadingGuard(const QString& path) { loadingFiles().push_back(loadingKey(path)); }
    ~LoadingGuard() { loadingFiles().pop_back(); }
    LoadingGuard(const LoadingGuard&) = delete;
    LoadingGuard& operator=(const LoadingGuard&) = delete;
    static bool outermost() { return loadingFiles().size() == 1; }
};

}  // namespace xml_detail
}  // namespace zor
