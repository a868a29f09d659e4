#pragma once
/// \zclass{XDirInfo,io} Scans a directory tree into a flat list of files (QFileInfo) with progress counters,
/// selects a filtered view with an XFileFilter and a view of the text files.
/// \code
///   XDirInfo info;
///   info.scan_dir("/data");                       // cached: a second scan of "/data" is free
///   XFindStats st = info.setup_filtered_files(filter, false);
///   for (const QFileInfo* fi : info.get_view_filtered_files()) ...
/// \endcode
/// The walk keeps its pending directories on a heap stack, so any depth is safe. A symbolic link to
/// a directory is counted as a directory but never descended into: a scan cannot loop and sees each
/// real directory once. Links whose target is gone, sockets, pipes and devices are skipped. An
/// unreadable directory and an entry that vanishes during the scan cost one warning each and are
/// left out.
///
/// The walk reads each directory once and asks the size of each entry relative to it; the QFileInfo
/// objects it hands out have not asked the disk yet (they do on their first question).
///
/// Finished scans go to the process-wide cache (cacheDir) under the path as given; a cancelled scan
/// is not stored. Setting reload makes the next scan_dir of the path read the disk again. A scan
/// served from the cache touches no disk: it sets countFiles, while countDirs and countBytes stay 0.
///
/// Thread-safety: one thread scans; any other thread may read the counters and set cancel or
/// reload while it runs. The lists (files, filtered, textFiles) belong to the scanning thread until
/// scan_dir returns. filtered and textFiles point into files: copies re-point them.
#include <zor/XAtomic.h>
#include <zor/XCacheDirInfo.h>
#include <zor/XFileFilter.h>
#include <zor/XFindStats.h>
#include <zor/zor_export.h>

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QString>
#include <functional>
#include <vector>

namespace zor {

class ZOR_EXPORT XDirInfo {
public:
    enum SORT_BY { SORT_NONE = 0, SORT_NAME = 1, SORT_SIZE = 2, SORT_TIME = 3 };
    enum SORT_DIRECTION { SORT_ASCENDING = 0, SORT_DESCENDING = 1 };

    static XCacheDirInfo cacheDir;  ///< shared by every XDirInfo of the process

    XDirInfo();
    XDirInfo(const XDirInfo& other);
    XDirInfo& operator=(const XDirInfo& other);

    /// Scans path (see the class comment); false when it is not a readable directory or the scan
    /// was cancelled. The counters are valid either way.
    bool scan_dir(const QString& path);

    /// Walks path as scan_dir does (links to directories listed, never followed; hidden entries
    /// with hidden) and hands each file to onFile (its path: path, "/" and the names below it; and
    /// the size the listing saw) as soon as its directory is read, on the calling thread. Builds no
    /// list and leaves the cache alone: for a consumer that works while the walk goes on. Stops
    /// before the next entry once *cancel is set. False when path is no readable directory or the
    /// walk was cancelled.
    static bool walk_files(const QString& path, bool hidden, const XAtomic<bool>* cancel,
                           const std::function<void(QString&& file, long long size)>& onFile);

    XFindStats setup_filtered_files(const XFileFilter& filter, bool shuffle);
    const std::vector<const QFileInfo*>& get_view_filtered_files() const { return filtered; }
    void shuffle_filtered_files();
    void setupTextFiles();
    const std::vector<const QFileInfo*>& get_text_files() const { return textFiles; }
    bool isTextFile(const QString& fileName) const;
    std::vector<QString> get_text_extensions() const;  ///< sorted
    void set_text_extensions(const QSet<QString>& extensions) { textExtensions = extensions; }

    const std::vector<QFileInfo>& get_files() const { return files; }
    void show_files(unsigned int indent) const;
    void show_filtered_files(unsigned int indent) const;
    void showTextFiles(unsigned int indent) const;
    /// "dirs:12, files:1,024, bytes:3.20 MB, text files:10, text bytes:1.10 KB"
    QString toString() const;

    void setHiddenFiles(bool on) { hiddenFiles = on; }
    bool isHiddenFiles() const { return hiddenFiles; }

    /// The sizes of the files in dir (recursive: also below it). Symbolic links to directories are
    /// not followed.
    static long long count_bytes(const QDir& dir, bool recursive);
    static long long count_bytes(const QString& path, bool recursive);
    /// The files directly in dir (hidden ones included), sorted as asked.
    static std::vector<QFileInfo> get_files_only(const QDir& dir, SORT_BY sortBy, SORT_DIRECTION direction);
    static std::vector<QFileInfo> get_files_only(const QString& path, SORT_BY sortBy, SORT_DIRECTION direction);
    /// The entries directly in path (hidden ones included): directories first, then files, each by
    /// name. Empty (with a warning) when path is no readable directory.
    static std::vector<QFileInfo> get_flat_directory_info(const QString& path);

    /// Progress of the running or last scan.
    XAtomic<unsigned int> countFiles{0};
    XAtomic<unsigned int> countTextFiles{0};
    XAtomic<unsigned int> countDirs{0};
    XAtomic<unsigned long long> countBytes{0};
    XAtomic<unsigned long long> countTextBytes{0};
    XAtomic<bool> reload{false};  ///< the next scan_dir ignores and replaces the cached scan
    XAtomic<bool> cancel{false};  ///< checked before every entry; cleared by scan_dir

private:
    void copyFrom(const XDirInfo& other);
    long long sizeAt(std::size_t i) const;  // from the scan, or asked from the disk after a cache hit

    std::vector<QFileInfo> files;
    std::vector<long long> sizes;  // the sizes the scan saw, one per file (empty after a cache hit)
    std::vector<const QFileInfo*> filtered;   // into files
    std::vector<const QFileInfo*> textFiles;  // into files
    QSet<QString> textExtensions;
    bool hiddenFiles = false;
};

}  // namespace zor
