#pragma once
// Handing work to the main (GUI) thread. On the main thread the function runs at once (or after
// msWait through a single-shot timer); from any other thread it is posted to the application
// object and runs in the main event loop. Without an application object nothing can run it later:
// the function then runs at once on the calling thread.
#include <zor/zor_export.h>

#include <functional>

namespace zor {
namespace qt {

ZOR_EXPORT void run_in_Gui_Thread(std::function<void()> f, unsigned int msWait = 0);
ZOR_EXPORT bool is_Gui_Thread();

// The program framework installs its own poster (kernel events); null restores the default.
using GuiPoster = void (*)(std::function<void()> f);
ZOR_EXPORT void setGuiPoster(GuiPoster poster);

}  // namespace qt
}  // namespace zor
