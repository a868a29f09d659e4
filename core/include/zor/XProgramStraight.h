#pragma once
/// \zclass{XProgramStraight,process} A program to start, described by its command line (program, command and
/// "--key value" items), the environment variables to add and a working directory. startProgram()
/// starts it as a child process; reStartProgram() replaces the calling process by it.
///
/// The working directory is given to the child only: the calling process keeps its own current
/// directory (changing it would move every thread of the caller).
///
/// A plain value, used by one thread at a time. startProgram() hands its XProcess to the caller.
#include <zor/CommandLine.h>
#include <zor/XRecord.h>
#include <zor/zor_export.h>

#include <QString>

namespace zor {

class XProcess;

class ZOR_EXPORT XProgramStraight {
public:
    XProgramStraight() = default;
    XProgramStraight(const CommandLine& cmd, const XRecord& recEnv, const QString& workPath = QString());
    virtual ~XProgramStraight();

    const CommandLine& getCmd() const { return cmd; }
    void setCmd(const CommandLine& c) { cmd = c; }
    const XRecord& getRecEnv() const { return recEnv; }
    void setRecEnv(const XRecord& r) { recEnv = r; }
    const QString& getWorkPath() const { return workPath; }
    void setWorkPath(const QString& p) { workPath = p; }
    bool hasValidWorkPath() const;  ///< not empty and an existing directory

    /// Starts the program and waits until it runs or fails to start. The process is returned in
    /// both cases (check isRunning()); the caller owns it and deletes it.
    XProcess* startProgram();
    /// Replaces the calling process by the program (the arguments as ArgsEnv builds them from the
    /// command line, the process environment plus recEnv). Returns only on failure: false.
    bool reStartProgram();

    void show(unsigned int indent = 0) const;

private:
    CommandLine cmd;
    XRecord recEnv;
    QString workPath;
};

}  // namespace zor
