#pragma once
/// \zclass{XEventListener,thread} An ordered set of callables under numeric ids, called in id order while the
/// set is enabled. A set is disabled when constructed. The set's mutex is held while the callables
/// run: a callable must not change the set that calls it.
#include <zor/zor_export.h>

#include <atomic>
#include <map>
#include <mutex>
#include <utility>
#include <vector>

namespace zor {
/// The untyped part of every listener set: whether it is enabled (a set starts disabled). \ingroup thread
class ZOR_EXPORT AbstractXEventListener {
public:
    AbstractXEventListener() = default;
    AbstractXEventListener(const AbstractXEventListener&) = delete;
    AbstractXEventListener& operator=(const AbstractXEventListener&) = delete;
    virtual ~AbstractXEventListener();

    void enable(bool on) { m_enabled.store(on); }
    bool isEnabled() const { return m_enabled.load(); }

private:
    std::atomic<bool> m_enabled{false};
};

template <typename F>
class XEventListener : public AbstractXEventListener {
public:
    XEventListener() = default;

    /// Adds f under a new id (above every id handed out so far) and returns that id.
    unsigned int add(F f) {
        std::lock_guard<std::mutex> lock(m_mutex);
        const unsigned int id = m_nextId++;
        m_map.emplace(id, std::move(f));
        return id;
    }
    /// Adds f under the given id; false when the id is taken.
    bool add(unsigned int id, F f) {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_map.count(id) != 0) return false;
        m_map.emplace(id, std::move(f));
        if (id >= m_nextId) m_nextId = id + 1;
        return true;
    }
    bool remove(unsigned int id) {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_map.erase(id) != 0;
    }
    bool contains(unsigned int id) const {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_map.count(id) != 0;
    }
    void clear() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_map.clear();
    }
    std::size_t size() const {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_map.size();
    }
    bool isEmpty() const { return size() == 0; }

    /// Calls every callable in id order when the set is enabled (an empty callable throws
    /// std::bad_function_call, as calling it directly would).
    template <typename... A>
    void call(A&&... args) const {
        if (!isEnabled()) return;
        std::lock_guard<std::mutex> lock(m_mutex);
        for (const auto& kv : m_map) kv.second(args...);
    }

    /// Hands every callable to visit in id order when the set is enabled (under the set's mutex).
    template <typename V>
    void visit(V&& visitor) const {
        if (!isEnabled()) return;
        std::lock_guard<std::mutex> lock(m_mutex);
        for (const auto& kv : m_map) visitor(kv.second);
    }

    /// Copies of the callables in id order (none while the set is disabled), for callers that must
    /// run them later or elsewhere, without the set's mutex.
    std::vector<F> snapshot() const {
        std::vector<F> out;
        if (!isEnabled()) return out;
        std::lock_guard<std::mutex> lock(m_mutex);
        out.reserve(m_map.size());
        for (const auto& kv : m_map) out.push_back(kv.second);
        return out;
    }

    /// Takes over the callables of other (which is left empty); ids are kept.
    void takeFrom(XEventListener& other) {
        if (&other == this) return;
        std::map<unsigned int, F> moved;
        unsigned int next;
        {
            std::lock_guard<std::mutex> lock(other.m_mutex);
            moved.swap(other.m_map);
            next = other.m_nextId;
        }
        std::lock_guard<std::mutex> lock(m_mutex);
        m_map.swap(moved);
        m_nextId = next;
    }

private:
    // guards m_map and m_nextId (a std::mutex, so that thread checkers see the hand-overs)
    mutable std::mutex m_mutex;
    std::map<unsigned int, F> m_map;
    unsigned int m_nextId = 1;
};

}  // namespace zor
