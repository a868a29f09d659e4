#pragma once
/// \zclass{NameAble,xtree} A small base that gives an object a name and a library type text, for log lines that
/// say which object (for example which type supporter) spoke. A plain value.
#include <zor/zor_export.h>

#include <QString>

namespace zor {

class ZOR_EXPORT NameAble {
public:
    explicit NameAble(const QString& name = QString()) : m_name(name) {}
    virtual ~NameAble();

    virtual QString toString() const { return m_name; }  ///< the name
    virtual QString zorType() const;                      ///< "zor::<class>", overridden by users
    const QString& name() const { return m_name; }
    void setName(const QString& name) { m_name = name; }

private:
    QString m_name;
};

}  // namespace zor
