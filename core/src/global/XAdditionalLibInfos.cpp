#include <zor/XAdditionalLibInfos.h>

#include <zor/LogLevel.h>
#include <zor/LogMessageString.h>

namespace zor {

std::vector<LogMessageString*> XAdditionalLibInfos::arLogMessages;

namespace {
// The lines live until the process ends (the logger copies them when it builds its header).
struct ReleaseAtExit {
    ~ReleaseAtExit() {
        for (LogMessageString* m : XAdditionalLibInfos::arLogMessages) delete m;
        XAdditionalLibInfos::arLogMessages.clear();
    }
} s_releaseAtExit;
}  // namespace

bool XAdditionalLibInfos::addLibInfo(QString text, bool) {
    auto* msg = new LogMessageString(text);
    msg->setLogLevel(INFO);
    msg->setSpace(0);
    arLogMessages.push_back(msg);
    return true;
}

std::vector<LogMessageString*>& XAdditionalLibInfos::libLogInfos() { return arLogMessages; }

}  // namespace zor
