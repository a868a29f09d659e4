#pragma once
/// \zclass{XErrorMap,error} The process-wide texts of library error codes. Filled at start-up (XLibBase), read
/// afterwards; it takes no lock.
#include <zor/zor_export.h>

#include <QString>
#include <map>

namespace zor {

class ZOR_EXPORT XErrorMap {
public:
    virtual ~XErrorMap();

    /// Registers text; a code already present keeps its text (a line on standard output says so).
    static void addError(unsigned int code, const QString& text);
    static bool containsError(unsigned int code);
    static QString getError(unsigned int code);  ///< "ZOR_ERROR_* {code} NOT DEFINED" when unknown
    static unsigned long long size();
    static std::map<unsigned int, QString>& mapErr();
    static void showErrorMap(unsigned int space);

protected:
    XErrorMap() = default;

private:
    static std::map<unsigned int, QString>* checkMap();
    static std::map<unsigned int, QString>* mapError;
};

}  // namespace zor
