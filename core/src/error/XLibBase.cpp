#include <zor/XLibBase.h>

#include <zor/XErrorMap.h>
#include <zor/ZorErrorCodes.h>

#include <atomic>

namespace zor {

bool XLibBase::iniLibrary(int, char**, char**) {
    static std::atomic<bool> done{false};
    if (done.exchange(true)) return true;
    XErrorMap::addError(ZOR_ERROR_CANNOT_READ_RESOURCE, QStringLiteral("zor,cannot read resource"));
    XErrorMap::addError(ZOR_ERROR_TIMEOUT, QStringLiteral("zor,timeout"));
    XErrorMap::addError(ZOR_ERROR_BUFFER_EMPTY, QStringLiteral("zor,buffer empty"));
    XErrorMap::addError(ZOR_ERROR_NOT_INITIALIZED, QStringLiteral("zor,object not initialized"));
    XErrorMap::addError(ZOR_ERROR_TRUNCATE, QStringLiteral("zor,truncate"));
    XErrorMap::addError(ZOR_ERROR_OUT_OF_RANGE, QStringLiteral("zor,index out of range"));
    XErrorMap::addError(ZOR_ERROR_NUMBER_TOO_BIG, QStringLiteral("zor,number too big"));
    XErrorMap::addError(ZOR_ERROR_EOF, QStringLiteral("zor,eof"));
    return true;
}

}  // namespace zor
