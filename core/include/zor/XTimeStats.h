#pragma once
/// \zclass{XTimeStats,time} A recorder of named, typed, timed slots that lists them sorted with their share of
/// the total. Creating, clearing, resizing and copying are serialised by one mutex; starting and
/// stopping a slot take no lock on the statistics.
#include <zor/XTimeSlot.h>
#include <zor/zor_export.h>

#include <QString>
#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

namespace zor {

class ZOR_EXPORT XTimeStats {
public:  /// The orders in which the slots can be sorted and listed.
    struct SORT {
        enum SORT_TYPE { NUMBER = 0, THREAD = 1, DELTA_TIME = 2, TYPE_SLOT = 3 };
    };
    using SORT_TYPE = SORT::SORT_TYPE;

    explicit XTimeStats(unsigned int maxSlots);
    static XTimeStats* getInstance();  ///< 65536 slots at most

    /// Process-wide recording switch (on by default); while off every slot is the shared dummy.
    static void setRecording(bool on);
    static bool isRecording();

    XTimeSlot startSlot(const QString& message);
    static XTimeSlot start_slot(const QString& message);
    static XTimeSlot chain_slot(XTimeSlot& previous, const QString& message);

    void setMaxSlots(unsigned int maxSlots);
    void clear();
    bool hasTimeSlots() const;
    unsigned int slotCount() const { return m_count.load(); }

    std::vector<XTimeSlot_Impl> getSortedSlotsCopy(SORT_TYPE type, bool ascending) const;
    std::vector<QString> getSortedStringArray(unsigned long long& total, SORT_TYPE type) const;
    static unsigned long long getSumOfDeltas(const std::vector<XTimeSlot_Impl>& slots);

    void show(unsigned int indent, SORT_TYPE type) const;
    void show(SORT_TYPE type) const { show(0, type); }
    static void show_slots(unsigned int indent, SORT_TYPE type);
    QString toString() const;
    static QString sortTypeToString(SORT_TYPE type);

private:
    static std::shared_ptr<XTimeSlot_Impl> dummySlot();

    mutable std::mutex m_mutex;
    std::atomic<unsigned int> m_count{0};
    std::vector<std::shared_ptr<XTimeSlot_Impl>> m_slots;
    std::atomic<unsigned int> m_maxSlots;
};

}  // namespace zor
