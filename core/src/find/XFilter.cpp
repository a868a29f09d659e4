#include "find/FindText.h"

#include <zor/Logger.h>
#include <zor/XFilter.h>
#include <zor/XLineReaderDA.h>
#include <zor/XThreadPool.h>


namespace zor {
namespace find {

XFilter::XFilter(const XFileFilter& files, const XContentFilter& content) : fileFilter(files) { setContentFilter(content); }

void XFilter::setContentFilter(const XContentFilter& content) {
    m_content = content;
    m_hasContent = true;
}

void XFilter::clearContentFilter() {
    m_content = XContentFilter();
    m_hasContent = false;
}

QString XFilter::toString(bool withSymbols) const {
    QString s = QStringLiteral("file: \"") + fileFilter.toString() + QLatin1Char('"');
    if (m_hasContent) s += QStringLiteral(", content: \"") + m_content.toString(withSymbols) + QLatin1Char('"');
    return s;
}

namespace {

struct Shared {
    const std::vector<const QFileInfo*>& files;
    const XFilter& filter;
    const XFilter::HitCallback& onHit;
    const std::atomic<bool>* cancel;
    std::atomic<std::size_t> next{0};
    std::atomic<std::size_t> done{0};
    std::atomic<unsigned long long> binary{0};
    XFindStats stats;
};

// One worker: takes the next file until none is left; its own copy of the content filter.
void work(Shared& sh) {
    XContentFilter content = sh.filter.contentFilter();
    const bool withContent = sh.filter.has_content_filter();
    const std::size_t total = sh.files.size();
    while (true) {
        if (sh.cancel != nullptr && sh.cancel->load()) return;
        const std::size_t i = sh.next.fetch_add(1);
        if (i >= total) return;
        const QFileInfo* fi = sh.files[i];
        if (fi != nullptr) {
            sh.stats.filesTotal.fetch_add(1);
            XLineReaderDA reader;
            // Empty files have nothing to map and nothing to find: no log line for them.
            if (fi->size() > 0 && reader.openFile(fi->absoluteFilePath(), sh.filter.maxLineLength, false)) {
                const std::size_t n = reader.getMemorySize();
                sh.stats.bytes.fetch_add(n);
                // The reader tells binary content once indexed; the same test before that.
                if (!reader.fileStillCovers(n)) {
                    logWarning("XFilter::search, '$' became shorter while mapped", fi->absoluteFilePath());
                } else if (sh.filter.skipBinary && detail::looksBinary(reader.memBegin(), n)) {
                    sh.binary.fetch_add(1);
                } else if (!withContent) {
                    reader.create_internal_line_infos();
                    sh.stats.lines.fetch_add(reader.countLines());
                    sh.stats.files.fetch_add(1);
                    const XRamLayer none;
                    sh.onHit(XFilter::FileHit{i, fi, &reader, &none});
                } else if (content.canMatch(reader.memBegin(), n, sh.filter.maxLineLength)) {
                    reader.create_internal_line_infos();
                    sh.stats.lines.fetch_add(reader.countLines());
                    const XRamLayer layer = content.find(0, reader);
                    if (!layer.isEmpty()) {
                        sh.stats.files.fetch_add(1);
                        sh.stats.hits.fetch_add(static_cast<unsigned long long>(layer.size()));
                        if (sh.onHit) sh.onHit(XFilter::FileHit{i, fi, &reader, &layer});
                    }
                }
            }
        }
        const std::size_t d = sh.done.fetch_add(1) + 1;
        if (sh.filter.progress) sh.filter.progress(d, total);
    }
}

}  // namespace

XFindStats XFilter::search(const std::vector<const QFileInfo*>& files, int threads, const HitCallback& onHit,
                           const std::atomic<bool>* cancel, unsigned long long* binarySkipped) const {
    Shared sh{files, *this, onHit, cancel, {}, {}, {}, {}};
    if (m_hasContent && !m_content.isValid()) {
        logError("XFilter::search, the content filter is not valid: $", m_content.toString(false));
        return sh.stats;
    }
    int workers = threads < 1 ? 1 : threads;
    if (static_cast<std::size_t>(workers) > files.size()) workers = files.empty() ? 1 : static_cast<int>(files.size());
    if (workers == 1) {
        work(sh);
    } else {
        XThreadPool pool;
        pool.setMaxThreadCount(workers);
        for (int w = 0; w < workers; ++w) pool.start([&sh] { work(sh); });
        pool.waitForDone();
    }
    if (binarySkipped != nullptr) *binarySkipped = sh.binary.load();
    return sh.stats;
}

}  // namespace find
}  // namespace zor
