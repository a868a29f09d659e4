#include <zor/XProgramConsole.h>

#include <zor/Kernel.h>
#include <zor/KernelTerminalConfig.h>
#include <zor/Logger.h>
#include <zor/ZorErrorCodes.h>
#include <zor/ZorTestFramework.h>

#include <cstdio>
#include <memory>
#include <mutex>

namespace zor {

XProgramConsole& XProgramConsole::getInstance(const QString& companyName) {
    static std::once_flag once;
    static std::unique_ptr<XProgramConsole> instance;
    std::call_once(once, [&] {
        instance.reset(new XProgramConsole);
        Kernel::setCompanyName(companyName);
    });
    return *instance;
}

const char* XProgramConsole::defaultHelpText() {
    return "\n"
           "testing based on Zorvan Engine\n"
           "\n"
           "supported environments variables\n"
           " $ZORTESTING\n"
           "\n"
           "if $ZORTESTING exists program switches to testMode\n"
           "\n"
           "hidden command line arguments\n"
           " --logDir\n"
           " --logFile\n"
           " --logLevel\n"
           " --logTrailler\n"
           " --logRotate (minute | hour | day | month | year)\n"
           "\n"
           "main method 'XMem.simple'\n"
           " ";
}

bool XProgramConsole::init(int argc, char** argv, char** envp, const QString& mainMethod) {
    if (!Abstract_ZOR_Program::init(argc, argv, envp)) return false;
    KernelTerminalConfig::flagTesting = true;
    KernelTerminalConfig::mainMethod = mainMethod;
    KernelTerminalConfig::flagWindowsConsole = true;
    return true;
}

int XProgramConsole::runStandard(int argc, char** argv, char** envp, const QString& companyName,
                                 const QString& mainMethod, const char* helpText, MainFunction main) {
    XProgramConsole& program = getInstance(companyName);
    if (main) program.setMainFunction(std::move(main));
    if (!program.init(argc, argv, envp, mainMethod)) {
        std::puts("XProgramStraight::init, problem");
        std::puts("XProgramConsole::runStandard, cannot init XProgramConsole");
        return 1;
    }
    if (checkHelp(argc, argv)) {
        program.showProgramHelp(argc, argv, envp, helpText != nullptr ? helpText : defaultHelpText());
        return EXIT_ZOR_HELP;
    }
    return program.mainMethod(argc, argv, envp);
}

int XProgramConsole::mainMethod(int argc, char** argv, char** envp) {
    if (!m_main || Kernel::isTestMode()) return ZorTestFramework::mainTest(argc, argv, envp, !KernelTerminalConfig::flagTesting);
    return m_main(argc, argv, envp);
}

}  // namespace zor
