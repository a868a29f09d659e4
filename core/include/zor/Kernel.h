#pragma once
/// \zclass{Kernel,program} The program's record of its command line, arguments and environment, and the way any
/// thread hands work to the main thread: runInGui runs a function there, move_mem_to_main_thread
/// and move_tree_to_main_thread move a memory block or a tree to a function there without copying
/// its data (the caller's object is left empty). The last kernel constructed is Kernel::kernel().
///
/// Thread-safety: runInGui and the move functions may be called from any thread (posting is
/// serialised by the runner mutex); the rest belongs to the main thread, at start-up.
#include <zor/ArgsEnv.h>
#include <zor/CommandLine.h>
#include <zor/StartTestParameter.h>
#include <zor/XAtomic.h>
#include <zor/zor_export.h>

#include <QString>
#include <functional>
#include <vector>

namespace zor {

class XMem;
class XTree;

class ZOR_EXPORT Kernel : public CommandLine {
public:
    /// addPlaceHolder turns "prog -x" into "prog PlaceHolder -x" (argc grows by one, the caller's
    /// too), so that a program without a command keeps its first item.
    Kernel(int& argc, char** argv, char** envp, bool addPlaceHolder);
    ~Kernel() override;
    Kernel(const Kernel&) = delete;
    Kernel& operator=(const Kernel&) = delete;

    virtual QString toString() = 0;
    virtual int execute() { return 0; }
    virtual QString getApplicationPath();
    virtual void quit() {}

    static Kernel& kernel();  ///< the last kernel constructed (a fatal check when there is none)
    static bool hasKernel();
    static int argc();
    static char** argv();
    static char** envv();
    static ArgsEnv& getArgsEnv();
    static void setArgsEnv(const ArgsEnv& a);
    static void moveArgsEnv(ArgsEnv&& a);
    static long getMainThreadID();
    static QString companyName();
    static void setCompanyName(const QString& name);
    static bool isRebootProgram();
    static void setRebootProgram(bool on);
    static bool is_debug_kernel_events();
    static void set_debug_kernel_events(bool on);

    /// On the main thread: now, or after msWait through a single-shot timer. From another thread:
    /// posted as an event (msWait is not applied there) and run in the main event loop.
    static void runInGui(std::function<void()> f, unsigned long long msWait = 0);
    static void move_mem_to_main_thread(XMem&& mem, std::function<void(XMem&&)> f);
    static void move_tree_to_main_thread(XTree&& tree, std::function<void(XTree&&)> f);

    int rebootProgram();
    QString testName() const { return getCommand(); }
    static QString theTestName();
    /// Test mode: the environment variable ZORTESTING exists (whatever its value). Console programs
    /// then run their registered tests instead of their own main function (XProgramConsole).
    static bool isTestMode();
    /// What the program was started with, for a test program (see StartTestParameter).
    StartTestParameter getStartTestParameter() const;
    void show(unsigned int space);
    void showArgcArgv(unsigned int space);
    QString getOrganization();
    void setOrganization(const QString& name);

protected:
    /// Runs a kernel event delivered to the application object (true: go on delivering as usual).
    bool filterZorEvents(QObject* obj, QEvent* event);

private:
    std::vector<QByteArray> m_placeHolderArgs;  // the arguments with the place holder, when added
    std::vector<char*> m_placeHolderArgv;
};

}  // namespace zor
