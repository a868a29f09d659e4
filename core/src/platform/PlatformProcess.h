#pragma once
// The operating-system layer of the process folder: an exclusive lock on a file that the kernel
// drops when the holding process ends in any way (also SIGKILL), so a single-instance guard never
// outlives its owner.
#include <QString>

namespace zor {
namespace platform {

enum class FileLockResult { Acquired, Busy, Failed };

// Opens (creating when needed, mode 0600, close-on-exec so children do not inherit it) the file at
// path and tries to lock it exclusively without waiting. Acquired: *fd holds the open, locked file
// until releaseFileLock. Busy: another open file (any process) holds it. Failed: the file cannot
// be opened or locked; *err is the errno.
FileLockResult tryFileLock(const QString& path, int* fd, int* err);
void releaseFileLock(int fd);  // unlocks and closes; a negative fd is ignored

// The directory for per-user run files: $XDG_RUNTIME_DIR when it names a directory, else the
// temporary directory.
QString runtimeDirectory();

// The signal number that ended a child, from the exit code Qt reports for a crashed child here.
int signalOfCrashedChild(int exitCode);

}  // namespace platform
}  // namespace zor
