#pragma once
/// \zclass{Abstract_ZOR_Program,program} The base of a program's start: init() initialises the library (the error
/// texts), mainMethod() is the program, showProgramHelp() prints a help text. checkHelp finds
/// "--HELP" in any case among the arguments.
#include <zor/zor_export.h>

namespace zor {

class ZOR_EXPORT Abstract_ZOR_Program {
public:
    virtual ~Abstract_ZOR_Program();
    virtual bool init(int argc, char** argv, char** envp);
    virtual int mainMethod(int argc, char** argv, char** envp) = 0;
    /// Prints text (when not null) through the logger's direct console output.
    virtual void showProgramHelp(int argc, char** argv, char** envp, const char* text);

    /// True when an argument, the program name included, is "--HELP" in any case.
    static bool checkHelp(int argc, char** argv);
};

}  // namespace zor
