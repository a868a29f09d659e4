#include <zor/XRamInfo.h>

#include <zor/ClockFunctions.h>
#include <zor/XNullDevice.h>
#include <zor/xformat.h>

#include <cstring>
#include <limits>

namespace zor {

XRamInfo XRamInfo::ramInfoFromRawMemory(const void* p, std::size_t sz) {
    XNullDevice device(true);
    const char* bytes = static_cast<const char*>(p);
    // QIODevice::write takes 64-bit lengths, but feed it in pieces to keep each call bounded.
    constexpr std::size_t kPiece = std::size_t(1) << 30;
    for (std::size_t done = 0; bytes != nullptr && done < sz;) {
        const std::size_t n = sz - done < kPiece ? sz - done : kPiece;
        if (device.write(bytes + done, static_cast<qint64>(n)) != static_cast<qint64>(n)) break;
        done += n;
    }
    device.finalizeWriting();
    return device.ramInfo();
}

bool XRamInfo::operator==(const XRamInfo& other) const {
    if (bytes != other.bytes) return false;
    const bool zeroA = md5.isZero();
    const bool zeroB = other.md5.isZero();
    if (zeroA || zeroB) return zeroA && zeroB;
    return std::memcmp(md5.getDigest(), other.md5.getDigest(), 16) == 0;
}

QString XRamInfo::toString(bool withTime) const {
    QString s = md5.isZero() ? xformat("size:$ bytes", format1000(bytes))
                             : QStringLiteral("size:") + format1000(bytes) + QStringLiteral(", md5-sum:") +
                                   QString::fromLatin1(md5.isFinalized() ? md5.hexDigest(true) : QByteArray(32, '0'));
    if (withTime) {
        const double rate = microseconds > 0 ? 1000000.0 / static_cast<double>(microseconds)
                                             : std::numeric_limits<double>::infinity();
        s += xformat(", delta t:$ sec", formatMicrosecond_as_Sec(static_cast<unsigned long long>(microseconds < 0 ? 0 : microseconds)));
        s += xformat(", $ times / sec", rate);
    }
    return s;
}

}  // namespace zor
