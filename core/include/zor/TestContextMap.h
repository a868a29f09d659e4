#pragma once
/// \zclass{TestContextMap,program} The process-wide registry of tests, by key, in key order. A key registered a
/// second time keeps the first test: the second is deleted, the duplicate is reported
/// ("TestContextMap::addTestContext, key '<key>' already added", through the logger when it runs,
/// else straight to the console) and registration pauses for duplicatePause() so that the notice
/// is seen at program start. The pause is five seconds by default; setDuplicatePause changes it
/// (tests set 0).
///
/// Owns the registered contexts. Thread-safe: one mutex guards the map; contexts handed out stay
/// valid until clear() or deleteAll().
#include <zor/zor_export.h>

#include <QString>
#include <chrono>
#include <map>
#include <mutex>
#include <vector>

namespace zor {

class TestContext;

class ZOR_EXPORT TestContextMap {
public:
    static TestContextMap& getInstance();

    static std::chrono::milliseconds duplicatePause();
    static void setDuplicatePause(std::chrono::milliseconds pause);

    virtual ~TestContextMap();
    /// Takes ownership of context; false (and context deleted) for a null one or a taken key.
    bool addTestContext(const QString& key, TestContext* context);
    bool hasTest(const QString& key) const;
    /// The context of key, or null.
    const TestContext* get(const QString& key) const;
    /// Every context in key order.
    std::vector<TestContext*> all() const;
    std::size_t size() const;
    void clear();

private:
    TestContextMap() = default;
    mutable std::mutex m_mutex;
    std::map<QString, TestContext*> m_map;
};

}  // namespace zor
