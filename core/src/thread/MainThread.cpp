#include <zor/MainThread.h>

#include <zor/KernelEvents.h>
#include <zor/Logger.h>
#include <zor/ThreadTools.h>
#include <zor/XLambda_GUI_Event.h>

#include <QCoreApplication>
#include <QObject>
#include <QThread>
#include <QTimer>

namespace zor {
namespace qt {

namespace {

// Lives on the main thread and runs the kernel events posted to it, whatever the application
// object is (a KernelTerminal runs them even earlier, in notify; an event runs once).
class KernelEventReceiver : public QObject {
public:
    bool event(QEvent* e) override {
        if (KernelEvents* k = KernelEvents::asKernelEvent(e)) {
            k->execute();
            return true;
        }
        return QObject::event(e);
    }
};

std::mutex s_mutexRunner;
KernelEventReceiver* s_receiver = nullptr;  // guarded by s_mutexRunner; lives as long as the process

}  // namespace

std::mutex& mutexRunner() { return s_mutexRunner; }

bool is_Gui_Thread() {
    if (QCoreApplication* app = QCoreApplication::instance()) return QThread::currentThread() == app->thread();
    return getCurrentThreadID() == Logger::getThreadIDMain();
}

void postToMainThread(KernelEvents* event) {
    if (event == nullptr) return;
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr) {
        event->execute();
        delete event;
        return;
    }
    std::lock_guard<std::mutex> lock(s_mutexRunner);
    if (s_receiver == nullptr) {
        s_receiver = new KernelEventReceiver;
        // Pushed from the creating thread to the main thread, where its events are delivered.
        if (s_receiver->thread() != app->thread()) s_receiver->moveToThread(app->thread());
    }
    QCoreApplication::postEvent(s_receiver, event, Qt::NormalEventPriority);
}

void run_in_Gui_Thread(std::function<void()> f, unsigned int msWait) {
    if (is_Gui_Thread()) {
        if (msWait > 0 && QCoreApplication::instance() != nullptr) {
            QTimer::singleShot(static_cast<int>(msWait), QCoreApplication::instance(), [f] { f(); });
        } else {
            f();
        }
        return;
    }
    if (QCoreApplication::instance() == nullptr) {
        f();
        return;
    }
    postToMainThread(new XLambda_GUI_Event(std::move(f), 0));
}

}  // namespace qt
}  // namespace zor
