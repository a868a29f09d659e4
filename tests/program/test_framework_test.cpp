// The test framework: registration (duplicates keep the first), filters, the four function forms,
// regression lists read from files (comments, "#" after a name, "exit", the settings line,
// missing tests, RELPATH), result lines and counts, single-test runs and test mode.
#include "support/CaptureAppender.h"
#include "support/TestFiles.h"

#include <zor/Environment.h>
#include <zor/FullTest.h>
#include <zor/KernelTerminal.h>
#include <zor/Logger.h>
#include <zor/ModuleTests.h>
#include <zor/RegressionTests.h>
#include <zor/TestContextAdder.h>
#include <zor/TestContextMap.h>
#include <zor/XProgramConsole.h>
#include <zor/ZorErrorCodes.h>
#include <zor/ZorTestFramework.h>

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <atomic>
#include <cstdlib>
#include <thread>
#include <vector>

using namespace zor;

namespace {

using zortest::Args;

char* noEnv[] = {nullptr};

int passes() { return 0; }
int failsWithMath() { return EXIT_ZOR_MATH; }
int s_lastLevelSeen = 0;
QString s_lastKeySeen;
int readsKernel(Kernel& k) {
    s_lastKeySeen = k.getString(QStringLiteral("value"));
    s_lastLevelSeen = static_cast<int>(Logger::getLogLevel());
    return k.hasKey(QStringLiteral("leak")) ? EXIT_ZOR_ARGUMENT : 0;
}
int countsArgs(int argc, char** argv) { return argc >= 1 && argv != nullptr ? 0 : EXIT_ZOR_ARGUMENT; }

// Registers the suite's tests afresh (a single-test run removes every test at its end).
void registerTests() {
    TestContextMap::setDuplicatePause(std::chrono::milliseconds(0));
    TestContextAdder::deleteAll();
    static const ModuleTests module(QStringLiteral("sample"),
                                    {TestContextAdder(&passes, QStringLiteral("alpha.ok"), QStringLiteral("passes")),
                                     TestContextAdder(&failsWithMath, QStringLiteral("alpha.math"), QStringLiteral("fails"), false),
                                     TestContextAdder(&readsKernel, QStringLiteral("Beta.kernel"), QStringLiteral("reads keys")),
                                     TestContextAdder(&countsArgs, QStringLiteral("beta.args"), QStringLiteral("argc/argv"))});
    if (!TestContextAdder::hasTest(QStringLiteral("alpha.ok"))) {  // the module object registered once
        const TestContextAdder a(&passes, QStringLiteral("alpha.ok"), QStringLiteral("passes"));
        const TestContextAdder b(&failsWithMath, QStringLiteral("alpha.math"), QStringLiteral("fails"), false);
        const TestContextAdder c(&readsKernel, QStringLiteral("Beta.kernel"), QStringLiteral("reads keys"));
        const TestContextAdder d(&countsArgs, QStringLiteral("beta.args"), QStringLiteral("argc/argv"));
    }
}

QStringList keys(const std::vector<TestContext*>& v) {
    QStringList l;
    for (const TestContext* c : v) l << c->key();
    return l;
}

using zortest::writeFile;

// The lines joined by newlines, with "0,000.012 sec" written "S sec", so that they compare exactly
// and a failure prints readable text.
std::string withoutTimes(const QStringList& lines) {
    static const QRegularExpression seconds(QStringLiteral("\\d+,\\d{3}\\.\\d{3} sec"));
    QString out;
    for (QString l : lines) out += l.replace(seconds, QStringLiteral("S sec")) + QLatin1Char('\n');
    return out.toStdString();
}
std::string joined(const QStringList& lines) { return withoutTimes(lines); }

}  // namespace

TEST(TestFramework, RegistrationFiltersAndDuplicates) {
    zortest::LogCapture cap;
    registerTests();
    EXPECT_EQ(keys(TestContextAdder::getTests(QString())),
              (QStringList{"Beta.kernel", "alpha.math", "alpha.ok", "beta.args"})) << "key order";
    EXPECT_EQ(keys(TestContextAdder::getTests(QStringLiteral("all"))).size(), 4);
    EXPECT_EQ(keys(TestContextAdder::getTests(QStringLiteral("BETA"))), (QStringList{"Beta.kernel", "beta.args"}))
        << "the filter ignores case";
    EXPECT_TRUE(TestContextAdder::getTestsByFilter(QStringLiteral("zzz")).empty());
    EXPECT_FALSE(TestContextAdder::getTestContext(QStringLiteral("nope")));
    EXPECT_EQ(&TestContextAdder::getTestContext(QStringLiteral("nope")), &TestContext::empty);

    // A second registration of a key keeps the first test.
    TestContextAdder dup(&failsWithMath, QStringLiteral("alpha.ok"), QStringLiteral("impostor"));
    EXPECT_FALSE(dup.isAdded());
    EXPECT_EQ(TestContextAdder::getTestContext(QStringLiteral("alpha.ok")).description(), QStringLiteral("passes"));
    EXPECT_TRUE(cap.containsText(QStringLiteral("TestContextMap::addTestContext, key 'alpha.ok' already added")));
    EXPECT_FALSE(TestContextMap::getInstance().addTestContext(QStringLiteral("x"), nullptr));

    cap.clear();
    TestContextAdder::showTests(INFO, QStringLiteral("alpha"));
    const QStringList shown = cap.texts();
    EXPECT_EQ(shown, (QStringList{"extra  alpha.math - fails", "basic  alpha.ok - passes", "basic tests:1",
                                  "extra tests:1", "all   tests:2", "Tests total:2 of 4 - filtered by:'alpha'"}));
    cap.clear();
    TestContextAdder::showTests(INFO, QString());
    EXPECT_EQ(cap.texts().constLast(), QStringLiteral("Tests total:4"));

    TestContextAdder::deleteAll();
    EXPECT_FALSE(TestContextAdder::hasTest(QStringLiteral("alpha.ok")));
    EXPECT_TRUE(TestContextAdder::getTests(QString()).empty());
}

TEST(TestFramework, ConcurrentRegistrationKeepsOneTestPerKey) {
    TestContextMap::setDuplicatePause(std::chrono::milliseconds(0));
    TestContextAdder::deleteAll();
    std::atomic<int> added{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&added, t] {
            for (int i = 0; i < 50; ++i) {
                // Keys 0-49 are wanted by every thread; "own" keys by one thread only.
                if (TestContextAdder(&passes, QStringLiteral("shared.%1").arg(i), QString()).isAdded()) ++added;
                if (TestContextAdder(&passes, QStringLiteral("own.%1.%2").arg(t).arg(i), QString()).isAdded()) ++added;
            }
        });
    for (auto& th : threads) th.join();
    EXPECT_EQ(added.load(), 50 + 4 * 50);
    EXPECT_EQ(TestContextMap::getInstance().size(), 250u);
    EXPECT_EQ(TestContextAdder::getTests(QStringLiteral("shared.")).size(), 50u);
    TestContextAdder::deleteAll();
}

TEST(TestFramework, LogLevelsByName) {
    EXPECT_EQ(ZorTestFramework::stringToLogLevel(QStringLiteral("debug")), 5118u);
    EXPECT_EQ(ZorTestFramework::stringToLogLevel(QStringLiteral("test")), 990u);
    EXPECT_EQ(ZorTestFramework::stringToLogLevel(QStringLiteral("info")), 926u);
    EXPECT_EQ(ZorTestFramework::stringToLogLevel(QStringLiteral("warn")), 910u);
    EXPECT_EQ(ZorTestFramework::stringToLogLevel(QStringLiteral("warning")), 910u);
    EXPECT_EQ(ZorTestFramework::stringToLogLevel(QStringLiteral("err")), 902u);
    EXPECT_EQ(ZorTestFramework::stringToLogLevel(QStringLiteral("error")), 902u);
    EXPECT_EQ(ZorTestFramework::stringToLogLevel(QString()), 8190u);
    EXPECT_EQ(ZorTestFramework::stringToLogLevel(QStringLiteral("verbose")), 8190u);
    // Numbers: a coarse level 1-5, else a mask (cut to the level bits; none left means all).
    EXPECT_EQ(ZorTestFramework::levelMask(QStringLiteral("3")), 0x1F9Eu);
    EXPECT_EQ(ZorTestFramework::levelMask(QStringLiteral("1")), 0x1B86u);
    EXPECT_EQ(ZorTestFramework::levelMask(QStringLiteral("902")), 902u);
    EXPECT_EQ(ZorTestFramework::levelMask(QStringLiteral("65536")), 0x1FFEu);
    EXPECT_EQ(ZorTestFramework::levelMask(QStringLiteral("error")), 902u);
}

TEST(TestFramework, FunctionFormsAndPhases) {
    zortest::LogCapture cap;
    Args a{"prog", "cmd", "--value", "v1"};
    KernelTerminal k(a.argc, a.argv.data(), noEnv, false);

    struct Phased : FullTest {
        QStringList* trace;
        int failAt;
        Phased(QStringList* t, int f) : trace(t), failAt(f) {}
        int step(const char* name, int n) {
            *trace << QLatin1String(name);
            return n == failAt ? EXIT_ZOR_IO : 0;
        }
        int parseArguments(Kernel&) override { return step("parse", 1); }
        int prepareTest(Kernel&) override { return step("prepare", 2); }
        int runTest(Kernel&) override { return step("run", 3); }
        int shutDown(Kernel&) override { return step("down", 4); }
    };
    QStringList trace;
    EXPECT_EQ(TestContext(new Phased(&trace, 0), QStringLiteral("f"), QString()).exec(k), 0);
    EXPECT_EQ(trace, (QStringList{"parse", "prepare", "run", "down"}));
    trace.clear();
    EXPECT_EQ(TestContext(new Phased(&trace, 1), QStringLiteral("f"), QString()).exec(k), EXIT_ZOR_IO);
    EXPECT_EQ(trace, (QStringList{"parse"})) << "nothing was prepared: nothing to shut down";
    trace.clear();
    EXPECT_EQ(TestContext(new Phased(&trace, 2), QStringLiteral("f"), QString()).exec(k), EXIT_ZOR_IO);
    EXPECT_EQ(trace, (QStringList{"parse", "prepare", "down"})) << "a failed preparation is still shut down";
    trace.clear();
    EXPECT_EQ(TestContext(new Phased(&trace, 4), QStringLiteral("f"), QString()).exec(k), EXIT_ZOR_IO);

    EXPECT_EQ(TestContext(&readsKernel, QStringLiteral("k"), QString()).exec(k), 0);
    EXPECT_EQ(s_lastKeySeen, QStringLiteral("v1"));
    EXPECT_EQ(TestContext(&countsArgs, QStringLiteral("a"), QString()).exec(k), 0);
    EXPECT_EQ(TestContext::empty.exec(k), EXIT_ZOR_MAIN_HELPER);
    EXPECT_TRUE(cap.containsText(QStringLiteral("TestContext::exec - no function pointer set !")));
    EXPECT_FALSE(TestContext(static_cast<FullTest*>(nullptr), QStringLiteral("n"), QString()));
}

TEST(TestFramework, RegressionFileWithCommentsExitConfigAndMissingTests) {
    zortest::LogCapture cap;
    registerTests();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString list = dir.filePath(QStringLiteral("list.txt"));
    writeFile(list,
              "# the suite\r\n"
              "\n"
              "RegTestConfig --resetLogLineNumber true --logLevel 2\n"
              "alpha.ok\n"
              "alpha.math   # a comment after a name skips the line\n"
              "  alpha.math\n"
              "Beta.kernel --value fromLine --logLevel error\n"
              "no.such.test --x 1\n"
              "beta.args\n"
              "exit\n"
              "alpha.ok\n");
    Args a{"prog", "unused", "--value", "program"};
    KernelTerminal k(a.argc, a.argv.data(), noEnv, false);
    RegressionTests reg;
    ASSERT_TRUE(reg.fromFile(list));
    EXPECT_TRUE(cap.containsText(QStringLiteral("RegressionTests::addTest, test <no.such.test> not found")));
    ASSERT_EQ(reg.size(), 4u) << "comments, the empty line, the missing test and everything after exit are left out";
    EXPECT_TRUE(reg.config().resetLogLineNumber);
    EXPECT_EQ(reg.config().logLevel, 2u);
    EXPECT_EQ(reg.tests()[2].line(), QStringLiteral("Beta.kernel --value fromLine --logLevel error"));
    EXPECT_EQ(reg.tests()[0].toString(), QStringLiteral("alpha.ok, NOT_RUN_YET"));

    cap.clear();
    const unsigned int levelBefore = Logger::getLogLevel();
    EXPECT_EQ(reg.runTests(k), EXIT_ZOR_GENERAL_FAILURE);
    EXPECT_EQ(s_lastKeySeen, QStringLiteral("fromLine"));
    EXPECT_EQ(s_lastLevelSeen, 902) << "--logLevel on a line holds for that test";
    EXPECT_EQ(Logger::getLogLevel(), levelBefore) << "and is restored afterwards";
    EXPECT_EQ(k.getString(QStringLiteral("value")), QStringLiteral("program")) << "the program's keys come back";
    EXPECT_EQ(reg.tests()[1].toString(), QStringLiteral("alpha.math, result:3"));
    reg.showResults(0);
    EXPECT_EQ(withoutTimes(cap.texts()),
              joined(QStringList{QString(68, QLatin1Char('*')), "TEST 'alpha.ok'", "TEST [001] 'alpha.ok', in S sec, OK",
                           "TEST 'alpha.math'", "TEST [002] 'alpha.math' Error:3 => 'mathematical problem', in S sec",
                           "TEST 'Beta.kernel'", "TEST [003] 'Beta.kernel', in S sec, OK", "TEST 'beta.args'",
                           "TEST [004] 'beta.args', in S sec, OK", QString(69, QLatin1Char('~')),
                           "~~~ RegressionTests: Total Tests:4, 3 are OK, 1 Failed"}));

    RegressionTests missing;
    EXPECT_FALSE(missing.fromFile(dir.filePath(QStringLiteral("none.txt"))));
    EXPECT_TRUE(cap.containsText(QStringLiteral("RegressionTests::fromFile, problems with '") +
                                 dir.filePath(QStringLiteral("none.txt")) + QLatin1Char('\'')));
    RegTestConfig config;
    EXPECT_FALSE(config.fromString(QStringLiteral("RegTestConfig --logLevel many")));
    EXPECT_FALSE(config.fromString(QStringLiteral("RegTestConfig --logLevel \"3")));
    EXPECT_EQ(config.logLevel, 3u);
    EXPECT_TRUE(config.fromString(QStringLiteral("RegTestConfig --resetLogLineNumber on")));
    EXPECT_TRUE(config.resetLogLineNumber);
}

TEST(TestFramework, WholeRunsFromFileAndFilter) {
    zortest::LogCapture cap;
    registerTests();
    QTemporaryDir dir;
    const QString sub = dir.filePath(QStringLiteral("lists"));
    ASSERT_TRUE(QDir().mkpath(sub));
    writeFile(sub + QStringLiteral("/ok.txt"), "alpha.ok\nbeta.args\n");
    writeFile(sub + QStringLiteral("/exitfirst.txt"), "# nothing\nexit\nalpha.math\n");
    writeFile(sub + QStringLiteral("/bad.txt"), "RegTestConfig --logLevel x\nalpha.ok\n");

    Args a{"prog"};
    KernelTerminal k(a.argc, a.argv.data(), noEnv, false);
    EXPECT_EQ(RegressionTests::execRegressionTests(k, sub + QStringLiteral("/ok.txt")), 0);
    EXPECT_EQ(getEnv(QStringLiteral("RELPATH")), QFileInfo(sub).absoluteFilePath());
    EXPECT_TRUE(cap.containsText(QStringLiteral("RegressionTests::execRegressionTests, run 2 tests now...")));
    EXPECT_TRUE(cap.containsText(QStringLiteral("*** RegressionTests: All 2 tests are OK")));
    EXPECT_TRUE(Logger::isRunning()) << "a logger the run did not start is left running";

    cap.clear();
    EXPECT_EQ(RegressionTests::execRegressionTests(k, sub + QStringLiteral("/exitfirst.txt")), 0);
    EXPECT_TRUE(cap.containsText(QStringLiteral("*** RegressionTests: All 0 tests are OK")));
    EXPECT_TRUE(cap.linesStartingWith(QStringLiteral("TEST ")).isEmpty());

    cap.clear();
    EXPECT_EQ(RegressionTests::execRegressionTests(k, sub + QStringLiteral("/bad.txt")), 0);
    EXPECT_TRUE(cap.containsText(QStringLiteral("RegressionTests::fromFile, problems in file '") +
                                 QFileInfo(sub + QStringLiteral("/bad.txt")).absoluteFilePath() + QLatin1Char('\'')));
    EXPECT_TRUE(cap.containsText(QStringLiteral("line <<<RegTestConfig --logLevel x>>>")));

    cap.clear();
    EXPECT_EQ(RegressionTests::execRegressionTests(k, QStringLiteral("ALPHA")), EXIT_ZOR_GENERAL_FAILURE);
    EXPECT_TRUE(cap.containsText(QStringLiteral("~~~ RegressionTests: Total Tests:2, 1 are OK, 1 Failed")));
    cap.clear();
    EXPECT_EQ(RegressionTests::execRegressionTests(k, QStringLiteral("gamma")), EXIT_ZOR_ARGUMENT);
    EXPECT_TRUE(cap.containsText(QStringLiteral("RegressionTests::execRegressionTests, no tests found with filter  <gamma>")));
    EXPECT_TRUE(cap.linesStartingWith(QStringLiteral("TEST ")).isEmpty());
}

TEST(TestFramework, AnEntryThatDoesNotParseStopsTheRunAndTheRestDidNotRun) {
    zortest::LogCapture cap;
    registerTests();
    Args a{"prog"};
    KernelTerminal k(a.argc, a.argv.data(), noEnv, false);
    RegressionTests reg;
    ASSERT_TRUE(reg.addTest(QStringLiteral("alpha.ok")));
    ASSERT_TRUE(reg.addTest(QStringLiteral("beta.args --text \"never closed")));
    ASSERT_TRUE(reg.addTest(QStringLiteral("alpha.ok")));
    EXPECT_FALSE(reg.addTest(QStringLiteral("gamma")));
    EXPECT_EQ(reg.runTests(k), EXIT_ZOR_GENERAL_FAILURE);
    EXPECT_TRUE(cap.containsText(QStringLiteral("problems with 'beta.args --text \"never closed'")));
    EXPECT_EQ(reg.countOK(), 1u);
    EXPECT_EQ(reg.countNotRun(), 2u);
    cap.clear();
    reg.showResults(0);
    EXPECT_EQ(cap.texts(), (QStringList{QString(69, QLatin1Char('~')),
                                        "~~~ RegressionTests: Total Tests:3,  1 are OK, 0 Failed, 2 did not run"}));
}

TEST(TestFramework, SingleTestRunsListsAndTestMode) {
    zortest::LogCapture cap;
    registerTests();
    {
        Args a{"prog", "alpha.math"};
        KernelTerminal k(a.argc, a.argv.data(), noEnv, false);
        EXPECT_EQ(ZorTestFramework::mainTest(k), EXIT_ZOR_MATH);
    }
    const QString tildes(54, QLatin1Char('~'));
    QStringList lines = cap.texts();
    while (!lines.isEmpty() && !lines.first().startsWith(QLatin1String("executing"))) lines.removeFirst();  // the log header
    EXPECT_EQ(withoutTimes(lines),
              joined(QStringList{"executing test 'alpha.math'", tildes, "~~~ 'alpha.math', result:3, executed in S sec", tildes,
                                 "EXIT_ZOR_ERROR 3 - 'mathematical problem'"}));
    EXPECT_FALSE(TestContextAdder::hasTest(QStringLiteral("alpha.ok"))) << "a single-test run removes the tests";

    registerTests();
    cap.clear();
    {
        Args a{"prog", "alpha.ok"};
        KernelTerminal k(a.argc, a.argv.data(), noEnv, false);
        EXPECT_EQ(ZorTestFramework::mainTest(k), 0);
    }
    EXPECT_TRUE(cap.containsText(QString(54, QLatin1Char('*'))));
    EXPECT_EQ(cap.linesStartingWith(QStringLiteral("*** 'alpha.ok', result:0, executed in ")).size(), 1);

    registerTests();
    cap.clear();
    {
        Args a{"prog", "Alpha"};
        KernelTerminal k(a.argc, a.argv.data(), noEnv, false);
        EXPECT_EQ(ZorTestFramework::mainTest(k), EXIT_ZOR_ARGUMENT);
        EXPECT_TRUE(cap.containsText(QStringLiteral("Tests total:2 of 4 - filtered by:'Alpha'")));
        EXPECT_TRUE(cap.containsText(QStringLiteral("test 'Alpha' not found")));
    }
    cap.clear();
    {
        Args a{"prog", "all"};
        KernelTerminal k(a.argc, a.argv.data(), noEnv, false);
        EXPECT_EQ(ZorTestFramework::mainTest(k), 0);
        EXPECT_TRUE(cap.containsText(QStringLiteral("Tests total:4")));
        EXPECT_FALSE(cap.containsText(QStringLiteral("test 'all' not found")));
        StartTestParameter p = k.getStartTestParameter();
        EXPECT_EQ(p.testName, QStringLiteral("all"));
        EXPECT_EQ(p.arguments, QStringList{"all"});
    }

    // Test mode: a console program runs the named test instead of its own main function.
    cap.clear();
    setEnv(QStringLiteral("ZORTESTING"), QStringLiteral("1"));
    EXPECT_TRUE(Kernel::isTestMode());
    Args run{"prog", "alpha.math"};
    int ownMainCalls = 0;
    EXPECT_EQ(XProgramConsole::runStandard(run.argc, run.argv.data(), noEnv, QStringLiteral("zor"), QStringLiteral("t"), nullptr,
                                           [&](int, char**, char**) { return ++ownMainCalls; }),
              EXIT_ZOR_MATH);
    EXPECT_EQ(ownMainCalls, 0);
    EXPECT_TRUE(cap.containsText(QStringLiteral("executing test 'alpha.math'")));
    qunsetenv("ZORTESTING");
    EXPECT_FALSE(Kernel::isTestMode());
}

namespace {
void runWithBrokenLogger() {
    registerTests();
    Args a{"prog", "alpha.ok", "--logFile", "x.log", "--logDir", "/tmp", "--logRotate", "fortnight"};
    ZorTestFramework::mainTest(a.argc, a.argv.data(), noEnv, false);
}
}  // namespace

TEST(TestFrameworkDeathTest, ALoggerThatCannotStartEndsTheProcessWithOne) {
    testing::FLAGS_gtest_death_test_style = "threadsafe";
    ZorTestFramework::setExitPause(std::chrono::milliseconds(0));
    EXPECT_EXIT(runWithBrokenLogger(), testing::ExitedWithCode(1), "");
}
