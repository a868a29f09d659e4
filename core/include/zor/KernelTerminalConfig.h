#pragma once
/// \zclass{KernelTerminalConfig,program} The static configuration of console programs, set by the program runner.
#include <zor/zor_export.h>

#include <QString>

namespace zor {

struct ZOR_EXPORT KernelTerminalConfig {
    static bool flagTesting;         ///< false until a runner sets it
    static bool flagWindowsConsole;  ///< true
    static QString mainMethod;       ///< the name of the method the program runs
};

}  // namespace zor
