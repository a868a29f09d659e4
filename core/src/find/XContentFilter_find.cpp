// The evaluation of a content filter over the indexed lines of a file: per file, per paragraph
// (the records of one file line) or per sentence, and the regular-expression mode. Units are read
// straight from the mapping; text is decoded only for caseless terms and regular expressions.
#include "find/Evaluate.h"
#include "find/FindText.h"

#include <zor/Logger.h>
#include <zor/XContentFilter.h>
#include <zor/XLineReaderDA.h>

#include <QRegularExpressionMatchIterator>
#include <climits>
#include <unordered_set>

namespace zor {
namespace find {

namespace {

using detail::Needle;

// Lets the helpers below use the protected paragraph gathering.
struct XContentFilterAccess : XContentFilter {
    static std::size_t accumulate(const XLineReaderDA& r, std::size_t i, XLineInfo& out) {
        return accumulate_line_info(r, i, out);
    }
};

struct Marks {
    std::vector<XRam> marks;
    bool hits = false;  // a term under NOT keeps no marks, only whether it hit
};

// Appends the marks of from whose range is not in into yet.
void mergeMarks(std::vector<XRam>& into, std::vector<XRam>&& from) {
    if (from.empty()) return;
    if (into.empty()) {
        into = std::move(from);
        return;
    }
    if (into.size() * from.size() <= 1024) {
        for (const XRam& m : from) {
            bool present = false;
            for (const XRam& o : into)
                if (o.start == m.start && o.end == m.end) {
                    present = true;
                    break;
                }
            if (!present) into.push_back(m);
        }
        return;
    }
    auto key = [](const XRam& m) {
        return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(m.start)) << 32) | static_cast<std::uint32_t>(m.end);
    };
    std::unordered_set<std::uint64_t> seen;
    seen.reserve(into.size() + from.size());
    for (const XRam& m : into) seen.insert(key(m));
    for (const XRam& m : from)
        if (seen.insert(key(m)).second) into.push_back(m);
}

// What the evaluation needs of one file: its bytes, its records and the prepared find texts.
struct FileView {
    const char* p = nullptr;
    std::size_t n = 0;
    bool binary = false;
    const std::vector<XLineInfo>* records = nullptr;
    std::vector<Needle> needles;  // one per symbol (operators carry an unused one)
    const XSymbol* first = nullptr;

    const Needle& needleOf(const XSymbol& s) const { return needles[static_cast<std::size_t>(&s - first)]; }
};

// The hits of a term worth finding in a unit: those that decide it when that is all that counts
// (under NOT, or when only the first result is wanted), else all (up to one past the cap).
std::size_t hitLimit(const XSymbol& s, bool underNot, bool decideOnly) {
    if (underNot || decideOnly) return s.countMinimum > 0 ? s.countMinimum : 1;
    return XContentFilter::maxMarksPerFile + 1;  // one more, so that the cut is seen and logged
}

Marks finish(const XSymbol& s, std::size_t count, std::vector<XRam>&& found, bool underNot) {
    Marks r;
    if (count == 0 || (s.countMinimum > 0 && count < s.countMinimum)) return r;
    r.hits = true;
    if (!underNot) r.marks = std::move(found);
    return r;
}

// What both policies below do alike: their results are marks, merged in order; a NOT over a range
// marks the whole range.
class MarksPolicy {
public:
    using Result = Marks;

    Result empty() const { return Result(); }
    bool nonEmpty(const Result& r) const { return r.hits || !r.marks.empty(); }
    bool hitsUnderNot(const Result& r) const { return nonEmpty(r); }
    void merge(Result& into, Result&& t) const {
        mergeMarks(into.marks, std::move(t.marks));
        into.hits = into.hits || t.hits;
    }

protected:
    static void addNotMark(Result& into, std::int32_t from, std::int32_t to) {
        into.marks.emplace_back(from, to, XRam::CATEGORY_SEARCH_RESULT_NOT);
        into.hits = true;
    }
};

// Terms searched in one unit (a paragraph or a sentence), p[0..n) at file offset start.
class UnitPolicy : public MarksPolicy {
public:
    UnitPolicy(const FileView& file, bool decideOnly) : m_file(file), m_decideOnly(decideOnly) {}

    void setUnit(const char* p, std::size_t n, std::int64_t start) {
        m_p = p;
        m_n = n;
        m_start = start;
        m_decoded = false;
        m_text.clear();
    }

    void addNot(Result& into) const {
        addNotMark(into, static_cast<std::int32_t>(m_start), static_cast<std::int32_t>(m_start + static_cast<std::int64_t>(m_n)));
    }
    Result term(const XSymbol& s, bool underNot) {
        std::vector<XRam> found;
        const std::size_t count =
            detail::searchUnit(m_file.needleOf(s), m_p, m_n, m_start, hitLimit(s, underNot, m_decideOnly), m_text,
                               m_decoded, underNot ? nullptr : &found);
        return finish(s, count, std::move(found), underNot);
    }

private:
    const FileView& m_file;
    bool m_decideOnly;
    const char* m_p = nullptr;
    std::size_t m_n = 0;
    std::int64_t m_start = 0;
    QString m_text;
    bool m_decoded = false;
};

// Terms searched record by record over the whole file; the unit is the file.
class FilePolicy : public MarksPolicy {
public:
    FilePolicy(const FileView& file, bool decideOnly) : m_file(file), m_decideOnly(decideOnly) {}

    void addNot(Result& into) const { addNotMark(into, 0, static_cast<std::int32_t>(m_file.n)); }
    Result term(const XSymbol& s, bool underNot) {
        const Needle& needle = m_file.needleOf(s);
        // countMinimum hits are enough in file scope; under NOT one decides.
        std::size_t limit = s.countMinimum > 0 ? s.countMinimum : hitLimit(s, underNot, m_decideOnly);
        if (limit > XContentFilter::maxMarksPerFile + 1) limit = XContentFilter::maxMarksPerFile + 1;
        std::vector<XRam> found;
        std::vector<XRam>* out = underNot ? nullptr : &found;
        const std::size_t count = (needle.bytewise && !m_file.binary) ? wholeFileBytes(needle, limit, out)
                                                                      : recordByRecord(needle, limit, out);
        return finish(s, count, std::move(found), underNot);
    }

private:
    // One pass of memmem over the mapping; a hit counts when it lies inside one record.
    std::size_t wholeFileBytes(const Needle& needle, std::size_t limit, std::vector<XRam>* out) const {
        const std::vector<XLineInfo>& recs = *m_file.records;
        const char* p = m_file.p;
        const std::size_t n = m_file.n;
        const std::size_t len = needle.exact.size();
        if (len == 0 || needle.neverWord) return 0;
        const bool word = needle.symbol->wholeWord;
        std::size_t count = 0;
        std::size_t ri = 0;
        std::size_t pos = 0;
        while (pos + len <= n) {
            const char* hit = needle.exact.find(p + pos, n - pos);
            if (hit == nullptr) break;
            const std::size_t off = static_cast<std::size_t>(hit - p);
            while (ri < recs.size() && recs[ri].posMemory + recs[ri].lenBytes < off + len) ++ri;
            if (ri == recs.size()) break;
            const XLineInfo& r = recs[ri];
            if (off >= r.posMemory) {
                const char* rp = p + r.posMemory;
                const std::size_t local = off - static_cast<std::size_t>(r.posMemory);
                if (!word || (detail::delimiterBefore(rp, local) && detail::delimiterAfter(rp, r.lenBytes, local + len))) {
                    ++count;
                    if (out != nullptr) out->emplace_back(static_cast<std::int32_t>(off), static_cast<std::int32_t>(off + len));
                    if (count >= limit) break;
                }
            }
            pos = off + 1;
        }
        return count;
    }

    std::size_t recordByRecord(const Needle& needle, std::size_t limit, std::vector<XRam>* out) const {
        std::size_t count = 0;
        QString text;
        for (const XLineInfo& r : *m_file.records) {
            if (r.lenBytes == 0 || r.posMemory + r.lenBytes > m_file.n) continue;
            const char* rp = m_file.p + r.posMemory;
            QByteArray dotted;
            if (m_file.binary) {
                dotted = detail::dottedCopy(rp, r.lenBytes);
                rp = dotted.constData();
            }
            bool decoded = false;
            count += detail::searchUnit(needle, rp, r.lenBytes, static_cast<std::int64_t>(r.posMemory), limit - count, text,
                                        decoded, out);
            if (count >= limit) break;
        }
        return count;
    }

    const FileView& m_file;
    bool m_decideOnly;
};

FileView makeView(const XLineReaderDA& reader, const std::vector<XSymbol>& symbols) {
    FileView v;
    v.p = reader.memBegin();
    v.n = reader.getMemorySize();
    v.binary = reader.isBinaryContent();
    v.records = &reader.lineInfos();
    v.first = symbols.empty() ? nullptr : &symbols.front();
    v.needles.reserve(symbols.size());
    for (const XSymbol& s : symbols) v.needles.emplace_back(s);
    return v;
}

// Adds a unit's marks to the file's layer; false once the layer is full (logged once).
bool addUnitMarks(XRamLayer& layer, const std::vector<XRam>& marks, const XLineReaderDA& reader) {
    for (const XRam& m : marks) {
        if (static_cast<std::size_t>(layer.size()) >= XContentFilter::maxMarksPerFile) {
            logWarning("XContentFilter::find, more than $ marks in '$', the rest is dropped", XContentFilter::maxMarksPerFile,
                       reader.fileName());
            return false;
        }
        layer.add_mark(m);
    }
    return true;
}

// Checks that a reader's bytes can be searched; one log line when not.
bool searchable(const XLineReaderDA& reader) {
    const std::size_t n = reader.getMemorySize();
    if (reader.memBegin() == nullptr || n == 0) return false;
    if (n > static_cast<std::size_t>(INT32_MAX)) {
        logError("XContentFilter::find, '$' has $ bytes, more than marks can address", reader.fileName(), n);
        return false;
    }
    if (!reader.fileStillCovers(n)) {
        logError("XContentFilter::find, '$' became shorter while mapped", reader.fileName());
        return false;
    }
    return true;
}

// The paragraphs (records of one file line) of the reader, each handed to f(pos, len) with its
// bytes; stops when f returns false.
template <typename F>
void forEachParagraph(const XLineReaderDA& reader, F&& f) {
    const std::size_t count = reader.lineInfos().size();
    for (std::size_t i = 0; i < count;) {
        XLineInfo para;
        const std::size_t last = XContentFilterAccess::accumulate(reader, i, para);
        i = last + 1;
        if (para.lenBytes == 0 || para.posMemory + para.lenBytes > reader.getMemorySize()) continue;
        if (!f(para)) return;
    }
}

}  // namespace

std::size_t XContentFilter::accumulate_line_info(const XLineReaderDA& reader, std::size_t lineIndex, XLineInfo& out) {
    const std::vector<XLineInfo>& recs = reader.lineInfos();
    if (lineIndex >= recs.size()) {
        out = XLineInfo();
        return lineIndex;
    }
    out = recs[lineIndex];
    std::size_t last = lineIndex;
    while (last + 1 < recs.size() && recs[last + 1].lineIndex == out.lineIndex) {
        ++last;
        const XLineInfo& r = recs[last];
        const std::uint64_t end = r.posMemory + r.lenBytes;
        const std::uint64_t total = r.posMemory + r.lenTotal;
        out.lenBytes = static_cast<std::uint32_t>(end - out.posMemory);
        out.lenTotal = static_cast<std::uint32_t>(total - out.posMemory);
        out.endsWithLineFeed = r.endsWithLineFeed;
    }
    return last;
}

std::vector<XLineInfo> XContentFilter::create_sentences_from_paragraph(const XLineInfo& paragraph, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::vector<XLineInfo> out;
    std::int32_t k = 0;
    for (const auto& r : detail::sentenceRanges(bytes.constData(), static_cast<std::size_t>(bytes.size()))) {
        const std::uint32_t len = static_cast<std::uint32_t>(r.second - r.first);
        out.emplace_back(paragraph.posMemory + r.first, len, len, paragraph.lineIndex, k++, false);
    }
    return out;
}

XRamLayer XContentFilter::find(unsigned int level, const XLineReaderDA& reader) {
    if (!isValid() || !searchable(reader)) {
        XRamLayer none;
        none.set_binary_file(reader.isBinaryContent());
        return none;
    }
    if (m_regExMode) return rx_find(level, reader);
    if (!reader.isBinaryContent() && !canMatch(reader.memBegin(), reader.getMemorySize(), reader.getMaxLineLength())) {
        XRamLayer none;
        return none;
    }
    if (m_scope == File) return fileScope(reader);

    XRamLayer layer;
    layer.set_binary_file(reader.isBinaryContent());
    const FileView view = makeView(reader, m_symbols);
    UnitPolicy policy(view, m_firstResultOnly);
    detail::Evaluator<UnitPolicy> eval(m_symbols, policy);
    const bool sentences = m_scope == Sentence;
    auto evalUnit = [&](const char* p, std::size_t n, std::int64_t start) {
        if (detail::isBlank(p, n)) return true;
        policy.setUnit(p, n, start);
        m_position = 0;
        const Marks r = eval.run(m_position);
        return addUnitMarks(layer, r.marks, reader) && !(m_firstResultOnly && !layer.isEmpty());
    };
    forEachParagraph(reader, [&](const XLineInfo& para) {
        const char* p = view.p + para.posMemory;
        QByteArray dotted;
        if (view.binary) {
            dotted = detail::dottedCopy(p, para.lenBytes);
            p = dotted.constData();
        }
        const std::int64_t start = static_cast<std::int64_t>(para.posMemory);
        if (!sentences) return evalUnit(p, para.lenBytes, start);
        for (const auto& r : detail::sentenceRanges(p, para.lenBytes))
            if (!evalUnit(p + r.first, r.second - r.first, start + static_cast<std::int64_t>(r.first))) return false;
        return true;
    });
    m_position = 0;
    return layer;
}

XRamLayer XContentFilter::find_in_file(unsigned int level, const XLineReaderDA& reader) {
    Q_UNUSED(level);
    if (!searchable(reader)) {
        XRamLayer none;
        none.set_binary_file(reader.isBinaryContent());
        return none;
    }
    return fileScope(reader);
}

XRamLayer XContentFilter::fileScope(const XLineReaderDA& reader) {
    XRamLayer layer;
    layer.set_binary_file(reader.isBinaryContent());
    const FileView view = makeView(reader, m_symbols);
    FilePolicy policy(view, m_firstResultOnly);
    detail::Evaluator<FilePolicy> eval(m_symbols, policy);
    m_position = 0;
    const Marks r = eval.run(m_position);
    m_position = 0;
    addUnitMarks(layer, r.marks, reader);
    return layer;
}

XRamLayer XContentFilter::find_in_paragraph(unsigned int level, const XLineInfo& unit, const QString& text) {
    Q_UNUSED(level);
    const QByteArray bytes = text.toUtf8();
    FileView view;
    view.first = m_symbols.empty() ? nullptr : &m_symbols.front();
    for (const XSymbol& s : m_symbols) view.needles.emplace_back(s);
    UnitPolicy policy(view, m_firstResultOnly);
    policy.setUnit(bytes.constData(), static_cast<std::size_t>(bytes.size()),
                   static_cast<std::int64_t>(unit.posMemory));
    detail::Evaluator<UnitPolicy> eval(m_symbols, policy);
    m_position = 0;
    Marks r = eval.run(m_position);
    XRamLayer layer;
    for (const XRam& m : r.marks) layer.add_mark(m);
    return layer;
}

namespace {

// The matches of re in one unit as marks; false once the layer is full.
bool regexUnit(const QRegularExpression& re, const char* p, std::size_t n, std::int64_t start, XRamLayer& layer,
               const XLineReaderDA* reader) {
    if (n == 0) return true;
    const QString text = detail::decodeUtf8(p, n);
    detail::ByteCursor cursor(p, n);
    QRegularExpressionMatchIterator it = re.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        const int cs = m.capturedStart(0);
        const int ce = m.capturedEnd(0);
        if (cs < 0 || ce <= cs) continue;  // empty matches mark nothing
        const std::int64_t a = start + static_cast<std::int64_t>(cursor.byteOffset(cs));
        const std::int64_t b = start + static_cast<std::int64_t>(cursor.byteOffset(ce));
        if (static_cast<std::size_t>(layer.size()) >= XContentFilter::maxMarksPerFile) {
            logWarning("XContentFilter::find, more than $ marks in '$', the rest is dropped", XContentFilter::maxMarksPerFile,
                       reader != nullptr ? reader->fileName() : QString());
            return false;
        }
        layer.add_mark(XRam(static_cast<std::int32_t>(a), static_cast<std::int32_t>(b)));
    }
    return true;
}

}  // namespace

XRamLayer XContentFilter::rx_find(unsigned int level, const XLineReaderDA& reader) {
    Q_UNUSED(level);
    XRamLayer layer;
    layer.set_binary_file(reader.isBinaryContent());
    if (!m_regEx.isValid() || !searchable(reader)) return layer;
    const bool sentences = m_scope == Sentence;
    const char* base = reader.memBegin();
    const bool binary = reader.isBinaryContent();
    forEachParagraph(reader, [&](const XLineInfo& para) {
        const char* p = base + para.posMemory;
        QByteArray dotted;
        if (binary) {
            dotted = detail::dottedCopy(p, para.lenBytes);
            p = dotted.constData();
        }
        const std::int64_t start = static_cast<std::int64_t>(para.posMemory);
        if (!sentences)
            return regexUnit(m_regEx, p, para.lenBytes, start, layer, &reader) &&
                   !(m_firstResultOnly && !layer.isEmpty());
        for (const auto& r : detail::sentenceRanges(p, para.lenBytes))
            if (!regexUnit(m_regEx, p + r.first, r.second - r.first, start + static_cast<std::int64_t>(r.first), layer,
                           &reader) ||
                (m_firstResultOnly && !layer.isEmpty()))
                return false;
        return true;
    });
    return layer;
}

XRamLayer XContentFilter::rx_find_in_paragraph(unsigned int level, const XLineInfo& unit, const QString& text) {
    Q_UNUSED(level);
    XRamLayer layer;
    if (!m_regEx.isValid()) return layer;
    const QByteArray bytes = text.toUtf8();
    regexUnit(m_regEx, bytes.constData(), static_cast<std::size_t>(bytes.size()), static_cast<std::int64_t>(unit.posMemory),
              layer, nullptr);
    return layer;
}

XRamLayer XContentFilter::rx_find_in_file(unsigned int level, const XLineReaderDA& reader) {
    Q_UNUSED(level);
    Q_UNUSED(reader);
    logWarning("XContentFilter::find_in_file, actually not supported!");
    return XRamLayer();
}

}  // namespace find
}  // namespace zor
