#include <zor/XDirInfo.h>

#include <zor/ClockFunctions.h>
#include <zor/Logger.h>
#include <zor/TextHelpers.h>

#include "platform/Platform.h"

#include <QDateTime>
#include <QRandomGenerator>
#include <algorithm>

namespace zor {

XCacheDirInfo XDirInfo::cacheDir;

namespace {

// Walks the tree below root on a heap stack. onFile(QString&& path, size) gets every regular file
// (and every link to one), onDir(size) every directory (and every link to one, which is not
// descended into). The sizes come from the listing. Stops before the next entry once *cancel is
// set. False when root cannot be read or the walk was cancelled.
template <typename OnFile, typename OnDir>
bool walkTree(const QString& root, bool hidden, const XAtomic<bool>* cancel, const char* who, OnFile onFile, OnDir onDir) {
    std::vector<QString> pending;
    pending.push_back(root);
    std::vector<platform::DirEntry> entries;
    bool rootRead = false;
    while (!pending.empty()) {
        const QString dir = std::move(pending.back());
        pending.pop_back();
        entries.clear();
        int err = 0;
        if (!platform::listDirectory(dir, hidden, entries, &err)) {
            logWarning("$, cannot read directory '$': $", who, dir, platform::systemErrorText(err));
            if (!rootRead) return false;
            continue;
        }
        rootRead = true;
        QString prefix = dir;
        if (!prefix.endsWith(QLatin1Char('/'))) prefix += QLatin1Char('/');
        for (platform::DirEntry& e : entries) {
            if (cancel != nullptr && cancel->load(std::memory_order_relaxed)) return false;
            switch (e.kind) {
            case platform::DirEntry::FILE:
            case platform::DirEntry::LINK_TO_FILE: onFile(QString(prefix + e.name), e.size); break;
            case platform::DirEntry::DIR:
                onDir(e.size);
                pending.push_back(prefix + e.name);
                break;
            case platform::DirEntry::LINK_TO_DIR: onDir(e.size); break;  // listed, never followed
            case platform::DirEntry::VANISHED:
                logWarning("$, entry vanished '$': $", who, prefix + e.name, platform::systemErrorText(e.err));
                break;
            default: break;  // a link whose target is gone is no entry at all
            }
        }
    }
    return true;
}

std::vector<const QFileInfo*> repoint(const std::vector<const QFileInfo*>& ptrs, const std::vector<QFileInfo>& from,
                                      const std::vector<QFileInfo>& to) {
    std::vector<const QFileInfo*> out;
    out.reserve(ptrs.size());
    for (const QFileInfo* p : ptrs) out.push_back(&to[static_cast<std::size_t>(p - from.data())]);
    return out;
}

QSet<QString> defaultTextExtensions() {
    return QSet<QString>{QStringLiteral("txt"), QStringLiteral("log"),  QStringLiteral("xml"), QStringLiteral("json"),
                         QStringLiteral("csv"), QStringLiteral("ini"),  QStringLiteral("md"),  QStringLiteral("html"),
                         QStringLiteral("htm"), QStringLiteral("c"),    QStringLiteral("cpp"), QStringLiteral("h"),
                         QStringLiteral("hpp"), QStringLiteral("java"), QStringLiteral("js"),  QStringLiteral("py"),
                         QStringLiteral("sh"),  QStringLiteral("cmake")};
}

}  // namespace

XDirInfo::XDirInfo() : textExtensions(defaultTextExtensions()) {}

XDirInfo::XDirInfo(const XDirInfo& other) { copyFrom(other); }

XDirInfo& XDirInfo::operator=(const XDirInfo& other) {
    if (this != &other) copyFrom(other);
    return *this;
}

void XDirInfo::copyFrom(const XDirInfo& other) {
    countFiles = other.countFiles.load();
    countTextFiles = other.countTextFiles.load();
    countDirs = other.countDirs.load();
    countBytes = other.countBytes.load();
    countTextBytes = other.countTextBytes.load();
    reload = other.reload.load();
    cancel = other.cancel.load();
    files = other.files;
    sizes = other.sizes;
    filtered = repoint(other.filtered, other.files, files);
    textFiles = repoint(other.textFiles, other.files, files);
    textExtensions = other.textExtensions;
    hiddenFiles = other.hiddenFiles;
}

bool XDirInfo::scan_dir(const QString& path) {
    cancel = false;
    files.clear();
    sizes.clear();
    filtered.clear();
    textFiles.clear();
    countFiles = 0;
    countTextFiles = 0;
    countDirs = 0;
    countBytes = 0;
    countTextBytes = 0;
    if (path.isEmpty()) {
        logWarning("XDirInfo::scan_dir, path is empty");
        return false;
    }
    if (reload.exchange(false)) cacheDir.deleteEntry(path);
    if (cacheDir.tryGet(path, files)) {
        logDebug("XDirInfo::scan_dir, <<<$>>> from cache", path);
        countFiles = static_cast<unsigned int>(files.size());
        return true;
    }
    const bool done = walkTree(
        path, hiddenFiles, &cancel, "XDirInfo::scan_dir",
        [this](QString&& file, long long size) {
            countBytes.fetch_add(static_cast<unsigned long long>(size), std::memory_order_relaxed);
            countFiles.fetch_add(1, std::memory_order_relaxed);
            files.emplace_back(file);
            sizes.push_back(size);
        },
        [this](long long size) {
            countBytes.fetch_add(static_cast<unsigned long long>(size), std::memory_order_relaxed);
            countDirs.fetch_add(1, std::memory_order_relaxed);
        });
    if (done) cacheDir.put(path, files);
    else if (cancel.load()) logDebug("XDirInfo::scan_dir, <<<$>>> cancelled after $ files", path, countFiles.load());
    return done;
}

bool XDirInfo::walk_files(const QString& path, bool hidden, const XAtomic<bool>* cancel,
                          const std::function<void(QString&& file, long long size)>& onFile) {
    if (path.isEmpty()) {
        logWarning("XDirInfo::walk_files, path is empty");
        return false;
    }
    return walkTree(
        path, hidden, cancel, "XDirInfo::walk_files",
        [&onFile](QString&& file, long long size) { onFile(std::move(file), size); }, [](long long) {});
}

XFindStats XDirInfo::setup_filtered_files(const XFileFilter& filter, bool shuffle) {
    XFindStats stats;
    filtered.clear();
    logDebug("XDirInfo::setup_filtered_files, arFile:$", files.size());
    unsigned long long bytes = 0;
    for (std::size_t i = 0; i < files.size(); ++i) {
        bytes += static_cast<unsigned long long>(sizeAt(i));
        if (filter.match(files[i])) filtered.push_back(&files[i]);
    }
    stats.bytes = bytes;
    stats.filesTotal = files.size();
    stats.files = filtered.size();
    if (shuffle) shuffle_filtered_files();
    return stats;
}

void XDirInfo::shuffle_filtered_files() { std::shuffle(filtered.begin(), filtered.end(), *QRandomGenerator::global()); }

void XDirInfo::setupTextFiles() {
    textFiles.clear();
    countTextFiles = 0;
    countTextBytes = 0;
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (!textExtensions.contains(files[i].suffix().toLower())) continue;
        textFiles.push_back(&files[i]);
        countTextFiles.fetch_add(1, std::memory_order_relaxed);
        countTextBytes.fetch_add(static_cast<unsigned long long>(sizeAt(i)), std::memory_order_relaxed);
    }
    std::shuffle(textFiles.begin(), textFiles.end(), *QRandomGenerator::global());
}

long long XDirInfo::sizeAt(std::size_t i) const { return i < sizes.size() ? sizes[i] : files[i].size(); }

bool XDirInfo::isTextFile(const QString& fileName) const {
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    return !suffix.isEmpty() && textExtensions.contains(suffix);
}

std::vector<QString> XDirInfo::get_text_extensions() const {
    std::vector<QString> out(textExtensions.begin(), textExtensions.end());
    std::sort(out.begin(), out.end());
    return out;
}

void XDirInfo::show_files(unsigned int indent) const {
    logDebugSpace(indent, "XDirInfo::show_files, files:$", files.size());
    for (std::size_t i = 0; i < files.size(); ++i) logDebugSpace(indent + 4, "[$] $", i, files[i].filePath());
}

void XDirInfo::show_filtered_files(unsigned int indent) const {
    logDebugSpace(indent, "XDirInfo::show_filtered_files, files:$", filtered.size());
    for (std::size_t i = 0; i < filtered.size(); ++i) logDebugSpace(indent + 4, "[$] $", i, filtered[i]->filePath());
}

void XDirInfo::showTextFiles(unsigned int indent) const {
    logDebugSpace(indent, "XDirInfo::showTextFiles, files:$", textFiles.size());
    for (std::size_t i = 0; i < textFiles.size(); ++i) logDebugSpace(indent + 4, "[$] $", i, textFiles[i]->filePath());
}

QString XDirInfo::toString() const {
    return xformat("dirs:$, files:$, bytes:$, text files:$, text bytes:$", format1000(countDirs.load()),
                   format1000(countFiles.load()), formatBytes(static_cast<double>(countBytes.load())), countTextFiles.load(),
                   formatBytes(static_cast<double>(countTextBytes.load())));
}

long long XDirInfo::count_bytes(const QDir& dir, bool recursive) { return count_bytes(dir.path(), recursive); }

long long XDirInfo::count_bytes(const QString& path, bool recursive) {
    long long sum = 0;
    if (!recursive) {
        for (const QFileInfo& fi : get_files_only(path, SORT_NONE, SORT_ASCENDING)) sum += fi.size();
        return sum;
    }
    walkTree(
        path, true, nullptr, "XDirInfo::count_bytes", [&sum](QString&&, long long size) { sum += size; }, [](long long) {});
    return sum;
}

std::vector<QFileInfo> XDirInfo::get_files_only(const QDir& dir, SORT_BY sortBy, SORT_DIRECTION direction) {
    std::vector<QFileInfo> out;
    const QFileInfoList all =
        dir.entryInfoList(QDir::Files | QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::DirsFirst);
    for (const QFileInfo& fi : all) {
        if (fi.isFile()) out.push_back(fi);
    }
    const bool desc = direction != SORT_ASCENDING;
    auto order = [desc](auto key) {
        return [desc, key](const QFileInfo& a, const QFileInfo& b) { return desc ? key(b) < key(a) : key(a) < key(b); };
    };
    switch (sortBy) {
    case SORT_NAME: std::stable_sort(out.begin(), out.end(), order([](const QFileInfo& f) { return f.fileName(); })); break;
    case SORT_SIZE: std::stable_sort(out.begin(), out.end(), order([](const QFileInfo& f) { return f.size(); })); break;
    case SORT_TIME:
        std::stable_sort(out.begin(), out.end(), order([](const QFileInfo& f) { return f.lastModified().toMSecsSinceEpoch(); }));
        break;
    default: break;
    }
    return out;
}

std::vector<QFileInfo> XDirInfo::get_files_only(const QString& path, SORT_BY sortBy, SORT_DIRECTION direction) {
    return get_files_only(QDir(path), sortBy, direction);
}

std::vector<QFileInfo> XDirInfo::get_flat_directory_info(const QString& path) {
    const QFileInfo root(path);
    if (path.isEmpty() || !root.isDir() || !root.isReadable()) {
        logWarning("XDirInfo::get_flat_directory_info, '$' is no readable directory", path);
        return {};
    }
    const QFileInfoList all = QDir(path).entryInfoList(QDir::Files | QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Hidden,
                                                       QDir::DirsFirst | QDir::Name);
    return std::vector<QFileInfo>(all.begin(), all.end());
}

}  // namespace zor
