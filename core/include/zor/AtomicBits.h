#pragma once
/// \zclass{AtomicBits,thread} The library's 32-bit flag word. Any thread may read and change it; every change is
/// one atomic operation, so concurrent changes of different bits never lose each other.
///
/// Changes can be reported to three kinds of observers: one information callback (old, new), direct
/// listeners called on the changing thread, and GUI listeners called on the main thread. Which
/// operations notify is fixed per operation (see the .cpp). The observers are allocated on first
/// use, so a plain flag word costs two atomics and a pointer. GUI notifications are posted to the
/// main thread and refer to this object: it must outlive them.
#include <zor/XEventListener.h>
#include <zor/zor_export.h>

#include <QString>
#include <atomic>
#include <functional>

namespace zor {

/// A plain (non-atomic) snapshot of a flag word, handed to direct listeners. \ingroup thread
template <typename T>
class BitFlags {
public:
    BitFlags(T v = T()) : m_value(v) {}
    operator T() const { return m_value; }
    T value() const { return m_value; }
    bool operator==(T mask) const { return (m_value & mask) != 0; }  ///< some bit of mask is set
    bool operator!=(T mask) const { return (m_value & mask) == 0; }  ///< no bit of mask is set

private:
    T m_value;
};

class ZOR_EXPORT AtomicBits {
public:
    using InfoCallBack = std::function<void(unsigned int oldValue, unsigned int newValue)>;
    using DirectListener = std::function<void(const BitFlags<unsigned int>& oldValue, const BitFlags<unsigned int>& newValue)>;
    using GuiListener = std::function<void(AtomicBits&)>;

    AtomicBits(unsigned int value = 0) noexcept : m_value(value) {}
    AtomicBits(const AtomicBits& other) noexcept : m_value(other.m_value.load()) {}  ///< value only
    AtomicBits& operator=(const AtomicBits& other) noexcept;                          ///< value and emission
    AtomicBits(AtomicBits&& other) noexcept;  ///< value, emission and both listener sets
    AtomicBits& operator=(AtomicBits&& other) noexcept;
    ~AtomicBits();

    // Reading
    operator unsigned int() const { return m_value.load(std::memory_order_acquire); }
    unsigned int value() const { return m_value.load(std::memory_order_acquire); }
    bool operator==(unsigned int mask) const { return (value() & mask) != 0; }  ///< some bit of mask is set
    bool operator!=(unsigned int mask) const { return (value() & mask) == 0; }  ///< no bit of mask is set
    bool isZeroFlags() const { return value() == 0; }
    unsigned short highPart() const { return static_cast<unsigned short>(value() >> 16); }
    QString toString() const;

    // Writing without notification
    AtomicBits& operator=(unsigned int v) {
        m_value.store(v, std::memory_order_release);
        return *this;
    }

    // Writing with notification
    bool setFlag(unsigned int mask, bool on);
    AtomicBits& operator+=(unsigned int mask) {
        setFlag(mask, true);
        return *this;
    }
    AtomicBits& operator-=(unsigned int mask) {
        setFlag(mask, false);
        return *this;
    }
    void delFlag(unsigned int mask) { setFlag(mask, false); }
    bool toggleFlag(unsigned int mask);
    bool set_flag(unsigned int mask, bool on, bool doEmit, bool quiet);
    bool toggle_flag(unsigned int mask, bool doEmit);
    void set_flags(unsigned int v, bool doEmit);
    unsigned int setBitNumber(unsigned int bit, bool on, bool doEmit);
    void resetFlags();
    void reset_flags(bool doEmit);
    void setHighPart(unsigned short h);  ///< adds h << 16: clear the high half first
    void setLowPart(unsigned short l);   ///< the value becomes l

    void setEmitChanges(bool on) { m_emitChanges.store(on); }
    bool isEmitChanges() const { return m_emitChanges.load(); }
    void setInfoCallBack(InfoCallBack cb);
    InfoCallBack infoCallBack() const;

    /// The listener sets (created on first use; both start disabled).
    XEventListener<DirectListener>& listenersDirect();
    XEventListener<GuiListener>& listenersGui();

private:
    struct Observers;
    Observers* observers();                 // creates them on first use
    Observers* peekObservers() const { return m_obs.load(std::memory_order_acquire); }
    void takeObserversFrom(AtomicBits& other);
    void notifyDirect(unsigned int oldValue, unsigned int newValue);
    void notifyGui();
    void notifyCallback(unsigned int oldValue, unsigned int newValue);
    void notifyAll(unsigned int oldValue, unsigned int newValue);

    std::atomic<unsigned int> m_value;
    std::atomic<bool> m_emitChanges{false};
    std::atomic<Observers*> m_obs{nullptr};
};

}  // namespace zor
