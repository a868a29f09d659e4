#include <zor/LogHeaderInfos.h>

#include <zor/Environment.h>
#include <zor/LogLevel.h>
#include <zor/LogMessageString.h>
#include <zor/Logger.h>
#include <zor/XAdditionalLibInfos.h>
#include <zor/ZorVersion.h>
#include <zor/xformat.h>

#include "platform/Platform.h"

namespace zor {

LogHeaderInfos::LogHeaderInfos() {
    Logger::setThreadIDMain();
    addString(xformat("PID:$", platform::processId()));
    if (is_running_inside_VM()) addString(QStringLiteral("VM:true"));
    addString(xformat("CPU, threads:$", platform::hardwareThreads()));
    const QString os = getOSVersion();
    if (!os.isEmpty()) addString(QStringLiteral("OS :") + os);
    addString(xformat("lib:Qt $", QT_VERSION_STR));
    addString(xformat("lib:Zor $ - build at $ / $", ZorVersion::getVersion(), ZorVersion::getTimestamp_Date(),
                      ZorVersion::getTimestamp_Time()));
    // Other libraries keep their lines; the header takes copies.
    for (LogMessageString* info : XAdditionalLibInfos::libLogInfos()) {
        if (info != nullptr) addLogMessage(static_cast<LogMessageString*>(info->createCopy()));
    }
}

LogHeaderInfos::~LogHeaderInfos() { qDeleteAll(m_lines); }

void LogHeaderInfos::addString(const QString& text) {
    auto* msg = new LogMessageString(text);
    msg->setLogLevel(INFO);
    m_lines.append(msg);
}

void LogHeaderInfos::addLogMessage(LogMessageString* msg) {
    if (msg != nullptr) m_lines.append(msg);
}

}  // namespace zor
