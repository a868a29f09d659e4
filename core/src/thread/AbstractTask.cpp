#include <zor/AbstractTask.h>

#include <zor/Logger.h>
#include <zor/MainThread.h>
#include <zor/xformat.h>

namespace zor {

XAtomic<bool> AbstractTask::atomicFlagDebug{false};

QString AbstractTask::errorToString(unsigned int code) {
    switch (code) {
        case TIMEOUT: return QStringLiteral("TIMEOUT");
        case SIZE: return QStringLiteral("SIZE");
        case MEMORY: return QStringLiteral("MEMORY");
        case FILE_NOT_FOUND: return QStringLiteral("FILE_NOT_FOUND");
        case READ: return QStringLiteral("READ");
        case READ_RESOURCE: return QStringLiteral("READ_RESOURCE");
        case READ_EOF: return QStringLiteral("READ_EOF");
        case WRITE: return QStringLiteral("WRITE");
        case PARSER: return QStringLiteral("PARSER");
        case CANCEL: return QStringLiteral("CANCEL");
        default: return xformat("UNKNOWN-TASK-ERROR:$", code);
    }
}

AbstractTask::AbstractTask() : m_listeners(std::make_shared<Listeners>()) {
    m_listeners->progress.enable(true);
    m_listeners->text.enable(true);
    if (atomicFlagDebug.load()) logDebug("AbstractTask::AbstractTask()");
}

AbstractTask::~AbstractTask() {
    if (atomicFlagDebug.load()) logDebug("AbstractTask::~AbstractTask()");
}

void AbstractTask::setError(int code) {
    if (atomicFlagDebug.load()) logDebug("AbstractTask::setError:$", code);
    m_taskError.store(static_cast<unsigned int>(code));
}

void AbstractTask::setCancel() {
    if (atomicFlagDebug.load()) logDebug("AbstractTask::setCancel");
    setError(CANCEL);
}

bool AbstractTask::timeIsUP() const {
    // A stopwatch that has not started counts as no time spent.
    const unsigned long long spent = m_stopwatch.isStarted() ? m_stopwatch.delta_now_milliSeconds() : 0;
    return spent >= m_timeoutMs.load();
}

unsigned long long AbstractTask::elapsedTime() const { return m_stopwatch.elapsed_time_milliSeconds(); }

void AbstractTask::finish() {
    m_stopwatch.stop();
    m_state.store(FINISHED);
}

bool AbstractTask::futureReadyWithin(std::chrono::microseconds span) const {
    if (!m_future.valid()) return false;
    return m_future.wait_for(span) == std::future_status::ready;
}

bool AbstractTask::isOK() const {
    if (!m_stopwatch.isStopped()) {
        logError("AbstractTask::isOK(), !stopwatch.isStopped()");
        m_stopwatch.show(4);
        return false;
    }
    if (!futureReadyWithin(std::chrono::microseconds(3))) return false;
    return m_taskError.load() == 0;
}

bool AbstractTask::wait_for_milliseconds(unsigned long long ms) const {
    if (atomicFlagDebug.load()) logDebug("AbstractTask::wait_for_milliseconds, ms:$", ms);
    return futureReadyWithin(std::chrono::milliseconds(ms));
}

bool AbstractTask::wait_for_microseconds(unsigned long long us) const {
    return futureReadyWithin(std::chrono::microseconds(us));
}

void AbstractTask::fireProgress(unsigned int percent) {
    std::shared_ptr<Listeners> listeners = m_listeners;
    qt::run_in_Gui_Thread([listeners, percent] { listeners->progress.call(percent); });
}

void AbstractTask::fireProgressString(const QString& text) {
    std::shared_ptr<Listeners> listeners = m_listeners;
    qt::run_in_Gui_Thread([listeners, text] { listeners->text.call(text); });
}

QString AbstractTask::toString() const {
    if (m_state.load() == INITIALIZED) return QStringLiteral("TASK is initialized");
    const bool ready = futureReadyWithin(std::chrono::microseconds(1));
    if (m_taskError.load() == 0) return xformat("TASK is ready:$", ready);
    return xformat("TASK is ready:$, error code:$, error: '$'", ready, m_taskError.load(), errorAsString());
}

}  // namespace zor
