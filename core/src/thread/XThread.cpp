#include <zor/XThread.h>

#include <zor/Logger.h>
#include <zor/ThreadTools.h>

namespace zor {

HelperThread::HelperThread(XThread* owner) : m_owner(owner) {}

HelperThread::~HelperThread() = default;

// RUNNING was set by start() before this thread began, so that a stop() right after start() is
// never lost; FINISHED is set only after run() has returned.
void HelperThread::run() {
    m_owner->setJoined(false);
    m_owner->threadId.store(getCurrentThreadID());
    m_owner->run();
    m_owner->setRunning(false);
    m_owner->setFinished(true);
    m_owner->afterRun();
    m_done.store(true, std::memory_order_release);
}

XThread::XThread() { setInitialized(true); }

XThread::~XThread() {
    stopJoin();
    // A thread that was stopped but not yet joined (run still returning) is waited for here.
    join();
}

QString XThread::toString() { return xformat("XTHREAD [$]", threadId.load()); }

void XThread::start() {
    std::lock_guard<std::mutex> lock(mutex);
    // A helper exists until the previous run has been joined: running, or finished and not joined.
    if (helper != nullptr) return;
    setFinished(false);
    setJoined(false);
    setRunning(true);
    helper = new HelperThread(this);
    helper->start(QThread::InheritPriority);
}

void XThread::stop() {
    std::lock_guard<std::mutex> lock(mutex);
    if (helper != nullptr && isRunning()) setRunning(false);
}

void XThread::join() {
    std::lock_guard<std::mutex> joinLock(joinMutex);
    HelperThread* h;
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (helper == nullptr || isRunning() || isJoined()) return;
        h = helper;
    }
    h->wait();
    while (!h->bodyDone()) xSleep(1);  // wait() returned: the body has ended, this orders it
    std::lock_guard<std::mutex> lock(mutex);
    delete h;
    helper = nullptr;
    setJoined(true);
}

void XThread::stopJoin() {
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (helper == nullptr) return;
        if (isRunning())
            setRunning(false);
        else if (isJoined())
            return;
    }
    join();
}

void XThread::run() {
    logDebug("XThread::run - overwrite me");
    while (isRunning()) {
        break_sleep(1000);
        if (isRunning()) logDebug("XThread::run, *this thread has _threadId:$", threadId.load());
    }
}

void XThread::afterRun() {}

}  // namespace zor
