// XProcess and XProgramStraight with real children: output and exit codes, a program that does
// not exist, children ended by signals, 50 MB of output, arguments, environment, PATH, restart.
#include "child_helper.h"
#include "support/CaptureAppender.h"
#include "support/TestFiles.h"

#include <zor/CommandLine.h>
#include <zor/XProcess.h>
#include <zor/XProgramStraight.h>
#include <zor/XRecord.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

using namespace zor;

namespace {

constexpr int kBoundMs = 30000;

QString writeScript(const QTemporaryDir& dir, const QString& name, const QByteArray& body) {
    const QString path = dir.filePath(name);
    zortest::writeFile(path, "#!/bin/sh\n" + body);
    return QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner) ? path : QString();
}

}  // namespace

TEST(XProcess, TextsOfStatesErrorsAndArguments) {
    const char* states[] = {"NOT RUNNING", "STARTING", "RUNNING"};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(XProcess::processStateToString(static_cast<QProcess::ProcessState>(i)), QLatin1String(states[i]));
    EXPECT_EQ(XProcess::processStateToString(static_cast<QProcess::ProcessState>(7)), QStringLiteral("UNKNOWN-PROCESS-STATE:7"));
    const char* names[] = {"FailedToStart", "Crashed", "Timedout", "ReadError", "WriteError", "UnknownError"};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(XProcess::processErrorToString(static_cast<QProcess::ProcessError>(i)), QLatin1String(names[i]));
    EXPECT_EQ(XProcess::processErrorToString(static_cast<QProcess::ProcessError>(9)), QStringLiteral("UNKNOWN ERROR:9"));

    EXPECT_EQ(XProcess::splitArgs(QStringLiteral("a  b\t\"c d\" \"\" ")), (QStringList{"a", "b", "c d", ""}));
    EXPECT_EQ(XProcess::splitArgs(QStringLiteral("a \"b c")), (QStringList{"a", "b c"})) << "an unclosed quote keeps the rest";
    EXPECT_TRUE(XProcess::splitArgs(QStringLiteral(" \t ")).isEmpty());

    XProcess p;
    EXPECT_TRUE(p.isNotRunning());
    p.setArgs(QStringLiteral("-c \"exit 0\""));
    EXPECT_EQ(p.arguments(), (QStringList{"-c", "exit 0"}));
    EXPECT_EQ(p.toString(), QStringLiteral("[NOT RUNNING], -c exit 0 (unknown?)"));
    EXPECT_EQ(p.exitSignal(), 0);
}

TEST(XProcess, ChildOutputLinesExitCodeAndListeners) {
    zortest::LogCapture cap;
    XProcess p;
    int starts = 0, exits = 0, errors = 0;
    bool crashed = true;
    p.addListenerStart([&] { ++starts; });
    p.addListenerExit([&](bool c) {
        ++exits;
        crashed = c;
    });
    p.addListenerError([&](QProcess::ProcessError) { ++errors; });
    p.setLogOutput(true);
    p.start(QStringLiteral("/bin/sh"), {"-c", "echo hello; echo 'to err' >&2; printf 'a\\r\\nno end'; exit 7"});
    ASSERT_TRUE(p.waitForStarted(kBoundMs));
    const long long pid = p.processId();
    EXPECT_GT(pid, 0);
    ASSERT_TRUE(p.waitForFinished(kBoundMs));
    EXPECT_EQ(p.exitCode(), 7);
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitSignal(), 0);
    EXPECT_EQ(starts, 1);
    EXPECT_EQ(exits, 1);
    EXPECT_EQ(errors, 0);
    EXPECT_FALSE(crashed);
    EXPECT_EQ(p.getPid(), pid) << "kept after the child ended";
    const QString tag = QStringLiteral("[%1] ").arg(pid);
    EXPECT_EQ(cap.linesStartingWith(QStringLiteral("XProcess::stdOut")),
              (QStringList{"XProcess::stdOut, " + tag + "hello", "XProcess::stdOut, " + tag + "a",
                           "XProcess::stdOut, " + tag + "no end"}))
        << cap.lastLines(8);
    EXPECT_EQ(cap.linesStartingWith(QStringLiteral("XProcess::stdErr")), QStringList{"XProcess::stdErr, " + tag + "to err"});
}

TEST(XProcess, MissingProgramAndSignalsAreReported) {
    zortest::LogCapture cap;
    {
        XProcess p;
        std::vector<QProcess::ProcessError> errors;
        int exits = 0;
        p.addListenerError([&](QProcess::ProcessError e) { errors.push_back(e); });
        p.addListenerExit([&](bool) { ++exits; });
        p.start(QStringLiteral("/nonexistent/zor-no-such-program"), QStringList());
        EXPECT_FALSE(p.waitForStarted(kBoundMs));
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_EQ(errors[0], QProcess::FailedToStart);
        EXPECT_EQ(exits, 0) << "a child that never ran does not exit";
        EXPECT_EQ(p.exitSignal(), 0);
        EXPECT_EQ(p.toString(), QStringLiteral("[NOT RUNNING],  err:FailedToStart"));
        EXPECT_TRUE(cap.containsText(QStringLiteral("XProcess::XProcess, QProcess::ProcessError, error:FailedToStart")));
    }
    // Killed by a signal of its own, by kill() (SIGKILL) and by terminate() (SIGTERM).
    struct Case {
        const char* script;
        int how;  // 0: let it end, 1: kill(), 2: terminate()
        int signal;
    };
    for (const Case& c : {Case{"kill -9 $$", 0, 9}, Case{"exec sleep 30", 1, 9}, Case{"exec sleep 30", 2, 15}}) {
        XProcess p;
        bool crashed = false;
        p.addListenerExit([&](bool cr) { crashed = cr; });
        p.start(QStringLiteral("/bin/sh"), {"-c", c.script});
        ASSERT_TRUE(p.waitForStarted(kBoundMs));
        if (c.how == 1) p.kill();
        if (c.how == 2) p.terminate();
        ASSERT_TRUE(p.waitForFinished(kBoundMs)) << c.script;
        EXPECT_TRUE(crashed) << c.script;
        EXPECT_EQ(p.exitStatus(), QProcess::CrashExit);
        EXPECT_EQ(p.exitSignal(), c.signal) << c.script;
    }
    // Destroyed while the child runs: the child is killed and reaped, no listener is called.
    bool called = false;
    {
        XProcess p;
        p.addListenerExit([&](bool) { called = true; });
        p.start(QStringLiteral("/bin/sh"), {"-c", "exec sleep 30"});
        ASSERT_TRUE(p.waitForStarted(kBoundMs));
    }
    EXPECT_FALSE(called);
}

TEST(XProcess, LargeOutputArrivesWholeAndLongLinesAreCut) {
    constexpr long long kSize = 50LL * 1024 * 1024;
    XProcess p;
    long long out = 0, err = 0;
    p.addListenerOutput([&](const QByteArray& chunk, bool isErr) { (isErr ? err : out) += chunk.size(); });
    p.start(QStringLiteral("/bin/sh"), {"-c", "head -c 52428800 /dev/zero; head -c 1000 /dev/zero >&2"});
    ASSERT_TRUE(p.waitForFinished(120000)) << "no deadlock on a full pipe";
    EXPECT_EQ(out, kSize);
    EXPECT_EQ(err, 1000);
    EXPECT_EQ(p.bytesAvailable(), 0) << "consumed as it arrived, not buffered";

    // A line longer than the limit is logged in pieces, so a child without line ends cannot make
    // the process hold unbounded text.
    zortest::LogCapture cap;
    XProcess q;
    q.setLogOutput(true);
    q.start(QStringLiteral("/bin/sh"), {"-c", "head -c 150000 /dev/zero | tr '\\0' x"});
    ASSERT_TRUE(q.waitForFinished(kBoundMs));
    const QStringList lines = cap.linesStartingWith(QStringLiteral("XProcess::stdOut"));
    ASSERT_EQ(lines.size(), 3) << cap.lastLines(4);
    const int head = QStringLiteral("XProcess::stdOut, [%1] ").arg(q.getPid()).size();
    EXPECT_EQ(lines[0].size() - head, XProcess::LINE_LIMIT);
    EXPECT_EQ(lines[1].size() - head, XProcess::LINE_LIMIT);
    EXPECT_EQ(lines[2].size() - head, 150000 - 2 * XProcess::LINE_LIMIT);
}

TEST(XProcess, EnvironmentAndPath) {
    zortest::LogCapture cap;
    XProcess p;
    p.setLogOutput(false);  // the output stays for the caller to read
    ASSERT_TRUE(p.addEnv(QStringLiteral("--ZOR_A one --ZOR_B \"two words\"")));
    ASSERT_TRUE(p.addEnv(QStringLiteral("--ZOR_C three"))) << "added to the pairs before";
    EXPECT_FALSE(p.addEnv(QStringLiteral("--ZOR_D \"unclosed")));
    EXPECT_FALSE(p.processEnvironment().contains(QStringLiteral("ZOR_D")));
    EXPECT_TRUE(p.processEnvironment().contains(QStringLiteral("PATH"))) << "starts from the system's";
    p.start(QStringLiteral("/bin/sh"), {"-c", "echo \"$ZOR_A|$ZOR_B|$ZOR_C|$ZOR_D\""});
    ASSERT_TRUE(p.waitForFinished(kBoundMs));
    EXPECT_EQ(p.readAllStandardOutput(), QByteArray("one|two words|three|\n"));

    const QByteArray before = qgetenv("PATH");
    EXPECT_TRUE(XProcess::addToPath(QString()));
    EXPECT_EQ(qgetenv("PATH"), before);
    EXPECT_TRUE(cap.linesStartingWith(QStringLiteral("pathOld")).isEmpty());

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_FALSE(writeScript(dir, QStringLiteral("zor-path-probe"), "echo probe\n").isEmpty());
    ASSERT_TRUE(XProcess::addToPath(dir.path()));
    EXPECT_EQ(qgetenv("PATH"), QFile::encodeName(dir.path()) + ':' + before);
    EXPECT_TRUE(cap.containsText(QStringLiteral("pathOld:'%1'").arg(QString::fromLocal8Bit(before))));
    EXPECT_TRUE(cap.containsText(QStringLiteral("pathNew:'%1:%2'").arg(dir.path(), QString::fromLocal8Bit(before))));
    XProcess probe;
    probe.start(QStringLiteral("zor-path-probe"), QStringList());
    EXPECT_TRUE(probe.waitForFinished(kBoundMs));
    EXPECT_EQ(probe.readAllStandardOutput(), QByteArray("probe\n")) << "found through the new PATH";
    qputenv("PATH", before);
}

TEST(XProgramStraight, StartsWithArgumentsEnvironmentAndDirectory) {
    zortest::LogCapture cap;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString script = writeScript(dir, QStringLiteral("show.sh"), "echo \"args:$*|$3\"\necho \"env:$ZOR_X\"\npwd\n");
    CommandLine cmd;
    cmd.setProgram(script);
    cmd.setCommand(QStringLiteral("run"));
    cmd.setString(QStringLiteral("in"), QStringLiteral("a b.txt"));
    XRecord env;
    env.setString(QStringLiteral("ZOR_X"), QStringLiteral("42"));
    XProgramStraight prog(cmd, env, dir.path());
    EXPECT_TRUE(prog.hasValidWorkPath());
    const QString cwd = QDir::currentPath();
    std::unique_ptr<XProcess> p(prog.startProgram());
    ASSERT_TRUE(p);
    ASSERT_TRUE(p->waitForFinished(kBoundMs));
    EXPECT_EQ(QString::fromLocal8Bit(p->readAllStandardOutput()),
              QStringLiteral("args:run --in a b.txt|a b.txt\nenv:42\n%1\n").arg(QDir(dir.path()).canonicalPath()));
    EXPECT_EQ(QDir::currentPath(), cwd) << "the caller's directory stays";
    const long long pid = p->getPid();
    EXPECT_TRUE(cap.containsText(QStringLiteral("XProgramStraight::startProgram, processID:%1 started").arg(pid)));
    EXPECT_TRUE(cap.containsText(QStringLiteral("XProgramStraight::startProgram, running PID:%1").arg(pid)));
    EXPECT_TRUE(cap.containsText(QStringLiteral("XProgramStraight::startProgram, listenerExit, process [%1] exit").arg(pid)));

    XProgramStraight missing;
    CommandLine none;
    none.setProgram(QStringLiteral("/nonexistent/zor-no-such-program"));
    missing.setCmd(none);
    EXPECT_FALSE(missing.reStartProgram()) << "returns only when the program cannot replace this one";
    missing.setWorkPath(QStringLiteral("/nonexistent/dir"));
    EXPECT_FALSE(missing.hasValidWorkPath());
    std::unique_ptr<XProcess> q(missing.startProgram());
    ASSERT_TRUE(q);
    EXPECT_TRUE(q->isNotRunning());
    EXPECT_TRUE(cap.containsText(QStringLiteral("WinStarter::execProgram, cannot set directory to '/nonexistent/dir'")));
    EXPECT_TRUE(cap.containsText(QStringLiteral("XProgramStraight::startProgram, da proc err:FailedToStart")));
    EXPECT_FALSE(cap.linesStartingWith(QStringLiteral("XProgramStraight::startProgram, processID cannot start_global:")).isEmpty());
}

TEST(XProgramStraight, RestartReplacesTheProcess) {
    const zortest::HelperResult r = zortest::runHelper(QStringLiteral("restart"), QString());
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.exitCode, 0) << r.out.constData();
    EXPECT_TRUE(r.out.contains("\nZOR_RESTART_MARK=42\n") || r.out.startsWith("ZOR_RESTART_MARK=42\n")) << r.out.constData();
    EXPECT_TRUE(r.out.contains("ZOR_PROCESS_HELPER=restart")) << "the rest of the environment is kept";
}
