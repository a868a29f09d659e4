#pragma once
// find::XFilter: a file filter paired with an optional content filter, and the search of a list of
// files with both: each file is mapped, ruled out by a quick test on its bytes when it cannot
// match, otherwise indexed and evaluated. Files are searched in parallel on a thread pool, each
// thread with its own copy of the content filter.
//
//   XFilter f;
//   f.fileFilter.setPattern("*.txt", false);
//   f.setContentFilter(XContentFilter("error & ~warning", false, XContentFilter::Paragraph));
//   XFindStats st = f.search(files, 2, [](const XFilter::FileHit& hit) { ... });
//
// search() may be called from any thread; the filter itself is not changed by it. The callback
// runs on the worker threads, several at a time: it must synchronise what it shares.
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
    // One searched file with hits (or, without a content filter, every readable file).
    struct FileHit {
        std::size_t index;            // position in the list given to search()
        const QFileInfo* file;
        const XLineReaderDA* reader;  // open and indexed while the callback runs
        const XRamLayer* layer;       // the marks, in the order of the content filter's evaluation
    };
    using HitCallback = std::function<void(const FileHit&)>;

    XFilter() = default;
    XFilter(const XFileFilter& files, const XContentFilter& content);

    void setContentFilter(const XContentFilter& content);
    void clearContentFilter();
    bool has_content_filter() const { return m_hasContent; }
    const XContentFilter& contentFilter() const { return m_content; }
    // Without a content filter, or with a valid one.
    bool isValid() const { return !m_hasContent || m_content.isValid(); }
    explicit operator bool() const { return isValid(); }
    // file: "<file filter>" and, with a content filter, , content: "<content filter>".
    QString toString(bool withSymbols = false) const;

    // Searches files (already selected, e.g. by XDirInfo with fileFilter) with `threads` workers
    // (at least 1). Binary files are skipped when skipBinary is set, empty files always. The
    // counters: files looked at, lines indexed, bytes looked at, marks, files with hits; the
    // binary files passed over go to *binarySkipped. With cancel set by another thread the search
    // ends after the files in progress.
    XFindStats search(const std::vector<const QFileInfo*>& files, int threads, const HitCallback& onHit,
                      const std::atomic<bool>* cancel = nullptr, unsigned long long* binarySkipped = nullptr) const;

    XFileFilter fileFilter;
    std::size_t maxLineLength = 4096;  // the readers' piece length
    bool skipBinary = true;
    // Called with (files done, files total) by the workers after each file; may be empty.
    std::function<void(std::size_t, std::size_t)> progress;

private:
    XContentFilter m_content;
    bool m_hasContent = false;
};

}  // namespace find
}  // namespace zor
