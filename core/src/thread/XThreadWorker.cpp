#include <zor/XThreadWorker.h>

#include <zor/FatalChecks.h>
#include <zor/Logger.h>

#include <QObject>

namespace zor {

XThreadWorker::XThreadWorker() = default;

XThreadWorker::~XThreadWorker() {
    stopThread(0);
    wait();
}

void XThreadWorker::setWorker(XWorker* w) {
    std::lock_guard<std::mutex> lock(mutex);
    m_worker = w;
    watcher.set_flags(1);  // wakes a loop that waits for work
}

XWorker* XThreadWorker::worker() {
    std::lock_guard<std::mutex> lock(mutex);
    return m_worker;
}

bool XThreadWorker::isWorking() {
    std::lock_guard<std::mutex> lock(mutex);
    return running.load() && m_worker != nullptr;
}

void XThreadWorker::startThreadInitial() {
    if (QThread::isRunning()) return;
    running.store(true);
    QThread::start(QThread::InheritPriority);
}

void XThreadWorker::stopThread(unsigned long ms) {
    running.store(false);
    watcher.set_flags(1);
    if (ms == 0) return;
    if (!wait(ms)) logWarning("XThreadWorker::stopThread, thread not really finished");
}

void XThreadWorker::moveQObject_to_this(QObject* object) {
    if (object == nullptr) nullPointerHandling("libSrc/core/src/tools/thread/worker/XThreadWorker", 52, QStringLiteral("object == NULL"));
    object->moveToThread(this);
}

void XThreadWorker::run() {
    if (debug.load()) logDebug("XThreadWorker::run");
    while (running.load()) {
        XWorker* w;
        {
            std::lock_guard<std::mutex> lock(mutex);
            w = m_worker;
        }
        if (w != nullptr) {
            (void)w->work();
        } else {
            watcher.wait_until_bit_is_set(1);  // see XFunctionWorker::run
            if (debug.load()) logDebug("XThreadWorker::run, after state change");
            watcher.set_flags(0);
        }
    }
    if (debug.load()) logDebug("XThreadWorker::~run");
}

}  // namespace zor
