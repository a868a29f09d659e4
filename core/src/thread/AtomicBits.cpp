#include <zor/AtomicBits.h>

#include <zor/Logger.h>
#include <zor/MainThread.h>
#include <zor/TextHelpers.h>
#include <zor/xformat.h>

#include <mutex>

namespace zor {

// Notification steps used below:
//   D: direct listeners (old, new) on the changing thread, if that set is enabled;
//   G: GUI listeners with this object, run on the main thread, if that set is enabled;
//   C: the information callback (old, new), if set.
struct AtomicBits::Observers {
    mutable std::mutex callbackMutex;  // guards callback
    InfoCallBack callback;
    XEventListener<DirectListener> direct;
    XEventListener<GuiListener> gui;
};

AtomicBits::~AtomicBits() { delete m_obs.load(); }

AtomicBits& AtomicBits::operator=(const AtomicBits& other) noexcept {
    if (this != &other) {
        m_value.store(other.m_value.load());
        m_emitChanges.store(other.m_emitChanges.load());
    }
    return *this;
}

// Moves the other's listeners, with their enabled states, to this one.
void AtomicBits::takeObserversFrom(AtomicBits& other) {
    Observers* src = other.peekObservers();
    if (src == nullptr) return;
    Observers* obs = observers();
    obs->direct.takeFrom(src->direct);
    obs->gui.takeFrom(src->gui);
    obs->direct.enable(src->direct.isEnabled());
    obs->gui.enable(src->gui.isEnabled());
}

AtomicBits::AtomicBits(AtomicBits&& other) noexcept
    : m_value(other.m_value.exchange(0)), m_emitChanges(other.m_emitChanges.exchange(false)) {
    takeObserversFrom(other);
}

AtomicBits& AtomicBits::operator=(AtomicBits&& other) noexcept {
    if (this == &other) return *this;
    m_value.store(other.m_value.exchange(0));
    m_emitChanges.store(other.m_emitChanges.exchange(false));
    takeObserversFrom(other);
    return *this;
}

AtomicBits::Observers* AtomicBits::observers() {
    Observers* obs = m_obs.load(std::memory_order_acquire);
    if (obs != nullptr) return obs;
    auto* fresh = new Observers;
    if (m_obs.compare_exchange_strong(obs, fresh, std::memory_order_acq_rel)) return fresh;
    delete fresh;  // another thread won the race; obs now holds its set
    return obs;
}

XEventListener<AtomicBits::DirectListener>& AtomicBits::listenersDirect() { return observers()->direct; }

XEventListener<AtomicBits::GuiListener>& AtomicBits::listenersGui() { return observers()->gui; }

void AtomicBits::setInfoCallBack(InfoCallBack cb) {
    Observers* obs = observers();
    std::lock_guard<std::mutex> lock(obs->callbackMutex);
    obs->callback = std::move(cb);
}

AtomicBits::InfoCallBack AtomicBits::infoCallBack() const {
    Observers* obs = peekObservers();
    if (obs == nullptr) return InfoCallBack();
    std::lock_guard<std::mutex> lock(obs->callbackMutex);
    return obs->callback;
}

void AtomicBits::notifyDirect(unsigned int oldValue, unsigned int newValue) {
    Observers* obs = peekObservers();
    if (obs == nullptr) return;
    obs->direct.call(BitFlags<unsigned int>(oldValue), BitFlags<unsigned int>(newValue));
}

void AtomicBits::notifyGui() {
    Observers* obs = peekObservers();
    // Nothing would be called: do not post an empty step to the main thread.
    if (obs == nullptr || !obs->gui.isEnabled() || obs->gui.isEmpty()) return;
    qt::run_in_Gui_Thread([this] {
        Observers* o = peekObservers();
        if (o != nullptr) o->gui.call(*this);
    });
}

void AtomicBits::notifyCallback(unsigned int oldValue, unsigned int newValue) {
    Observers* obs = peekObservers();
    if (obs == nullptr) return;
    InfoCallBack cb;
    {
        std::lock_guard<std::mutex> lock(obs->callbackMutex);
        cb = obs->callback;
    }
    if (cb) cb(oldValue, newValue);
}

void AtomicBits::notifyAll(unsigned int oldValue, unsigned int newValue) {
    notifyDirect(oldValue, newValue);
    notifyGui();
    notifyCallback(oldValue, newValue);
}

bool AtomicBits::setFlag(unsigned int mask, bool on) {
    const unsigned int oldValue = on ? m_value.fetch_or(mask) : m_value.fetch_and(~mask);
    if (m_emitChanges.load()) notifyAll(oldValue, on ? (oldValue | mask) : (oldValue & ~mask));
    return on;
}

bool AtomicBits::toggleFlag(unsigned int mask) {
    unsigned int oldValue = m_value.load();
    unsigned int newValue;
    do {
        newValue = (oldValue & mask) == 0 ? (oldValue | mask) : (oldValue & ~mask);
    } while (!m_value.compare_exchange_weak(oldValue, newValue));
    if (m_emitChanges.load()) notifyAll(oldValue, newValue);
    return (newValue & mask) != 0;
}

bool AtomicBits::set_flag(unsigned int mask, bool on, bool doEmit, bool quiet) {
    const unsigned int oldValue = on ? m_value.fetch_or(mask) : m_value.fetch_and(~mask);
    const unsigned int newValue = on ? (oldValue | mask) : (oldValue & ~mask);
    if (doEmit) {
        notifyDirect(oldValue, newValue);
        if (!quiet) {
            logDebugSpace(4, "AtomicBits::set_flag - fire in gui thread");
            notifyGui();
        } else if (oldValue != newValue) {
            notifyGui();
        }
    }
    return on;
}

bool AtomicBits::toggle_flag(unsigned int mask, bool doEmit) {
    unsigned int oldValue = m_value.load();
    unsigned int newValue;
    do {
        newValue = (oldValue & mask) == 0 ? (oldValue | mask) : (oldValue & ~mask);
    } while (!m_value.compare_exchange_weak(oldValue, newValue));
    if (doEmit) notifyAll(oldValue, newValue);
    return (newValue & mask) != 0;
}

void AtomicBits::set_flags(unsigned int v, bool doEmit) {
    const unsigned int oldValue = m_value.exchange(v);
    if (doEmit) notifyAll(oldValue, v);
}

unsigned int AtomicBits::setBitNumber(unsigned int bit, bool on, bool doEmit) {
    const unsigned int mask = 1u << (bit % 32);
    const unsigned int oldValue = on ? m_value.fetch_or(mask) : m_value.fetch_and(~mask);
    const unsigned int newValue = on ? (oldValue | mask) : (oldValue & ~mask);
    if (m_emitChanges.load()) notifyCallback(oldValue, newValue);
    if (doEmit) {
        notifyDirect(oldValue, newValue);
        logTest("EMIT ?");
        notifyGui();
    }
    return newValue;
}

void AtomicBits::resetFlags() {
    const unsigned int oldValue = m_value.exchange(0);
    if (m_emitChanges.load()) notifyAll(oldValue, 0);
}

void AtomicBits::reset_flags(bool doEmit) {
    const unsigned int oldValue = m_value.exchange(0);
    if (doEmit) {
        notifyDirect(oldValue, 0);
        notifyGui();
    }
}

void AtomicBits::setHighPart(unsigned short h) {
    const unsigned int add = static_cast<unsigned int>(h) << 16;
    const unsigned int oldValue = m_value.fetch_add(add);
    if (m_emitChanges.load()) notifyCallback(oldValue, oldValue + add);
}

void AtomicBits::setLowPart(unsigned short l) {
    const unsigned int oldValue = m_value.exchange(l);
    if (m_emitChanges.load()) notifyCallback(oldValue, l);
}

QString AtomicBits::toString() const {
    const unsigned int v = value();
    return xformat("$, (low:$,high:$)", bitsToString(v, true), v & 0xFFFFu, v >> 16);
}

}  // namespace zor
