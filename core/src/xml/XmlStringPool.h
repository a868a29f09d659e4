#pragma once
// The strings a tree builder hands to many nodes, one shared copy each (Qt strings share their
// data): element and attribute names, and values and texts that repeat. Internal to the xml folder.
//
// A load keeps two pools: names (tags and keys, few and always shared) and values (attribute values
// and texts). Each name also keeps the record of how the values that follow it fare in the value
// pool: a key whose first values are nearly all different (ids, stamps, coordinates of a fine grid)
// stops looking its values up, so that a document of unique values pays no more than a hash per
// value of its first thousand. Both pools are bounded: past the bound a string is made on its own.
#include <QString>
#include <cstdint>
#include <cstring>
#include <deque>
#include <vector>

namespace zor {
namespace xml_detail {

// Eight bytes at a time into a 64-bit state, then Murmur3's finaliser, which spreads every input
// bit over the low bits the tables use.
inline std::uint32_t hashUtf16(const QChar* p, std::size_t n) {
    const unsigned char* b = reinterpret_cast<const unsigned char*>(p);
    std::size_t bytes = n * 2;
    std::uint64_t h = 0x9E3779B97F4A7C15ull ^ bytes;
    while (bytes >= 8) {
        std::uint64_t v;
        std::memcpy(&v, b, 8);
        h = (h ^ v) * 0x87C37B91114253D5ull;
        h = (h << 31) | (h >> 33);
        b += 8;
        bytes -= 8;
    }
    if (bytes != 0) {
        std::uint64_t v = 0;
        std::memcpy(&v, b, bytes);
        h = (h ^ v) * 0x87C37B91114253D5ull;
    }
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDull;
    h ^= h >> 33;
    h *= 0xC4CEB9FE1A85EC53ull;
    h ^= h >> 33;
    return static_cast<std::uint32_t>(h);
}

// What the pool knows about how the values that follow a name fare in the value pool.
struct PoolEntry {
    std::uint32_t lookups = 0;
    std::uint32_t found = 0;
    bool share = true;
};

class StringPool {
public:
    struct Hit {
        const QString* text = nullptr;  // valid until the next get
        PoolEntry* entry = nullptr;     // stays where it is while the pool lives
        bool wasThere = false;
    };

    explicit StringPool(std::size_t maxEntries) : m_max(maxEntries) {}

    // The pooled copy of [p, p + n), made when missing; no text when it is missing and the pool
    // is full. A slot holds the string itself, so that a lookup touches the slot and the string's
    // characters and nothing else.
    Hit get(const QChar* p, std::size_t n) {
        const std::uint32_t h = hashUtf16(p, n);
        if (m_slots.empty()) m_slots.resize(64);
        std::size_t mask = m_slots.size() - 1;
        std::size_t i = h & mask;
        for (; !m_slots[i].text.isNull(); i = (i + 1) & mask) {
            const Slot& s = m_slots[i];
            if (s.hash == h && static_cast<std::size_t>(s.text.size()) == n &&
                std::memcmp(s.text.constData(), p, n * sizeof(QChar)) == 0)
                return {&s.text, &m_entries[s.entry], true};
        }
        if (m_entries.size() >= m_max) return {};
        if ((m_entries.size() + 1) * 2 > m_slots.size()) {  // at most half full
            grow();
            mask = m_slots.size() - 1;
            for (i = h & mask; !m_slots[i].text.isNull();) i = (i + 1) & mask;
        }
        Slot& s = m_slots[i];
        // Never null, also for an empty range: a null text marks a free slot.
        s.text = n == 0 ? QString(QLatin1String("")) : QString(p, static_cast<int>(n));
        s.hash = h;
        s.entry = static_cast<std::uint32_t>(m_entries.size());
        m_entries.emplace_back();
        return {&s.text, &m_entries.back(), false};
    }

private:
    struct Slot {
        QString text;
        std::uint32_t hash = 0;
        std::uint32_t entry = 0;
    };

    void grow() {
        std::vector<Slot> old(m_slots.size() * 2);
        old.swap(m_slots);
        const std::size_t mask = m_slots.size() - 1;
        for (Slot& s : old) {
            if (s.text.isNull()) continue;
            std::size_t i = s.hash & mask;
            while (!m_slots[i].text.isNull()) i = (i + 1) & mask;
            m_slots[i] = std::move(s);
        }
    }

    std::vector<Slot> m_slots;
    std::deque<PoolEntry> m_entries;
    std::size_t m_max;
};

}  // namespace xml_detail
}  // namespace zor
