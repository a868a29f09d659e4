#pragma once
/// \zclass{AtomicBitsWatcher,thread} A flag word that threads can sleep on, until its value changes or until a bit
/// is set. Every operation but is_running holds the watcher's mutex; a change of value wakes all
/// waiters, setting the same value again wakes nobody.
#include <zor/AtomicBits.h>
#include <zor/zor_export.h>

#include <QString>
#include <atomic>
#include <condition_variable>
#include <mutex>

namespace zor {

class ZOR_EXPORT AtomicBitsWatcher {
public:
    explicit AtomicBitsWatcher(unsigned int value = 0);
    virtual ~AtomicBitsWatcher();

    unsigned int get_flags();
    bool is_flag(unsigned int mask);
    void set_flag(unsigned int mask, bool on);  ///< wakes the waiters always
    void set_flags(unsigned int value);
    void set_bit_number(unsigned int bit, bool on);
    void reset();  ///< clears the stop flag, value 0
    void stop();   ///< wakes every waiter; wait_until_bit_is_set returns
    bool is_running() const { return !m_stop.load(); }
    void wait_stateChange();  ///< until the value differs from the one seen on entry
    void wait_until_bit_is_set(unsigned int mask);
    QString toString();
    std::mutex& get_mutex() { return m_mutex; }

private:
    AtomicBits m_bits;
    std::atomic<bool> m_stop{false};
    // Standard primitives rather than QMutex/QWaitCondition: thread checkers understand them.
    std::mutex m_mutex;
    std::condition_variable m_condition;
};

}  // namespace zor
