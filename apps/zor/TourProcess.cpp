// The tour's process section: a child started with arguments and an environment variable, its
// output lines logged and its exit seen by a listener; a shared block written and read back; the
// single-instance guard taken and refused to a second guard.
#include "Commands.h"

#include <zor/core.h>

namespace zorapp {

using namespace zor;

void tourProcess() {
    logInfo("==== processes, shared memory and the single-instance guard");
    XProcess child;
    child.setLogOutput(true);
    child.addEnv(QStringLiteral("--TOUR_GREETING \"hello from the parent\""));
    child.addListenerExit([&child](bool crashed) {
        logInfo("Tour::process, child [$] ended with $, crashed:$", child.getPid(), child.exitCode(), crashed);
    });
    child.setProgram(QStringLiteral("/bin/sh"));
    child.setArgs(QStringLiteral("-c \"echo $TOUR_GREETING; exit 3\""));
    child.start();
    if (!child.waitForFinished(10000)) logWarning("Tour::process, the child did not end: $", child.toString());

    XSharedMemory writer(xformat("zor-tour-$", QCoreApplication::applicationPid()));
    XMem text("shared between processes");
    if (writer.writeCreateMem(text)) {
        XSharedMemory reader(writer.key());
        XMem copy;
        if (reader.attach() && reader.readMem(copy))
            logInfo("Tour::process, block $, read back '$'", writer.toString(), copy.get_string());
    }

    XRunGuard first(QStringLiteral("zor-tour"));
    XRunGuard second(QStringLiteral("zor-tour"));
    const bool a = first.run_instance_of_program();
    const bool b = second.run_instance_of_program();
    logInfo("Tour::process, guard: first takes it:$, second takes it:$, second sees another:$", a, b,
            second.is_another_instance_running());
}

}  // namespace zorapp
