#pragma once
// The operating-system layer: the few calls that differ between platforms. Nothing outside this
// folder includes a system header for them.
#include <QString>
#include <ctime>

namespace zor {
namespace platform {

unsigned int currentThreadId();  // kernel thread id
unsigned int processId();
bool localTime(std::time_t seconds, std::tm& out);  // false when the time cannot be broken down
QString systemErrorText(int errnum);                  // empty when the system has no text for it
void hideConsoleWindow();                             // nothing to hide on this platform
unsigned int hardwareThreads();
QString osVersion();
bool setEnvironment(const char* name, const char* value);

}  // namespace platform
}  // namespace zor
