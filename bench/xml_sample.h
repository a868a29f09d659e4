#pragma once
// Deterministic XML documents for the XML benchmarks, as UTF-8 bytes (built once per process):
//
// - largeDocument(): a realistic configuration-style file of a little over 50 MB: a few thousand
//   top-level sections, each a subtree 4 to 8 levels deep; every element has 3 to 8 attributes
//   (numbers, words, paths, a few non-ASCII letters and "&amp;"), leaves carry text about half of
//   the time, a comment every few dozen elements, two-space indentation. About 400,000 elements.
// - deepDocument(): one chain of 100,000 nested elements, each with one attribute, with a text at
//   the bottom: the case that breaks parsers that recurse per level.
// - smallDocument(): a measurement log of about 55 MB in 1.6 million small elements (a few hundred
//   batches of short records with two or three attributes, a tenth of them with a short text): the
//   case where the cost per element, not per byte, decides a tree's size.
//
// All are well-formed XML, so that every peer accepts them, and use only what the library's
// scanner reads the same way (no CDATA, no quotes inside attribute values). Each comes with its
// own count of elements and attributes, so that a scanner can check what it saw without running
// another one in its process.
#include <QByteArray>
#include <cstdint>
#include <utility>

namespace xmlsample {

// xorshift32: the same sequence on every machine.
class Rng {
public:
    explicit Rng(std::uint32_t seed) : m_x(seed) {}
    std::uint32_t next() {
        m_x ^= m_x << 13;
        m_x ^= m_x >> 17;
        m_x ^= m_x << 5;
        return m_x;
    }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint32_t>(n)); }

private:
    std::uint32_t m_x;
};

namespace detail {

inline const char* const* words() {
    static const char* const w[] = {"alpha",
                                    "bravo",
                                    "charlie",
                                    "delta",
                                    "echo",
                                    "foxtrot",
                                    "golf",
                                    "hotel",
                                    "india",
                                    "juliet",
                                    "kilo",
                                    "lima",
                                    "mike",
                                    "november",
                                    "oscar",
                                    "papa",
                                    "quebec",
                                    "romeo",
                                    "sierra",
                                    "tango",
                                    "uniform",
                                    "victor",
                                    "whisky",
                                    "xray",
                                    "yankee",
                                    "zulu",
                                    "Gr\xC3\xB6\xC3\x9F"
                                    "e",
                                    "caf\xC3\xA9",
                                    "na\xC3\xAFve",
                                    "r&amp;d",
                                    "\xE2\x82\xAC"
                                    "uro",
                                    "\xC3\xA5ngstr\xC3\xB6m"};
    return w;
}
constexpr int kWords = 32;

inline const char* const* elementNames() {
    static const char* const n[] = {"section", "group", "item", "entry", "param", "point", "value", "note"};
    return n;
}

inline const char* const* attributeNames() {
    static const char* const a[] = {"id",     "name",  "type",  "x",    "y",       "width",
                                    "height", "color", "label", "path", "enabled", "scale"};
    return a;
}
constexpr int kAttributeNames = 12;

inline void word(QByteArray& out, Rng& rng) { out += words()[rng.below(kWords)]; }

inline void attributeValue(QByteArray& out, int which, Rng& rng, long long id) {
    switch (which) {
        case 0:
            out += QByteArray::number(id);
            break;
        case 1:
            word(out, rng);
            out += '_';
            out += QByteArray::number(rng.below(1000));
            break;
        case 2:
            word(out, rng);
            break;
        case 3:
        case 4:
        case 5:
        case 6:
            out += QByteArray::number(rng.below(4000) - 1000);
            break;
        case 7:
            out += '#';
            out += QByteArray::number(rng.next() & 0xFFFFFFu, 16).rightJustified(6, '0');
            break;
        case 8:
            word(out, rng);
            out += ' ';
            word(out, rng);
            break;
        case 9:
            out += "/data/";
            word(out, rng);
            out += '/';
            word(out, rng);
            out += ".xml";
            break;
        case 10:
            out += (rng.below(2) != 0) ? "true" : "false";
            break;
        default:
            out += QByteArray::number(rng.below(10000) / 100.0, 'f', 2);
            break;
    }
}

inline void text(QByteArray& out, Rng& rng) {
    const int n = 2 + rng.below(10);
    for (int i = 0; i < n; ++i) {
        if (i != 0) out += ' ';
        word(out, rng);
    }
}

inline void element(QByteArray& out, Rng& rng, int level, int depth, long long& id) {
    out += QByteArray(2 * level, ' ');
    if (id % 37 == 0) {
        out += "<!-- ";
        text(out, rng);
        out += " -->\n";
        out += QByteArray(2 * level, ' ');
    }
    const char* name = elementNames()[level < 8 ? level : 7];
    out += '<';
    out += name;
    const int attributes = 3 + rng.below(6);
    const int first = rng.below(kAttributeNames);
    for (int i = 0; i < attributes; ++i) {
        const int which = (first + i) % kAttributeNames;
        const char quote = (rng.below(8) == 0) ? '\'' : '"';
        out += ' ';
        out += attributeNames()[which];
        out += '=';
        out += quote;
        attributeValue(out, which, rng, id);
        out += quote;
    }
    ++id;
    const int children = level + 1 < depth ? 1 + rng.below(4) : 0;
    if (children == 0) {
        if (rng.below(2) == 0) {
            out += "/>\n";
        } else {
            out += '>';
            text(out, rng);
            out += "</";
            out += name;
            out += ">\n";
        }
        return;
    }
    out += '>';
    if (rng.below(10) == 0) text(out, rng);
    out += '\n';
    for (int i = 0; i < children; ++i) element(out, rng, level + 1, depth, id);
    out += QByteArray(2 * level, ' ');
    out += "</";
    out += name;
    out += ">\n";
}

}  // namespace detail

// A document and what it holds.
struct Sample {
    QByteArray bytes;
    long long elements = 0;
    long long attributes = 0;
};

// Elements are the '<' followed by a letter, attributes the '=' inside start tags; the samples
// hold no '=' outside of them, and no '<' in texts or comments.
inline Sample counted(QByteArray doc) {
    Sample s;
    bool inTag = false;
    for (int i = 0; i < doc.size(); ++i) {
        const char c = doc[i];
        if (c == '<' && i + 1 < doc.size() &&
            ((doc[i + 1] >= 'a' && doc[i + 1] <= 'z') || (doc[i + 1] >= 'A' && doc[i + 1] <= 'Z'))) {
            ++s.elements;
            inTag = true;
        } else if (c == '>') {
            inTag = false;
        } else if (c == '=' && inTag) {
            ++s.attributes;
        }
    }
    s.bytes = std::move(doc);
    return s;
}

inline const Sample& large() {
    static const Sample s = counted([] {
        constexpr int kTarget = 50 * 1024 * 1024 + 1024;
        QByteArray out;
        out.reserve(kTarget + (1 << 20));
        out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- benchmark sample: sections of nested items -->\n";
        out += "<catalog version=\"3\" name=\"sample\">\n";
        Rng rng(0x5EED1234u);
        long long id = 1;
        while (out.size() < kTarget) detail::element(out, rng, 1, 4 + rng.below(5), id);
        out += "</catalog>\n";
        return out;
    }());
    return s;
}

inline const Sample& deep() {
    static const Sample s = counted([] {
        constexpr int kDepth = 100000;
        QByteArray out;
        out += "<?xml version=\"1.0\"?>\n";
        for (int i = 0; i < kDepth; ++i) {
            out += "<d i=\"";
            out += QByteArray::number(i);
            out += "\">";
        }
        out += "bottom";
        for (int i = 0; i < kDepth; ++i) out += "</d>";
        out += '\n';
        return out;
    }());
    return s;
}

inline const Sample& small() {
    static const Sample s = counted([] {
        constexpr int kElements = 1600000;
        static const char* const status[] = {"ok", "ok", "ok", "warn", "fail"};
        QByteArray out;
        out.reserve(56 * 1000 * 1000);
        out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<log unit=\"ms\">\n";
        Rng rng(0x51A11u);
        long long stamp = 1700000000;
        int made = 1;
        while (made < kElements) {
            out += " <batch source=\"sensor_";
            out += QByteArray::number(rng.below(64));
            out += "\">\n";
            ++made;
            for (int i = 0; i < 4000 && made < kElements; ++i, ++made) {
                stamp += 1 + rng.below(9);
                out += "  <m t=\"";
                out += QByteArray::number(stamp);
                out += "\" v=\"";
                out += QByteArray::number(rng.below(2000) / 10.0, 'f', 1);
                out += '"';
                if (rng.below(4) == 0) {
                    out += " q=\"";
                    out += status[rng.below(5)];
                    out += '"';
                }
                if (rng.below(10) == 0) {
                    out += '>';
                    detail::word(out, rng);
                    out += "</m>\n";
                } else {
                    out += "/>\n";
                }
            }
            out += " </batch>\n";
        }
        out += "</log>\n";
        return out;
    }());
    return s;
}

inline const QByteArray& largeDocument() { return large().bytes; }
inline const QByteArray& deepDocument() { return deep().bytes; }
inline const QByteArray& smallDocument() { return small().bytes; }

}  // namespace xmlsample
