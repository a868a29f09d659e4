// The tour's kernel section: a task on another thread reports its progress to the main thread
// through kernel events, and the bounded memory log keeps the first and the latest lines.
#include "Commands.h"

#include <zor/core.h>

#include <QCoreApplication>
#include <future>
#include <memory>

namespace zorapp {

using namespace zor;

namespace {

// Sums a range in ten steps on another thread, reporting each step.
class SumTask : public AbstractTask {
public:
    void start(unsigned long long n) {
        setTaskState(BUSY);
        stopwatch().start();
        setFuture(std::async(std::launch::async, [this, n] {
            for (unsigned int step = 1; step <= 10 && !isCancelled(); ++step) {
                for (unsigned long long i = (step - 1) * n / 10; i < step * n / 10; ++i) m_sum += i;
                fireProgress(step * 10);
            }
            fireProgressString(xformat("sum of 0..$ is $", n - 1, m_sum));
            finish();
        }));
    }

private:
    unsigned long long m_sum = 0;
};

}  // namespace

void tourKernel() {
    logInfo("==== a task reports its progress to the main thread");
    {
        const std::unique_ptr<KernelTerminal> own = ensureApplication();
        SumTask task;
        task.progressListeners().add([](unsigned int percent) {
            if (percent % 50 == 0) logInfo("Tour::kernel, progress $% on the main thread: $", percent, qt::is_Gui_Thread());
        });
        task.progressStringListeners().add([](QString text) {
            logInfo("Tour::kernel, task says: $", text);
            QCoreApplication::quit();
        });
        task.start(10000000);
        QCoreApplication::exec();
        task.wait_for_milliseconds(5000);
        logInfo("Tour::kernel, $, ok:$", task.toString(), task.isOK());
    }

    logInfo("==== the memory log keeps the first 3 and the latest 5 of 20 lines");
    AppenderLimitMemory memory(3, 8, 10);
    memory.setEnabled(true);
    Logger::getLogger().waitQueueEmpty();
    Logger::getLogger().addAppender(&memory);
    for (int i = 1; i <= 20; ++i) {
        if (i == 12) logError("Tour::kernel, line $ (an error, also in the error list)", i);
        else logDebug("Tour::kernel, line $", i);
    }
    Logger::getLogger().waitQueueEmpty();
    Logger::getLogger().removeAppender(&memory);
    QStringList kept;
    memory.getLogMessagesAsStrings(kept);
    for (const QString& line : kept) logInfo("Tour::kernel, kept: $", line);
    QStringList errors;
    memory.getLogErrorMessagesAsStrings(errors);
    logInfo("Tour::kernel, $ error line(s) kept", errors.size());
}

}  // namespace zorapp
