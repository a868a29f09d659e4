#pragma once
/// \zclass{RegTest,program} One entry of a regression run: the registered test (not owned: the registry owns it),
/// the entry's command-line text and its result (NOT_RUN_YET until it ran).
#include <zor/zor_export.h>

#include <QString>

namespace zor {

class Kernel;
class TestContext;

class ZOR_EXPORT RegTest {
public:
    static constexpr int NOT_RUN_YET = -99999;

    RegTest() = default;
    RegTest(const TestContext* context, const QString& line) : m_context(context), m_line(line) {}

    /// Logs "TEST '<name>'", runs the test timed and keeps its result; then
    /// "TEST [007] '<name>', in <sec> sec, OK" or "TEST [007] '<name>' Error:<n> => '<exit code
    /// text>', in <sec> sec". Without a test: "RegTest::exec, testContext == nullptr" and 30.
    int exec(unsigned int index, Kernel& kernel);

    const TestContext* context() const { return m_context; }
    const QString& line() const { return m_line; }
    QString name() const;  ///< the test's key ("" without a test)
    int result() const { return m_result; }
    bool hasRun() const { return m_result != NOT_RUN_YET; }
    /// `"<name>, NOT_RUN_YET"` or `"<name>, result:<n>"`
    QString toString() const;

private:
    const TestContext* m_context = nullptr;
    QString m_line;
    int m_result = NOT_RUN_YET;
};

}  // namespace zor
