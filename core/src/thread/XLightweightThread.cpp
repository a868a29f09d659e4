#include <zor/XLightweightThread.h>

#include <zor/Logger.h>
#include <zor/MainThread.h>
#include <zor/ThreadTools.h>

#include <vector>

namespace zor {

namespace {
void runAll(const std::vector<XLightweightThread::Callable>& callables) {
    if (callables.empty()) return;
    qt::run_in_Gui_Thread([callables] {
        for (const auto& f : callables)
            if (f) f();
    });
}
}  // namespace

XLightweightThread::XLightweightThread() {
    setInitialized(true);
    m_startedListeners.enable(true);
    m_finishedListeners.enable(true);
    prepareListener(true);
}

XLightweightThread::~XLightweightThread() {
    while (m_inRun.load(std::memory_order_acquire)) xSleep(1);
    if (listenerId != 0) state.listenersDirect().remove(listenerId);
}

void XLightweightThread::reuse() {
    setFinished(false);
    setRunning(false);
}

void XLightweightThread::enableListener(bool on) { state.setEmitChanges(on); }

void XLightweightThread::prepareListener(bool add) {
    if (add) {
        if (listenerId != 0) return;
        auto& direct = state.listenersDirect();
        // Called on the changing (pool) thread; the callables run later on the main thread, from
        // copies taken now, so they never touch this object.
        listenerId = direct.add([this](const BitFlags<unsigned int>& oldValue, const BitFlags<unsigned int>& newValue) {
            const auto rose = [&](unsigned int bit) { return (oldValue.value() & bit) == 0 && (newValue.value() & bit) != 0; };
            if (rose(FINISHED)) runAll(m_finishedListeners.snapshot());
            if (rose(RUNNING)) runAll(m_startedListeners.snapshot());
        });
        direct.enable(true);
        return;
    }
    if (listenerId != 0 && state.listenersDirect().remove(listenerId)) logDebug("XLightweightThread::prepareListener, listener removed");
    listenerId = 0;
}

void XLightweightThread::run() {
    (void)m_submitted.load(std::memory_order_acquire);
    m_inRun.store(true);
    setFinished(false);
    setRunning(true);
    runCustom();
    setRunning(false);
    setFinished(true);
    m_inRun.store(false, std::memory_order_release);
}

void XLightweightThread::runCustom() { logDebug("XLightweightThread::run_custom, override me"); }

}  // namespace zor
