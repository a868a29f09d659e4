#include <zor/ZorErrorCodes.h>

#include <zor/Logger.h>
#include <zor/ThreadTools.h>
#include <zor/xformat.h>

#include <cerrno>
#include <cstdlib>

namespace zor {

QString exitZorErrorCodeToString(int code) {
    switch (code) {
        case 0: return QStringLiteral("everything OK");
        case 1: return QStringLiteral("general failure");
        case 2: return QStringLiteral("configuration problem");
        case 3: return QStringLiteral("mathematical problem");
        case 4: return QStringLiteral("file not found");
        case 5: return QStringLiteral("io problem");
        case 6: return QStringLiteral("argument problem (missing, range, ... ?)");
        case 7: return QStringLiteral("xml problem");
        case 8: return QStringLiteral("quit gui directly (debug mode)");
        case 9: return QStringLiteral("parsing problem");
        case 10: return QStringLiteral("checksum problem");
        case 30: return QStringLiteral("main helper problem");
        default: return QStringLiteral("unknown errorcode");
    }
}

void exitApp(const QString& message, unsigned int seconds) {
    logError("$", message);
    for (unsigned int n = seconds; n >= 1; --n) {
        logWarning("program end $ sec", n);
        xSleep(1000);
    }
    Logger::quit();
    std::exit(1);
}

// This platform's sockets report their errors through errno: it stands in for the socket layer's
// last-error code. ETIMEDOUT is the time-out.
QString getLastErrorMessage() {
    const int e = errno;
    if (e == 0) return QStringLiteral("ERRNO == 0");
    if (e == ETIMEDOUT) {
        logWarning(" - da timeout ! -");
        logWarning(" - da timeout X ! -");
    }
    return xformat("WSAGetLastError:$", e);
}

QString get_last_error_message() {
    const int e = errno;
    const QString last = getLastErrorMessage();
    if (!last.isEmpty()) return xformat("errno:$ => $", e, last);
    return xformat("errno:$", e);
}

}  // namespace zor
