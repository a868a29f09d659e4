#pragma once
/// \zclass{TestContextAdder,program} Registers a test when it is constructed, so that a static object registers
/// its test at program start:
/// \code static int md5Known() { return MD5::md5("abc") == "900150..." ? 0 : EXIT_ZOR_CHECKSUM; }
///   static zor::TestContextAdder addMd5(&md5Known, "md5.known", "MD5 of a known text"); \endcode
/// The static functions read the registry (TestContextMap). A filter selects the tests whose key
/// contains it, ignoring case; "all" or an empty filter selects every test; results are in key
/// order.
///
/// Thread-safe as TestContextMap is; an adder holds nothing after construction.
#include <zor/LogLevel.h>
#include <zor/TestContext.h>
#include <zor/zor_export.h>

#include <QString>
#include <vector>

namespace zor {

class ZOR_EXPORT TestContextAdder {
public:
    TestContextAdder(TestContext::PlainFunction f, const QString& key, const QString& description, bool basic = true);
    TestContextAdder(TestContext::KernelFunction f, const QString& key, const QString& description, bool basic = true);
    TestContextAdder(TestContext::ArgsFunction f, const QString& key, const QString& description, bool basic = true);
    /// Takes ownership of test.
    TestContextAdder(FullTest* test, const QString& key, const QString& description, bool basic = true);

    /// Whether this adder's test was registered (false for a duplicate key).
    bool isAdded() const { return m_added; }
    const QString& key() const { return m_key; }

    static bool hasTest(const QString& key);
    /// The registered test, or TestContext::empty.
    static const TestContext& getTestContext(const QString& key);
    static std::vector<TestContext*> getTests(const QString& filter);
    static std::vector<const TestContext*> getTestsByFilter(const QString& filter);
    /// Logs at level every selected test ("basic  key - description" or "extra  ..."), then
    /// "basic tests:<n>", "extra tests:<n>", "all   tests:<n>" and "Tests total:<n> of <m> -
    /// filtered by:'<filter>'" (or "Tests total:<n>" without a filter).
    static void showTests(unsigned int level, const QString& filter);
    /// Unregisters and deletes every test.
    static void deleteAll();

private:
    QString m_key;
    bool m_added = false;
};

}  // namespace zor
