#pragma once
/// \zclass{WorkerThread,thread} The loop shared by XFunctionWorker and XThreadWorker: a long-lived QThread that calls
/// one unit of work again and again and sleeps on a watcher bit while there is none. Not for direct use.
///
/// A derived class provides workOnce() (false: nothing to do, sleep until woken) and calls
/// endAndWait() in its own destructor, so that the loop has ended before its members go.
#include <zor/AtomicBitsWatcher.h>
#include <zor/zor_export.h>

#include <QThread>
#include <atomic>

namespace zor {
namespace detail {

class ZOR_EXPORT WorkerThread : public QThread {
public:
    void setDebug(bool on) { debug.store(on); }
    bool isDebug() const { return debug.load(); }
    bool isThreadRunning() const { return running.load(); }

protected:
    explicit WorkerThread(const char* className) : name(className) {}
    ~WorkerThread() override = default;

    virtual bool workOnce() = 0;
    void wake() { watcher.set_flags(1); }
    void startLoop();
    void endLoop();  ///< the loop ends after the current unit of work
    void endAndWait();
    /// Waits up to ms for the loop to end (false: still running). Also orders everything the loop
    /// did before the caller goes on, e.g. destroys the work's captures: Qt's own wait is
    /// invisible to thread checkers, so the loop releases bodyDone as its last step.
    bool waitBody(unsigned long ms);

    std::atomic<bool> debug{false};
    std::atomic<bool> running{false};

private:
    void run() final;

    const char* name;
    AtomicBitsWatcher watcher{0};
    std::atomic<bool> bodyDone{true};
};

}  // namespace detail
}  // namespace zor
