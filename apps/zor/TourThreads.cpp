// The tour's threads section: a worker thread that sleeps until it is given work and is stopped
// cooperatively, small functions run on a pool, and a timer ticking on the main event loop.
#include "Commands.h"

#include <zor/core.h>

#include <QCoreApplication>
#include <atomic>
#include <memory>

namespace zorapp {

using namespace zor;

void tourThreads() {
    logInfo("==== a worker thread woken by work, stopped cooperatively");
    {
        XFunctionWorker worker;
        worker.startThreadInitial();
        logInfo("Tour::threads, worker started without work, working: $", worker.isWorking());
        std::atomic<int> calls{0};
        worker.setWorker([&calls] {
            // The function is called again and again while it is set; it paces itself.
            if (calls.load() < 3) logInfo("Tour::threads, worker call $ on thread $", calls.load() + 1, getCurrentThreadID());
            ++calls;
            xSleep(5);
            return 0;
        });
        while (calls.load() < 3) xSleep(1);
        worker.stopThread();  // the loop ends after the call that is running
        const bool ended = worker.waitFinished(10000);
        logInfo("Tour::threads, worker stopped: ended $, called at least 3 times: $", ended, calls.load() >= 3);
    }

    logInfo("==== small functions on a thread pool");
    {
        XThreadPool pool;
        pool.setMaxThreadCount(static_cast<int>(count_hardware_threads(4)));
        std::atomic<long long> sum{0};
        for (int i = 1; i <= 1000; ++i) pool.start([&sum, i] { sum += i; });
        pool.waitForDone();
        logInfo("Tour::threads, 1000 pooled functions on at most $ threads, sum of 1..1000 = $", pool.maxThreadCount(), sum.load());
    }

    logInfo("==== a timer ticking on the event loop");
    {
        // The timer needs an event loop: use the program's application object, or a short-lived one.
        std::unique_ptr<QCoreApplication> own;
        static int argc = 1;
        static char name[] = "zor";
        static char* argv[] = {name, nullptr};
        if (QCoreApplication::instance() == nullptr) own.reset(new QCoreApplication(argc, argv));

        XTimer timer;
        int ticks = 0;
        timer.listeners().add([&ticks, &timer] {
            ++ticks;
            logInfo("Tour::threads, tick $ on the main thread: $", ticks, isMainThread());
            if (ticks == 3) {
                timer.stop();
                QCoreApplication::quit();
            }
        });
        XTimerOneTimeShot once(0, [] { logInfo("Tour::threads, a one-shot timer fired once"); });
        once.start();
        timer.start(20);
        QCoreApplication::exec();
    }
}

}  // namespace zorapp
