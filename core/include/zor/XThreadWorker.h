#pragma once
/// \zclass{XThreadWorker,thread} A long-lived thread that sleeps until it is given an XWorker, then calls its
/// work() again and again until the worker is replaced, cleared or the thread is stopped. The worker
/// is not owned and must outlive its use here. Stopping is cooperative: the loop ends after the
/// current work() returns; stopThread(ms) reports a thread that has not ended within ms.
///
/// Thread-safety: every member may be called from any thread. The destructor stops the thread and
/// waits for the current work() to return.
#include <zor/XWorker.h>
#include <zor/inline/WorkerThread.h>
#include <zor/zor_export.h>

#include <mutex>

class QObject;

namespace zor {

class ZOR_EXPORT XThreadWorker : public detail::WorkerThread {
public:
    XThreadWorker();
    ~XThreadWorker() override;

    void setWorker(XWorker* w);  ///< null sends the thread back to sleep
    XWorker* worker();
    bool isWorking();
    void startThreadInitial() { startLoop(); }
    /// Ends the loop; with ms > 0 waits up to ms and logs a WARNING when the thread is still running.
    void stopThread(unsigned long ms);
    /// Gives the object's thread affinity to this worker thread (its events are handled here).
    void moveQObject_to_this(QObject* object);

private:
    bool workOnce() override;

    std::mutex mutex;             // guards m_worker
    XWorker* m_worker = nullptr;  // not owned
};

}  // namespace zor
