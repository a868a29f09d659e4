#include <zor/XNullDevice.h>

#include <zor/ClockFunctions.h>
#include <zor/FatalChecks.h>
#include <zor/Logger.h>
#include <zor/TextHelpers.h>

namespace zor {

XNullDevice::XNullDevice(bool withMD5) : withMD5(withMD5) {
    // Unbuffered: a read reaches readData with the caller's own buffer, which it leaves alone.
    if (!QIODevice::open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        logError("XNullDevice::XNullDevice, cannot open, err:$", errorString());
    microseconds = static_cast<long long>(getMicroseconds());
}

XNullDevice::~XNullDevice() = default;

qint64 XNullDevice::writeData(const char* data, qint64 n) {
    if (n <= 0) return 0;
    if (withMD5) md5.updateLarge(data, static_cast<std::size_t>(n));
    bytesWritten += n;
    return n;
}

qint64 XNullDevice::readData(char* data, qint64 maxSize) {
    if (data == nullptr) nullPointerHandling("libSrc/core/src/tools/xmem/XNullDevice", 27, QStringLiteral("data == NULL"));
    logError("XNullDevice::readData, useless !");
    return maxSize;
}

qint64 XNullDevice::size() const {
    logDebug("XNullDevice::size");
    return QIODevice::size();
}

qint64 XNullDevice::bytesAvailable() const {
    logDebug("XNullDevice::bytesAvailable");
    return QIODevice::bytesAvailable();
}

qint64 XNullDevice::bytesToWrite() const {
    logDebug("XNullDevice::bytesToWrite");
    return QIODevice::bytesToWrite();
}

void XNullDevice::finalizeWriting() {
    if (withMD5) md5.finalize();
    microseconds = static_cast<long long>(getMicroseconds()) - microseconds;
}

XRamInfo XNullDevice::ramInfo() const { return XRamInfo(md5, bytesWritten, microseconds); }

QString XNullDevice::toString() const {
    return xformat("$ => $", format1000(bytesWritten), formatBytes(static_cast<double>(bytesWritten)));
}

}  // namespace zor
