#include <zor/MainThread.h>

#include <zor/Logger.h>
#include <zor/ThreadTools.h>

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>
#include <QTimer>
#include <atomic>

namespace zor {
namespace qt {

namespace {
std::atomic<GuiPoster> s_poster{nullptr};
}

void setGuiPoster(GuiPoster poster) { s_poster.store(poster); }

bool is_Gui_Thread() {
    if (QCoreApplication* app = QCoreApplication::instance()) return QThread::currentThread() == app->thread();
    return getCurrentThreadID() == Logger::getThreadIDMain();
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
    if (GuiPoster poster = s_poster.load()) {
        poster(std::move(f));
        return;
    }
    if (QCoreApplication* app = QCoreApplication::instance()) {
        QMetaObject::invokeMethod(app, std::move(f), Qt::QueuedConnection);
        return;
    }
    f();
}

}  // namespace qt
}  // namespace zor
