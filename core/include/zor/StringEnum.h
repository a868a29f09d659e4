#pragma once
/// \zclass{StringEnum,xml} An enumeration kept as one text, "index,option,option,...": "1,red,green,blue"
/// selects green. A text without a leading number selects nothing (index -1). A value.
#include <zor/zor_export.h>

#include <QString>
#include <vector>

namespace zor {

class ZOR_EXPORT StringEnum {
public:
    StringEnum() = default;
    StringEnum(const QString& text) : m_text(text) {}  ///< NOLINT: a text is an enumeration
    /// The options joined with ',' (no index).
    explicit StringEnum(const std::vector<QString>& options);
    virtual ~StringEnum();
    StringEnum(const StringEnum&) = default;
    StringEnum(StringEnum&&) = default;
    StringEnum& operator=(const StringEnum&) = default;
    StringEnum& operator=(StringEnum&&) = default;

    const QString& text() const { return m_text; }
    void setText(const QString& text) { m_text = text; }

    int index() const;  ///< the first item when it begins with a digit, else -1
    std::vector<QString> getVectorStrings() const;  ///< the options, trimmed, without the index
    QString enumStr() const;  ///< the selected option; empty when the index is out of range
    /// Rewrites the text as i followed by the options; a negative i logs a warning and changes nothing.
    void setIndex(int i);
    bool isEnumString(const QString& s) const { return enumStr() == s; }
    /// Logs "StringEnum, size:$, index:$" and each option as "'$'" at DEBUG.
    void show(unsigned int indent = 0) const;

    bool operator==(const StringEnum& o) const { return m_text == o.m_text; }
    bool operator!=(const StringEnum& o) const { return m_text != o.m_text; }

private:
    QString m_text;
};

}  // namespace zor
