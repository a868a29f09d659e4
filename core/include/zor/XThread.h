#pragma once
/// \zclass{XThread,thread} A dedicated thread with an overridable run(). Each start() runs run() once on a fresh
/// Qt thread (a HelperThread owned by this object). Life cycle:
/// \code INITIALIZED -> start -> RUNNING -> run returns -> FINISHED -> join -> FINISHED|JOINED -> start ... \endcode
/// stop() only clears RUNNING: run() must poll isRunning() and return. A thread may be started
/// again only after it has been joined; start() on a running or unjoined thread does nothing.
///
/// Thread-safety: start, stop and stopJoin are serialised by the object's mutex; join waits outside
/// it. A subclass must end the thread (stopJoin) in its own destructor: the base destructor does it
/// too, but by then the subclass's run() may no longer be called safely.
#include <zor/AbstractThread.h>
#include <zor/zor_export.h>

#include <QThread>
#include <atomic>
#include <mutex>

namespace zor {

class XThread;

/// The Qt thread behind one run of an XThread. \ingroup thread
class ZOR_EXPORT HelperThread : public QThread {
public:
    explicit HelperThread(XThread* owner);
    ~HelperThread() override;
    /// Set as the very last step of the thread body; read after wait() so that everything the run
    /// did is ordered before the helper is released.
    bool bodyDone() const { return m_done.load(std::memory_order_acquire); }

protected:
    void run() override;

private:
    XThread* m_owner;  // not owned
    std::atomic<bool> m_done{false};
};

class ZOR_EXPORT XThread : public AbstractThread {
public:
    XThread();
    QString toString() override;  ///< "XTHREAD [threadId]"
    ~XThread() override;

    virtual void start();
    virtual void stop();
    virtual void join();
    virtual void stopJoin();

    unsigned int threadID() const { return threadId.load(); }

protected:
    virtual void run();
    virtual void afterRun();

private:
    friend class HelperThread;

    std::atomic<unsigned int> threadId{0};
    HelperThread* helper = nullptr;  // owned; guarded by mutex
    std::mutex mutex;                // serialises start, stop, stopJoin and the helper pointer
    std::mutex joinMutex;            // one join at a time (join waits outside mutex)
};

}  // namespace zor
