#pragma once
/// \zclass{XLightweightThread,thread} A runnable with thread state, run on a QThreadPool (XThreadPool::start_lwThread
/// or start_global). Subclasses override runCustom(). Life cycle: INITIALIZED -> RUNNING -> FINISHED;
/// reuse() makes a finished object startable again (only one that the pool does not delete).
///
/// Listeners: callables added to startedListeners() and finishedListeners() are called on the main
/// thread (posted to its event loop) when a run starts and when it finishes, while emission is
/// switched on with enableListener(true). They are called from copies, so they may run after an
/// auto-deleted object is gone: they must not refer to it.
#include <zor/AbstractThread.h>
#include <zor/XEventListener.h>
#include <zor/zor_export.h>

#include <QRunnable>
#include <atomic>
#include <functional>

namespace zor {

class ZOR_EXPORT XLightweightThread : public QRunnable, public AbstractThread {
public:
    using Callable = std::function<void()>;

    XLightweightThread();
    ~XLightweightThread() override;

    virtual void reuse();            ///< clears FINISHED and RUNNING
    void enableListener(bool on);    ///< switches change emission of the state word
    void prepareListener(bool add);  ///< registers (true) or removes (false) the state listener
    QString toString() override { return AbstractThread::toString(); }

    XEventListener<Callable>& startedListeners() { return m_startedListeners; }
    XEventListener<Callable>& finishedListeners() { return m_finishedListeners; }

protected:
    virtual void runCustom();

private:
    friend class XThreadPool;
    void run() override;
    void markSubmitted() { m_submitted.store(true, std::memory_order_release); }

    XEventListener<Callable> m_startedListeners;
    XEventListener<Callable> m_finishedListeners;
    unsigned int listenerId = 0;  // 0: no state listener registered
    // Orders the submitting thread's work before the run (see XFunctionRunner).
    std::atomic<bool> m_submitted{false};
    // Set while run() still uses the object (its last notifications come after FINISHED is
    // visible): the destructor waits for it, so an object may be destroyed once it is finished.
    std::atomic<bool> m_inRun{false};
};

}  // namespace zor
