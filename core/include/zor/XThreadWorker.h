#pragma once
// XThreadWorker: a long-lived thread that sleeps until it is given an XWorker, then calls its
// work() again and again until the worker is replaced, cleared or the thread is stopped. The worker
// is not owned and must outlive its use here. Stopping is cooperative: the loop ends after the
// current work() returns; stopThread(ms) reports a thread that has not ended within ms.
//
// Thread-safety: every member may be called from any thread. The destructor stops the thread and
// waits for the current work() to return.
#include <zor/AtomicBitsWatcher.h>
#include <zor/XWorker.h>
#include <zor/zor_export.h>

#include <QThread>
#include <atomic>
#include <mutex>

class QObject;

namespace zor {

class ZOR_EXPORT XThreadWorker : public QThread {
public:
    XThreadWorker();
    ~XThreadWorker() override;

    void setWorker(XWorker* w);  // null sends the thread back to sleep
    XWorker* worker();
    bool isWorking();
    void startThreadInitial();
    // Ends the loop; with ms > 0 waits up to ms and logs a WARNING when the thread is still running.
    void stopThread(unsigned long ms);
    // Gives the object's thread affinity to this worker thread (its events are handled here).
    void moveQObject_to_this(QObject* object);

    void setDebug(bool on) { debug.store(on); }
    bool isDebug() const { return debug.load(); }
    bool isThreadRunning() const { return running.load(); }

protected:
    void run() override;

private:
    std::mutex mutex;           // guards worker
    XWorker* m_worker = nullptr;  // not owned
    AtomicBitsWatcher watcher{0};
    std::atomic<bool> running{false};
    // False from start until the last statement of run(): read (acquire) after QThread::wait()
    // so that everything the loop did is ordered before the caller goes on, e.g. destroys the
    // worker's captures (Qt's own wait is invisible to thread checkers).
    std::atomic<bool> bodyDone{true};
    bool waitBody(unsigned long ms);
    std::atomic<bool> debug{false};
};

}  // namespace zor
