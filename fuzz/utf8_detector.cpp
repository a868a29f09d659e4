// The UTF-8 detector over arbitrary bytes (held in a block of exactly their size). Checks its
// counts against a plain reading of the same state table: each counted sequence is a valid UTF-8
// form of its width, the bytes in counted sequences never exceed the bytes analysed, and the
// verdict and texts are produced without fault; the strict validation agrees with Qt's decoder.
#include <zor/XLineInfo.h>
#include <zor/XUTF8_Detector.h>
#include <zor/XUtf8_Info.h>

#include <QString>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    std::unique_ptr<char[]> bytes(new char[size]);
    std::memcpy(bytes.get(), data, size);
    zor::XUTF8_Detector d(bytes.get(), size);
    const void* zero = std::memchr(bytes.get(), 0, size);
    const std::size_t analysed = zero != nullptr ? static_cast<std::size_t>(static_cast<const char*>(zero) - bytes.get()) : size;
    const std::uint64_t inSequences = std::uint64_t(d.countAscii()) + 2ull * d.count2ByteEncodings() +
                                      3ull * d.count3ByteEncodings() + 4ull * d.count4ByteEncodings();
    if (inSequences > analysed || d.countBytes() != size) std::abort();
    if (d.countLineFeeds() > d.countAscii()) std::abort();
    // Valid UTF-8 without zero bytes is counted whole.
    const QString decoded = QString::fromUtf8(bytes.get(), static_cast<int>(analysed));
    if (decoded.toUtf8() == QByteArray(bytes.get(), static_cast<int>(analysed)) && inSequences != analysed) std::abort();
    // The strict check agrees with Qt's decoder: a block is valid exactly when it survives a round
    // trip (Qt drops a leading byte-order mark, so such blocks are left out), and the valid prefix
    // is valid on its own.
    const std::size_t prefix = zor::XUTF8_Detector::validUtf8Prefix(bytes.get(), size);
    if (prefix > size || !zor::XUTF8_Detector::isValidUtf8(bytes.get(), prefix)) std::abort();
    if (size < 3 || std::memcmp(bytes.get(), "\xEF\xBB\xBF", 3) != 0) {
        const QByteArray raw(bytes.get(), static_cast<int>(size));
        if ((QString::fromUtf8(raw.constData(), raw.size()).toUtf8() == raw) != (prefix == size)) std::abort();
    }
    (void)d.toString();
    (void)zor::XUTF8_Detector::utfTypeToString(d.getTheMostSignifcantType());
    if (d.get_factor_for_gui() < 1 || d.get_factor_for_gui() > 4) std::abort();
    if (analysed > 0) {
        (void)zor::XLineInfo::get_UTF8_Chars_CountFromBytes(bytes.get(), static_cast<unsigned>(analysed));
        const zor::XUtf8_Info info(decoded.isEmpty() ? QChar('x') : decoded.at(0));
        (void)info.toString();
    }
    return 0;
}
