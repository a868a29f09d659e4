#pragma once
// XFunctionWorker: a long-lived thread that sleeps until it is given a function, then calls it
// again and again (the function is expected to block or sleep on its own) until it is replaced,
// cleared or the worker is stopped. Stopping is cooperative: the loop ends after the current call.
//
//   XFunctionWorker w;  w.startThreadInitial();  w.setWorker([] { ...; return 0; });
//   ...  w.stopThread();
//
// Thread-safety: every member may be called from any thread. The destructor stops the thread and
// waits for the current call to return.
#include <zor/AtomicBitsWatcher.h>
#include <zor/zor_export.h>

#include <QThread>
#include <atomic>
#include <functional>
#include <mutex>

namespace zor {

class ZOR_EXPORT XFunctionWorker : private QThread {
public:
    XFunctionWorker();
    ~XFunctionWorker() override;

    void setWorker(std::function<int()> f);  // an empty function sends the thread back to sleep
    std::function<int()> worker();
    bool isWorking();
    void startThreadInitial();
    void stopThread();
    // Waits up to ms for the thread to end (false: still running).
    bool waitFinished(unsigned long ms);

    void setDebug(bool on) { debug.store(on); }
    bool isDebug() const { return debug.load(); }
    bool isThreadRunning() const { return running.load(); }

private:
    void run() override;

    std::atomic<bool> debug{false};
    std::mutex mutex;  // guards function
    std::function<int()> function;
    AtomicBitsWatcher watcher{0};
    std::atomic<bool> running{false};
    // False from start until the last statement of run(): read (acquire) after QThread::wait()
    // so that everything the loop did is ordered before the caller goes on, e.g. destroys the
    // worker's captures (Qt's own wait is invisible to thread checkers).
    std::atomic<bool> bodyDone{true};
    bool waitBody(unsigned long ms);
};

}  // namespace zor
