#pragma once
/// \zclass{find::XRamLayer,find} The marks of one file (or one view) in insertion order, with a layer id, an
/// enabled flag, a binary-file flag and at most one active mark that a viewer steps through.
///
/// A plain value (copyable, movable); no locks: one thread at a time. Pointers returned by
/// mark_by_category / mark_from_position / active_mark stay valid until the marks change.
#include <zor/XRam.h>
#include <zor/zor_export.h>

#include <QString>
#include <cstdint>
#include <vector>

namespace zor {
namespace find {

class ZOR_EXPORT XRamLayer {
public:
    using const_iterator = std::vector<XRam>::const_iterator;
    using iterator = std::vector<XRam>::iterator;

    XRamLayer() = default;
    explicit XRamLayer(std::uint32_t id) : m_id(id) {}

    std::uint32_t id_layer() const { return m_id; }
    void set_id_layer(std::uint32_t id) { m_id = id; }
    bool is_id_layer(std::uint32_t id) const { return m_id == id; }
    bool is_enabled() const { return m_enabled; }
    void set_enabled(bool on) { m_enabled = on; }
    bool is_binary_file() const { return m_binaryFile; }
    void set_binary_file(bool on) { m_binaryFile = on; }

    int size() const { return static_cast<int>(m_marks.size()); }
    bool isEmpty() const { return m_marks.empty(); }
    bool isValid() const { return !m_marks.empty(); }
    explicit operator bool() const { return isValid(); }
    const std::vector<XRam>& marks() const { return m_marks; }
    const XRam& at(int i) const { return m_marks[static_cast<std::size_t>(i)]; }

    std::uint32_t color_background() const { return m_marks.empty() ? XRam::COLOR_BG_DEFAULT : m_marks.front().color; }
    void set_color_background(std::uint32_t c);  ///< every mark takes the colour

    void add_mark(const XRam& mark) { m_marks.push_back(mark); }
    void remove_mark(std::int32_t category);  ///< the first mark of that category
    void clear() { m_marks.clear(); }
    /// Appends the marks of other whose range is not present yet.
    void merge_ramLayer(const XRamLayer& other);
    /// Appends every mark of other.
    void add_ram_layer(const XRamLayer& other);
    /// Orders the marks by category, the largest first.
    void adapt_layers_order();

    bool contains_mark(std::int32_t category) const { return mark_by_category(category) != nullptr; }
    bool contains_mark_line() const { return contains_mark(XRam::CATEGORY_LINE); }
    bool contains_mark_paragraph() const { return contains_mark(XRam::CATEGORY_PARAGRAPH); }
    const XRam* mark_by_category(std::int32_t category) const;
    XRam* mark_by_category(std::int32_t category);
    XRam* mark_from_position(std::int64_t pos);
    int index_mark_from_position(std::int64_t pos) const;  ///< first mark with start <= pos <= end, else -1
    /// The first paragraph mark; without one an error line and a shared invalid mark (which a
    /// caller must not change).
    XRam& get_mark_paragraph();

    const XRam* active_mark() const;
    int active_mark_index() const;
    bool has_active_mark_index() const { return active_mark_index() >= 0; }
    void set_active_mark_first();
    void set_active_mark_last();
    void set_active_mark_index(int index);
    /// Moves the active mark one step (no wrapping); nothing without an active mark.
    void move_active_mark_index(bool backward);
    void clear_active_mark();

    // "id:<id>, size():<n>"
    QString toString() const;
    /// Logs "XRamLayer:<toString>" and one line per mark ("[i] = mark", with details the short form
    /// as "[i] = mark <<<short>>>"), indented by level.
    void showInfo(unsigned int level, bool details) const;

    const_iterator begin() const { return m_marks.begin(); }
    const_iterator end() const { return m_marks.end(); }
    iterator begin() { return m_marks.begin(); }
    iterator end() { return m_marks.end(); }

private:
    void deactivateAll();

    std::vector<XRam> m_marks;
    std::uint32_t m_id = 0;
    bool m_enabled = true;
    bool m_binaryFile = false;
};

}  // namespace find
}  // namespace zor
