#include <zor/XRunGuard.h>

#include <zor/Logger.h>

#include "platform/Platform.h"
#include "platform/PlatformProcess.h"

#include <QCryptographicHash>
#include <QDir>

namespace zor {

namespace {

QString hashKey(const QString& key, const char* salt) {
    QByteArray bytes = key.toUtf8();
    bytes.append(salt);
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex());
}

}  // namespace

struct XRunGuard::Private {
    QString key;
    QString lockKey;
    QString sharedmemKey;
    QString path;   // the lock file
    int fd = -1;    // open and locked while this guard holds the instance
};

XRunGuard::XRunGuard(const QString& key) : d(new Private) {
    d->key = key;
    d->lockKey = lockKeyOf(key);
    d->sharedmemKey = sharedMemKeyOf(key);
    d->path = QDir(platform::runtimeDirectory()).filePath(QStringLiteral("zor_") + d->sharedmemKey + QStringLiteral(".lock"));
}

XRunGuard::~XRunGuard() { platform::releaseFileLock(d->fd); }

QString XRunGuard::lockKeyOf(const QString& key) { return hashKey(key, "_memLockKey"); }
QString XRunGuard::sharedMemKeyOf(const QString& key) { return hashKey(key, "_sharedmemKey"); }
QString XRunGuard::lockFilePath() const { return d->path; }
bool XRunGuard::isHolding() const { return d->fd >= 0; }

bool XRunGuard::is_another_instance_running() {
    if (isHolding()) return false;
    int fd = -1;
    int err = 0;
    switch (platform::tryFileLock(d->path, &fd, &err)) {
    case platform::FileLockResult::Acquired:
        platform::releaseFileLock(fd);
        return false;
    case platform::FileLockResult::Busy:
        return true;
    case platform::FileLockResult::Failed:
        break;
    }
    // Without the file nothing can be told: count it as running, so no second instance starts.
    logError("XRunGuard::is_another_instance_running, cannot lock '$', err:$", d->path, platform::systemErrorText(err));
    return true;
}

bool XRunGuard::run_instance_of_program() {
    if (isHolding()) return true;
    int err = 0;
    switch (platform::tryFileLock(d->path, &d->fd, &err)) {
    case platform::FileLockResult::Acquired:
        return true;
    case platform::FileLockResult::Busy:
        return false;
    case platform::FileLockResult::Failed:
        break;
    }
    logError("XRunGuard::run_instance_of_program, cannot lock '$', err:$", d->path, platform::systemErrorText(err));
    return false;
}

}  // namespace zor
