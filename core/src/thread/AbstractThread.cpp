#include <zor/AbstractThread.h>

#include <zor/ThreadTools.h>

namespace zor {

AbstractThread::~AbstractThread() = default;

QString AbstractThread::toString() {
    static const struct {
        unsigned int bit;
        const char* name;
    } names[] = {{INITIALIZED, "INITIALIZED"}, {RUNNING, "RUNNING"}, {FINISHED, "FINISHED"}, {JOINED, "JOINED"}};
    const unsigned int v = state.value();
    QString text = QStringLiteral("{");
    bool first = true;
    for (const auto& n : names) {
        if ((v & n.bit) == 0) continue;
        if (!first) text += QStringLiteral(" | ");
        text += QLatin1String(n.name);
        first = false;
    }
    text += QLatin1Char('}');
    return text;
}

void AbstractThread::break_sleep(unsigned int ms) {
    unsigned int slept = 0;
    while (slept < ms && isRunning()) {
        const unsigned int step = ms - slept < 10 ? ms - slept : 10;
        xSleep(step);
        slept += step;
    }
}

}  // namespace zor
