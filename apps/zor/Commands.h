#pragma once
// The commands of the zor program: each takes the parsed command line and returns the process
// exit code (0, or one of the library's exit codes).
#include <zor/CommandLine.h>
#include <zor/KernelTerminal.h>
#include <zor/XTree.h>

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

namespace zorapp {

struct Command {
    const char* name;
    const char* usage;  // "--key value ..." after the command name
    const char* help;   // one line
    int (*run)(const zor::CommandLine& cmd);
};

// Every command, in the order --help lists them.
const std::vector<Command>& commands();

int runTour(const zor::CommandLine& cmd);
int runMd5(const zor::CommandLine& cmd);
int runChecksum(const zor::CommandLine& cmd);
int runCompress(const zor::CommandLine& cmd);
int runUncompress(const zor::CommandLine& cmd);
int runFrame(const zor::CommandLine& cmd);
int runUnframe(const zor::CommandLine& cmd);
int runTree(const zor::CommandLine& cmd);

// Shared by the commands (FileCommands.cpp): the logger for a command (problems to stderr unless
// --verbose true), its end with the result line, a required key, and reading a whole input file
// (the exit code says why it could not be read).
bool startLogger(const zor::CommandLine& cmd);
int finish(int rc, const QString& line = QString());
bool requireKey(const zor::CommandLine& cmd, const char* key, QString& value);
int readInput(const zor::CommandLine& cmd, const QString& name, QByteArray& data);
// An application object for the commands that need Qt's event loop, name lookup or TLS: a new
// kernel when none exists yet (null when one does); it ends with the returned pointer.
std::unique_ptr<zor::KernelTerminal> ensureApplication();
int runGeometry(const zor::CommandLine& cmd);
int runXml(const zor::CommandLine& cmd);
int runLines(const zor::CommandLine& cmd);
int runRandom(const zor::CommandLine& cmd);
int runDirs(const zor::CommandLine& cmd);
int runFind(const zor::CommandLine& cmd);
int runAdapters(const zor::CommandLine& cmd);
int runConnect(const zor::CommandLine& cmd);
int runServe(const zor::CommandLine& cmd);
int runGet(const zor::CommandLine& cmd);

// The words after the command name as given (main.cpp), for commands that take a plain argument
// such as "zor get URL".
const QStringList& commandWords();
int runTest(const zor::CommandLine& cmd);

// The program's arguments as given (main.cpp), the program name first, for commands that hand them on.
const std::vector<QByteArray>& programArgs();

// zor run (RunCommand.cpp): the words after "--" on zor's command line, untouched, are the child's
// program and arguments; 127 when it cannot start, 128+N when signal N ended it.
constexpr int EXIT_RUN_CANNOT_START = 127;
void setPassThroughArgs(const QStringList& args);
const QStringList& passThroughArgs();
int runRun(const zor::CommandLine& cmd);
// --single true on any command: the guard's key, and the exit code when another instance holds it.
constexpr int EXIT_SINGLE_REFUSED = 1;

// Sections of the tour that live in their own files.
void tourMemory();
void tourThreads();
void tourKernel();
void tourTree();
void tourMath();
void tourXml();
void tourDirs();
void tourFind();
void tourNet();
void tourText();
void tourProcess();

}  // namespace zorapp
