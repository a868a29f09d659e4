#pragma once
/// \zclass{RESOURCE_LOGGER_DEBUG,log} A scope in which every level passes the logger's mask. With a context
/// text it logs "DEBUG-CONTEXT: <<< text >>>" on entry and "DEBUG-CONTEXT: <<< ~text >>>" on exit.
#include <zor/zor_export.h>

#include <QString>

namespace zor {

class ZOR_EXPORT RESOURCE_LOGGER_DEBUG {
public:
    explicit RESOURCE_LOGGER_DEBUG(const QString& context = QString());
    ~RESOURCE_LOGGER_DEBUG();
    RESOURCE_LOGGER_DEBUG(const RESOURCE_LOGGER_DEBUG&) = delete;
    RESOURCE_LOGGER_DEBUG& operator=(const RESOURCE_LOGGER_DEBUG&) = delete;

private:
    unsigned int m_savedMask;
    QString m_context;
};

}  // namespace zor
