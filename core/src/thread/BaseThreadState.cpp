#include <zor/BaseThread.h>
#include <zor/BaseThreadState.h>

#include <zor/ThreadTools.h>

#include <QThreadPool>

namespace zor {

BaseThreadState::~BaseThreadState() = default;

QString format_toString_arguments(const QString& text) {
    QString t = text.trimmed();
    if (t.endsWith(QLatin1Char(',')) || t.endsWith(QLatin1Char('|'))) {
        t.chop(1);
        t = t.trimmed();
    }
    return t;
}

QString BaseThreadState::bit_flags_as_string(const AtomicBits& bits) {
    static const struct {
        unsigned int bit;
        const char* piece;
    } pieces[] = {{INITIALIZED, "INITIALIZED | "}, {RUNNING, "RUNNING | "}, {FINISHED, "FINISHED | "},
                  {ERROR, "ERROR | "},             {CANCELLED, "CANCELLED | "}};
    const unsigned int v = bits.value();
    QString text;
    for (const auto& p : pieces)
        if ((v & p.bit) != 0) text += QLatin1String(p.piece);
    return format_toString_arguments(text);
}

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
