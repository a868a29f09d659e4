#pragma once
// Waiting for a state instead of for a time. A test that needs another thread, a child process or
// the event loop to have done something polls for exactly that; the bound only ends a hang (the
// test then fails on its expectations), it is no timing, and it is far above what a loaded
// machine needs.
//   ASSERT_TRUE(zortest::waitUntil([&] { return worker.calls.load() >= 3; }));
//   zortest::waitUntil([&] { app.processEvents(); return !seen.empty(); });  // with an event loop
#include <chrono>
#include <thread>

namespace zortest {

constexpr int kWaitBoundMs = 30000;

// Polls pred about every millisecond until it holds; false if it still does not after boundMs.
template <typename Pred>
bool waitUntil(Pred pred, int boundMs = kWaitBoundMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(boundMs);
    while (!pred()) {
        if (std::chrono::steady_clock::now() >= end) return pred();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

}  // namespace zortest
