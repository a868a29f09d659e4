#include <zor/RegTest.h>

#include <zor/Logger.h>
#include <zor/TestContext.h>
#include <zor/TextHelpers.h>
#include <zor/XStopwatch.h>
#include <zor/ZorErrorCodes.h>
#include <zor/xformat.h>

namespace zor {

QString RegTest::name() const { return m_context != nullptr ? m_context->key() : QString(); }

int RegTest::exec(unsigned int index, Kernel& kernel) {
    if (m_context == nullptr) {
        logError("RegTest::exec, testContext == nullptr");
        m_result = EXIT_ZOR_MAIN_HELPER;
        return m_result;
    }
    const QString testName = name();
    detail::logAt(COMMAND, 0, "TEST '$'", testName);
    XStopwatch watch;
    watch.start();
    m_result = m_context->exec(kernel);
    watch.stop();
    const QString nr = formatFillZero(3, index);
    // Result lines log at COMMAND, which every level mask of a test run lets through.
    if (m_result == 0) detail::logAt(COMMAND, 0, "TEST [$] '$', in $ sec, OK", nr, testName, watch.asStringDeltaSecond());
    else detail::logAt(COMMAND, 0, "TEST [$] '$' Error:$ => '$', in $ sec", nr, testName, m_result,
               exitZorErrorCodeToString(m_result), watch.asStringDeltaSecond());
    return m_result;
}

QString RegTest::toString() const {
    if (!hasRun()) return xformat("$, NOT_RUN_YET", name());
    return xformat("$, result:$", name(), m_result);
}

}  // namespace zor
