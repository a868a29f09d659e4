#pragma once
/// \zfile{time} The library's clock: the system wall clock in ticks of 100 ns since 1970-01-01 UTC, and the
/// duration texts used by stopwatches and time statistics.
#include <zor/TextHelpers.h>  // format1000, formatMicrosecond_as_Sec
#include <zor/zor_export.h>

#include <QString>

namespace zor {

ZOR_EXPORT unsigned long long getTicks();         ///< 100 ns units since the epoch
ZOR_EXPORT unsigned long long getMicroseconds();  ///< ticks / 10
ZOR_EXPORT unsigned long long getMilliseconds();  ///< ticks / 10000
ZOR_EXPORT unsigned int getMillisecondsWithinSecond();

}  // namespace zor
