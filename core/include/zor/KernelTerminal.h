#pragma once
/// \zclass{KernelTerminal,program} The console application object: a QCoreApplication that is also the program's
/// Kernel. Kernel events delivered to it run in notify, before Qt's own delivery. execute() runs
/// the event loop; quit() may be called from any thread.
#include <zor/Kernel.h>
#include <zor/zor_export.h>

#include <QCoreApplication>

namespace zor {

namespace detail {
/// The application's own count of arguments: QCoreApplication keeps a reference to it, and the
/// kernel's place holder changes the caller's count after the application has read it.
struct ArgcKeeper {
    explicit ArgcKeeper(int argc) : argcForApp(argc) {}
    int argcForApp;
};
}  // namespace detail

class ZOR_EXPORT KernelTerminal : private detail::ArgcKeeper, public QCoreApplication, public Kernel {
public:
    KernelTerminal(int& argc, char** argv, char** envp, bool addPlaceHolder);
    ~KernelTerminal() override;

    QString toString() override { return QStringLiteral("KernelTerminal"); }
    int execute() override;
    void quit() override;
    bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace zor
