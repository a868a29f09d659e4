// The logger core: filtering, numbering, the header, delivery, pause, quit and the console lines.
#include "support/CaptureAppender.h"
#include "support/Wait.h"

#include <zor/AppenderConsole.h>
#include <zor/AppenderLimitMemory.h>
#include <zor/CommandLine.h>
#include <zor/LogMemAttachment.h>
#include <zor/LogMessageQuit.h>
#include <zor/Logger.h>
#include <zor/RESOURCE_LOGGER_DEBUG.h>
#include <zor/ThreadTools.h>
#include <zor/XAdditionalLibInfos.h>
#include <zor/XMemFile.h>
#include <zor/xformat.h>

#include <gtest/gtest.h>

#include <unistd.h>
#include <QRegularExpression>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <thread>
#include <type_traits>
#include <utility>

using namespace zor;
using zortest::CaptureAppender;

namespace {

// The header lines come first; return the messages after them.
std::vector<zortest::Captured> afterHeader(const CaptureAppender& cap) {
    std::vector<zortest::Captured> all = cap.messages(), rest;
    bool inHeader = true;
    for (const auto& m : all) {
        if (inHeader &&
            (m.text.startsWith(QLatin1String("PID:")) || m.text.startsWith(QLatin1String("VM:")) ||
             m.text.startsWith(QLatin1String("CPU, threads:")) || m.text.startsWith(QLatin1String("OS :")) ||
             m.text.startsWith(QLatin1String("lib:")) || m.text.startsWith(QLatin1String("extra:"))))
            continue;
        inHeader = false;
        rest.push_back(m);
    }
    return rest;
}

bool matches(const QString& pattern, const QString& text) {
    return QRegularExpression(QStringLiteral("^") + pattern + QStringLiteral("$")).match(text).hasMatch();
}

}  // namespace

TEST(LoggerLevels, TagsNamesAndSimpleLevels) {
    EXPECT_STREQ(logLevelToString(0x20 | 0x40), "TEST#");
    EXPECT_STREQ(logLevelToString(0), "");
    EXPECT_STREQ(logLevelToString(XERROR | 0x640000), "ERROR");
    EXPECT_STREQ(logLevelToString(WARNING | INFO), "INFO#");
    EXPECT_STREQ(logLevelToString(XRECEIVE | DESTRUCT), "~DEST");
    EXPECT_STREQ(logLevelToString(XSEND), ">>SND");
    EXPECT_STREQ(logLevelToStringAllBits(0), "ZERO");
    EXPECT_STREQ(logLevelToStringAllBits(1), "LEVEL???");
    EXPECT_STREQ(logLevelToStringAllBits(0x640000), "LEVEL???");
    EXPECT_STREQ(logLevelToStringAllBits(FATAL | INFO), " | FATAL | INFO");
    EXPECT_EQ(mapToLogLevelFlags(1), 0x1B86u);
    EXPECT_EQ(mapToLogLevelFlags(2), 0x1B8Eu);
    EXPECT_EQ(mapToLogLevelFlags(3), 0x1F9Eu);
    EXPECT_EQ(mapToLogLevelFlags(4), 0x1FDEu);
    EXPECT_EQ(mapToLogLevelFlags(0), 0x1FFEu);
    EXPECT_EQ(mapToLogLevelFlags(99), 0x1FFEu);
}

TEST(Logger, DropsEverythingBeforeIni) {
    EXPECT_FALSE(Logger::isRunning());
    logError("not delivered $", 1);  // must not crash or queue
    Logger::log(new LogMessageString("x"), INFO);
    EXPECT_FALSE(Logger::isInitialized());
    EXPECT_EQ(Logger::getLogLevel(), 0x1FFEu);
}

TEST(Logger, HeaderComesFirstAndFilteringHappensBeforeNumbering) {
    XAdditionalLibInfos::addLibInfo(QStringLiteral("extra: from another library"), true);
    CaptureAppender cap;
    zortest::startLoggerWith(&cap, 0x1B86);
    Logger::addHeaderString(QStringLiteral("extra: added before the first message"));
    EXPECT_FALSE(Logger::isInitialized());
    logWarning("dropped, WARNING is not in 0x1B86");
    logError("first accepted $", 1);
    logDebug("dropped too");
    logError("second accepted");
    zortest::drainLogger();
    EXPECT_TRUE(Logger::isInitialized());

    const auto all = cap.messages();
    ASSERT_GE(all.size(), 6u);
    EXPECT_EQ(all[0].text, QStringLiteral("PID:") + QString::number(getpid()));
    EXPECT_TRUE(all[0].mainThread);
    EXPECT_TRUE(cap.containsText(QStringLiteral("lib:Qt ") + QStringLiteral(QT_VERSION_STR)));
    EXPECT_TRUE(cap.containsText(QStringLiteral("extra: from another library")));
    EXPECT_TRUE(cap.containsText(QStringLiteral("extra: added before the first message")));
    for (std::size_t i = 0; i < all.size(); ++i) EXPECT_EQ(all[i].number, i) << "numbers are dense from 0";
    const auto rest = afterHeader(cap);
    ASSERT_EQ(rest.size(), 2u);
    EXPECT_EQ(rest[0].text, QStringLiteral("first accepted 1"));
    EXPECT_EQ(rest[0].level, XERROR | 0x640000u);
    EXPECT_EQ(rest[1].text, QStringLiteral("second accepted"));
    EXPECT_EQ(rest[1].number, rest[0].number + 1);
    Logger::quit();
}

TEST(Logger, RegressionModeNumbersTheFirstMessageZeroAndVmLine) {
    ::setenv("ZORVM", "On", 1);
    CaptureAppender cap;
    Logger::prepareForRegressionTests(true);
    zortest::startLoggerWith(&cap);
    logInfo("one");
    logInfo("two");
    zortest::drainLogger();
    EXPECT_TRUE(cap.containsText(QStringLiteral("VM:true")));
    const auto rest = afterHeader(cap);
    ASSERT_EQ(rest.size(), 2u);
    EXPECT_EQ(rest[0].number, 0u);
    EXPECT_EQ(rest[1].number, 1u);
    Logger::quit();
}

TEST(Logger, QuitPassesAnyMaskAndDeliversEverythingBeforeIt) {
    CaptureAppender cap;
    zortest::startLoggerWith(&cap, 0);  // nothing passes
    logError("filtered");
    Logger::log(new LogMessageQuit, DEBUG);  // the quit message passes even mask 0 ...
    // ... and ends the thread: nothing else is delivered, not even the header (queued before it).
    ASSERT_TRUE(Logger::getLogger().waitQueueEmpty(5000));
    EXPECT_TRUE(Logger::isInitialized());
    const std::size_t header = cap.size();
    Logger::setLogLevel(LOG_LEVEL_ALL);
    logError("after the end");
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(cap.size(), header);
    EXPECT_FALSE(cap.containsText(QStringLiteral("after the end")));
}

TEST(Logger, QuitReturnsAfterEveryQueuedMessageWasDelivered) {
    CaptureAppender cap;
    zortest::startLoggerWith(&cap);
    for (int i = 0; i < 5000; ++i) logDebug("message $", i);
    zortest::quitLogger();
    const auto rest = afterHeader(cap);
    ASSERT_EQ(rest.size(), 5000u);
    EXPECT_EQ(rest.back().text, QStringLiteral("message 4999"));
    logInfo("never delivered");
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(afterHeader(cap).size(), 5000u);
}

TEST(Logger, PauseHoldsDeliveryAndResumeDeliversTheHeldMessageFirst) {
    CaptureAppender cap;
    zortest::startLoggerWith(&cap);
    logInfo("before pause");
    zortest::drainLogger();
    Logger::atomicPause = true;
    logInfo("held 1");
    logInfo("held 2");
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(cap.containsText(QStringLiteral("held 1")));
    Logger::atomicPause = false;
    zortest::drainLogger();
    const auto rest = afterHeader(cap);
    ASSERT_EQ(rest.size(), 3u);
    EXPECT_EQ(rest[1].text, QStringLiteral("held 1"));
    EXPECT_EQ(rest[2].text, QStringLiteral("held 2"));
    Logger::quit();
}

TEST(Logger, AppenderListOperationsAndSecondIni) {
    CaptureAppender cap, other;
    zortest::startLoggerWith(&cap);
    Logger& logger = Logger::getLogger();
    EXPECT_FALSE(logger.removeAppender(&other));  // unknown appender
    EXPECT_FALSE(logger.hasAppenderConsole());
    EXPECT_FALSE(logger.hasAppenderFile());
    EXPECT_FALSE(logger.hasAppenderGUI());
    EXPECT_EQ(logger.getAppenderGUI(), nullptr);
    EXPECT_FALSE(logger.IsConsoleAppenderEnabled());
    EXPECT_FALSE(Logger::isIncludeTraillerConsole());
    logger.addAppender(&other);
    logInfo("to both");
    zortest::drainLogger();
    EXPECT_TRUE(logger.removeAppender(&other));
    EXPECT_FALSE(logger.removeAppender(&other));
    logInfo("to the first only");
    zortest::drainLogger();
    EXPECT_TRUE(cap.containsText(QStringLiteral("to both")));
    EXPECT_TRUE(other.containsText(QStringLiteral("to both")));
    EXPECT_TRUE(cap.containsText(QStringLiteral("to the first only")));
    EXPECT_FALSE(other.containsText(QStringLiteral("to the first only")));
    cap.setEnabled(false);
    logInfo("disabled");
    zortest::drainLogger();
    EXPECT_FALSE(cap.containsText(QStringLiteral("disabled")));

    // A second ini is refused but reports success.
    testing::internal::CaptureStdout();
    EXPECT_TRUE(Logger::ini(CommandLine(), nullptr, LOG_LEVEL_ALL));
    EXPECT_NE(testing::internal::GetCapturedStdout().find("Logger::ini, already called"), std::string::npos);
    EXPECT_TRUE(Logger::isReady());
    Logger::quit();
}

TEST(Logger, MaskHelpersAndDebugScope) {
    CaptureAppender cap;
    zortest::startLoggerWith(&cap);
    Logger::setLogLevelSimple(SIMPLE_WARNINGS);
    EXPECT_EQ(Logger::getLogLevel(), 0x1B8Eu);
    Logger::saveLogLevel();
    Logger::setLogLevel(XERROR);
    logInfo("filtered by XERROR");
    {
        RESOURCE_LOGGER_DEBUG scope(QStringLiteral("ctx"));
        EXPECT_EQ(Logger::getLogLevel(), 0x1FFEu);
        logDebug("inside the scope");
    }
    EXPECT_EQ(Logger::getLogLevel(), static_cast<unsigned int>(XERROR));
    Logger::restoreLogLevel();
    EXPECT_EQ(Logger::getLogLevel(), 0x1B8Eu);
    Logger::debug(2, "printf %d-%s", 5, "x");  // DEBUG is not in 0x1B8E
    Logger::setLogLevel(LOG_LEVEL_ALL);
    Logger::debug(2, "printf %d-%s", 5, "x");
    logDebugSpace(3, "spaced");
    zortest::drainLogger();
    const QStringList t = cap.texts();
    EXPECT_FALSE(t.contains(QStringLiteral("filtered by XERROR")));
    const int begin = t.indexOf(QStringLiteral("DEBUG-CONTEXT: <<< ctx >>>"));
    ASSERT_GE(begin, 0);
    EXPECT_EQ(t.value(begin + 1), QStringLiteral("inside the scope"));
    EXPECT_EQ(t.value(begin + 2), QStringLiteral("DEBUG-CONTEXT: <<< ~ctx >>>"));
    EXPECT_EQ(t.count(QStringLiteral("  printf 5-x")), 1);
    Logger::quit();
}

TEST(Logger, EightThreadsEveryMessageOnceNumbersDenseInDeliveryOrder) {
    CaptureAppender cap;
    zortest::startLoggerWith(&cap);
    constexpr int kThreads = 8, kPerThread = 20000;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([t] {
            for (int i = 0; i < kPerThread; ++i) {
                if (i % 3 == 2)
                    logDebug("thread $ message $", t, i);
                else
                    logInfo("thread $ message $", t, i);
            }
        });
    for (auto& th : threads) th.join();
    zortest::quitLogger();
    const auto all = cap.messages();
    std::vector<std::vector<int>> seen(kThreads);
    unsigned int expected = 0;
    for (const auto& m : all) {
        ASSERT_EQ(m.number, expected++) << "numbers dense and increasing in delivery order";
        const QStringList parts = m.text.split(QLatin1Char(' '));
        if (parts.size() == 4 && parts[0] == QLatin1String("thread"))
            seen[parts[1].toInt()].push_back(parts[3].toInt());
    }
    for (int t = 0; t < kThreads; ++t) {
        ASSERT_EQ(seen[t].size(), static_cast<std::size_t>(kPerThread)) << "thread " << t;
        for (int i = 0; i < kPerThread; ++i) ASSERT_EQ(seen[t][i], i) << "each thread's messages in its order";
    }
}

TEST(ConsoleAppender, ExactLineLayout) {
    AppenderConsole console(true);
    QList<Appender*> list{&console};
    Logger::prepareForRegressionTests(true);
    testing::internal::CaptureStdout();
    ASSERT_TRUE(Logger::ini(CommandLine(), &list, LOG_LEVEL_ALL));
    for (int i = 0; i < 7; ++i) logDebug("filler $", i);
    logInfo("main thread line");
    unsigned int workerId = 0;
    std::thread([&] {
        workerId = getCurrentThreadID();
        logWarning("from a worker");
    }).join();
    logDebugSpace(4, "indented");
    zortest::drainLogger();
    const QString out = QString::fromStdString(testing::internal::GetCapturedStdout());
    const QStringList lines = out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    const QString time = QStringLiteral("\\d\\d:\\d\\d:\\d\\d,\\d{3}");
    auto line = [&](const QString& text) {
        for (const QString& l : lines)
            if (l.endsWith(text)) return l;
        return QString();
    };
    EXPECT_TRUE(matches(
        QStringLiteral("\\[000007\\] \\[INFO#\\] \\[") + time + QStringLiteral("\\] \\[000000\\] main thread line"),
        line(QStringLiteral("main thread line"))))
        << line(QStringLiteral("main thread line")).toStdString();
    EXPECT_TRUE(matches(QStringLiteral("\\[000008\\] \\[WARN#\\] \\[") + time + QStringLiteral("\\] \\[") +
                            QString::asprintf("%06u", workerId) + QStringLiteral("\\] from a worker"),
                        line(QStringLiteral("from a worker"))));
    EXPECT_TRUE(
        matches(QStringLiteral("\\[000009\\] \\[DEBUG\\] \\[") + time + QStringLiteral("\\] \\[000000\\]     indented"),
                line(QStringLiteral("indented"))));
    Logger::quit();
}

TEST(ConsoleAppender, TimeFormatsTrailerSwitchAndAttachments) {
    AppenderConsole console(false);
    LogMessageString msg("text");
    EXPECT_EQ(console.formatLine(&msg), QStringLiteral("text"));
    console.setIncludeTrailler(true);
    const QString prefix = QStringLiteral("\\[000000\\] \\[DEBUG\\] \\[");
    const std::pair<int, const char*> formats[] = {{0, "\\d\\d:\\d\\d,\\d{3}"},
                                                   {2, "\\d\\d:\\d\\d,\\d{6}"},
                                                   {3, "\\d\\d:\\d\\d:\\d\\d,\\d{6}"},
                                                   {9, ""}};  // an unknown format shows no time
    for (const auto& f : formats) {
        AppenderConsole::atomicTimeFormat = f.first;
        EXPECT_TRUE(matches(prefix + QLatin1String(f.second) + QStringLiteral("\\] \\[\\d{6}\\] text"),
                            console.formatLine(&msg)))
            << f.first;
    }
    AppenderConsole::atomicTimeFormat = 1;

    console.setIncludeTrailler(false);
    LogMessageString withMem("payload");
    withMem.attach(new LogMemAttachment(QByteArray(16, 'x')));
    EXPECT_EQ(withMem.getSize(), 32u + 10u + 14u + 16u);
    EXPECT_EQ(console.formatLine(&withMem), QStringLiteral("{mem:1}payload"));
    EXPECT_FALSE(withMem.hasAttachment()) << "later appenders no longer see it";
    LogMessageString empty("e");
    empty.attach(new LogMemAttachment);
    EXPECT_EQ(console.formatLine(&empty), QStringLiteral("{mem:0}e"));
    LogMessageString broken("b");
    auto* bad = new LogMemAttachment(QByteArray("abc"));
    bad->setErrno(5);
    broken.attach(bad);
    EXPECT_EQ(console.formatLine(&broken), QStringLiteral("{mem:0}b"));
}

TEST(ConsoleAppender, SimpleTrailerAndDirectOutput) {
    testing::internal::CaptureStdout();
    Logger::printToCout("direct");
    Logger::printToCout(static_cast<const char*>(nullptr));
    Logger::printToCout(QStringLiteral("second"));
    const QString out = QString::fromStdString(testing::internal::GetCapturedStdout());
    const QStringList lines = out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    const QString trailer = QStringLiteral("<\\d{6}> <\\d\\d:\\d\\d:\\d\\d,\\d{3}> <\\d{6,}> ");
    EXPECT_TRUE(matches(trailer + QStringLiteral("direct"), lines[0]));
    EXPECT_TRUE(matches(trailer + QStringLiteral("ppCout\\(nullptr\\)"), lines[1]));
    EXPECT_TRUE(matches(trailer + QStringLiteral("second"), lines[2]));
    const int first = lines[0].mid(1, 6).toInt();
    EXPECT_EQ(lines[2].mid(1, 6).toInt(), first + 2) << "the trailer counter counts every call";
}

TEST(ConsoleAppender, IniBuildsTheConsoleFromTheCommandLine) {
    const char* argv[] = {"prog", "run", "--logTrailler", "false"};
    CommandLine cmd(4, const_cast<char**>(argv));
    testing::internal::CaptureStdout();
    ASSERT_TRUE(Logger::ini(cmd));
    EXPECT_TRUE(Logger::getLogger().hasAppenderConsole());
    EXPECT_FALSE(Logger::isIncludeTraillerConsole());
    logInfo("plain line");
    zortest::quitLogger();
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("\nplain line\n"), std::string::npos) << out;
}

TEST(ConsoleAppender, NoConsoleWhenSwitchedOff) {
    const char* argv[] = {"prog", "run", "--logConsole", "off"};
    CommandLine cmd(4, const_cast<char**>(argv));
    ASSERT_TRUE(Logger::ini(cmd));
    EXPECT_FALSE(Logger::getLogger().hasAppenderConsole());
    Logger::quit();
}

TEST(LogMessages, CopiesAssignAndAttachments) {
    LogMessageString a("text $ $", 1, 2.5);
    EXPECT_EQ(a.toString(), QStringLiteral("text 1 2.500000"));
    EXPECT_EQ(a.getLogLevel(), static_cast<unsigned int>(DEBUG)) << "new messages start at DEBUG";
    a.setLogLevel(XERROR);
    EXPECT_EQ(a.getLogLevel(), XERROR | 0x640000u);
    EXPECT_TRUE(a.isError());
    EXPECT_FALSE(a.isWarning());
    a.setSpace(3);
    a.attach(new LogMemAttachment(QByteArray("abc")));
    EXPECT_EQ(a.getSize(), 32u + 10u + 2u * 15u + 3u);
    LogMessageString copy(a);
    EXPECT_TRUE(copy.hasAttachment()) << "a copy carries its own attachment";
    EXPECT_NE(copy.getAttachment(), a.getAttachment());
    LogMessageString broken("b");
    auto* bad = new LogMemAttachment(QByteArray("abc"));
    bad->setErrno(5);
    broken.attach(bad);
    const LogMessageString brokenCopy(broken);
    EXPECT_FALSE(brokenCopy.getAttachment()->isOK()) << "a copied attachment keeps its error";
    std::unique_ptr<LogMessage> c(a.createCopy());
    EXPECT_EQ(c->toString(), a.toString());
    EXPECT_EQ(c->getLogLevel(), a.getLogLevel());
    EXPECT_EQ(c->getSpace(), 3u);
    EXPECT_TRUE(c->hasAttachment());
    EXPECT_FALSE(a.hasAttachment()) << "assign moves the attachment";
    LogMessageQuit q;
    EXPECT_TRUE(q.isQuitMessage());
    EXPECT_EQ(q.toString(), QStringLiteral("QUIT"));
    EXPECT_FALSE(a.isQuitMessage());
}

TEST(LogMessages, LogMemCarriesACopyOrTheMovedBlock) {
    CaptureAppender cap;
    zortest::startLoggerWith(&cap);
    XMemFile mem(QByteArray(16, 'm'));
    Logger::logMemInfo(mem, false, QStringLiteral("copied"));
    EXPECT_EQ(mem.size(), 16u);
    Logger::logMemError(mem, true, QStringLiteral("moved"));
    EXPECT_TRUE(mem.isEmpty());
    zortest::drainLogger();
    const auto rest = afterHeader(cap);
    ASSERT_EQ(rest.size(), 2u);
    EXPECT_TRUE(rest[0].hadAttachment);
    EXPECT_EQ(rest[1].level, XERROR | 0x640000u);
    Logger::quit();
}

using FatalChecksDeathTest = testing::Test;

TEST_F(FatalChecksDeathTest, NullPointerHandlingPrintsItsNoticeAndExitsWithOne) {
    EXPECT_EXIT(
        {
            dup2(2, 1);
            nullPointerHandling("libSrc/core/src/tools/xmem/XMem", 42, QStringLiteral("pMem == NULL"));
        },
        testing::ExitedWithCode(1),
        "nullptr:pMem == NULL\nlibSrc/core/src/tools/xmem/XMem\nLINE:42\nprogram will exit in 5 sec\n");
}

TEST_F(FatalChecksDeathTest, BoolExpressionHandlingPrintsItsNoticeAndExitsWithOne) {
    EXPECT_EXIT(
        {
            dup2(2, 1);
            boolExpressionHandling("libSrc/core/src/tools/log/Logger", 7);
        },
        testing::ExitedWithCode(1),
        "bool expression failure:\nlibSrc/core/src/tools/log/Logger\nLINE:7\nprogram will exit in 5 sec\nprogram exit "
        "!\n");
}

namespace {

// Whether code outside the logger could call logMessage.
template <typename L, typename = void>
struct PublicLogMessage : std::false_type {};
template <typename L>
struct PublicLogMessage<L, std::void_t<decltype(std::declval<L&>().logMessage(nullptr))>> : std::true_type {};

// A logger built on this one reaches the protected entry.
struct DerivedLogger : Logger {
    using Logger::logPreparedMessage;
};

// Calls itself a console but is none; its first field sits where a console keeps its trailer switch.
class ClaimsConsole : public Appender {
public:
    void append(LogMessage*) override {}
    bool isAppenderConsole() const override { return true; }
    std::atomic<bool> lookalike{true};
};

}  // namespace

TEST(Logger, PreparedMessagesTheMemoryAppenderAndConsolesByType) {
    static_assert(!PublicLogMessage<Logger>::value, "logMessage belongs to the logger and its level helpers");
    ClaimsConsole claims;
    AppenderLimitMemory memory(20, 100, 10);
    QList<Appender*> list{&claims, &memory};
    ASSERT_TRUE(Logger::ini(CommandLine(), &list, LOG_LEVEL_ALL));
    Logger& logger = Logger::getLogger();
    auto* prepared = new LogMessageString("prepared");
    prepared->setLogLevel(WARNING);
    prepared->setSpace(3);
    DerivedLogger::logPreparedMessage(prepared);
    for (int i = 0; i < 300; ++i) logInfo("m $", i);

    AppenderLimitMemory* found = logger.getAppenderLimitMemory();
    ASSERT_EQ(found, &memory);
    ASSERT_FALSE(found->getLogMessages().isEmpty());
    EXPECT_EQ(found->getLogMessages().last()->toString(), QStringLiteral("m 299"))
        << "everything logged before the call has been delivered";
    const LogMessage* kept = nullptr;
    for (LogMessage* m : found->getLogMessages())
        if (m->toString() == QLatin1String("prepared")) kept = m;
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(kept->getLogLevel(), WARNING | 0x640000u) << "queued as its maker prepared it";
    EXPECT_EQ(kept->getSpace(), 3u);

    // Only a console appender has the trailer switch; one that merely says it is a console keeps its bytes.
    Logger::setIncludeTraillerConsole(false);
    EXPECT_TRUE(claims.lookalike.load());
    EXPECT_FALSE(Logger::isIncludeTraillerConsole());
    EXPECT_TRUE(logger.hasAppenderConsole()) << "it still answers as a console";
    EXPECT_TRUE(logger.removeAppender(&memory));
    EXPECT_EQ(logger.getAppenderLimitMemory(), nullptr);
    Logger::quit();
}

TEST_F(FatalChecksDeathTest, APreparedNullMessageIsFatal) {
    EXPECT_EXIT(
        {
            dup2(2, 1);
            DerivedLogger::logPreparedMessage(nullptr);
        },
        testing::ExitedWithCode(1), "nullptr:msg == NULL\nlibSrc/core/include/zor/inline/Logger_inline\nLINE:101\n");
}

namespace {
// Delivers slowly and records the deepest queue it saw, so a burst outruns it.
class SlowAppender : public CaptureAppender {
public:
    void append(LogMessage* msg) override {
        const auto until = std::chrono::steady_clock::now() + std::chrono::microseconds(20);
        while (std::chrono::steady_clock::now() < until) {
        }
        const std::size_t pending = Logger::getLogger().pendingMessages();
        if (pending > deepest) deepest = pending;
        if (msg->toString() == QLatin1String("from the appender")) return CaptureAppender::append(msg);
        if (msg->toString().startsWith(QLatin1String("t "))) {
            if (++seen == 10) logInfo("from the appender");  // must not wait for its own thread
        }
        CaptureAppender::append(msg);
    }
    std::size_t deepest = 0;  // logger thread only
    int seen = 0;
};
}  // namespace

TEST(Logger, FullQueueMakesLoggersWaitNothingDroppedNumbersDense) {
    SlowAppender cap;
    zortest::startLoggerWith(&cap);
    Logger::getLogger().setMaxQueued(200);
    EXPECT_EQ(Logger::getLogger().getMaxQueued(), 200u);
    constexpr int kThreads = 4, kPerThread = 5000;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([t] {
            for (int i = 0; i < kPerThread; ++i) logInfo("t $ $", t, i);
        });
    for (auto& th : threads) th.join();
    zortest::quitLogger();
    // Each logging thread may pass the check once before the count catches up with it.
    EXPECT_LE(cap.deepest, 200u + kThreads + 1);
    const auto all = cap.messages();
    unsigned int expected = 0;
    int fromThreads = 0;
    bool fromAppender = false;
    for (const auto& m : all) {
        ASSERT_EQ(m.number, expected++);
        if (m.text.startsWith(QLatin1String("t "))) ++fromThreads;
        if (m.text == QLatin1String("from the appender")) fromAppender = true;
    }
    EXPECT_EQ(fromThreads, kThreads * kPerThread);
    EXPECT_TRUE(fromAppender);
}

namespace {
// A value whose stream rendering reads state the caller changes after the call.
struct Probe {
    const int* value;
};
QTextStream& operator<<(QTextStream& s, const Probe& p) { return s << "probe " << *p.value; }

enum Colour { kRed = 3 };

// Logs one line per argument type and changes every argument the caller owns right after its
// call. Returns the texts xformat builds at the moment of each call.
QStringList logEveryArgumentType() {
    QStringList expected;
    auto line = [&expected](const char* format, const auto&... args) {
        expected << xformat(format, args...);
        logInfo(format, args...);
    };
    line("bool $ $", true, false);
    line("char $ QChar $ $ $", 'x', QChar(0xE9), QChar(0x4E2D), QChar(u'$'));
    line("small $ $ $ $", static_cast<signed char>(-5), static_cast<unsigned char>(200), static_cast<short>(-32768),
         static_cast<unsigned short>(65535));
    line("int $ $ $ $", std::numeric_limits<int>::min(), 4294967295u, -7L, 7UL);
    line("long long $ $", std::numeric_limits<long long>::min(), std::numeric_limits<unsigned long long>::max());
    line("char16_t $ enum $", u'A', kRed);
    line("float $ double $ $ $ $ $", 1.5f, 0.1, -2.5, 1e300, std::numeric_limits<double>::infinity(), -0.0);
    line("literal '$' null '$' nullptr '$'", "a literal", static_cast<const char*>(nullptr), nullptr);

    char stack[32] = "stack text";
    line("char array '$' char* '$'", stack, static_cast<char*>(stack));
    std::strcpy(stack, "CHANGED");
    auto* heap = new char[16];
    std::strcpy(heap, "heap text");
    line("heap '$'", static_cast<const char*>(heap));
    std::strcpy(heap, "FREED");
    delete[] heap;

    char format[32] = "format on the stack $";
    line(format, 42);
    std::strcpy(format, "CHANGED $ $");

    QString owned = QStringLiteral("owned \u00e9\u4e2d");
    owned += QChar(0xD83D);  // a surrogate pair, then a lone one
    owned += QChar(0xDE00);
    owned += QChar(0xD800);
    QString shared = owned;
    line("QString '$' '$' literal '$' null '$' empty '$'", owned, shared, QStringLiteral("fixed"), QString(),
         QString(""));
    owned[0] = QLatin1Char('X');
    shared.clear();
    {
        const QString temporary = QString::number(12345);
        line("temporary '$'", temporary);
    }

    QByteArray bytes("utf8 \xC3\xA9 bad \xFF end");
    line("QByteArray '$' literal '$' empty '$'", bytes, QByteArrayLiteral("fixed bytes"), QByteArray());
    bytes[0] = 'X';

    char latin[16] = "latin \xE9";
    line("QLatin1String '$' '$'", QLatin1String(latin), QLatin1String("fixed"));
    latin[0] = 'X';

    QString viewed = QStringLiteral("viewed text");
    viewed.detach();
    line("QStringView '$' QStringRef '$'", QStringView(viewed).mid(2, 4), viewed.midRef(7));
    viewed[2] = QLatin1Char('X');
    viewed[7] = QLatin1Char('X');

    int state = 1;
    line("streamed '$'", Probe{&state});
    state = 2;

    line("missing $ $ $", 1);
    line("extra $", 1, 2, "three");
    line(nullptr, 1);
    // Too large for a thread's buffer: taken another way, rendered the same.
    const QString large(60000, QLatin1Char('L'));
    line("large $ $", large.size(), large);
    return expected;
}

// Logs every argument type from the logger thread itself, where messages are built at once.
class ReplayAppender : public CaptureAppender {
public:
    void append(LogMessage* msg) override {
        if (msg->toString() == QLatin1String("replay"))
            expected = logEveryArgumentType();
        else
            CaptureAppender::append(msg);
    }
    QStringList expected;  // logger thread, read after a drain
};
}  // namespace

TEST(Logger, EveryArgumentTypeRendersAsXformatAtTheCallOnBothPaths) {
    ReplayAppender cap;
    zortest::startLoggerWith(&cap);
    const QStringList expected = logEveryArgumentType();
    zortest::drainLogger();
    QStringList deferred = cap.texts();
    deferred = deferred.mid(deferred.size() - expected.size());
    ASSERT_EQ(deferred.size(), expected.size());
    for (int i = 0; i < expected.size(); ++i) EXPECT_EQ(deferred[i], expected[i]) << "line " << i;

    cap.clear();
    logInfo("replay");
    ASSERT_TRUE(zortest::waitUntil([&] { return cap.size() >= static_cast<std::size_t>(expected.size()); }));
    const QStringList immediate = cap.texts();
    ASSERT_EQ(cap.expected, expected) << "the same texts when built on the logger thread";
    ASSERT_EQ(immediate.size(), expected.size());
    for (int i = 0; i < expected.size(); ++i) EXPECT_EQ(immediate[i], expected[i]) << "line " << i;
    zortest::quitLogger();
}
