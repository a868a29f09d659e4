#include "platform/PlatformProcess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace zor {
namespace platform {

FileLockResult tryFileLock(const QString& path, int* fd, int* err) {
    *fd = -1;
    *err = 0;
    const QByteArray name = QFile::encodeName(path);
    int f = -1;
    do {
        f = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    } while (f < 0 && errno == EINTR);
    if (f < 0) {
        *err = errno;
        return FileLockResult::Failed;
    }
    int rc = -1;
    do {
        rc = ::flock(f, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        const int e = errno;
        ::close(f);
        if (e == EWOULDBLOCK) return FileLockResult::Busy;
        *err = e;
        return FileLockResult::Failed;
    }
    *fd = f;
    return FileLockResult::Acquired;
}

void releaseFileLock(int fd) {
    if (fd < 0) return;
    ::flock(fd, LOCK_UN);
    ::close(fd);
}

QString runtimeDirectory() {
    const QString xdg = QFile::decodeName(qgetenv("XDG_RUNTIME_DIR"));
    if (!xdg.isEmpty() && QFileInfo(xdg).isDir()) return xdg;
    return QDir::tempPath();
}

// Qt reports the terminating signal as the exit code of a child that did not exit normally.
int signalOfCrashedChild(int exitCode) { return exitCode; }

}  // namespace platform
}  // namespace zor
