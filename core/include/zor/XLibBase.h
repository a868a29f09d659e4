#pragma once
/// \zclass{XLibBase,error} Initialises the library for a program (the texts of the library error codes).
#include <zor/zor_export.h>

namespace zor {

class ZOR_EXPORT XLibBase {
public:
    /// Registers the library's error texts; only the first call does anything. Returns true.
    static bool iniLibrary(int argc, char** argv, char** envp);
};

}  // namespace zor
