#pragma once
/// \zclass{ArgsEnv,program} A private copy of a program's arguments and environment for the whole run, so that a
/// program can show them or replace itself with a fresh instance of itself (restartProgram).
///
/// Both arrays are deep copies owned by the object, each ending in a null pointer as execve wants
/// them; getArgv() and getEnv() stay valid until the object is changed or destroyed. Copyable and
/// movable (a copy owns its own strings); not shared between threads while it is being changed.
#include <zor/LogLevel.h>
#include <zor/zor_export.h>

#include <QString>
#include <string>
#include <vector>

namespace zor {

class CommandLine;
class XRecord;

class ZOR_EXPORT ArgsEnv {
public:
    static constexpr int MAX_LINE_LEN = 4096;

    ArgsEnv();
    virtual ~ArgsEnv();
    ArgsEnv(const ArgsEnv& other);
    ArgsEnv(ArgsEnv&& other) noexcept;
    ArgsEnv& operator=(const ArgsEnv& other);
    ArgsEnv& operator=(ArgsEnv&& other) noexcept;

    /// Copies argc arguments (a null one as an empty string) and the environment up to its null
    /// terminator; a null env takes the process environment.
    void fromMain(int argc, char* const argv[], char* const env[]);
    /// The program, the command (when there is one), then "--key" and the value (left out when
    /// empty) per item; the process environment with withEnvironment, else none.
    void fromCommandLine(const CommandLine& cmd, bool withEnvironment);
    /// The record's name as the program, then "--key value" for every other attribute; the process
    /// environment.
    void fromRecord(const XRecord& record);

    int getArgc() const { return static_cast<int>(m_args.size()); }
    char* const* getArgv() { return m_argPtrs.data(); }
    int getEnvCount() const { return static_cast<int>(m_env.size()); }
    char* const* getEnv() { return m_envPtrs.data(); }
    QString arg(int i) const;  ///< empty when out of range
    bool isEmpty() const { return m_args.empty() && m_env.empty(); }

    void show(unsigned int level = DEBUG) const;
    void showArgsOnly(unsigned int level = DEBUG) const;
    void showCout() const;  ///< the same on standard output

    void startProgram();
    /// Replaces the running process by execve(argv[0], argv, env). Returns only when that fails:
    /// the result (-1), after printing it, errno, the first arguments and the system's error text.
    int restartProgram();

private:
    void rebuildPointers();

    std::vector<std::string> m_args;
    std::vector<std::string> m_env;
    std::vector<char*> m_argPtrs;  // into m_args, null-terminated
    std::vector<char*> m_envPtrs;  // into m_env, null-terminated
};

}  // namespace zor
