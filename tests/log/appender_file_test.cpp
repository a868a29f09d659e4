// File logging: the file line, the size limit, rotation by calendar period, the memory log, the
// logger's command-line keys, and that nothing delivered is lost (rotation, SIGKILL).
#include "support/CaptureAppender.h"
#include "support/Wait.h"

#include <zor/AppenderFile.h>
#include <zor/AppenderLimitMemory.h>
#include <zor/CommandLine.h>
#include <zor/LogMessageString.h>
#include <zor/Logger.h>
#include <zor/SchedulerFileSystemAction.h>
#include <zor/XCalendarUTC.h>
#include <zor/XScheduler.h>
#include <zor/xformat.h>

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <map>
#include <set>
#include <thread>

using namespace zor;

namespace {

QStringList readLines(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    QStringList lines = QString::fromLatin1(f.readAll()).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

bool iniFrom(const QString& args) {
    CommandLine cmd;
    if (!cmd.fromString(QStringLiteral("prog ") + args)) return false;
    return Logger::ini(cmd);
}

LogMessageString* message(unsigned int number, unsigned int level, const QString& text) {
    auto* m = new LogMessageString(text);
    m->setLogLevel(level);
    m->setNumber(number);
    return m;
}

}  // namespace

TEST(AppenderFile, LineLayoutThroughIni) {
    QTemporaryDir dir;
    ASSERT_TRUE(iniFrom(xformat("--logFile run.txt --logDir $/sub/logs --logConsole false", dir.path())));
    logError("disk $ is gone", 3);
    logInfo("second");
    zortest::quitLogger();
    const QStringList lines = readLines(dir.path() + QStringLiteral("/sub/logs/run.txt"));
    ASSERT_GE(lines.size(), 3);
    const QRegularExpression line(QStringLiteral(R"(^\[(\d{6})\] \[(ERROR|INFO#)\] \[\d\d:\d\d:\d\d,\d{6}\] \[\d+\] (.*)$)"));
    QStringList texts;
    for (const QString& l : lines) {
        const auto m = line.match(l);
        ASSERT_TRUE(m.hasMatch()) << qPrintable(l);
        texts << m.captured(3);
    }
    EXPECT_TRUE(texts.contains(QStringLiteral("disk 3 is gone")));
    EXPECT_TRUE(texts.contains(QStringLiteral("Logger::iniFileAppender => '") + QString(dir.path() + "/sub/logs/run.txt").replace('/', '\\') + "'"))
        << "the header names the file";
    EXPECT_EQ(texts.last(), QStringLiteral("second"));
}

TEST(AppenderFile, SizeLimitChecksBeforeEachLineAndStaysFull) {
    QTemporaryDir dir;
    AppenderFile* a = AppenderFile::createAppenderFile(dir.path(), QStringLiteral("limited.txt"), 100);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->getMaxLen(), 100u);
    // 60 bytes per line with its line end.
    auto fill = [](unsigned int n) {
        LogMessageString probe{QString()};
        probe.setNumber(n);
        probe.setLogLevel(INFO);
        const int prefix = AppenderFile::formatLine(&probe).toLatin1().size();
        return QString(59 - prefix, QLatin1Char('x'));
    };
    QString firstLine;
    for (unsigned int n = 0; n < 5; ++n) {
        // The first line ends in a Latin-1 letter (kept) and a euro sign (written as '?').
        const QString text = n == 0 ? fill(n).chopped(2) + QString::fromUtf8("\u00e9\u20ac") : fill(n);
        std::unique_ptr<LogMessageString> m(message(n, INFO, text));
        if (n == 0) firstLine = AppenderFile::formatLine(m.get());
        a->append(m.get());
        a->flush();
        EXPECT_EQ(a->isFull(), n >= 2) << n;
    }
    a->close();
    const QStringList lines = readLines(dir.path() + QStringLiteral("/limited.txt"));
    ASSERT_EQ(lines.size(), 2) << "the third line finds 120 bytes and sets full";
    EXPECT_EQ(lines[0], QString(firstLine).replace(QChar(0x20ac), QLatin1Char('?')));
    EXPECT_EQ(lines[0].size() + 1, 60);
    delete a;

    AppenderFile* unlimited = AppenderFile::createAppenderFile(dir.path(), QStringLiteral("free.txt"), 0);
    for (unsigned int n = 0; n < 200; ++n) {
        std::unique_ptr<LogMessageString> m(message(n, INFO, fill(n)));
        unlimited->append(m.get());
    }
    EXPECT_FALSE(unlimited->isFull());
    delete unlimited;  // writes out what it gathered
    EXPECT_EQ(readLines(dir.path() + QStringLiteral("/free.txt")).size(), 200);
}

TEST(AppenderFile, MissingDirectoryOrFileLeavesLoggingRunning) {
    QTemporaryDir dir;
    QFile blocker(dir.path() + QStringLiteral("/plain"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_EQ(AppenderFile::createAppenderFile(dir.path() + QStringLiteral("/plain/sub"), QStringLiteral("x.txt"), 0), nullptr);
    EXPECT_EQ(SchedulerFileSystemAction::createAppenderFile(SCHEDULE_HOUR, dir.path() + QStringLiteral("/plain/sub"),
                                                            QStringLiteral("x"), 0),
              nullptr);
    ASSERT_TRUE(iniFrom(xformat("--logFile x.txt --logDir $/plain/sub --logConsole false", dir.path())));
    EXPECT_TRUE(Logger::isRunning());
    EXPECT_FALSE(Logger::getLogger().hasAppenderFile());
    Logger::quit();
}

TEST(AppenderFile, UnknownRotationFailsIni) {
    QTemporaryDir dir;
    EXPECT_FALSE(iniFrom(xformat("--logFile r --logDir $ --logRotate week --logConsole false", dir.path())));
    EXPECT_FALSE(Logger::isRunning());
    EXPECT_EQ(XScheduler::fromString(QStringLiteral("minute")), SCHEDULE_MINUTE);
    EXPECT_EQ(XScheduler::fromString(QStringLiteral("Hour")), SCHEDULE_NONE);
}

TEST(Rotation, CalendarStampsAndTexts) {
    XCalendarUTC c;
    EXPECT_EQ(c.toString(), QStringLiteral("1900/1/0, 0:0,0"));
    c.setYear(2022);
    c.setMonth(10);
    c.setDay(5);
    c.setHour(22);
    c.setMinute(7);
    c.setSeconds(3);
    EXPECT_EQ(c.asString(SCHEDULE_YEAR), QStringLiteral("2022"));
    EXPECT_EQ(c.asString(SCHEDULE_MONTH), QStringLiteral("2022_10"));
    EXPECT_EQ(c.asString(SCHEDULE_DAY), QStringLiteral("2022_10_05"));
    EXPECT_EQ(c.asString(SCHEDULE_HOUR), QStringLiteral("2022_10_05___22"));
    EXPECT_EQ(c.asString(SCHEDULE_MINUTE), QStringLiteral("2022_10_05___22_07"));
    EXPECT_EQ(c.asString(SCHEDULE_SECOND), QStringLiteral("2022_10_05___22_07_03"));
    EXPECT_EQ(c.asString(static_cast<SCHEDULE>(9)), QString());
    EXPECT_EQ(c.toString(), QStringLiteral("2022/10/5, 22:7,3"));
    EXPECT_EQ(SchedulerFileSystemAction::periodFileName(SCHEDULE_HOUR, c, QStringLiteral("logs"), QStringLiteral("run")),
              QStringLiteral("logs/run_2022_10_05___22.txt"));
}

namespace {
// A scheduler that reads a calendar the test sets instead of the clock.
class SetClockScheduler : public XScheduler {
public:
    std::mutex mutex;
    XCalendarUTC current;
    int reads = 0;  // how often the scheduler has looked at the calendar
    int readCount() {
        std::lock_guard<std::mutex> lock(mutex);
        return reads;
    }
    void set(int hour, int minute) {
        std::lock_guard<std::mutex> lock(mutex);
        current.setYear(2022);
        current.setMonth(12);
        current.setDay(hour == 0 ? 1 : 31);
        current.setHour(hour);
        current.setMinute(minute);
    }

protected:
    void now(XCalendarUTC& cal) override {
        std::lock_guard<std::mutex> lock(mutex);
        cal = current;
        ++reads;
    }
};
struct RecordingAction : XSchedulerAction {
    std::mutex mutex;
    std::vector<QString> stamps;
    SCHEDULE which = SCHEDULE_NONE;
    void schedule(SCHEDULE s, const XCalendarUTC& cal) override {
        std::lock_guard<std::mutex> lock(mutex);
        which = s;
        stamps.push_back(cal.asString(s));
    }
    std::size_t count() {
        std::lock_guard<std::mutex> lock(mutex);
        return stamps.size();
    }
};
}  // namespace

TEST(Rotation, SchedulerNoticesWrapsOfTheWatchedField) {
    for (SCHEDULE s : {SCHEDULE_HOUR, SCHEDULE_MINUTE}) {
        SetClockScheduler scheduler;
        RecordingAction action;
        scheduler.setSchedule(s);
        scheduler.setSchedAction(&action);
        scheduler.set(23, 59);
        scheduler.start();
        // The first read is the scheduler's baseline; by the third it has compared an unchanged one.
        ASSERT_TRUE(zortest::waitUntil([&] { return scheduler.readCount() >= 3; }));
        EXPECT_EQ(action.count(), 0u) << "no change, no action";
        scheduler.set(0, 0);  // 23:59 on the 31st becomes 00:00 on the 1st
        ASSERT_TRUE(zortest::waitUntil([&] { return action.count() == 1; }));
        scheduler.stopJoin();
        EXPECT_EQ(action.which, s);
        EXPECT_EQ(action.stamps[0], s == SCHEDULE_HOUR ? QStringLiteral("2022_12_01___00") : QStringLiteral("2022_12_01___00_00"));
    }
}

TEST(Rotation, EveryMessageInExactlyOneFileWhileFourThreadsLog) {
    QTemporaryDir dir;
    ASSERT_TRUE(iniFrom(xformat("--logFile run --logDir $ --logRotate second --logConsole false", dir.path())));
    std::atomic<bool> stop{false};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([t, &stop] {
            for (int i = 0; !stop.load(); ++i) {
                logInfo("t $ $", t, i);
                if (i % 8 == 7) std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        });
    // Logs until the file has been rotated at least once, however long the machine takes for it.
    const auto logFiles = [&] {
        return QDir(dir.path()).entryList({QStringLiteral("run_*.txt")}, QDir::Files, QDir::Name);
    };
    const bool rotated = zortest::waitUntil([&] { return logFiles().size() >= 2; });
    stop.store(true);
    for (auto& th : threads) th.join();
    zortest::quitLogger();

    const QStringList files = logFiles();
    EXPECT_TRUE(rotated);
    EXPECT_GE(files.size(), 2) << "rotated at least once";
    const QRegularExpression name(QStringLiteral(R"(^run_\d{4}_\d\d_\d\d___\d\d_\d\d_\d\d\.txt$)"));
    std::set<unsigned int> numbers;
    std::map<int, int> nextOfThread;
    const QRegularExpression line(QStringLiteral(R"(^\[(\d{6,})\] \[[A-Z#]{5}\] \[[^\]]*\] \[\d+\] (.*)$)"));
    for (const QString& f : files) {
        EXPECT_TRUE(name.match(f).hasMatch()) << qPrintable(f);
        for (const QString& l : readLines(dir.path() + QLatin1Char('/') + f)) {
            const auto m = line.match(l);
            ASSERT_TRUE(m.hasMatch()) << qPrintable(l);
            EXPECT_TRUE(numbers.insert(m.captured(1).toUInt()).second) << "number twice: " << qPrintable(l);
            const QStringList parts = m.captured(2).split(QLatin1Char(' '));
            if (parts.size() == 3 && parts[0] == QLatin1String("t")) {
                int& next = nextOfThread[parts[1].toInt()];
                ASSERT_EQ(parts[2].toInt(), next) << "thread " << qPrintable(parts[1]) << " lost or reordered a message";
                ++next;
            }
        }
    }
    ASSERT_FALSE(numbers.empty());
    EXPECT_EQ(*numbers.begin(), 0u);
    EXPECT_EQ(*numbers.rbegin() + 1, numbers.size()) << "numbers dense across files";
    EXPECT_EQ(nextOfThread.size(), 4u);
}

// Run by the next test as a child process: logs, lets the logger go idle, then waits to be killed.
TEST(AppenderFile, ChildLogsThenWaitsToBeKilled) {
    const QByteArray dir = qgetenv("ZOR_KILL_TEST_DIR");
    if (dir.isEmpty()) GTEST_SKIP() << "only run as the child of KilledProcessKeepsEveryDeliveredLine";
    ASSERT_TRUE(iniFrom(xformat("--logFile kill.txt --logDir $ --logConsole false", QString::fromLocal8Bit(dir))));
    for (int i = 0; i < 5000; ++i) logInfo("line $", i);
    ASSERT_TRUE(Logger::getLogger().waitQueueEmpty(10000));
    std::printf("idle\n");
    std::fflush(stdout);
    std::this_thread::sleep_for(std::chrono::seconds(30));
}

TEST(AppenderFile, KilledProcessKeepsEveryDeliveredLine) {
    QTemporaryDir dir;
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("ZOR_KILL_TEST_DIR"), dir.path());
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath().isEmpty() ? QStringLiteral("/proc/self/exe")
                                                                  : QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=AppenderFile.ChildLogsThenWaitsToBeKilled")});
    ASSERT_TRUE(child.waitForStarted(zortest::kWaitBoundMs));
    QByteArray out;
    zortest::waitUntil([&] {
        child.waitForReadyRead(100);
        out += child.readAllStandardOutput();
        return out.contains("idle");
    });
    ASSERT_TRUE(out.contains("idle")) << out.constData();
    ::kill(static_cast<pid_t>(child.processId()), SIGKILL);
    child.waitForFinished(zortest::kWaitBoundMs);
    int found = 0;
    for (const QString& l : readLines(dir.path() + QStringLiteral("/kill.txt")))
        if (l.contains(QLatin1String("] line "))) ++found;
    EXPECT_EQ(found, 5000);
}

TEST(AppenderLimitMemory, KeepsTheFirstAndTheLatestWithAGapMarker) {
    AppenderLimitMemory mem;
    EXPECT_EQ(mem.getName(), QStringLiteral("limitMemory"));
    EXPECT_EQ(mem.getKeepFirst(), 10u);
    EXPECT_EQ(mem.getCapacity(), 100u);
    EXPECT_EQ(mem.getErrorCapacity(), 10u);
    for (unsigned int n = 1; n <= 150; ++n) {
        std::unique_ptr<LogMessageString> m(message(n, n == 120 ? XERROR : INFO, xformat("m$", n)));
        mem.append(m.get());
    }
    const auto& kept = mem.getLogMessages();
    ASSERT_EQ(kept.size(), 100);
    EXPECT_EQ(kept[9]->getNumber(), 10u);
    EXPECT_EQ(kept[10]->getNumber(), 61u);
    EXPECT_EQ(kept.last()->getNumber(), 150u);
    QStringList lines;
    mem.getLogMessagesAsStrings(lines);
    ASSERT_EQ(lines.size(), 101);
    EXPECT_EQ(lines[10], QStringLiteral(".."));
    EXPECT_TRUE(lines[11].startsWith(QStringLiteral("[000061] [INFO#] ")));
    EXPECT_TRUE(lines[11].endsWith(QStringLiteral("] m61")));
    ASSERT_EQ(mem.getLogErrorMessages().size(), 1);
    QStringList errors;
    mem.getLogErrorMessagesAsStrings(errors);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith(QStringLiteral("[000120] [ERROR] ")));
}

TEST(AppenderFile, IniReadsLevelTrailerAndLengthKeys) {
    QTemporaryDir dir;
    // 0x0C: errors and warnings only; a 300-byte file; no trailer on the console.
    ASSERT_TRUE(iniFrom(xformat("--logFile k.txt --logDir $ --logLevel 12 --logFileLen 300 --logTrailler false", dir.path())));
    EXPECT_EQ(Logger::getLogger().getLogLevelMask(), 12u);
    EXPECT_FALSE(Logger::isIncludeTraillerConsole());
    logInfo("filtered out");
    for (int i = 0; i < 20; ++i) logWarning("warning $", i);
    zortest::quitLogger();
    const QStringList lines = readLines(dir.path() + QStringLiteral("/k.txt"));
    ASSERT_FALSE(lines.isEmpty());
    for (const QString& l : lines) EXPECT_FALSE(l.endsWith(QLatin1String("filtered out")));
    QFile f(dir.path() + QStringLiteral("/k.txt"));
    // The line that finds the file below the limit is still written, none after it.
    EXPECT_LT(f.size(), 300 + 80);
    EXPECT_LT(lines.size(), 20);
}
