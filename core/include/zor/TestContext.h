#pragma once
/// \zclass{TestContext,program} One registered test: a key (its name), a description, whether it is a basic test
/// (rather than an extra one) and the function to run, in one of four forms: no arguments, the
/// kernel, the program's argc and argv, or a FullTest object. Each returns 0 for success or one of
/// the library's exit codes. A context converts to true when a function is set; TestContext::empty
/// is the shared context without one.
///
/// Owns its FullTest. Immutable after construction: exec may run from any thread.
#include <zor/zor_export.h>

#include <QString>
#include <memory>

namespace zor {

class FullTest;
class Kernel;

class ZOR_EXPORT TestContext {
public:
    using PlainFunction = int (*)();
    using KernelFunction = int (*)(Kernel&);
    using ArgsFunction = int (*)(int argc, char** argv);

    static const TestContext empty;

    TestContext() = default;
    TestContext(PlainFunction f, const QString& key, const QString& description, bool basic = true);
    TestContext(KernelFunction f, const QString& key, const QString& description, bool basic = true);
    TestContext(ArgsFunction f, const QString& key, const QString& description, bool basic = true);
    /// Takes ownership of test (null gives a context without a function).
    TestContext(FullTest* test, const QString& key, const QString& description, bool basic = true);
    virtual ~TestContext();
    TestContext(const TestContext&) = delete;
    TestContext& operator=(const TestContext&) = delete;

    explicit operator bool() const;
    const QString& key() const { return m_key; }
    const QString& description() const { return m_description; }
    bool isBasicTest() const { return m_basic; }

    /// Runs the function that is set and gives its result; without one logs
    /// "TestContext::exec - no function pointer set !" and gives 30 (main helper problem).
    int exec(Kernel& kernel) const;
    /// "key - description"
    QString toString() const;

private:
    PlainFunction m_plain = nullptr;
    KernelFunction m_kernel = nullptr;
    ArgsFunction m_args = nullptr;
    std::unique_ptr<FullTest> m_full;
    QString m_key;
    QString m_description;
    bool m_basic = true;
};

}  // namespace zor
