// The tour: the logger at every level and from several threads, the level mask, flag words,
// errors, and a few timed steps with their time-slot table.
#include "Commands.h"

#include <zor/core.h>

#include <algorithm>
#include <random>
#include <thread>
#include <vector>

namespace zorapp {

using namespace zor;

namespace {

void section(const char* title) { logInfo("==== $", title); }

void levels() {
    section("one message at each level");
    logInfo("Tour::levels, INFO: $ + $ = $", 1, 0.5, 1.5);
    logWarning("Tour::levels, WARNING: disk '$' is $% full", "/data", 93);
    logError("Tour::levels, XERROR: cannot open '$'", "missing.txt");
    logDebug("Tour::levels, DEBUG: bool $, char $, null text $", true, 'z', static_cast<const char*>(nullptr));
    logTest("Tour::levels, TEST: a test line");
    logDestruct("Tour::levels, DESTRUCT: ~Tour");
    const unsigned int more[] = {COMMAND, XSEND, XRECEIVE, XEVENT, XSTATE};
    for (unsigned int level : more)
        Logger::log(new LogMessageString("Tour::levels, $ (tag $)", QString::fromLatin1(logLevelToStringAllBits(level)).mid(3),
                                         logLevelToString(level)),
                    level);
    logDebugSpace(4, "Tour::levels, indented by four");
}

void threads() {
    section("three worker threads, two messages each; the main thread shows as 000000");
    std::vector<std::thread> workers;
    for (int t = 1; t <= 3; ++t)
        workers.emplace_back([t] {
            logInfo("Tour::worker $, started on thread $", t, getCurrentThreadID());
            logDebug("Tour::worker $, done", t);
        });
    for (auto& w : workers) w.join();
    Logger::getLogger().waitQueueEmpty();
}

void mask() {
    section("level mask: errors and warnings only (0x1B8E)");
    Logger::getLogger().waitQueueEmpty();
    Logger::saveLogLevel();
    Logger::setLogLevelSimple(SIMPLE_WARNINGS);
    Logger::showLogLevel();
    logInfo("Tour::mask, this INFO line is filtered before it gets a number");
    logDebug("Tour::mask, so is this DEBUG line");
    logWarning("Tour::mask, WARNING passes");
    logError("Tour::mask, XERROR passes");
    Logger::restoreLogLevel();
    Logger::getLogger().waitQueueEmpty();
    Logger::showLogLevel();
}

void flagsAndErrors() {
    section("flag words and errors");
    AtomicBits state;
    state.setInfoCallBack([](unsigned int o, unsigned int n) { logInfo("Tour::flags, callback old:$ new:$", o, n); });
    state.setEmitChanges(true);
    {
        TransactionAtomicBits t(state);
        state.setFlag(0x2, true);
        state.setFlag(0x4, true);
    }
    logInfo("Tour::flags, $", state.toString());
    XError e;
    e.setZorErrorTimeout();
    logInfo("Tour::errors, library code: '$'", e.errAsString());
    e.setErrno(2);
    logInfo("Tour::errors, errno: '$'", e.errAsString());
    for (int code : {0, 4, 6, 10}) logInfo("Tour::errors, exit code $: $", code, exitZorErrorCodeToString(code));
}

void timing() {
    section("a few steps timed with a stopwatch and time slots");
    XStopwatch total;
    total.start();
    XTimeSlot slot = XTimeStats::start_slot(QStringLiteral("format 100000 log texts"));
    slot->setType_CONVERT();
    int length = 0;
    for (int i = 0; i < 100000; ++i) length += xformat("Tour::timing, item $ of $, $", i, 100000, 0.25 * i).size();
    slot->setMessageEnd(xformat("$ characters", length));

    slot = XTimeStats::chain_slot(slot, QStringLiteral("sort one million numbers"));
    slot->setType_CALC();
    std::vector<unsigned int> numbers(1000000);
    std::mt19937 rng(42);
    for (auto& n : numbers) n = rng();
    std::sort(numbers.begin(), numbers.end());
    slot->setMessageEnd(xformat("smallest $", numbers.front()));

    slot = XTimeStats::chain_slot(slot, QStringLiteral("sleep 15 ms"));
    slot->setType_SLEEP();
    xSleep(15);
    slot->stop();
    total.stop();
    logInfo("Tour::timing, stopwatch: $", total.toString(true));
    logInfo("Tour::timing, stopwatch: $", total.toStringMicroseconds(true));
    XTimeStats::show_slots(0, XTimeStats::SORT::NUMBER);
}

}  // namespace

int runTour(const CommandLine& cmd) {
    if (!Logger::ini(cmd)) return EXIT_ZOR_CONFIGURATION;
    logInfo("Tour, zor $: text with '$' placeholders, a levelled logger on its own thread", ZorVersion::getVersion());
    levels();
    threads();
    tourThreads();
    tourKernel();
    mask();
    flagsAndErrors();
    tourMemory();
    tourTree();
    tourMath();
    tourXml();
    tourDirs();
    tourFind();
    tourNet();
    tourText();
    tourProcess();
    timing();
    section("end of the tour");
    Logger::quit();
    return EXIT_ZOR_OK;
}

}  // namespace zorapp
