#pragma once
/// \zclass{CommandLineItem,program} One parsed "--key value" of a command line (the value is empty for a lone key).
#include <zor/zor_export.h>

#include <QString>

namespace zor {

class ZOR_EXPORT CommandLineItem {
public:
    CommandLineItem() = default;
    CommandLineItem(const QString& key, const QString& value) : m_key(key), m_value(value) {}

    const QString& key() const { return m_key; }
    const QString& value() const { return m_value; }
    void setValue(const QString& value) { m_value = value; }

private:
    QString m_key;
    QString m_value;
};

}  // namespace zor
