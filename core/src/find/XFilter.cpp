#include "find/FindText.h"

#include <zor/AbstractMemory.h>
#include <zor/Logger.h>
#include <zor/XDirInfo.h>
#include <zor/XFilter.h>
#include <zor/XLineReaderDA.h>
#include <zor/XThreadPool.h>

#include <QDir>
#include <QFile>
#include <algorithm>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>

namespace zor {
namespace find {

XFilter::XFilter(const XFileFilter& files, const XContentFilter& content) : fileFilter(files) {
    setContentFilter(content);
}

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

// What the workers of one search share.
struct Shared {
    const XFilter& filter;
    const XFilter::HitCallback& onHit;
    const std::atomic<bool>* cancel;
    std::atomic<std::size_t> done{0};
    std::atomic<unsigned long long> binary{0};
    XFindStats stats;

    Shared(const XFilter& f, const XFilter::HitCallback& h, const std::atomic<bool>* c)
        : filter(f), onHit(h), cancel(c) {}
    bool cancelled() const { return cancel != nullptr && cancel->load(); }
};

// One file to search: its path and size (the listing's; -1: ask the file), and the QFileInfo the
// caller gave (null: one is made for the callback).
struct Item {
    std::size_t index = 0;
    QString path;
    long long size = -1;
    const QFileInfo* info = nullptr;
};

// Files up to XFilter::readIntoBufferAtMost bytes are read into the worker's buffer instead of
// being mapped: a mapping (the call, a page fault per page, and an unmapping that must flush the
// other workers' TLBs under the process's mapping lock) costs more than the copy well beyond a few
// pages; on a tree of 130 KB files the mappings took most of the search's time, in the kernel. Only
// larger files, which the buffer does not hold, are mapped. A file that passes the quick test is
// indexed and searched in the buffer.
constexpr long long kBufferAtMost = 64LL << 20;  // a worker's buffer never exceeds this

// The bytes of a small file in a worker's buffer, seen as a memory block by its line reader.
class BufferView : public AbstractMemory {
public:
    void set(const char* p, std::size_t n) {
        m_p = p;
        m_n = n;
    }
    const char* mem() const override { return m_p; }
    char* mem() override { return const_cast<char*>(m_p); }
    std::size_t length() const override { return m_n; }
    XByteArray createByteArray() override { return XByteArray(m_p, static_cast<int>(m_n)); }

private:
    const char* m_p = nullptr;
    std::size_t m_n = 0;
};

// What one worker keeps from file to file: its copy of the content filter, set up for the
// search's mode, and the buffer for small files.
struct Worker {
    explicit Worker(const XFilter& filter)
        : content(filter.contentFilter()),
          readAtMost(std::min(std::max(0LL, filter.readIntoBufferAtMost), kBufferAtMost)),
          buffer(new char[static_cast<std::size_t>(readAtMost) + 1]) {
        content.setFirstResultOnly(filter.namesOnly);
    }
    XContentFilter content;
    long long readAtMost;            // the filter's readIntoBufferAtMost, within 0..kBufferAtMost
    std::unique_ptr<char[]> buffer;  // readAtMost + 1 bytes
    BufferView view;                 // over the buffer's bytes of the current file
};

void report(Shared& sh, const Item& item, const XLineReaderDA* reader, const XRamLayer& layer) {
    sh.stats.files.fetch_add(1);
    sh.stats.hits.fetch_add(static_cast<unsigned long long>(layer.size()));
    if (!sh.onHit) return;
    if (item.info != nullptr) {
        sh.onHit(XFilter::FileHit{item.index, item.info, reader, &layer});
    } else {
        const QFileInfo fi(item.path);
        sh.onHit(XFilter::FileHit{item.index, &fi, reader, &layer});
    }
}

// The quick test on a file's bytes: passed over (binary, or ruled out), a hit already (names only,
// decided on the bytes), or to be indexed and searched.
enum class Quick { OUT, HIT, SEARCH };

Quick quickTest(Shared& sh, Worker& w, const char* p, std::size_t n) {
    if (sh.filter.skipBinary && detail::looksBinary(p, n)) {
        sh.binary.fetch_add(1);
        return Quick::OUT;
    }
    if (!sh.filter.has_content_filter()) return sh.filter.namesOnly ? Quick::HIT : Quick::SEARCH;
    if (sh.filter.namesOnly) {
        switch (w.content.presence(p, n, sh.filter.maxLineLength)) {
            case XContentFilter::Presence::No:
                return Quick::OUT;
            case XContentFilter::Presence::Yes:
                return Quick::HIT;
            default:
                return Quick::SEARCH;
        }
    }
    return w.content.canMatch(p, n, sh.filter.maxLineLength) ? Quick::SEARCH : Quick::OUT;
}

// Reads the file (of at most the worker's readAtMost bytes as listed) into buffer, asking for one byte more
// than its listed size, so that a file that grew since is seen. The bytes read, or -1 when it
// cannot be opened or read.
long long readSmall(const QString& path, long long size, char* buffer) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) return -1;
    return f.read(buffer, size + 1);
}

// Searches one file: passed over when binary (unless binary files are searched) or ruled out by
// the quick test on its bytes, else indexed (in the buffer when it was read, else mapped) and
// evaluated.
void searchFile(Shared& sh, Worker& w, const Item& item) {
    sh.stats.filesTotal.fetch_add(1);
    const long long size = item.size >= 0 ? item.size : item.info->size();
    if (size <= 0) return;  // nothing to map and nothing to find: no log line for them
    bool buffered = false;  // read into the buffer and passed by the quick test
    if (size <= w.readAtMost) {
        const long long got = readSmall(item.path, size, w.buffer.get());
        // A file that cannot be read, or that grew, goes the way of the big ones (the mapping
        // logs why it cannot be read).
        if (got >= 0 && got <= size) {
            const std::size_t n = static_cast<std::size_t>(got);
            sh.stats.bytes.fetch_add(n);
            if (n == 0) return;
            const Quick q = quickTest(sh, w, w.buffer.get(), n);
            w.view.set(w.buffer.get(), n);
            if (q == Quick::OUT) return;
            if (q == Quick::HIT) {
                report(sh, item, nullptr, XRamLayer());
                return;
            }
            buffered = true;
        }
    }
    XLineReaderDA reader;
    if (buffered) {
        // The bytes read are searched where they are: a mapping would cost more than the index.
        reader.setMemory(w.view, sh.filter.maxLineLength, false);
        reader.setSourceName(item.path);
    } else {
        if (!reader.openFile(item.path, sh.filter.maxLineLength, false)) return;
        // The reader took the length from the open file just now: the bytes below it are there.
        const std::size_t n = reader.getMemorySize();
        sh.stats.bytes.fetch_add(n);
        const Quick q = quickTest(sh, w, reader.memBegin(), n);
        if (q == Quick::OUT) return;
        if (q == Quick::HIT) {
            report(sh, item, nullptr, XRamLayer());
            return;
        }
    }
    reader.create_internal_line_infos();
    sh.stats.lines.fetch_add(reader.countLines());
    if (!sh.filter.has_content_filter()) {
        report(sh, item, &reader, XRamLayer());
        return;
    }
    const XRamLayer layer = w.content.find(0, reader);
    if (!layer.isEmpty()) report(sh, item, &reader, layer);
}

// Counts a file as done and reports it; `total` is read after the count (see Queue::pushed).
template <typename Total>
void finished(Shared& sh, const Total& total) {
    const std::size_t d = sh.done.fetch_add(1) + 1;
    if (sh.filter.progress) sh.filter.progress(d, total());
}

// Runs work on `workers` threads (the calling thread when one) and waits for them.
template <typename F>
void runWorkers(int workers, F work) {
    if (workers <= 1) {
        work();
        return;
    }
    XThreadPool pool;
    pool.setMaxThreadCount(workers);
    for (int w = 0; w < workers; ++w) pool.start(work);
    pool.waitForDone();
}

// The files found by the walk, handed to the workers; closed when the walk ends.
class Queue {
public:
    void push(Item&& item) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_items.push_back(std::move(item));
            m_pushed.fetch_add(1, std::memory_order_relaxed);
        }
        m_ready.notify_one();
    }
    void close() {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_closed = true;
        }
        m_ready.notify_all();
    }
    // The next file; false once the queue is closed and empty.
    bool pop(Item& out) {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_ready.wait(lock, [this] { return !m_items.empty() || m_closed; });
        if (m_items.empty()) return false;
        out = std::move(m_items.front());
        m_items.pop_front();
        return true;
    }
    // The files handed over so far. Read after a file was counted as done, it is at least the
    // number done (a total read at pop time could be passed by other workers meanwhile).
    std::size_t pushed() const { return m_pushed.load(std::memory_order_relaxed); }

private:
    std::mutex m_mutex;  // guards the items and the closed flag
    std::condition_variable m_ready;
    std::deque<Item> m_items;
    std::atomic<std::size_t> m_pushed{0};
    bool m_closed = false;
};

bool checkContent(const XFilter& f) {
    if (!f.has_content_filter() || f.contentFilter().isValid()) return true;
    logError("XFilter::search, the content filter is not valid: $", f.contentFilter().toString(false));
    return false;
}

}  // namespace

XFindStats XFilter::search(const std::vector<const QFileInfo*>& files, int threads, const HitCallback& onHit,
                           const std::atomic<bool>* cancel, unsigned long long* binarySkipped) const {
    Shared sh(*this, onHit, cancel);
    if (!checkContent(*this)) return sh.stats;
    int workers = threads < 1 ? 1 : threads;
    if (static_cast<std::size_t>(workers) > files.size()) workers = files.empty() ? 1 : static_cast<int>(files.size());
    std::atomic<std::size_t> next{0};
    const std::size_t total = files.size();
    runWorkers(workers, [&sh, &next, &files, total] {
        Worker w(sh.filter);
        while (!sh.cancelled()) {
            const std::size_t i = next.fetch_add(1);
            if (i >= total) return;
            if (files[i] != nullptr) {
                Item item;
                item.index = i;
                item.info = files[i];
                item.path = files[i]->absoluteFilePath();
                searchFile(sh, w, item);
            }
            finished(sh, [total] { return total; });
        }
    });
    if (binarySkipped != nullptr) *binarySkipped = sh.binary.load();
    return sh.stats;
}

XFindStats XFilter::searchDir(const QString& dir, int threads, const HitCallback& onHit,
                              const std::atomic<bool>* cancel, unsigned long long* binarySkipped) const {
    Shared sh(*this, onHit, cancel);
    if (!checkContent(*this)) return sh.stats;
    const int workers = threads < 1 ? 1 : threads;
    const QString root = dir.isEmpty() ? dir : QDir(dir).absolutePath();
    // Only a filter with conditions needs to see a QFileInfo of each file.
    const bool filtering = fileFilter.has_Pattern() || fileFilter.has_not_Pattern() || fileFilter.has_size_filter() ||
                           fileFilter.has_time_filter() || fileFilter.has_TextFile_extensions();
    Queue queue;
    XThreadPool pool;
    pool.setMaxThreadCount(workers);
    for (int w = 0; w < workers; ++w)
        pool.start([&sh, &queue] {
            Worker w(sh.filter);
            Item item;
            while (queue.pop(item)) {
                if (sh.cancelled()) continue;  // drains what the walk still hands over
                searchFile(sh, w, item);
                finished(sh, [&queue] { return queue.pushed(); });
            }
        });
    std::size_t count = 0;
    XDirInfo::walk_files(root, hiddenFiles, cancel, [&](QString&& path, long long size) {
        if (filtering && !fileFilter.match(QFileInfo(path))) return;
        Item item;
        item.index = count++;
        item.path = std::move(path);
        item.size = size;
        queue.push(std::move(item));
    });
    queue.close();
    pool.waitForDone();
    if (binarySkipped != nullptr) *binarySkipped = sh.binary.load();
    return sh.stats;
}

}  // namespace find
}  // namespace zor
