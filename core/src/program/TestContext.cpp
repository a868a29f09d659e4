#include <zor/TestContext.h>

#include <zor/FullTest.h>
#include <zor/Kernel.h>
#include <zor/Logger.h>
#include <zor/ZorErrorCodes.h>
#include <zor/xformat.h>

namespace zor {

const TestContext TestContext::empty;

TestContext::TestContext(PlainFunction f, const QString& key, const QString& description, bool basic)
    : m_plain(f), m_key(key), m_description(description), m_basic(basic) {}
TestContext::TestContext(KernelFunction f, const QString& key, const QString& description, bool basic)
    : m_kernel(f), m_key(key), m_description(description), m_basic(basic) {}
TestContext::TestContext(ArgsFunction f, const QString& key, const QString& description, bool basic)
    : m_args(f), m_key(key), m_description(description), m_basic(basic) {}
TestContext::TestContext(FullTest* test, const QString& key, const QString& description, bool basic)
    : m_full(test), m_key(key), m_description(description), m_basic(basic) {}

TestContext::~TestContext() = default;

TestContext::operator bool() const {
    return m_plain != nullptr || m_kernel != nullptr || m_args != nullptr || m_full != nullptr;
}

int TestContext::exec(Kernel& kernel) const {
    if (m_plain != nullptr) return m_plain();
    if (m_kernel != nullptr) return m_kernel(kernel);
    if (m_args != nullptr) return m_args(Kernel::argc(), Kernel::argv());
    if (m_full != nullptr) {
        int rc = m_full->parseArguments(kernel);
        if (rc != 0) return rc;
        rc = m_full->prepareTest(kernel);
        if (rc == 0) rc = m_full->runTest(kernel);
        const int down = m_full->shutDown(kernel);  // cleans up after a failed preparation too
        return rc != 0 ? rc : down;
    }
    logError("TestContext::exec - no function pointer set !");
    return EXIT_ZOR_MAIN_HELPER;
}

QString TestContext::toString() const { return xformat("$ - $", m_key, m_description); }

}  // namespace zor
