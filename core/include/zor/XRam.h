#pragma once
/// \zclass{find::XRam,find} One mark of a content search, a byte range [start, end) of a file with a category
/// (search result, NOT result, character, word, line, sentence, paragraph), a background colour
/// and an active flag that a viewer uses to step through hits.
///
/// Plain data, copyable; no locks. Offsets are UTF-8 byte offsets into the file, -1 when unset.
#include <zor/zor_export.h>

#include <QString>
#include <cstdint>

namespace zor {
namespace find {

class ZOR_EXPORT XRam {
public:
    static constexpr std::uint32_t COLOR_BG_DEFAULT = 0xFF73D216u;

    static constexpr std::int32_t CATEGORY_SEARCH_RESULT = 10;
    static constexpr std::int32_t CATEGORY_SEARCH_RESULT_NOT = 11;
    static constexpr std::int32_t CATEGORY_CHAR = 20;
    static constexpr std::int32_t CATEGORY_WORD = 30;
    static constexpr std::int32_t CATEGORY_LINE = 40;
    static constexpr std::int32_t CATEGORY_SENTENCE = 45;
    static constexpr std::int32_t CATEGORY_PARAGRAPH = 50;

    XRam() = default;
    XRam(std::int32_t start_, std::int32_t end_, std::int32_t category_ = CATEGORY_SEARCH_RESULT,
         std::uint32_t color_ = COLOR_BG_DEFAULT)
        : start(start_), end(end_), color(color_), category(category_) {}

    std::int32_t len() const { return end - start; }
    bool isValid() const { return start >= 0 && end >= 1; }
    explicit operator bool() const { return isValid(); }
    bool isInRange(std::int64_t p) const { return start <= p && p <= end; }
    bool contains_range(std::int64_t a, std::int64_t b) const { return isInRange(a) && isInRange(b); }
    /// The mark is valid, the line is not empty, and start or end lies within the line's bytes.
    /// Works on any record with posMemory and lenBytes (a line description of the line reader).
    template <typename LineInfo>
    bool intersects(const LineInfo& li) const {
        if (!isValid() || li.lenBytes == 0) return false;
        const std::int64_t from = static_cast<std::int64_t>(li.posMemory);
        const std::int64_t to = from + static_cast<std::int64_t>(li.lenBytes);
        return (start >= from && start <= to) || (end >= from && end <= to);
    }

    /// Equality looks at the range only.
    bool isEquals(const XRam& o) const { return start == o.start && end == o.end; }
    bool operator==(const XRam& o) const { return isEquals(o); }
    bool operator!=(const XRam& o) const { return !isEquals(o); }

    void reset() { start = end = -1; }
    void setInvalid() { reset(); }
    void set_mark_contents(const XRam& o) {
        start = o.start;
        end = o.end;
        color = o.color;
    }

    bool is_category(std::int32_t n) const { return category == n; }
    bool is_search_result() const { return category == CATEGORY_SEARCH_RESULT; }
    bool is_search_result_NOT() const { return category == CATEGORY_SEARCH_RESULT_NOT; }
    bool is_category_char() const { return category == CATEGORY_CHAR; }
    bool is_category_word() const { return category == CATEGORY_WORD; }
    bool is_category_line() const { return category == CATEGORY_LINE; }
    bool is_category_sentence() const { return category == CATEGORY_SENTENCE; }
    bool is_category_paragraph() const { return category == CATEGORY_PARAGRAPH; }

    /// "{  id:<category>, start:<s>, end:<e>, len:<n> }" or "{ id:<category>, status NOT VALID }".
    QString toString() const;
    /// "{ s/e=n }" for a search result, "{ NOT - s/e=n }" otherwise, "{}" when invalid.
    QString asShortForm() const;

    std::int32_t start = -1;
    std::int32_t end = -1;
    std::uint32_t color = COLOR_BG_DEFAULT;
    bool active = false;
    std::int32_t category = CATEGORY_SEARCH_RESULT;
};

}  // namespace find
}  // namespace zor
