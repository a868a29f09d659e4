#include <zor/Logger.h>
#include <zor/XRamLayer.h>

#include <algorithm>
#include <unordered_set>

namespace zor {
namespace find {

namespace {

std::uint64_t rangeKey(const XRam& m) {
    return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(m.start)) << 32) |
           static_cast<std::uint32_t>(m.end);
}

}  // namespace

void XRamLayer::set_color_background(std::uint32_t c) {
    for (XRam& m : m_marks) m.color = c;
}

void XRamLayer::remove_mark(std::int32_t category) {
    auto it = std::find_if(m_marks.begin(), m_marks.end(), [category](const XRam& m) { return m.category == category; });
    if (it != m_marks.end()) m_marks.erase(it);
}

void XRamLayer::merge_ramLayer(const XRamLayer& other) {
    if (other.m_marks.empty()) return;
    if (m_marks.empty()) {
        // Even the first merge drops duplicates inside other.
        std::unordered_set<std::uint64_t> seen;
        seen.reserve(other.m_marks.size());
        for (const XRam& m : other.m_marks)
            if (seen.insert(rangeKey(m)).second) m_marks.push_back(m);
        return;
    }
    // A hash of the ranges present keeps merging linear: terms with many hits are common.
    std::unordered_set<std::uint64_t> seen;
    seen.reserve(m_marks.size() + other.m_marks.size());
    for (const XRam& m : m_marks) seen.insert(rangeKey(m));
    for (const XRam& m : other.m_marks)
        if (seen.insert(rangeKey(m)).second) m_marks.push_back(m);
}

void XRamLayer::add_ram_layer(const XRamLayer& other) {
    m_marks.insert(m_marks.end(), other.m_marks.begin(), other.m_marks.end());
}

void XRamLayer::adapt_layers_order() {
    std::sort(m_marks.begin(), m_marks.end(), [](const XRam& a, const XRam& b) { return a.category > b.category; });
}

const XRam* XRamLayer::mark_by_category(std::int32_t category) const {
    for (const XRam& m : m_marks)
        if (m.category == category) return &m;
    return nullptr;
}

XRam* XRamLayer::mark_by_category(std::int32_t category) {
    return const_cast<XRam*>(static_cast<const XRamLayer*>(this)->mark_by_category(category));
}

int XRamLayer::index_mark_from_position(std::int64_t pos) const {
    for (std::size_t i = 0; i < m_marks.size(); ++i)
        if (m_marks[i].start <= pos && pos <= m_marks[i].end) return static_cast<int>(i);
    return -1;
}

XRam* XRamLayer::mark_from_position(std::int64_t pos) {
    const int i = index_mark_from_position(pos);
    return i < 0 ? nullptr : &m_marks[static_cast<std::size_t>(i)];
}

XRam& XRamLayer::get_mark_paragraph() {
    if (XRam* m = mark_by_category(XRam::CATEGORY_PARAGRAPH)) return *m;
    logError("XRamLayer::get_mark_paragraph, NOT VALID");
    // Handed out when there is no paragraph mark; reset so that a caller's change does not stick.
    static thread_local XRam invalid;
    invalid = XRam();
    return invalid;
}

const XRam* XRamLayer::active_mark() const {
    for (const XRam& m : m_marks)
        if (m.active) return &m;
    return nullptr;
}

int XRamLayer::active_mark_index() const {
    for (std::size_t i = 0; i < m_marks.size(); ++i)
        if (m_marks[i].active) return static_cast<int>(i);
    return -1;
}

void XRamLayer::set_active_mark_first() {
    if (m_marks.empty()) {
        logError("XRamLayer::set_active_mark_first, arMarkRam.size() == 0");
        return;
    }
    deactivateAll();
    m_marks.front().active = true;
}

void XRamLayer::set_active_mark_last() {
    if (m_marks.empty()) {
        logError("XRamLayer::set_active_mark_last, arMarkRam.size() == 0");
        return;
    }
    deactivateAll();
    m_marks.back().active = true;
}

void XRamLayer::set_active_mark_index(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= m_marks.size()) {
        logError("XRamLayer::set_active_mark_index, index >= arMarkRam.size, $ > $", index, m_marks.size());
        return;
    }
    deactivateAll();
    m_marks[static_cast<std::size_t>(index)].active = true;
}

void XRamLayer::move_active_mark_index(bool backward) {
    const int i = active_mark_index();
    if (i < 0) return;
    int next = backward ? i - 1 : i + 1;
    if (next < 0) next = 0;
    if (next >= size()) next = size() - 1;
    m_marks[static_cast<std::size_t>(i)].active = false;
    m_marks[static_cast<std::size_t>(next)].active = true;
}

void XRamLayer::deactivateAll() {
    for (XRam& m : m_marks) m.active = false;
}

void XRamLayer::clear_active_mark() {
    for (XRam& m : m_marks)
        if (m.active) {
            m.active = false;
            return;
        }
}

QString XRamLayer::toString() const { return xformat("id:$, size():$", m_id, m_marks.size()); }

void XRamLayer::showInfo(unsigned int level, bool details) const {
    logDebugSpace(level, "XRamLayer:$", toString());
    for (std::size_t i = 0; i < m_marks.size(); ++i) {
        if (details) logDebugSpace(level + 2, "[$] = $ <<<$>>>", i, m_marks[i].toString(), m_marks[i].asShortForm());
        else logDebugSpace(level + 2, "[$] = $", i, m_marks[i].toString());
    }
}

}  // namespace find
}  // namespace zor
