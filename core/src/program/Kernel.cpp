#include <zor/Kernel.h>

#include <zor/FatalChecks.h>
#include <zor/KernelEvents.h>
#include <zor/Logger.h>
#include <zor/MainThread.h>
#include <zor/ThreadTools.h>
#include <zor/XMem.h>
#include <zor/XTree.h>
#include <zor/ZorKernelEvent.h>

#include <QCoreApplication>
#include <QTimer>
#include <atomic>

namespace zor {

namespace {
std::atomic<Kernel*> s_kernel{nullptr};
int s_argc = 0;
char** s_argv = nullptr;
char** s_envv = nullptr;
ArgsEnv s_argsEnv;
std::atomic<long> s_mainThreadID{0};
QString s_companyName;
XAtomic<bool> s_reboot{false};

template <typename T>
void moveToMainThread(const char* what, T&& value, std::function<void(T&&)> f) {
    if (qt::is_Gui_Thread()) {
        if (KernelEvents::isDebug()) logDebug("Kernel::$ - GUI thread", what);
        if (f) f(std::move(value));
        else logError("ZorKernelEvent::runMethod, fuData == nullptr");
        return;
    }
    if (KernelEvents::isDebug()) logDebug("Kernel::$ - OTHER thread:$", what, getCurrentThreadID());
    qt::postToMainThread(new ZorKernelEvent<T>(std::move(value), std::move(f)));
}
}  // namespace

Kernel::Kernel(int& argc, char** argv, char** envp, bool addPlaceHolder) {
    if (addPlaceHolder) {
        m_placeHolderArgs.emplace_back(argc > 0 && argv != nullptr ? QByteArray(argv[0]) : QByteArray());
        m_placeHolderArgs.emplace_back("PlaceHolder");
        for (int i = 1; i < argc; ++i) m_placeHolderArgs.emplace_back(argv[i]);
        for (QByteArray& a : m_placeHolderArgs) m_placeHolderArgv.push_back(a.data());
        m_placeHolderArgv.push_back(nullptr);
        argc = static_cast<int>(m_placeHolderArgs.size());
        argv = m_placeHolderArgv.data();
    }
    s_argc = argc;
    s_argv = argv;
    s_envv = envp;
    if (cmdMain == nullptr) cmdMain = this;
    fromMain(argc, argv);
    s_argsEnv.fromMain(argc, argv, envp);
    s_mainThreadID.store(static_cast<long>(getCurrentThreadID()));
    s_kernel.store(this);
    if (QCoreApplication::instance() != nullptr) QCoreApplication::setOrganizationName(s_companyName);
}

Kernel::~Kernel() {
    Kernel* self = this;
    s_kernel.compare_exchange_strong(self, nullptr);
    if (cmdMain == this) cmdMain = nullptr;
}

QString Kernel::getApplicationPath() { return QCoreApplication::applicationDirPath(); }

Kernel& Kernel::kernel() {
    Kernel* k = s_kernel.load();
    if (k == nullptr) nullPointerHandling("libSrc/core/src/tools/Kernel", 120, QStringLiteral("_kernel == NULL"));
    return *k;
}
bool Kernel::hasKernel() { return s_kernel.load() != nullptr; }
int Kernel::argc() { return s_argc; }
char** Kernel::argv() { return s_argv; }
char** Kernel::envv() { return s_envv; }
ArgsEnv& Kernel::getArgsEnv() { return s_argsEnv; }
void Kernel::setArgsEnv(const ArgsEnv& a) { s_argsEnv = a; }
void Kernel::moveArgsEnv(ArgsEnv&& a) { s_argsEnv = std::move(a); }
long Kernel::getMainThreadID() { return s_mainThreadID.load(); }
QString Kernel::companyName() { return s_companyName; }
void Kernel::setCompanyName(const QString& name) { s_companyName = name; }
bool Kernel::isRebootProgram() { return s_reboot.load(); }
void Kernel::setRebootProgram(bool on) { s_reboot.store(on); }
bool Kernel::is_debug_kernel_events() { return KernelEvents::isDebug(); }
void Kernel::set_debug_kernel_events(bool on) { KernelEvents::setDebug(on); }

void Kernel::runInGui(std::function<void()> f, unsigned long long msWait) {
    qt::run_in_Gui_Thread(std::move(f), static_cast<unsigned int>(msWait));
}

void Kernel::move_mem_to_main_thread(XMem&& mem, std::function<void(XMem&&)> f) {
    moveToMainThread<XMem>("move_mem_to_main_thread", std::move(mem), std::move(f));
}

void Kernel::move_tree_to_main_thread(XTree&& tree, std::function<void(XTree&&)> f) {
    moveToMainThread<XTree>("move_tree_to_main_thread", std::move(tree), std::move(f));
}

int Kernel::rebootProgram() { return s_argsEnv.restartProgram(); }

bool Kernel::isTestMode() { return qEnvironmentVariableIsSet("ZORTESTING"); }

StartTestParameter Kernel::getStartTestParameter() const {
    StartTestParameter p;
    p.program = getProgram();
    p.testName = getCommand();
    p.logLevel = getString(QStringLiteral("logLevel"));
    p.testMode = isTestMode();
    for (int i = 1; i < s_argc && s_argv != nullptr; ++i) p.arguments << QString::fromLocal8Bit(s_argv[i]);
    return p;
}

QString Kernel::theTestName() { return hasKernel() ? kernel().getCommand() : QString(); }

void Kernel::show(unsigned int space) {
    logDebugSpace(space, "Kernel, program:'$', command:'$', organization:'$'", getProgram(), getCommand(), getOrganization());
    showArgcArgv(space + 4);
}

void Kernel::showArgcArgv(unsigned int space) {
    logDebugSpace(space, "argc:$", s_argc);
    for (int i = 0; i < s_argc && s_argv != nullptr; ++i) logDebugSpace(space, "argv[$]:'$'", i, s_argv[i]);
}

QString Kernel::getOrganization() {
    if (QCoreApplication::organizationName().isEmpty()) QCoreApplication::setOrganizationName(s_companyName);
    return QCoreApplication::organizationName();
}

void Kernel::setOrganization(const QString& name) { QCoreApplication::setOrganizationName(name); }

bool Kernel::filterZorEvents(QObject*, QEvent* event) {
    // A plain event that only shares a kernel event's type number passes on untouched.
    KernelEvents* k = KernelEvents::asKernelEvent(event);
    if (k == nullptr) return true;
    if (KernelEvents::isDebug()) logDebug("Kernel::filterZorEvents - XKernelEvent");
    k->execute();
    return true;
}

}  // namespace zor
