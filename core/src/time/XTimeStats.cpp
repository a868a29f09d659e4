#include <zor/XTimeStats.h>

#include <zor/ClockFunctions.h>
#include <zor/FatalChecks.h>
#include <zor/Logger.h>

#include "platform/Platform.h"

#include <algorithm>

namespace zor {

namespace {
std::atomic<bool> s_recording{true};
}

XTimeStats::XTimeStats(unsigned int maxSlots) : m_maxSlots(maxSlots) { m_slots.reserve(maxSlots); }

XTimeStats* XTimeStats::getInstance() {
    static XTimeStats* instance = new XTimeStats(65536);  // lives until the process ends
    return instance;
}

void XTimeStats::setRecording(bool on) { s_recording.store(on); }
bool XTimeStats::isRecording() { return s_recording.load(); }

std::shared_ptr<XTimeSlot_Impl> XTimeStats::dummySlot() {
    static std::shared_ptr<XTimeSlot_Impl> dummy = std::make_shared<XTimeSlot_Impl>(0, 0, true);
    return dummy;
}

XTimeSlot XTimeStats::startSlot(const QString& message) {
    std::shared_ptr<XTimeSlot_Impl> slot;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!s_recording.load()) {
            slot = dummySlot();
        } else if (m_count.load() >= m_maxSlots.load()) {
            logWarning("XTimeStats::createSlotImpl - maximum Slots size_range is:$", m_maxSlots.load());
            slot = dummySlot();
        } else {
            // The id from the platform layer and the main-thread test from the logger keep time below the
            // thread folder.
            const unsigned int ownId = platform::currentThreadId();
            const unsigned int tid = Logger::isMainThread(ownId) ? 0 : ownId;
            slot = std::make_shared<XTimeSlot_Impl>(m_count.load(), tid);
            m_slots.push_back(slot);
            m_count.fetch_add(1);
        }
    }
    slot->setMessage(slot->isDummy() ? QStringLiteral("DUMMY-LOOP") : message);
    slot->start();
    return XTimeSlot(slot);
}

XTimeSlot XTimeStats::start_slot(const QString& message) { return getInstance()->startSlot(message); }

XTimeSlot XTimeStats::chain_slot(XTimeSlot& previous, const QString& message) {
    XTimeSlot_Impl* prev = previous.get();
    if (prev == nullptr) nullPointerHandling("libSrc/core/src/tools/time/XTimeStats", 160, QStringLiteral("slot == NULL"));
    QString text = message;
    if (text.isEmpty()) text = prev->messageEnd();
    if (text.isEmpty()) text = prev->messageBegin();
    if (prev->isStartedButNotStopped()) prev->stop();
    XTimeSlot next = start_slot(text);
    if (!next->isDummy()) next->setSlotType(prev->getSlotType());
    return next;
}

void XTimeStats::setMaxSlots(unsigned int maxSlots) {
    std::lock_guard<std::mutex> lock(m_mutex);
    logDebug("XTimeStats::setMaxSlots, maxSlots:$", maxSlots);
    m_slots.clear();
    m_slots.shrink_to_fit();
    m_slots.reserve(maxSlots);
    m_maxSlots.store(maxSlots);
}

void XTimeStats::clear() {
    std::lock_guard<std::mutex> lock(m_mutex);
    logDebug("XTimeStats::clear, maxCountSlots:$", m_maxSlots.load());
    m_slots.clear();
    m_slots.reserve(m_maxSlots.load());
    m_count.store(0);
}

bool XTimeStats::hasTimeSlots() const { return m_count.load() > 0; }

std::vector<XTimeSlot_Impl> XTimeStats::getSortedSlotsCopy(SORT_TYPE type, bool ascending) const {
    std::vector<XTimeSlot_Impl> copy;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        copy.reserve(m_slots.size());
        for (const auto& s : m_slots) copy.push_back(*s);
    }
    auto key = [type](const XTimeSlot_Impl& s) -> unsigned long long {
        switch (type) {
            case SORT::THREAD: return s.threadId();
            case SORT::DELTA_TIME: return s.delta();
            case SORT::TYPE_SLOT: return static_cast<unsigned long long>(s.getSlotType());
            case SORT::NUMBER:
            default: return s.index();
        }
    };
    std::stable_sort(copy.begin(), copy.end(), [&](const XTimeSlot_Impl& a, const XTimeSlot_Impl& b) {
        return ascending ? key(a) < key(b) : key(b) < key(a);
    });
    return copy;
}

unsigned long long XTimeStats::getSumOfDeltas(const std::vector<XTimeSlot_Impl>& slots) {
    unsigned long long sum = 0;
    for (const auto& s : slots) sum += s.delta();
    return sum;
}

std::vector<QString> XTimeStats::getSortedStringArray(unsigned long long& total, SORT_TYPE type) const {
    const std::vector<XTimeSlot_Impl> sorted = getSortedSlotsCopy(type, true);
    total = getSumOfDeltas(sorted);
    std::vector<QString> lines;
    lines.reserve(sorted.size());
    for (const auto& s : sorted) lines.push_back(s.toString(total));
    return lines;
}

void XTimeStats::show(unsigned int indent, SORT_TYPE type) const {
    logDebugSpace(indent, "XTimeSlots:$, sorted by $", m_count.load(), sortTypeToString(type));
    unsigned long long total = 0;
    for (const QString& line : getSortedStringArray(total, type)) logDebugSpace(indent + 4, "$", line);
    logDebugSpace(indent, "XTimeSlots, deltas total:$", formatMicrosecond_as_Sec(total));
}

void XTimeStats::show_slots(unsigned int indent, SORT_TYPE type) { getInstance()->show(indent, type); }

QString XTimeStats::toString() const { return xformat("$ timeSlots", m_count.load()); }

QString XTimeStats::sortTypeToString(SORT_TYPE type) {
    switch (type) {
        case SORT::NUMBER: return QStringLiteral("NUMBER");
        case SORT::THREAD: return QStringLiteral("THREAD");
        case SORT::DELTA_TIME: return QStringLiteral("DELTA_TIME");
        case SORT::TYPE_SLOT: return QStringLiteral("TYPE_SLOT");
    }
    return xformat("SORT-UNKNOWN:$", static_cast<int>(type));
}

}  // namespace zor
