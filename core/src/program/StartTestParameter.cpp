#include <zor/StartTestParameter.h>

#include <zor/Logger.h>

namespace zor {

void StartTestParameter::show(int space) const {
    const unsigned int s = space < 0 ? 0U : static_cast<unsigned int>(space);
    logDebugSpace(s, "StartTestParameter, program:'$', test:'$', logLevel:'$', testMode:$", program, testName, logLevel,
                  testMode);
    for (int i = 0; i < arguments.size(); ++i) logDebugSpace(s + 4, "arg[$]:'$'", i + 1, arguments.at(i));
}

}  // namespace zor
