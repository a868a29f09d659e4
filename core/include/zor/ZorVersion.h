#pragma once
/// \zclass{ZorVersion,global} The library's version and build stamp.
#include <zor/zor_export.h>

#include <QString>
#include <functional>

namespace zor {

class ZOR_EXPORT ZorVersion {
public:
    /// Names a library id; other libraries may replace it. Initially ZorLibraries::libNameByIdent.
    static std::function<const char*(unsigned int)> getZorLibName;

    static QString getVersion();  ///< "1.40.18" and the suffix, if any
    static double getVersionNumber();
    static QString getTimestamp_Date();  ///< __DATE__ of the build
    static QString getTimestamp_Time();  ///< __TIME__ of the build
    static QString all();                ///< "zor <version> <date> <time>"
};

}  // namespace zor
