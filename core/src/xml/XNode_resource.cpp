// Writing a tree as XML text (to a string, UTF-8 or Latin-1 bytes, a memory block or a file) and
// the file paths kept relative to the tree's own file. By default the writer escapes nothing, as the loader decodes
// nothing; what the loader could not read back is reported once per attribute or text instead of
// being changed. In standard mode (UTF-8 output only) it escapes the five markup characters.
#include <zor/FileTools.h>
#include <zor/FileWriter.h>
#include <zor/Logger.h>
#include <zor/XMem.h>
#include <zor/XNode.h>
#include <zor/XStringStream.h>

#include <QFileInfo>
#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zor {

namespace {

// Keys and values together, after which further attributes go on a new line.
constexpr int kLineBreakAfter = 141;
// Indentation stops growing after 32 levels: the text of a very deep tree stays linear in its size
// (the loader ignores the blanks either way).
constexpr int kMaxIndent = 128;

// The writer's output as UTF-16 text (allAsString and the string forms).
class TextSink {
public:
    explicit TextSink(QString& out) : m_out(out) {}
    bool standard() const { return false; }
    void text(const QString& s) { m_out += s; }
    void content(const QString& s) { m_out += s; }
    void value(const QString& s, bool& unreadable) {
        m_out += s;
        unreadable = false;
        for (const QChar c : s)
            if (c == QLatin1Char('"') || c == QLatin1Char('\'') || c == QLatin1Char('>')) unreadable = true;
    }
    void ascii(const char* s, int n) { m_out += QLatin1String(s, n); }
    void ascii(char c) { m_out += QLatin1Char(c); }
    void spaces(int n) {
        const int at = m_out.size();
        m_out.resize(at + n);
        QChar* d = m_out.data() + at;
        for (int i = 0; i < n; ++i) d[i] = QLatin1Char(' ');
    }

private:
    QString& m_out;
};

// The writer's output as UTF-8 bytes, encoded on the way (files and saveNodeToUtf8): no whole
// UTF-16 text is made first. The bytes grow in steps and are cut to their length at the end.
class Utf8Sink {
public:
    Utf8Sink(QByteArray& out, bool standard) : m_out(out), m_len(out.size()), m_standard(standard) {}
    // Values and texts with the five markup characters as entities.
    bool standard() const { return m_standard; }
    ~Utf8Sink() {
        m_out.resize(m_len);
        m_out.squeeze();
    }
    Utf8Sink(const Utf8Sink&) = delete;
    Utf8Sink& operator=(const Utf8Sink&) = delete;

    // Names as they are; texts and values escaped in standard mode.
    void text(const QString& s) { encode<false>(s, nullptr); }
    void content(const QString& s) { m_standard ? encode<true>(s, nullptr) : encode<false>(s, nullptr); }
    // Also tells whether the value holds a quote of either kind or a '>' (written as it is).
    void value(const QString& s, bool& unreadable) {
        m_standard ? encode<true>(s, &unreadable) : encode<false>(s, &unreadable);
    }
    void ascii(const char* s, int n) {
        std::memcpy(room(n), s, static_cast<std::size_t>(n));
        m_len += n;
    }
    void ascii(char c) {
        *room(1) = c;
        ++m_len;
    }
    void spaces(int n) {
        std::memset(room(n), ' ', static_cast<std::size_t>(n));
        m_len += n;
    }

private:
    // One copy of the loop per mode, inlined where it is called: most texts are a few characters
    // long, where a call would cost as much as the copying.
    template <bool escape>
    Q_ALWAYS_INLINE void encode(const QString& s, bool* unreadable) {
        const int n = s.size();
        // A UTF-16 unit never takes more than three bytes, or six as an entity.
        char* w = room((escape ? 6 : 3) * n);
        const ushort* p = reinterpret_cast<const ushort*>(s.constData());
        const ushort* const end = p + n;
        bool marks = false;
        while (p < end) {
#if defined(__SSE2__)
            // Eight, then four ASCII units at a time: the common case, also for short texts.
            const __m128i high = _mm_set1_epi16(static_cast<short>(0xFF80));
            if (end - p >= 8) {
                const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
                if (_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(v, high), _mm_setzero_si128())) == 0xFFFF &&
                    !(escape && hasMarkup(v, 0xFFFF))) {
                    if (unreadable != nullptr) marks = marks || hasMark(v, 0xFFFF);
                    _mm_storel_epi64(reinterpret_cast<__m128i*>(w), _mm_packus_epi16(v, v));
                    w += 8;
                    p += 8;
                    continue;
                }
            }
            if (end - p >= 4) {
                const __m128i v = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
                if ((_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(v, high), _mm_setzero_si128())) & 0xFF) == 0xFF &&
                    !(escape && hasMarkup(v, 0xFF))) {
                    if (unreadable != nullptr) marks = marks || hasMark(v, 0xFF);
                    const int four = _mm_cvtsi128_si32(_mm_packus_epi16(v, v));
                    std::memcpy(w, &four, 4);
                    w += 4;
                    p += 4;
                    continue;
                }
            }
#endif
            const ushort c = *p++;
            if (escape && (c == '&' || c == '<' || c == '>' || c == '"' || c == '\'')) {
                const char* entity = c == '&'   ? "&amp;"
                                     : c == '<' ? "&lt;"
                                     : c == '>' ? "&gt;"
                                     : c == '"' ? "&quot;"
                                                : "&apos;";
                const std::size_t len = std::strlen(entity);
                std::memcpy(w, entity, len);
                w += len;
            } else if (c < 0x80) {
                marks = marks || c == '"' || c == '\'' || c == '>';
                *w++ = static_cast<char>(c);
            } else if (c < 0x800) {
                *w++ = static_cast<char>(0xC0 | (c >> 6));
                *w++ = static_cast<char>(0x80 | (c & 0x3F));
            } else if (QChar::isSurrogate(c)) {
                // A pair gives one four-byte sequence; a lone half gives '?', as QString::toUtf8 does.
                if (QChar::isHighSurrogate(c) && p < end && QChar::isLowSurrogate(*p)) {
                    const uint u = QChar::surrogateToUcs4(c, *p++);
                    *w++ = static_cast<char>(0xF0 | (u >> 18));
                    *w++ = static_cast<char>(0x80 | ((u >> 12) & 0x3F));
                    *w++ = static_cast<char>(0x80 | ((u >> 6) & 0x3F));
                    *w++ = static_cast<char>(0x80 | (u & 0x3F));
                } else {
                    *w++ = '?';
                }
            } else {
                *w++ = static_cast<char>(0xE0 | (c >> 12));
                *w++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
                *w++ = static_cast<char>(0x80 | (c & 0x3F));
            }
        }
        if (unreadable != nullptr) *unreadable = marks && !escape;
        m_len = static_cast<int>(w - m_out.data());
    }

#if defined(__SSE2__)
    // A quote of either kind or a '>' among the units of v that `mask` covers (two bits a unit).
    static bool hasMark(__m128i v, int mask) {
        const __m128i hit = _mm_or_si128(
            _mm_cmpeq_epi16(v, _mm_set1_epi16('"')),
            _mm_or_si128(_mm_cmpeq_epi16(v, _mm_set1_epi16('\'')), _mm_cmpeq_epi16(v, _mm_set1_epi16('>'))));
        return (_mm_movemask_epi8(hit) & mask) != 0;
    }
    // Any of the five characters that standard mode escapes.
    static bool hasMarkup(__m128i v, int mask) {
        const __m128i hit = _mm_or_si128(
            _mm_or_si128(_mm_cmpeq_epi16(v, _mm_set1_epi16('&')), _mm_cmpeq_epi16(v, _mm_set1_epi16('<'))),
            _mm_or_si128(
                _mm_cmpeq_epi16(v, _mm_set1_epi16('>')),
                _mm_or_si128(_mm_cmpeq_epi16(v, _mm_set1_epi16('"')), _mm_cmpeq_epi16(v, _mm_set1_epi16('\'')))));
        return (_mm_movemask_epi8(hit) & mask) != 0;
    }
#endif

    // Where the next n bytes go.
    char* room(int n) {
        if (m_out.size() - m_len < n) m_out.resize(std::max(m_len + n, m_out.size() < 4096 ? 4096 : m_out.size() * 2));
        return m_out.data() + m_len;
    }

    QByteArray& m_out;
    int m_len;
    bool m_standard;
};

template <typename Sink>
void appendSpaces(Sink& out, int n) {
    n = std::min(n, kMaxIndent);
    if (n > 0) out.spaces(n);
}

// A quote of either kind ends a value when it is read back, and a '>' ends the whole tag.
void warnUnreadable(const XNode& n, const QString& key, const QString& value) {
    for (const QChar c : value) {
        if (c == QLatin1Char('"') || c == QLatin1Char('\'') || c == QLatin1Char('>')) {
            logWarning("XNode::saveNode, <$> attribute '$' holds a '$' and cannot be read back as written", n.getType(),
                       key, c);
            return;
        }
    }
}

template <typename Sink>
void openTag(Sink& out, const XNode& n, int indent) {
    appendSpaces(out, indent);
    out.ascii('<');
    out.text(n.getType());
    if (!n.hasAttributes()) return;
    out.ascii(' ');
    const auto& attrs = n.getAttributes();
    int running = 0;
    std::size_t left = attrs.size();
    for (const auto& kv : attrs) {
        out.text(kv.first);
        out.ascii("=\"", 2);
        bool unreadable = false;
        out.value(kv.second, unreadable);
        if (unreadable) warnUnreadable(n, kv.first, kv.second);
        out.ascii("\" ", 2);
        running += kv.first.size() + kv.second.size();
        if (--left != 0 && running >= kLineBreakAfter) {
            out.ascii('\n');
            appendSpaces(out, indent + 8);
            running = 0;
        }
    }
}

template <typename Sink>
void endTag(Sink& out, const XNode& n) {
    out.ascii("</", 2);
    out.text(n.getType());
    out.ascii('>');
}

template <typename Sink>
void writeText(Sink& out, const XNode& n) {
    if (!out.standard() && n.getText().contains(QLatin1Char('<')))
        logWarning("XNode::saveNode, <$> text holds a '<' and cannot be read back as written", n.getType());
    out.content(n.getText());
}

// The whole subtree, pre-order with an explicit stack; an entry with close set writes the end tag
// of a node whose children are done.
template <typename Sink>
void writeTree(Sink& out, const XNode& node, int indent) {
    struct Step {
        const XNode* node;
        int indent;
        bool close;
    };
    std::vector<Step> todo{{&node, indent, false}};
    while (!todo.empty()) {
        const Step s = todo.back();
        todo.pop_back();
        const XNode& n = *s.node;
        if (s.close) {
            appendSpaces(out, s.indent);
            endTag(out, n);
            out.ascii('\n');
            continue;
        }
        openTag(out, n, s.indent);
        if (!n.hasChildren()) {
            if (n.hasText()) {
                out.ascii('>');
                writeText(out, n);
                endTag(out, n);
            } else if (XNode::atomicWriteFullEmptyTags && !n.hasAttributes()) {
                out.ascii('>');
                endTag(out, n);
            } else {
                out.ascii("/>\n", 3);
            }
            continue;
        }
        out.ascii(">\n", 2);
        if (n.hasText()) writeText(out, n);
        todo.push_back({&n, s.indent, true});
        const auto& kids = n.children();
        for (auto it = kids.rbegin(); it != kids.rend(); ++it) todo.push_back({*it, s.indent + 4, false});
    }
}

void writeTree(QString& out, const XNode& node, int indent) {
    TextSink sink(out);
    writeTree(sink, node, indent);
}

}  // namespace

void XNode::appendToStream(XStringStream& out, const XNode& node, int indent) {
    QString text;
    writeTree(text, node, indent);
    out << text;
}

QString XNode::allAsString(unsigned int indent) const {
    QString text;
    writeTree(text, *this, static_cast<int>(indent));
    return text;
}

QString XNode::saveNodeToString(const XNode& node, const QString&) { return node.allAsString(0); }

void XNode::saveNodeToQByteArray(const XNode& node, QByteArray& out) { out += node.allAsString(0).toLatin1(); }

void XNode::saveNodeToUtf8(const XNode& node, QByteArray& out, bool standard) {
    Utf8Sink sink(out, standard);
    writeTree(sink, node, 0);
}

void XNode::saveNodeToXMem(const XNode& node, XMem& mem, unsigned int size) {
    const QString text = node.allAsString(0);
    if (size != 0 && size > static_cast<unsigned int>(text.size())) {
        const QByteArray bytes = text.toLatin1();
        if (mem.reAlloc(size, 0)) std::memcpy(mem.mem(), bytes.constData(), static_cast<std::size_t>(bytes.size()));
    } else {
        mem.setString(text);
    }
}

bool XNode::saveNodeToXml(const QString& path, const QString& comment, bool standard) const {
    if (atomicFlagDebug) logDebug("XNode::saveNodeToXml, path '$'", path);
    // Made absolute first: the directory maker needs a separator to find the parent directories.
    const QString file = path.isEmpty() ? path : QFileInfo(path).absoluteFilePath();
    if (!mkDirPath(file, false)) {
        logError("XNode::saveNodeToXml, cannot mkDirPath path for file '$'", path);
        return false;
    }
    QByteArray bytes("<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n");
    if (!comment.isEmpty()) bytes += "<!--\n" + comment.toUtf8() + "\n-->\n\n";
    saveNodeToUtf8(*this, bytes, standard);
    FileWriter w;
    if (!w.open(file)) {
        logError("XNode::saveNodeToXml, cannot write file '$'", path);
        return false;
    }
    const bool ok = w.write(bytes) == static_cast<std::size_t>(bytes.size()) && w.flushAndClose();
    if (!ok) logError("XNode::saveNodeToXml, cannot write file '$'", path);
    return ok;
}

QString XNode::pathResource(const QString& key, const QString& def) const {
    const QString stored = getString(key, QString());
    if (stored.isEmpty()) return def;
    const QString abs = QDir::cleanPath(getDir().absoluteFilePath(stored));
    return QFileInfo::exists(abs) || def.isEmpty() ? abs : def;
}

void XNode::setPathResource(const QString& key, const QString& path, bool force) {
    const QString rel = getDir().relativeFilePath(path);
    if (rel.contains(QLatin1String("..")) && !force) return;
    setString(key, rel);
}

}  // namespace zor
