#pragma once
/// \zclass{RegressionTests,program} A list of registered tests run one after another, read from a list file or
/// selected by a name filter, each timed and reported with its exit code, then summed up.
///
/// A list file, line by line: a line containing '#' anywhere is a comment (also after a test
/// name); empty lines are skipped; a line beginning with "exit" ends the list; a line containing
/// "RegTestConfig" sets the run's configuration; every other line is a test entry: a command line
/// whose command is the test's name, with the test's own keys:
/// \code # smoke tests
///   RegTestConfig --resetLogLineNumber true
///   md5.known
///   tree.roundtrip --logLevel debug
///   exit \endcode
/// While a regression file runs, the environment variable RELPATH holds the file's directory, so
/// that entries and tests can name files relative to the list.
///
/// Results: runTests and execRegressionTests give 0 when every test gave 0, else 1 (general
/// failure); the counts are in the result lines. Used from the main thread.
#include <zor/RegTest.h>
#include <zor/RegTestConfig.h>
#include <zor/zor_export.h>

#include <QString>
#include <vector>

namespace zor {

class Kernel;

class ZOR_EXPORT RegressionTests {
public:
    RegressionTests() = default;
    virtual ~RegressionTests();

    /// The whole run of a test program: argv[1] (with $(NAME) references replaced) names a list
    /// file or a filter (absent or a "--key": every test). Builds the console application object
    /// and the kernel from the arguments, then runs execRegressionTests(kernel, argv[1]).
    static int execRegressionTests(int argc, char** argv, char** env);
    /// The run on an existing kernel: the framework's logger (level from "--logLevel", default 3;
    /// a logger already running is used as it is and left running), the list from the file or the
    /// filter, the tests, the results. 6 (argument problem) when the list cannot be read or the
    /// filter selects nothing, 2 when the logger cannot be started.
    static int execRegressionTests(Kernel& kernel, const QString& fileOrFilter);

    /// Reads a list file (see above); false, with a log line, when it cannot be read.
    bool fromFile(const QString& path);
    /// Appends every test the filter selects; false when it selects none.
    bool fromFilter(const QString& filter);
    /// Appends the entry of a line whose command names a registered test; false, with
    /// "RegressionTests::addTest, test <name> not found", otherwise.
    bool addTest(const QString& line);
    /// Runs every entry in order with the entry's line as the kernel's command line (the program's
    /// own keys plus the line's); "--logLevel" on a line sets the level for that test only. A line
    /// that does not parse logs "problems with '<line>'" and stops the run with 1.
    int runTests(Kernel& kernel);

    void show(unsigned int space) const;
    /// "*** RegressionTests: All <n> tests are OK" in a frame of 68 '*', or after 69 '~'
    /// "~~~ RegressionTests: Total Tests:<n>, <ok> are OK, <f> Failed" (with ", <r> did not run"
    /// and two blanks after the first comma when some did not run).
    void showResults(unsigned int space) const;

    RegTestConfig& config() { return m_config; }
    const RegTestConfig& config() const { return m_config; }
    std::size_t size() const { return m_tests.size(); }
    const std::vector<RegTest>& tests() const { return m_tests; }
    std::size_t countOK() const;
    std::size_t countFailed() const;
    std::size_t countNotRun() const;

private:
    std::vector<RegTest> m_tests;
    RegTestConfig m_config;
};

}  // namespace zor
