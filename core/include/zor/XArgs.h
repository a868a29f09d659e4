#pragma once
/// \zclass{XArgs,program} A plain map of "--key value" arguments read from one string:
/// \code --name "two words" --flag --n 5 \endcode
/// Characters between double or single quotes do not split (the quotes are dropped); a key whose
/// next word is another key, or the end, has an empty value; a word with no key before it is
/// dropped. A value, not shared between threads while it is being changed.
#include <zor/LogLevel.h>
#include <zor/zor_export.h>

#include <QString>
#include <map>

namespace zor {

class ZOR_EXPORT XArgs {
public:
    XArgs() = default;
    virtual ~XArgs();
    XArgs(const XArgs&) = default;
    XArgs(XArgs&&) = default;
    XArgs& operator=(const XArgs&) = default;
    XArgs& operator=(XArgs&&) = default;

    /// Adds the keys of text (a key given again takes the new value). An unclosed quote or a "--"
    /// without key name gives false and adds nothing.
    bool fromString(const QString& text);

    QString operator[](const QString& key) const;  ///< the value, or empty
    bool hasKey(const QString& key) const { return m_map.count(key) != 0; }
    void setKeyOnly(const QString& key) { m_map[key] = QString(); }
    void setValue(const QString& key, const QString& value) { m_map[key] = value; }
    void clear() { m_map.clear(); }
    std::size_t size() const { return m_map.size(); }
    explicit operator bool() const { return !m_map.empty(); }
    const std::map<QString, QString>& getMap() const { return m_map; }

    /// s with its $(NAME) references taken from the process environment.
    static QString replacedEnvironment(const QString& s);

    /// Logs "XArgs, size:$" and "--$ '$'" per key at the given level.
    void show(unsigned int level = DEBUG) const;
    /// "--key value --key2 \"two words\"": what fromString reads back, unless a value holds both a
    /// double and a single quote.
    QString toString() const;

private:
    std::map<QString, QString> m_map;
};

}  // namespace zor
