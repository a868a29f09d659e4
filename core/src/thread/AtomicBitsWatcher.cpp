#include <zor/AtomicBitsWatcher.h>

#include <zor/Logger.h>


namespace zor {

AtomicBitsWatcher::AtomicBitsWatcher(unsigned int value) : m_bits(value) {}

AtomicBitsWatcher::~AtomicBitsWatcher() = default;

unsigned int AtomicBitsWatcher::get_flags() {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_bits.value();
}

bool AtomicBitsWatcher::is_flag(unsigned int mask) {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_bits == mask;
}

void AtomicBitsWatcher::set_flag(unsigned int mask, bool on) {
    std::unique_lock<std::mutex> lock(m_mutex);
    const unsigned int v = m_bits.value();
    m_bits = on ? (v | mask) : (v & ~mask);
    m_condition.notify_all();
}

void AtomicBitsWatcher::set_flags(unsigned int value) {
    std::unique_lock<std::mutex> lock(m_mutex);
    const unsigned int old = m_bits.value();
    m_bits = value;
    if (old != value) m_condition.notify_all();
}

void AtomicBitsWatcher::set_bit_number(unsigned int bit, bool on) {
    std::unique_lock<std::mutex> lock(m_mutex);
    const unsigned int old = m_bits.value();
    const unsigned int mask = 1u << (bit % 32);
    const unsigned int now = on ? (old | mask) : (old & ~mask);
    m_bits = now;
    if (old != now) m_condition.notify_all();
}

void AtomicBitsWatcher::reset() {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_stop.store(false);
    m_bits = 0u;
}

void AtomicBitsWatcher::stop() {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_stop.store(true);
    m_condition.notify_all();
}

void AtomicBitsWatcher::wait_stateChange() {
    std::unique_lock<std::mutex> lock(m_mutex);
    const unsigned int seen = m_bits.value();
    while (m_bits.value() == seen) m_condition.wait(lock);
}

void AtomicBitsWatcher::wait_until_bit_is_set(unsigned int mask) {
    std::unique_lock<std::mutex> lock(m_mutex);
    while ((m_bits.value() & mask) == 0 && !m_stop.load()) m_condition.wait(lock);
    if ((m_bits.value() & mask) == 0) logDebug("AtomicBitsWatcher::wait_until_bit_is_set - atomicFlagStop == true !");
}

QString AtomicBitsWatcher::toString() {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_bits.toString();
}

}  // namespace zor
