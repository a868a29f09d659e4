// Flag words: reading, notification order and counts, transactions, watchers across threads.
#include "support/CaptureAppender.h"
#include "support/TestApp.h"
#include "support/Wait.h"

#include <zor/AtomicBits.h>
#include <zor/AtomicBitsWatcher.h>
#include <zor/Logger.h>
#include <zor/TransactionAtomicBits.h>

#include <gtest/gtest.h>

#include <QStringList>
#include <chrono>
#include <thread>

using namespace zor;

namespace {

// Records every notification of a flag word as a line: "D old new", "G value", "C old new".
struct Recorder {
    QStringList events;
    void attach(AtomicBits& bits) {
        bits.listenersDirect().add([this](const BitFlags<unsigned int>& o, const BitFlags<unsigned int>& n) {
            events << QStringLiteral("D %1 %2").arg(o.value()).arg(n.value());
        });
        bits.listenersGui().add([this](AtomicBits& b) { events << QStringLiteral("G %1").arg(b.value()); });
        bits.setInfoCallBack([this](unsigned int o, unsigned int n) { events << QStringLiteral("C %1 %2").arg(o).arg(n); });
        bits.listenersDirect().enable(true);
        bits.listenersGui().enable(true);
    }
};

}  // namespace

TEST(AtomicBits, ReadingTestsAndText) {
    AtomicBits b(0x4);
    EXPECT_TRUE(b == 0x6u);
    EXPECT_FALSE(b != 0x6u);
    EXPECT_TRUE(b != 0x3u);
    EXPECT_FALSE(b.isZeroFlags());
    b.setLowPart(0x1234);
    EXPECT_EQ(static_cast<unsigned int>(b), 0x1234u);
    b.setHighPart(0x2);
    EXPECT_EQ(b.highPart(), 0x2u);
    EXPECT_EQ(static_cast<unsigned int>(b), 0x21234u);
    AtomicBits small(0x5);
    EXPECT_EQ(small.toString(),
              QStringLiteral("( 1010_0000   0000_0000   0000_0000   0000_0000 ) = 5, (low:5,high:0)"));
    EXPECT_EQ(small.setBitNumber(33, true, false), 0x7u) << "bit numbers are taken modulo 32";
}

TEST(AtomicBits, ToggleSetAndClear) {
    AtomicBits b(0x1);
    EXPECT_FALSE(b.toggleFlag(0x3)) << "one of the bits was set: both are cleared";
    EXPECT_EQ(b.value(), 0u);
    EXPECT_TRUE(b.toggleFlag(0x3));
    EXPECT_EQ(b.value(), 0x3u);
    b -= 0x1;
    EXPECT_EQ(b.value(), 0x2u);
    b += 0x8;
    EXPECT_EQ(b.value(), 0xAu);
    EXPECT_FALSE(b.setFlag(0x2, false));
    b.delFlag(0x8);
    EXPECT_TRUE(b.isZeroFlags());
}

TEST(AtomicBits, NotificationOrderAndCounts) {
    AtomicBits b;
    Recorder r;
    r.attach(b);
    b.setFlag(0x1, true);  // emission off: nobody is told
    EXPECT_TRUE(r.events.isEmpty());
    b.set_flags(0x4, true);  // explicit emit: told even with emission off
    EXPECT_EQ(r.events, QStringList({"D 1 4", "G 4", "C 1 4"}));
    r.events.clear();
    b.setEmitChanges(true);
    b.setFlag(0x2, true);
    EXPECT_EQ(r.events, QStringList({"D 4 6", "G 6", "C 4 6"}));
    r.events.clear();
    b.resetFlags();
    EXPECT_EQ(r.events, QStringList({"D 6 0", "G 0", "C 6 0"}));
    r.events.clear();
    b.reset_flags(true);  // D and G only
    EXPECT_EQ(r.events, QStringList({"D 0 0", "G 0"}));
    r.events.clear();
    b.setHighPart(1);  // C only
    EXPECT_EQ(r.events, QStringList({"C 0 65536"}));
    r.events.clear();
    b.setEmitChanges(false);
    b.set_flag(0x1, true, true, true);  // quiet: G only when the value changed
    EXPECT_EQ(r.events, QStringList({"D 65536 65537", "G 65537"}));
    r.events.clear();
    b.set_flag(0x1, true, true, true);
    EXPECT_EQ(r.events, QStringList({"D 65537 65537"}));
    r.events.clear();
    b.listenersDirect().enable(false);
    b.listenersGui().enable(false);
    b.set_flags(0, true);
    EXPECT_EQ(r.events, QStringList({"C 65537 0"})) << "disabled listener sets call nobody";
    b = 7u;  // plain assignment notifies nobody
    EXPECT_EQ(r.events.size(), 1);
}

TEST(AtomicBits, ListenersAreCalledInIdOrderAndCanBeRemoved) {
    XEventListener<std::function<void(int)>> set;
    QStringList calls;
    const unsigned int a = set.add([&](int v) { calls << QStringLiteral("a%1").arg(v); });
    EXPECT_TRUE(set.add(100, [&](int v) { calls << QStringLiteral("z%1").arg(v); }));
    EXPECT_FALSE(set.add(100, [&](int) {})) << "an id is taken once";
    const unsigned int b = set.add([&](int v) { calls << QStringLiteral("b%1").arg(v); });
    EXPECT_GT(b, 100u);
    set.call(1);
    EXPECT_TRUE(calls.isEmpty()) << "a new set is disabled";
    set.enable(true);
    set.call(1);
    EXPECT_EQ(calls, QStringList({"a1", "z1", "b1"}));
    EXPECT_TRUE(set.remove(a));
    EXPECT_FALSE(set.remove(a));
    calls.clear();
    set.call(2);
    EXPECT_EQ(calls, QStringList({"z2", "b2"}));
}

TEST(AtomicBits, CopyAndMoveSemantics) {
    AtomicBits a(0x5);
    a.setEmitChanges(true);
    int direct = 0;
    a.listenersDirect().add([&](const BitFlags<unsigned int>&, const BitFlags<unsigned int>&) { ++direct; });
    a.listenersDirect().enable(true);
    AtomicBits copy(a);
    EXPECT_EQ(copy.value(), 0x5u);
    EXPECT_FALSE(copy.isEmitChanges()) << "a copy takes the value only";
    copy.set_flags(1, true);
    EXPECT_EQ(direct, 0);
    AtomicBits assigned;
    assigned = a;
    EXPECT_TRUE(assigned.isEmitChanges());
    AtomicBits moved(std::move(a));
    EXPECT_EQ(moved.value(), 0x5u);
    EXPECT_EQ(a.value(), 0u);
    EXPECT_FALSE(a.isEmitChanges());
    moved.setFlag(0x8, true);
    EXPECT_EQ(direct, 1) << "the listeners moved along";
}

TEST(AtomicBits, ConcurrentChangesOfDifferentBitsAreNeverLost) {
    AtomicBits b;
    std::vector<std::thread> threads;
    for (unsigned int t = 0; t < 8; ++t)
        threads.emplace_back([&b, t] {
            for (int i = 0; i < 20000; ++i) {
                b.setFlag(1u << t, true);
                b.setFlag(1u << t, false);
            }
            b.setFlag(1u << t, true);
        });
    for (auto& th : threads) th.join();
    EXPECT_EQ(b.value(), 0xFFu);
}

TEST(AtomicBits, GuiListenersRunOnTheMainThread) {
    zortest::TestApp app;
    AtomicBits b;
    std::thread::id guiThread;
    b.listenersGui().add([&](AtomicBits&) {
        guiThread = std::this_thread::get_id();
        app.quit();
    });
    b.listenersGui().enable(true);
    std::thread worker([&] { b.set_flags(3, true); });
    app.exec(zortest::kWaitBoundMs);
    worker.join();
    EXPECT_EQ(guiThread, std::this_thread::get_id());
}

TEST(TransactionAtomicBits, ManyChangesOneCallback) {
    AtomicBits b(0x1);
    Recorder r;
    r.attach(b);
    b.setEmitChanges(true);
    {
        TransactionAtomicBits t(b);
        b.setFlag(0x2, true);
        b.setFlag(0x4, true);
        EXPECT_FALSE(b.isEmitChanges());
    }
    EXPECT_EQ(r.events, QStringList({"C 1 7"}));
    EXPECT_TRUE(b.isEmitChanges());
    r.events.clear();
    {
        TransactionAtomicBits t(b);
        b.setFlag(0x8, true);
        b.setFlag(0x8, false);
    }
    EXPECT_TRUE(r.events.isEmpty()) << "no change, no callback";
    b.setEmitChanges(false);
    {
        TransactionAtomicBits t(b);
        b.setFlag(0x8, true);
    }
    EXPECT_TRUE(r.events.isEmpty()) << "emission was off";
}

TEST(AtomicBitsWatcher, WaitsAcrossThreads) {
    AtomicBitsWatcher w;
    w.set_flag(0x4, true);
    w.wait_until_bit_is_set(0x4);  // already set: returns at once
    EXPECT_TRUE(w.is_flag(0x4));

    AtomicBitsWatcher waiter;
    std::atomic<bool> woke{false};
    std::thread t([&] {
        waiter.wait_until_bit_is_set(0x10);
        woke = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(woke.load());
    waiter.set_bit_number(4, true);
    t.join();
    EXPECT_TRUE(woke.load());

    // A change wakes a waiter; setting the same value does not. The waiter may begin to wait after
    // any change (it then waits for the next one), so the value flips between 6 and 7 until it woke.
    AtomicBitsWatcher changed(5);
    std::atomic<bool> changeSeen{false};
    std::thread t2([&] {
        changed.wait_stateChange();
        changeSeen = true;
    });
    changed.set_flags(5);
    EXPECT_TRUE(zortest::waitUntil([&] {
        if (!changeSeen.load()) changed.set_flags(changed.get_flags() == 6u ? 7u : 6u);
        return changeSeen.load();
    }));
    t2.join();
    EXPECT_NE(changed.get_flags(), 5u);
}

TEST(AtomicBitsWatcher, StopEndsTheBitWaitWithItsLogLine) {
    zortest::LogCapture cap;
    AtomicBitsWatcher w;
    std::thread t([&] { w.wait_until_bit_is_set(0x4); });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    w.stop();
    t.join();
    EXPECT_FALSE(w.is_running());
    zortest::drainLogger();
    EXPECT_TRUE(cap.containsText(QStringLiteral("AtomicBitsWatcher::wait_until_bit_is_set - atomicFlagStop == true !")));
    w.reset();
    EXPECT_TRUE(w.is_running());
    EXPECT_EQ(w.get_flags(), 0u);
    Logger::quit();
}
