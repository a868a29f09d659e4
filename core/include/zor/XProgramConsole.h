#pragma once
/// \zclass{XProgramConsole,program} The one-call start of console programs and test programs:
/// \code int main(int argc, char** argv, char** envp) {
///       return zor::XProgramConsole::runStandard(argc, argv, envp, "company", "main", nullptr, &myMain);
///   } \endcode
/// initialises the library, answers "--HELP" (any case) with the help text and exit code 20, and
/// otherwise runs the program's main function, whose result is the exit code. Without a main
/// function, and in test mode (the environment variable ZORTESTING exists), it runs the test
/// framework instead (ZorTestFramework::mainTest): "prog NAME" runs the registered test NAME.
///
/// Thread-safety: a process-wide single instance, used from the main thread at start-up.
#include <zor/Abstract_ZOR_Program.h>
#include <zor/zor_export.h>

#include <QString>
#include <functional>

namespace zor {

class ZOR_EXPORT XProgramConsole : public Abstract_ZOR_Program {
public:
    using MainFunction = std::function<int(int argc, char** argv, char** envp)>;

    /// The single instance, created on the first call with that company name.
    static XProgramConsole& getInstance(const QString& companyName);
    /// The help text printed when no other is given.
    static const char* defaultHelpText();

    static int runStandard(int argc, char** argv, char** envp, const QString& companyName, const QString& mainMethod,
                           const char* helpText, MainFunction main = nullptr);

    bool init(int argc, char** argv, char** envp, const QString& mainMethod);
    using Abstract_ZOR_Program::init;
    /// Runs the main function given to runStandard (or setMainFunction); without one, or in test
    /// mode, ZorTestFramework::mainTest, adding the placeholder unless KernelTerminalConfig::flagTesting is set.
    int mainMethod(int argc, char** argv, char** envp) override;
    void setMainFunction(MainFunction main) { m_main = std::move(main); }

private:
    XProgramConsole() = default;
    MainFunction m_main;
};

}  // namespace zor
