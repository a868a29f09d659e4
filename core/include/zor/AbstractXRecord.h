#pragma once
/// \zclass{AbstractXRecord,xml} The interface of an attribute record, a set of named values kept as text with
/// typed access. XRecord is the map-backed implementation; a subclass that overrides hasAttribute,
/// getString and setString changes the storage of every typed operation at once.
#include <zor/LogLevel.h>
#include <zor/zor_export.h>

#include <QString>
#include <functional>

namespace zor {

class ZOR_EXPORT AbstractXRecord {
public:
    using KeyValueFormatter = std::function<QString(const QString& key, const QString& value)>;
    /// How show operations display one attribute; by default "key: 'value'".
    static KeyValueFormatter kvAsString;

    virtual ~AbstractXRecord();

    virtual void showContents(unsigned int indent, unsigned int level, KeyValueFormatter kvAsString) const = 0;
    virtual QString toString() const = 0;
    virtual QString toStringAttributes() const = 0;
    virtual QString realTypeAsString() const = 0;

    virtual void setBool(const QString& key, bool value) = 0;
    virtual void setString(const QString& key, const QString& value) = 0;
    virtual void setShort(const QString& key, short value) = 0;
    virtual void setInt(const QString& key, int value) = 0;
    virtual void setUInt(const QString& key, unsigned int value) = 0;
    virtual void setLong(const QString& key, long long value) = 0;
    virtual void setULong(const QString& key, unsigned long long value) = 0;
    virtual void setFloat(const QString& key, float value) = 0;
    virtual void setDouble(const QString& key, double value) = 0;

    virtual QString getString(const QString& key, const QString& def) const = 0;
    virtual short getShort(const QString& key, short def) const = 0;
    virtual int getInt(const QString& key, int def) const = 0;
    virtual unsigned int getUInt(const QString& key, unsigned int def) const = 0;
    virtual long long getLong(const QString& key, long long def) const = 0;
    virtual unsigned long long getULong(const QString& key, unsigned long long def) const = 0;
    virtual float getFloat(const QString& key, float def) const = 0;
    virtual double getDouble(const QString& key, double def) const = 0;

    virtual unsigned int countAttributes() const = 0;
    virtual bool hasAttributes() const = 0;
    virtual bool hasAttribute(const QString& key) const = 0;
    virtual bool isString(const QString& key, const QString& value) const = 0;
    virtual bool hasKey(const QString& key) const = 0;

    virtual void setName(const QString& name) = 0;
    virtual bool isName(const QString& name) const = 0;
    virtual QString getName() const = 0;
    virtual bool hasName() const = 0;

    virtual bool isEnabled(bool def) const = 0;
    virtual void setEnabled(bool on) = 0;

    virtual void clear() = 0;
    virtual bool isEmpty() const = 0;
};

}  // namespace zor
