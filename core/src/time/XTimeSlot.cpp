#include <zor/XTimeSlot.h>

#include <zor/Logger.h>
#include <zor/TextHelpers.h>
#include <zor/XTimeStats.h>
#include <zor/ZorTime.h>
#include <zor/xformat.h>

namespace zor {

XTimeSlot_Impl::XTimeSlot_Impl(unsigned int index, unsigned int threadId, bool dummy)
    : m_threadId(threadId), m_index(index), m_dummy(dummy) {}

XTimeSlot_Impl::XTimeSlot_Impl(const XTimeSlot_Impl& other) { *this = other; }

XTimeSlot_Impl& XTimeSlot_Impl::operator=(const XTimeSlot_Impl& other) {
    if (this == &other) return *this;
    QString message, messageEnd;
    SLOT_TYPE type;
    {
        std::lock_guard<std::mutex> lock(other.m_mutex);
        message = other.m_message;
        messageEnd = other.m_messageEnd;
        type = other.m_slotType;
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_message = message;
        m_messageEnd = messageEnd;
        m_slotType = type;
    }
    m_started.store(other.m_started.load());
    m_stopped.store(other.m_stopped.load());
    m_watch = other.m_watch;
    m_threadId.store(other.m_threadId.load());
    m_index.store(other.m_index.load());
    m_dummy = other.m_dummy;
    return *this;
}

void XTimeSlot_Impl::start() {
    bool expected = false;
    if (m_started.compare_exchange_strong(expected, true)) {
        m_watch.start();
        return;
    }
    if (XTimeStats::isRecording() && !m_dummy)
        logWarning("XTimeSlot_Impl::start_global, already started!, msg '$'", messageBegin());
}

void XTimeSlot_Impl::stop() {
    bool expected = false;
    if (m_stopped.compare_exchange_strong(expected, true)) {
        m_watch.stop();
        return;
    }
    logWarning("XTimeSlot_Impl::stop, already stopped!");
}

unsigned long long XTimeSlot_Impl::delta() const { return isValid() ? m_watch.elapsed_time_microSeconds() : 0; }

void XTimeSlot_Impl::setMessage(const QString& text) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_message = text;
}

void XTimeSlot_Impl::setMessageEnd(const QString& text) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_messageEnd = text;
    }
    if (isStartedButNotStopped()) stop();
}

QString XTimeSlot_Impl::messageBegin() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_message;
}

QString XTimeSlot_Impl::messageEnd() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_messageEnd;
}

XTimeSlot_Impl::SLOT_TYPE XTimeSlot_Impl::getSlotType() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_slotType;
}

XTimeSlot_Impl* XTimeSlot_Impl::setSlotType(SLOT_TYPE type) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_slotType = type;
    return this;
}

namespace {
const char* const kPlain[] = {"STANDARD", "READ", "WRITE", "CALC", "CREATE", "PARSE",
                              "CONVERT", "GUI", "OPENGL", "TESTING", "SLEEP"};
const char* const kPadded[] = {"STANDARD", "____READ", "___WRITE", "____CALC", "__CREATE", "___PARSE",
                               "_CONVERT", "_____GUI", "__OPENGL", "_TESTING", "___SLEEP"};
}  // namespace

QString XTimeSlot_Impl::slotTypeToString(unsigned int type) {
    if (type <= SLOT::SLEEP) return QString::fromLatin1(kPadded[type]);
    return xformat("UNKNOWN-SLOT:$", type);
}

QString XTimeSlot_Impl::slot_type_to_string(unsigned int type) {
    if (type <= SLOT::SLEEP) return QString::fromLatin1(kPlain[type]);
    return xformat("SLOT:$ ?", type);
}

QString XTimeSlot_Impl::toString(unsigned long long totalMicroseconds) const {
    QString timing;
    if (isValid()) {
        const QString start = ZorTime(m_watch.getTimeStart()).getTimeString(0x100);
        QString share = totalMicroseconds == 0
                            ? QStringLiteral("??,000")
                            : formatPercent(100.0 * static_cast<double>(delta()) / static_cast<double>(totalMicroseconds), 3);
        timing = start + QStringLiteral(", ") + m_watch.toStringMicroseconds(true) + QStringLiteral(", ") + share +
                 QStringLiteral(" %");
    } else if (isStartedButNotStopped()) {
        timing = ZorTime(m_watch.getTimeStart()).getTimeString(0x100) + QStringLiteral(", RUNNING") + QString(22, QLatin1Char(' '));
    } else {
        timing = QStringLiteral("SLOT-NOT-VALID") + QString(32, QLatin1Char(' '));
    }
    const QString begin = messageBegin();
    const QString end = messageEnd();
    return formatFillZero(3, index()) + QStringLiteral(", ") + formatFillZero(6, threadId()) + QStringLiteral(", ") +
           slotTypeToString(getSlotType()) + QStringLiteral(", ") + timing + QStringLiteral(", ") +
           (begin.isEmpty() ? QStringLiteral("*") : begin) + QStringLiteral(", ") +
           (end.isEmpty() ? QStringLiteral("~") : end);
}

void XTimeSlot_Impl::show(unsigned int indent) const { logDebugSpace(indent, "$", toString(0)); }

XTimeSlot::~XTimeSlot() {
    if (m_impl && m_impl->isStartedButNotStopped()) m_impl->stop();
}

}  // namespace zor
