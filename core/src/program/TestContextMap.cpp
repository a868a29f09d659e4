#include <zor/TestContextMap.h>

#include <zor/Logger.h>
#include <zor/TestContext.h>
#include <zor/xformat.h>

#include <atomic>
#include <thread>

namespace zor {

namespace {
std::atomic<long long> s_duplicatePauseMs{5000};
}

TestContextMap& TestContextMap::getInstance() {
    // Never destroyed: static adders of other libraries may register after or unregister during
    // the process's static destruction.
    static TestContextMap* instance = new TestContextMap;
    return *instance;
}

std::chrono::milliseconds TestContextMap::duplicatePause() { return std::chrono::milliseconds(s_duplicatePauseMs.load()); }
void TestContextMap::setDuplicatePause(std::chrono::milliseconds pause) {
    s_duplicatePauseMs.store(pause.count() < 0 ? 0 : pause.count());
}

TestContextMap::~TestContextMap() { clear(); }

bool TestContextMap::addTestContext(const QString& key, TestContext* context) {
    if (context == nullptr) {
        logError("TestContextMap::addTestContext, key '$', context == nullptr", key);
        return false;
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_map.count(key) == 0) {
            m_map[key] = context;
            return true;
        }
    }
    delete context;
    // Tests register from static objects, usually before any logger runs.
    const QString text = xformat("TestContextMap::addTestContext, key '$' already added", key);
    if (Logger::isRunning()) logError("$", text);
    else Logger::printToCout(text);
    const std::chrono::milliseconds pause = duplicatePause();
    if (pause.count() > 0) std::this_thread::sleep_for(pause);
    return false;
}

bool TestContextMap::hasTest(const QString& key) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_map.count(key) != 0;
}

const TestContext* TestContextMap::get(const QString& key) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_map.find(key);
    return it == m_map.end() ? nullptr : it->second;
}

std::vector<TestContext*> TestContextMap::all() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<TestContext*> v;
    v.reserve(m_map.size());
    for (const auto& kv : m_map) v.push_back(kv.second);
    return v;
}

std::size_t TestContextMap::size() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_map.size();
}

void TestContextMap::clear() {
    std::map<QString, TestContext*> old;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        old.swap(m_map);
    }
    for (auto& kv : old) delete kv.second;
}

}  // namespace zor
