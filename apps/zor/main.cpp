#include <zor/core.h>
int main(int argc, char** argv) {
    zor::CommandLine cmd(argc, argv);
    zor::Logger::ini(cmd);
    zor::logInfo("hello $", 1.5);
    zor::Logger::quit();
    return 0;
}
