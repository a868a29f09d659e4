#pragma once
/// \zclass{KernelEvents,thread} The Qt events through which any thread hands work to the main thread. Type 9000
/// (EV_TYPE_GENERIC) moves a value (a memory block, a tree) to a function on the main thread;
/// type 9100 (EV_TYPE_LAMBDA) runs a function there. The main thread runs each event once, inside
/// Qt's event delivery, whatever the application object is.
///
/// Thread-safety: an event is created on the posting thread and run and destroyed on the main
/// thread; the debug switch is atomic.
#include <zor/zor_export.h>

#include <QEvent>
#include <atomic>

namespace zor {

class ZOR_EXPORT KernelEvents : public QEvent {
public:
    static constexpr int EV_TYPE_GENERIC = 9000;
    static constexpr int EV_TYPE_LAMBDA = 9100;

    static bool isDebug();
    static void setDebug(bool on);

    static bool is_event_Generic(const QEvent* e) { return e != nullptr && e->type() == EV_TYPE_GENERIC; }
    static bool is_event_lambda(const QEvent* e) { return e != nullptr && e->type() == EV_TYPE_LAMBDA; }
    static bool is_kernel_event(const QEvent* e) { return is_event_Generic(e) || is_event_lambda(e); }
    /// The event itself when it is a kernel event (a KernelEvents of type 9000 or 9100), else null.
    /// Any program may use those type numbers for plain events of its own: only the type of the
    /// object, not its number, says that it carries a function to run.
    static KernelEvents* asKernelEvent(QEvent* e);

    explicit KernelEvents(int type) : QEvent(static_cast<QEvent::Type>(type)) {}
    ~KernelEvents() override;

    virtual void runMethod() = 0;
    /// Runs runMethod the first time it is called; false afterwards.
    bool execute();

    static std::atomic<bool> atomicFlagDebug;

private:
    bool m_done = false;  // main thread only
};

}  // namespace zor
