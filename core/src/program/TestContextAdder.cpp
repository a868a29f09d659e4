#include <zor/TestContextAdder.h>

#include <zor/Logger.h>
#include <zor/TestContextMap.h>

namespace zor {

namespace {
bool add(const QString& key, TestContext* context) { return TestContextMap::getInstance().addTestContext(key, context); }

bool selects(const QString& filter, const QString& key) {
    return filter.isEmpty() || filter == QLatin1String("all") || key.contains(filter, Qt::CaseInsensitive);
}
}  // namespace

TestContextAdder::TestContextAdder(TestContext::PlainFunction f, const QString& key, const QString& description, bool basic)
    : m_key(key), m_added(add(key, new TestContext(f, key, description, basic))) {}
TestContextAdder::TestContextAdder(TestContext::KernelFunction f, const QString& key, const QString& description, bool basic)
    : m_key(key), m_added(add(key, new TestContext(f, key, description, basic))) {}
TestContextAdder::TestContextAdder(TestContext::ArgsFunction f, const QString& key, const QString& description, bool basic)
    : m_key(key), m_added(add(key, new TestContext(f, key, description, basic))) {}
TestContextAdder::TestContextAdder(FullTest* test, const QString& key, const QString& description, bool basic)
    : m_key(key), m_added(add(key, new TestContext(test, key, description, basic))) {}

bool TestContextAdder::hasTest(const QString& key) { return TestContextMap::getInstance().hasTest(key); }

const TestContext& TestContextAdder::getTestContext(const QString& key) {
    const TestContext* c = TestContextMap::getInstance().get(key);
    return c != nullptr ? *c : TestContext::empty;
}

std::vector<TestContext*> TestContextAdder::getTests(const QString& filter) {
    std::vector<TestContext*> selected;
    for (TestContext* c : TestContextMap::getInstance().all()) {
        if (selects(filter, c->key())) selected.push_back(c);
    }
    return selected;
}

std::vector<const TestContext*> TestContextAdder::getTestsByFilter(const QString& filter) {
    std::vector<const TestContext*> v;
    for (TestContext* c : getTests(filter)) v.push_back(c);
    return v;
}

void TestContextAdder::showTests(unsigned int level, const QString& filter) {
    const std::size_t total = TestContextMap::getInstance().size();
    const std::vector<TestContext*> selected = getTests(filter);
    std::size_t basic = 0;
    for (const TestContext* c : selected) {
        if (c->isBasicTest()) ++basic;
        detail::logAt(level, 0, "$  $", c->isBasicTest() ? "basic" : "extra", c->toString());
    }
    detail::logAt(level, 0, "basic tests:$", basic);
    detail::logAt(level, 0, "extra tests:$", selected.size() - basic);
    detail::logAt(level, 0, "all   tests:$", selected.size());
    if (filter.isEmpty() || filter == QLatin1String("all")) detail::logAt(level, 0, "Tests total:$", total);
    else detail::logAt(level, 0, "Tests total:$ of $ - filtered by:'$'", selected.size(), total, filter);
}

void TestContextAdder::deleteAll() { TestContextMap::getInstance().clear(); }

}  // namespace zor
