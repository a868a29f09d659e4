#include "child_helper.h"

#include <zor/CommandLine.h>
#include <zor/XMem.h>
#include <zor/XProgramStraight.h>
#include <zor/XRecord.h>
#include <zor/XRunGuard.h>
#include <zor/XSharedMemory.h>

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <atomic>
#include <cstdio>
#include <unistd.h>

namespace zortest {

namespace {

int guardRole(const QString& key, bool hold) {
    zor::XRunGuard guard(key);
    if (!guard.run_instance_of_program()) {
        std::printf("REFUSED\n");
        return 3;
    }
    std::printf("HELD\n");
    std::fflush(stdout);
    if (hold) {
        char c;
        while (::read(0, &c, 1) > 0) {
        }
    }
    return 0;
}

int shmRead(const QString& key) {
    zor::XSharedMemory shm(key);
    if (!shm.attach(QSharedMemory::ReadOnly)) return 4;
    zor::XMem copy;
    if (!shm.readMem(copy)) return 4;
    std::printf("%s %zu\n", qPrintable(copy.toString_MD5()), copy.size());
    return 0;
}

int restart() {
    zor::CommandLine cmd;
    cmd.setProgram(QStringLiteral("/usr/bin/env"));
    zor::XRecord env;
    env.setString(QStringLiteral("ZOR_RESTART_MARK"), QStringLiteral("42"));
    zor::XProgramStraight prog(cmd, env);
    prog.reStartProgram();
    return 5;
}

int helperRole() {
    const QString role = QString::fromLocal8Bit(qgetenv("ZOR_PROCESS_HELPER"));
    if (role.isEmpty()) return -1;
    const QString key = QString::fromLocal8Bit(qgetenv("ZOR_PROCESS_KEY"));
    if (role == QLatin1String("guard-hold")) return guardRole(key, true);
    if (role == QLatin1String("guard-try")) return guardRole(key, false);
    if (role == QLatin1String("shm-read")) return shmRead(key);
    if (role == QLatin1String("restart")) return restart();
    return 99;
}

// Runs before main: a helper child never reaches the test runner.
[[maybe_unused]] const int kRole = [] {
    const int rc = helperRole();
    if (rc < 0) return rc;
    std::fflush(stdout);
    ::_exit(rc);
}();

}  // namespace

QString selfPath() { return QFile::symLinkTarget(QStringLiteral("/proc/self/exe")); }

QString uniqueKey(const char* what) {
    static std::atomic<int> n{0};
    return QStringLiteral("zor-test-%1-%2-%3").arg(QLatin1String(what)).arg(::getpid()).arg(n++);
}

QProcessEnvironment helperEnvironment(const QString& role, const QString& key) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("ZOR_PROCESS_HELPER"), role);
    env.insert(QStringLiteral("ZOR_PROCESS_KEY"), key);
    return env;
}

HelperResult runHelper(const QString& role, const QString& key, int boundMs) {
    QProcess p;
    p.setProcessEnvironment(helperEnvironment(role, key));
    p.start(selfPath(), QStringList());
    HelperResult r;
    p.closeWriteChannel();
    r.finished = p.waitForFinished(boundMs);
    if (!r.finished) {
        p.kill();
        p.waitForFinished(5000);
    }
    r.out = p.readAllStandardOutput();
    r.exitCode = p.exitCode();
    return r;
}

}  // namespace zortest
