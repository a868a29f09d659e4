#pragma once
/// \zfile{thread} Thread ids, sleeping and the hardware thread count.
#include <zor/XAtomic.h>
#include <zor/zor_export.h>

namespace zor {

ZOR_EXPORT unsigned int getCurrentThreadID();  ///< the operating system's id of the calling thread
ZOR_EXPORT bool isMainThread();                 ///< the logger's main thread
ZOR_EXPORT void xSleep(unsigned long long ms);  ///< at least ms, on a steady clock
/// Sleeps in steps of stepMs until totalMs have passed or stop is set.
ZOR_EXPORT void xSleep_breakable(unsigned long long totalMs, unsigned long long stepMs, const XAtomic<bool>& stop);
ZOR_EXPORT void xSleep_breakable(unsigned long long totalMs, const XAtomic<bool>& stop);
/// wanted, bounded by the machine's hardware threads; 0 gives 1.
ZOR_EXPORT unsigned int count_hardware_threads(unsigned int wanted);

}  // namespace zor
