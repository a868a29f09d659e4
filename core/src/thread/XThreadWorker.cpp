#include <zor/XThreadWorker.h>

#include <zor/FatalChecks.h>
#include <zor/Logger.h>

#include <QObject>

namespace zor {

XThreadWorker::XThreadWorker() : WorkerThread("XThreadWorker") {}

XThreadWorker::~XThreadWorker() { endAndWait(); }

void XThreadWorker::setWorker(XWorker* w) {
    std::lock_guard<std::mutex> lock(mutex);
    m_worker = w;
    wake();  // wakes a loop that waits for work
}

XWorker* XThreadWorker::worker() {
    std::lock_guard<std::mutex> lock(mutex);
    return m_worker;
}

bool XThreadWorker::isWorking() {
    std::lock_guard<std::mutex> lock(mutex);
    return running.load() && m_worker != nullptr;
}

void XThreadWorker::stopThread(unsigned long ms) {
    endLoop();
    if (ms == 0) return;
    if (!waitBody(ms)) logWarning("XThreadWorker::stopThread, thread not really finished");
}

void XThreadWorker::moveQObject_to_this(QObject* object) {
    if (object == nullptr) nullPointerHandling("libSrc/core/src/tools/thread/worker/XThreadWorker", 52, QStringLiteral("object == NULL"));
    object->moveToThread(this);
}

bool XThreadWorker::workOnce() {
    XWorker* w;
    {
        std::lock_guard<std::mutex> lock(mutex);
        w = m_worker;
    }
    if (w == nullptr) return false;
    (void)w->work();
    return true;
}

}  // namespace zor
