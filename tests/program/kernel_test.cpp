// The kernel: arguments with the place holder, functions and moved values handed to the main
// thread (none lost, in order, no copies), kernel event types, and the console program runner.
#include "support/CaptureAppender.h"
#include "support/TestFiles.h"
#include "support/Wait.h"

#include <zor/KernelEvents.h>
#include <zor/KernelTerminal.h>
#include <zor/KernelTerminalConfig.h>
#include <zor/Logger.h>
#include <zor/MainThread.h>
#include <zor/XLambda_GUI_Event.h>
#include <zor/XMem.h>
#include <zor/XProgramConsole.h>
#include <zor/XTree.h>

#include <gtest/gtest.h>

#include <QTimer>
#include <atomic>
#include <thread>
#include <vector>

using namespace zor;

namespace {

using zortest::Args;

char* noEnv[] = {nullptr};

}  // namespace

TEST(Kernel, PlaceHolderAndCommandLine) {
    Args a{"prog", "-x"};
    KernelTerminal k(a.argc, a.argv.data(), noEnv, true);
    EXPECT_EQ(a.argc, 3) << "the caller's count grows";
    ASSERT_EQ(Kernel::argc(), 3);
    EXPECT_STREQ(Kernel::argv()[1], "PlaceHolder");
    EXPECT_STREQ(Kernel::argv()[2], "-x");
    EXPECT_EQ(k.getCommand(), QStringLiteral("PlaceHolder"));
    EXPECT_EQ(QCoreApplication::arguments().size(), 2) << "the application keeps the arguments it was given";
    EXPECT_EQ(&Kernel::kernel(), static_cast<Kernel*>(&k));
    EXPECT_EQ(k.toString(), QStringLiteral("KernelTerminal"));

    EXPECT_FALSE(KernelEvents::is_kernel_event(nullptr));
    XLambda_GUI_Event lambda([] {});
    EXPECT_TRUE(KernelEvents::is_kernel_event(&lambda));
    EXPECT_TRUE(KernelEvents::is_event_lambda(&lambda));
    EXPECT_FALSE(KernelEvents::is_event_Generic(&lambda));
}

TEST(Kernel, RunInGuiNowOnTheMainThreadLaterFromOthers) {
    Args a{"prog"};
    KernelTerminal k(a.argc, a.argv.data(), noEnv, false);
    bool ranNow = false;
    Kernel::runInGui([&] { ranNow = true; });
    EXPECT_TRUE(ranNow) << "on the main thread with no wait the function runs before runInGui returns";

    std::atomic<bool> posted{false};
    std::thread::id ranOn;
    std::thread worker([&] {
        Kernel::runInGui([&] {
            ranOn = std::this_thread::get_id();
            k.quit();
        });
        posted.store(true);
    });
    worker.join();
    EXPECT_TRUE(posted.load());
    EXPECT_EQ(ranOn, std::thread::id()) << "not run before the event loop";
    QTimer::singleShot(zortest::kWaitBoundMs, &k, [] { QCoreApplication::quit(); });
    k.execute();
    EXPECT_EQ(ranOn, std::this_thread::get_id());

    bool deferred = false;
    Kernel::runInGui(
        [&] {
            deferred = true;
            k.quit();
        },
        20);
    EXPECT_FALSE(deferred) << "a wait on the main thread defers through a timer";
    k.execute();
    EXPECT_TRUE(deferred);
}

TEST(Kernel, HundredThousandFunctionsFromEightThreadsNoneLostEachThreadInOrder) {
    Args a{"prog"};
    KernelTerminal k(a.argc, a.argv.data(), noEnv, false);
    constexpr int kThreads = 8, kEach = 12500;
    std::vector<std::vector<int>> seen(kThreads);
    int total = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < kEach; ++i)
                qt::run_in_Gui_Thread([&, t, i] {
                    seen[t].push_back(i);
                    if (++total == kThreads * kEach) QCoreApplication::quit();
                });
        });
    QTimer::singleShot(60000, &k, [] { QCoreApplication::quit(); });
    k.execute();
    for (auto& th : threads) th.join();
    ASSERT_EQ(total, kThreads * kEach);
    for (int t = 0; t < kThreads; ++t) {
        ASSERT_EQ(seen[t].size(), static_cast<std::size_t>(kEach));
        for (int i = 0; i < kEach; ++i) ASSERT_EQ(seen[t][i], i);
    }
}

TEST(Kernel, MemoryBlocksAndTreesMoveWithoutACopy) {
    Args a{"prog"};
    KernelTerminal k(a.argc, a.argv.data(), noEnv, false);
    XMem mem("payload");
    const char* bytes = mem.mem();
    XTree tree;
    tree.setString(QStringLiteral("name"), QStringLiteral("main"));
    const XVal* slot = &tree.getVal(QStringLiteral("name"));

    const char* arrivedBytes = nullptr;
    const XVal* arrivedSlot = nullptr;
    int arrived = 0;
    std::thread worker([&] {
        Kernel::move_mem_to_main_thread(std::move(mem), [&](XMem&& m) {
            XMem kept(std::move(m));
            arrivedBytes = kept.mem();
            ++arrived;
        });
        Kernel::move_tree_to_main_thread(std::move(tree), [&](XTree&& t) {
            XTree kept(std::move(t));
            arrivedSlot = &kept.getVal(QStringLiteral("name"));
            if (++arrived == 2) QCoreApplication::quit();
        });
    });
    QTimer::singleShot(zortest::kWaitBoundMs, &k, [] { QCoreApplication::quit(); });
    k.execute();
    worker.join();
    EXPECT_EQ(arrived, 2);
    EXPECT_EQ(arrivedBytes, bytes) << "the block's bytes changed threads, not a copy of them";
    EXPECT_EQ(arrivedSlot, slot) << "the tree's slots changed threads, not copies of them";
    EXPECT_EQ(mem.size(), 0u) << "the caller's block is left empty";
}

TEST(ProgramConsole, HelpGivesTwentyAndTheMainMethodRunsOtherwise) {
    Args help{"prog", "--Help"};
    int mainCalls = 0;
    auto main = [&](int, char**, char**) {
        ++mainCalls;
        return 7;
    };
    testing::internal::CaptureStdout();
    EXPECT_EQ(XProgramConsole::runStandard(help.argc, help.argv.data(), noEnv, QStringLiteral("zor"),
                                           QStringLiteral("XMem.simple"), nullptr, main),
              20);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(mainCalls, 0);
    EXPECT_NE(out.find("testing based on Zorvan Engine"), std::string::npos);
    EXPECT_NE(out.find(" --logRotate (minute | hour | day | month | year)\n\nmain method 'XMem.simple'\n"), std::string::npos);
    EXPECT_TRUE(KernelTerminalConfig::flagTesting);
    EXPECT_EQ(KernelTerminalConfig::mainMethod, QStringLiteral("XMem.simple"));

    Args run{"prog", "go"};
    EXPECT_EQ(XProgramConsole::runStandard(run.argc, run.argv.data(), noEnv, QStringLiteral("zor"), QStringLiteral("go"),
                                           "custom help", main),
              7);
    EXPECT_EQ(mainCalls, 1);
    EXPECT_TRUE(Abstract_ZOR_Program::checkHelp(2, Args{"p", "--HELP"}.argv.data()));
    EXPECT_FALSE(Abstract_ZOR_Program::checkHelp(2, Args{"p", "-HELP"}.argv.data()));
}

TEST(Kernel, AnEventWithoutAFunctionLogsAnError) {
    zortest::LogCapture cap;
    XLambda_GUI_Event empty{std::function<void()>()};
    empty.execute();
    EXPECT_FALSE(empty.execute()) << "an event runs once";
    zortest::drainLogger();
    EXPECT_TRUE(cap.containsText(QStringLiteral("XLamdaGUIEvent::runMethod functionGUI == null")));
    Logger::quit();
}

// Any program may use the kernel's type numbers for plain events of its own: those are delivered
// as they are, sent or posted, to the terminal or to any object; only real kernel events run.
TEST(Kernel, PlainEventsWithTheKernelTypeNumbersPassUntouched) {
    Args a{"prog"};
    KernelTerminal k(a.argc, a.argv.data(), noEnv, false);
    struct Recorder : QObject {
        std::vector<int> types;
        bool event(QEvent* e) override {
            if (e->type() != KernelEvents::EV_TYPE_GENERIC && e->type() != KernelEvents::EV_TYPE_LAMBDA)
                return QObject::event(e);
            types.push_back(e->type());
            return true;
        }
    } recorder;
    const auto generic = static_cast<QEvent::Type>(KernelEvents::EV_TYPE_GENERIC);
    const auto lambda = static_cast<QEvent::Type>(KernelEvents::EV_TYPE_LAMBDA);
    QEvent sentGeneric(generic), sentLambda(lambda);
    EXPECT_EQ(KernelEvents::asKernelEvent(&sentGeneric), nullptr);
    QCoreApplication::sendEvent(&recorder, &sentGeneric);
    QCoreApplication::sendEvent(&recorder, &sentLambda);
    QCoreApplication::sendEvent(&k, &sentGeneric);
    QCoreApplication::postEvent(&recorder, new QEvent(lambda));
    QCoreApplication::postEvent(&k, new QEvent(generic));
    QCoreApplication::postEvent(&k, new QEvent(lambda));
    bool ran = false;
    XLambda_GUI_Event real([&] { ran = true; });
    QCoreApplication::sendEvent(&recorder, &real);
    QCoreApplication::sendPostedEvents();
    EXPECT_TRUE(ran) << "a real kernel event still runs";
    EXPECT_EQ(recorder.types, (std::vector<int>{9000, 9100, 9100, 9100}));
}
