#pragma once
/// \zfile{thread} Handing work to the main (GUI) thread through kernel events. On the main thread a function runs
/// at once (or after msWait through a single-shot timer); from any other thread it is posted as an
/// XLambda_GUI_Event and runs in the main event loop, in posting order per thread. Without an
/// application object nothing could run it later: it then runs at once on the calling thread.
///
/// Thread-safety: every function may be called from any thread; posting is serialised by one
/// mutex (the kernel's runner mutex).
#include <zor/zor_export.h>

#include <functional>
#include <mutex>

namespace zor {

class KernelEvents;

namespace qt {

ZOR_EXPORT void run_in_Gui_Thread(std::function<void()> f, unsigned int msWait = 0);
ZOR_EXPORT bool is_Gui_Thread();

/// Posts a kernel event to the main thread, which runs and deletes it (takes ownership). Without an
/// application object the event runs and is deleted at once on the calling thread.
ZOR_EXPORT void postToMainThread(KernelEvents* event);
/// Held while an event is posted, and taken by the main thread before it runs one: the hand-over
/// is ordered by a lock that thread checkers see, not only by Qt's event queue.
ZOR_EXPORT std::mutex& mutexRunner();

}  // namespace qt
}  // namespace zor
