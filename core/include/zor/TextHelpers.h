#pragma once
/// \zfile{global} Small text helpers used across the library for log lines and displays.
#include <zor/zor_export.h>

#include <QString>
#include <cstddef>

namespace zor {

ZOR_EXPORT QString xspace(unsigned int n);
ZOR_EXPORT QString createSpace(unsigned int n);        ///< cut to 1000000 with an error line
ZOR_EXPORT QString fillUpTo(const QString& s, unsigned int len);  ///< pads with spaces to len
ZOR_EXPORT QString formatFillZero(unsigned int width, long long v);
ZOR_EXPORT QString pointerString(const void* p);        ///< "%p"; null gives "0x0"
ZOR_EXPORT QString prf(const char* fmt, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;
ZOR_EXPORT QString xprintF(const char* s);
ZOR_EXPORT QString formatBytes(double bytes);      ///< KB, MB, GB (powers of 1000)
ZOR_EXPORT QString formatBytesMiB(double bytes);   ///< KiB, MiB, GiB (powers of 1024)
ZOR_EXPORT QString formatPercent(double v, unsigned int precision);  ///< "05,5"
/// Binary digits, bit 0 first, "_" between nibbles, three spaces between bytes.
ZOR_EXPORT QString bitsToString(unsigned char v, bool withValue = false);
ZOR_EXPORT QString bitsToString(unsigned short v, bool withValue = false);
ZOR_EXPORT QString bitsToString(unsigned int v, bool withValue = false);

/// ASCII a-z to A-Z in place: the first n bytes, or up to the terminating zero when n is 0. Other
/// bytes stay; a null text does nothing.
ZOR_EXPORT void toUpperCase(char* text, std::size_t n);
/// Two decimals with the sign always shown: "+0.00", "-1.50" (a negative zero shows as "+0.00").
ZOR_EXPORT QString formatFloat(float v);
/// formatMicrosecond_as_Sec of ms milliseconds: 2500 gives "2,500.000".
ZOR_EXPORT QString formatMillisecond_as_Sec(unsigned long long ms);

}  // namespace zor
