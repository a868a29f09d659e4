#pragma once
/// \zclass{XRunGuard,process} The single-instance guard. Processes that build a guard on the same key agree that
/// only one of them runs: run_instance_of_program() succeeds for the first and fails for every
/// other until the first guard is destroyed or its process ends.
/// \code
///   XRunGuard guard(QStringLiteral("my-program"));
///   if (!guard.run_instance_of_program()) return 1;   // another instance runs
/// \endcode
/// The guard is an exclusive lock on a file named after the key in the user's runtime directory
/// ($XDG_RUNTIME_DIR, else the temporary directory). The kernel drops the lock with the holding
/// process however it ends (also SIGKILL), so a killed instance never blocks the next one, which a
/// System V block and semaphore left behind would. Guards in one process exclude each other as
/// well. Files are named by the lower-case hex SHA-1 of the key (lockKeyOf, sharedMemKeyOf).
///
/// Thread-safety: one thread at a time per guard. The guard owns its lock and releases it in the
/// destructor.
#include <zor/zor_export.h>

#include <QString>
#include <memory>

namespace zor {

class ZOR_EXPORT XRunGuard {
public:
    explicit XRunGuard(const QString& key);
    ~XRunGuard();
    XRunGuard(const XRunGuard&) = delete;
    XRunGuard& operator=(const XRunGuard&) = delete;

    /// False when this guard holds the instance; otherwise whether another guard on the key does.
    bool is_another_instance_running();
    /// Takes the instance: true when this guard holds it now (also when it held it already).
    bool run_instance_of_program();
    bool isHolding() const;

    /// The hex SHA-1 of key's UTF-8 bytes followed by "_memLockKey" or "_sharedmemKey".
    static QString lockKeyOf(const QString& key);
    static QString sharedMemKeyOf(const QString& key);
    QString lockFilePath() const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

}  // namespace zor
