// XRunGuard: keys, guards in one process, guards in two processes (also after the holder was
// killed with SIGKILL), and a lock file that cannot be used.
#include "child_helper.h"
#include "support/CaptureAppender.h"

#include <zor/XRunGuard.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zor;

TEST(XRunGuard, KeysAndGuardsInOneProcess) {
    EXPECT_EQ(XRunGuard::lockKeyOf(QStringLiteral("abc")), QStringLiteral("0b9766df865415cdac8a6d839ab09e224621dfa0"));
    EXPECT_EQ(XRunGuard::sharedMemKeyOf(QStringLiteral("abc")), QStringLiteral("2e485e3cbc529ee5329ce5fff83742c0df656b7f"));

    const QString key = zortest::uniqueKey("guard");
    auto first = std::make_unique<XRunGuard>(key);
    XRunGuard second(key);
    EXPECT_FALSE(first->is_another_instance_running());
    EXPECT_FALSE(second.is_another_instance_running()) << "asking takes nothing";
    ASSERT_TRUE(first->run_instance_of_program());
    EXPECT_TRUE(first->run_instance_of_program()) << "holding already";
    EXPECT_FALSE(first->is_another_instance_running());
    EXPECT_TRUE(second.is_another_instance_running());
    EXPECT_FALSE(second.run_instance_of_program());
    XRunGuard otherKey(key + QStringLiteral("-other"));
    EXPECT_TRUE(otherKey.run_instance_of_program());
    first.reset();
    EXPECT_FALSE(second.is_another_instance_running());
    EXPECT_TRUE(second.run_instance_of_program());
    QFile::remove(second.lockFilePath());
    QFile::remove(otherKey.lockFilePath());
}

TEST(XRunGuard, SecondProcessRefusedUntilTheFirstIsKilled) {
    const QString key = zortest::uniqueKey("guard2");
    QProcess holder;
    holder.setProcessEnvironment(zortest::helperEnvironment(QStringLiteral("guard-hold"), key));
    holder.start(zortest::selfPath(), QStringList());
    ASSERT_TRUE(holder.waitForStarted(20000));
    while (!holder.canReadLine() && holder.waitForReadyRead(20000)) {
    }
    ASSERT_EQ(holder.readLine(), QByteArray("HELD\n"));

    {
        XRunGuard mine(key);
        EXPECT_TRUE(mine.is_another_instance_running());
        EXPECT_FALSE(mine.run_instance_of_program());
        const zortest::HelperResult r = zortest::runHelper(QStringLiteral("guard-try"), key);
        EXPECT_EQ(r.out, QByteArray("REFUSED\n"));
        EXPECT_EQ(r.exitCode, 3);

        holder.kill();  // SIGKILL: the holder gets no chance to clean up
        ASSERT_TRUE(holder.waitForFinished(20000));
        EXPECT_EQ(holder.exitStatus(), QProcess::CrashExit);
        EXPECT_FALSE(mine.is_another_instance_running());
        ASSERT_TRUE(mine.run_instance_of_program());
        const zortest::HelperResult r2 = zortest::runHelper(QStringLiteral("guard-try"), key);
        EXPECT_EQ(r2.out, QByteArray("REFUSED\n")) << "now this process holds it";
    }
    const zortest::HelperResult r3 = zortest::runHelper(QStringLiteral("guard-try"), key);
    EXPECT_EQ(r3.out, QByteArray("HELD\n")) << "released with the guard";
    EXPECT_EQ(r3.exitCode, 0);
    QFile::remove(XRunGuard(key).lockFilePath());
}

TEST(XRunGuard, UnusableLockFileRefusesWithALine) {
    zortest::LogCapture cap;
    const QString key = zortest::uniqueKey("guard3");
    XRunGuard guard(key);
    // A directory where the lock file belongs cannot be opened for writing.
    ASSERT_TRUE(QDir().mkpath(guard.lockFilePath()));
    EXPECT_TRUE(guard.is_another_instance_running()) << "unknown counts as running";
    EXPECT_FALSE(guard.run_instance_of_program());
    EXPECT_FALSE(guard.isHolding());
    QDir().rmdir(guard.lockFilePath());
    EXPECT_FALSE(cap.linesStartingWith(QStringLiteral("XRunGuard::run_instance_of_program, cannot lock '") + guard.lockFilePath()).isEmpty())
        << cap.lastLines(3);
    EXPECT_TRUE(guard.run_instance_of_program()) << "usable again";
    QFile::remove(guard.lockFilePath());
}
