#pragma once
/// \zclass{XFileFilter,io} Selects files by wildcard patterns on the absolute path, negative patterns, a size
/// area, a modification-time area and a set of text extensions. A plain value (copy it freely);
/// match() only reads it, so one filter may serve many threads as long as nobody changes it.
/// \code
///   XFileFilter f;
///   f.setPattern("*.cpp, *.h", false);      // a file must match one of these
///   f.setPattern("*/build/*", true);        // ... and none of these
///   f.sizeArea = XFileFilter::AFTER;  f.size1 = 100;   // bigger than 100 bytes
///   if (f.match(QFileInfo(path))) ...
/// \endcode
/// Wildcards: path and pattern are compared in lower case; '*' stands for any run of characters; a
/// pattern ending in a literal must reach the end of the path, a pattern without '*' matches every
/// path that begins with it. A literal piece matches at its first occurrence after the previous
/// piece, so "*.txt" does not match "/a.txt.d/b.txt". The first piece of a pattern that does not
/// begin with '*' must stand at the start of the path but does not move the search position.
///
/// Text form (toString): "{p1, p2} ~{n1} SIZE:{op ...} TIME:{op ...}", where op is the area's
/// operator text followed by " " and the first bound, or for BETWEEN "<.> >= a & <=b" (size) and
/// "<.> >= a  <= b" (time); an area that is not set shows "NO_AREA".
#include <zor/zor_export.h>

#include <QFileInfo>
#include <QSet>
#include <QString>
#include <vector>

namespace zor {

struct ZOR_EXPORT XFileFilter {
    enum Area : unsigned int { NO_AREA = 0, BEFORE = 1, EQUAL = 2, BETWEEN = 3, AFTER = 4, MARK = 5 };

    static QString area_to_String(unsigned int area);           ///< the name; "UNKNOWN" otherwise
    static QString area_to_String_operator(unsigned int area);  ///< "<", "=", ...; "UNKNOWN" otherwise

    std::vector<QString> patterns;     ///< a file must match one of them (empty: no restriction)
    std::vector<QString> notPatterns;  ///< a file must match none of them
    long long time1 = 0;               ///< modification times, milliseconds since the epoch
    long long time2 = 0;
    Area timeArea = NO_AREA;
    unsigned long long size1 = 0;      ///< sizes in bytes
    unsigned long long size2 = 0;
    Area sizeArea = NO_AREA;
    QSet<QString> textExtensions;      ///< lower case, without the dot; when set only these pass

    /// Splits text at blanks, commas and semicolons and appends the pieces; an empty text changes
    /// nothing, existing patterns are kept.
    void setPattern(const QString& text, bool negative);
    QString pattern(bool negative) const;  ///< the patterns joined by ", "

    /// Size, time, text extension, patterns, negative patterns: the first failing test rejects.
    bool match(const QFileInfo& fi) const;
    /// The lower-case suffix is one of textExtensions (an empty suffix never is).
    bool isTextFile(const QFileInfo& fi) const;
    static bool wildcardMatch(const QString& path, const QString& pattern);

    bool has_Pattern() const { return !patterns.empty(); }
    bool has_not_Pattern() const { return !notPatterns.empty(); }
    bool has_size_filter() const { return sizeArea != NO_AREA; }
    bool has_time_filter() const { return timeArea != NO_AREA; }
    bool has_TextFile_extensions() const { return !textExtensions.isEmpty(); }

    bool is_size_smaller(unsigned long long s) const { return s < size1; }
    bool is_size_equals(unsigned long long s) const { return s == size1; }
    bool is_size_between(unsigned long long s) const { return size1 <= s && s <= size2; }
    bool is_size_bigger(unsigned long long s) const { return s > size2; }
    bool is_time_before(long long t) const { return t < time1; }
    bool is_time_equals(long long t) const { return t == time1; }
    bool is_time_between(long long t) const { return time1 <= t && t <= time2; }
    bool is_time_after(long long t) const { return t > time2; }

    QString toString() const;
};

}  // namespace zor
