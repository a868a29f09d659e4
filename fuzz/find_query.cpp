// Content queries from arbitrary bytes, parsed and evaluated over a fixed text at every scope (and
// as a regular expression when the first byte says so). Every mark must lie inside the text; the
// quick tests on the raw bytes must agree with find (presence's certain answers exactly, a text
// ruled out has no result in any paragraph or sentence); and find stopped at the first result
// must find one exactly when the full find does.
#include <zor/XContentFilter.h>
#include <zor/XLineInfo.h>
#include <zor/XLineReaderDA.h>
#include <zor/XMem.h>

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <cstdlib>

namespace {

const QByteArray& fixedText() {
    static const QByteArray text(
        "Error: disk full. Warning! retry? error error error\n"
        "\xC3\xA9t\xC3\xA9 \xC3\x89T\xC3\x89 caf\xC3\xA9 (error) \"quoted words\" a|b a&b\n"
        "\n"
        "\xE4\xBD\xA0\xE5\xA5\xBD\xE3\x80\x82" "error\xEF\xBC\x81\xE2\x80\xA6 ok\xE3\x80\x80ok\n"
        "bad \xFF\xFE bytes \xC3( and \xE2\x82 cut error\r\n"
        "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxerrorxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx\n"
        "\xF0\x9F\x98\x80 warning \xE2\x84\xAA kelvin s\xC5\xBF last");
    return text;
}

// Reaches the per-unit evaluation, which runs without the quick test.
class Probe : public zor::find::XContentFilter {
public:
    using XContentFilter::create_sentences_from_paragraph;
    using XContentFilter::find_in_paragraph;
};

void checkMarks(const zor::find::XRamLayer& layer, std::size_t size) {
    for (const zor::find::XRam& m : layer)
        if (m.start < 0 || m.end < m.start || static_cast<std::size_t>(m.end) > size) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0 || size > 4096) return 0;
    const bool regex = (data[0] & 1) != 0;
    const QString query = QString::fromUtf8(reinterpret_cast<const char*>(data + 1), static_cast<int>(size - 1));
    const QByteArray& text = fixedText();
    zor::XMem mem(text);
    zor::XLineReaderDA reader(mem, 32, true);

    Probe f;
    if (!f.createSymbols(query, regex)) return 0;
    const std::size_t n = static_cast<std::size_t>(text.size());
    for (auto scope : {zor::find::XContentFilter::File, zor::find::XContentFilter::Paragraph,
                       zor::find::XContentFilter::Sentence}) {
        f.setScope(scope);
        const zor::find::XRamLayer all = f.find(0, reader);
        checkMarks(all, n);
        using Presence = zor::find::XContentFilter::Presence;
        const Presence p = f.presence(text.constData(), n, 32);
        if ((p == Presence::Yes && all.isEmpty()) || (p == Presence::No && !all.isEmpty())) std::abort();
        Probe first(f);
        first.setFirstResultOnly(true);
        const zor::find::XRamLayer some = first.find(0, reader);
        checkMarks(some, n);
        if (some.isEmpty() != all.isEmpty()) std::abort();
    }
    if (regex) return 0;
    const bool maybe = f.canMatch(text.constData(), static_cast<std::size_t>(text.size()), 32);
    // Each file line as a paragraph, then its sentences, evaluated on their own.
    int start = 0;
    while (start <= text.size()) {
        int end = text.indexOf('\n', start);
        if (end < 0) end = text.size();
        const QByteArray line = text.mid(start, end - start);
        const QString lineText = QString::fromUtf8(line);
        zor::XLineInfo li(static_cast<std::uint64_t>(start), static_cast<std::uint32_t>(line.size()),
                          static_cast<std::uint32_t>(line.size()), 0, -1, true);
        const zor::find::XRamLayer para = f.find_in_paragraph(0, li, lineText);
        if (!maybe && !para.isEmpty() && lineText.toUtf8() == line)
            std::abort();
        for (const zor::XLineInfo& s : Probe::create_sentences_from_paragraph(li, lineText))
            if (s.posMemory < li.posMemory) std::abort();
        start = end + 1;
    }
    return 0;
}
