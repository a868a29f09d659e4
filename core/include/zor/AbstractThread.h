#pragma once
/// \zclass{AbstractThread,thread} The life of a thread as bits of one flag word that any thread may read without a
/// lock. Stopping is cooperative: clearing RUNNING asks the thread's own loop to end.
#include <zor/AtomicBits.h>
#include <zor/zor_export.h>

#include <QString>

namespace zor {

class ZOR_EXPORT AbstractThread {
public:
    enum STATE : unsigned int { INITIALIZED = 0x1, RUNNING = 0x2, FINISHED = 0x4, JOINED = 0x8 };

    AbstractThread() = default;
    AbstractThread(const AbstractThread&) = delete;
    AbstractThread& operator=(const AbstractThread&) = delete;
    virtual ~AbstractThread();

    /// "{INITIALIZED | RUNNING}": the names of the set state bits.
    virtual QString toString();

    bool isInitialized() const { return state == INITIALIZED; }
    bool isRunning() const { return state == RUNNING; }
    bool isFinished() const { return state == FINISHED; }
    bool isJoined() const { return state == JOINED; }
    void setInitialized(bool on) { state.setFlag(INITIALIZED, on); }
    void setRunning(bool on) { state.setFlag(RUNNING, on); }
    void setFinished(bool on) { state.setFlag(FINISHED, on); }
    AtomicBits& bits() { return state; }

    /// Sleeps in 10 ms steps until ms have passed or RUNNING is cleared.
    void break_sleep(unsigned int ms);

protected:
    void setJoined(bool on) { state.setFlag(JOINED, on); }

    AtomicBits state;
};

}  // namespace zor
