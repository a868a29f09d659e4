#pragma once
/// \zclass{XFunctionMapper,xtree} One table of the type supporter, from a type name to the callable that handles
/// that type (writes it, reads it, prints it). The tables are filled once, before any stream uses
/// them, and only read afterwards; reading from several threads is then safe.
#include <QHash>
#include <QString>

namespace zor {

template <typename F>
class XFunctionMapper {
public:
    bool contains(const QString& type) const { return m_functions.contains(type); }
    /// The callable for type, or null when there is none.
    const F* find(const QString& type) const {
        auto it = m_functions.constFind(type);
        return it == m_functions.constEnd() ? nullptr : &it.value();
    }
    void addFunction(const QString& type, F f) { m_functions.insert(type, std::move(f)); }
    int size() const { return m_functions.size(); }
    QStringList types() const { return m_functions.keys(); }

private:
    QHash<QString, F> m_functions;
};

}  // namespace zor
