// Starts the logger with the console sink, logs from two threads and ends.
#include <zor/core.h>

#include <thread>

int main(int argc, char** argv) {
    zor::CommandLine cmd(argc, argv);
    if (!zor::Logger::ini(cmd)) return 1;
    zor::logInfo("hello from an installed zor $ (error text of code 6: '$')", zor::ZorVersion::getVersion(),
                 zor::exitZorErrorCodeToString(6));
    std::thread worker([] { zor::logWarning("a worker thread, $ + $ = $", 1, 0.5, 1.5); });
    worker.join();
    zor::Logger::quit();
    return 0;
}
