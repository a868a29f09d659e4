#include <zor/XSharedMemory.h>

#include <zor/Logger.h>
#include <zor/XLockerSharedMem.h>
#include <zor/ZorErrorCodes.h>

#include <climits>
#include <cstring>

namespace zor {

XSharedMemory::XSharedMemory() = default;

XSharedMemory::XSharedMemory(const QString& key, QObject* parent) : QSharedMemory(key, parent) {
    if (AbstractMemory::isDebug()) logDebug("XSharedMemory::XSharedMemory, key:'$'", key);
}

XSharedMemory::~XSharedMemory() {
    if (isAttached()) {
        if (AbstractMemory::isDebug()) logDebug("XSharedMemory::~XSharedMemory, detach");
        detach();
    }
    if (AbstractMemory::isDebug()) logDebug("XSharedMemory::~XSharedMemory");
}

const char* XSharedMemory::mem() const { return static_cast<const char*>(constData()); }
char* XSharedMemory::mem() { return static_cast<char*>(data()); }
std::size_t XSharedMemory::length() const { return isAttached() ? static_cast<std::size_t>(size()) : 0; }

bool XSharedMemory::createMem(unsigned int size, QSharedMemory::AccessMode mode) {
    // QSharedMemory takes an int: a larger size would turn negative on the way.
    if (size == 0 || size > static_cast<unsigned int>(INT_MAX)) {
        logError("XSharedMemory::createMem, cannot create $ bytes, err:size out of range", size);
        setZorError(ZOR_ERROR_OUT_OF_RANGE);
        return false;
    }
    if (!create(static_cast<int>(size), mode)) {
        logError("XSharedMemory::createMem, cannot create $ bytes, err:$", size, errorString());
        setZorError(ZOR_ERROR_NOT_INITIALIZED);
        return false;
    }
    return true;
}

bool XSharedMemory::readMem(AbstractMemory& dest) {
    if (!isAttached()) {
        logError("XSharedMemory::readMem, NOT ATTACHED !, size:$", size());
        setZorError(ZOR_ERROR_NOT_INITIALIZED);
        return false;
    }
    if (AbstractMemory::isDebug()) logDebug("XSharedMemory::readMem, size:$", size());
    XLockerSharedMem locker(*this);
    if (!locker.isLocked()) return false;
    const void* pData = constData();
    if (pData == nullptr) {
        logError("XSharedMemory::readMem, pData == nullptr !");
        return false;
    }
    return dest.setMem(pData, static_cast<std::size_t>(size()));
}

bool XSharedMemory::copyIn(const AbstractMemory& src) {
    const std::size_t n = src.length();
    if (n > 0 && src.mem() == nullptr) {
        logError("XSharedMemory::writeMem, the source has no memory");
        return false;
    }
    XLockerSharedMem locker(*this);
    if (!locker.isLocked()) return false;
    if (n > 0) std::memcpy(data(), src.mem(), n);
    return true;
}

bool XSharedMemory::writeMem(AbstractMemory& src) {
    if (!isAttached()) {
        logError("XSharedMemory::writeMem, NOT ATTACHED !");
        setZorError(ZOR_ERROR_NOT_INITIALIZED);
        return false;
    }
    if (src.length() > static_cast<std::size_t>(size())) {
        logError("XSharedMemory::writeMem, xmem.size() > sharedMem.Size(), $ > $", src.length(), size());
        setZorError(ZOR_ERROR_OUT_OF_RANGE);
        return false;
    }
    return copyIn(src);
}

bool XSharedMemory::writeCreateMem(AbstractMemory& src) {
    const std::size_t n = src.length();
    if (n == 0) {
        logError("XSharedMemory::writeCreateMem, empty source");
        return false;
    }
    if (isAttached()) detach();
    // QSharedMemory takes an int: a larger block is refused before the system is asked.
    const bool fits = n <= static_cast<std::size_t>(INT_MAX);
    if (!fits || !create(static_cast<int>(n), QSharedMemory::ReadWrite)) {
        logError("XSharedMemory::writeCreateMem, cannot create_growable shared memory $ bytes, err:$", n,
                 fits ? errorString() : QStringLiteral("size out of range"));
        setZorError(fits ? ZOR_ERROR_NOT_INITIALIZED : ZOR_ERROR_OUT_OF_RANGE);
        return false;
    }
    if (!copyIn(src)) return false;
    logDebug("XSharedMemory::writeCreateMem, size is now:$", size());
    return true;
}

XByteArray XSharedMemory::createByteArray() {
    if (!isAttached()) {
        logError("XSharedMemory::createByteArray, not attached !");
        return XByteArray();
    }
    if (error() != QSharedMemory::NoError) {
        logError("XSharedMemory::createByteArray, shared error:$", errorString());
        return XByteArray();
    }
    XLockerSharedMem locker(*this);
    if (!locker.isLocked()) return XByteArray();
    return XByteArray(static_cast<const char*>(constData()), size());
}

QString XSharedMemory::toString() const {
    QString s = isAttached() ? xformat("attached, size:$", size()) : QStringLiteral("not attached");
    if (error() != QSharedMemory::NoError) s += QLatin1String(", ") + errorString();
    return s;
}

}  // namespace zor
