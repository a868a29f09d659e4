#include <zor/BaseThread.h>

#include <zor/ThreadTools.h>

#include <QThreadPool>

namespace zor {

void BaseThread::sleep_breakable(unsigned int ms) {
    unsigned int slept = 0;
    while (slept < ms && is_running()) {
        const unsigned int step = ms - slept < 10 ? ms - slept : 10;
        xSleep(step);
        slept += step;
    }
}

bool BaseThread::wait_for_all(int ms) { return QThreadPool::globalInstance()->waitForDone(ms); }

}  // namespace zor
