#include <zor/XAdditionalLibInfos.h>

#include <zor/LogLevel.h>
#include <zor/LogMessageString.h>

namespace zor {

std::vector<LogMessageString*> XAdditionalLibInfos::arLogMessages;

bool XAdditionalLibInfos::addLibInfo(QString text, bool) {
    auto* msg = new LogMessageString(text);
    msg->setLogLevel(INFO);
    msg->setSpace(0);
    arLogMessages.push_back(msg);
    return true;
}

std::vector<LogMessageString*>& XAdditionalLibInfos::libLogInfos() { return arLogMessages; }

}  // namespace zor
