#pragma once
/// \zclass{BaseThreadState,thread} The state word of tasks and other state holders (not the AbstractThread bits).
#include <zor/AtomicBits.h>
#include <zor/zor_export.h>

#include <QString>

namespace zor {

class ZOR_EXPORT BaseThreadState {
public:
    enum STATE : unsigned int { INITIALIZED = 0x2, RUNNING = 0x4, CANCELLED = 0x8, ERROR = 0x10, FINISHED = 0x20 };

    BaseThreadState() = default;
    virtual ~BaseThreadState();

    bool is_initialized() const { return flags == INITIALIZED; }
    bool is_running() const { return flags == RUNNING; }
    bool is_cancelled() const { return flags == CANCELLED; }
    bool is_error() const { return flags == ERROR; }
    bool is_finished() const { return flags == FINISHED; }
    void set_initialized(bool on) { flags.setFlag(INITIALIZED, on); }
    void set_running(bool on) { flags.setFlag(RUNNING, on); }
    void set_cancelled(bool on) { flags.setFlag(CANCELLED, on); }
    void set_error(bool on) { flags.setFlag(ERROR, on); }
    void set_finished(bool on) { flags.setFlag(FINISHED, on); }
    void reset_flags() { flags.resetFlags(); }
    AtomicBits& bits() { return flags; }

    /// "RUNNING | ERROR": the set states in the order INITIALIZED, RUNNING, FINISHED, ERROR,
    /// CANCELLED; empty when none is set.
    QString toString() const { return bit_flags_as_string(flags); }
    static QString bit_flags_as_string(const AtomicBits& bits);

protected:
    AtomicBits flags;
};

/// Trims text and removes one trailing "," or "|" (and the blanks before it).
ZOR_EXPORT QString format_toString_arguments(const QString& text);

}  // namespace zor
