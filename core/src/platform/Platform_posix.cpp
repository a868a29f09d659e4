#include "platform/Platform.h"

#include <QSysInfo>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>

namespace zor {
namespace platform {

unsigned int currentThreadId() {
    // gettid is a system call: remember it per thread, it is on every log call.
    thread_local unsigned int id = static_cast<unsigned int>(::syscall(SYS_gettid));
    return id;
}

unsigned int processId() { return static_cast<unsigned int>(::getpid()); }

bool localTime(std::time_t seconds, std::tm& out) { return ::localtime_r(&seconds, &out) != nullptr; }

QString systemErrorText(int errnum) {
    char buf[256];
    buf[0] = '\0';
    // GNU strerror_r returns the text (possibly a static one), not an error code.
    const char* text = ::strerror_r(errnum, buf, sizeof buf);
    if (text == nullptr || *text == '\0') return QString();
    // glibc answers unknown numbers with "Unknown error N": that is no text of the system.
    if (std::strncmp(text, "Unknown error", 13) == 0) return QString();
    return QString::fromLocal8Bit(text);
}

void hideConsoleWindow() {}

unsigned int hardwareThreads() {
    const unsigned int n = std::thread::hardware_concurrency();
    return n == 0 ? 1 : n;
}

QString osVersion() {
    const QString name = QSysInfo::prettyProductName();
    const QString kernel = QSysInfo::kernelType() + QLatin1Char(' ') + QSysInfo::kernelVersion();
    if (name.isEmpty()) return kernel.trimmed();
    return name + QStringLiteral(", ") + kernel;
}

bool setEnvironment(const char* name, const char* value) { return ::setenv(name, value, 1) == 0; }

}  // namespace platform
}  // namespace zor
