#include <zor/ModuleTests.h>

#include <zor/Logger.h>

namespace zor {

ModuleTests::ModuleTests(const QString& module, std::initializer_list<TestContextAdder> adders) : m_module(module) {
    for (const TestContextAdder& a : adders) {
        if (a.isAdded()) m_keys << a.key();
    }
}

void ModuleTests::show() const {
    logInfo("module '$', $ tests", m_module, m_keys.size());
    for (const QString& k : m_keys) logInfo("    $", k);
}

}  // namespace zor
