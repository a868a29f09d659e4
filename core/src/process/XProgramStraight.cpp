#include <zor/XProgramStraight.h>

#include <zor/ArgsEnv.h>
#include <zor/Logger.h>
#include <zor/XProcess.h>

#include "platform/Platform.h"

#include <QFileInfo>
#include <string>
#include <vector>

namespace zor {

namespace {

// The command and the "--key value" items as one text for XProcess::setArgs: a value with a blank
// or a tab is put between double quotes so that it stays one argument.
QString argumentText(const CommandLine& cmd) {
    QString s = cmd.getCommand();
    for (const CommandLineItem& item : cmd.getItems()) {
        s += QStringLiteral(" --") + item.key();
        const QString& v = item.value();
        if (v.isEmpty()) continue;
        const bool quote = v.contains(QLatin1Char(' ')) || v.contains(QLatin1Char('\t'));
        s += quote ? QStringLiteral(" \"") + v + QLatin1Char('"') : QLatin1Char(' ') + v;
    }
    return s;
}

}  // namespace

XProgramStraight::XProgramStraight(const CommandLine& c, const XRecord& r, const QString& w)
    : cmd(c), recEnv(r), workPath(w) {}

XProgramStraight::~XProgramStraight() = default;

bool XProgramStraight::hasValidWorkPath() const { return !workPath.isEmpty() && QFileInfo(workPath).isDir(); }

XProcess* XProgramStraight::startProgram() {
    logDebug("XProgramStraight::startProgram");
    auto* p = new XProcess();
    if (hasValidWorkPath()) p->setWorkingDirectory(workPath);
    else if (workPath.isEmpty()) logDebug("WinStarter::execProgram, cannot set directory to '$'", workPath);
    else logWarning("WinStarter::execProgram, cannot set directory to '$'", workPath);

    const QString strPath = cmd.getProgram();
    logDebug("XProgramStraight::startProgram, strPath '$'", strPath);
    cmd.showParsedArgs();
    p->setArgs(argumentText(cmd));
    if (!recEnv.isEmpty()) p->addEnv(recEnv.toStringCmd());
    p->setProgram(strPath);

    p->addListenerExit([p](bool crashed) {
        if (crashed) logInfo("XProgramStraight::startProgram, listenerExit, process [$] exit, flagCrashed:$", p->getPid(), crashed);
        else logInfo("XProgramStraight::startProgram, listenerExit, process [$] exit", p->getPid());
    });
    p->addListenerStart([p] { logInfo("XProgramStraight::startProgram, running PID:$", p->processId()); });
    p->addListenerError([](QProcess::ProcessError e) {
        logError("XProgramStraight::startProgram, da proc err:$", XProcess::processErrorToString(e));
    });

    p->start();
    if (!p->waitForStarted(-1)) logError("XProgramStraight::startProgram, processID cannot start_global:$", p->errorString());
    else logInfo("XProgramStraight::startProgram, processID:$ started", p->processId());
    return p;
}

bool XProgramStraight::reStartProgram() {
    logInfo("XProgramStraight::reStartProgram");
    ArgsEnv args;
    args.fromCommandLine(cmd, false);

    // The process environment with recEnv's pairs put in place or added.
    std::vector<std::string> env;
    for (char* const* e = platform::environmentBlock(); e != nullptr && *e != nullptr; ++e) {
        const std::string entry(*e);
        const std::size_t eq = entry.find('=');
        if (eq != std::string::npos && recEnv.hasKey(QString::fromLocal8Bit(entry.data(), static_cast<int>(eq)))) continue;
        env.push_back(entry);
    }
    for (const auto& kv : recEnv.getAttributes()) env.push_back((kv.first + QLatin1Char('=') + kv.second).toLocal8Bit().toStdString());
    std::vector<char*> envPtrs;
    for (std::string& s : env) envPtrs.push_back(&s[0]);
    envPtrs.push_back(nullptr);

    ArgsEnv full;
    full.fromMain(args.getArgc(), args.getArgv(), envPtrs.data());
    full.restartProgram();
    logError("XProgramStraight::reStartProgram, cannot start '$'", cmd.getProgram());
    return false;
}

void XProgramStraight::show(unsigned int indent) const {
    logDebugSpace(indent, "XProgramStraight, workPath:'$'", workPath);
    cmd.showParsedArgs();
    recEnv.showContents(indent + 2);
}

}  // namespace zor
