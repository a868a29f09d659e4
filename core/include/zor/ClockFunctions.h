#pragma once
/// \zfile{time} The library's clock: the system wall clock in ticks of 100 ns since 1970-01-01 UTC, and the
/// duration texts used by stopwatches and time statistics.
#include <zor/zor_export.h>

#include <QString>

namespace zor {

ZOR_EXPORT unsigned long long getTicks();         ///< 100 ns units since the epoch
ZOR_EXPORT unsigned long long getMicroseconds();  ///< ticks / 10
ZOR_EXPORT unsigned long long getMilliseconds();  ///< ticks / 10000
ZOR_EXPORT unsigned int getMillisecondsWithinSecond();

/// "1.234.567": a '.' after every third digit from the right; "0" for zero.
ZOR_EXPORT QString format1000(long long n);
/// Whole seconds, ',', the remaining microseconds as six digits with a '.' after the third:
/// 2500000 gives "2,500.000".
ZOR_EXPORT QString formatMicrosecond_as_Sec(unsigned long long microseconds);

}  // namespace zor
