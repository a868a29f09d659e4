#include <zor/KernelTerminal.h>

#include <zor/MainThread.h>

namespace zor {

KernelTerminal::KernelTerminal(int& argc, char** argv, char** envp, bool addPlaceHolder)
    : detail::ArgcKeeper(argc), QCoreApplication(argcForApp, argv), Kernel(argc, argv, envp, addPlaceHolder) {}

KernelTerminal::~KernelTerminal() = default;

int KernelTerminal::execute() { return QCoreApplication::exec(); }

void KernelTerminal::quit() {
    qt::run_in_Gui_Thread([] { QCoreApplication::quit(); });
}

bool KernelTerminal::notify(QObject* receiver, QEvent* event) {
    filterZorEvents(receiver, event);
    return QCoreApplication::notify(receiver, event);
}

}  // namespace zor
