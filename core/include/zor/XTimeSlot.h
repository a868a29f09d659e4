#pragma once
/// \zclass{XTimeSlot,time} A timed slot of the time statistics (XTimeStats): a begin and an end text, a type and a
/// stopwatch. XTimeSlot is the shared handle callers hold; the record stays valid for as long as a
/// handle exists, even after the statistics are cleared.
#include <zor/XStopwatch.h>
#include <zor/zor_export.h>

#include <QString>
#include <atomic>
#include <memory>
#include <mutex>

namespace zor {
/// The record of one timed slot, shared by the XTimeSlot handles that refer to it. \ingroup time
class ZOR_EXPORT XTimeSlot_Impl {
public:  /// The types of a slot, printed in the listing of the statistics.
    struct SLOT {
        enum SLOT_TYPE {
            STANDARD = 0, READ = 1, WRITE = 2, CALC = 3, CREATE = 4, PARSE = 5,
            CONVERT = 6, GUI = 7, OPENGL = 8, TESTING = 9, SLEEP = 10
        };
    };
    using SLOT_TYPE = SLOT::SLOT_TYPE;

    XTimeSlot_Impl(unsigned int index = 0, unsigned int threadId = 0, bool dummy = false);
    XTimeSlot_Impl(const XTimeSlot_Impl& other);
    XTimeSlot_Impl& operator=(const XTimeSlot_Impl& other);

    void start();
    void stop();
    unsigned long long delta() const;  ///< microseconds; 0 unless valid
    bool isValid() const { return m_started.load() && m_stopped.load(); }
    bool isStartedButNotStopped() const { return m_started.load() && !m_stopped.load(); }

    void setMessage(const QString& text);
    void setMessageEnd(const QString& text);  ///< also stops a running slot
    QString messageBegin() const;
    QString messageEnd() const;

    SLOT_TYPE getSlotType() const;
    XTimeSlot_Impl* setSlotType(SLOT_TYPE type);
    XTimeSlot_Impl* setType_STANDARD() { return setSlotType(SLOT::STANDARD); }
    XTimeSlot_Impl* setType_READ() { return setSlotType(SLOT::READ); }
    XTimeSlot_Impl* setType_WRITE() { return setSlotType(SLOT::WRITE); }
    XTimeSlot_Impl* setType_CALC() { return setSlotType(SLOT::CALC); }
    XTimeSlot_Impl* setType_CREATE() { return setSlotType(SLOT::CREATE); }
    XTimeSlot_Impl* setType_PARSE() { return setSlotType(SLOT::PARSE); }
    XTimeSlot_Impl* setType_CONVERT() { return setSlotType(SLOT::CONVERT); }
    XTimeSlot_Impl* setType_GUI() { return setSlotType(SLOT::GUI); }
    XTimeSlot_Impl* setType_OPENGL() { return setSlotType(SLOT::OPENGL); }
    XTimeSlot_Impl* setType_TESTING() { return setSlotType(SLOT::TESTING); }
    XTimeSlot_Impl* setType_SLEEP() { return setSlotType(SLOT::SLEEP); }

    static QString slotTypeToString(unsigned int type);     ///< padded to 8 with '_'
    static QString slot_type_to_string(unsigned int type);  ///< plain names

    unsigned int index() const { return m_index.load(); }
    unsigned int threadId() const { return m_threadId.load(); }
    const XStopwatch& watch() const { return m_watch; }
    bool isDummy() const { return m_dummy; }

    QString toString(unsigned long long totalMicroseconds) const;
    void show(unsigned int indent = 0) const;

private:
    QString m_message;
    QString m_messageEnd;
    std::atomic<bool> m_started{false};
    std::atomic<bool> m_stopped{false};
    mutable std::mutex m_mutex;  // guards the texts and the type
    XStopwatch m_watch;
    std::atomic<unsigned int> m_threadId{0};
    std::atomic<unsigned int> m_index{0};
    SLOT_TYPE m_slotType = SLOT::STANDARD;
    bool m_dummy = false;
};

class ZOR_EXPORT XTimeSlot {
public:
    XTimeSlot() = default;
    explicit XTimeSlot(std::shared_ptr<XTimeSlot_Impl> impl) : m_impl(std::move(impl)) {}
    XTimeSlot(const XTimeSlot&) = default;
    XTimeSlot(XTimeSlot&&) noexcept = default;
    XTimeSlot& operator=(const XTimeSlot&) = default;
    XTimeSlot& operator=(XTimeSlot&&) noexcept = default;
    ~XTimeSlot();  ///< stops the slot if it was started and not yet stopped

    XTimeSlot_Impl* operator->() const { return m_impl.get(); }
    XTimeSlot_Impl* get() const { return m_impl.get(); }
    explicit operator bool() const { return m_impl != nullptr; }

private:
    std::shared_ptr<XTimeSlot_Impl> m_impl;
};

}  // namespace zor
