#pragma once
/// \zclass{AbstractTask,thread} The base of asynchronous jobs. It holds the job's state (initialised, busy,
/// finished), a task error code with fixed names ("TIMEOUT" ... "CANCEL"), a time-out measured by a
/// stopwatch, the std::future of the running work, and two listener sets through which the job
/// reports progress (a percentage, a text) to the main thread.
///
/// A subclass starts the work (setting the state busy, starting the stopwatch and filling the
/// future), polls isCancelled() and timeIsUP() while it runs, sets an error when it fails and calls
/// finish() at the end.
///
/// Thread-safety: state, error code and time-out are atomic and may be read from any thread while
/// the work runs. Listeners always run on the main thread; a report posted from another thread
/// keeps the listener sets alive, so the task may be destroyed before the report runs.
#include <zor/XAtomic.h>
#include <zor/XEventListener.h>
#include <zor/XStopwatch.h>
#include <zor/zor_export.h>

#include <QString>
#include <atomic>
#include <functional>
#include <future>
#include <memory>

namespace zor {

class ZOR_EXPORT AbstractTask {
public:
    enum STATE : unsigned int { INITIALIZED = 0, BUSY = 1, FINISHED = 2 };
    enum ERROR_CODE : unsigned int {
        TIMEOUT = 1,
        SIZE = 2,
        MEMORY = 3,
        FILE_NOT_FOUND = 4,
        READ = 5,
        READ_RESOURCE = 6,
        READ_EOF = 7,
        WRITE = 8,
        PARSER = 9,
        CANCEL = 10
    };
    using ProgressListeners = XEventListener<std::function<void(unsigned int)>>;
    using ProgressStringListeners = XEventListener<std::function<void(QString)>>;

    static XAtomic<bool> atomicFlagDebug;  ///< trace lines of construction, errors and waits

    /// "TIMEOUT", "SIZE", "MEMORY", "FILE_NOT_FOUND", "READ", "READ_RESOURCE", "READ_EOF", "WRITE",
    /// "PARSER", "CANCEL"; any other code "UNKNOWN-TASK-ERROR:<code>".
    static QString errorToString(unsigned int code);

    virtual ~AbstractTask();
    AbstractTask(const AbstractTask&) = delete;
    AbstractTask& operator=(const AbstractTask&) = delete;

    unsigned int taskState() const { return m_state.load(); }
    void setTaskState(unsigned int state) { m_state.store(state); }
    bool isInitialized() const { return m_state.load() == INITIALIZED; }
    bool isBusy() const { return m_state.load() == BUSY; }
    bool isFinished() const { return m_state.load() == FINISHED; }

    unsigned int error() const { return m_taskError.load(); }
    void setError(int code);
    bool isError() const { return m_taskError.load() != 0; }
    bool isCancelled() const { return m_taskError.load() == CANCEL; }
    QString errorAsString() const { return errorToString(error()); }
    void setCancel();

    void setTimeout(unsigned long long ms) { m_timeoutMs.store(ms); }
    unsigned long long timeout() const { return m_timeoutMs.load(); }
    /// The stopwatch's time since its start has reached the time-out (always true for 0).
    bool timeIsUP() const;
    unsigned long long elapsedTime() const;  ///< milliseconds

    void finish();  ///< stops the stopwatch, state finished
    /// Finished (stopwatch stopped), the work done, and no error. A running stopwatch gives false
    /// and one error line.
    bool isOK() const;

    /// True when the work completed within the time (false also without work).
    bool wait_for_milliseconds(unsigned long long ms) const;
    bool wait_for_microseconds(unsigned long long us) const;

    ProgressListeners& progressListeners() { return m_listeners->progress; }
    ProgressStringListeners& progressStringListeners() { return m_listeners->text; }
    /// Calls the listeners with percent (text) on the main thread.
    void fireProgress(unsigned int percent);
    void fireProgressString(const QString& text);

    /// "TASK is initialized", "TASK is ready:true" or "TASK is ready:false, error code:10, error: 'CANCEL'".
    virtual QString toString() const;

    XStopwatch& stopwatch() { return m_stopwatch; }

protected:
    AbstractTask();
    /// The running work, set by the subclass when it starts it.
    void setFuture(std::future<void>&& f) { m_future = std::move(f); }
    std::future<void>& future() { return m_future; }

private:
    struct Listeners {
        ProgressListeners progress;
        ProgressStringListeners text;
    };
    bool futureReadyWithin(std::chrono::microseconds span) const;

    std::atomic<unsigned int> m_taskError{0};
    std::future<void> m_future;
    std::atomic<unsigned long long> m_timeoutMs{0};
    std::atomic<unsigned int> m_state{INITIALIZED};
    XStopwatch m_stopwatch;
    std::shared_ptr<Listeners> m_listeners;
};

}  // namespace zor
