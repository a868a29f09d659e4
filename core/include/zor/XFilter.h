#pragma once
/// \zclass{find::XFilter,find} A file filter paired with an optional content filter, and the search of files with
/// both: each file is ruled out by a quick test on its bytes when it cannot match (small files are
/// read for it, larger ones mapped), otherwise mapped, indexed and evaluated. Files are searched in
/// parallel on a thread pool, each thread with its own copy of the content filter. search() takes a
/// list of files; searchDir() walks a directory and searches while the walk goes on. With namesOnly
/// only whether a file has hits is wanted: a file is then decided on its raw bytes where that is
/// certain (no mapping, no index), and otherwise searched up to its first unit with a result.
/// \code
///   XFilter f;
///   f.fileFilter.setPattern("*.txt", false);
///   f.setContentFilter(XContentFilter("error & ~warning", false, XContentFilter::Paragraph));
///   XFindStats st = f.search(files, 2, [](const XFilter::FileHit& hit) { ... });
///   XFindStats st2 = f.searchDir("/data", 2, [](const XFilter::FileHit& hit) { ... });
/// \endcode
/// search() and searchDir() may be called from any thread; the filter itself is not changed by
/// them. The callback runs on the worker threads, several at a time: it must synchronise what it
/// shares.
#include <zor/XContentFilter.h>
#include <zor/XFileFilter.h>
#include <zor/XFindStats.h>
#include <zor/XRamLayer.h>
#include <zor/zor_export.h>

#include <QFileInfo>
#include <QString>
#include <atomic>
#include <cstddef>
#include <functional>
#include <vector>

namespace zor {

class XLineReaderDA;

namespace find {

class ZOR_EXPORT XFilter {
public:
    /// One searched file with hits (or, without a content filter, every readable file).
    struct FileHit {
        std::size_t index;  ///< position in the list given to search(), or in searchDir()'s walk
        const QFileInfo* file;
        /// Open and indexed while the callback runs; with namesOnly, a file decided on its bytes
        /// alone has none (null).
        const XLineReaderDA* reader;
        /// The marks, in the order of the content filter's evaluation; with namesOnly those found
        /// until the file was decided (none when its raw bytes decided it).
        const XRamLayer* layer;
    };
    using HitCallback = std::function<void(const FileHit&)>;

    XFilter() = default;
    XFilter(const XFileFilter& files, const XContentFilter& content);

    void setContentFilter(const XContentFilter& content);
    void clearContentFilter();
    bool has_content_filter() const { return m_hasContent; }
    const XContentFilter& contentFilter() const { return m_content; }
    /// Without a content filter, or with a valid one.
    bool isValid() const { return !m_hasContent || m_content.isValid(); }
    explicit operator bool() const { return isValid(); }
    /// file: "<file filter>" and, with a content filter, , content: "<content filter>".
    QString toString(bool withSymbols = false) const;

    /// Searches files (already selected, e.g. by XDirInfo with fileFilter) with `threads` workers
    /// (at least 1). Binary files are skipped when skipBinary is set, empty files always. The
    /// counters: files looked at, lines indexed, bytes looked at, marks, files with hits; the
    /// binary files passed over go to *binarySkipped. With cancel set by another thread the search
    /// ends after the files in progress.
    XFindStats search(const std::vector<const QFileInfo*>& files, int threads, const HitCallback& onHit,
                      const std::atomic<bool>* cancel = nullptr, unsigned long long* binarySkipped = nullptr) const;
    /// Walks dir on the calling thread (as XDirInfo::walk_files: links to directories are listed,
    /// never followed; hidden entries with hiddenFiles) while `threads` workers search every file
    /// that fileFilter passes, as search() does. Hits come in no particular order; their index is
    /// the file's place among the files passed on. The walk's paths start with dir made absolute.
    /// The counters and cancel as for search(); progress gets the files passed on so far as total.
    XFindStats searchDir(const QString& dir, int threads, const HitCallback& onHit,
                         const std::atomic<bool>* cancel = nullptr, unsigned long long* binarySkipped = nullptr) const;

    XFileFilter fileFilter;
    std::size_t maxLineLength = 4096;  ///< the readers' piece length
    bool skipBinary = true;
    /// Only whether each file has hits: files with hits are reported, but the counters of lines and
    /// hits count only what deciding them took.
    bool namesOnly = false;
    bool hiddenFiles = false;  ///< searchDir: hidden files and directories too
    /// Called with (files done, files total) by the workers after each file; may be empty.
    std::function<void(std::size_t, std::size_t)> progress;

private:
    XContentFilter m_content;
    bool m_hasContent = false;
};

}  // namespace find
}  // namespace zor
