#include <zor/Abstract_ZOR_Program.h>

#include <zor/KernelTerminal.h>
#include <zor/Logger.h>
#include <zor/XLibBase.h>

#include <cstring>
#include <strings.h>

namespace zor {

Abstract_ZOR_Program::~Abstract_ZOR_Program() = default;

bool Abstract_ZOR_Program::init(int argc, char** argv, char** envp) {
    XLibBase::iniLibrary(argc, argv, envp);
    return true;
}

void Abstract_ZOR_Program::showProgramHelp(int argc, char** argv, char** envp, const char* text) {
    if (text == nullptr) return;
    if (QCoreApplication::instance() == nullptr) {
        KernelTerminal terminal(argc, argv, envp, false);
        Logger::printToCout(text);
    } else {
        Logger::printToCout(text);
    }
}

bool Abstract_ZOR_Program::checkHelp(int argc, char** argv) {
    for (int i = 0; i < argc && argv != nullptr; ++i)
        if (argv[i] != nullptr && strcasecmp(argv[i], "--HELP") == 0) return true;
    return false;
}

}  // namespace zor
