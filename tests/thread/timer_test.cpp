// Timers on the event loop: repeated and single time-outs, disabled listener sets.
#include "support/CaptureAppender.h"
#include "support/TestApp.h"

#include <zor/Logger.h>
#include <zor/XTimer.h>
#include <zor/XTimerOneTimeShot.h>

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <thread>

using namespace zor;

TEST(XTimer, FiresRepeatedlyInIdOrderOnTheOwningThread) {
    zortest::TestApp a;
    XTimer t;
    QStringList calls;
    int ticks = 0;
    std::thread::id where;
    t.listeners().add([&] { calls << QStringLiteral("first"); });
    t.listeners().add([&] {
        calls << QStringLiteral("second");
        where = std::this_thread::get_id();
        if (++ticks == 3) a.app.quit();
    });
    t.start(5);
    a.exec(10000);
    t.stop();
    EXPECT_EQ(ticks, 3);
    EXPECT_EQ(calls, QStringList({"first", "second", "first", "second", "first", "second"}));
    EXPECT_EQ(where, std::this_thread::get_id());
}

TEST(XTimer, DisabledListenersFireWithoutCallingAndEmptyCallablesAreSkipped) {
    zortest::TestApp a;
    zortest::LogCapture cap;
    XTimer t;
    int called = 0;
    t.listeners().add([&] { ++called; });
    t.listeners().enable(false);
    int fired = 0;
    QObject::connect(&t, &QTimer::timeout, [&] {
        if (++fired == 3) a.app.quit();
    });
    t.start(5);
    a.exec(10000);
    EXPECT_EQ(fired, 3);
    EXPECT_EQ(called, 0);

    t.stop();
    t.listeners().enable(true);
    t.listeners().add(std::function<void()>());
    t.setSingleShot(true);
    QObject::connect(&t, &QTimer::timeout, &a.app, &QCoreApplication::quit, Qt::QueuedConnection);
    t.start(0);
    a.app.exec();
    EXPECT_EQ(called, 1);  // the others still run; no exception escapes the event loop
    zortest::drainLogger();
    EXPECT_TRUE(cap.containsText(QStringLiteral("XTimer::fire, empty callable skipped")));
    loggerQuit();
}

TEST(XTimerOneTimeShot, ZeroMsCallsOnceOnTheNextPassAndLogsItsEnd) {
    zortest::TestApp a;
    zortest::LogCapture cap;
    int called = 0;
    {
        XTimerOneTimeShot once(0, [&] { ++called; });
        once.start();
        EXPECT_EQ(called, 0);  // not before the event loop runs
        QTimer::singleShot(100, &a.app, [&] { a.app.quit(); });
        a.app.exec();
        EXPECT_EQ(called, 1);
        EXPECT_FALSE(once.timer()->isActive());
    }
    zortest::drainLogger();
    EXPECT_TRUE(cap.containsText(QStringLiteral("XTimerOneTimeShot::~XTimerOneTimeShot()")));
    loggerQuit();
}

TEST(XTimerOneTimeShot, FiresAfterItsInterval) {
    zortest::TestApp a;
    QElapsedTimer clock;
    qint64 at = -1;
    XTimerOneTimeShot once(50, [&] {
        at = clock.elapsed();
        a.app.quit();
    });
    clock.start();
    once.start();
    a.exec(10000);
    EXPECT_GE(at, 45);  // Qt's coarse timers may fire up to 5% early
}
