#pragma once
// A QCoreApplication for tests that need an event loop (timers, listeners on the main thread).
// exec(ms) runs the loop until something quits it, or at the latest after ms, so a test whose
// event never comes fails on its expectations instead of hanging.
#include <QCoreApplication>
#include <QTimer>

namespace zortest {

struct TestApp {
    int argc = 1;
    char name[5] = "test";
    char* argv[2] = {name, nullptr};
    QCoreApplication app{argc, argv};

    void quit() { app.quit(); }
    int exec(int boundMs) {
        QTimer::singleShot(boundMs, &app, [this] { app.quit(); });
        return app.exec();
    }
};

}  // namespace zortest
