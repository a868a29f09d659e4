#include <zor/KernelTerminalConfig.h>

namespace zor {

bool KernelTerminalConfig::flagTesting = false;
bool KernelTerminalConfig::flagWindowsConsole = true;
QString KernelTerminalConfig::mainMethod;

}  // namespace zor
