#pragma once
/// \zclass{ModuleTests,program} The tests of one module as a list of adders, built in one place:
/// \code static zor::ModuleTests xmlTests(QStringLiteral("xml"), {
///       zor::TestContextAdder(&parseSample, "xml.parse", "parses the sample"), ... }); \endcode
/// Registration happens as each adder is constructed; the list keeps their keys for show().
#include <zor/TestContextAdder.h>
#include <zor/zor_export.h>

#include <QString>
#include <QStringList>
#include <initializer_list>

namespace zor {

class ZOR_EXPORT ModuleTests {
public:
    ModuleTests(const QString& module, std::initializer_list<TestContextAdder> adders);

    const QString& module() const { return m_module; }
    /// The keys of the adders whose tests were registered.
    const QStringList& keys() const { return m_keys; }
    std::size_t size() const { return static_cast<std::size_t>(m_keys.size()); }
    /// Logs "module '<name>', <n> tests" and one line per key at INFO.
    void show() const;

private:
    QString m_module;
    QStringList m_keys;
};

}  // namespace zor
