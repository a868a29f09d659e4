#include <zor/RegressionTests.h>

#include <zor/CommandLine.h>
#include <zor/Environment.h>
#include <zor/Kernel.h>
#include <zor/KernelTerminal.h>
#include <zor/LogLevel.h>
#include <zor/Logger.h>
#include <zor/TestContext.h>
#include <zor/TestContextAdder.h>
#include <zor/TextTools.h>
#include <zor/Tokenizer.h>
#include <zor/XFileMapper.h>
#include <zor/XLineReader.h>
#include <zor/XStopwatch.h>
#include <zor/ZorErrorCodes.h>
#include <zor/ZorTestFramework.h>
#include <zor/xformat.h>

#include <QFileInfo>

namespace zor {

namespace {
constexpr std::size_t kLineBuffer = 65536;  // a longer line comes in pieces, each taken as a line
}  // namespace

RegressionTests::~RegressionTests() = default;

int RegressionTests::execRegressionTests(int argc, char** argv, char** env) {
    if (argc < 1 || argv == nullptr) {
        Logger::printToCout("RegressionTests::execRegressionTests, no program arguments");
        return EXIT_ZOR_ARGUMENT;
    }
    KernelTerminal terminal(argc, argv, env, false);
    QString arg = argc > 1 && argv[1] != nullptr ? QString::fromLocal8Bit(argv[1]) : QString();
    if (arg.startsWith(QLatin1String("--"))) arg.clear();  // a key, not a list
    return execRegressionTests(terminal, replaceEnv(arg));
}

int RegressionTests::execRegressionTests(Kernel& kernel, const QString& fileOrFilter) {
    XStopwatch total;
    total.start();
    ZorTestFramework framework(kernel);
    const bool levelGiven = kernel.hasKey(QStringLiteral("logLevel"));
    const QString level = levelGiven ? kernel.getString(QStringLiteral("logLevel")) : QStringLiteral("3");
    if (!framework.iniSimple(ZorTestFramework::levelMask(level))) {
        Logger::printToCout("RegressionTests::execRegressionTests, cannot initalize test framework");
        return EXIT_ZOR_CONFIGURATION;
    }
    RegressionTests reg;
    const QFileInfo fi(fileOrFilter);
    if (!fileOrFilter.isEmpty() && fi.isFile()) {
        if (!reg.fromFile(fi.absoluteFilePath())) {
            logError("RegressionTests::execRegressionTests, problems loading <$>", fileOrFilter);
            framework.stopLogger();
            return EXIT_ZOR_ARGUMENT;
        }
        setEnv(QStringLiteral("RELPATH"), fi.absolutePath());
    } else if (!reg.fromFilter(fileOrFilter)) {
        logError("RegressionTests::execRegressionTests, no tests found with filter  <$>", fileOrFilter);
        framework.stopLogger();
        return EXIT_ZOR_ARGUMENT;
    }
    Logger::prepareForRegressionTests(reg.config().resetLogLineNumber);
    if (!levelGiven) Logger::setLogLevel(ZorTestFramework::levelMask(QString::number(reg.config().logLevel)));
    detail::logAt(COMMAND, 0, "RegressionTests::execRegressionTests, run $ tests now...", reg.size());
    const int rc = reg.runTests(kernel);
    reg.showResults(0);
    total.stop();
    detail::logAt(COMMAND, 0, "RegressionTests::execRegressionTests, run $ tests within $ sec", reg.size(),
          total.asStringDeltaSecond());
    framework.stopLogger();
    return rc;
}

bool RegressionTests::fromFile(const QString& path) {
    const QFileInfo fi(path);
    if (!fi.isFile()) {
        logError("RegressionTests::fromFile, problems with '$'", path);
        return false;
    }
    if (fi.size() == 0) return true;
    XFileMapper map(fi);
    if (!map.mapReadOnly() || map.mem() == nullptr) {
        logError("RegressionTests::fromFile, problems with '$'", path);
        return false;
    }
    XLineReader reader(map, kLineBuffer);
    while (const char* raw = reader.nextLine()) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.isEmpty() || line.contains(QLatin1Char('#'))) continue;
        if (line.startsWith(QLatin1String("exit"))) break;
        if (line.contains(QLatin1String("RegTestConfig"))) {
            if (!m_config.fromString(line)) {
                logError("RegressionTests::fromFile, problems in file '$'", path);
                logError("line <<<$>>>", line);
            }
            continue;
        }
        addTest(line);
    }
    return true;
}

bool RegressionTests::fromFilter(const QString& filter) {
    const std::vector<TestContext*> tests = TestContextAdder::getTests(filter);
    for (const TestContext* c : tests) m_tests.emplace_back(c, c->key());
    return !tests.empty();
}

bool RegressionTests::addTest(const QString& line) {
    // The name is the first word; the rest is parsed when the entry runs.
    const Tokenizer words(line, QStringLiteral(" \t"));
    const QString name = words.tokenAt(0);
    const TestContext& context = TestContextAdder::getTestContext(name);
    if (name.isEmpty() || !context) {
        logError("RegressionTests::addTest, test <$> not found", name);
        return false;
    }
    m_tests.emplace_back(&context, line.trimmed());
    return true;
}

int RegressionTests::runTests(Kernel& kernel) {
    detail::logAt(COMMAND, 0, "$", QString(68, QLatin1Char('*')));
    // Each entry sees the program's own keys plus its line's, never those of an earlier entry.
    const CommandLine program = kernel;
    CommandLine& current = kernel;
    int rc = EXIT_ZOR_OK;
    for (std::size_t i = 0; i < m_tests.size(); ++i) {
        RegTest& test = m_tests[i];
        CommandLine entry;
        current = program;
        if (!entry.fromString(test.line()) || !current.fromString(test.line())) {
            logError("problems with '$'", test.line());
            current = program;
            return EXIT_ZOR_GENERAL_FAILURE;
        }
        const bool ownLevel = entry.hasKey(QStringLiteral("logLevel"));
        if (ownLevel) {
            Logger::saveLogLevel();
            Logger::setLogLevel(ZorTestFramework::levelMask(entry.getString(QStringLiteral("logLevel"))));
        }
        if (test.exec(static_cast<unsigned int>(i + 1), kernel) != 0) rc = EXIT_ZOR_GENERAL_FAILURE;
        if (ownLevel) Logger::restoreLogLevel();
    }
    current = program;
    return rc;
}

void RegressionTests::show(unsigned int space) const {
    logDebugSpace(space, "RegressionTests, size:$, $", m_tests.size(), m_config.toString());
    for (const RegTest& t : m_tests) logDebugSpace(space + 4, "$", t.toString());
}

std::size_t RegressionTests::countOK() const {
    std::size_t n = 0;
    for (const RegTest& t : m_tests) n += t.result() == 0 ? 1 : 0;
    return n;
}

std::size_t RegressionTests::countFailed() const {
    std::size_t n = 0;
    for (const RegTest& t : m_tests) n += t.hasRun() && t.result() != 0 ? 1 : 0;
    return n;
}

std::size_t RegressionTests::countNotRun() const {
    std::size_t n = 0;
    for (const RegTest& t : m_tests) n += t.hasRun() ? 0 : 1;
    return n;
}

void RegressionTests::showResults(unsigned int space) const {
    const std::size_t ok = countOK();
    if (ok == m_tests.size()) {
        const QString frame(68, QLatin1Char('*'));
        detail::logAt(COMMAND, space, "$", frame);
        detail::logAt(COMMAND, space, "*** RegressionTests: All $ tests are OK", m_tests.size());
        detail::logAt(COMMAND, space, "$", frame);
        return;
    }
    detail::logAt(COMMAND, space, "$", QString(69, QLatin1Char('~')));
    const std::size_t notRun = countNotRun();
    if (notRun == 0)
        detail::logAt(COMMAND, space, "~~~ RegressionTests: Total Tests:$, $ are OK, $ Failed", m_tests.size(), ok, countFailed());
    else
        detail::logAt(COMMAND, space, "~~~ RegressionTests: Total Tests:$,  $ are OK, $ Failed, $ did not run", m_tests.size(), ok,
              countFailed(), notRun);
}

}  // namespace zor
