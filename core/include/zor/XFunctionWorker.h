#pragma once
/// \zclass{XFunctionWorker,thread} A long-lived thread that sleeps until it is given a function, then calls it
/// again and again (the function is expected to block or sleep on its own) until it is replaced,
/// cleared or the worker is stopped. Stopping is cooperative: the loop ends after the current call.
/// \code
///   XFunctionWorker w;  w.startThreadInitial();  w.setWorker([] { ...; return 0; });
///   ...  w.stopThread();
/// \endcode
/// Thread-safety: every member may be called from any thread. The destructor stops the thread and
/// waits for the current call to return.
#include <zor/inline/WorkerThread.h>
#include <zor/zor_export.h>

#include <functional>
#include <mutex>

namespace zor {

class ZOR_EXPORT XFunctionWorker : private detail::WorkerThread {
public:
    XFunctionWorker();
    ~XFunctionWorker() override;

    void setWorker(std::function<int()> f);  ///< an empty function sends the thread back to sleep
    std::function<int()> worker();
    bool isWorking();
    void startThreadInitial() { startLoop(); }
    void stopThread() { endLoop(); }
    /// Waits up to ms for the thread to end (false: still running).
    bool waitFinished(unsigned long ms) { return waitBody(ms); }

    using WorkerThread::isDebug;
    using WorkerThread::isThreadRunning;
    using WorkerThread::setDebug;

private:
    bool workOnce() override;

    std::mutex mutex;  // guards function
    std::function<int()> function;
};

}  // namespace zor
